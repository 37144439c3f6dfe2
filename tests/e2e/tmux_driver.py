"""The real program in tmux for end-to-end tests: a tmux server of its own per session in a program
directory of its own (PELONG_HOME), the screen read back with or without colours, keys typed with
send-keys, and waits that fail with the screen shown. Also hands the test host (tools/testhost) on."""

import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

PELONG = os.environ.get("PELONG_BIN", "pelong")
SOURCE = os.environ.get("PELONG_SOURCE", os.path.join(os.path.dirname(__file__), "..", ".."))
TOOLS = os.path.join(SOURCE, "tools")
sys.path.insert(0, TOOLS)
from testhost import TestHost  # noqa: E402,F401


class Tmux:
    def __init__(self, label, width=80, height=26, display=None):
        self.width, self.height = width, height
        self.home = tempfile.mkdtemp(prefix=f"pelong-{label}-")
        self.socket = os.path.join(self.home, "tmux.socket")
        self.env = dict(os.environ, PS1="$ ", PELONG_HOME=self.home, TERM="xterm-256color")
        # The program opens its graphics window only on the display a test gives it.
        for name in ("TMUX", "DISPLAY", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)
        if display:
            self.env["DISPLAY"] = display

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.run("kill-server", check=False)
        shutil.rmtree(self.home, ignore_errors=True)

    def run(self, *args, check=True):
        return subprocess.run(["tmux", "-S", self.socket, *args], check=check, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, text=True, env=self.env).stdout

    def _new_session(self, command):
        size = ("-x", str(self.width), "-y", str(self.height))
        self.run("-f", "/dev/null", "new-session", "-d", "-s", "main", *size, command)
        self.run("set-option", "-g", "status", "off")
        self.run("resize-window", "-t", "main", *size, check=False)

    def start_shell(self):
        self._new_session("bash --norc --noprofile")
        self.wait_for("the shell prompt", lambda: self.screen()[0].rstrip().endswith(("$", "#")))

    def start_program(self, *args, settle_text="Alt-Z - Help!", wrapper=()):
        """pelong (behind a wrapper such as setpriv) as the pane's program; the pane stays once it ends."""
        command = shlex.join([*wrapper, PELONG, *map(str, args)])
        self._new_session(f"sh -c {shlex.quote(command + '; echo; echo pelong-ended=$?; sleep 600')}")
        if settle_text:
            self.wait_text(settle_text)

    def write_settings(self, lines):
        with open(os.path.join(self.home, "pelong.cfg"), "w", newline="") as f:
            f.write("".join(line + "\r\n" for line in lines))

    def screen(self, colours=False):
        return self.run("capture-pane", "-p", "-t", "main", *(["-e"] if colours else [])).split("\n")

    def text(self):
        return "\n".join(self.screen())

    def pane(self, fmt):
        return self.run("display-message", "-p", "-t", "main", fmt).strip()

    def check(self, ok, message):
        if not ok:
            raise AssertionError(message + "\n" + self.text())

    def wait_for(self, what, test, timeout=10.0):
        end = time.monotonic() + timeout
        while not test():
            self.check(time.monotonic() < end, f"timed out waiting for {what}:")
            time.sleep(0.05)

    def wait_text(self, text, timeout=10.0):
        self.wait_for(repr(text), lambda: text in self.text(), timeout)

    def wait_gone(self, text, timeout=10.0):
        self.wait_for(f"{text!r} to go", lambda: text not in self.text(), timeout)

    def answer(self, question, key):
        """Waits for a question (or a message), presses key and waits for it to go."""
        self.wait_text(question)
        self.keys(key)
        self.wait_gone(question)

    def keys(self, *names):  # tmux key names: "Enter", "Escape", "M-h", "Up", "F1" ...
        self.run("send-keys", "-t", "main", *names)

    def type(self, text, enter=False):
        self.run("send-keys", "-t", "main", "-l", text)
        if enter:
            self.keys("Enter")
