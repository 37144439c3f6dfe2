#!/usr/bin/env python3
"""The program's command line: usage text byte for byte, and starts that end by themselves."""
import os
import subprocess
import sys
import tempfile
import unittest

BIN = os.environ.get('PELONG_BIN', 'build/release/pelong')
USAGE = (b"Pelorin Next Generation 1.0\n"
         b"usage: pelong [host [port]] [-e emulation] [-i syncterm.lst [-q]]\n"
         b"  -e   emulation: ansi cp437 utf8 vt100 tty petscii40 petscii80\n"
         b"  -i   import a SyncTERM phonebook (-q: without starting the UI)\n")


def run(*args):
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, PELONG_HOME=home)
        return subprocess.run([BIN, *args], env=env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=20)


class Usage(unittest.TestCase):
    def test_help_words_print_the_usage_and_exit_0(self):
        for word in ('-h', '/?', '-help'):
            with self.subTest(word=word):
                result = run(word)
                self.assertEqual(result.returncode, 0)
                self.assertEqual(result.stdout, USAGE)

    def test_help_after_a_host_still_wins(self):
        result = run('somehost', '-h')
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stdout, USAGE)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1], verbosity=2)
