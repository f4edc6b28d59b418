#!/usr/bin/python3
"""A print server as they come on real networks, for the tests: a proxy in front of a real
print server (the test's private cupsd) that reads each HTTP/1.1 request the client sends,
forwards it, and sends back the real answer with exactly one thing wrong with it. Which
thing, and on which request, is the case: a case number and a seed always give the same
mutation, so a failing case is repeated by its two numbers.

    hostile_print_server.py describe --case N --seed S [--count K]
        one line of KEY=VALUE words for each of the cases N to N+K-1: what the case does,
        and what the runner must set up (which queue is the default, the locale, whether
        the answers may never end, Unix socket or TCP)
    hostile_print_server.py serve --case N --seed S --upstream SOCKET --report FILE
                                  [--listen PATH | --tcp] [--ppd-pool DIR] [--log FILE]
                                  [--lifetime SECONDS] [--delay SECONDS]
        serves until killed or for --lifetime seconds (300); prints "listening ADDRESS"
        once clients can connect (a socket path, or 127.0.0.1:PORT with --tcp). The report
        file always holds the requests received so far and how many were mutated.
        --delay answers every request that many seconds late and changes nothing else.
    hostile_print_server.py scan FILE
        names every control sequence of the hostile names found raw in FILE (what a
        terminal received); exits 1 when there is one.

It forwards every request to the real server, so it answers as a real queue does whatever
the client asks; the mutation is applied to the answers of one kind of request (the
first request, CUPS-Get-Default, Get-Printer-Attributes, CUPS-Get-Printers, the PPD,
Print-Job) or to every answer.
"""

import argparse
import gzip
import hashlib
import os
import socket
import struct
import sys
import threading
import time
import zlib

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
# IPP framing: a message is an 8-byte header and a flat run of items, each a delimiter tag
# or an attribute value (value tag, name, value); collections are flat on the wire too.

OPERATIONS = {0x0002: "print-job", 0x0004: "validate-job", 0x000A: "get-jobs",
              0x000B: "get-printer-attributes", 0x4001: "cups-get-default",
              0x4002: "cups-get-printers", 0x4003: "cups-add-modify-printer"}
BEG_COLLECTION, END_COLLECTION, MEMBER_NAME = 0x34, 0x37, 0x4A


class Ipp:
    def __init__(self, version, code, request_id, items, data):
        self.version, self.code, self.request_id = version, code, request_id
        self.items, self.data = items, data

    @staticmethod
    def parse(body):
        if len(body) < 9:
            raise ValueError("short IPP message")
        version, code, request_id = struct.unpack(">HHI", body[:8])
        items, at = [], 8
        while True:
            if at >= len(body):
                raise ValueError("IPP message without its end")
            tag = body[at]
            at += 1
            if tag < 0x10:
                items.append([tag, None, None])
                if tag == 0x03:
                    return Ipp(version, code, request_id, items, body[at:])
                continue
            if tag == 0x7F:
                raise ValueError("extended tag")
            (name_length,) = struct.unpack(">H", body[at:at + 2])
            name = body[at + 2:at + 2 + name_length]
            at += 2 + name_length
            (value_length,) = struct.unpack(">H", body[at:at + 2])
            value = body[at + 2:at + 2 + value_length]
            at += 2 + value_length
            if at > len(body):
                raise ValueError("IPP attribute past the end")
            items.append([tag, name, value])

    def encode(self, marks=None):
        """The bytes; with `marks` (a list), also where the parts begin and end, as
        (kind, start, end) for truncations: the header, each name, each value and each
        collection's span."""
        out = bytearray(struct.pack(">HHI", self.version, self.code, self.request_id))
        if marks is not None:
            marks.append(("ipp-header", 0, 8))
        open_collections = []
        for item in self.items:
            tag, name, value = item[0], item[1], item[2]
            if name is None:
                out.append(tag)
                continue
            start = len(out)
            name_length = item[3] if len(item) > 3 and item[3] is not None else len(name)
            value_length = item[4] if len(item) > 4 and item[4] is not None else len(value)
            out.append(tag)
            out += struct.pack(">H", name_length & 0xFFFF)
            if marks is not None and name:
                marks.append(("attr-name", len(out), len(out) + len(name)))
            out += name
            out += struct.pack(">H", value_length & 0xFFFF)
            if marks is not None and value:
                marks.append(("attr-value", len(out), len(out) + len(value)))
            out += value
            if tag == BEG_COLLECTION:
                open_collections.append(start)
            elif tag == END_COLLECTION and open_collections:
                begun = open_collections.pop()
                if marks is not None:
                    marks.append(("collection", begun, len(out)))
        return bytes(out) + self.data

    def values(self):
        """(index, path) of every attribute value: path is the attribute's name, and inside
        a collection the names of the members that lead to the value."""
        path, current, found = [], b"", []
        for index, item in enumerate(self.items):
            tag, name, value = item[0], item[1], item[2]
            if name is None:
                path, current = [], b""
                continue
            if tag == MEMBER_NAME:
                if path:
                    path[-1] = (path[-1][0], value)
                continue
            if name:
                current = name
                path = []
            if tag == END_COLLECTION:
                if path:
                    path.pop()
                continue
            names = [current] + [member for _, member in path]
            found.append((index, tuple(n.decode("latin-1") for n in names)))
            if tag == BEG_COLLECTION:
                path.append((index, b""))
        return found

    def find(self, name):
        """Indices of the values of `name`, a top-level attribute or a collection member."""
        return [index for index, path in self.values() if path[-1] == name]


# ---------------------------------------------------------------------------------------
# HTTP/1.1 on a socket: heads, bodies in both framings, and the bytes as they came.


class Closed(Exception):
    pass


class Stream:
    def __init__(self, sock):
        self.sock, self.buf = sock, bytearray()

    def fill(self):
        data = self.sock.recv(262144)
        if not data:
            raise Closed()
        self.buf += data

    def take(self, n):
        while len(self.buf) < n:
            self.fill()
        data = bytes(self.buf[:n])
        del self.buf[:n]
        return data

    def line(self, limit=1 << 20):
        while True:
            at = self.buf.find(b"\r\n")
            if at >= 0:
                return self.take(at + 2)
            if len(self.buf) > limit:
                raise ValueError("line too long")
            self.fill()

    def head(self, limit=1 << 20):
        while True:
            at = self.buf.find(b"\r\n\r\n")
            if at >= 0:
                return self.take(at + 4)
            if len(self.buf) > limit:
                raise ValueError("head too long")
            self.fill()

    def rest(self):
        try:
            while True:
                self.fill()
        except (Closed, OSError):
            pass
        data = bytes(self.buf)
        self.buf.clear()
        return data


def parse_head(raw):
    lines = raw.split(b"\r\n")
    headers = []
    for text in lines[1:]:
        if b":" in text:
            name, value = text.split(b":", 1)
            headers.append((name.decode("latin-1").strip(), value.decode("latin-1").strip()))
    return lines[0].decode("latin-1"), headers


def header(headers, name):
    for key, value in headers:
        if key.lower() == name.lower():
            return value
    return None


def read_body(stream, headers, raw):
    """The body as framed by `headers`; `raw` gets the bytes as they came."""
    if "chunked" in (header(headers, "Transfer-Encoding") or "").lower():
        body = bytearray()
        while True:
            size_line = stream.line()
            raw += size_line
            size = int(size_line.split(b";")[0].strip(), 16)
            if size == 0:
                while True:
                    trailer = stream.line()
                    raw += trailer
                    if trailer == b"\r\n":
                        return bytes(body)
            chunk = stream.take(size + 2)
            raw += chunk
            body += chunk[:size]
    length = header(headers, "Content-Length")
    if length is not None:
        data = stream.take(int(length))
        raw += data
        return data
    return None


class Request:
    def __init__(self, stream):
        self.head = stream.head()
        self.line, self.headers = parse_head(self.head)
        parts = self.line.split(" ")
        self.method = parts[0]
        self.path = parts[1] if len(parts) > 1 else "/"
        self.expects_continue = "100-continue" in (header(self.headers, "Expect") or "").lower()
        self.body = b""
        self.kind = "other"

    def read_body(self, stream, client):
        # The client waits for the go-ahead before it sends the body, as the server gives
        # it: the proxy gives it itself and hands the server the whole request at once.
        if self.expects_continue:
            client.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
        self.body = read_body(stream, self.headers, bytearray()) or b""
        if self.method == "GET" and self.path.endswith(".ppd"):
            self.kind = "ppd"
        elif self.method == "POST" and len(self.body) >= 8:
            (operation,) = struct.unpack(">H", self.body[2:4])
            self.kind = OPERATIONS.get(operation, "ipp-%04x" % operation)
        elif self.method == "GET":
            self.kind = "get"

    def forwarded(self):
        lines = [self.line.encode("latin-1")]
        for name, value in self.headers:
            if name.lower() in ("expect", "content-length", "transfer-encoding"):
                continue
            lines.append(f"{name}: {value}".encode("latin-1"))
        if self.body or self.method in ("POST", "PUT"):
            lines.append(b"Content-Length: %d" % len(self.body))
        return b"\r\n".join(lines) + b"\r\n\r\n" + self.body


class Answer:
    """The real server's answer: its status line, headers and body (decoded), and its bytes."""

    def __init__(self, stream, method):
        raw = bytearray()
        while True:
            head = stream.head()
            raw += head
            self.line, self.headers = parse_head(head)
            self.code = int(self.line.split(" ")[1])
            if not 100 <= self.code < 200 or self.code == 101:
                break
        self.body = b""
        if self.code == 101:
            pass
        elif method == "HEAD" or self.code in (204, 304):
            pass
        else:
            body = read_body(stream, self.headers, raw)
            if body is None:
                body = stream.rest()
                raw += body
                self.headers.append(("Connection", "close"))
            self.body = body
        self.raw = bytes(raw)
        coding = (header(self.headers, "Content-Encoding") or "").lower()
        if coding in ("gzip", "x-gzip"):
            self.body = gzip.decompress(self.body)
        elif coding == "deflate":
            self.body = zlib.decompress(self.body)
        self.closes = (header(self.headers, "Connection") or "").lower() == "close"

    def is_ipp(self):
        return (header(self.headers, "Content-Type") or "").startswith("application/ipp")

    def plain_headers(self):
        """The headers without framing and coding: the caller frames the body its own way."""
        return [(n, v) for n, v in self.headers
                if n.lower() not in ("content-length", "transfer-encoding", "content-encoding")]


def head_bytes(line, headers):
    text = line.encode("latin-1") if isinstance(line, str) else line
    out = [text]
    for name, value in headers:
        out.append(name.encode("latin-1") + b": " +
                   (value if isinstance(value, bytes) else value.encode("latin-1")))
    return b"\r\n".join(out) + b"\r\n\r\n"


def framed(line, headers, body, framing="length"):
    """A whole answer: the body with its Content-Length, or in chunks."""
    if framing == "chunked":
        chunks = bytearray()
        for at in range(0, len(body), 4096):
            piece = body[at:at + 4096]
            chunks += b"%x\r\n" % len(piece) + piece + b"\r\n"
        chunks += b"0\r\n\r\n"
        return head_bytes(line, headers + [("Transfer-Encoding", "chunked")]) + bytes(chunks)
    return head_bytes(line, headers + [("Content-Length", str(len(body)))]) + body


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


class Truncate(Mutation):
    """The answer stops at a boundary: in the status line, in the headers, in the IPP
    header, inside an attribute's name or value, inside a collection, inside the PPD;
    then the connection closes, or keeps silent, or is reset."""
    family = "truncate"

    def choose(self, c):
        self.boundary = c.pick(["status-line", "headers", "ipp-header", "attr-name",
                                "attr-value", "collection", "ppd", "body"])
        if self.boundary == "ppd":
            self.target = "ppd"
        elif self.boundary in ("status-line", "headers", "body"):
            self.target = c.pick(ALL_KINDS)
        else:
            self.target = c.pick(IPP_KINDS)
        self.then = c.pick([CLOSE, HOLD, RESET])
        self.framing = c.pick(["length", "chunked"])
        self.where = c.fraction()
        self.long_running = self.then == HOLD
        self.transport = "tcp" if self.then == RESET else "unix"

    def words(self):
        return {"boundary": self.boundary, "then": self.then, "framing": self.framing}

    def reply(self, request, answer):
        whole = framed(answer.line, answer.plain_headers(), answer.body, self.framing)
        head_length = whole.find(b"\r\n\r\n") + 4
        if self.boundary == "status-line":
            cut = 1 + int(self.where * (whole.find(b"\r\n") + 1))
        elif self.boundary == "headers":
            cut = whole.find(b"\r\n") + 2 + int(self.where * (head_length - whole.find(b"\r\n") - 3))
        elif self.boundary in ("ppd", "body"):
            if not answer.body:
                return None
            cut = head_length + int(self.where * len(answer.body))
            if self.framing == "chunked":
                cut = head_length + len(b"%x\r\n" % min(4096, len(answer.body))) + \
                    int(self.where * min(4096, len(answer.body)))
        else:
            message = ipp_body(answer)
            if message is None:
                return None
            marks = []
            body = message.encode(marks)
            spans = [m for m in marks if m[0] == self.boundary and m[2] - m[1] > 1]
            if not spans:
                return None
            _, start, end = spans[int(self.where * len(spans))]
            inside = start + 1 + int(self.where * (end - start - 1))
            if self.framing == "chunked":
                whole = framed(answer.line, answer.plain_headers(), body, "length")
                whole = whole.replace(b"Content-Length: %d\r\n" % len(body), b"Transfer-Encoding: chunked\r\n", 1)
                head_length = whole.find(b"\r\n\r\n") + 4
                whole = whole[:head_length] + b"%x\r\n" % len(body) + body + b"\r\n0\r\n\r\n"
                cut = head_length + len(b"%x\r\n" % len(body)) + inside
            else:
                cut = head_length + inside
        return Reply(send(whole[:cut]), then=self.then)


class WrongLength(Mutation):
    """Content-Length that does not match the body: too short, too long, 2^62, negative,
    not a number, or given twice."""
    family = "content-length"

    def choose(self, c):
        self.target = c.pick(ALL_KINDS)
        self.variant = c.pick(["short-1", "half", "zero", "long+1", "long+1000", "2^62",
                               "-1", "-2^63", "garbage", "empty", "hex", "plus", "huge-digits",
                               "twice"])
        self.then = c.pick([CLOSE, HOLD]) if self.variant.startswith("long") else KEEP
        self.long_running = self.then == HOLD or self.variant == "2^62"

    def words(self):
        return {"variant": self.variant, "then": self.then}

    def reply(self, request, answer):
        n = len(answer.body)
        value = {"short-1": str(max(n - 1, 0)), "half": str(n // 2), "zero": "0",
                 "long+1": str(n + 1), "long+1000": str(n + 1000), "2^62": str(1 << 62),
                 "-1": "-1", "-2^63": str(-(1 << 63)), "garbage": "abc", "empty": "",
                 "hex": "0x%x" % n, "plus": "+%d" % n, "huge-digits": "9" * 40,
                 "twice": str(n)}[self.variant]
        extra = [("Content-Length", value)]
        if self.variant == "twice":
            extra.append(("Content-Length", str(n // 2 + 1)))
        data = head_bytes(answer.line, answer.plain_headers() + extra) + answer.body
        then = self.then
        if self.variant == "2^62":
            then = HOLD
        return Reply(send(data), then=then)


class WrongChunks(Mutation):
    """Chunked answers with wrong chunk sizes, sizes that are not numbers, no last chunk."""
    family = "chunk-size"

    def choose(self, c):
        self.target = c.pick(ALL_KINDS)
        self.variant = c.pick(["too-big", "too-small", "garbage", "negative", "huge",
                               "no-last-chunk", "no-last-chunk-silent", "extension",
                               "trailer", "no-crlf"])
        self.long_running = self.variant in ("no-last-chunk-silent", "too-big", "huge")

    def words(self):
        return {"variant": self.variant}

    def reply(self, request, answer):
        body = answer.body
        head = head_bytes(answer.line, answer.plain_headers() + [("Transfer-Encoding", "chunked")])
        n = len(body)
        then = KEEP
        if self.variant == "too-big":
            chunks, then = b"%x\r\n" % (n + 100) + body + b"\r\n0\r\n\r\n", HOLD
        elif self.variant == "too-small":
            chunks = b"%x\r\n" % max(n // 2, 1) + body + b"\r\n0\r\n\r\n"
        elif self.variant == "garbage":
            chunks = b"zz\r\n" + body + b"\r\n0\r\n\r\n"
        elif self.variant == "negative":
            chunks = b"-%x\r\n" % n + body + b"\r\n0\r\n\r\n"
        elif self.variant == "huge":
            chunks, then = b"ffffffffffffffff\r\n" + body, HOLD
        elif self.variant == "no-last-chunk":
            chunks, then = b"%x\r\n" % n + body + b"\r\n", CLOSE
        elif self.variant == "no-last-chunk-silent":
            chunks, then = b"%x\r\n" % n + body + b"\r\n", HOLD
        elif self.variant == "extension":
            chunks = b"%x;name=value\r\n" % n + body + b"\r\n0\r\n\r\n"
        elif self.variant == "trailer":
            chunks = b"%x\r\n" % n + body + b"\r\n0\r\nX-Trailer: yes\r\n\r\n"
        else:
            chunks = b"%x\n" % n + body + b"\n0\n\n"
        return Reply(send(head + chunks), then=then)


AUTHENTICATE = {"basic": 'Basic realm="x"',
                "digest": 'Digest realm="x", nonce="5f1e2d3c4b5a", algorithm=MD5, qop="auth"',
                "negotiate": "Negotiate", "none": None}


class HttpStatus(Mutation):
    """Every class of HTTP status instead of the real one: 100 with no final status, 204,
    the redirections with and without Location, 304, the client and server errors, 401
    with each way to ask for a password, 426, a status of 0 and out of range."""
    family = "http-status"

    def choose(self, c):
        self.target = c.pick(ALL_KINDS)
        self.code = c.pick([100, 204, 301, 302, 303, 307, 308, 304, 400, 401, 403, 404, 426,
                            500, 503, 0, 999])
        self.location = c.pick(["none", "same", "other-host", "ipps", "relative", "garbage"])
        self.auth = c.pick(sorted(AUTHENTICATE))
        self.body = c.pick(["real", "empty", "html"])
        self.then = c.pick([HOLD, CLOSE]) if self.code == 100 else KEEP
        self.long_running = self.then == HOLD

    def words(self):
        words = {"code": self.code, "body": self.body}
        if self.code in (301, 302, 303, 307, 308):
            words["location"] = self.location
        if self.code == 401:
            words["auth"] = self.auth
        if self.code == 100:
            words["then"] = self.then
        return words

    def reply(self, request, answer):
        if self.code == 100:
            return Reply(send(b"HTTP/1.1 100 Continue\r\n\r\n"), then=self.then)
        reasons = {204: "No Content", 301: "Moved Permanently", 302: "Found",
                   303: "See Other", 307: "Temporary Redirect", 308: "Permanent Redirect",
                   304: "Not Modified", 400: "Bad Request", 401: "Unauthorized",
                   403: "Forbidden", 404: "Not Found", 426: "Upgrade Required",
                   500: "Internal Server Error", 503: "Service Unavailable", 0: "Zero",
                   999: "Beyond"}
        headers = answer.plain_headers()
        if self.code in (301, 302, 303, 307, 308) and self.location != "none":
            headers.append(("Location", {
                "same": "http://localhost" + request.path,
                "other-host": "http://192.0.2.1:631" + request.path,
                "ipps": "ipps://localhost" + request.path,
                "relative": request.path + "/again",
                "garbage": "\x7f::not a uri::"}[self.location]))
        if self.code == 401 and AUTHENTICATE[self.auth]:
            headers.append(("WWW-Authenticate", AUTHENTICATE[self.auth]))
        if self.code == 426:
            headers += [("Upgrade", "TLS/1.2,HTTP/1.1"), ("Connection", "Upgrade")]
        if self.code == 503:
            headers.append(("Retry-After", "30"))
        line = f"HTTP/1.1 {self.code} {reasons[self.code]}"
        if self.code in (204, 304):
            return Reply(send(head_bytes(line, headers)))
        body = {"real": answer.body, "empty": b"",
                "html": b"<html><body>Not what you asked for</body></html>"}[self.body]
        if self.body == "html":
            headers = [(n, v) for n, v in headers if n.lower() != "content-type"]
            headers.append(("Content-Type", "text/html"))
        return Reply(send(framed(line, headers, body)))


class StatusLine(Mutation):
    """A status line that is not one."""
    family = "status-line"

    def choose(self, c):
        self.target = c.pick(ALL_KINDS)
        self.variant = c.pick(["garbage", "no-code", "letters", "negative", "huge", "http2",
                               "binary", "lf-only", "no-version", "http09"])

    def words(self):
        return {"variant": self.variant}

    def reply(self, request, answer):
        line = {"garbage": b"garbage", "no-code": b"HTTP/1.1", "letters": b"HTTP/1.1 abc OK",
                "negative": b"HTTP/1.1 -200 OK", "huge": b"HTTP/1.1 200000000000000000000 OK",
                "http2": b"HTTP/2 200", "binary": bytes(range(0, 32)) + b"\xff\xfe",
                "lf-only": None, "no-version": b"200 OK", "http09": None}[self.variant]
        if self.variant == "http09":
            return Reply(send(answer.body), then=CLOSE)
        whole = framed(answer.line, answer.plain_headers(), answer.body)
        if line is None:
            head_length = whole.find(b"\r\n\r\n") + 4
            return Reply(send(whole[:head_length].replace(b"\r\n", b"\n") + whole[head_length:]))
        return Reply(send(line + whole[whole.find(b"\r\n"):]))


class LongHeader(Mutation):
    """A header line of 64 KB, or thousands of headers, or headers that are not headers."""
    family = "long-header"

    def choose(self, c):
        self.target = c.pick(ALL_KINDS)
        self.variant = c.pick(["64k-line", "64k-value-of-known", "many", "no-colon", "nul",
                               "folded"])

    def words(self):
        return {"variant": self.variant}

    def reply(self, request, answer):
        headers = answer.plain_headers()
        if self.variant == "64k-line":
            headers.append(("X-Filler", "a" * 65536))
        elif self.variant == "64k-value-of-known":
            headers.append(("Content-Type", "application/ipp; x=" + "b" * 65536))
        elif self.variant == "many":
            headers += [(f"X-Filler-{i}", "c" * 40) for i in range(4000)]
        elif self.variant == "no-colon":
            headers.append(("This line has no colon", None))
        elif self.variant == "nul":
            headers.append(("X-Nul", "a\x00b"))
        else:
            headers.append(("X-Folded", "first\r\n  second"))
        fixed = []
        for name, value in headers:
            fixed.append((name, "") if value is None else (name, value))
        data = head_bytes(answer.line, fixed + [("Content-Length", str(len(answer.body)))])
        if self.variant == "no-colon":
            data = data.replace(b"This line has no colon: \r\n", b"This line has no colon\r\n")
        return Reply(send(data + answer.body))


class Endless(Mutation):
    """Answers that never end: Content-Length 2^62 and 64 KB every 50 ms, one chunk of one
    byte every 100 ms, or silence once the headers are out."""
    family = "endless"
    long_running = True

    def choose(self, c):
        self.target = c.pick(ALL_KINDS)
        self.variant = c.pick(["2^62-stream", "drip", "silent-after-headers",
                               "silent-after-status", "silent-before-anything"])

    def words(self):
        return {"variant": self.variant}

    def reply(self, request, answer):
        if self.variant == "2^62-stream":
            head = head_bytes(answer.line, answer.plain_headers() +
                              [("Content-Length", str(1 << 62))])
            return Reply(send(head + answer.body), forever(b"\0" * 65536, 0.05))
        if self.variant == "drip":
            head = head_bytes(answer.line, answer.plain_headers() +
                              [("Transfer-Encoding", "chunked")])
            body = answer.body or b" "
            return Reply(send(head), ("drip", body, 0.1))
        if self.variant == "silent-after-headers":
            return Reply(send(head_bytes(answer.line, answer.plain_headers() +
                                         [("Content-Length", str(len(answer.body)))])), then=HOLD)
        if self.variant == "silent-after-status":
            return Reply(send(answer.line.encode("latin-1") + b"\r\n"), then=HOLD)
        return Reply(then=HOLD)


class Late(Mutation):
    """Every answer comes late: 5 s, or 10 s."""
    family = "late"
    long_running = True

    def choose(self, c):
        self.target = "every"
        self.seconds = c.pick([5, 10])

    def words(self):
        return {"seconds": self.seconds}

    def reply(self, request, answer):
        return Reply(pause(self.seconds), send(answer.raw), then=CLOSE if answer.closes else KEEP)


class Reset(Mutation):
    """The connection is reset (closed with SO_LINGER 0, over TCP where that is a reset) at
    one stage: when it is accepted, once the request is in, in the status line, after the
    headers, in the middle of the body."""
    family = "reset"
    transport = "tcp"

    def choose(self, c):
        self.stage = c.pick(["accept", "request", "status", "headers", "body"])
        self.target = c.pick(["first", "every"]) if self.stage == "accept" else c.pick(ALL_KINDS)

    def words(self):
        return {"stage": self.stage}

    def on_accept(self):
        return RESET if self.stage == "accept" else None

    def reply(self, request, answer):
        whole = framed(answer.line, answer.plain_headers(), answer.body)
        head_length = whole.find(b"\r\n\r\n") + 4
        cut = {"request": 0, "accept": 0, "status": 9, "headers": head_length,
               "body": head_length + len(answer.body) // 2}[self.stage]
        return Reply(send(whole[:cut]), then=RESET)


class IppStatus(Mutation):
    """Another IPP status code with the same attributes: client errors, server errors
    (server-error-busy on the attributes), successes with notes, codes nobody defined."""
    family = "ipp-status"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.status = c.pick([0x0001, 0x0002, 0x0400, 0x0401, 0x0402, 0x0403, 0x0406, 0x040A,
                              0x0500, 0x0501, 0x0502, 0x0503, 0x0506, 0x0507, 0x0507, 0x7FFF,
                              0xFFFF])

    def words(self):
        return {"status": "0x%04x" % self.status}

    def reply(self, request, answer):
        message = ipp_body(answer)
        if message is None:
            return None
        message.code = self.status
        return with_body(answer, message.encode())


class IppHeader(Mutation):
    """An IPP header that is off: another version, another request number."""
    family = "ipp-header"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.variant = c.pick(["version-0.0", "version-9.9", "version-ffff", "request-id"])

    def words(self):
        return {"variant": self.variant}

    def reply(self, request, answer):
        message = ipp_body(answer)
        if message is None:
            return None
        if self.variant == "request-id":
            message.request_id ^= 0x5A5A5A5A
        else:
            message.version = {"version-0.0": 0x0000, "version-9.9": 0x0909,
                               "version-ffff": 0xFFFF}[self.variant]
        return with_body(answer, message.encode())


class ValueTag(Mutation):
    """One attribute value with a value tag that does not fit it."""
    family = "value-tag"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.tag = c.pick([0x00, 0x02, 0x13, 0x21, 0x23, 0x32, 0x33, 0x41, 0x44, 0x34, 0x37,
                           0x4A, 0x35, 0x7F, 0x0F, 0x16])
        self.where = c.fraction()

    def words(self):
        return {"tag": "0x%02x" % self.tag}

    def reply(self, request, answer):
        message = ipp_body(answer)
        if message is None:
            return None
        values = [i for i, _ in message.values()]
        if not values:
            return None
        message.items[values[int(self.where * len(values))]][0] = self.tag
        return with_body(answer, message.encode())


class WrongIppLength(Mutation):
    """One attribute whose name or value length does not fit what follows."""
    family = "ipp-length"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.field = c.pick(["name", "value"])
        self.variant = c.pick(["+1", "-1", "0", "ffff", "8000"])
        self.where = c.fraction()

    def words(self):
        return {"field": self.field, "variant": self.variant}

    def reply(self, request, answer):
        message = ipp_body(answer)
        if message is None:
            return None
        candidates = [i for i, item in enumerate(message.items)
                      if item[1] is not None and (item[1] if self.field == "name" else True)]
        if not candidates:
            return None
        item = message.items[candidates[int(self.where * len(candidates))]]
        actual = len(item[1] if self.field == "name" else item[2])
        length = {"+1": actual + 1, "-1": max(actual - 1, 0) if actual else 0xFFFF, "0": 0,
                  "ffff": 0xFFFF, "8000": 0x8000}[self.variant]
        while len(item) < 5:
            item.append(None)
        item[3 if self.field == "name" else 4] = length
        return with_body(answer, message.encode())


class AbsurdInteger(Mutation):
    """Absurd and negative numbers in margins, media sizes, resolutions (units 255 too),
    copies ranges and the other integers: INT_MIN, -1, 0, INT_MAX."""
    family = "absurd-integer"

    def choose(self, c):
        self.attribute = c.pick(INTEGER_ATTRIBUTES)
        self.target = {"job-id": "print-job",
                       "printer-state": c.pick(["cups-get-printers", "get-printer-attributes"])
                       }.get(self.attribute, "get-printer-attributes")
        self.value = c.pick([INT_MIN, -1, 0, INT_MAX])
        self.part = c.pick(["all", "x", "y", "units", "lower", "upper"])
        self.which = c.pick(["all", "one"])
        self.where = c.fraction()

    def words(self):
        return {"attribute": self.attribute, "value": self.value, "part": self.part,
                "which": self.which}

    def change(self, tag, value):
        v = struct.pack(">i", self.value)
        if tag == 0x32 and len(value) == 9:
            if self.part == "units":
                return value[:8] + b"\xff"
            if self.part == "x":
                return v + value[4:]
            if self.part == "y":
                return value[:4] + v + value[8:]
            return v + v + value[8:]
        if tag == 0x33 and len(value) == 8:
            if self.part == "lower":
                return v + value[4:]
            if self.part == "upper":
                return value[:4] + v
            return v + v
        return v

    def reply(self, request, answer):
        message = ipp_body(answer)
        if message is None:
            return None
        found = [i for i in message.find(self.attribute) if message.items[i][0] != BEG_COLLECTION]
        if self.attribute == "media-col-default":
            found = [i for i, path in message.values()
                     if path[0] == "media-col-default" and message.items[i][0] == 0x21]
        if not found:
            return None
        if self.which == "one":
            found = [found[int(self.where * len(found))]]
        for index in found:
            item = message.items[index]
            if item[0] not in (0x21, 0x23, 0x32, 0x33):
                item[0] = 0x21
            item[2] = self.change(item[0], item[2])
        return with_body(answer, message.encode())


def texts_of(message, name):
    """The values of the text `name`; a status-message the answer lacks is added first, to
    the operation attributes, as a server adds one to say more about the status."""
    found = message.find(name)
    if not found and name == "status-message":
        at = next((i for i, item in enumerate(message.items) if item[1] is None and i > 0),
                  len(message.items) - 1)
        message.items.insert(at, [0x41, b"status-message", b"successful-ok"])
        found = [at]
    return found


class StringSize(Mutation):
    """An empty string, or one of 64 KB (the most a value's length can say)."""
    family = "string-size"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.attribute = c.pick(TEXTS[self.target])
        self.size = c.pick(["empty", "64k"])

    def words(self):
        return {"attribute": self.attribute, "size": self.size}

    def reply(self, request, answer):
        message = ipp_body(answer)
        if message is None:
            return None
        found = texts_of(message, self.attribute)
        for index in found:
            message.items[index][2] = b"" if self.size == "empty" else b"W" * 65535
        return with_body(answer, message.encode())


class HostileName(Mutation):
    """Names and texts that try to act on the terminal: ESC [ 2 J, an OSC title, C1 bytes,
    BEL, a line break that forges a report line, NUL."""
    family = "hostile-name"

    def choose(self, c):
        self.target = c.pick(["cups-get-printers", "cups-get-printers", "cups-get-default",
                              "get-printer-attributes", "every", "print-job"])
        # The names on the printer list most often: they are the ones the screen shows.
        self.attribute = c.pick(["printer-name", "printer-name"] + TEXTS[self.target])
        self.payload = c.pick(sorted(HOSTILE_NAMES))

    def words(self):
        return {"attribute": self.attribute, "payload": self.payload}

    def reply(self, request, answer):
        message = ipp_body(answer)
        if message is None:
            return None
        for index in texts_of(message, self.attribute):
            item = message.items[index]
            item[2] = (item[2] + HOSTILE_NAMES[self.payload][2:])[:65535]
        return with_body(answer, message.encode())


class DeepCollection(Mutation):
    """Collections nested thousands deep, one that never ends, an end without a beginning, a
    member name outside any collection."""
    family = "collection"

    def choose(self, c):
        self.target = c.pick(["get-printer-attributes", "get-printer-attributes",
                              "cups-get-printers", "every"])
        self.variant = c.pick(["deep-64", "deep-1000", "deep-3000", "endless", "stray-end",
                               "stray-member", "empty"])

    def words(self):
        return {"variant": self.variant}

    def reply(self, request, answer):
        message = ipp_body(answer)
        if message is None:
            return None
        # Into the printer's group, before its first attribute.
        at = next((i + 1 for i, item in enumerate(message.items)
                   if item[1] is None and item[0] == 0x04), len(message.items) - 1)
        added = []
        if self.variant.startswith("deep"):
            depth = int(self.variant.split("-")[1])
            added = [[BEG_COLLECTION, b"media-col-default", b""]]
            for _ in range(depth):
                added += [[MEMBER_NAME, b"", b"media-size"], [BEG_COLLECTION, b"", b""]]
            added += [[END_COLLECTION, b"", b""]] * (depth + 1)
        elif self.variant == "endless":
            added = [[BEG_COLLECTION, b"media-col-default", b""],
                     [MEMBER_NAME, b"", b"media-size"], [BEG_COLLECTION, b"", b""]]
        elif self.variant == "stray-end":
            added = [[END_COLLECTION, b"", b""], [END_COLLECTION, b"", b""]]
        elif self.variant == "stray-member":
            added = [[MEMBER_NAME, b"", b"x-dimension"], [0x21, b"", struct.pack(">i", 1)]]
        else:
            added = [[BEG_COLLECTION, b"media-col-default", b""], [END_COLLECTION, b"", b""]]
        message.items[at:at] = added
        return with_body(answer, message.encode())


class DropAttribute(Mutation):
    """An answer without one attribute a client needs."""
    family = "drop-attribute"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.attribute = c.pick(NEEDED[self.target])

    def words(self):
        return {"attribute": self.attribute}

    def reply(self, request, answer):
        message = ipp_body(answer)
        if message is None:
            return None
        keep, dropping = [], False
        for item in message.items:
            if item[1] is None:
                dropping = False
            elif item[1]:
                dropping = item[1] == self.attribute.encode()
            if not dropping:
                keep.append(item)
        if len(keep) == len(message.items):
            return None
        message.items = keep
        return with_body(answer, message.encode())


# -- PPDs -------------------------------------------------------------------------------

ABSURD_NUMBERS = ["0", "-1", "-2147483648", "2147483647", "99999999999999999999",
                  "1e308", "-1e308", "nan", "inf", "0.0000001", "", "abc", "1e-320"]
ABSURD_RESOLUTIONS = ["0dpi", "-300dpi", "2147483647x2147483647dpi", "99999999999dpi",
                      "300x0dpi", "abcdpi", "300dpcm", "1x2147483647dpi", "dpi", "300"]


def ppd_default_size(text):
    for line in text.split(b"\n"):
        if line.startswith(b"*DefaultPageSize:"):
            return line.split(b":", 1)[1].strip()
    return b"A4"


def replace_lines(text, prefix, make):
    out = []
    for line in text.split(b"\n"):
        out.append(make(line) if line.startswith(prefix) else line)
    return b"\n".join(out)


class PpdNumbers(Mutation):
    """A real PPD (the queue's own, or another installed driver's) with absurd numbers in
    *PaperDimension, *ImageableArea or *DefaultResolution, or a default paper it lacks."""
    family = "ppd-numbers"

    def choose(self, c):
        self.target = "ppd"
        self.source = c.pick(["queue", "driver"])
        self.pool_pick = c.fraction()
        self.line = c.pick(["PaperDimension", "ImageableArea", "DefaultResolution",
                            "every-PaperDimension", "DefaultPageSize", "unterminated-quote"])
        self.number = c.pick(ABSURD_NUMBERS)
        self.resolution = c.pick(ABSURD_RESOLUTIONS)
        self.position = c.below(4)

    def words(self):
        words = {"source": self.source, "line": self.line}
        if self.line == "DefaultResolution":
            words["value"] = self.resolution
        elif self.line != "DefaultPageSize":
            words["value"] = self.number or "(empty)"
        return words

    def reply(self, request, answer):
        text = answer.body
        if self.source == "driver" and PPD_POOL:
            name = PPD_POOL[int(self.pool_pick * len(PPD_POOL))]
            with open(name, "rb") as f:
                text = f.read()
        size = ppd_default_size(text)
        number = self.number.encode()

        def numbers(line):
            head, _, rest = line.partition(b":")
            values = rest.strip().strip(b'"').split()
            if values:
                values[self.position % len(values)] = number
            return head + b': "' + b" ".join(values) + b'"'

        if self.line in ("PaperDimension", "ImageableArea"):
            text = replace_lines(text, b"*" + self.line.encode() + b" " + size + b"/", numbers)
            text = replace_lines(text, b"*" + self.line.encode() + b" " + size + b":", numbers)
        elif self.line == "every-PaperDimension":
            text = replace_lines(text, b"*PaperDimension ", numbers)
        elif self.line == "DefaultResolution":
            text = replace_lines(text, b"*DefaultResolution:",
                                 lambda _: b"*DefaultResolution: " + self.resolution.encode())
        elif self.line == "DefaultPageSize":
            text = replace_lines(text, b"*DefaultPageSize:",
                                 lambda _: b"*DefaultPageSize: NoSuchPaper")
        else:
            text = replace_lines(text, b"*PaperDimension " + size,
                                 lambda line: line.rstrip(b'"\r'))
        return with_body(answer, text)


class PpdHuge(Mutation):
    """A PPD of some 5 MB: 100,000 more papers, each with its *PageSize, *PaperDimension and
    *ImageableArea."""
    family = "ppd-huge"

    def choose(self, c):
        self.target = "ppd"
        self.count = 100000
        self.framing = c.pick(["length", "chunked"])

    def words(self):
        return {"papers": self.count, "framing": self.framing}

    def reply(self, request, answer):
        lines = []
        for i in range(self.count):
            w, h = 100 + i % 900, 100 + (i * 7) % 1200
            lines.append(b'*PageSize H%d/Huge %d: "<</PageSize[%d %d]/ImagingBBox null>>setpagedevice"\n'
                         b'*PaperDimension H%d/Huge %d: "%d %d"\n'
                         b'*ImageableArea H%d/Huge %d: "1 2 %d %d"\n'
                         % (i, i, w, h, i, i, w, h, i, i, w - 1, h - 2))
        extra = b"".join(lines)
        text = answer.body
        at = text.find(b"*CloseUI: *PageSize")
        text = text[:at] + extra + text[at:] if at >= 0 else text + b"\n" + extra
        return with_body(answer, text, self.framing)


class PpdEncoding(Mutation):
    """Content-Encoding: the PPD compressed as HTTP allows it, compressed wrongly, said to
    be compressed and not, an encoding nobody knows, 64 MB that compress to 64 KB."""
    family = "ppd-encoding"

    def choose(self, c):
        self.target = "ppd"
        self.variant = c.pick(["gzip", "deflate", "gzip-not-compressed", "gzip-truncated",
                               "gzip-bomb", "unknown", "gzip-twice"])

    def words(self):
        return {"variant": self.variant}

    def reply(self, request, answer):
        body, coding = answer.body, "gzip"
        if self.variant == "gzip":
            body = gzip.compress(body)
        elif self.variant == "deflate":
            body, coding = zlib.compress(body), "deflate"
        elif self.variant == "gzip-truncated":
            body = gzip.compress(body)
            body = body[:len(body) // 2]
        elif self.variant == "gzip-bomb":
            body = gzip.compress(body + b"*%" + b" " * (64 << 20) + b"\n", 9)
        elif self.variant == "unknown":
            coding = "br"
        elif self.variant == "gzip-twice":
            body = gzip.compress(gzip.compress(body))
        return with_body(answer, body, extra=[("Content-Encoding", coding)])


NOT_PPDS = {
    "empty": b"",
    "html": b"<!DOCTYPE html><html><head><title>Printer</title></head><body>Hello</body></html>\n",
    "png": b"\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90wS\xde" + b"\0" * 64,
    "binary": bytes((i * 131 + 7) % 256 for i in range(100000)),
    "header-only": b'*PPD-Adobe: "4.3"\n',
    "postscript": b"%!PS-Adobe-3.0\n/Helvetica findfont 12 scalefont setfont\nshowpage\n",
    "utf16": '*PPD-Adobe: "4.3"\n*DefaultPageSize: A4\n'.encode("utf-16"),
    "nuls": b"\0" * 50000,
    "one-long-line": b'*PPD-Adobe: "4.3"\n*Manufacturer: "' + b"m" * (1 << 20) + b'"\n',
}


class PpdNotPpd(Mutation):
    """A PPD that is not a PPD."""
    family = "ppd-not-ppd"

    def choose(self, c):
        self.target = "ppd"
        self.variant = c.pick(sorted(NOT_PPDS))

    def words(self):
        return {"variant": self.variant}

    def reply(self, request, answer):
        return with_body(answer, NOT_PPDS[self.variant])


class Delay(Mutation):
    """The slow-server test's server: every answer late, nothing else changed."""
    family = "delay"
    long_running = True

    def __init__(self, seconds):
        self.seconds, self.target = seconds, "every"

    def reply(self, request, answer):
        return Reply(pause(self.seconds), send(answer.raw), then=CLOSE if answer.closes else KEEP)


FAMILIES = [Truncate, WrongLength, WrongChunks, HttpStatus, StatusLine, LongHeader, Endless,
            Late, Reset, IppStatus, IppHeader, ValueTag, WrongIppLength, AbsurdInteger,
            StringSize, HostileName, DeepCollection, DropAttribute, PpdNumbers, PpdHuge,
            PpdEncoding, PpdNotPpd]
PPD_POOL = []


def case_of(number, seed):
    """The case: its mutation and the run's set-up. Families take turns, so any run of
    len(FAMILIES) consecutive cases holds each once; the seed shifts the turn and draws the
    rest."""
    c = Choices(seed, number)
    shift = Choices(seed, "shift").below(len(FAMILIES))
    mutation = FAMILIES[(number + shift) % len(FAMILIES)](c)
    # The queue the run prints on: the server's default (a cups-pdf queue), or one made from
    # an installed driver that the user chose as their own default (~/.cups/lpoptions), in
    # which case no CUPS-Get-Default goes out.
    default = "server" if mutation.target == "cups-get-default" else c.pick(["server", "user"])
    setup = {"default": default, "locale": c.pick(["C.UTF-8", "C.UTF-8", "C"]),
             "long": int(mutation.long_running), "transport": mutation.transport}
    return mutation, setup


# ---------------------------------------------------------------------------------------
# The server.


class Report:
    def __init__(self, path, log):
        self.path, self.log_path = path, log
        self.lock = threading.Lock()
        self.requests = self.mutated = 0
        self.kinds = {}

    def arrived(self):
        with self.lock:
            self.requests += 1
            return self.requests

    def note(self, request, ordinal, mutated, what):
        with self.lock:
            if mutated:
                self.mutated += 1
            if request is not None:
                self.kinds[request.kind] = self.kinds.get(request.kind, 0) + 1
            kinds = " ".join(f"{kind}={count}" for kind, count in self.kinds.items())
            text = f"requests {self.requests}\nmutated {self.mutated}\nkinds {kinds}\n"
            temporary = self.path + ".new"
            with open(temporary, "w") as f:
                f.write(text)
            os.replace(temporary, self.path)
            # A client that asks without end is logged as far as anyone would read.
            if self.log_path and self.requests <= 200:
                with open(self.log_path, "a") as f:
                    if request is None:
                        f.write(f"{time.monotonic():.3f} connection: {what}\n")
                    else:
                        f.write(f"{time.monotonic():.3f} #{ordinal} {request.method} "
                                f"{request.path} {request.kind}: {what}\n")


def reset(sock):
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    except OSError:
        pass
    sock.close()


def hold(sock, stream):
    """Silence: the connection stays open, and whatever comes is read and ignored."""
    try:
        while True:
            stream.fill()
            stream.buf.clear()
    except (Closed, OSError):
        pass
    sock.close()


def perform(sock, stream, reply):
    for step in reply.steps:
        if step[0] == "send":
            sock.sendall(step[1])
        elif step[0] == "sleep":
            time.sleep(step[1])
        elif step[0] == "forever":
            while True:
                sock.sendall(step[1])
                time.sleep(step[2])
        elif step[0] == "drip":
            body, interval = step[1], step[2]
            at = 0
            while True:
                sock.sendall(b"1\r\n" + body[at % len(body):at % len(body) + 1] + b"\r\n")
                at += 1
                time.sleep(interval)
    if reply.then == RESET:
        reset(sock)
        return False
    if reply.then == HOLD:
        hold(sock, stream)
        return False
    if reply.then == CLOSE:
        sock.close()
        return False
    return True


class Upstream:
    def __init__(self, path):
        self.path, self.sock, self.stream = path, None, None

    def ask(self, request):
        for attempt in (1, 2):
            if self.sock is None:
                self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                self.sock.connect(self.path)
                self.stream = Stream(self.sock)
            try:
                self.sock.sendall(request.forwarded())
                answer = Answer(self.stream, request.method)
                if answer.closes:
                    self.close()
                return answer
            except (Closed, OSError):
                # The server closed an idle connection: once more on a new one.
                self.close()
                if attempt == 2:
                    raise

    def close(self):
        if self.sock is not None:
            self.sock.close()
        self.sock = None


def tunnel(client, client_stream, upstream):
    """After 101 Switching Protocols the bytes go both ways as they are."""
    def pump(source, target, first=b""):
        try:
            if first:
                target.sendall(first)
            while True:
                data = source.recv(65536)
                if not data:
                    break
                target.sendall(data)
        except OSError:
            pass
        for s in (source, target):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
    t = threading.Thread(target=pump, args=(upstream.sock, client, bytes(upstream.stream.buf)),
                         daemon=True)
    t.start()
    pump(client, upstream.sock, bytes(client_stream.buf))
    t.join()


def serve_client(sock, connection, mutation, upstream_path, report):
    stream = Stream(sock)
    upstream = Upstream(upstream_path)
    try:
        # Before it hears anything: the first connection, or every one, is reset.
        if mutation.on_accept() == RESET and (mutation.target == "every" or connection == 1):
            report.note(None, 0, True, "reset when accepted")
            reset(sock)
            return
        while True:
            request = Request(stream)
            ordinal = report.arrived()
            request.read_body(stream, sock)
            answer = upstream.ask(request)
            reply = None
            if mutation.applies_to(request, ordinal) and not (
                    isinstance(mutation, Reset) and mutation.stage == "accept"):
                if isinstance(mutation, Reset) and mutation.stage == "request":
                    report.note(request, ordinal, True, "reset once the request was in")
                    reset(sock)
                    return
                reply = mutation.reply(request, answer)
            report.note(request, ordinal, reply is not None,
                        mutation.describe() if reply is not None else "relayed")
            if answer.code == 101 and reply is None:
                sock.sendall(answer.raw)
                tunnel(sock, stream, upstream)
                return
            if not perform(sock, stream, reply or relay(answer)):
                return
    except (Closed, OSError, ValueError):
        pass
    finally:
        upstream.close()
        try:
            sock.close()
        except OSError:
            pass


def serve(args):
    if args.delay is not None:
        mutation = Delay(args.delay)
    else:
        mutation, _ = case_of(args.case, args.seed)
    if args.ppd_pool:
        PPD_POOL.extend(sorted(os.path.join(args.ppd_pool, n) for n in os.listdir(args.ppd_pool)
                               if n.endswith(".ppd")))
    report = Report(args.report, args.log)
    with open(args.report, "w") as f:
        f.write("requests 0\nmutated 0\nkinds\n")
    if args.tcp:
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        listener.bind(("127.0.0.1", 0))
        address = "127.0.0.1:%d" % listener.getsockname()[1]
    else:
        listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        if os.path.exists(args.listen):
            os.unlink(args.listen)
        listener.bind(args.listen)
        address = args.listen
    listener.listen(64)
    # The server ends by itself: no test leaves it running.
    threading.Timer(args.lifetime, lambda: os._exit(0)).start()
    print("listening", address, flush=True)
    connections = 0
    while True:
        client, _ = listener.accept()
        connections += 1
        threading.Thread(target=serve_client,
                         args=(client, connections, mutation, args.upstream, report),
                         daemon=True).start()


def scan(path):
    with open(path, "rb") as f:
        data = f.read()
    found = [mark for mark in RAW_MARKS if mark in data]
    for mark in found:
        print("raw on the terminal:", repr(mark))
    return 1 if found else 0


def main():
    parser = argparse.ArgumentParser(description="A print server with one thing wrong.")
    sub = parser.add_subparsers(dest="command", required=True)
    d = sub.add_parser("describe")
    d.add_argument("--case", type=int, required=True)
    d.add_argument("--seed", type=int, required=True)
    d.add_argument("--count", type=int, default=1)
    s = sub.add_parser("serve")
    s.add_argument("--case", type=int, default=0)
    s.add_argument("--seed", type=int, default=0)
    s.add_argument("--delay", type=float)
    s.add_argument("--upstream", required=True)
    s.add_argument("--listen")
    s.add_argument("--tcp", action="store_true")
    s.add_argument("--report", required=True)
    s.add_argument("--log")
    s.add_argument("--ppd-pool")
    s.add_argument("--lifetime", type=float, default=300)
    k = sub.add_parser("scan")
    k.add_argument("file")
    args = parser.parse_args()
    if args.command == "describe":
        for number in range(args.case, args.case + args.count):
            mutation, setup = case_of(number, args.seed)
            words = " ".join(f"{k}={v}" for k, v in setup.items())
            print(f"case={number} seed={args.seed} {mutation.describe()} {words}")
        return 0
    if args.command == "scan":
        return scan(args.file)
    if not args.tcp and not args.listen:
        parser.error("serve needs --listen PATH or --tcp")
    serve(args)
    return 0


if __name__ == "__main__":
    sys.exit(main())
