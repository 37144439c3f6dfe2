"""Zmodem against lrzsz's sz and rz through the test host's bridge, with pelong-xfer as the client:
a batch of awkward sizes and bytes each way, noise on the line, a file too large for the protocol.
(Hostile names are checked where names are cleaned and files made.)"""

import os
import re
import shutil
import subprocess
import tempfile
import unittest

from tmux_driver import TestHost

XFER = os.path.join(os.environ.get("PELONG_TOOLS", "build/release/tools"), "pelong-xfer")
RESULT = re.compile(r'^RESULT tool=pelong-xfer dir=\w+ files=(\d+) bytes=\d+ seconds=[\d.]+ MBps=[\d.]+ '
                    r'status="([^"]*)"$')
BATCH = ["empty", "one", "k1", "k2", "random", "awkward"]


class Interop(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="pelong-zmodem-")
        awkward = bytes([0xFF, 0x18, 0x11, 0x13, 0x0D, 0x8D]) * (4 * 1024 * 1024 // 6)
        cls.contents = dict(zip(BATCH, (b"", b"x", os.urandom(1024), os.urandom(2048), os.urandom(1 << 20),
                                        awkward)))
        for name, data in cls.contents.items():
            with open(os.path.join(cls.work, name), "wb") as f:
                f.write(data)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def transfer(self, receive, names, noise=None, files=None):
        """pelong-xfer receiving from sz or sending to rz; the copies are compared."""
        target = tempfile.mkdtemp(dir=self.work)
        host_side = ["sz", "-q", *names] if receive else ["rz", "-q"]
        step = {"bridge": host_side, "cwd": self.work if receive else target}
        if noise:
            step["noise"] = {"down" if receive else "up": noise}
        args = ["--receive", target] if receive else ["--send", *[os.path.join(self.work, n) for n in names]]
        with TestHost(steps=[step, {"close": True}], time_limit=100) as host:
            proc = subprocess.run([XFER, *args, "127.0.0.1", str(host.port)], stdout=subprocess.PIPE, text=True,
                                  timeout=120)
            host.wait_session(5).wait_closed(20)  # rz has written its last file
        count = len(names) if files is None else files
        self.assertEqual(RESULT.match(proc.stdout.strip()).groups(),
                         (str(count), "Transfer complete, %d file(s)" % count), proc.stdout)
        self.assertEqual(proc.returncode, 0 if count else 1)
        for name in os.listdir(target):
            with open(os.path.join(target, name), "rb") as f:
                self.assertTrue(f.read() == self.contents[name], name)
        self.assertEqual(len(os.listdir(target)), count)

    def test_batches_both_ways(self):
        self.transfer(True, BATCH)
        self.transfer(False, BATCH)

    def test_noise_is_recovered_from(self):
        # Offsets in the stream of escaped data: a drop and a flip inside the 1 MiB file.
        self.transfer(True, ["random"], {"drop": [300000], "flip": [700000]})
        self.transfer(False, ["random"], {"drop": [300000], "flip": [700000]})

    def test_a_file_of_2_gib_is_refused(self):
        with open(os.path.join(self.work, "huge"), "wb") as f:
            f.truncate(1 << 31)  # sparse: no disk space taken
        self.transfer(True, ["huge"], files=0)


if __name__ == "__main__":
    unittest.main()
