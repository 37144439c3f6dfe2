#!/usr/bin/python3
"""Zmodem speed each way on loopback: pelong-xfer against lrzsz's sz and rz, side by side with lrzsz
talking to itself through the same kind of bridge.

The host side is always the test host's bridge (a child sz or rz whose output goes out with 255
doubled). The client side is either pelong-xfer or a small bridge of the same kind that runs rz or sz
on the connection. Each run is timed from the start of the client process to its end; the files
are compared afterwards.

  bench/zmodem_speed.py [--mib N] [--runs N] [--xfer PATH]
"""

import argparse
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
from testhost import TestHost  # noqa: E402
from testhost.telnet import ClientParser, double_iac  # noqa: E402


def lrzsz_client(port, command, cwd):
    """Runs command with the telnet connection as its input and output; returns its exit status."""
    sock = socket.create_connection(("127.0.0.1", port))
    child = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, cwd=cwd, bufsize=0)

    def to_host():
        while True:
            chunk = os.read(child.stdout.fileno(), 65536)
            if not chunk:
                break
            try:
                sock.sendall(double_iac(chunk))
            except OSError:
                break

    out = threading.Thread(target=to_host, daemon=True)
    out.start()
    parser = ClientParser()
    sock.settimeout(0.2)
    while child.poll() is None:
        try:
            chunk = sock.recv(65536)
        except socket.timeout:
            continue
        except OSError:
            break
        if not chunk:
            break
        data, _ = parser.feed(chunk)
        try:
            child.stdin.write(data)
        except OSError:
            break
    try:
        child.stdin.close()
    except OSError:
        pass
    code = child.wait()
    out.join(5)
    sock.close()
    return code


def timed(run):
    start = time.monotonic()
    ok = run()
    return ok, time.monotonic() - start


def one_run(direction, client, source, work, xfer):
    """Seconds for one transfer of source, or None when it failed or the copy differs."""
    target = os.path.join(work, "target")
    shutil.rmtree(target, ignore_errors=True)
    os.mkdir(target)
    host_cmd = ["sz", "-q", source] if direction == "receive" else ["rz", "-q", "-y"]
    steps = [{"bridge": host_cmd, "cwd": target if direction == "send" else work}, {"close": True}]
    with TestHost(steps=steps, time_limit=600) as host:
        if client == "pelong-xfer":
            args = [xfer, "--receive", target] if direction == "receive" else [xfer, "--send", source]
            ok, seconds = timed(lambda: subprocess.run(args + ["127.0.0.1", str(host.port)],
                                                       stdout=subprocess.DEVNULL).returncode == 0)
        else:
            command = ["rz", "-q", "-y"] if direction == "receive" else ["sz", "-q", source]
            ok, seconds = timed(lambda: lrzsz_client(host.port, command, target) == 0)
        host.wait_session(5).wait_closed(30)
    copy = os.path.join(target, os.path.basename(source))
    same = ok and os.path.exists(copy) and subprocess.run(["cmp", "-s", source, copy]).returncode == 0
    return seconds if same else None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--mib", type=int, default=64)
    parser.add_argument("--runs", type=int, default=3, help="runs of each kind; the best counts")
    parser.add_argument("--xfer", default=os.path.join(ROOT, "build/release/tools/pelong-xfer"))
    args = parser.parse_args()
    size = args.mib << 20
    work = tempfile.mkdtemp(prefix="zmodem-speed-")
    try:
        source = os.path.join(work, "random.bin")
        with open(source, "wb") as f:
            f.write(os.urandom(size))
        best = {}
        for direction in ("receive", "send"):
            for client in ("pelong-xfer", "lrzsz"):
                times = [one_run(direction, client, source, work, args.xfer) for _ in range(args.runs)]
                good = [t for t in times if t is not None]
                if not good:
                    print("RESULT tool=%s dir=%s failed" % (client, direction))
                    continue
                best[direction, client] = min(good)
                print("RESULT tool=%s dir=%s bytes=%d seconds=%.3f MBps=%.2f runs=%d failed=%d" % (
                    client, direction, size, min(good), size / 1e6 / min(good), len(times),
                    len(times) - len(good)), flush=True)
        for direction in ("receive", "send"):
            if (direction, "pelong-xfer") in best and (direction, "lrzsz") in best:
                print("RATIO dir=%s pelong-xfer/lrzsz=%.2f" % (
                    direction, best[direction, "lrzsz"] / best[direction, "pelong-xfer"]))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
