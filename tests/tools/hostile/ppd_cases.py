"""Mutations of the queue's PPD: absurd numbers, another driver's PPD, a huge one, content
codings, and files that are no PPD at all."""

import gzip
import zlib

from hostile.base import Mutation, with_body

# The real PPDs of installed drivers that a case may serve instead of the queue's own.
PPD_POOL = []



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
            body = gzip.compress(body, mtime=0)
        elif self.variant == "deflate":
            body, coding = zlib.compress(body), "deflate"
        elif self.variant == "gzip-truncated":
            body = gzip.compress(body, mtime=0)
            body = body[:len(body) // 2]
        elif self.variant == "gzip-bomb":
            body = gzip.compress(body + b"*%" + b" " * (64 << 20) + b"\n", 9, mtime=0)
        elif self.variant == "unknown":
            coding = "br"
        elif self.variant == "gzip-twice":
            body = gzip.compress(gzip.compress(body, mtime=0), mtime=0)
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
