"""Zmodem against lrzsz's sz and rz through the test host's bridge, with pelong-xfer as the client:
downloads and uploads of awkward sizes and bytes in one batch, noise on the line, a file too large
for the protocol. (Hostile names are checked where names are cleaned and files made.)"""

import os
import re
import shutil
import subprocess
import tempfile
import unittest

from tmux_driver import TestHost

XFER = os.path.join(os.environ.get("PELONG_TOOLS", "build/release/tools"), "pelong-xfer")
RESULT = re.compile(r'^RESULT tool=pelong-xfer dir=(\w+) files=(\d+) bytes=(\d+) seconds=[\d.]+ '
                    r'MBps=[\d.]+ status="([^"]*)"$')


def make_files(directory):
    """The batch: empty, one byte, 1024, 2048, 1 MiB random, 4 MiB of bytes that need care."""
    awkward = bytes([0xFF, 0x18, 0x11, 0x13, 0x0D, 0x8D]) * (4 * 1024 * 1024 // 6)
    contents = {"empty": b"", "one": b"x", "k1": os.urandom(1024), "k2": os.urandom(2048),
                "random": os.urandom(1 << 20), "awkward": awkward}
    for name, data in contents.items():
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)
    return contents


def run_xfer(host, *args):
    """Runs pelong-xfer against the host; (exit status, files, bytes, status text)."""
    proc = subprocess.run([XFER, *args, "127.0.0.1", str(host.port)], stdout=subprocess.PIPE, text=True,
                          timeout=120)
    match = RESULT.match(proc.stdout.strip())
    if not match:
        raise AssertionError("no RESULT line: %r" % proc.stdout)
    return proc.returncode, int(match.group(2)), int(match.group(3)), match.group(4)


class Interop(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="pelong-zmodem-")
        cls.source = os.path.join(cls.work, "source")
        os.mkdir(cls.source)
        cls.contents = make_files(cls.source)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def fresh(self, name):
        path = os.path.join(self.work, name)
        shutil.rmtree(path, ignore_errors=True)
        os.mkdir(path)
        return path

    def assert_copies(self, directory, names):
        for name in names:
            with open(os.path.join(directory, name), "rb") as f:
                self.assertTrue(f.read() == self.contents[name], name)

    def download(self, names, noise=None):
        target = self.fresh("down")
        step = {"bridge": ["sz", "-q", *names], "cwd": self.source}
        if noise:
            step["noise"] = {"down": noise}
        with TestHost(steps=[step, {"close": True}], time_limit=100) as host:
            code, files, size, status = run_xfer(host, "--receive", target)
        self.assertEqual((code, files, status), (0, len(names), "Transfer complete, %d file(s)" % len(names)))
        self.assertEqual(size, sum(len(self.contents[n]) for n in names))
        self.assert_copies(target, names)

    def upload(self, names, noise=None):
        target = self.fresh("up")
        step = {"bridge": ["rz", "-q"], "cwd": target}
        if noise:
            step["noise"] = {"up": noise}
        with TestHost(steps=[step, {"close": True}], time_limit=100) as host:
            code, files, _, status = run_xfer(host, "--send", *[os.path.join(self.source, n) for n in names])
            host.wait_session(5).wait_closed(20)  # rz has written its last file
        self.assertEqual((code, files, status), (0, len(names), "Transfer complete, %d file(s)" % len(names)))
        self.assert_copies(target, names)

    def test_download_batch(self):
        self.download(["empty", "one", "k1", "k2", "random", "awkward"])

    def test_upload_batch(self):
        self.upload(["empty", "one", "k1", "k2", "random", "awkward"])

    def test_noise_is_recovered_from(self):
        # Offsets in the stream of escaped data: a drop and a flip inside the 1 MiB file.
        self.download(["random"], {"drop": [300000], "flip": [700000]})
        self.upload(["random"], {"drop": [300000], "flip": [700000]})

    def test_a_file_of_2_gib_is_refused(self):
        target = self.fresh("huge")
        huge = os.path.join(self.work, "huge.bin")
        with open(huge, "wb") as f:
            f.truncate(1 << 31)  # sparse: no disk space taken
        with TestHost(steps=[{"bridge": ["sz", "-q", huge]}, {"close": True}], time_limit=60) as host:
            self.assertEqual(run_xfer(host, "--receive", target), (1, 0, 0, "Transfer complete, 0 file(s)"))
        self.assertEqual(os.listdir(target), [])
        os.unlink(huge)


if __name__ == "__main__":
    unittest.main()
