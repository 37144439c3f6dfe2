"""The demo host that scripts/demo starts, driven by plain sockets: its menu follows the terminal
type. (The test host's script steps and modes are exercised by every other end-to-end test.)"""

import json
import os
import pathlib
import socket
import time
import unittest

from tmux_driver import TOOLS, TestHost


def connect(port):
    return socket.create_connection(("127.0.0.1", port), timeout=5)


def receive_until(sock, predicate, timeout=5.0):
    """Everything received until predicate(bytes so far) holds, the peer closes, or time runs out."""
    data = bytearray()
    deadline = time.monotonic() + timeout
    while not predicate(bytes(data)) and time.monotonic() < deadline:
        sock.settimeout(max(0.01, deadline - time.monotonic()))
        try:
            chunk = sock.recv(65536)
        except socket.timeout:
            break
        if not chunk:
            break
        data += chunk
    return bytes(data)


class DemoHost(unittest.TestCase):
    def test_demo_menu_follows_the_terminal_type(self):
        demo = os.path.join(TOOLS, "demo")
        document = json.loads(pathlib.Path(demo, "demo.json").read_text())
        pages = {name: pathlib.Path(demo, name).read_bytes() for name in ("welcome.ans", "utf8.ans", "petscii.seq")}
        for terminal_type, first, key, second in (("ANSI", "welcome.ans", b"2", "utf8.ans"),
                                                  ("PETSCII", "petscii.seq", b"1", "welcome.ans")):
            with TestHost.from_script(document, base_dir=demo, time_limit=20) as host, connect(host.port) as sock:
                receive_until(sock, lambda d: d.endswith(b"\xff\xf0"))
                sock.sendall(b"\xff\xfb\x18\xff\xfa\x18\x00" + terminal_type.encode() + b"\xff\xf0")
                for keys, page in ((b"", first), (key, second), (b"\r\x00", first)):  # any key: the menu
                    sock.sendall(keys)
                    self.assertEqual(receive_until(sock, lambda d: len(d) >= len(pages[page])), pages[page])
                sock.sendall(b"q")
                self.assertIn(b"GOODBYE", receive_until(sock, lambda d: False).upper(), terminal_type)


if __name__ == "__main__":
    unittest.main()
