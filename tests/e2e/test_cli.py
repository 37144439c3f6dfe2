#!/usr/bin/env python3
"""Starts that end by themselves: the usage text byte for byte, starts that cannot work, and
pelong -i LIST -q, which imports a SyncTERM list with no network and no console, prints one line and
leaves the phonebook files. Installed by cmake --install and run with PELONG_HOME unset, the program
keeps its files in ~/.config/pelong/ (or $XDG_CONFIG_HOME), never beside itself, even for root; a
copy in a directory that holds a pelo.cfg is a portable install and keeps its files there."""
import os
import pathlib
import shutil
import subprocess
import tempfile
import unittest

PELONG = os.environ.get("PELONG_BIN", "build/release/pelong")
USAGE = (b"Pelorin Next Generation 1.0\n"
         b"usage: pelong [host [port]] [-e emulation] [-i syncterm.lst [-q]]\n"
         b"  -e   emulation: ansi cp437 utf8 vt100 tty petscii40 petscii80\n"
         b"  -i   import a SyncTERM phonebook (-q: without starting the UI)\n")
NO_CURSOR = b"pelong needs a terminal that understands cursor movement (TERM=%s)\n"
IMPORTED = b"Imported %d entries (%d duplicates, 0 no room, %d skipped)\n"
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


def files_under(top):
    return {os.path.relpath(os.path.join(d, f), top) for d, _, names in os.walk(top) for f in names}


class CommandLine(unittest.TestCase):
    def setUp(self):
        self.home = pathlib.Path(tempfile.mkdtemp(prefix="pelong-cli-"))
        self.addCleanup(shutil.rmtree, self.home)

    def run_program(self, *args, exe=PELONG, **env):
        """(exit code, stdout, stderr); a variable given as None is left out."""
        env = dict(os.environ, **{"PELONG_HOME": str(self.home), "TERM": "dumb", "XDG_CONFIG_HOME": None, **env})
        result = subprocess.run([exe, *args], env={k: v for k, v in env.items() if v is not None},
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
            self.assertEqual(self.run_program(*args, TERM=term), expected, args)

    def test_quiet_import_adds_the_new_entries_and_reports_them(self):
        missing = str(self.home / "missing.lst")
        self.assertEqual(self.run_program("-i", missing, "-q"), (1, f"Cannot open {missing}\n".encode(), b""))
        self.assertEqual(os.listdir(self.home), [], "a failed import wrote files")

        known = record(b"Known", b"known.example")
        (self.home / "syncterm.lst").write_bytes(LIST)
        (self.home / "pelo.fon").write_bytes(known)
        lst = str(self.home / "syncterm.lst")
        self.assertEqual(self.run_program("-i", lst, "-q"), (0, IMPORTED % (2, 1, 1), b""))
        phonebook = (self.home / "pelo.fon").read_bytes()
        self.assertEqual(phonebook[RECORD:RECORD * 2], record(b"Alpha \xc9\xcd\xbb", b"alpha.example 2323"))
        self.assertEqual((self.home / "pelo.fon.bak").read_bytes(), known, "backup of the one-record file")
        self.assertIn(b"\r\npetscii40\tAlpha \xc9\xcd\xbb\talpha.example 2323\r\n",
                      (self.home / "pelong.ext").read_bytes())

        # ImportSSH from the extended settings file answers the question nobody is asked.
        (self.home / "pelong.cfg").write_bytes(b"ImportSSH=yes\r\n")
        self.assertEqual(self.run_program("-i", lst, "-q"), (0, IMPORTED % (1, 3, 0), b""))

    def test_installed_program_keeps_its_files_in_the_users_configuration(self):
        prefix, lst = self.home / "prefix", str(self.home / "syncterm.lst")
        build = os.path.dirname(os.path.abspath(PELONG))
        subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True, capture_output=True)
        (self.home / "syncterm.lst").write_bytes(b"[Board]\r\nAddress=board.example\r\n")
        installed = files_under(prefix)
        for tool in {f for f in installed if f.startswith("bin/pelong")}:  # every program has its page
            self.assertIn(f"share/man/man1/{os.path.basename(tool)}.1", installed)
        for name in ("bin/pelong-termdump", "share/doc/pelong/README.md", "share/doc/pelong/demo/welcome.ans"):
            self.assertIn(name, installed)

        exe = str(prefix / "bin" / "pelong")
        self.assertEqual(self.run_program("--version", exe=exe)[:2], (0, b"Pelorin Next Generation 1.0\n"))
        # One home for every run: an import that went to the wrong place would find its entry known.
        home = {"PELONG_HOME": None, "HOME": str(self.home / "home")}
        (self.home / "home").mkdir()
        for config, xdg in (("home/.config", None), ("xdg", str(self.home / "xdg"))):
            self.assertEqual(self.run_program("-i", lst, "-q", exe=exe, XDG_CONFIG_HOME=xdg, **home),
                             (0, IMPORTED % (1, 0, 0), b""), config)
            self.assertEqual(files_under(self.home / config), {"pelong/pelo.fon", "pelong/pelong.ext"})
        self.assertEqual(files_under(prefix), installed, "nothing written beside the program")

        portable = self.home / "portable"
        portable.mkdir()
        shutil.copy(exe, portable)
        (portable / "pelo.cfg").write_bytes(b"")
        self.assertEqual(self.run_program("-i", lst, "-q", exe=str(portable / "pelong"), **home),
                         (0, IMPORTED % (1, 0, 0), b""))
        self.assertEqual(files_under(portable), {"pelong", "pelo.cfg", "pelo.fon", "pelong.ext"})


if __name__ == "__main__":
    unittest.main(verbosity=2)
