"""The program in a real terminal (tmux): the first screen with its status bar and colours, the
exit box, and the terminal put back exactly after Alt-X / y and after SIGTERM."""
import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tmux_driver import PELONG, Tmux  # noqa: E402

T = None  # the tmux session of the running check

LIGHT_BLUE = "38;2;85;85;255"      # help key colour 9
MAGENTA_BG = "48;2;170;0;170"      # status bar background 5
LIGHT_MAGENTA = "38;2;255;85;255"  # status text colour 13
WHITE = "38;2;255;255;255"         # clock colour 15
LIGHT_CYAN = "38;2;85;255;255"     # panel frame 11
BLUE_BG = "48;2;0;0;170"           # panel background 1
YELLOW = "38;2;255;255;85"         # panel title 14


def screen(colours=False):
    return T.screen(colours)


def pane(fmt):
    return T.pane(fmt)


def wait_for(what, test, timeout=10.0):
    T.wait_for(what, test, timeout)


def fail(message):
    T.fail(message)


def tmux(*args, check=True):
    return T.run(*args, check=check)


def type_line(text, enter=True):
    T.type(text, enter)


def run_program(home):
    """Types the command that starts pelong and returns the screen as it was just before Enter."""
    type_line("clear; echo BEFORE-MARK; printf 'line with colour \\033[31mred\\033[0m\\n'")
    wait_for("the marker", lambda: "line with colour red" in screen())
    # The subshell records its pid and becomes pelong; the outer one keeps the shell's own
    # "Terminated" notice off the screen.
    command = (f"stty -a > {home}/stty.before; ( (echo $BASHPID > {home}/pid; exec {PELONG}); "
               f"echo $? > {home}/rc ) 2>/dev/null; stty -a > {home}/stty.after; sleep 1.5; "
               f"echo rc=$(cat {home}/rc)")
    type_line(command, enter=False)
    wait_for("the command line", lambda: "/rc)" in "".join(screen()))
    before = screen(colours=True)
    tmux("send-keys", "-t", "main", "Enter")
    wait_for("the status bar", lambda: "Alt-Z - Help!" in screen()[0])
    return before


def check_first_screen(width):
    rows = screen()
    colour_rows = screen(colours=True)
    bar = rows[0]
    if not re.match(r"Alt-Z - Help!   ANSI/(Auto|437|UTF8)   Offline   Pelorin NG 1\.0 +\[\d{1,2}:\d\d (Am|Pm)\]$",
                    bar[:80].rstrip()):
        fail(f"status bar reads {bar!r}")
    if bar[80:].strip():
        fail("the frame is drawn at the top left; the rest stays blank")
    top = colour_rows[0]
    for colour in (LIGHT_BLUE, MAGENTA_BG, LIGHT_MAGENTA, WHITE):
        if colour not in top:
            fail(f"status bar lacks colour {colour}: {top!r}")
    clock_at = re.search(r"\[\d{1,2}:\d\d", top).start()
    if not top.index(LIGHT_BLUE) < top.index("Alt-Z") < top.index(LIGHT_MAGENTA) < top.index(WHITE) < clock_at:
        fail(f"status bar colours out of place: {top!r}")
    text = "\n".join(rows[1:8])
    for piece in ("elorin", "v1.0", "for the dialing directory", "for help."):
        if piece not in text:
            fail(f"banner lacks {piece!r}")
    if len([r for r in rows if r.strip()]) > 8:
        fail("more than the banner and the status bar on screen")
    if pane("#{alternate_on}") != "1":
        fail("not on the alternate screen")


def check_exit_box():
    tmux("send-keys", "-t", "main", "M-x")
    wait_for("the exit box", lambda: "Exit Pelorin NG?" in "".join(screen()))
    rows = screen()
    colour_rows = screen(colours=True)
    box_top = next(i for i, r in enumerate(rows) if "Exit" in r and "═" in r)
    if "╔" not in rows[box_top] or "(Yes / No)" not in rows[box_top + 4]:
        fail("exit box layout")
    for colour in (LIGHT_CYAN, BLUE_BG, YELLOW):
        if colour not in colour_rows[box_top]:
            fail(f"exit box frame lacks colour {colour}: {colour_rows[box_top]!r}")
    if pane("#{cursor_flag}") != "0":
        fail("the cursor shows over the box")
    tmux("send-keys", "-t", "main", "n")
    wait_for("the box to go", lambda: "Exit Pelorin NG?" not in "".join(screen()))
    if "Alt-Z - Help!" not in screen()[0]:
        fail("the status bar went with the box")
    tmux("send-keys", "-t", "main", "M-x")
    wait_for("the exit box", lambda: "Exit Pelorin NG?" in "".join(screen()))
    tmux("send-keys", "-t", "main", "Escape")  # a lone Esc answers no
    wait_for("the box to go after Esc", lambda: "Exit Pelorin NG?" not in "".join(screen()))


def check_resize(width, height):
    """A smaller terminal cuts the frame at its edges; growing back redraws it whole."""
    tmux("resize-window", "-t", "main", "-x", "60", "-y", "12")
    wait_for("the cut frame", lambda: screen()[0].startswith("Alt-Z - Help!   ANSI/")
             and pane("#{pane_width}x#{pane_height}") == "60x12" and "Pelorin NG" in screen()[0])
    if len(screen()[0].rstrip()) > 60 or "[" in screen()[0][40:]:
        fail("the status bar was not cut at the right edge")
    tmux("resize-window", "-t", "main", "-x", str(width), "-y", str(height))
    wait_for("the whole frame again", lambda: re.search(r"\[\d{1,2}:\d\d (Am|Pm)\]$", screen()[0][:80].rstrip())
             and "for help." in "\n".join(screen()[1:8]))


def check_restored(home, before, expected_rc):
    wait_for("the program to end", lambda: pane("#{alternate_on}") == "0")
    after = screen(colours=True)
    if after != before:
        fail("screen not restored:\nbefore:\n" + "\n".join(before) + "\nafter:\n" + "\n".join(after))
    if pane("#{cursor_flag}") != "1":
        fail("cursor left hidden")
    wait_for("the exit status", lambda: any(r.startswith("rc=") for r in screen()))
    rc = next(r for r in screen() if r.startswith("rc="))
    if rc != f"rc={expected_rc}":
        fail(f"exit status {rc}, expected {expected_rc}")
    with open(f"{home}/stty.before") as f1, open(f"{home}/stty.after") as f2:
        if f1.read() != f2.read():
            fail("stty settings changed")


def session(width, height, ending):
    global T
    with Tmux(f"console-{width}x{height}-{ending}", width, height) as T:
        home = T.home
        T.start_shell()
        before = run_program(home)
        check_first_screen(width)
        if ending == "alt-x":
            check_exit_box()
            if width > 80:
                check_resize(width, height)
            tmux("send-keys", "-t", "main", "M-x")
            wait_for("the exit box", lambda: "Exit Pelorin NG?" in "".join(screen()))
            tmux("send-keys", "-t", "main", "y")
            check_restored(home, before, 0)
        else:
            with open(f"{home}/pid") as f:
                pid = int(f.read())
            tmux("send-keys", "-t", "main", "C-c")  # a key, never an ending
            time.sleep(0.3)
            if "Alt-Z - Help!" not in screen()[0]:
                fail("Ctrl-C ended the program")
            os.kill(pid, 15)
            check_restored(home, before, 143)


def main():
    session(80, 26, "alt-x")
    session(100, 30, "alt-x")
    session(80, 26, "sigterm")
    print("ok: first screen, exit box and restore")


if __name__ == "__main__":
    try:
        main()
    except AssertionError as e:
        print(e)
        sys.exit(1)
