"""The dialing directory at 80x25 against the test host, from a phonebook made by pelong -i LIST -q:
go to 50, find and next, add, delete, sort, a failed and a good dial (only that one stamped),
quick-dial, Esc back to the terminal as it was, the files after the end; -i without -q with the
directory as the first screen; an unprivileged user whose saves the directory refuses; and files that
user made read-only, which an import and Alt-S leave as they were and say so."""

import os
import subprocess
import time

from tmux_driver import PELONG, TestHost, Tmux

CYAN_BG = "48;2;0;170;170"  # the cursor row


def write_list(t, text):
    path = os.path.join(t.home, "syncterm.lst")
    with open(path, "w") as f:
        f.write(text)
    return path


def imported(t, *sections):
    """A SyncTERM list of (name, address, port) sections, imported quietly into the program directory."""
    path = write_list(t, "".join(f"[{name}]\nAddress={address}\nPort={port}\n" for name, address, port in sections))
    env = dict(os.environ, PELONG_HOME=t.home)
    subprocess.run([PELONG, "-i", path, "-q"], env=env, check=True, capture_output=True, timeout=30)
    return path


def last_calls(home):
    """Name to last call of every used record of pelo.fon (197 bytes each)."""
    data = open(os.path.join(home, "pelo.fon"), "rb").read()
    records = [data[at:at + 197] for at in range(0, len(data), 197)]
    return {r[1:1 + r[0]].decode(): r[123:123 + r[122]].decode() for r in records if r[0]}


def pick(t, keys, expected, text=None):
    """Presses keys, types text and Enter, and waits for the cursor row to hold expected."""
    if keys:
        t.keys(*keys)
    if text:
        t.type(text, enter=True)
    rows = lambda: [r for r, c in zip(t.screen(), t.screen(colours=True)) if CYAN_BG in c]
    t.wait_for(f"{expected!r} selected", lambda: any(expected in r for r in rows()))


def list_keys(t, home):
    terminal = t.screen()
    t.keys("M-d")
    t.wait_text(" 5 of 2000 entries used ")
    t.check("Num   Name                             Address                     Last Call" in t.text(), "headings")
    pick(t, ["5", "0", "Enter"], "  50")
    pick(t, ["Home", "f"], "Test Board", "127.0.0.1")
    pick(t, ["n"], "Dead End")
    pick(t, ["f"], "Alpha Mail", "mail")  # part of a name, the only match
    t.keys("n")
    t.answer("No more matches.", "Space")
    t.keys("Escape")
    t.wait_gone("Dialing Directory")
    t.check(t.screen()[1:] == terminal[1:], "Esc did not bring back the terminal view as it was")

    t.keys("M-d", "IC")
    t.wait_text("Add Entry")
    t.type("Added Board\tadded.example:2323")
    t.keys("Tab", "Tab", "Tab", "Space", "Space", "Space", "Space", "F10")  # emulation VT100
    pick(t, [], "added.example 2323")
    pick(t, ["5", "Enter"], "Gamma Games")
    t.keys("DC")
    t.answer("Delete entry #5", "y")
    t.keys("s")
    t.answer("Sort all entries by name?", "y")
    names = [row[8:40].strip() for row in t.screen()[4:9]]
    t.check(names == ["Added Board", "Alpha Mail", "Beta Files", "Dead End", "Test Board"] and
            list(last_calls(home))[:5] == names, f"sorted and saved names read {names}")


def dials(t, home, host):
    pick(t, ["4", "Enter"], "Dead End")
    t.keys("Enter")
    t.answer("Connection refused", "Space")
    t.keys("M-d")  # the directory opens where it was left
    pick(t, ["Down"], "Test Board")
    t.keys("Enter")
    t.wait_text("Hello from the test board")
    t.check("Online" in t.screen()[0] and "Test Board" in t.screen()[0], "status bar")
    t.wait_for("the date stamped", lambda: last_calls(home)["Test Board"] == time.strftime("%m/%d/%y"))
    t.check(not last_calls(home)["Dead End"], "the failed dial stamped its date")
    t.keys("M-h")
    t.answer("Disconnect from the remote system?", "y")
    t.keys("M-q")
    t.wait_text("Host to call:")
    t.type(f"127.0.0.1:{host.port}", enter=True)
    t.wait_for("the quick-dial", lambda: f"Online 00:00   127.0.0.1:{host.port}" in t.screen()[0])


def main():
    with TestHost(steps=[{"send": "Hello from the test board\\r\\n"}], time_limit=120) as host, \
            TestHost(mode="refuse", time_limit=120) as refused, Tmux("directory", height=25) as t:
        imported(t, ("Test Board", "127.0.0.1", host.port), ("Dead End", "127.0.0.1", refused.port),
                 ("Alpha Mail", "alpha.example", 23), ("Beta Files", "beta.example", 2323),
                 ("Gamma Games", "gamma.example", 23))
        t.write_settings(["DirectoryAtStartup=no"])
        t.start_program()
        list_keys(t, t.home)
        dials(t, t.home, host)
        t.keys("M-x")
        t.answer("You are still connected.", "y")
        t.wait_text("pelong-ended=0")
        t.check(b"vt100\tAdded Board\tadded.example 2323\r\n" in open(f"{t.home}/pelong.ext", "rb").read(),
                "the added entry is not in pelong.ext")

    with Tmux("directory-start", height=25) as t:  # -i on screen, then the directory at start
        path = write_list(t, "[One]\nAddress=one.example\n[Two]\nAddress=two.example\n[Shell]\nConnectionType=SSH\n")
        t.start_program("-i", path, settle_text="1 of the 3 entries use SSH")
        t.answer("Import those entries anyway?", "n")
        t.answer("Import now?", "y")
        t.answer("2 entries imported.", "Space")
        t.wait_text(" 2 of 2000 entries used ")
        t.keys("M-x")
        t.wait_text("pelong-ended=0")

    with Tmux("directory-readonly", height=25) as t:  # saves refused: told, kept in memory, files whole
        imported(t, ("Kept", "kept.example", 23))
        os.chmod(t.home, 0o755)
        files = {name: open(f"{t.home}/{name}", "rb").read() for name in ("pelo.fon", "pelong.ext")}
        t.start_program(wrapper=("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"),
                        settle_text="Dialing Directory")
        t.keys("IC")
        t.type("Unsaved\tunsaved.example")
        t.keys("F10")
        t.answer("Could not write the phonebook file!", "Space")
        t.wait_text(" 2 of 2000 entries used ")
        t.check({name: open(f"{t.home}/{name}", "rb").read() for name in files} == files and
                len(os.listdir(t.home)) == 4, "the files changed or a temporary file was left")
        t.keys("Escape", "M-x")
        t.answer("Exit Pelorin NG?", "y")
        t.wait_text("pelong-ended=0")
    with Tmux("directory-protected", height=25) as t:  # the user's own files, made read-only
        imported(t, ("Kept", "kept.example", 23))
        path = write_list(t, "[New]\nAddress=new.example\n")
        t.write_settings(["DirectoryAtStartup=no"])
        with open(f"{t.home}/pelo.cfg", "wb") as f:
            f.write(b"/downloads\r\n")
        os.chown(t.home, 65534, 65534)
        files = {}
        for name in ("pelo.fon", "pelong.ext", "pelo.cfg", "pelong.cfg"):
            os.chown(f"{t.home}/{name}", 65534, 65534)
            os.chmod(f"{t.home}/{name}", 0o444)
            files[name] = open(f"{t.home}/{name}", "rb").read()
        t.start_program("-i", path, wrapper=("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"),
                        settle_text="Import now?")
        t.keys("y")
        t.answer("Could not write the phonebook file!", "Space")
        t.keys("M-s")
        t.wait_text("Could not write pelo.cfg / pelong.cfg")
        t.check("Error" in t.text(), "the box has no title")
        t.keys("Space")
        left = [name for name in os.listdir(t.home) if name.endswith(".tmp")]
        t.check({name: open(f"{t.home}/{name}", "rb").read() for name in files} == files and not left,
                f"the files changed or a temporary file was left: {sorted(os.listdir(t.home))}")
        t.keys("M-x")
        t.answer("Exit Pelorin NG?", "y")
        t.wait_text("pelong-ended=0")
    print("ok: directory keys, add/delete/sort, dials and stamp, quick-dial, import at start, refused saves, "
          "protected files")


if __name__ == "__main__":
    main()
