#!/usr/bin/env python3
"""Starts that end by themselves: the usage text byte for byte, and pelong -i LIST -q, which imports
a SyncTERM list with no network and no console, prints one line and leaves the phonebook files."""
import os
import shutil
import subprocess
import tempfile
import unittest

USAGE = (b"Pelorin Next Generation 1.0\n"
         b"usage: pelong [host [port]] [-e emulation] [-i syncterm.lst [-q]]\n"
         b"  -e   emulation: ansi cp437 utf8 vt100 tty petscii40 petscii80\n"
         b"  -i   import a SyncTERM phonebook (-q: without starting the UI)\n")
RECORD = 197
LIST = (b"Port=2323\r\n"
        b"[Alpha \xe2\x95\x94\xe2\x95\x90\xe2\x95\x97]\r\n"  # UTF-8 box drawing in the name
        b"Address=telnet://alpha.example\r\nScreenMode=C64\r\n"
        b"[Beta]\r\nAddress=beta.example\r\nPort=23\r\n"
        b"[Secure]\r\nAddress=ssh.example\r\nConnectionType=SSH\r\n"
        b"[Known]\r\nAddress=KNOWN.example\r\nPort=23\r\n")


def run(home, *args, term="dumb"):
    env = dict(os.environ, PELONG_HOME=home, TERM=term)
    if term is None:
        del env["TERM"]
    return subprocess.run([os.environ.get("PELONG_BIN", "build/release/pelong"), *args], env=env,
                          stdin=subprocess.DEVNULL, capture_output=True, timeout=30)


def record(name, address):
    r = bytearray(RECORD)
    r[0], r[1:1 + len(name)] = len(name), name
    r[61], r[62:62 + len(address)] = len(address), address
    return bytes(r)


def write(home, name, data):
    with open(os.path.join(home, name), "wb") as f:
        f.write(data)


def read(home, name):
    with open(os.path.join(home, name), "rb") as f:
        return f.read()


class CommandLine(unittest.TestCase):
    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="pelong-cli-")

    def tearDown(self):
        shutil.rmtree(self.home)

    def test_help_words_print_the_usage_and_exit_0(self):
        for args in (["-h"], ["/?"], ["-?"], ["--help"], ["-help"], ["somehost", "-h"]):  # after a host too
            result = run(self.home, *args)
            self.assertEqual((result.returncode, result.stdout), (0, USAGE), args)

    def test_starts_that_cannot_work_say_why_and_exit_1(self):
        cases = [(("127.0.0.1", "99999"), "xterm", b"Bad port: 99999\n"),
                 (("127.0.0.1", "telnet"), "xterm", b"Bad port: telnet\n"),
                 ((), "dumb", b"pelong needs a terminal that understands cursor movement (TERM=dumb)\n"),
                 ((), None, b"pelong needs a terminal that understands cursor movement (TERM=)\n")]
        for args, term, message in cases:
            result = run(self.home, *args, term=term)
            self.assertEqual((result.returncode, result.stdout, result.stderr), (1, b"", message), args)

    def test_quiet_import_adds_the_new_entries_and_reports_them(self):
        known = record(b"Known", b"known.example")
        write(self.home, "syncterm.lst", LIST)
        write(self.home, "pelo.fon", known)
        lst = os.path.join(self.home, "syncterm.lst")
        result = run(self.home, "-i", lst, "-q")
        output = (0, b"Imported 2 entries (1 duplicates, 0 no room, 1 skipped)\n", b"")
        self.assertEqual((result.returncode, result.stdout, result.stderr), output)
        self.assertEqual(read(self.home, "pelo.fon")[RECORD:RECORD * 2], record(b"Alpha \xc9\xcd\xbb", b"alpha.example 2323"))
        self.assertEqual(read(self.home, "pelo.fon.bak"), known, "backup of the one-record file")
        self.assertIn(b"\r\npetscii40\tAlpha \xc9\xcd\xbb\talpha.example 2323\r\n", read(self.home, "pelong.ext"))

        # ImportSSH from the extended settings file answers the question nobody is asked.
        write(self.home, "pelong.cfg", b"ImportSSH=yes\r\n")
        result = run(self.home, "-i", lst, "-q")
        self.assertEqual((result.returncode, result.stdout),
                         (0, b"Imported 1 entries (3 duplicates, 0 no room, 0 skipped)\n"))

    def test_quiet_import_of_a_missing_list_fails_and_writes_nothing(self):
        missing = os.path.join(self.home, "missing.lst")
        result = run(self.home, "-i", missing, "-q")
        self.assertEqual((result.returncode, result.stdout), (1, f"Cannot open {missing}\n".encode()))
        self.assertEqual(os.listdir(self.home), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
