"""Replays the presenter's output for a run of changing frames in an independent terminal emulator
(pyte) and checks that it shows the last frame's text, colours and cursor."""
import os
import subprocess
import sys
import tempfile

import pyte


def replay(sixteen):
    """Failures of one renderer: what pyte shows against what render_sample meant."""
    tool = os.path.join(os.environ["PELONG_TOOLS"], "render_sample")
    with tempfile.TemporaryDirectory() as tmp:
        expected_path = os.path.join(tmp, "expected")
        args = [tool, expected_path] + (["16"] if sixteen else [])
        output = subprocess.run(args, check=True, stdout=subprocess.PIPE).stdout
        with open(expected_path, encoding="utf-8") as f:
            expected = [line.rstrip("\n").split(" ") for line in f]
    screen = pyte.Screen(80, 26)
    pyte.ByteStream(screen).feed(output)
    failures = []
    for kind, row, *rest in expected:
        row = int(row)
        if kind == "TEXT":
            text = " ".join(rest)
            if screen.display[row] != text:
                failures.append(f"row {row}:\n  shown    {screen.display[row]!r}\n  expected {text!r}")
        elif kind == "COLOUR":
            cell = screen.buffer[row][int(rest[0])]
            if [cell.fg, cell.bg] != rest[1:]:
                failures.append(f"colour at {row},{rest[0]}: {cell.fg}/{cell.bg} expected {rest[1:]}")
        elif kind == "CURSOR":
            if (screen.cursor.y, screen.cursor.x) != (row, int(rest[0])) or screen.cursor.hidden:
                failures.append(f"cursor {screen.cursor.y},{screen.cursor.x} expected {row},{rest[0]}")
    return failures


if __name__ == "__main__":
    failures = [("16-colour " if sixteen else "24-bit ") + f
                for sixteen in (False, True) for f in replay(sixteen)]
    print("\n".join(failures) or "ok: pyte shows what the presenter meant")
    sys.exit(1 if failures else 0)
