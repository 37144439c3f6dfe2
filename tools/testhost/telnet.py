"""Telnet codes, option names, the text escapes of scripts, and a parser for what a client sends."""

IAC, DONT, DO, WONT, WILL, SB, GA, EL, EC, AYT, AO, IP, BRK, DM, NOP, SE = (
    255, 254, 253, 252, 251, 250, 249, 248, 247, 246, 245, 244, 243, 242, 241, 240)
VERBS = {WILL: "WILL", WONT: "WONT", DO: "DO", DONT: "DONT"}
VERB_CODES = {name: code for code, name in VERBS.items()}
COMMAND_NAMES = {BRK: "BRK", NOP: "NOP", GA: "GA", DM: "DM", IP: "IP", AO: "AO", AYT: "AYT",
                 EC: "EC", EL: "EL"}

OPTIONS = {"binary": 0, "echo": 1, "sga": 3, "status": 5, "timing-mark": 6, "ttype": 24,
           "eor": 25, "naws": 31, "tspeed": 32, "lflow": 33, "linemode": 34, "environ": 39}
TTYPE_IS, TTYPE_SEND = 0, 1


def option_code(name):
    """An option by name ("naws") or number ("31")."""
    text = str(name).strip().lower()
    if text.isdigit() and int(text) < 256:
        return int(text)
    if text in OPTIONS:
        return OPTIONS[text]
    raise ValueError("unknown telnet option: %s" % name)


def option_name(code):
    for name, value in OPTIONS.items():
        if value == code:
            return name
    return str(code)


def negotiation(verb, option):
    """IAC verb option; verb is "DO", "DONT", "WILL" or "WONT"."""
    return bytes([IAC, VERB_CODES[verb.upper()], option_code(option)])


def subnegotiation(option, payload):
    """IAC SB option payload IAC SE, with every 255 of the payload doubled."""
    body = bytes([option_code(option)]) + bytes(payload)
    return bytes([IAC, SB]) + body.replace(b"\xff", b"\xff\xff") + bytes([IAC, SE])


def double_iac(data):
    return data.replace(b"\xff", b"\xff\xff")


_ESCAPES = {"e": 27, "r": 13, "n": 10, "t": 9, "a": 7, "b": 8, "0": 0, "\\": 92}


def decode_text(text):
    """Script text to bytes: \\e \\r \\n \\t \\a \\b \\0 \\\\ and \\xNN are escapes; other characters
    below 128 are their byte, the rest UTF-8."""
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            if n in _ESCAPES:
                out.append(_ESCAPES[n])
                i += 2
                continue
            if n == "x" and i + 3 < len(text) and _is_hex(text[i + 2:i + 4]):
                out.append(int(text[i + 2:i + 4], 16))
                i += 4
                continue
        out += c.encode("utf-8")
        i += 1
    return bytes(out)


def _is_hex(s):
    return len(s) == 2 and all(ch in "0123456789abcdefABCDEF" for ch in s)


class ClientParser:
    """Splits the client's bytes into data (IAC IAC undoubled, nothing else changed) and telnet
    commands: ("WILL", option), ("DO", option)..., ("SB", option, payload bytes), ("BRK",) and the
    like. Subnegotiations longer than 1024 bytes are cut."""

    def __init__(self):
        self.state = "data"
        self.verb = None
        self.sub = bytearray()

    def feed(self, chunk):
        """Returns (data bytes, list of commands) for one chunk."""
        data = bytearray()
        commands = []
        i, n = 0, len(chunk)
        while i < n:
            if self.state == "data":  # runs of data are taken whole (file transfers are large)
                j = chunk.find(b"\xff", i)
                data += chunk[i:j if j >= 0 else n]
                if j < 0:
                    break
                self.state = "iac"
                i = j + 1
                continue
            b = chunk[i]
            i += 1
            if self.state == "iac":
                if b == IAC:
                    data.append(b)
                    self.state = "data"
                elif b in VERBS:
                    self.verb = VERBS[b]
                    self.state = "option"
                elif b == SB:
                    self.sub = bytearray()
                    self.state = "sb"
                else:
                    commands.append((COMMAND_NAMES.get(b, str(b)),))
                    self.state = "data"
            elif self.state == "option":
                commands.append((self.verb, b))
                self.state = "data"
            elif self.state == "sb":
                if b == IAC:
                    self.state = "sb-iac"
                elif len(self.sub) < 1024:
                    self.sub.append(b)
            elif self.state == "sb-iac":
                if b == IAC:
                    if len(self.sub) < 1024:
                        self.sub.append(b)
                    self.state = "sb"
                else:
                    if b == SE and self.sub:
                        commands.append(("SB", self.sub[0], bytes(self.sub[1:])))
                    self.state = "data"
        return bytes(data), commands

