#!/usr/bin/env python3
"""Starts that end by themselves: the usage text byte for byte, starts that cannot work, and
pelong -i LIST -q, which imports a SyncTERM list with no network and no console, prints one line and
leaves the phonebook files."""
import os
import pathlib
import shutil
import subprocess
import tempfile
import unittest

USAGE = (b"Pelorin Next Generation 1.0\n"
         b"usage: pelong [host [port]] [-e emulation] [-i syncterm.lst [-q]]\n"
         b"  -e   emulation: ansi cp437 utf8 vt100 tty petscii40 petscii80\n"
         b"  -i   import a SyncTERM phonebook (-q: without starting the UI)\n")
NO_CURSOR = b"pelong needs a terminal that understands cursor movement (TERM=%s)\n"
RECORD = 197
LIST = (b"Port=2323\r\n"
        b"[Alpha \xe2\x95\x94\xe2\x95\x90\xe2\x95\x97]\r\n"  # UTF-8 box drawing in the name
        b"Address=telnet://alpha.example\r\nScreenMode=C64\r\n"
        b"[Beta]\r\nAddress=beta.example\r\nPort=23\r\n"
        b"[Secure]\r\nAddress=ssh.example\r\nConnectionType=SSH\r\n"
        b"[Known]\r\nAddress=KNOWN.example\r\nPort=23\r\n")


def record(name, address):
    r = bytearray(RECORD)
    r[0], r[1:1 + len(name)] = len(name), name
    r[61], r[62:62 + len(address)] = len(address), address
    return bytes(r)


class CommandLine(unittest.TestCase):
    def setUp(self):
        self.home = pathlib.Path(tempfile.mkdtemp(prefix="pelong-cli-"))
        self.addCleanup(shutil.rmtree, self.home)

    def run_program(self, *args, term="dumb"):
        env = {k: v for k, v in os.environ.items() if k != "TERM"}
        env.update(PELONG_HOME=str(self.home), **({"TERM": term} if term else {}))
        result = subprocess.run([os.environ.get("PELONG_BIN", "build/release/pelong"), *args], env=env,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
        return result.returncode, result.stdout, result.stderr

    def test_starts_that_end_at_once(self):
        # Help words print the usage and exit 0, after a host too; starts that cannot work say why.
        cases = [(("-h",), "dumb", (0, USAGE, b"")), (("/?",), "dumb", (0, USAGE, b"")),
                 (("somehost", "--help"), "dumb", (0, USAGE, b"")),
                 (("127.0.0.1", "99999"), "xterm", (1, b"", b"Bad port: 99999\n")),
                 (("127.0.0.1", "telnet"), "xterm", (1, b"", b"Bad port: telnet\n")),
                 ((), "dumb", (1, b"", NO_CURSOR % b"dumb")), ((), None, (1, b"", NO_CURSOR % b""))]
        for args, term, expected in cases:
            self.assertEqual(self.run_program(*args, term=term), expected, args)

    def test_quiet_import_adds_the_new_entries_and_reports_them(self):
        missing = str(self.home / "missing.lst")
        self.assertEqual(self.run_program("-i", missing, "-q"), (1, f"Cannot open {missing}\n".encode(), b""))
        self.assertEqual(os.listdir(self.home), [], "a failed import wrote files")

        known = record(b"Known", b"known.example")
        (self.home / "syncterm.lst").write_bytes(LIST)
        (self.home / "pelo.fon").write_bytes(known)
        lst = str(self.home / "syncterm.lst")
        self.assertEqual(self.run_program("-i", lst, "-q"),
                         (0, b"Imported 2 entries (1 duplicates, 0 no room, 1 skipped)\n", b""))
        phonebook = (self.home / "pelo.fon").read_bytes()
        self.assertEqual(phonebook[RECORD:RECORD * 2], record(b"Alpha \xc9\xcd\xbb", b"alpha.example 2323"))
        self.assertEqual((self.home / "pelo.fon.bak").read_bytes(), known, "backup of the one-record file")
        self.assertIn(b"\r\npetscii40\tAlpha \xc9\xcd\xbb\talpha.example 2323\r\n",
                      (self.home / "pelong.ext").read_bytes())

        # ImportSSH from the extended settings file answers the question nobody is asked.
        (self.home / "pelong.cfg").write_bytes(b"ImportSSH=yes\r\n")
        self.assertEqual(self.run_program("-i", lst, "-q"),
                         (0, b"Imported 1 entries (3 duplicates, 0 no room, 0 skipped)\n", b""))


if __name__ == "__main__":
    unittest.main(verbosity=2)
