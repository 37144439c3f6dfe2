"""One call from start to end against the test host on loopback: the host's ANSI screen in its
colours, the status bar while online, a cursor position query answered, typed keys arriving as the
exact bytes, the hang-up question, and the host closing ("Disconnected", the last screen stays)."""

import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tmux_driver import TOOLS, Tmux  # noqa: E402

sys.path.insert(0, TOOLS)
from testhost import TestHost  # noqa: E402

YELLOW = "38;2;255;255;85"   # SGR 1;33: palette 14
BLUE_BG = "48;2;0;0;170"     # SGR 44: palette 1
RED = "38;2;170;0;0"         # SGR 31: palette 4
CYAN_BG = "48;2;0;170;170"   # SGR 46: palette 3

SCREEN = ("\\e[2J\\e[H\\e[1;33;44m Yellow on blue \\e[0m \\e[31mred\\e[0m\\r\\n"
          "\\e[46m cyan \\e[0m\\r\\nType here: ")


def check_screen(t):
    t.wait_text("Type here:")
    rows = t.screen()
    if not rows[1].startswith(" Yellow on blue  red") or not rows[2].startswith(" cyan"):
        t.fail("the host's screen is not as sent")
    colours = t.screen(colours=True)
    yellow = colours[1]
    if not (YELLOW in yellow and BLUE_BG in yellow and RED in yellow):
        t.fail(f"colours of row 1: {yellow!r}")
    if not yellow.index(YELLOW) < yellow.index("Yellow") < yellow.index(RED) < yellow.index("red"):
        t.fail(f"colours out of place in row 1: {yellow!r}")
    if CYAN_BG not in colours[2]:
        t.fail(f"colours of row 2: {colours[2]!r}")


def check_status_bar(t, port):
    bar = t.screen()[0]
    if not re.match(rf"Alt-Z - Help!   ANSI/\w+   Online 00:00   127\.0\.0\.1:{port} +\[\d+:\d\d (Am|Pm)\]$",
                    bar.rstrip()):
        t.fail(f"status bar while online reads {bar!r}")


def check_keys(t, session):
    # The host asked DO SGA, so negotiation is on in text mode: Enter is CR NUL.
    start = len(session.raw)
    t.type("hi")
    t.keys("Up", "Home", "Enter")
    t.type("é")  # no UTF-8 seen from the host yet: the CP437 byte
    expected = b"hi\x1b[A\x1b[H\r\x00\x82"
    if not session.wait_raw(expected, 5) or bytes(session.raw[start:]) != expected:
        t.fail(f"the host got {bytes(session.raw[start:])!r}, expected {expected!r}")


def check_hang_up_question(t):
    t.keys("M-h")
    t.wait_text("Disconnect from the remote system?")
    if "Hang Up" not in t.text():
        t.fail("the hang-up box has no title")
    t.keys("n")
    t.wait_gone("Disconnect from the remote system?")
    if "Online" not in t.screen()[0]:
        t.fail("answering no hung up")


def check_host_closing(t):
    t.type("bye")  # the host closes on it
    t.wait_text("The connection was closed.")
    if "Disconnected" not in t.text():
        t.fail("the box has no title")
    t.wait_gone("The connection was closed.", timeout=6)
    rows = t.screen()
    if not rows[1].startswith(" Yellow on blue") or "Offline" not in rows[0]:
        t.fail("the last screen did not stay, or the program is not offline")


def main():
    steps = [{"do": "sga"}, {"send": SCREEN}, {"expect": "bye"}, {"close": True}]
    with TestHost(steps=steps, time_limit=60) as host, Tmux("calls-session") as t:
        t.start_program("127.0.0.1", host.port)
        session = host.wait_session(10)
        if not session:
            t.fail("no connection reached the host")
        check_screen(t)
        check_status_bar(t, host.port)
        check_keys(t, session)
        check_hang_up_question(t)
        check_host_closing(t)
        t.keys("M-x")
        t.wait_text("Exit Pelorin NG?")
        t.keys("y")
        t.wait_text("pelong-ended=0")
    print("ok: call, colours, keys, hang-up question, host closing")


def check_cursor_report():
    """A cursor position query (DSR 6) is answered with the position the host's text left."""
    steps = [{"send": "\\e[2J\\e[H\\r\\n\\r\\n    abc\\e[6n"}]
    with TestHost(steps=steps, time_limit=30) as host, Tmux("calls-dsr") as t:
        t.start_program("127.0.0.1", host.port)
        session = host.wait_session(10)
        if not session or not session.wait_raw(b"\x1b[3;8R", 5):
            t.fail(f"no cursor report: the host got {bytes(session.raw) if session else None!r}")
    print("ok: cursor position report")


if __name__ == "__main__":
    try:
        main()
        check_cursor_report()
    except AssertionError as e:
        print(e)
        sys.exit(1)
