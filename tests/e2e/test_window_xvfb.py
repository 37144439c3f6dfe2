"""The graphics window on a virtual X display: a PETSCII call opens a window titled like the console
at the zoom's size, showing the page's colours where they belong, while the console shows one line;
keys typed into the window reach the host as PETSCII; Alt-Enter goes full screen and back to the
same place and size; switching to ANSI closes the window; Alt-Enter opens it for ANSI too; its close
button asks the exit question. Without a display the program stays in the console and Alt-Enter
does nothing."""

import ctypes
import os
import shutil
import struct
import subprocess
import sys
import time

from tmux_driver import PELONG, TestHost, Tmux

SCREEN = (1280, 1024)
PLACEHOLDER = "Pelorin NG is shown in its own window (ALT-Enter / PETSCII)"

# C64 colours of the palette, and a page of three coloured blocks (reverse spaces) on row 2,
# columns 0-3 red, 4-7 green, 8-11 blue, after a line of text.
RED, GREEN, BLUE = (0xBE, 0x1A, 0x24), (0x1F, 0xD2, 0x1E), (0x21, 0x1B, 0xAE)
PAGE = "\\x93\\x05HELLO FROM THE HOST\\r\\r\\x12\\x1c    \\x1e    \\x1f    \\x92\\r"
BLOCKS = [(RED, 1), (GREEN, 5), (BLUE, 9)]  # colour, a C64 column inside its block


def skip(reason):
    print("skipped:", reason)
    sys.exit(0)


def tool(*args, display, check=True):
    result = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, check=False,
                            env=dict(os.environ, DISPLAY=display))
    if check and result.returncode != 0:
        raise AssertionError(f"{args}: {result.stderr.strip()}")
    return result.stdout.strip()


class Display:
    """A virtual X server of its own; stops with the test."""

    def __enter__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                                        f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"],
                                       pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise AssertionError("Xvfb did not start")
            number += chunk
        os.close(read)
        self.name = ":" + number.decode().strip()
        return self

    def __exit__(self, *exc):
        self.server.terminate()
        self.server.wait(10)

    def run(self, *args, check=True):
        return tool(*args, display=self.name, check=check)

    def find_window(self, timeout=10.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self.run("xdotool", "search", "--name", "Pelorin", check=False)
            if found:
                return int(found.split()[0])
            time.sleep(0.1)
        return None

    def geometry(self, window):
        out = self.run("xwininfo", "-id", str(window))
        field = lambda name: int(next(line.split(":")[1] for line in out.splitlines() if name in line))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"))

    def wait_geometry(self, window, wanted, timeout=5.0):
        deadline = time.time() + timeout
        while time.time() < deadline and self.geometry(window) != wanted:
            time.sleep(0.1)
        return self.geometry(window)

    def screenshot(self, window):
        """The window's pixels as (width, height, rows of (r, g, b))."""
        data = subprocess.run(["xwd", "-silent", "-id", str(window)], stdout=subprocess.PIPE, check=True,
                              env=dict(os.environ, DISPLAY=self.name)).stdout
        header = struct.unpack(">25I", data[:100])
        size, width, height, order, bpp, line = header[0], header[4], header[5], header[7], header[11], header[12]
        assert bpp == 32, "a 24-bit display keeps 32 bits per pixel"
        pixels = data[size + header[19] * 12:]

        def pixel(x, y):
            v = int.from_bytes(pixels[y * line + x * 4:y * line + x * 4 + 4], "little" if order == 0 else "big")
            return (v >> 16) & 255, (v >> 8) & 255, v & 255

        return width, height, pixel

    def send_close_request(self, window):
        """What a window manager sends for the close button (WM_DELETE_WINDOW), through Xlib."""
        x11 = ctypes.CDLL("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                        ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 16)]

        display = x11.XOpenDisplay(self.name.encode())
        event = ClientMessage(type=33, window=window, format=32,
                              message_type=x11.XInternAtom(display, b"WM_PROTOCOLS", 0))
        event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
        x11.XFlush(display)
        x11.XCloseDisplay(display)


def window_session(x):
    steps = [{"send": PAGE}]
    # A terminal of 24 rows has no room for the status bar; the window has, and keeps its 26 rows.
    with TestHost(steps=steps, time_limit=120) as host, Tmux("window", height=24, display=x.name) as t:
        t.write_settings(["PetsciiWindow=on", "PetsciiZoom=2"])
        t.start_program("-e", "petscii40", "127.0.0.1", host.port, settle_text=None)
        session = host.wait_session(10)
        window = x.find_window()
        t.check(session and window, f"no connection ({session}) or no window ({window})")

        # Titled like the console while online; 2x of 80 x 26 cells of 8 x 16 pixels, whole on screen.
        t.check(x.run("xdotool", "getwindowname", str(window)) == "Pelorin NG - 127.0.0.1", "window title")
        place = x.wait_geometry(window, ((SCREEN[0] - 1280) // 2, (SCREEN[1] - 832) // 2, 1280, 832))
        t.check(place[2:] == (1280, 832), f"window geometry {place}")
        t.wait_text(PLACEHOLDER)

        # The page's colours at their cells: C64 column c covers 32 x 32 pixels at 2x, doubled width,
        # below the status bar's row.
        def colours_shown():
            _, _, pixel = x.screenshot(window)
            return all(pixel(32 * column + 16, 32 * 3 + 16) == colour for colour, column in BLOCKS)

        t.wait_for("the page's colour blocks in the window", colours_shown)

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
        t.check(x.wait_geometry(window, (0, 0) + SCREEN) == (0, 0) + SCREEN, "not full screen")
        x.run("xdotool", "key", "alt+Return")
        t.check(x.wait_geometry(window, place) == place, "not back in place after full screen")

        # PETSCII 80 keeps the window; ANSI closes it and the console shows the screen again.
        x.run("xdotool", "key", "alt+e")
        time.sleep(1.0)
        x.run("xdotool", "key", "alt+e")
        t.wait_for("the window to close", lambda: x.find_window(timeout=0.1) is None)
        t.wait_text("ANSI")
        t.wait_gone(PLACEHOLDER)

        # Alt-Enter from the console opens the window in full screen for ANSI as well; its close
        # button asks the exit question, and yes ends the program.
        t.keys("M-Enter")
        window = x.find_window()
        t.check(window and x.wait_geometry(window, (0, 0) + SCREEN) == (0, 0) + SCREEN,
                "Alt-Enter in ANSI opened no full-screen window")
        x.send_close_request(window)
        time.sleep(1.0)
        t.check(x.find_window(timeout=0.1) == window and "pelong-ended" not in t.text(),
                "the close button closed the window instead of asking")
        x.run("xdotool", "windowfocus", "--sync", str(window))
        x.run("xdotool", "type", "y")
        t.wait_text("pelong-ended=0")


def console_session():
    with Tmux("no-window") as t:
        t.write_settings(["DirectoryAtStartup=no"])
        t.start_program("-e", "petscii40")
        t.keys("M-Enter")
        time.sleep(0.5)
        t.wait_text("PET-40")
        t.check(PLACEHOLDER not in t.text(), "a window was announced without a display")
        t.keys("M-x")
        t.wait_text("Exit Pelorin NG?")
        t.keys("y")
        t.wait_text("pelong-ended=0")


def main():
    for program in ("Xvfb", "xdotool", "xwd", "xwininfo"):
        if not shutil.which(program):
            skip(f"{program} is not installed")
    libraries = subprocess.run(["ldd", PELONG], stdout=subprocess.PIPE, text=True).stdout
    if "libSDL2" not in libraries:
        skip("the program was built without the graphics window")
    with Display() as x:
        window_session(x)
    console_session()
    print("ok: graphics window on a virtual display; console without one")


if __name__ == "__main__":
    main()
