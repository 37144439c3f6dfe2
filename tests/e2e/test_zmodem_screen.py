"""Zmodem in the real program in tmux against lrzsz behind the test host: a download the host starts
runs by itself into the download directory and the terminal comes back; Esc and Y abandon a transfer
and the call goes on; an upload the host asks for, and one started with Alt-U, reach rz whole."""

import os
import pathlib
import shutil
import tempfile
import unittest

from tmux_driver import TestHost, Tmux

# sz behind a pipe that lets about 200 KB a second through, so that a transfer can be interrupted.
SLOW_SZ = ("sz -q %s | /usr/bin/python3 -c 'import os, time\nwhile True:\n    b = os.read(0, 4096)\n"
           "    if not b: break\n    os.write(1, b); time.sleep(0.02)'")


class ZmodemOnScreen(unittest.TestCase):
    def test_both_ways_and_abort(self):
        work = tempfile.mkdtemp(prefix="pelong-zmodem-screen-")
        self.addCleanup(shutil.rmtree, work, True)
        small, large = os.urandom(150_000), os.urandom(2_000_000)
        for name, data in (("small.bin", small), ("large.bin", large)):
            with open(os.path.join(work, name), "wb") as f:
                f.write(data)
        up1, up2 = tempfile.mkdtemp(dir=work), tempfile.mkdtemp(dir=work)
        steps = [
            {"send": "Here comes a file\\r\\n"}, {"sleep": 0.5},
            {"bridge": ["sz", "-q", os.path.join(work, "small.bin")]}, {"send": "After the download\\r\\n"},
            {"expect": "a"}, {"bridge": ["sh", "-c", SLOW_SZ % os.path.join(work, "large.bin")]},
            {"send": "\\r\\nAfter the abort\\r\\n"},
            {"expect": "b"}, {"bridge": ["rz", "-q"], "cwd": up1}, {"send": "\\r\\nAfter the upload\\r\\n"},
            {"expect": "\\x18B00"},  # the client's ZRQINIT after Alt-U: rz answers the next one
            {"bridge": ["rz", "-q"], "cwd": up2}, {"send": "\\r\\nAll done\\r\\n"},
        ]

        with TestHost(steps=steps, time_limit=120) as host, Tmux("zmodem", height=25) as t:
            t.start_program("127.0.0.1", host.port)
            # No download path is set: the files go to the program directory.
            t.wait_text("Files are saved in " + t.home)
            t.wait_text("After the download")
            self.assertIn("Here comes a file", t.text())
            self.assertTrue(pathlib.Path(t.home, "small.bin").read_bytes() == small)

            t.type("a")
            t.wait_text("Receiving")
            t.keys("Escape")
            t.wait_text("Abort the file transfer?")
            t.type("y")
            t.wait_text("Aborted by user")
            t.wait_text("After the abort", timeout=60)
            self.assertLess(os.path.getsize(os.path.join(t.home, "large.bin")), len(large))

            t.type("b")  # rz starts: the host is ready to receive
            t.wait_text("Remote is ready to receive")
            t.type(os.path.join(work, "small.bin"), enter=True)
            t.wait_text("Transfer complete, 1 file(s)")
            t.wait_text("After the upload", timeout=15)
            self.assertTrue(pathlib.Path(up1, "small.bin").read_bytes() == small)

            t.keys("M-u")  # the list typed last time is offered again
            t.wait_text("File(s) to send")
            t.keys("Enter")
            t.wait_text("All done", timeout=15)
            host.wait_session(5).wait_closed(10)
            self.assertTrue(pathlib.Path(up2, "small.bin").read_bytes() == small)


if __name__ == "__main__":
    unittest.main()
