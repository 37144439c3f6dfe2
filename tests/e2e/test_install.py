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
VERSION = b"Pelorin Next Generation 1.0\n"
LIST = b"[Board]\r\nAddress=board.example\r\n"
IMPORTED = b"Imported 1 entries (0 duplicates, 0 no room, 0 skipped)\n"


def files_under(top):
    return {os.path.relpath(os.path.join(d, f), top) for d, _, names in os.walk(top) for f in names}


class Installed(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="pelong-install-")
        cls.prefix = os.path.join(cls.root, "prefix")
        subprocess.run(["cmake", "--install", BUILD, "--prefix", cls.prefix], check=True,
                       capture_output=True)
        cls.installed = files_under(cls.prefix)
        cls.list = os.path.join(cls.root, "syncterm.lst")
        with open(cls.list, "wb") as f:
            f.write(LIST)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root)

    def run_program(self, exe, *args, **env):
        home = tempfile.mkdtemp(dir=self.root)
        clean = {k: v for k, v in os.environ.items() if k not in ("PELONG_HOME", "XDG_CONFIG_HOME")}
        result = subprocess.run([exe, *args], env=dict(clean, HOME=home, TERM="dumb", **env),
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
        return result, home

    def test_layout(self):
        tools = {f for f in self.installed if f.startswith("bin/pelong-")}
        self.assertIn("bin/pelong", self.installed)
        self.assertIn("bin/pelong-termdump", tools)
        for tool in tools | {"bin/pelong"}:  # every program has its page
            self.assertIn(f"share/man/man1/{os.path.basename(tool)}.1", self.installed)
        for doc in ("README.md", "demo/welcome.ans", "demo/utf8.ans", "demo/petscii.seq"):
            self.assertIn("share/doc/pelong/" + doc, self.installed)

    def test_installed_program_keeps_its_files_in_the_users_configuration(self):
        exe = os.path.join(self.prefix, "bin", "pelong")
        result, _ = self.run_program(exe, "-h")
        self.assertEqual(result.returncode, 0)
        self.assertTrue(result.stdout.startswith(VERSION + b"usage: pelong "), result.stdout)
        result, _ = self.run_program(exe, "--version")
        self.assertEqual((result.returncode, result.stdout), (0, VERSION))

        result, home = self.run_program(exe, "-i", self.list, "-q")
        self.assertEqual((result.returncode, result.stdout, result.stderr), (0, IMPORTED, b""))
        self.assertEqual(files_under(home), {".config/pelong/pelo.fon", ".config/pelong/pelong.ext"})

        config = os.path.join(self.root, "xdg")
        result, home = self.run_program(exe, "-i", self.list, "-q", XDG_CONFIG_HOME=config)
        self.assertEqual(result.stdout, IMPORTED)
        self.assertEqual(files_under(config), {"pelong/pelo.fon", "pelong/pelong.ext"})
        self.assertEqual(files_under(home), set())
        self.assertEqual(files_under(self.prefix), self.installed, "nothing written beside the program")

    def test_copy_beside_its_settings_is_portable(self):
        portable = os.path.join(self.root, "portable")
        os.mkdir(portable)
        shutil.copy(os.path.join(self.prefix, "bin", "pelong"), portable)
        open(os.path.join(portable, "pelo.cfg"), "wb").close()
        result, home = self.run_program(os.path.join(portable, "pelong"), "-i", self.list, "-q")
        self.assertEqual(result.stdout, IMPORTED)
        self.assertEqual(files_under(portable), {"pelong", "pelo.cfg", "pelo.fon", "pelong.ext"})
        self.assertEqual(files_under(home), set())


if __name__ == "__main__":
    unittest.main(verbosity=2)
