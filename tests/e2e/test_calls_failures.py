"""Calls that do not get through: a refused port, a name that does not resolve, a host that never
answers (time-out after the configured seconds), and Esc while connecting."""

import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tmux_driver import TOOLS, Tmux  # noqa: E402

sys.path.insert(0, TOOLS)
from testhost import TestHost  # noqa: E402


def result_line(t):
    for row in t.screen():
        if "result:" in row:
            return row
    return ""


def check_failure_box(t, reason, label, target):
    t.wait_text(reason)
    if target not in t.text():
        t.fail(f"{label}: the box does not name {target!r}")
    row = result_line(t)
    if not re.search(r"elapsed:\s+\d+\s+result: " + re.escape(reason), row):
        t.fail(f"{label}: the result line reads {row!r}")
    t.wait_gone(reason, timeout=6)  # the box goes by itself
    if "Offline" not in t.screen()[0]:
        t.fail(f"{label}: not offline after the failure")


def check_refused():
    with TestHost(mode="refuse", time_limit=30) as host, Tmux("calls-refused") as t:
        t.start_program("127.0.0.1", host.port)
        check_failure_box(t, "Connection refused", "refused port", f"127.0.0.1 / port: {host.port}")


def check_unresolvable():
    with Tmux("calls-resolve") as t:
        t.start_program("telnet://nonexistent.invalid:2323/", "23")  # the port in the address wins over 23
        check_failure_box(t, "Unable to resolve hostname", "unresolvable name",
                          "connecting to: nonexistent.invalid / port: 2323")


def check_timeout():
    with TestHost(mode="silent", time_limit=60) as host, Tmux("calls-timeout") as t:
        t.write_settings(["ConnectTimeout=3"])
        started = time.monotonic()
        t.start_program("127.0.0.1", host.port)
        t.wait_text("Connection timed out", timeout=20)
        elapsed = time.monotonic() - started
        if not 2.5 <= elapsed <= 6:
            t.fail(f"timed out after {elapsed:.1f} s with ConnectTimeout=3")
        if not re.search(r"elapsed:\s+3\s", result_line(t)):
            t.fail(f"the box does not show 3 seconds: {result_line(t)!r}")


def check_escape():
    with TestHost(mode="silent", time_limit=60) as host, Tmux("calls-escape") as t:
        t.start_program("127.0.0.1", host.port, settle_text="connecting to: 127.0.0.1")
        t.wait_text("connecting", timeout=5)
        t.wait_for("the stage text", lambda: "result: connecting" in result_line(t), timeout=5)
        t.keys("Escape")
        t.wait_gone("connecting to:", timeout=3)
        time.sleep(0.5)
        text = t.text()
        if "result:" in text or "timed out" in text or "Offline" not in t.screen()[0]:
            t.fail("Esc while connecting left a message or did not return offline")


def main():
    check_refused()
    check_unresolvable()
    check_timeout()
    check_escape()
    print("ok: refused, unresolvable, time-out, Esc while connecting")


if __name__ == "__main__":
    try:
        main()
    except AssertionError as e:
        print(e)
        sys.exit(1)
