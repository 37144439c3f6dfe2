"""One call from start to end against the test host on loopback: at 80x24 the status bar steps aside
so that the host's 24 rows show, and comes back when the terminal grows while the window size told
stays 80x24; the host's ANSI screen in its colours; a cursor position query answered; a paste of 300
keys arriving whole during a burst of megabytes long before the burst ends; an Esc and an h typed
200 ms apart during a notice staying two keys; the host closing (the last screen stays)."""

import time

from tmux_driver import TestHost, Tmux

YELLOW = "38;2;255;255;85"  # SGR 1;33: palette 14
RED = "38;2;170;0;0"  # SGR 31: palette 4

SCREEN = ("\\e[2J\\e[H\\e[1;33;44m Yellow on blue \\e[0m \\e[31mred\\e[0m\\r\\n"
          "\\e[46m cyan \\e[0m\\e[24Hrow 24\\e[3HType here: ")
NAWS_24 = ("SB", 31, bytes([0, 80, 0, 24]))
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


def check_host_closing(t):
    t.type("bye")  # the host closes on it
    t.wait_text("The connection was closed.")
    t.wait_gone("The connection was closed.", timeout=6)
    rows = t.screen()
    t.check(rows[1].startswith(" Yellow on blue") and "Offline" in rows[0], "the last screen went, or still online")


def main():
    steps = [{"do": "naws"}, {"do": "sga"}, {"send": SCREEN + "\\e[6n"}, {"expect": "go"}, {"burst": BURST},
             {"send": SCREEN}, {"expect": "bye"}, {"close": True}]
    with TestHost(steps=steps, time_limit=120) as host, Tmux("calls-session", height=24) as t:
        t.start_program("127.0.0.1", host.port, settle_text=None)
        session = host.wait_session(10)
        t.check(session, "no connection reached the host")
        check_screen(t, session)
        t.check(f"Online 00:00   127.0.0.1:{host.port}" in t.screen()[0], "status bar while online")
        check_burst(t, session)
        check_esc_during_a_notice(t, session)
        check_host_closing(t)
        t.keys("M-x")
        t.answer("Exit Pelorin NG?", "y")
        t.wait_text("pelong-ended=0")
    print("ok: call at 24 rows and grown, colours, cursor report, paste during a burst, Esc during a notice, host closing")


if __name__ == "__main__":
    main()
