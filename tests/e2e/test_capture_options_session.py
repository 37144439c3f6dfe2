"""The capture log, the scrollback viewer and the options dialog in one call against the test host:
Alt-L appends exactly the data bytes the telnet layer hands on to an existing pelong.log, shows "LOG"
while it is on and goes on into the next call; Alt-B pages through the lines that scrolled off and
gives the live screen back; Alt-O asks before dropping a change, and saving "Status bar" off gives the
terminal 25 rows at once and writes both settings files."""

import os

from tmux_driver import TestHost, Tmux

EARLIER = b"earlier session\r\n"
NAWS_25 = b"\xff\xfa\x1f\x00\x50\x00\x19\xff\xf0"
LINES = 60
ROWS = 24  # the terminal's rows with the status bar on


def capture(t):
    log = os.path.join(t.home, "pelong.log")
    t.keys("M-l")
    t.wait_text("Capture incoming data to file:")
    t.check(log in t.text(), f"the prompt does not offer {log}")
    t.keys("Enter")
    t.wait_for("LOG on the status bar", lambda: "LOG" in t.screen()[0])
    t.type("c")  # the host's cue; typed keys never go into the file
    t.wait_text("END")
    t.keys("M-l")
    t.wait_text("Capture closed:")
    t.check(log in t.text(), "the closing message does not name the file")
    t.wait_gone("Capture closed:")
    t.check("LOG" not in t.screen()[0], "the status bar still shows LOG")
    data = open(log, "rb").read()
    t.check(data == EARLIER + b"CAP\xff\r\nEND\r\n", f"the capture file holds {data!r}")
    t.keys("M-l")  # on again for the rest of the run, hang-ups included
    t.answer(log, "Enter")
    return log


def scrollback(t):
    old_page = t.screen()[1]  # the terminal's top row: the clear keeps this page in the scrollback
    t.type("d")
    t.wait_text(f"Line {LINES:02d}")
    live = t.screen()
    t.keys("M-b")
    t.wait_text(" SCROLLBACK  line ")
    t.check(t.screen()[1] == live[1], "the view does not open on the live screen")
    t.keys(*["Up"] * (LINES + 1 - ROWS))  # the 60 lines and the cursor's row below them
    t.wait_for("Line 01 at the top", lambda: t.screen()[1].startswith("Line 01"))
    t.keys("Home", "Up")
    t.wait_text(" SCROLLBACK  line 1 of ")
    t.check(t.screen()[1] == old_page, "Home does not show the oldest line")
    t.keys("Escape")
    t.wait_gone(" SCROLLBACK ")
    t.check(t.screen() == live, "the live screen did not come back unchanged")


def options(t, session):
    files = [os.path.join(t.home, name) for name in ("pelo.cfg", "pelong.cfg")]
    t.keys("M-o")
    t.wait_text("Pelorin NG Options")
    t.keys("Down", "Down", "Enter", "Escape")
    t.answer("Save changes?", "n")
    t.check("Pelorin NG Options" not in t.text() and not any(map(os.path.exists, files)), "not saving changed something")
    before = t.screen()
    t.keys("M-o", "Down", "Down", "Enter", "F10")
    t.wait_gone("Pelorin NG Options")
    t.wait_for("the terminal's 25 rows", lambda: t.screen()[:ROWS] == before[1:ROWS + 1])
    t.check(session.wait_raw(NAWS_25, 5), "the host was not told of 25 rows")
    classic = open(files[0], "rb").read().split(b"\r\n")
    t.check(classic[17] == b"off" and os.path.exists(files[1]), "pelo.cfg without the status bar off, or no pelong.cfg")


def main():
    lines = "".join(f"Line {n:02d}\\r\\n" for n in range(1, LINES + 1))
    steps = [{"do": "naws"}, {"send": "Welcome\\r\\n"}, {"expect": "c"},
             {"do": "ttype"}, {"send_hex": "43 41 50 ff ff 0d 0a"}, {"sb": [24, 1]}, {"send": "END\\r\\n"},
             {"expect": "d"}, {"send": "\\e[2J\\e[H" + lines}, {"expect": "bye"}, {"close": True}]
    with TestHost(steps=steps, time_limit=120) as host, Tmux("capture-options") as t:
        with open(os.path.join(t.home, "pelong.log"), "wb") as f:
            f.write(EARLIER)
        t.start_program("127.0.0.1", host.port)
        session = host.wait_session(10)
        t.check(session, "no connection reached the host")
        t.wait_text("Welcome")
        log = capture(t)
        scrollback(t)
        options(t, session)
        t.type("bye")
        t.answer("The connection was closed.", "Space")
        t.keys("M-q")
        t.wait_text("Host to call:")
        t.type(f"127.0.0.1:{host.port}", enter=True)
        t.check(host.wait_session(10, number=2), "the second call did not reach the host")
        t.wait_text("Welcome")
        t.keys("M-x")
        t.answer("You are still connected.", "y")
        t.wait_text("pelong-ended=0")
        data = open(log, "rb").read()
        t.check(f"Line {LINES}\r\n".encode() in data and data.endswith(b"Welcome\r\n"),
                f"capture did not go on into the next call: {data[-40:]!r}")
    print("ok: capture appended and closed, scrollback paged, options saved")


if __name__ == "__main__":
    main()
