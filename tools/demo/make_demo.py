#!/usr/bin/env python3
"""Builds the demo host's pages: welcome.ans (ANSI art in CP437), utf8.ans (a UTF-8 page) and
petscii.seq (a 40-column PETSCII page). Run it after changing a page; the outputs are committed."""

import os

HERE = os.path.dirname(os.path.abspath(__file__))
ESC = "\x1b"

# A five-row block font of the project's own design for the title; "#" is a full block.
FONT = {
    "P": ["####.", "#...#", "####.", "#....", "#...."],
    "E": ["#####", "#....", "####.", "#....", "#####"],
    "L": ["#....", "#....", "#....", "#....", "#####"],
    "O": [".###.", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "####.", "#..#.", "#...#"],
    "I": ["#####", "..#..", "..#..", "..#..", "#####"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#"],
    "G": [".####", "#....", "#..##", "#...#", ".####"],
    " ": [".....", ".....", ".....", ".....", "....."],
}


def at(row, column):
    return "%s[%d;%dH" % (ESC, row, column)


def sgr(*codes):
    return "%s[%sm" % (ESC, ";".join(str(c) for c in codes))


def title_grid(text):
    rows = ["" for _ in range(5)]
    for ch in text:
        for r in range(5):
            rows[r] += FONT[ch][r] + "."
    return rows


def welcome():
    """The welcome screen, as text whose characters are all in CP437."""
    out = [sgr(0), ESC + "[2J", at(1, 1)]
    # Frame in double lines.
    out.append(sgr(0, 34) + at(1, 1) + "╔" + "═" * 78 + "╗")
    for row in range(2, 23):
        out.append(at(row, 1) + "║" + at(row, 80) + "║")
    out.append(at(23, 1) + "╚" + "═" * 78 + "╝")
    # Title in a colour ramp, with a dim half-block reflection under its last row.
    grid = title_grid("PELORIN NG")
    width = len(grid[0])
    left = 2 + (78 - width) // 2
    colours = [(1, 36), (0, 36), (1, 34), (0, 34), (0, 35)]
    for r in range(5):
        line = "".join("█" if cell == "#" else " " for cell in grid[r])
        out.append(at(3 + r, left) + sgr(*colours[r]) + line)
    out.append(at(8, left) + sgr(1, 30) + "".join("▀" if cell == "#" else " " for cell in grid[4]))
    subtitle = " a telnet client for bulletin-board systems "
    rule = (76 - len(subtitle)) // 2
    out.append(at(10, 3) + sgr(0, 34) + "─" * rule + sgr(1, 37) + subtitle + sgr(0, 34) +
               "─" * (76 - rule - len(subtitle)))
    out.append(at(11, 27) + sgr(0, 37) + "Welcome to the demo host")
    # Menu box.
    items = [("1", "This welcome screen", "ANSI in CP437"),
             ("2", "A page in UTF-8", "Alt-E: ANSI UTF-8"),
             ("3", "A page in PETSCII", "Alt-E: PETSCII 40"),
             ("4", "Download this page", "Zmodem, by itself"),
             ("Q", "Hang up", "")]
    box_left, box_top, box_width = 14, 12, 52
    out.append(at(box_top, box_left) + sgr(1, 33) + "┌" + "─" * 3 + sgr(1, 37) + " Menu " + sgr(1, 33) +
               "─" * (box_width - 11) + "┐")
    for i, (key, text, hint) in enumerate(items):
        row = box_top + 1 + i
        out.append(at(row, box_left) + sgr(1, 33) + "│ " + sgr(0, 37) + "[" + sgr(1, 37) + key + sgr(0, 37) +
                   "] " + sgr(1, 36) + text.ljust(22) + sgr(0, 36) + hint.ljust(box_width - 29) +
                   sgr(1, 33) + "│")
    out.append(at(box_top + 1 + len(items), box_left) + sgr(1, 33) + "└" + "─" * (box_width - 2) + "┘")
    # The sixteen text colours and some of the CP437 set.
    out.append(at(19, 6) + sgr(0, 37) + "Colours ")
    for bold in (0, 1):
        for colour in range(8):
            out.append(sgr(bold, 30 + colour) + "██")
    out.append(at(19, 48) + sgr(0, 37) + "Shades " + sgr(0, 32) + "░░▒▒▓▓██" + sgr(1, 32) + "▓▓▒▒░░")
    out.append(at(20, 6) + sgr(0, 37) + "CP437   " + sgr(1, 37) +
               "Ç ü é â ä à å ç ê ë ½ ¼ « » £ ¥ ƒ α ß π Σ σ µ Ω ∞ ± ≥ ≤ ÷ ≈ ° √ ■")
    out.append(at(21, 6) + sgr(0, 36) + "The client settles on CP437 or UTF-8 once per call; Alt-E changes")
    out.append(at(22, 6) + "the emulation at any time." + sgr(0))
    out.append(at(24, 1) + sgr(0, 37) + " Your choice " + sgr(1, 37) + "(1-4, Q)" + sgr(0, 37) + ": ")
    return "".join(out).encode("cp437")


def utf8_page():
    out = [sgr(0), ESC + "[2J", at(1, 1)]
    out.append(sgr(1, 36) + "╔" + "═" * 31 + "╡ " + sgr(1, 37) + "UTF-8 page" + sgr(1, 36) + " ╞" +
               "═" * 33 + "╗\r\n")
    lines = [
        ("Français", "Ça ira. Déjà vu, cœur, œuvre, naïve, où, garçon"),
        ("Deutsch", "Grüße aus Köln! Straße, Äpfel, Öl, Übermut"),
        ("Español", "¿Qué tal? ¡Olé! Año, niño, señal, corazón"),
        ("Svenska", "Räksmörgås, ål, ö, å"),
        ("Ελληνικά", "Καλημέρα κόσμε, αβγδεζηθ ΣΩΨ"),
        ("Русский", "Добрый день! Съешь же ещё этих булок"),
        ("Symbols", "→ ← ↑ ↓ ↔ ✓ ✗ ★ ☆ ♪ ♫ € £ ¥ © ® ™ ° ± × ÷ ≤ ≥ ≠ ∞"),
        ("Blocks", "░ ▒ ▓ █ ▀ ▄ ▌ ▐ ■ □ ▲ ▼ ◆ ● ○ ◢ ◣"),
        ("Lines", "┌─┬─┐ ╔═╦═╗ ╭──╮ ├─┼─┤ ╠═╬═╣ │  │ └─┴─┘ ╚═╩═╝ ╰──╯"),
    ]
    for label, text in lines:
        out.append(sgr(1, 36) + "║ " + sgr(1, 33) + label.ljust(10) + sgr(0, 37) + text.ljust(67) +
                   sgr(1, 36) + "║\r\n")
    out.append(sgr(1, 36) + "╟" + "─" * 78 + "╢\r\n")
    # The 256-colour set: its colour cube rows, then a 24-bit ramp matched to the nearest colour.
    for start in (16, 52, 88, 124, 160, 196):
        out.append(sgr(1, 36) + "║ " + sgr(0, 37) + "256 colours ")
        for k in range(start, start + 36):
            out.append("%s[48;5;%dm " % (ESC, k))
        out.append(sgr(0) + " " * 29 + sgr(1, 36) + "║\r\n")
    out.append(sgr(1, 36) + "║ " + sgr(0, 37) + "24-bit ramp ")
    for i in range(64):
        r, g, b = (255 * i // 63, 128 - abs(128 - 4 * i) // 2 + 64, 255 - 255 * i // 63)
        out.append("%s[48;2;%d;%d;%dm " % (ESC, r, g, b))
    out.append(sgr(0) + " " + sgr(1, 36) + "║\r\n")
    out.append(sgr(1, 36) + "╚" + "═" * 78 + "╝\r\n")
    out.append(sgr(0, 37) + "\r\n Press any key to return to the menu." + sgr(0))
    return "".join(out).encode("utf-8")


# PETSCII control codes and colours (Commodore 64 screen editor).
CLEAR, HOME, RETURN, RVS_ON, RVS_OFF, UPPER = 0x93, 0x13, 0x0D, 0x12, 0x92, 0x8E
COLOURS = {"black": 0x90, "white": 0x05, "red": 0x1C, "cyan": 0x9F, "purple": 0x9C, "green": 0x1E,
           "blue": 0x1F, "yellow": 0x9E, "orange": 0x81, "brown": 0x95, "light red": 0x96,
           "dark grey": 0x97, "grey": 0x98, "light green": 0x99, "light blue": 0x9A, "light grey": 0x9B}
TOP_LEFT, TOP_RIGHT, BOTTOM_LEFT, BOTTOM_RIGHT, HLINE, VLINE = 0xB0, 0xAE, 0xAD, 0xBD, 0xC0, 0xDD
SPADE, HEART, CLUB, DIAMOND, BALL, CHECKER = 0xC1, 0xD3, 0xD8, 0xDA, 0xD1, 0xA6


def petscii_text(text):
    """Upper-case ASCII text as PETSCII bytes of the upper-case/graphics set."""
    return bytes(ord(c) for c in text.upper())


def petscii_page():
    out = bytearray([CLEAR, UPPER])
    # A 40-column title bar in reverse: the 40th cell wraps the cursor by itself, so no RETURN.
    title = " PELORIN NG DEMO HOST ".center(40)
    out += bytes([COLOURS["cyan"], RVS_ON]) + petscii_text(title) + bytes([RVS_OFF])
    out += bytes([COLOURS["white"]]) + petscii_text(" THIS PAGE IS IN PETSCII.") + bytes([RETURN])
    out += bytes([RETURN])
    # Colour bars: the sixteen C64 colours as reversed blanks.
    out += bytes([COLOURS["light grey"]]) + petscii_text("COLOURS ")
    for name in ("black", "white", "red", "cyan", "purple", "green", "blue", "yellow", "orange", "brown",
                 "light red", "dark grey", "grey", "light green", "light blue", "light grey"):
        out += bytes([COLOURS[name], RVS_ON, 0x20, 0x20, RVS_OFF])
    out += bytes([RETURN])  # the row of 40 cells has wrapped already
    # A framed box with the card suits.
    inner = 28
    out += bytes([COLOURS["yellow"]]) + b"  " + bytes([TOP_LEFT]) + bytes([HLINE]) * inner + bytes([TOP_RIGHT, RETURN])
    row = bytes([COLOURS["red"], HEART, 0x20, DIAMOND, 0x20, COLOURS["white"], SPADE, 0x20, CLUB, 0x20])
    row += bytes([COLOURS["light green"]]) + petscii_text(" CARD SUITS ") + bytes([COLOURS["orange"], BALL, 0x20, BALL])
    out += bytes([COLOURS["yellow"]]) + b"  " + bytes([VLINE, 0x20]) + row + b" " * (inner - 1 - 23) + bytes(
        [COLOURS["yellow"], VLINE, RETURN])
    out += bytes([COLOURS["yellow"]]) + b"  " + bytes([BOTTOM_LEFT]) + bytes([HLINE]) * inner + bytes(
        [BOTTOM_RIGHT, RETURN])
    out += bytes([RETURN])
    # A checkerboard ramp.
    for colour in ("blue", "light blue", "cyan", "white"):
        out += b" " + bytes([COLOURS[colour]]) + bytes([CHECKER]) * 38 + bytes([RETURN])
    out += bytes([RETURN, COLOURS["light blue"]])
    out += petscii_text(" 1 ANSI WELCOME    2 UTF-8 PAGE") + bytes([RETURN])
    out += petscii_text(" 3 THIS PAGE       Q HANG UP") + bytes([RETURN, RETURN, COLOURS["white"]])
    out += petscii_text(" YOUR CHOICE: ")
    return bytes(out)


def main():
    for name, content in (("welcome.ans", welcome()), ("utf8.ans", utf8_page()), ("petscii.seq", petscii_page())):
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(content)
        print("%s: %d bytes" % (name, len(content)))


if __name__ == "__main__":
    main()
