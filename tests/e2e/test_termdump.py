#!/usr/bin/env python3
"""pelong-termdump: captures fed through the terminal interpreter and printed as text."""
import os
import subprocess
import sys
import tempfile
import unittest

TOOL = os.path.join(os.environ.get("PELONG_TOOLS", "build/release/tools"), "pelong-termdump")


def termdump(data, *args, via_stdin=False):
    """Runs the tool on data; returns (exit code, stdout lines, stderr)."""
    with tempfile.NamedTemporaryFile(suffix=".cap") as capture:
        capture.write(data)
        capture.flush()
        argv = [TOOL, *args] + ([] if via_stdin else [capture.name])
        result = subprocess.run(argv, input=data if via_stdin else None, capture_output=True, timeout=30)
    return result.returncode, result.stdout.decode("utf-8").split("\n")[:-1], result.stderr.decode()


class TermdumpTest(unittest.TestCase):
    def test_rows_then_cursor(self):
        code, lines, _ = termdump(b"\x1b[1;31mHello\x1b[0m\r\n  \xc9\xcd\xbb", "-e", "cp437", "-r", "4")
        self.assertEqual(code, 0)
        self.assertEqual(lines, ["Hello", "  ╔═╗", "", "", "cursor 1 5"])

    def test_default_rows(self):
        _, ansi, _ = termdump(b"x")
        _, petscii, _ = termdump(b"x", "-e", "petscii40")
        self.assertEqual(len(ansi), 24 + 1)
        self.assertEqual(len(petscii), 25 + 1)

    def test_cells_list_what_is_not_blank(self):
        _, lines, _ = termdump(b"\x1b[1;31mA\x1b[0m \x1b[44m \x1b[0;5mB\xe4\xb8\xad", "-r", "2", "-e", "utf8", "--cells")
        self.assertEqual(lines[3:], [
            "0 0 U+0041 12 0 0",
            "0 2 U+0020 7 1 0",
            "0 3 U+0042 7 0 1",
            "0 4 U+4E2D 7 0 1",
            "0 5 U+0000 7 0 1",
        ])
        self.assertEqual(lines[0], "A  B中")

    def test_ice_colours(self):
        _, lines, _ = termdump(b"\x1b[5;44mX", "-r", "1", "--ice", "--cells")
        self.assertEqual(lines[2:], ["0 0 U+0058 7 9 0"])

    def test_replies_hex_escaped(self):
        _, lines, _ = termdump(b"\x1b[3;7H\x1b[6n\x1b[c\x1b[5n\x1b[255n", "--replies")
        self.assertEqual(lines[-4:], [r"reply \x1b[3;7R", r"reply \x1b[?1;0c", r"reply \x1b[0n", r"reply \x1b[24;80R"])

    def test_standard_input(self):
        for args in ([], ["-"]):
            code, lines, _ = termdump(b"from stdin", "-r", "1", *args, via_stdin=True)
            self.assertEqual((code, lines), (0, ["from stdin", "cursor 0 10"]))

    def test_petscii_shown_as_composed(self):
        # Upper-case / graphics set, then the switch to lower case changes what everything shows.
        _, upper, _ = termdump(b"\x05HI\xc1", "-e", "petscii40", "-r", "1")
        _, lower, _ = termdump(b"\x05HI\xc1\x0e", "-e", "c64", "-r", "1", "--cells")
        self.assertEqual(upper, ["HI♠", "cursor 0 3"])
        self.assertEqual(lower[:2], ["hiA", "cursor 0 3"])
        self.assertEqual(lower[2], "0 0 U+0048 17 16 4")

    def test_petscii_ascii_text(self):
        login = b"Hello there, please log in\r\nName:\r\n"
        _, lines, _ = termdump(login, "-e", "petscii80", "-r", "4")
        self.assertEqual(lines, ["Hello there, please log in", "Name:", "", "", "cursor 3 0"])

    def test_unfinished_utf8_is_settled_at_the_end(self):
        _, lines, _ = termdump(b"caf\xc3", "-r", "1")
        self.assertEqual(lines, ["caf├", "cursor 0 4"])

    def test_bad_arguments(self):
        code, _, err = termdump(b"", "-e", "vt102")
        self.assertEqual(code, 2)
        self.assertIn("unknown emulation", err)
        code, _, _ = termdump(b"", "-r", "27")
        self.assertEqual(code, 2)
        result = subprocess.run([TOOL, "/nonexistent/capture"], capture_output=True, timeout=30)
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"cannot open", result.stderr)


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False, verbosity=1).result.wasSuccessful() else 1)
