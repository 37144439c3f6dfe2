"""Calls that do not get through: a refused port, a name that does not resolve, a host that never
answers (time-out after the configured seconds), and Esc while connecting."""

import re
import time

from tmux_driver import TestHost, Tmux


def result_line(t):
    return next((row for row in t.screen() if "result:" in row), "")


def check_failure(args, reason, target, elapsed=r"\d+"):
    """The failure box names the target and the reason, then goes by itself; the time it took."""
    with Tmux("calls-failure") as t:
        t.write_settings(["ConnectTimeout=3"])
        started = time.monotonic()
        t.start_program(*args)
        t.wait_text(reason, timeout=20)
        seconds = time.monotonic() - started
        t.check(target in t.text() and re.search(rf"elapsed:\s+{elapsed}\s+result: {reason}", result_line(t)),
                f"{reason}: the box does not name {target!r} or reads otherwise")
        t.wait_gone(reason, timeout=6)
        t.check("Offline" in t.screen()[0], f"{reason}: not offline after the failure")
        return seconds


def check_escape(host):
    with Tmux("calls-escape") as t:
        t.start_program("127.0.0.1", host.port, settle_text="connecting to: 127.0.0.1")
        t.wait_for("the stage text", lambda: "result: connecting" in result_line(t), timeout=5)
        t.keys("Escape")
        t.wait_gone("connecting to:", timeout=3)
        time.sleep(0.5)
        t.check("result:" not in t.text() and "timed out" not in t.text() and "Offline" in t.screen()[0],
                "Esc while connecting left a message or did not return offline")


def main():
    with TestHost(mode="refuse", time_limit=30) as host:
        check_failure(("127.0.0.1", host.port), "Connection refused", f"127.0.0.1 / port: {host.port}")
    # The port in the address wins over the one after it.
    check_failure(("telnet://nonexistent.invalid:2323/", "23"), "Unable to resolve hostname",
                  "connecting to: nonexistent.invalid / port: 2323")
    with TestHost(mode="silent", time_limit=60) as host:
        seconds = check_failure(("127.0.0.1", host.port), "Connection timed out", "127.0.0.1", elapsed="3")
        if not 2.5 <= seconds <= 6:
            raise AssertionError(f"timed out after {seconds:.1f} s with ConnectTimeout=3")
        check_escape(host)
    print("ok: refused, unresolvable, time-out, Esc while connecting")


if __name__ == "__main__":
    main()
