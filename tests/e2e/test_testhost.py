"""The test host itself, driven by plain sockets (its refusing and
silent modes are exercised by the call tests; here: script steps and the demo menu."""

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


class ScriptSteps(unittest.TestCase):
    def test_sends_negotiates_records_and_closes_on_cue(self):
        steps = [{"do": "naws"}, {"ttype_send": True}, {"send": "hi\\r\\n\\e[0m\\xff\\xff"},
                 {"expect": "\\r\\0"}, {"send_hex": "ff f9"}, {"close": True}]
        with TestHost(steps=steps, time_limit=20) as host, connect(host.port) as sock:
            expected = b"\xff\xfd\x1f\xff\xfa\x18\x01\xff\xf0hi\r\n\x1b[0m\xff\xff"
            self.assertEqual(receive_until(sock, lambda d: len(d) >= len(expected)), expected)
            sock.sendall(b"\xff\xfb\x1f\xff\xfa\x1f\x00\x50\x00\x18\xff\xf0a\xff\xffb\r\x00")
            self.assertEqual(receive_until(sock, lambda d: False), b"\xff\xf9", "then closed")
            session = host.wait_session(5)
            self.assertTrue(session.wait_closed(5))
            self.assertEqual(session.commands, [("WILL", 31), ("SB", 31, b"\x00\x50\x00\x18")])
            self.assertEqual(bytes(session.data), b"a\xffb\r\x00")

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
