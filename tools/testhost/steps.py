"""Script steps: checking a script when it is loaded, and running it on a session.

A script is a list of steps; each step is an object with one action key and optional modifiers:

  {"send": "text"}              text with the escapes \\e \\r \\n \\t \\a \\b \\0 \\\\ \\xNN (UTF-8 otherwise)
  {"send_hex": "ff fb 01"}      bytes in hexadecimal
  {"send_file": "path", "chunk": 4096, "delay": 0.01}
                                a file as it is (relative to the script), optionally in timed chunks
  {"burst": 10000000, "chunk": 65536}
                                that many bytes of coloured ANSI text lines, as fast as the client takes them
  {"do": "naws"}  {"dont": ..}  {"will": "echo"}  {"wont": ..}
                                one negotiation; options by name (binary echo sga status ttype naws
                                linemode ...) or number
  {"sb": [24, 1]}               IAC SB option payload.. IAC SE (255 in the payload doubled)
  {"ttype_send": true}          IAC SB TTYPE SEND IAC SE
  {"sleep": 0.5}                seconds
  {"expect": "text", "timeout": 10}
                                wait until the client has typed text (consumed up to its end)
  {"wait_key": true, "timeout": 600}
                                wait for any key (NUL and LF are not keys)
  {"menu": {"1": [steps], "q": [steps]}, "prompt": [steps], "timeout": 600}
                                run prompt, then for each key run its steps (letters match either case;
                                other keys are ignored), and start over; a "leave" step leaves the menu
  {"branch_ttype": {"petscii": [steps], "*": [steps]}, "timeout": 3}
                                ask the terminal type and run the steps of the answer ("*": any other)
  {"call": "name"}              the steps defined under that name in the script's "define"
  {"bridge": ["sz", "file"], "cwd": "dir", "stderr": "path",
   "noise": {"down": {"drop": [5000], "flip": [9000]}, "up": {...}}}
                                connect the client to a child process: its output is sent with every
                                255 doubled, and the client's data (telnet commands removed, IAC IAC
                                undoubled) is its input; the step ends when the child ends. "noise"
                                damages the stream once at the given byte offsets: "down" the child's
                                output (before doubling), "up" the client's data; "drop" leaves a byte
                                out, "flip" inverts its low bit
  {"log": "text"}               a marker in the event log
  {"leave": true}               leave the innermost menu
  {"close": true}               close the connection (the script ends)

A script file is either such a list or {"steps": [...], "define": {"name": [steps]}, "after": "hold"}
where "after" says what follows the last step: "hold" keeps the connection until the client closes it
(or the time limit), "close" closes it.
"""

import os
import subprocess
import threading

from . import telnet

ACTIONS = {"send", "send_hex", "send_file", "burst", "do", "dont", "will", "wont", "sb", "ttype_send",
           "sleep", "expect", "wait_key", "menu", "branch_ttype", "call", "bridge", "log", "leave",
           "close"}
MODIFIERS = {"timeout", "chunk", "delay", "prompt", "cwd", "stderr", "noise"}


class ScriptError(ValueError):
    pass


def check_script(steps, defines, base_dir, where="script"):
    """Raises ScriptError for the first malformed step; resolves file paths against base_dir."""
    if not isinstance(steps, list):
        raise ScriptError("%s: a list of steps is expected" % where)
    for index, step in enumerate(steps):
        here = "%s[%d]" % (where, index)
        if not isinstance(step, dict):
            raise ScriptError("%s: a step is an object" % here)
        actions = [key for key in step if key in ACTIONS]
        unknown = [key for key in step if key not in ACTIONS and key not in MODIFIERS]
        if len(actions) != 1 or unknown:
            raise ScriptError("%s: one action expected, got %s" % (here, sorted(step)))
        action = actions[0]
        value = step[action]
        try:
            if action in ("do", "dont", "will", "wont"):
                telnet.option_code(value)
            elif action == "send":
                telnet.decode_text(value)
            elif action == "send_hex":
                bytes.fromhex(value)
            elif action == "send_file":
                step[action] = os.path.join(base_dir, value)
                if not os.path.isfile(step[action]):
                    raise ScriptError("%s: no such file: %s" % (here, step[action]))
            elif action in ("expect",) and not telnet.decode_text(value):
                raise ScriptError("%s: empty text" % here)
            elif action == "sb":
                telnet.subnegotiation(value[0], value[1:])
            elif action == "call" and value not in defines:
                raise ScriptError("%s: no definition named %s" % (here, value))
            elif action == "menu":
                for key, sub in value.items():
                    if len(key) != 1:
                        raise ScriptError("%s: menu keys are single characters" % here)
                    check_script(sub, defines, base_dir, "%s.menu[%s]" % (here, key))
                check_script(step.get("prompt", []), defines, base_dir, here + ".prompt")
            elif action == "branch_ttype":
                for name, sub in value.items():
                    check_script(sub, defines, base_dir, "%s.branch[%s]" % (here, name))
            elif action == "bridge":
                if not value or not all(isinstance(arg, str) for arg in value):
                    raise ScriptError("%s: bridge takes a command as a list of words" % here)
                if "cwd" in step:
                    step["cwd"] = os.path.join(base_dir, step["cwd"])
                for way in step.get("noise", {}).values():
                    for kind, offsets in way.items():
                        if kind not in ("drop", "flip") or not all(isinstance(o, int) for o in offsets):
                            raise ScriptError("%s: noise takes drop and flip offsets" % here)
            elif action in ("sleep", "burst"):
                float(value)
        except (TypeError, ValueError, IndexError, AttributeError) as e:
            if isinstance(e, ScriptError):
                raise
            raise ScriptError("%s: bad value for %s: %r" % (here, action, value)) from None


def load_script(document, base_dir):
    """(steps, defines, after) from a parsed script file."""
    if isinstance(document, list):
        document = {"steps": document}
    if not isinstance(document, dict):
        raise ScriptError("a script is a list of steps or an object with \"steps\"")
    steps = document.get("steps", [])
    defines = document.get("define", {})
    after = document.get("after", "hold")
    if after not in ("hold", "close"):
        raise ScriptError("\"after\" is \"hold\" or \"close\"")
    for name, sub in defines.items():
        check_script(sub, defines, base_dir, "define[%s]" % name)
    check_script(steps, defines, base_dir)
    return steps, defines, after


# ---------------------------------------------------------------- running

OK, LEAVE, END = "ok", "leave", "end"  # END: the connection is closed or gone


def run_steps(session, steps, defines):
    for step in steps:
        result = run_step(session, step, defines)
        if result != OK:
            return result
        if session.closed or session.client_closed or session.host.stopping:
            return END
    return OK


def _ansi_lines(total, chunk_size):
    """Chunks of numbered coloured text lines, total bytes in all."""
    line_number = 0
    left = total
    while left > 0:
        parts = []
        size = 0
        while size < chunk_size:
            colour = 31 + line_number % 7
            line = "\x1b[1;%dm%08d \x1b[0;%dm%s\r\n" % (colour, line_number, colour, "=#-+" * 17)
            parts.append(line)
            size += len(line)
            line_number += 1
        block = "".join(parts).encode("ascii")[:min(chunk_size, left)]
        left -= len(block)
        yield block


def run_step(session, step, defines):
    host = session.host
    action = next(key for key in step if key in ACTIONS)
    value = step[action]
    timeout = float(step.get("timeout", 600))
    if action == "send":
        return OK if session.send(telnet.decode_text(value)) else END
    if action == "send_hex":
        return OK if session.send(bytes.fromhex(value)) else END
    if action == "send_file":
        with open(value, "rb") as f:
            content = f.read()
        chunk = int(step.get("chunk", 0)) or len(content) or 1
        for at in range(0, len(content), chunk):
            if not session.send(content[at:at + chunk]):
                return END
            if step.get("delay"):
                host.sleep(float(step["delay"]))
        return OK
    if action == "burst":
        host.log(session, "burst_start", bytes=int(value))
        for block in _ansi_lines(int(value), int(step.get("chunk", 65536))):
            if host.stopping or not session.send(block):
                return END
        host.log(session, "burst_done", bytes=int(value))
        return OK
    if action in ("do", "dont", "will", "wont"):
        return OK if session.send(telnet.negotiation(action, value)) else END
    if action == "sb":
        return OK if session.send(telnet.subnegotiation(value[0], value[1:])) else END
    if action == "ttype_send":
        return OK if session.send(telnet.subnegotiation("ttype", [telnet.TTYPE_SEND])) else END
    if action == "sleep":
        host.sleep(float(value))
        return OK
    if action == "expect":
        if not session.expect(telnet.decode_text(value), timeout):
            host.log(session, "expect_timeout", text=value)
        return OK
    if action == "wait_key":
        session.next_key(timeout)
        return OK
    if action == "menu":
        return _run_menu(session, step, defines, timeout)
    if action == "branch_ttype":
        return _run_branch(session, value, defines, float(step.get("timeout", 3)))
    if action == "call":
        return run_steps(session, defines[value], defines)
    if action == "bridge":
        noise = step.get("noise", {})
        return _run_bridge(session, value, step.get("cwd"), step.get("stderr"),
                           _Noise(noise.get("down")), _Noise(noise.get("up")))
    if action == "log":
        host.log(session, "marker", text=value)
        return OK
    if action == "leave":
        return LEAVE
    if action == "close":
        session.close()
        return END
    raise AssertionError(action)


def _run_menu(session, step, defines, timeout):
    handlers = step["menu"]
    while True:
        result = run_steps(session, step.get("prompt", []), defines)
        if result != OK:
            return OK if result == LEAVE else result
        while True:
            key = session.next_key(timeout)
            if key is None:
                return END if session.closed or session.client_closed else OK
            char = chr(key)
            sub = handlers.get(char, handlers.get(char.lower(), handlers.get(char.upper())))
            if sub is not None:
                break
        session.host.log(session, "menu_key", key=char)
        result = run_steps(session, sub, defines)
        if result == LEAVE:
            return OK
        if result != OK:
            return result


def _run_branch(session, branches, defines, timeout):
    session.send(telnet.negotiation("DO", "ttype") + telnet.subnegotiation("ttype", [telnet.TTYPE_SEND]))
    name = session.terminal_type(timeout) or ""
    session.host.log(session, "terminal_type", name=name)
    for key, steps in branches.items():
        if key != "*" and key.lower() == name.lower():
            return run_steps(session, steps, defines)
    return run_steps(session, branches.get("*", []), defines)


class _Noise:
    """Damages a byte stream at fixed offsets: drops a byte or inverts its low bit."""

    def __init__(self, offsets):
        offsets = offsets or {}
        self.drop = set(offsets.get("drop", ()))
        self.flip = set(offsets.get("flip", ()))
        self.offset = 0

    def apply(self, chunk):
        start, self.offset = self.offset, self.offset + len(chunk)
        hits = sorted(o - start for o in self.drop | self.flip if start <= o < self.offset)
        if not hits:
            return chunk
        out = bytearray(chunk)
        for at in reversed(hits):
            if at + start in self.drop:
                del out[at]
            else:
                out[at] ^= 1
        return bytes(out)


def _run_bridge(session, command, cwd, stderr_path, down=None, up=None):
    down = down or _Noise(None)
    up = up or _Noise(None)
    host = session.host
    stderr = open(stderr_path, "ab") if stderr_path else subprocess.DEVNULL
    try:
        child = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=stderr,
                                 cwd=cwd, bufsize=0)
    except OSError as e:
        host.log(session, "bridge_failed", error=str(e))
        return OK
    finally:
        if stderr_path:
            stderr.close()
    host.log(session, "bridge_start", command=command)

    def child_to_client():
        while True:
            chunk = os_read(child.stdout)
            if not chunk or not session.send(telnet.double_iac(down.apply(chunk))):
                break

    out = threading.Thread(target=child_to_client, daemon=True)
    out.start()
    while child.poll() is None:
        if session.client_closed or session.closed or host.stopping:
            child.kill()
            break
        chunk = session.take_data(0.1)
        if chunk:
            try:
                child.stdin.write(up.apply(chunk))
            except (BrokenPipeError, OSError):
                break
    try:
        child.stdin.close()
    except OSError:
        pass
    out.join(5)
    code = child.wait()
    child.stdout.close()
    host.log(session, "bridge_done", status=code)
    return OK


def os_read(stream):
    try:
        return os.read(stream.fileno(), 65536)
    except OSError:
        return b""
