"""Per emulation, against the test host: the terminal-type and window-size answers, the bytes of
typed keys, and Enter as CR NUL on a negotiated text-mode link."""

from tmux_driver import TestHost, Tmux

# (argument of -e, terminal type, window size, host's set-up bytes, keys typed, bytes expected).
# Keys are tmux key names; tmux types anything that is not one as literal text.
CASES = [
    ("ansi", "ANSI", (80, 24), "", ["Up", "End", "Delete", "F1", "x"], b"\x1b[A\x1b[K\x7f\x1bOPx"),
    ("utf8", "ANSI", (80, 24), "", ["é", "PPage"], b"\xc3\xa9\x1b[V"),
    ("vt100", "VT100", (80, 24), "\\e[?1h", ["Up", "Left", "Home", "Delete"], b"\x1bOA\x1bOD\x1b[1~\x1b[3~"),
    ("tty", "DUMB", (80, 24), "", ["Home", "Insert", "é"], b"\x1b[H\x1b[@\x82"),
    ("petscii40", "PETSCII", (40, 25), "", ["aA", "Up", "BSpace", "F1"], b"A\xc1\x91\x14\x85"),
    ("petscii80", "PETSCII", (80, 25), "", ["S-Home", "End", "z"], b"\x93\x93Z"),
]


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
        t.keys(*keys)
        t.check(session.wait_raw(expected, 5) and bytes(session.raw[start:]) == expected,
                f"{emulation}: keys sent {bytes(session.raw[start:])!r}, expected {expected!r}")

        start = len(session.raw)
        t.keys("Enter")  # negotiation is on, binary mode is not: CR NUL
        t.check(session.wait_command(("WILL", 0), 5), f"{emulation}: DO BINARY was not accepted")
        t.check(bytes(session.raw[start:]) == b"\r\x00\xff\xfb\x00", f"{emulation}: text-mode Enter")


def main():
    for case in CASES:
        check(case)
    print("ok: terminal type, window size, keys and Enter for", ", ".join(c[0] for c in CASES))


if __name__ == "__main__":
    main()
