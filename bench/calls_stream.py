#!/usr/bin/python3
"""How long the client takes to take in and display a 10 MB ANSI stream from the test host, and
the CPU time it spends on it.

The program runs on a pseudo-terminal of its own (80 x 26) whose output is read and thrown away as
fast as it comes, so the figures are the client's own; with --tmux it runs inside tmux instead,
which adds a real terminal emulator's cost. The host sends coloured text lines and closes; the
clock stops when the client shows "The connection was closed.", which it does only after it has
drawn every byte before the close.

  bench/calls_stream.py [--bytes N] [--tmux] [--pelong PATH]
"""

import argparse
import fcntl
import os
import pty
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import threading
import time

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
from testhost import TestHost  # noqa: E402
from testhost.steps import _ansi_lines  # noqa: E402

MARKER = b"The connection was closed."


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def run_on_pty(pelong, port, home, options=(), environment=None):
    pid, fd = pty.fork()
    if pid == 0:
        env = dict(environment or os.environ, TERM="xterm-256color", PELONG_HOME=home)
        os.execve(pelong, [pelong, *options, "127.0.0.1", str(port)], env)
    fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", 26, 80, 0, 0))
    seen = threading.Event()
    written = [0]

    def drain():
        tail = b""
        while True:
            try:
                chunk = os.read(fd, 65536)
            except OSError:
                return
            if not chunk:
                return
            written[0] += len(chunk)
            if MARKER in tail + chunk:
                seen.set()
            tail = chunk[-len(MARKER):]

    threading.Thread(target=drain, daemon=True).start()
    return pid, seen, written, lambda: (os.kill(pid, signal.SIGTERM), os.waitpid(pid, 0), os.close(fd))


def run_in_tmux(pelong, port, home):
    sock = f"pelong-bench-{os.getpid()}"
    env = dict(os.environ, TERM="xterm-256color", PELONG_HOME=home)
    env.pop("TMUX", None)
    pid_file = os.path.join(home, "pid")
    command = f"echo $$ > {pid_file}; exec {pelong} 127.0.0.1 {port}"
    subprocess.run(["tmux", "-L", sock, "-f", "/dev/null", "new-session", "-d", "-x", "80", "-y", "26",
                    "sh", "-c", command], check=True, env=env)
    while not os.path.exists(pid_file) or not open(pid_file).read().strip():
        time.sleep(0.01)
    pid = int(open(pid_file).read())
    seen = threading.Event()

    def watch():
        while not seen.is_set():
            screen = subprocess.run(["tmux", "-L", sock, "capture-pane", "-p"], stdout=subprocess.PIPE,
                                    env=env).stdout
            if MARKER in screen:
                seen.set()
            time.sleep(0.02)

    threading.Thread(target=watch, daemon=True).start()
    def stop():
        subprocess.run(["tmux", "-L", sock, "kill-server"], env=env)
        try:
            os.unlink(os.path.join(os.environ.get("TMUX_TMPDIR") or "/tmp", f"tmux-{os.getuid()}", sock))
        except OSError:
            pass

    return pid, seen, None, stop


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bytes", type=int, default=10_000_000)
    parser.add_argument("--tmux", action="store_true")
    parser.add_argument("--pelong", default=os.path.join(ROOT, "build", "release", "pelong"))
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as home:
        stream = os.path.join(home, "stream.ans")
        with open(stream, "wb") as f:
            for block in _ansi_lines(args.bytes, 65536):
                f.write(block)
        steps = [{"send_file": stream, "chunk": 65536}, {"close": True}]
        with TestHost(steps=steps, time_limit=600) as host:
            pid, seen, written, stop = (run_in_tmux if args.tmux else run_on_pty)(args.pelong, host.port, home)
            try:
                session = host.wait_session(30)
                if not session:
                    sys.exit("the client did not connect")
                start, cpu_start = time.monotonic(), cpu_seconds(pid)
                if not seen.wait(600):
                    sys.exit("the client never showed the end of the stream")
                elapsed, cpu = time.monotonic() - start, cpu_seconds(pid) - cpu_start
            finally:
                stop()
    mb = args.bytes / 1e6
    where = "in tmux" if args.tmux else "on a pty"
    print(f"{mb:.1f} MB ANSI stream {where}: {elapsed:.2f} s wall ({mb / elapsed:.1f} MB/s), "
          f"client CPU {cpu:.2f} s" + (f", {written[0] / 1e6:.1f} MB of terminal output" if written else ""))


if __name__ == "__main__":
    main()
