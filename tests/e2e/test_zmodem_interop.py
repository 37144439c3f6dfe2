"""Zmodem against lrzsz's sz and rz through the test host's bridge, with pelong-xfer as the client:
downloads and uploads of awkward sizes and bytes in one batch, noise on the line, and hostile names
from a scripted sender."""

import binascii
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


# A scripted sender for names that no real file can carry.
def _escape(data):
    out = bytearray()
    for b in data:
        if b in (0x0D, 0x10, 0x11, 0x13, 0x18, 0x8D, 0x90, 0x91, 0x93):
            out += bytes([0x18, b ^ 0x40])
        elif b == 0xFF:
            out += b"\x18m"
        else:
            out.append(b)
    return bytes(out)


def _header(kind, value):
    h = bytes([kind]) + value.to_bytes(4, "little")
    return b"*\x18C" + _escape(h + binascii.crc32(h).to_bytes(4, "little"))


def _subpacket(data, end):
    return _escape(data) + b"\x18" + end + _escape(binascii.crc32(data + end).to_bytes(4, "little"))


def offer(name, data):
    return (_header(4, 0) + _subpacket(name + b"\0" + str(len(data)).encode(), b"k") + _header(10, 0) +
            _subpacket(data, b"h") + _header(11, len(data)))


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

    def test_names_stay_in_the_download_directory(self):
        target = self.fresh("names")
        outside = self.fresh("outside")
        with open(os.path.join(target, "taken"), "wb") as f:
            f.write(b"old")
        os.symlink(os.path.join(outside, "victim"), os.path.join(target, "link"))
        script = b"".join(offer(name, b"data") for name in
                          (b"../../x", b"a/b", b"c:d", b"..", b"L" * 300, b"taken", b"link"))
        script += b"**\x18B0800000000022d\r\x8aOO"
        with open(os.path.join(self.work, "hostile.zm"), "wb") as f:
            f.write(script)
        steps = [{"send_file": os.path.join(self.work, "hostile.zm")}, {"sleep": 1}, {"close": True}]
        with TestHost(steps=steps, time_limit=30) as host:
            code, files, _, status = run_xfer(host, "--receive", target)
        self.assertEqual((code, files, status), (0, 7, "Transfer complete, 7 file(s)"))
        expected = {"x", "b", "d", "download.bin", "L" * 255, "taken", "taken.1", "link", "link.1"}
        self.assertEqual(set(os.listdir(target)), expected)
        self.assertTrue(os.path.islink(os.path.join(target, "link")))
        with open(os.path.join(target, "taken"), "rb") as f:
            self.assertEqual(f.read(), b"old")
        self.assertEqual(os.listdir(outside), [])
        # A real sender's name with a colon, next to a file that is already there.
        with open(os.path.join(self.source, "c:d"), "wb") as f:
            f.write(b"colon")
        with TestHost(steps=[{"bridge": ["sz", "-q", "c:d"], "cwd": self.source}, {"close": True}],
                      time_limit=30) as host:
            self.assertEqual(run_xfer(host, "--receive", target)[0], 0)
        with open(os.path.join(target, "d.1"), "rb") as f:
            self.assertEqual(f.read(), b"colon")


if __name__ == "__main__":
    unittest.main()
