"""Calls from start to end against the test host on loopback. At 80x24 the status bar steps aside so
that the host's 24 rows show in their colours, and comes back when the terminal grows while the window
size told stays 80x24; a cursor position query is answered. Alt-L appends exactly the data bytes the
telnet layer hands on to an existing pelong.log, shows "LOG" while on and goes on into the next call;
Alt-B pages back to the page a clear pushed off and gives the live screen back; Alt-O asks before
dropping a change, and saving "Status bar" off gives the terminal 25 rows at once and writes both
settings files. A paste of 300 keys arrives whole during a burst of megabytes, long before the burst
ends; an Esc and an h typed 200 ms apart during a notice stay two keys; when the host closes, the
last screen stays, and Alt-Q calls again."""

import os
import time

from tmux_driver import TestHost, Tmux

YELLOW = "38;2;255;255;85"  # SGR 1;33: palette 14
RED = "38;2;170;0;0"  # SGR 31: palette 4
SCREEN = ("\\e[2J\\e[H\\e[1;33;44m Yellow on blue \\e[0m \\e[31mred\\e[0m\\r\\n"
          "\\e[46m cyan \\e[0m\\e[24Hrow 24\\e[3HType here: ")
NAWS_24 = ("SB", 31, bytes([0, 80, 0, 24]))
NAWS_25 = b"\xff\xfa\x1f\x00\x50\x00\x19\xff\xf0"
EARLIER = b"earlier session\r\n"
LINES = 60
ROWS = 24  # the terminal's rows with the status bar on
BURST = 24_000_000
PASTE = "".join(chr(ord("a") + i % 26) for i in range(300)).replace("go", "g0").replace("bye", "by3")


def check_screen(t, session):
    t.wait_text("Type here:")
    rows, row0 = t.screen(), t.screen(colours=True)[0]
    t.check(rows[0].startswith(" Yellow on blue  red") and rows[1].startswith(" cyan") and rows[23] == "row 24",
            "at 80x24 the host's rows are out of place")
    t.check(row0.index(YELLOW) < row0.index("Yellow") < row0.index(RED) < row0.index("red"), f"colours: {row0!r}")
    t.check(session.wait_command(NAWS_24, 5), f"window size: {session.commands}")
    # the query came after "Type here: "
    t.check(session.wait_raw(b"\x1b[3;12R", 5), f"no cursor position report: {bytes(session.raw)!r}")
    t.run("resize-window", "-t", "main", "-x", "80", "-y", "26")
    t.wait_for("the status bar back", lambda: "Alt-Z - Help!" in t.screen()[0])
    rows = t.screen()
    t.check(rows[1].startswith(" Yellow") and rows[24] == "row 24" and t.pane("#{cursor_y}") == "3",
            "the rows, or the cursor, are not under the bar")
    t.check([c for c in session.commands if c[:2] == ("SB", 31)] == [NAWS_24], "the window size changed")


def capture(t):
    log = os.path.join(t.home, "pelong.log")
    t.keys("M-l")
    t.answer(log, "Enter")  # the prompt offers the file in the program directory
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
    t.type("d")
    t.wait_text(f"Line {LINES:02d}")
    live = t.screen()
    t.keys("M-b")
    t.wait_text(" SCROLLBACK  line ")
    t.check(t.screen()[1] == live[1], "the view does not open on the live screen")
    t.keys(*["Up"] * (LINES + 1 - ROWS))  # the 60 lines and the cursor's row below them
    t.wait_for("Line 01 at the top", lambda: t.screen()[1].startswith("Line 01"))
    t.keys("Up")  # the last row of the page the clear pushed off
    t.wait_for("the cleared page", lambda: t.screen()[1] == "row 24")
    t.keys("Home", "Up")
    t.wait_text(" SCROLLBACK  line 1 of ")
    t.keys("Escape")
    t.wait_gone(" SCROLLBACK ")
    t.check(t.screen() == live, "the live screen did not come back unchanged")


def options(t, session):
    files = [os.path.join(t.home, name) for name in ("pelo.cfg", "pelong.cfg")]
    t.keys("M-o", "Down", "Down", "Enter", "Escape")
    t.answer("Save changes?", "n")
    t.check("Pelorin NG Options" not in t.text() and not any(map(os.path.exists, files)), "not saving changed something")
    before = t.screen()
    t.keys("M-o", "Down", "Down", "Enter", "F10")
    t.wait_gone("Pelorin NG Options")
    t.wait_for("the terminal's 25 rows", lambda: t.screen()[:ROWS] == before[1:ROWS + 1])
    t.check(session.wait_raw(NAWS_25, 5), "the host was not told of 25 rows")
    classic = open(files[0], "rb").read().split(b"\r\n")
    t.check(classic[17] == b"off" and os.path.exists(files[1]), "pelo.cfg without the status bar off, or no pelong.cfg")


def check_burst(t, session):
    t.type("go")  # the host starts the burst on it
    t.wait_for("the burst to be under way", lambda: session.sent >= 2_000_000, timeout=30)
    typed_at, start = time.monotonic(), len(session.data)
    t.type(PASTE)
    t.check(session.wait_data(PASTE.encode(), 30, start), f"the paste arrived as {bytes(session.data[start:])!r}")
    t.check(session.sent < BURST, "the paste arrived only after the whole burst")
    print(f"a paste typed during the burst reached the host {(time.monotonic() - typed_at) * 1000:.0f} ms later, "
          f"after {session.sent} of {BURST} bytes")
    t.wait_for("the screen after the burst", lambda: session.sent > BURST and "Type here:" in t.text(), 60)


def check_esc_during_a_notice(t, session):
    """The notice of Alt-E does not take keys; an Esc and an h typed meanwhile were one Alt-h."""
    start = len(session.data)
    t.keys("M-e")
    t.wait_text("Emulation: ANSI CP437")
    t.keys("Escape")
    time.sleep(0.2)
    t.type("h")
    t.check(session.wait_data(b"\x1bh", 5, start), f"the host got {bytes(session.data[start:])!r} for Esc, 200 ms, h")
    time.sleep(1)
    t.check("Disconnect" not in t.text(), "Esc and h became Alt-h")


def main():
    lines = "".join(f"Line {n:02d}\\r\\n" for n in range(1, LINES + 1))
    steps = [{"do": "naws"}, {"do": "sga"}, {"send": SCREEN + "\\e[6n"},
             {"expect": "c"}, {"do": "ttype"}, {"send_hex": "43 41 50 ff ff 0d 0a"}, {"sb": [24, 1]},
             {"send": "END\\r\\n"}, {"expect": "d"}, {"send": "\\e[2J\\e[H" + lines},
             {"expect": "go"}, {"burst": BURST}, {"send": SCREEN}, {"expect": "bye"}, {"close": True}]
    with TestHost(steps=steps, time_limit=120) as host, Tmux("calls-session", height=24) as t:
        with open(os.path.join(t.home, "pelong.log"), "wb") as f:
            f.write(EARLIER)
        t.start_program("127.0.0.1", host.port, settle_text=None)
        session = host.wait_session(10)
        t.check(session, "no connection reached the host")
        check_screen(t, session)
        t.check(f"Online 00:00   127.0.0.1:{host.port}" in t.screen()[0], "status bar while online")
        log = capture(t)
        scrollback(t)
        options(t, session)
        check_burst(t, session)
        check_esc_during_a_notice(t, session)
        t.type("bye")  # the host closes on it
        t.wait_text("The connection was closed.")
        t.wait_gone("The connection was closed.", timeout=6)
        t.check(t.screen()[0].startswith(" Yellow on blue"), "the last screen went")
        t.keys("M-q")
        t.wait_text("Host to call:")
        t.type(f"127.0.0.1:{host.port}", enter=True)
        again = host.wait_session(10, number=2)
        t.check(again and again.wait_raw(b"\x1b[3;12R", 5), "the second call did not reach the host")
        t.keys("M-x")
        t.answer("You are still connected.", "y")
        t.wait_text("pelong-ended=0")
        data = open(log, "rb").read()
        t.check(f"Line {LINES}\r\n".encode() in data and data.endswith(b"Type here: \x1b[6n"),
                f"capture did not go on into the next call: {data[-40:]!r}")
    print("ok: 24 rows, capture, scrollback, options, paste in a burst, Esc in a notice, host closing, Alt-Q")


if __name__ == "__main__":
    main()
