"""A host that sends several megabytes as fast as the client reads does not starve the keyboard:
a key typed early in the burst reaches the host long before the burst ends."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tmux_driver import TOOLS, Tmux  # noqa: E402

sys.path.insert(0, TOOLS)
from testhost import TestHost  # noqa: E402

BURST = 24_000_000


def main():
    with TestHost(steps=[{"burst": BURST}], time_limit=120) as host, Tmux("calls-burst") as t:
        t.start_program("127.0.0.1", host.port)
        session = host.wait_session(10)
        if not session:
            t.fail("no connection reached the host")
        t.wait_for("the burst to be under way", lambda: session.sent >= 2_000_000, timeout=30)
        typed_at, sent_at_typing = time.monotonic(), session.sent
        t.type("k")
        if not session.wait_data(b"k", 30):
            t.fail("the key never reached the host")
        lag = time.monotonic() - typed_at
        arrival = next(e for e in host.events if e["event"] == "received" and "6b" in e["hex"])
        if arrival["sent"] >= BURST:
            t.fail(f"the key arrived only after the whole burst ({arrival['sent']} bytes sent)")
        print(f"key typed after {sent_at_typing} bytes, at the host after {arrival['sent']} "
              f"of {BURST} bytes, {lag * 1000:.0f} ms later")
    print("ok: the keyboard is not starved during a burst")


if __name__ == "__main__":
    try:
        main()
    except AssertionError as e:
        print(e)
        sys.exit(1)
