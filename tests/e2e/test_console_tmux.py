"""The program in a real terminal (tmux): the first screen with its status bar and colours, the
exit box, and the terminal put back exactly after Alt-X / y and after SIGTERM; at 80x26 and 100x30."""
import os
import re
import time

from tmux_driver import PELONG, Tmux

LIGHT_BLUE = "38;2;85;85;255"      # help key colour 9
MAGENTA_BG = "48;2;170;0;170"      # status bar background 5
LIGHT_MAGENTA = "38;2;255;85;255"  # status text colour 13
WHITE = "38;2;255;255;255"         # clock colour 15
LIGHT_CYAN = "38;2;85;255;255"     # panel frame 11
BLUE_BG = "48;2;0;0;170"           # panel background 1
YELLOW = "38;2;255;255;85"         # panel title 14


def run_program(t, run):
    """Types the command that starts pelong and returns the screen as it was just before Enter."""
    t.type(f"clear; echo BEFORE-MARK-{run}; printf 'line with colour \\033[31mred\\033[0m\\n'", enter=True)
    t.wait_for("the marker", lambda: f"BEFORE-MARK-{run}" in t.screen())
    # The subshell records its pid and becomes pelong; the outer one keeps the shell's own
    # "Terminated" notice off the screen.
    home = t.home
    t.type(f"stty -a > {home}/stty.before; ( (echo $BASHPID > {home}/pid; exec {PELONG}); "
           f"echo $? > {home}/rc ) 2>/dev/null; stty -a > {home}/stty.after; sleep 1.5; echo rc=$(cat {home}/rc)")
    t.wait_for("the command line", lambda: "/rc)" in "".join(t.screen()))
    before = t.screen(colours=True)
    t.keys("Enter")
    t.wait_for("the status bar", lambda: "Alt-Z - Help!" in t.screen()[0])
    return before


def check_first_screen(t):
    rows, colour_rows = t.screen(), t.screen(colours=True)
    bar = rows[0]
    if not re.match(r"Alt-Z - Help!   ANSI/(Auto|437|UTF8)   Offline   Pelorin NG 1\.0 +\[\d{1,2}:\d\d (Am|Pm)\]$",
                    bar[:80].rstrip()):
        t.fail(f"status bar reads {bar!r}")
    if bar[80:].strip():
        t.fail("the frame is drawn at the top left; the rest stays blank")
    top = colour_rows[0]
    for colour in (LIGHT_BLUE, MAGENTA_BG, LIGHT_MAGENTA, WHITE):
        if colour not in top:
            t.fail(f"status bar lacks colour {colour}: {top!r}")
    clock_at = re.search(r"\[\d{1,2}:\d\d", top).start()
    if not top.index(LIGHT_BLUE) < top.index("Alt-Z") < top.index(LIGHT_MAGENTA) < top.index(WHITE) < clock_at:
        t.fail(f"status bar colours out of place: {top!r}")
    text = "\n".join(rows[1:8])
    for piece in ("elorin", "v1.0", "for the dialing directory", "for help."):
        if piece not in text:
            t.fail(f"banner lacks {piece!r}")
    if len([r for r in rows if r.strip()]) > 8:
        t.fail("more than the banner and the status bar on screen")
    if t.pane("#{alternate_on}") != "1":
        t.fail("not on the alternate screen")


def check_exit_box(t):
    for answer in ("n", "Escape"):  # a lone Esc answers no too
        t.keys("M-x")
        t.wait_text("Exit Pelorin NG?")
        rows, colour_rows = t.screen(), t.screen(colours=True)
        box_top = next(i for i, r in enumerate(rows) if "Exit" in r and "═" in r)
        if "╔" not in rows[box_top] or "(Yes / No)" not in rows[box_top + 4]:
            t.fail("exit box layout")
        for colour in (LIGHT_CYAN, BLUE_BG, YELLOW):
            if colour not in colour_rows[box_top]:
                t.fail(f"exit box frame lacks colour {colour}: {colour_rows[box_top]!r}")
        if t.pane("#{cursor_flag}") != "0":
            t.fail("the cursor shows over the box")
        t.keys(answer)
        t.wait_gone("Exit Pelorin NG?")
        if "Alt-Z - Help!" not in t.screen()[0]:
            t.fail("the status bar went with the box")


def exit_with_yes(t):
    t.keys("M-x")
    t.wait_text("Exit Pelorin NG?")
    t.keys("y")


def check_resize(t, width, height):
    """A smaller terminal cuts the frame at its edges; growing back redraws it whole."""
    t.run("resize-window", "-t", "main", "-x", "60", "-y", "12")
    t.wait_for("the cut frame", lambda: t.screen()[0].startswith("Alt-Z - Help!   ANSI/")
               and t.pane("#{pane_width}x#{pane_height}") == "60x12" and "Pelorin NG" in t.screen()[0])
    if len(t.screen()[0].rstrip()) > 60 or "[" in t.screen()[0][40:]:
        t.fail("the status bar was not cut at the right edge")
    t.run("resize-window", "-t", "main", "-x", str(width), "-y", str(height))
    t.wait_for("the whole frame again", lambda: re.search(r"\[\d{1,2}:\d\d (Am|Pm)\]$", t.screen()[0][:80].rstrip())
               and "for help." in "\n".join(t.screen()[1:8]))


def check_restored(t, before, expected_rc):
    t.wait_for("the program to end", lambda: t.pane("#{alternate_on}") == "0")
    after = t.screen(colours=True)
    if after != before:
        t.fail("screen not restored:\nbefore:\n" + "\n".join(before) + "\nafter:\n" + "\n".join(after))
    if t.pane("#{cursor_flag}") != "1":
        t.fail("cursor left hidden")
    t.wait_for("the exit status", lambda: f"rc={expected_rc}" in t.screen())
    with open(f"{t.home}/stty.before") as f1, open(f"{t.home}/stty.after") as f2:
        if f1.read() != f2.read():
            t.fail("stty settings changed")


def main():
    with Tmux("console", 80, 26) as t:
        t.write_settings(["DirectoryAtStartup=no"])  # the terminal is the first screen
        t.start_shell()
        before = run_program(t, 1)
        check_first_screen(t)
        check_exit_box(t)
        exit_with_yes(t)
        check_restored(t, before, 0)

        before = run_program(t, 2)
        t.keys("C-c")  # a key, never an ending
        time.sleep(0.3)
        if "Alt-Z - Help!" not in t.screen()[0]:
            t.fail("Ctrl-C ended the program")
        with open(f"{t.home}/pid") as f:
            os.kill(int(f.read()), 15)
        check_restored(t, before, 143)

        t.run("resize-window", "-t", "main", "-x", "100", "-y", "30")
        t.wait_for("the larger terminal", lambda: t.pane("#{pane_width}x#{pane_height}") == "100x30")
        before = run_program(t, 3)
        check_first_screen(t)
        check_exit_box(t)
        check_resize(t, 100, 30)
        exit_with_yes(t)
        check_restored(t, before, 0)
    print("ok: first screen, exit box and restore, at 80x26 and 100x30")


if __name__ == "__main__":
    main()
