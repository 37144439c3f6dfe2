"""The demo host that scripts/demo starts, driven by plain sockets: its menu follows the terminal
type. (The test host's script steps and modes are exercised by every other end-to-end test.)"""

import json
import pathlib
import socket
import unittest

from tmux_driver import TOOLS, TestHost

DEMO = pathlib.Path(TOOLS, "demo")


def receive(sock, done):
    """What came until done(data so far) holds or the peer closed; silence of five seconds fails."""
    data = b""
    while not done(data) and (chunk := sock.recv(65536)):
        data += chunk
    return data


class DemoHost(unittest.TestCase):
    def test_demo_menu_follows_the_terminal_type(self):
        document = json.loads((DEMO / "demo.json").read_text())
        for terminal_type, first, key, second in (("ANSI", "welcome.ans", b"2", "utf8.ans"),
                                                  ("PETSCII", "petscii.seq", b"1", "welcome.ans")):
            with TestHost.from_script(document, base_dir=str(DEMO), time_limit=20) as host, \
                    socket.create_connection(("127.0.0.1", host.port), timeout=5) as sock:
                receive(sock, lambda d: d.endswith(b"\xff\xf0"))  # DO TERMINAL-TYPE and its SEND
                sock.sendall(b"\xff\xfb\x18\xff\xfa\x18\x00" + terminal_type.encode() + b"\xff\xf0")
                for keys, page in ((b"", first), (key, second), (b"\r\x00", first)):  # any key: the menu
                    sock.sendall(keys)
                    expected = (DEMO / page).read_bytes()
                    self.assertEqual(receive(sock, lambda d: len(d) >= len(expected)), expected)
                sock.sendall(b"q")
                self.assertIn(b"GOODBYE", receive(sock, lambda d: False).upper(), terminal_type)


if __name__ == "__main__":
    unittest.main()
