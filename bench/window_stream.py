#!/usr/bin/python3
"""Whether the graphics window keeps up with a host streaming PETSCII as fast as loopback carries it,
and how long a key typed into the window takes to reach the host meanwhile.

The program runs on a pseudo-terminal of its own with its window on a virtual X display (Xvfb) at
1x; the host sends a stream of coloured PETSCII text and graphics that scrolls the screen. While it
streams, keys are typed into the window one at a time and the time until each reaches the host is
taken (it includes xdotool's own start-up, about 10 ms).

  bench/window_stream.py [--bytes N] [--pelong PATH]
"""

import argparse
import os
import random
import subprocess
import sys
import tempfile
import time

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from calls_stream import cpu_seconds, run_on_pty  # noqa: E402
from testhost import TestHost  # noqa: E402

COLOURS = [0x05, 0x1C, 0x1E, 0x1F, 0x81, 0x90, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9E, 0x9F]


def petscii_stream(size):
    rng = random.Random(1)
    out = bytearray(b"\x93")
    while len(out) < size:
        line = bytearray()
        for _ in range(rng.randrange(10, 39)):
            if rng.random() < 0.1:
                line.append(rng.choice(COLOURS))
            line.append(rng.choice([rng.randrange(0x41, 0x5B), rng.randrange(0xA0, 0xC0), 0x20, 0x12, 0x92]))
        out += line + b"\r"
    return bytes(out[:size])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bytes", type=int, default=10_000_000)
    parser.add_argument("--pelong", default=os.path.join(ROOT, "build", "release", "pelong"))
    args = parser.parse_args()

    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    display = ":" + os.read(read, 16).decode().strip()
    env = dict(os.environ, DISPLAY=display)
    try:
        with tempfile.TemporaryDirectory() as home:
            with open(os.path.join(home, "pelong.cfg"), "w") as f:
                f.write("PetsciiWindow=on\r\nPetsciiZoom=1\r\n")
            stream = os.path.join(home, "stream.seq")
            with open(stream, "wb") as f:
                f.write(petscii_stream(args.bytes))
            steps = [{"send_file": stream, "chunk": 65536}, {"sleep": 5}]
            with TestHost(steps=steps, time_limit=600) as host:
                pid, _, _, stop = run_on_pty(args.pelong, host.port, home, ["-e", "petscii40"], env)
                try:
                    session = host.wait_session(30)
                    if not session:
                        sys.exit("the client did not connect")
                    start, cpu_start = time.monotonic(), cpu_seconds(pid)
                    window = ""
                    while not window and time.monotonic() - start < 10:
                        window = subprocess.run(["xdotool", "search", "--name", "Pelorin"], env=env,
                                                stdout=subprocess.PIPE, text=True).stdout.split()
                    subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], env=env, check=True)
                    latencies = []
                    while session.sent < args.bytes and time.monotonic() - start < 600:
                        before = len(session.raw)
                        typed = time.monotonic()
                        subprocess.run(["xdotool", "key", "a"], env=env, check=True)
                        while len(session.raw) == before and time.monotonic() - typed < 10:
                            time.sleep(0.001)
                        latencies.append(time.monotonic() - typed)
                        time.sleep(0.2)
                    elapsed, cpu = time.monotonic() - start, cpu_seconds(pid) - cpu_start
                finally:
                    stop()
    finally:
        xvfb.terminate()
        xvfb.wait()
    mb = args.bytes / 1e6
    print(f"{mb:.1f} MB PETSCII stream into the window (1x, Xvfb): {elapsed:.2f} s wall ({mb / elapsed:.1f} MB/s), "
          f"client CPU {cpu:.2f} s; keys typed meanwhile reached the host in "
          f"{min(latencies) * 1000:.0f}-{max(latencies) * 1000:.0f} ms ({len(latencies)} keys)")


if __name__ == "__main__":
    main()
