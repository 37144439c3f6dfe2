#!/usr/bin/env python3
"""pelong-termdump: captures fed through the terminal interpreter and printed as text."""
import os
import subprocess
import sys
import tempfile
import unittest

TOOL = os.path.join(os.environ.get("PELONG_TOOLS", "build/release/tools"), "pelong-termdump")


def termdump(data, *args):
    """Runs the tool with data on standard input; returns (exit code, stdout lines, stderr)."""
    result = subprocess.run([TOOL, *args], input=data, capture_output=True, timeout=30)
    return result.returncode, result.stdout.decode().split("\n")[:-1], result.stderr.decode()


class TermdumpTest(unittest.TestCase):
    def test_rows_cursor_cells_and_replies(self):
        data = b"\x1b[1;31mA\x1b[0m \x1b[44m \x1b[0;5mB\xe4\xb8\xad\r\n\x1b[6n\x1b[c"
        code, lines, _ = termdump(data, "-e", "utf8", "-r", "3", "--cells", "--replies", "-")
        self.assertEqual(code, 0)
        self.assertEqual(lines, [
            "A  B中", "", "", "cursor 1 0",
            "0 0 U+0041 12 0 0", "0 2 U+0020 7 1 0", "0 3 U+0042 7 0 1", "0 4 U+4E2D 7 0 1", "0 5 U+0000 7 0 1",
            r"reply \x1b[2;1R", r"reply \x1b[?1;0c",
        ])

    def test_file_default_rows_ice_and_settling(self):
        with tempfile.NamedTemporaryFile(suffix=".cap") as capture:
            capture.write(b"\x1b[5;44mX caf\xc3")
            capture.flush()
            _, lines, _ = termdump(b"", "--ice", "--cells", capture.name)
        self.assertEqual(lines[0], "X caf├")  # the unfinished sequence is settled at the end
        self.assertEqual(lines[24:26], ["cursor 0 6", "0 0 U+0058 7 9 0"])

    def test_petscii_shown_as_composed(self):
        _, lines, _ = termdump(b"\x05HI\xc1\x0e", "-e", "c64", "-r", "1", "--cells")
        self.assertEqual(lines[:3], ["hiA", "cursor 0 3", "0 0 U+0048 17 16 4"])


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False).result.wasSuccessful() else 1)
