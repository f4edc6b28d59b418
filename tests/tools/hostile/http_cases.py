"""Mutations of the HTTP answer: its framing, its status, its headers, its timing, its
connection."""

from hostile.base import (ALL_KINDS, CLOSE, HOLD, IPP_KINDS, KEEP, RESET, Mutation, Reply,
                          forever, ipp_body, pause, send)
from hostile.wire import framed, head_bytes


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
        elif self.boundary == "collection":
            self.target = c.pick(["cups-get-default", "get-printer-attributes", "every"])
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
                # The message in one chunk, so that the cut falls where it was chosen.
                head = head_bytes(answer.line, answer.plain_headers() +
                                  [("Transfer-Encoding", "chunked")])
                size = b"%x\r\n" % len(body)
                whole = head + size + body + b"\r\n0\r\n\r\n"
                cut = len(head) + len(size) + inside
            else:
                whole = framed(answer.line, answer.plain_headers(), body)
                cut = whole.find(b"\r\n\r\n") + 4 + inside
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
            headers = [(n, v) for n, v in headers if n.lower() != "connection"]
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


class Delay(Mutation):
    """The slow-server test's server: every answer late, nothing else changed."""
    family = "delay"
    long_running = True

    def __init__(self, seconds):
        self.seconds, self.target = seconds, "every"

    def reply(self, request, answer):
        return Reply(pause(self.seconds), send(answer.raw), then=CLOSE if answer.closes else KEEP)
