"""Per emulation, against the test host: the terminal-type and window-size answers, the bytes of
typed keys, and Enter as CR NUL on a negotiated text-mode link (CR in binary mode is the telnet
layer's unit test). On a terminal of 24 rows the status bar steps aside so that the host's 24 rows
show, and comes back when the terminal grows."""


from tmux_driver import TestHost, Tmux

# (argument of -e, terminal type, window size, host's set-up bytes, keys typed, bytes expected).
# Keys are tmux key names; a name starting with "=" is typed as literal text.
CASES = [
    ("ansi", "ANSI", (80, 24), "", ["Up", "End", "Delete", "F1", "=x"], b"\x1b[A\x1b[K\x7f\x1bOPx"),
    ("utf8", "ANSI", (80, 24), "", ["=é", "PPage"], b"\xc3\xa9\x1b[V"),
    ("vt100", "VT100", (80, 24), "\\e[?1h", ["Up", "Left", "Home", "Delete"], b"\x1bOA\x1bOD\x1b[1~\x1b[3~"),
    ("tty", "DUMB", (80, 24), "", ["Home", "Insert", "=é"], b"\x1b[H\x1b[@\x82"),
    ("petscii40", "PETSCII", (40, 25), "", ["=aA", "Up", "BSpace", "F1"], b"A\xc1\x91\x14\x85"),
    ("petscii80", "PETSCII", (80, 25), "", ["S-Home", "End", "=z"], b"\x93\x93Z"),
]


def type_keys(t, keys):
    for key in keys:
        if key.startswith("="):
            t.type(key[1:])
        else:
            t.keys(key)


def check(case):
    emulation, ttype, (width, height), setup, keys, expected = case
    steps = [{"do": "naws"}, {"do": "ttype"}, {"ttype_send": True}, {"send": setup + "READY\\r\\n"},
             {"expect": "\\r"}, {"do": "binary"}]
    with TestHost(steps=steps, time_limit=60) as host, Tmux(f"calls-{emulation}") as t:
        t.start_program("-e", emulation, "127.0.0.1", host.port)
        session = host.wait_session(10)
        t.check(session, "no connection reached the host")
        naws = ("SB", 31, bytes([0, width, 0, height]))
        for command in [("WILL", 31), naws, ("WILL", 24), ("SB", 24, b"\x00" + ttype.encode())]:
            t.check(session.wait_command(command, 5), f"{emulation}: no {command} among {session.commands}")
        ready = "R E A D Y" if emulation == "petscii40" else "READY"  # 40 columns shown double width
        t.wait_text(ready)

        start = len(session.raw)
        type_keys(t, keys)
        t.check(session.wait_raw(expected, 5) and bytes(session.raw[start:]) == expected,
                f"{emulation}: keys sent {bytes(session.raw[start:])!r}, expected {expected!r}")

        start = len(session.raw)
        t.keys("Enter")  # negotiation is on, binary mode is not: CR NUL
        t.check(session.wait_command(("WILL", 0), 5), f"{emulation}: DO BINARY was not accepted")
        t.check(bytes(session.raw[start:]) == b"\r\x00\xff\xfb\x00", f"{emulation}: text-mode Enter")


def check_24_rows():
    page = "\\e[2J\\e[H" + "\\r\\n".join(f"row {n}" for n in range(1, 25))
    naws_24 = ("SB", 31, bytes([0, 80, 0, 24]))
    with TestHost(steps=[{"do": "naws"}, {"send": page}], time_limit=60) as host, \
            Tmux("calls-24-rows", height=24) as t:
        t.start_program("127.0.0.1", host.port, settle_text="row 24")
        session = host.wait_session(10)
        t.check(session and session.wait_command(naws_24, 5), f"window size: {session and session.commands}")
        rows = t.screen()
        t.check(rows[0].rstrip() == "row 1" and rows[23].rstrip() == "row 24" and t.pane("#{cursor_y}") == "23",
                "at 80x24 the host's rows, or the cursor, are out of place")
        t.run("resize-window", "-t", "main", "-x", "80", "-y", "26")
        t.wait_for("the status bar back", lambda: "Alt-Z - Help!" in t.screen()[0])
        t.check("row 24" in t.screen()[24] and t.pane("#{cursor_y}") == "24", "the rows under the bar")
        t.check([c for c in session.commands if c[:2] == ("SB", 31)] == [naws_24], "the window size changed")


def main():
    for case in CASES:
        check(case)
    check_24_rows()
    print("ok: terminal type, window size, keys and Enter for", ", ".join(c[0] for c in CASES), "; 24 rows")


if __name__ == "__main__":
    main()
