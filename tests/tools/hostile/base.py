"""What every case shares: its seeded choices, the hostile names, the kinds of request a
mutation applies to, and the steps an answer turns into."""

import hashlib

from hostile.wire import Ipp, framed

# ---------------------------------------------------------------------------------------
# Seeded choices. Python's own generator could change its algorithm between versions; a
# hash of the seed, the case and a counter cannot, so a case means the same everywhere.


class Choices:
    def __init__(self, seed, case):
        self.key = f"{seed}:{case}".encode()
        self.drawn = 0

    def below(self, n):
        self.drawn += 1
        digest = hashlib.sha256(self.key + b":" + str(self.drawn).encode()).digest()
        return int.from_bytes(digest[:8], "big") % n

    def pick(self, items):
        return items[self.below(len(items))]

    def fraction(self):
        return self.below(1 << 30) / float(1 << 30)


# ---------------------------------------------------------------------------------------
# Names that try to act on a terminal. Each is what the test looks for, raw, on the
# terminal afterwards: shown as glyphs or "?", none of them is found.

HOSTILE_NAMES = {
    "esc-clear": b"lp\x1b[2JZq",
    "osc-title": b"lp\x1b]0;Zq\x07",
    "bel": b"lp\x07Zq",
    "c1-csi": b"lp\x9b2JZq",
    "c1-osc": b"lp\x9d0;Zq\x07",
    "crlf": b"lp\r\n  Printer = forgedZq",
    "nul": b"lp\x00Zq",
}
HOSTILE_NAMES["all"] = b"".join(HOSTILE_NAMES[k][2:] for k in
                                ("esc-clear", "osc-title", "bel", "c1-csi", "c1-osc", "crlf"))
# The raw bytes that must never reach the terminal.
RAW_MARKS = [b"\x1b[2JZq", b"\x1b]0;Zq", b"\x07Zq", b"\x9b2JZq", b"\x9d0;Zq",
             b"\r\n  Printer = forged", b"\n  Printer = forged", b"\r  Printer = forged",
             b"\x00Zq"]

INT_MIN, INT_MAX = -(1 << 31), (1 << 31) - 1


# ---------------------------------------------------------------------------------------
# What an answer turns into: steps the connection performs.

KEEP, CLOSE, HOLD, RESET = "keep", "close", "hold", "reset"


class Reply:
    def __init__(self, *steps, then=KEEP):
        self.steps, self.then = list(steps), then


def send(data):
    return ("send", data)


def pause(seconds):
    return ("sleep", seconds)


def forever(piece, interval):
    return ("forever", piece, interval)


# ---------------------------------------------------------------------------------------
# The mutations. Each family draws its parameters from the case's choices when the case is
# described, and turns a real answer into a Reply.

IPP_KINDS = ["first", "cups-get-default", "get-printer-attributes", "cups-get-printers",
             "print-job", "every"]
ALL_KINDS = IPP_KINDS + ["ppd"]
# The texts each answer holds, as the server gives them (status-message, which a server
# adds to answer with a note, is added where it is missing).
TEXTS = {
    "cups-get-printers": ["printer-name", "printer-info", "printer-location",
                          "printer-make-and-model", "device-uri", "status-message"],
    "cups-get-default": ["printer-name", "printer-info", "printer-location",
                         "printer-make-and-model", "printer-uri-supported", "device-uri",
                         "printer-state-reasons", "status-message"],
    "get-printer-attributes": ["printer-name", "printer-info", "printer-location",
                               "printer-make-and-model", "printer-uri-supported",
                               "media-default", "media-supported", "printer-state-message",
                               "document-format-supported", "media-source-supported",
                               "status-message"],
    "print-job": ["job-state-message", "job-uri", "status-message"],
    "first": ["printer-name", "printer-info", "printer-make-and-model", "status-message"],
    "every": ["printer-name", "printer-info", "printer-location", "printer-make-and-model",
              "status-message"],
}
# What a client cannot do without, by answer.
NEEDED = {
    "cups-get-printers": ["printer-name", "attributes-charset", "device-uri"],
    "cups-get-default": ["printer-name", "printer-uri-supported", "attributes-charset",
                         "media-col-default"],
    "get-printer-attributes": ["printer-uri-supported", "media-col-database", "media-default",
                               "media-supported", "printer-resolution-default",
                               "printer-resolution-supported", "document-format-supported",
                               "attributes-charset", "media-col-default"],
    "print-job": ["job-id", "job-uri", "job-state"],
    "first": ["attributes-charset", "printer-name"],
    "every": ["attributes-charset", "printer-name"],
}
INTEGER_ATTRIBUTES = ["media-bottom-margin", "media-left-margin", "media-right-margin",
                      "media-top-margin", "x-dimension", "y-dimension",
                      "printer-resolution-default", "printer-resolution-supported",
                      "copies-supported", "copies-default", "job-id", "printer-state",
                      "orientation-requested-default", "pages-per-minute",
                      "media-col-default", "printer-type", "number-up-default"]


class Mutation:
    long_running = False
    transport = "unix"

    def __init__(self, choices):
        self.choices = choices
        self.target = "every"
        self.choose(choices)

    def choose(self, choices):
        pass

    def words(self):
        return {}

    def applies_to(self, request, ordinal):
        if self.target == "every":
            return True
        if self.target == "first":
            return ordinal == 1
        return request.kind == self.target

    def on_accept(self):
        return None

    def reply(self, request, answer):
        raise NotImplementedError

    def describe(self):
        extra = " ".join(f"{k}={v}" for k, v in self.words().items())
        return f"family={self.family} target={self.target} {extra}".strip()


def ipp_body(answer):
    return Ipp.parse(answer.body) if answer.is_ipp() and answer.body else None


def relay(answer):
    return Reply(send(answer.raw), then=CLOSE if answer.closes else KEEP)


def with_body(answer, body, framing="length", line=None, extra=()):
    return Reply(send(framed(line or answer.line, answer.plain_headers() + list(extra), body,
                             framing)), then=CLOSE if answer.closes else KEEP)
