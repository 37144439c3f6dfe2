"""The test host: a listener on loopback in one of three modes, its sessions, its log and its
time limit."""

import json
import select
import socket
import threading
import time

from .session import Session
from .steps import OK, load_script, run_steps

MODES = ("script", "refuse", "silent")


class TestHost:
    """A telnet host on 127.0.0.1.

    mode "script": accepts connections and runs the steps on each one;
    mode "refuse": the port is held but nothing listens, so connections are refused;
    mode "silent": a listener whose accept queue is full, so connections never complete.

    Use it as a context manager, or call start() and stop(). It stops by itself after time_limit
    seconds; in script mode also once `connections` sessions (0: no limit) have finished.
    """

    def __init__(self, steps=(), mode="script", port=0, time_limit=60.0, connections=0,
                 after="hold", defines=None, record=None, log=None, bind="127.0.0.1"):
        if mode not in MODES:
            raise ValueError("mode is one of %s" % ", ".join(MODES))
        self.steps, self.defines, self.after = list(steps), dict(defines or {}), after
        self.mode = mode
        self.bind = bind
        self.port = port
        self.time_limit = float(time_limit)
        self.connections = int(connections)
        self.sessions = []
        self.events = []
        self.stopping = False
        self._stop = threading.Event()
        self._lock = threading.Lock()
        self._record = open(record, "wb") if record else None
        self._log = open(log, "w") if log else None
        self._listener = None
        self._held = []
        self._start_time = time.monotonic()

    @classmethod
    def from_script(cls, document, base_dir=".", **options):
        """A host running a parsed script file (see steps.py for the format)."""
        steps, defines, after = load_script(document, base_dir)
        return cls(steps=steps, defines=defines, after=after, **options)

    # ------------------------------------------------------------ life

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def clock(self):
        return time.monotonic()

    def sleep(self, seconds):
        self._stop.wait(seconds)

    def start(self):
        """Opens the port (self.port afterwards holds its number) and serves in the background."""
        self._start_time = time.monotonic()
        family = socket.AF_INET6 if ":" in self.bind else socket.AF_INET
        sock = socket.socket(family, socket.SOCK_STREAM)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        sock.bind((self.bind, self.port))
        self.port = sock.getsockname()[1]
        self._listener = sock
        if self.mode == "script":
            sock.listen(16)
            sock.settimeout(0.2)
            threading.Thread(target=self._accept, daemon=True).start()
        elif self.mode == "silent":
            sock.listen(0)
            self._fill_accept_queue()
        threading.Thread(target=self._watch_time, daemon=True).start()
        self.log(None, "listening", port=self.port, mode=self.mode)
        return self.port

    def wait(self):
        """Blocks until the host has stopped."""
        while not self._stop.wait(0.2):
            pass

    def stop(self):
        if self.stopping:
            return
        self.stopping = True
        for session in list(self.sessions):
            session.close()
        for sock in self._held + ([self._listener] if self._listener else []):
            try:
                sock.close()
            except OSError:
                pass
        self.log(None, "stopped")
        with self._lock:
            for f in (self._record, self._log):
                if f:
                    f.close()
            self._record = self._log = None
        self._stop.set()  # last, so that wait() returns only once all is closed

    def _watch_time(self):
        if not self._stop.wait(self.time_limit):
            self.log(None, "time_limit")
            self.stop()

    def _fill_accept_queue(self):
        # With a backlog of 0 the kernel queues one connection; ours take that place and the
        # client's handshake is never answered.
        for _ in range(8):
            filler = socket.socket(socket.AF_INET6 if ":" in self.bind else socket.AF_INET)
            filler.setblocking(False)
            try:
                filler.connect((self.bind, self.port))
            except BlockingIOError:
                pass
            except OSError:
                filler.close()
                break
            _, writable, _ = select.select([], [filler], [], 0.3)
            if not writable or filler.getsockopt(socket.SOL_SOCKET, socket.SO_ERROR) != 0:
                filler.close()
                break
            self._held.append(filler)

    # ------------------------------------------------------------ sessions

    def _accept(self):
        while not self.stopping:
            if self.connections and len(self.sessions) >= self.connections:
                if all(s.finished for s in self.sessions):
                    self.stop()
                    return
                self.sleep(0.1)
                continue
            try:
                sock, _ = self._listener.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            sock.settimeout(None)
            sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            session = Session(self, sock, len(self.sessions) + 1)
            with self._lock:
                self.sessions.append(session)
            self.log(session, "connected")
            session.start(self._run_session)

    def _run_session(self, session):
        try:
            result = run_steps(session, self.steps, self.defines)
            if result == OK and self.after == "close":
                session.close()
            elif result == OK:
                self.log(session, "script_done")
                session.wait_closed(self.time_limit)
        finally:
            session.finished = True
            session.close()

    def wait_session(self, timeout=10.0, number=1):
        """The session of the number-th connection once it exists, or None."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and not self.stopping:
            if len(self.sessions) >= number:
                return self.sessions[number - 1]
            time.sleep(0.02)
        return self.sessions[number - 1] if len(self.sessions) >= number else None

    # ------------------------------------------------------------ record and log

    def record(self, chunk):
        with self._lock:
            if self._record:
                self._record.write(chunk)
                self._record.flush()

    def log(self, session, event, **fields):
        entry = {"t": round(time.monotonic() - self._start_time, 4), "event": event}
        if session is not None:
            entry["session"] = session.number
        entry.update(fields)
        with self._lock:
            self.events.append(entry)
            if self._log:
                self._log.write(json.dumps(entry) + "\n")
                self._log.flush()
