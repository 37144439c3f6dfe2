"""The program in a real terminal (tmux): the first screen with its status bar, the exit box, the frame
cut by a small terminal and whole again, and the terminal put back exactly after Alt-X / y and after
SIGTERM (Ctrl-C is a key)."""
import os
import re
import time

from tmux_driver import PELONG, Tmux

MAGENTA_BG = "48;2;170;0;170"  # status bar background 5
BLUE_BG = "48;2;0;0;170"  # panel background 1
BAR = r"Alt-Z - Help!   ANSI/(Auto|437|UTF8)   Offline   Pelorin NG 1\.0 +\[\d{1,2}:\d\d (Am|Pm)\]$"


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


def check_frame(t):
    """The first screen, the exit box over it, and the frame cut by a small terminal and whole again."""
    rows = t.screen()
    t.check(re.match(BAR, rows[0].rstrip()), f"status bar reads {rows[0]!r}")
    t.check(MAGENTA_BG in t.screen(colours=True)[0], "the status bar is not in its colours")
    t.check("Linux console telnet client" in "\n".join(rows[1:8]), "no banner, or not the Linux one")
    t.check(t.pane("#{alternate_on}") == "1", "not on the alternate screen")

    t.keys("M-x")
    t.wait_text("Exit Pelorin NG?")
    row = next(i for i, r in enumerate(t.screen()) if "Exit Pelorin NG?" in r)
    t.check(BLUE_BG in t.screen(colours=True)[row] and "(Yes / No)" in t.text(), "exit box")
    t.check(t.pane("#{cursor_flag}") == "0", "the cursor shows over the box")
    t.keys("Escape")  # a lone Esc answers no
    t.wait_gone("Exit Pelorin NG?")
    t.check("Alt-Z - Help!" in t.screen()[0], "the status bar went with the box")

    # Too short for the frame, the terminal has no room for the status bar and cuts the frame at its
    # edges; growing back redraws it whole, with the bar.
    t.run("resize-window", "-t", "main", "-x", "60", "-y", "12")
    t.wait_for("the cut frame", lambda: t.pane("#{pane_width}x#{pane_height}") == "60x12"
               and t.screen()[0].startswith(" Pelorin Next Generation"))
    t.check("Alt-Z - Help!" not in t.text(), "the status bar is still there")
    t.run("resize-window", "-t", "main", "-x", "80", "-y", "26")
    t.wait_for("the whole frame again", lambda: re.match(BAR, t.screen()[0].rstrip())
               and "for help." in "\n".join(t.screen()[1:8]))


def check_restored(t, before, expected_rc):
    t.wait_for("the program to end", lambda: t.pane("#{alternate_on}") == "0")
    t.check(t.screen(colours=True) == before, "screen not restored; before it was:\n" + "\n".join(before))
    t.check(t.pane("#{cursor_flag}") == "1", "cursor left hidden")
    t.wait_for("the exit status", lambda: f"rc={expected_rc}" in t.screen())
    with open(f"{t.home}/stty.before") as f1, open(f"{t.home}/stty.after") as f2:
        t.check(f1.read() == f2.read(), "stty settings changed")


def main():
    with Tmux("console", 80, 26) as t:
        t.write_settings(["DirectoryAtStartup=no"])  # the terminal is the first screen
        t.start_shell()
        before = run_program(t, 1)
        check_frame(t)
        t.keys("M-x")
        t.answer("Exit Pelorin NG?", "y")
        check_restored(t, before, 0)

        before = run_program(t, 2)
        t.keys("C-c")  # a key, never an ending
        time.sleep(0.3)
        t.check("Alt-Z - Help!" in t.screen()[0], "Ctrl-C ended the program")
        with open(f"{t.home}/pid") as f:
            os.kill(int(f.read()), 15)
        check_restored(t, before, 143)
    print("ok: first screen, exit box, cut frame, restore after Alt-X and SIGTERM")


if __name__ == "__main__":
    main()
