#!/usr/bin/python3
"""pelong -i LIST -q: imports a SyncTERM list with no network and no console, prints one line,
and leaves the phonebook files in PELONG_HOME."""
import os
import subprocess
import sys
import tempfile

RECORD = 197
LIST = (b"Port=2323\r\n"
        b"[Alpha \xe2\x95\x94\xe2\x95\x90\xe2\x95\x97]\r\n"  # UTF-8 box drawing in the name
        b"Address=telnet://alpha.example\r\nScreenMode=C64\r\n"
        b"[Beta]\r\nAddress=beta.example\r\nPort=23\r\n"
        b"[Secure]\r\nAddress=ssh.example\r\nConnectionType=SSH\r\n"
        b"[Known]\r\nAddress=KNOWN.example\r\nPort=23\r\n")


def record(name, address):
    r = bytearray(RECORD)
    r[0], r[1:1 + len(name)] = len(name), name
    r[61], r[62:62 + len(address)] = len(address), address
    return bytes(r)


def run(home, *args):
    env = dict(os.environ, PELONG_HOME=home, TERM="dumb")
    return subprocess.run([os.environ["PELONG_BIN"], *args], env=env, stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=30)


def check(condition, what):
    if not condition:
        print("FAIL:", what)
        sys.exit(1)


def read(home, name):
    with open(os.path.join(home, name), "rb") as f:
        return f.read()


def main():
    with tempfile.TemporaryDirectory() as home:
        lst = os.path.join(home, "syncterm.lst")
        known = record(b"Known", b"known.example")
        for name, data in (("syncterm.lst", LIST), ("pelo.fon", known)):
            with open(os.path.join(home, name), "wb") as f:
                f.write(data)

        result = run(home, "-i", lst, "-q")
        output = (0, b"Imported 2 entries (1 duplicates, 0 no room, 1 skipped)\n", b"")
        check((result.returncode, result.stdout, result.stderr) == output, f"first run {result}")
        alpha = record(b"Alpha \xc9\xcd\xbb", b"alpha.example 2323")
        expected = known + alpha + record(b"Beta", b"beta.example")
        expected += bytes(2000 * RECORD - len(expected))
        check(read(home, "pelo.fon") == expected, "pelo.fon: the known entry kept, two added")
        check(read(home, "pelo.fon.bak") == known, "backup of the one-record file")
        check(read(home, "pelong.ext") ==
              b"; Pelorin NG phonebook extensions: emulation<TAB>name<TAB>address\r\n"
              b"petscii40\tAlpha \xc9\xcd\xbb\talpha.example 2323\r\n", "pelong.ext")
        check(sorted(os.listdir(home)) == ["pelo.fon", "pelo.fon.bak", "pelong.ext", "syncterm.lst"],
              f"files {sorted(os.listdir(home))}")

        # ImportSSH from the extended settings file answers the question nobody is asked.
        with open(os.path.join(home, "pelong.cfg"), "wb") as f:
            f.write(b"ImportSSH=yes\r\n")
        result = run(home, "-i", lst, "-q")
        check((result.returncode, result.stdout) ==
              (0, b"Imported 1 entries (3 duplicates, 0 no room, 0 skipped)\n"), f"second run {result}")

    with tempfile.TemporaryDirectory() as home:
        missing = os.path.join(home, "missing.lst")
        result = run(home, "-i", missing, "-q")
        output = (1, f"Cannot open {missing}\n".encode())
        check((result.returncode, result.stdout) == output, f"missing list {result}")
        check(os.listdir(home) == [], f"nothing written: {os.listdir(home)}")
    print("ok")


if __name__ == "__main__":
    main()
