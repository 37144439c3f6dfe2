"""The graphics window on a virtual X display: a PETSCII call opens a window titled like the console
at the zoom's size, showing the page's colours where they belong, while the console shows one line;
keys typed into the window reach the host as PETSCII; Alt-Enter goes full screen and back to the
same place and size; Alt-X and y typed into the window end the program."""

import os
import shutil
import struct
import subprocess
import time

from tmux_driver import PELONG, TestHost, Tmux

SCREEN = (1280, 1024)
PLACEHOLDER = "Pelorin NG is shown in its own window (ALT-Enter / PETSCII)"

# C64 colours of the palette, and a page of three coloured blocks (reverse spaces) on row 2,
# columns 0-3 red, 4-7 green, 8-11 blue, after a line of text.
RED, GREEN, BLUE = (0xBE, 0x1A, 0x24), (0x1F, 0xD2, 0x1E), (0x21, 0x1B, 0xAE)
PAGE = "\\x93\\x05HELLO FROM THE HOST\\r\\r\\x12\\x1c    \\x1e    \\x1f    \\x92\\r"
BLOCKS = [(RED, 1), (GREEN, 5), (BLUE, 9)]  # colour, a C64 column inside its block


class Display:
    """A virtual X server of its own; stops with the test."""

    def __enter__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                                        f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"],
                                       pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as number:  # the display's number, once the server is ready
            self.name = ":" + number.readline().strip()
        if self.name == ":":
            raise AssertionError("Xvfb did not start")
        return self

    def __exit__(self, *exc):
        self.server.terminate()
        self.server.wait(10)

    def run(self, *args, check=True, text=True):
        result = subprocess.run(args, capture_output=True, text=text, env=dict(os.environ, DISPLAY=self.name))
        if check and result.returncode != 0:
            raise AssertionError(f"{args}: {result.stderr}")
        return result.stdout.strip() if text else result.stdout

    def geometry(self, window):
        out = self.run("xwininfo", "-id", str(window))
        field = lambda name: int(next(line.split(":")[1] for line in out.splitlines() if name in line))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"))

    def pixels(self, window):
        """The window's pixels as a function of (x, y) giving (r, g, b); 32 bits a pixel at 24-bit depth."""
        data = self.run("xwd", "-silent", "-id", str(window), text=False)
        header = struct.unpack(">25I", data[:100])
        order, line, pixels = "little" if header[7] == 0 else "big", header[12], data[header[0] + header[19] * 12:]

        def pixel(x, y):
            v = int.from_bytes(pixels[y * line + x * 4:y * line + x * 4 + 4], order)
            return (v >> 16) & 255, (v >> 8) & 255, v & 255

        return pixel


def window_session(x):
    steps = [{"send": PAGE}]
    # A terminal of 24 rows has no room for the status bar; the window has, and keeps its 26 rows.
    with TestHost(steps=steps, time_limit=120) as host, Tmux("window", height=24, display=x.name) as t:
        t.write_settings(["PetsciiWindow=on", "PetsciiZoom=2"])
        t.start_program("-e", "petscii40", "127.0.0.1", host.port, settle_text=None)
        session = host.wait_session(10)
        t.check(session, "no connection reached the host")
        find = lambda: x.run("xdotool", "search", "--name", "Pelorin", check=False)
        t.wait_for("the window", find)
        window = int(find().split()[0])

        # Titled like the console while online; 2x of 80 x 26 cells of 8 x 16 pixels.
        t.check(x.run("xdotool", "getwindowname", str(window)) == "Pelorin NG - 127.0.0.1", "window title")
        t.wait_for("the window at 1280x832", lambda: x.geometry(window)[2:] == (1280, 832), 5)
        place = x.geometry(window)
        t.wait_text(PLACEHOLDER)

        # The page's colours at their cells: C64 column c covers 32 x 32 pixels at 2x, doubled width,
        # below the status bar's row.
        cell = lambda column: x.pixels(window)(32 * column + 16, 32 * 3 + 16)
        t.wait_for("the page's colour blocks in the window", lambda: all(cell(c) == rgb for rgb, c in BLOCKS))

        # Keys typed into the window reach the host as PETSCII.
        x.run("xdotool", "windowfocus", "--sync", str(window))
        start = len(session.raw)
        x.run("xdotool", "type", "aA")
        x.run("xdotool", "key", "Up")
        expected = b"A\xc1\x91"
        t.check(session.wait_raw(expected, 5) and bytes(session.raw[start:]) == expected,
                f"keys from the window gave {bytes(session.raw[start:])!r}, expected {expected!r}")

        # Alt-Enter: the whole monitor, then back to the same place and size.
        x.run("xdotool", "key", "alt+Return")
        t.wait_for("full screen", lambda: x.geometry(window) == (0, 0) + SCREEN, 5)
        x.run("xdotool", "key", "alt+Return")
        t.wait_for(f"the window back at {place}", lambda: x.geometry(window) == place, 5)

        x.run("xdotool", "key", "alt+x")  # the exit question shows in the window
        time.sleep(1.0)
        x.run("xdotool", "type", "y")
        t.wait_text("pelong-ended=0")


def main():
    missing = [program for program in ("Xvfb", "xdotool", "xwd", "xwininfo") if not shutil.which(program)]
    if missing or "libSDL2" not in subprocess.run(["ldd", PELONG], capture_output=True, text=True).stdout:
        print("skipped: no", missing or "graphics window in this build")
        return
    with Display() as x:
        window_session(x)
    print("ok: graphics window on a virtual display")


if __name__ == "__main__":
    main()
