"""The dialing directory at 80x25 against the test host, from a phonebook made by pelong -i LIST -q:
the directory at start-up, find, add, sort, a failed and a good dial (only that one stamped), the
files after the end. Then files an unprivileged user made read-only:
an import on screen and Alt-S leave them as they were and say so, while the new settings take effect."""

import os
import subprocess
import time

from tmux_driver import PELONG, TestHost, Tmux

CYAN_BG = "48;2;0;170;170"  # the cursor row
AS_NOBODY = ("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups")


def write_list(t, text, quiet=False):
    """A SyncTERM list in the program directory, imported at once by pelong -i LIST -q when quiet."""
    path = os.path.join(t.home, "syncterm.lst")
    with open(path, "w") as f:
        f.write(text)
    if quiet:
        subprocess.run([PELONG, "-i", path, "-q"], env=t.env, check=True, capture_output=True, timeout=30)
    return path


def last_calls(home):  # name to last call of every used record of pelo.fon (197 bytes each)
    data = open(os.path.join(home, "pelo.fon"), "rb").read()
    records = [data[at:at + 197] for at in range(0, len(data), 197)]
    return {r[1:1 + r[0]].decode(): r[123:123 + r[122]].decode() for r in records if r[0]}


def pick(t, keys, expected):
    """Presses keys (text that is no key name is typed) and waits for the cursor row to hold expected."""
    t.keys(*keys)
    rows = lambda: [r for r, c in zip(t.screen(), t.screen(colours=True)) if CYAN_BG in c]
    t.wait_for(f"{expected!r} selected", lambda: any(expected in r for r in rows()))


def directory(t):
    t.start_program(settle_text=" 4 of 2000 entries used ")
    pick(t, ["f", "mail", "Enter"], "Alpha Mail")  # part of a name
    t.keys("IC")
    t.wait_text("Add Entry")
    t.type("Added Board\tadded.example:2323")
    t.keys("Tab", "Tab", "Tab", "Space", "Space", "Space", "Space", "F10")  # emulation VT100
    pick(t, [], "added.example 2323")
    t.keys("s")
    t.answer("Sort all entries by name?", "y")
    names = [row[8:40].strip() for row in t.screen()[4:9]]
    t.check(names == ["Added Board", "Alpha Mail", "Beta Files", "Dead End", "Test Board"] and
            list(last_calls(t.home)) == names, f"sorted and saved names read {names}")
    pick(t, ["4", "Enter"], "Dead End")
    t.keys("Enter")
    t.answer("Connection refused", "Space")
    t.keys("M-d")  # the directory opens where it was left
    pick(t, ["Down"], "Test Board")
    t.keys("Enter")
    t.wait_text("Hello from the test board")
    t.check("Online" in t.screen()[0] and "Test Board" in t.screen()[0], "status bar")
    t.wait_for("the date stamped", lambda: last_calls(t.home)["Test Board"] == time.strftime("%m/%d/%y"))
    t.check(not last_calls(t.home)["Dead End"], "the failed dial stamped its date")
    t.keys("M-x")
    t.answer("You are still connected.", "y")
    t.wait_text("pelong-ended=0")
    t.check(b"vt100\tAdded Board\tadded.example 2323\r\n" in open(f"{t.home}/pelong.ext", "rb").read(),
            "the added entry is not in pelong.ext")


def protected_files(t):
    """Saves refused: told in an "Error" box, the files whole, no temporary file left."""
    write_list(t, "[Kept]\nAddress=kept.example\n", quiet=True)
    path = write_list(t, "[New]\nAddress=new.example\n[Shell]\nConnectionType=SSH\n")
    t.write_settings(["DirectoryAtStartup=no"])
    with open(f"{t.home}/pelo.cfg", "wb") as f:
        f.write(b"/downloads\r\n")
    os.chown(t.home, 65534, 65534)
    files = {}
    for name in ("pelo.fon", "pelong.ext", "pelo.cfg", "pelong.cfg"):
        os.chown(f"{t.home}/{name}", 65534, 65534)
        os.chmod(f"{t.home}/{name}", 0o444)
        files[name] = open(f"{t.home}/{name}", "rb").read()
    t.start_program("-i", path, wrapper=AS_NOBODY, settle_text="1 of the 2 entries use SSH")
    t.answer("Import those entries anyway?", "n")
    t.answer("Import now?", "y")
    t.answer("Could not write the phonebook file!", "Space")
    t.keys("M-s")
    t.wait_text("Could not write pelo.cfg / pelong.cfg")
    t.check("Error" in t.text() and "Alt-Z - Help!" not in t.screen()[0], "no error box, or the bar stayed")
    t.keys("Space")
    left = [name for name in os.listdir(t.home) if name.endswith(".tmp")]
    t.check({name: open(f"{t.home}/{name}", "rb").read() for name in files} == files and not left,
            f"the files changed or a temporary file was left: {sorted(os.listdir(t.home))}")
    t.keys("M-x")
    t.answer("Exit Pelorin NG?", "y")
    t.wait_text("pelong-ended=0")


def main():
    with TestHost(steps=[{"send": "Hello from the test board\\r\\n"}], time_limit=120) as host, \
            TestHost(mode="refuse", time_limit=120) as refused, Tmux("directory", height=25) as t:
        sections = [("Test Board", "127.0.0.1", host.port), ("Dead End", "127.0.0.1", refused.port),
                    ("Alpha Mail", "alpha.example", 23), ("Beta Files", "beta.example", 2323)]
        write_list(t, "".join(f"[{n}]\nAddress={a}\nPort={p}\n" for n, a, p in sections), quiet=True)
        directory(t)
    with Tmux("directory-protected", height=25) as t:
        protected_files(t)
    print("ok: directory at start-up, find, add, sort, dials and stamp, protected files")


if __name__ == "__main__":
    main()
