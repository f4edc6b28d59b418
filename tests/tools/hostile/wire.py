"""HTTP/1.1 and IPP as they go over the wire: read whole, and written again, well formed or
not."""

import gzip
import struct
import zlib

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
        self.framing = ""

    def read_body(self, stream, client):
        # The client waits for the go-ahead before it sends the body, as the server gives
        # it: the proxy gives it itself and hands the server the whole request at once.
        if self.expects_continue:
            client.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
        self.body = read_body(stream, self.headers, bytearray()) or b""
        chunked = "chunked" in (header(self.headers, "Transfer-Encoding") or "").lower()
        self.framing = ("chunked" if chunked else "length") + \
            (", after 100 Continue" if self.expects_continue else "")
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
