"""Replays the presenter's output for a run of changing frames in an independent terminal emulator
(pyte) and checks that it shows the last frame's text, colours and cursor."""
import os
import subprocess
import sys
import tempfile

import pyte


def replay(sixteen):
    tool = os.path.join(os.environ["PELONG_TOOLS"], "render_sample")
    with tempfile.TemporaryDirectory() as tmp:
        expected_path = os.path.join(tmp, "expected")
        args = [tool, expected_path] + (["16"] if sixteen else [])
        output = subprocess.run(args, check=True, stdout=subprocess.PIPE).stdout
        with open(expected_path, encoding="utf-8") as f:
            expected = [line.rstrip("\n").split(" ", 2) for line in f]
    screen = pyte.Screen(80, 26)
    stream = pyte.ByteStream(screen)
    stream.feed(output)
    failures = []
    for kind, *rest in expected:
        if kind == "TEXT":
            row, text = int(rest[0]), rest[1] if len(rest) > 1 else ""
            shown = screen.display[row]
            if shown != text:
                failures.append(f"row {row}:\n  shown    {shown!r}\n  expected {text!r}")
        elif kind == "COLOUR":
            row, column, fg_bg = int(rest[0]), int(rest[1].split()[0]), rest[1].split()[1:]
            cell = screen.buffer[row][column]
            if [cell.fg, cell.bg] != fg_bg:
                failures.append(f"colour at {row},{column}: {cell.fg}/{cell.bg} expected {fg_bg}")
        elif kind == "CURSOR":
            row, column = int(rest[0]), int(rest[1])
            if (screen.cursor.y, screen.cursor.x) != (row, column) or screen.cursor.hidden:
                failures.append(f"cursor {screen.cursor.y},{screen.cursor.x} expected {row},{column}")
    return failures


def main():
    failures = []
    for sixteen in (False, True):
        failures += [("16-colour " if sixteen else "24-bit ") + f for f in replay(sixteen)]
    for f in failures:
        print(f)
    if failures:
        sys.exit(1)
    print("ok: pyte shows what the presenter meant")


if __name__ == "__main__":
    main()
