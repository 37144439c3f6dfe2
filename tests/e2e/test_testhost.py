"""The test host itself, driven by plain sockets: script steps, recording, the refusing and the
silent modes, the Zmodem bridge and the demo menu."""

import json
import os
import pathlib
import socket
import subprocess
import sys
import tempfile
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


def start_cli(*args):
    """The launcher as a process, and the port it printed."""
    proc = subprocess.Popen([sys.executable, os.path.join(TOOLS, "testhost", "testhost"), *args],
                            stdout=subprocess.PIPE, text=True)
    return proc, int(proc.stdout.readline())


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

    def test_bridge_undoubles_iac_for_the_child_and_doubles_its_output(self):
        steps = [{"send": "go"}, {"bridge": ["head", "-c", "4"]}, {"send": "back"}]
        with TestHost(steps=steps, time_limit=20) as host, connect(host.port) as sock:
            self.assertEqual(receive_until(sock, lambda d: d == b"go"), b"go")
            sock.sendall(b"a\xff\xff\xff\xf1bc")  # a, 255, IAC NOP, b, c
            self.assertEqual(receive_until(sock, lambda d: d.endswith(b"back")), b"a\xff\xffbcback")

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


class CommandLine(unittest.TestCase):
    def test_refuse_and_silent_modes_stop_at_the_time_limit(self):
        (refusing, refusing_port), (silent, silent_port) = (start_cli("--refuse", "--time-limit", "1.5"),
                                                            start_cli("--silent", "--time-limit", "2.5"))
        with self.assertRaises(ConnectionRefusedError):
            socket.create_connection(("127.0.0.1", refusing_port), timeout=2)
        with self.assertRaises(socket.timeout):  # the connection is never completed
            socket.create_connection(("127.0.0.1", silent_port), timeout=1.0)
        self.assertEqual((refusing.wait(10), silent.wait(10)), (0, 0))

    def test_steps_record_and_log_then_stop_after_the_connections(self):
        with tempfile.TemporaryDirectory() as tmp:
            record, log = os.path.join(tmp, "raw"), os.path.join(tmp, "log")
            proc, port = start_cli("--send", "hello", "--expect", "x", "--close", "--record", record,
                                   "--log", log, "--connections", "1", "--time-limit", "20")
            with connect(port) as sock:
                self.assertEqual(receive_until(sock, lambda d: d == b"hello"), b"hello")
                sock.sendall(b"\xff\xfd\x01x")
                self.assertEqual(receive_until(sock, lambda d: False), b"")
            self.assertEqual(proc.wait(10), 0, "stops once its one session has ended")
            with open(record, "rb") as f:
                self.assertEqual(f.read(), b"\xff\xfd\x01x")
            with open(log) as f:
                events = [json.loads(line) for line in f]
            self.assertIn(("DO", 1), [(e["verb"], e["option"]) for e in events if e["event"] == "command"])
            self.assertEqual(events[-1]["event"], "stopped")


if __name__ == "__main__":
    unittest.main()
