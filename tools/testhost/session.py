"""One client connection: a reader thread that records everything the client sends, and the
operations that script steps and Python tests use on it."""

import socket
import threading

from .telnet import ClientParser

# Bytes a menu or a key wait skips: the NUL of CR NUL and the LF of CR LF.
_NOT_KEYS = (0, 10)


class Session:
    def __init__(self, host, sock, number):
        self.host = host
        self.sock = sock
        self.number = number
        self.cond = threading.Condition()
        self.raw = bytearray()      # every byte the client sent
        self.data = bytearray()     # the same without telnet commands, IAC IAC as one 255
        self.commands = []          # ("WILL", 31), ("SB", 24, b"\x00ANSI"), ("BRK",) ...
        self.read_pos = 0           # how much of data the script has consumed
        self.sent = 0               # bytes sent to the client so far
        self.client_closed = False
        self.closed = False
        self.finished = False
        self._send_lock = threading.Lock()
        self._parser = ClientParser()

    # ------------------------------------------------------------ recording

    def start(self, run):
        threading.Thread(target=self._read, daemon=True).start()
        threading.Thread(target=run, args=(self,), daemon=True).start()

    def _read(self):
        while True:
            try:
                chunk = self.sock.recv(65536)
            except OSError:
                chunk = b""
            if not chunk:
                break
            data, commands = self._parser.feed(chunk)
            with self.cond:
                self.raw += chunk
                self.data += data
                self.commands += commands
                self.cond.notify_all()
            self.host.record(chunk)
            self.host.log(self, "received", hex=chunk.hex(), sent=self.sent)
            for command in commands:
                fields = {"verb": command[0]}
                if len(command) > 1:
                    fields["option"] = command[1]
                if len(command) > 2:
                    fields["hex"] = command[2].hex()
                self.host.log(self, "command", **fields)
        with self.cond:
            self.client_closed = True
            self.cond.notify_all()
        if not self.closed:
            self.host.log(self, "client_closed")

    # ------------------------------------------------------------ sending and closing

    def send(self, data):
        """Sends bytes; False once the connection is gone."""
        if self.closed:
            return False
        with self._send_lock:
            try:
                self.sock.sendall(data)
            except OSError:
                return False
            self.sent += len(data)
        return True

    def close(self):
        if self.closed:
            return
        self.closed = True
        self.host.log(self, "closed")
        try:
            self.sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        self.sock.close()
        with self.cond:
            self.cond.notify_all()

    # ------------------------------------------------------------ waiting for the client

    def _wait(self, ready, timeout):
        """Waits until ready() holds (called under the lock); its last value."""
        deadline = self.host.clock() + timeout
        with self.cond:
            while True:
                value = ready()
                if value or self.client_closed or self.closed or self.host.stopping:
                    return value
                left = deadline - self.host.clock()
                if left <= 0:
                    return value
                self.cond.wait(min(left, 0.2))

    def wait_data(self, pattern, timeout=10.0, start=0):
        """True once the data from position start holds pattern."""
        return self._wait(lambda: bytes(pattern) in self.data[start:], timeout)

    def wait_raw(self, pattern, timeout=10.0):
        return self._wait(lambda: bytes(pattern) in self.raw, timeout)

    def wait_command(self, command, timeout=10.0):
        """True once the client has sent the command, a tuple as in commands."""
        return self._wait(lambda: tuple(command) in self.commands, timeout)

    def wait_closed(self, timeout=10.0):
        return self._wait(lambda: self.client_closed or self.closed, timeout)

    def expect(self, pattern, timeout):
        """Consumes data up to the end of pattern; False on time-out."""
        pattern = bytes(pattern)

        def found():
            at = self.data.find(pattern, self.read_pos)
            return at + len(pattern) if at >= 0 else 0

        end = self._wait(found, timeout)
        if end:
            self.read_pos = end
        return bool(end)

    def next_key(self, timeout):
        """The next data byte that is a key (NUL and LF skipped), or None."""
        def key():
            while self.read_pos < len(self.data):
                b = self.data[self.read_pos]
                self.read_pos += 1
                if b not in _NOT_KEYS:
                    return b + 1  # never 0, so that the wait sees it
            return 0

        got = self._wait(key, timeout)
        return got - 1 if got else None

    def take_data(self, timeout):
        """All unconsumed data, waiting up to timeout for some."""
        def some():
            return len(self.data) > self.read_pos

        self._wait(some, timeout)
        with self.cond:
            chunk = bytes(self.data[self.read_pos:])
            self.read_pos = len(self.data)
        return chunk

    def terminal_type(self, timeout):
        """The name of the client's first TTYPE IS answer, or None."""
        def answer():
            for command in self.commands:
                if command[0] == "SB" and command[1] == 24 and command[2][:1] == b"\x00":
                    return command[2][1:].decode("latin-1")
            return None

        return self._wait(answer, timeout)
