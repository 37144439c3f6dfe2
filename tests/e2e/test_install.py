#!/usr/bin/env python3
"""The installed program: cmake --install into a temporary prefix, then the program run from there
with an empty home and PELONG_HOME unset. Its files go to ~/.config/pelong/ (or $XDG_CONFIG_HOME),
never beside the program, even for root; a copy kept in a directory that holds a pelo.cfg is a
portable install and keeps its files there."""
import os
import shutil
import subprocess
import tempfile
import unittest

BUILD = os.path.dirname(os.path.abspath(os.environ.get("PELONG_BIN", "build/release/pelong")))
IMPORTED = b"Imported 1 entries (0 duplicates, 0 no room, 0 skipped)\n"


def files_under(top):
    return {os.path.relpath(os.path.join(d, f), top) for d, _, names in os.walk(top) for f in names}


class Installed(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="pelong-install-")
        self.addCleanup(shutil.rmtree, self.root)
        self.prefix = os.path.join(self.root, "prefix")
        subprocess.run(["cmake", "--install", BUILD, "--prefix", self.prefix], check=True, capture_output=True)
        self.list = os.path.join(self.root, "syncterm.lst")
        with open(self.list, "wb") as f:
            f.write(b"[Board]\r\nAddress=board.example\r\n")

    def run_program(self, exe, *args, **env):
        home = tempfile.mkdtemp(dir=self.root)
        clean = {k: v for k, v in os.environ.items() if k not in ("PELONG_HOME", "XDG_CONFIG_HOME")}
        result = subprocess.run([exe, *args], env=dict(clean, HOME=home, TERM="dumb", **env),
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
        return result.returncode, result.stdout, home

    def test_installed_program_keeps_its_files_in_the_users_configuration(self):
        installed = files_under(self.prefix)
        for tool in {f for f in installed if f.startswith("bin/pelong")}:  # every program has its page
            self.assertIn(f"share/man/man1/{os.path.basename(tool)}.1", installed)
        for name in ("bin/pelong-termdump", "share/doc/pelong/README.md", "share/doc/pelong/demo/welcome.ans"):
            self.assertIn(name, installed)

        exe = os.path.join(self.prefix, "bin", "pelong")
        self.assertEqual(self.run_program(exe, "--version")[:2], (0, b"Pelorin Next Generation 1.0\n"))
        code, out, home = self.run_program(exe, "-i", self.list, "-q")
        self.assertEqual((code, out), (0, IMPORTED))
        self.assertEqual(files_under(home), {".config/pelong/pelo.fon", ".config/pelong/pelong.ext"})

        config = os.path.join(self.root, "xdg")
        code, out, home = self.run_program(exe, "-i", self.list, "-q", XDG_CONFIG_HOME=config)
        self.assertEqual((code, out, files_under(home)), (0, IMPORTED, set()))
        self.assertEqual(files_under(config), {"pelong/pelo.fon", "pelong/pelong.ext"})
        self.assertEqual(files_under(self.prefix), installed, "nothing written beside the program")

        # A copy beside its own settings file is portable.
        portable = os.path.join(self.root, "portable")
        os.mkdir(portable)
        shutil.copy(exe, portable)
        open(os.path.join(portable, "pelo.cfg"), "wb").close()
        code, out, home = self.run_program(os.path.join(portable, "pelong"), "-i", self.list, "-q")
        self.assertEqual((code, out, files_under(home)), (0, IMPORTED, set()))
        self.assertEqual(files_under(portable), {"pelong", "pelo.cfg", "pelo.fon", "pelong.ext"})


if __name__ == "__main__":
    unittest.main(verbosity=2)
