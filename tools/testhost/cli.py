"""Command line of the test host."""

import argparse
import json
import os
import sys

from .host import TestHost
from .steps import ScriptError, load_script

DESCRIPTION = """\
A scriptable telnet host on 127.0.0.1 for tests and for trying the client without a BBS.

It listens on a loopback port (a free one unless --port is given), prints the port number as the
first line of its standard output, runs its script on every connection, and stops by itself after
--time-limit seconds (or once --connections sessions have ended).

Modes:
  (default)      run the steps given by --script or by the step options below, in order
  --refuse       hold the port without listening: every connection is refused
  --silent       listen with a full accept queue: connections never complete (connect time-outs)

Step options (each adds one step, in the order given). Bytes go out exactly as written, so a script
can send raw telnet commands; a data byte 255 on a telnet link is written \\xff\\xff.
  --send TEXT       text with escapes \\e \\r \\n \\t \\a \\b \\0 \\\\ \\xNN
  --send-hex HEX    bytes in hexadecimal ("ff fd 1f")
  --send-file PATH  a file as it is
  --burst N         N bytes of coloured ANSI text lines, as fast as the client reads
  --do OPT, --dont OPT, --will OPT, --wont OPT
                    one negotiation; OPT is a name (binary echo sga ttype naws ...) or a number
  --ttype-send      ask the terminal type (IAC SB TTYPE SEND IAC SE)
  --sleep SECONDS
  --expect TEXT     wait until the client has typed TEXT (escapes as for --send)
  --wait-key        wait for any key
  --bridge CMD      run CMD (split at blanks) with the client's data as its input and its output
                    sent to the client, 255 doubled (for Zmodem with sz/rz)
  --close           close the connection

Script files (--script) are JSON; see steps.py in this package for every step. Example:
  {"steps": [{"do": "ttype"}, {"ttype_send": true}, {"send": "\\\\e[1;33mHello\\\\r\\\\n"},
             {"expect": "\\\\r"}, {"close": true}]}

What the client sends is recorded: --record FILE keeps its raw bytes, --log FILE one JSON object per
line for every event (connected, received with the bytes in hex and the count sent so far, command,
closed, client_closed, burst_start, burst_done, menu_key, terminal_type, time_limit ...), each with
"t", the seconds since the start.

Examples:
  testhost --send-file tools/demo/welcome.ans --expect q --close
  testhost --do naws --do ttype --ttype-send --log /tmp/host.log --time-limit 20
  testhost --script tools/demo/demo.json --time-limit 3600
  testhost --refuse --time-limit 30
  testhost --burst 10000000 --send '\\e[6n' --log /tmp/burst.log --connections 1

From Python (tools/ on sys.path):
  from testhost import TestHost
  with TestHost(steps=[{"send": "hi\\\\r\\\\n"}], time_limit=30) as host:
      ... connect to host.port ...
      session = host.wait_session(5)
      session.wait_data(b"\\r\\x00", 5); session.commands; session.data
"""


class _Step(argparse.Action):
    """Appends {action: value} to the one ordered list of steps."""

    def __call__(self, parser, namespace, values, option_string=None):
        steps = getattr(namespace, "steps", None) or []
        key = self.metavar_key
        if self.nargs == 0:
            values = True
        elif key == "bridge":
            values = values.split()
        elif key in ("sleep",):
            values = float(values)
        elif key == "burst":
            values = int(values)
        steps.append({key: values})
        namespace.steps = steps


def _step_option(parser, flag, key, nargs=None, metavar=None):
    action = parser.add_argument(flag, action=_Step, dest="steps", nargs=nargs, metavar=metavar,
                                 help=argparse.SUPPRESS)
    action.metavar_key = key


def build_parser():
    parser = argparse.ArgumentParser(prog="testhost", description=DESCRIPTION,
                                     usage="testhost [options] [--refuse | --silent | --script FILE | step options...]",
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--port", type=int, default=0, help="port to use (default: a free one)")
    parser.add_argument("--bind", default="127.0.0.1", help="loopback address (default 127.0.0.1; ::1 for IPv6)")
    parser.add_argument("--time-limit", type=float, default=60.0, metavar="SECONDS",
                        help="stop after this many seconds (default 60)")
    parser.add_argument("--connections", type=int, default=0, metavar="N",
                        help="stop once N sessions have ended (default 0: no limit)")
    parser.add_argument("--after", choices=("hold", "close"), default=None,
                        help="after the last step: hold the connection (default) or close it")
    parser.add_argument("--port-file", metavar="FILE", help="also write the port number to FILE")
    parser.add_argument("--record", metavar="FILE", help="write the client's raw bytes to FILE")
    parser.add_argument("--log", metavar="FILE", help="write events as JSON lines to FILE")
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--refuse", action="store_true", help="refuse every connection")
    mode.add_argument("--silent", action="store_true", help="never complete a connection")
    mode.add_argument("--script", metavar="FILE", help="JSON script of steps")
    for flag, key, nargs in (("--send", "send", None), ("--send-hex", "send_hex", None),
                             ("--send-file", "send_file", None), ("--burst", "burst", None),
                             ("--do", "do", None), ("--dont", "dont", None), ("--will", "will", None),
                             ("--wont", "wont", None), ("--ttype-send", "ttype_send", 0),
                             ("--sleep", "sleep", None), ("--expect", "expect", None),
                             ("--wait-key", "wait_key", 0), ("--bridge", "bridge", None),
                             ("--close", "close", 0)):
        _step_option(parser, flag, key, nargs)
    return parser


def main(argv=None):
    parser = build_parser()
    args = parser.parse_args(argv)
    steps = getattr(args, "steps", None) or []
    if args.script and steps:
        parser.error("--script and step options do not mix")
    mode = "refuse" if args.refuse else "silent" if args.silent else "script"
    try:
        if args.script:
            with open(args.script) as f:
                document = json.load(f)
            base_dir = os.path.dirname(os.path.abspath(args.script))
        else:
            document, base_dir = {"steps": steps}, os.getcwd()
        script_steps, defines, after = load_script(document, base_dir)
    except (OSError, ValueError, ScriptError) as e:
        print("testhost: %s" % e, file=sys.stderr)
        return 2
    host = TestHost(steps=script_steps, defines=defines, after=args.after or after, mode=mode,
                    port=args.port, time_limit=args.time_limit, connections=args.connections,
                    record=args.record, log=args.log, bind=args.bind)
    try:
        port = host.start()
    except OSError as e:
        print("testhost: cannot open port %d: %s" % (args.port, e), file=sys.stderr)
        return 2
    print(port, flush=True)
    if args.port_file:
        temp = args.port_file + ".tmp"
        with open(temp, "w") as f:
            f.write("%d\n" % port)
        os.replace(temp, args.port_file)
    try:
        host.wait()
    except KeyboardInterrupt:
        pass
    host.stop()
    return 0
