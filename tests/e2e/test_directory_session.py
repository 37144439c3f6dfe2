"""The dialing directory in tmux at 80x25 against the test host, from a phonebook made by
pelong -i LIST -q: the list and its keys (PgDn, go to 50, find and next, add, delete, sort), a dial
that fails and one that gets through (the last-call date stamped only for that one), quick-dial,
Esc back to the terminal as it was, the files after the program ends; -i without -q with the
directory as the first screen; and saves refused in a read-only program directory."""

import os
import re
import shutil
import subprocess
import time

from tmux_driver import PELONG, TestHost, Tmux

RECORD = 197
CYAN_BG = "48;2;0;170;170"  # the cursor row


def make_list(home, sections):
    with open(os.path.join(home, "syncterm.lst"), "w", newline="") as f:
        for name, keys in sections:
            f.write(f"[{name}]\r\n" + "".join(f"{k}={v}\r\n" for k, v in keys.items()))
    return os.path.join(home, "syncterm.lst")


def quiet_import(home, path):
    env = dict(os.environ, PELONG_HOME=home, TERM="dumb")
    result = subprocess.run([PELONG, "-i", path, "-q"], env=env, stdin=subprocess.DEVNULL,
                            capture_output=True, timeout=30)
    if result.returncode != 0:
        raise AssertionError(f"quiet import failed: {result.stdout!r}")
    return result.stdout


def records(home):
    """(name, address, last call) of every used record of pelo.fon."""
    with open(os.path.join(home, "pelo.fon"), "rb") as f:
        data = f.read()
    out = []
    for at in range(0, len(data) - RECORD + 1, RECORD):
        r = data[at:at + RECORD]
        field = lambda offset, size: r[offset + 1:offset + 1 + min(r[offset], size)].decode("cp437")
        if r[0] or r[61]:
            out.append((field(0, 60), field(61, 60), field(122, 8)))
    return out


def last_call(home, name):
    return next(call for n, _, call in records(home) if n == name)


def selected(t):
    """The text of the list row drawn black on cyan."""
    rows, colours = t.screen(), t.screen(colours=True)
    for row in range(4, 22):
        if CYAN_BG in colours[row]:
            return rows[row]
    t.fail("no row is selected")


def wait_selected(t, text):
    t.wait_for(f"{text!r} selected", lambda: text in selected(t))


def open_directory(t):
    t.keys("M-d")
    t.wait_text("Pelorin NG Dialing Directory")


def check_list_keys(t):
    terminal_before = t.screen()
    open_directory(t)
    text = t.text()
    for piece in ("Num   Name", "Address", "Last Call", "Test Board", "alpha.example", " 5 of 2000 entries used "):
        if piece not in text:
            t.fail(f"the directory lacks {piece!r}")
    t.keys("PageDown")
    wait_selected(t, "  19")  # 18 rows on: the last list row, the list scrolled by one
    if not t.screen()[4].startswith("║    2"):
        t.fail("PgDn did not scroll the list by one row")
    t.keys("5", "0")
    t.wait_text("Entry number (1-2000):")
    t.keys("Enter")
    wait_selected(t, "  50")

    t.keys("Home", "f")
    t.wait_text("Search name or address for:")
    t.type("127.0.0.1", enter=True)
    wait_selected(t, "Test Board")
    t.keys("n")
    wait_selected(t, "Dead End")
    t.keys("f")
    t.wait_text("Search name or address for:")
    t.type("beta.ex", enter=True)  # part of an address
    wait_selected(t, "Beta Files")
    t.keys("f")
    t.wait_text("Search name or address for:")
    t.type("mail", enter=True)  # part of a name, one match only
    wait_selected(t, "Alpha Mail")
    t.keys("n")
    t.wait_text("No more matches.")
    t.keys("Space")
    t.wait_gone("No more matches.")

    t.keys("Escape")
    t.wait_gone("Pelorin NG Dialing Directory")
    if t.screen()[1:] != terminal_before[1:]:
        t.fail("Esc did not bring back the terminal view as it was")


def check_add_delete_sort(t, home):
    open_directory(t)
    t.keys("IC")  # Insert
    t.wait_text("Add Entry")
    t.type("Added Board")
    t.keys("Tab")
    t.type("added.example:2323")
    t.keys("Tab", "Tab", "Tab", "Space", "Space", "Space", "Space")  # the emulation: VT100
    t.wait_text("VT100")
    t.keys("F10")
    t.wait_text("added.example 2323")
    wait_selected(t, "Added Board")
    if " 6 of 2000 entries used " not in t.text():
        t.fail("the count did not grow")

    t.keys("5", "Enter")
    wait_selected(t, "Gamma Games")
    t.keys("DC")  # Delete
    t.wait_text("Delete entry #5")
    t.keys("y")
    t.wait_gone("Gamma Games")
    t.wait_text(" 5 of 2000 entries used ")

    t.keys("s")
    t.wait_text("Sort all entries by name?")
    t.keys("y")
    t.wait_gone("Sort all entries by name?")
    names = [row[8:40].strip() for row in t.screen()[4:9]]
    if names != ["Added Board", "Alpha Mail", "Beta Files", "Dead End", "Test Board"]:
        t.fail(f"sorted names read {names}")
    wait_selected(t, "Added Board")
    if [n for n, _, _ in records(home)][:5] != names:
        t.fail("the sorted phonebook was not saved")


def check_dials(t, home, host):
    t.keys("4", "Enter")
    wait_selected(t, "Dead End")
    t.keys("Enter")
    t.wait_text("Connection refused")
    t.wait_gone("Connection refused", timeout=8)
    if "Offline" not in t.screen()[0] or last_call(home, "Dead End"):
        t.fail("a failed dial went online or stamped the date")

    open_directory(t)  # the directory opens where it was left
    wait_selected(t, "Dead End")
    t.keys("Down", "Enter")
    t.wait_text("Hello from the test board")
    if "Test Board" not in t.screen()[0] or "Online" not in t.screen()[0]:
        t.fail(f"the status bar reads {t.screen()[0]!r}")
    today = time.strftime("%m/%d/%y")
    t.wait_for("the date stamped", lambda: last_call(home, "Test Board") == today)
    if last_call(home, "Dead End"):
        t.fail("the failed dial has a date")
    t.keys("M-h")
    t.wait_text("Disconnect from the remote system?")
    t.keys("y")
    t.wait_for("offline", lambda: "Offline" in t.screen()[0])

    t.keys("M-q")
    t.wait_text("Host to call:")
    t.type(f"127.0.0.1:{host.port}", enter=True)
    t.wait_for("the quick-dial call", lambda: f"127.0.0.1:{host.port}" in t.screen()[0])
    if host.wait_session(5, number=2) is None:
        t.fail("the quick-dial did not reach the host")
    t.keys("M-h")
    t.wait_text("Disconnect from the remote system?")
    t.keys("y")
    t.wait_for("offline", lambda: "Offline" in t.screen()[0])


def main_session():
    steps = [{"send": "Hello from the test board\\r\\n"}]
    with TestHost(steps=steps, time_limit=120) as host, TestHost(mode="refuse", time_limit=120) as refused, \
            Tmux("directory", height=25) as t:
        path = make_list(t.home, [
            ("Test Board", {"Address": "127.0.0.1", "Port": host.port}),
            ("Dead End", {"Address": "127.0.0.1", "Port": refused.port}),
            ("Alpha Mail", {"Address": "alpha.example"}),
            ("Beta Files", {"Address": "beta.example", "Port": 2323}),
            ("Gamma Games", {"Address": "gamma.example"}),
        ])
        quiet_import(t.home, path)
        t.write_settings(["DirectoryAtStartup=no"])
        t.start_program()
        check_list_keys(t)
        check_add_delete_sort(t, t.home)
        check_dials(t, t.home, host)
        t.keys("M-x")
        t.wait_text("Exit Pelorin NG?")
        t.keys("y")
        t.wait_text("pelong-ended=0")
        if ("Added Board", "added.example 2323", "") not in records(t.home):
            t.fail("the added entry is not in pelo.fon")
        with open(os.path.join(t.home, "pelong.ext"), "rb") as f:
            if b"vt100\tAdded Board\tadded.example 2323\r\n" not in f.read():
                t.fail("the added entry's emulation is not in pelong.ext")


def import_at_start():
    """-i without -q asks on screen; with DirectoryAtStartup the directory comes next, and Alt-X there
    ends the program."""
    with Tmux("directory-start", height=25) as t:
        path = make_list(t.home, [("One", {"Address": "one.example"}), ("Two", {"Address": "two.example"}),
                                  ("Shell", {"Address": "ssh.example", "ConnectionType": "SSH"})])
        t.write_settings(["DirectoryAtStartup=yes"])
        t.start_program("-i", path, settle_text="Import those entries anyway?")
        if "1 of the 3 entries use SSH" not in t.text():
            t.fail("the question about SSH entries reads otherwise")
        t.keys("n")
        t.wait_text("Import now?")
        if not re.search(r"Will be imported\s+:\s+2", t.text()):
            t.fail("the summary reads otherwise")
        t.keys("y")
        t.wait_text("2 entries imported.")
        t.keys("Space")
        t.wait_text("Pelorin NG Dialing Directory")
        t.wait_text(" 2 of 2000 entries used ")
        t.keys("M-x")
        t.wait_text("pelong-ended=0")


def read_only_directory():
    """As an unprivileged user in a directory it cannot write: the new entry stays in memory, the
    user is told, the files stay whole, and the program goes on."""
    with Tmux("directory-readonly", height=25) as t:
        quiet_import(t.home, make_list(t.home, [("Kept", {"Address": "kept.example"})]))
        os.chmod(t.home, 0o755)
        for name in ("pelo.fon", "pelong.ext"):
            os.chmod(os.path.join(t.home, name), 0o644)
        before = {name: open(os.path.join(t.home, name), "rb").read() for name in ("pelo.fon", "pelong.ext")}
        t.start_program(wrapper=("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"),
                        settle_text="Pelorin NG Dialing Directory")  # at start, by default
        t.keys("IC")
        t.wait_text("Add Entry")
        t.type("Unsaved")
        t.keys("Tab")
        t.type("unsaved.example")
        t.keys("F10")
        t.wait_text("Could not write the phonebook file!")
        t.keys("Space")
        t.wait_text(" 2 of 2000 entries used ")
        t.wait_text("Unsaved")
        after = {name: open(os.path.join(t.home, name), "rb").read() for name in before}
        if after != before or sorted(os.listdir(t.home)) != sorted(["pelo.fon", "pelong.ext", "syncterm.lst",
                                                                     "tmux.socket"]):
            t.fail("the files changed or a temporary file was left")
        t.keys("Escape", "M-x")
        t.wait_text("Exit Pelorin NG?")
        t.keys("y")
        t.wait_text("pelong-ended=0")


def main():
    main_session()
    import_at_start()
    if shutil.which("setpriv") and os.geteuid() == 0:
        read_only_directory()
    else:
        print("skipped the read-only directory: needs root and setpriv")
    print("ok: directory keys, add/delete/sort, dials and stamp, quick-dial, import at start, read-only saves")


if __name__ == "__main__":
    main()
