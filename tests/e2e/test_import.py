#!/usr/bin/python3
"""pelong -i LIST -q: imports a SyncTERM list with no network and no console, prints one line,
and leaves the phonebook files in PELONG_HOME."""
import os
import subprocess
import sys
import tempfile

PELONG = os.environ["PELONG_BIN"]
RECORD = 197

LIST = (
    b"Port=2323\r\n"
    b"[Alpha \xe2\x95\x94\xe2\x95\x90\xe2\x95\x97]\r\n"  # UTF-8 box drawing in the name
    b"Address=telnet://alpha.example\r\n"
    b"ScreenMode=C64\r\n"
    b"[Beta]\r\n"
    b"Address=beta.example\r\n"
    b"Port=23\r\n"
    b"[Secure]\r\n"
    b"Address=ssh.example\r\n"
    b"ConnectionType=SSH\r\n"
    b"[Known]\r\n"
    b"Address=KNOWN.example\r\n"
    b"Port=23\r\n"
)


def field(data, offset):
    return data[offset + 1 : offset + 1 + data[offset]]


def run(home, *args):
    env = dict(os.environ, PELONG_HOME=home, TERM="dumb")
    return subprocess.run([PELONG, *args], env=env, stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=30)


def check(condition, what):
    if not condition:
        print("FAIL:", what)
        sys.exit(1)


def main():
    with tempfile.TemporaryDirectory() as home:
        lst = os.path.join(home, "syncterm.lst")
        with open(lst, "wb") as f:
            f.write(LIST)
        known = bytearray(RECORD)
        known[0] = 5
        known[1:6] = b"Known"
        known[61] = 13
        known[62:75] = b"known.example"
        with open(os.path.join(home, "pelo.fon"), "wb") as f:
            f.write(bytes(known))

        result = run(home, "-i", lst, "-q")
        check(result.returncode == 0, f"exit code {result.returncode}")
        check(result.stdout == b"Imported 2 entries (1 duplicates, 0 no room, 1 skipped)\n",
              f"output {result.stdout!r}")
        check(result.stderr == b"", f"stderr {result.stderr!r}")

        with open(os.path.join(home, "pelo.fon"), "rb") as f:
            fon = f.read()
        check(len(fon) == 2000 * RECORD, f"pelo.fon size {len(fon)}")
        check(fon[:RECORD] == bytes(known), "the known entry is kept byte for byte")
        alpha, beta = fon[RECORD : 2 * RECORD], fon[2 * RECORD : 3 * RECORD]
        check(field(alpha, 0) == b"Alpha \xc9\xcd\xbb", f"alpha name {field(alpha, 0)!r}")
        check(field(alpha, 61) == b"alpha.example 2323", f"alpha address {field(alpha, 61)!r}")
        check(field(beta, 61) == b"beta.example", f"beta address {field(beta, 61)!r}")
        check(fon[3 * RECORD :] == bytes(len(fon) - 3 * RECORD), "the rest is empty slots")
        with open(os.path.join(home, "pelo.fon.bak"), "rb") as f:
            check(f.read() == bytes(known), "backup of the one-record file")
        with open(os.path.join(home, "pelong.ext"), "rb") as f:
            ext = f.read()
        check(ext == b"; Pelorin NG phonebook extensions: emulation<TAB>name<TAB>address\r\n"
                     b"petscii40\tAlpha \xc9\xcd\xbb\talpha.example 2323\r\n", f"pelong.ext {ext!r}")
        check(sorted(os.listdir(home)) == ["pelo.fon", "pelo.fon.bak", "pelong.ext", "syncterm.lst"],
              f"files {sorted(os.listdir(home))}")

        # ImportSSH from the extended settings file answers the question nobody is asked.
        with open(os.path.join(home, "pelong.cfg"), "wb") as f:
            f.write(b"ImportSSH=yes\r\n")
        result = run(home, "-i", lst, "-q")
        check(result.returncode == 0, f"second run exit code {result.returncode}")
        check(result.stdout == b"Imported 1 entries (3 duplicates, 0 no room, 0 skipped)\n",
              f"second run output {result.stdout!r}")

    with tempfile.TemporaryDirectory() as home:
        missing = os.path.join(home, "missing.lst")
        result = run(home, "-i", missing, "-q")
        check(result.returncode == 1, f"missing list exit code {result.returncode}")
        check(result.stdout == f"Cannot open {missing}\n".encode(), f"missing list output {result.stdout!r}")
        check(os.listdir(home) == [], f"nothing written: {os.listdir(home)}")
    print("ok")


if __name__ == "__main__":
    main()
