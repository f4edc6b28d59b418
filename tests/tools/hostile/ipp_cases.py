"""Mutations of the IPP answer: its status and header, value tags and lengths, numbers and
texts, collections, attributes left out."""

import struct

from hostile.base import (HOSTILE_NAMES, INT_MAX, INT_MIN, INTEGER_ATTRIBUTES, IPP_KINDS, NEEDED,
                          TEXTS, Mutation, ipp_body, with_body)
from hostile.wire import BEG_COLLECTION, END_COLLECTION, MEMBER_NAME


class IppMutation(Mutation):
    """A change to the IPP message of an answer: edit() makes it in place, and says False when
    the message has nothing it applies to (the answer then goes as it came)."""

    def edit(self, message):
        raise NotImplementedError

    def reply(self, request, answer):
        message = ipp_body(answer)
        if message is None or not self.edit(message):
            return None
        return with_body(answer, message.encode())


class IppStatus(IppMutation):
    """Another IPP status code with the same attributes: client errors, server errors
    (server-error-busy on the attributes), successes with notes, codes nobody defined."""
    family = "ipp-status"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.status = c.pick([0x0001, 0x0002, 0x0400, 0x0401, 0x0402, 0x0403, 0x0406, 0x040A,
                              0x0500, 0x0501, 0x0502, 0x0503, 0x0506, 0x0507, 0x0507, 0x7FFF,
                              0xFFFF])
        # A busy server says so where it hurts most: on the queue's description.
        if self.status == 0x0507 and c.below(2) == 0:
            self.target = "get-printer-attributes"

    def words(self):
        return {"status": "0x%04x" % self.status}

    def edit(self, message):
        message.code = self.status
        return True


class IppHeader(IppMutation):
    """An IPP header that is off: another version, another request number."""
    family = "ipp-header"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.variant = c.pick(["version-0.0", "version-9.9", "version-ffff", "request-id"])

    def words(self):
        return {"variant": self.variant}

    def edit(self, message):
        if self.variant == "request-id":
            message.request_id ^= 0x5A5A5A5A
        else:
            message.version = {"version-0.0": 0x0000, "version-9.9": 0x0909,
                               "version-ffff": 0xFFFF}[self.variant]
        return True


class ValueTag(IppMutation):
    """One attribute value with a value tag that does not fit it."""
    family = "value-tag"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.tag = c.pick([0x00, 0x02, 0x13, 0x21, 0x23, 0x32, 0x33, 0x41, 0x44, 0x34, 0x37,
                           0x4A, 0x35, 0x7F, 0x0F, 0x16])
        self.where = c.fraction()

    def words(self):
        return {"tag": "0x%02x" % self.tag}

    def edit(self, message):
        values = [i for i, _ in message.values()]
        if not values:
            return False
        message.items[values[int(self.where * len(values))]][0] = self.tag
        return True


class WrongIppLength(IppMutation):
    """One attribute whose name or value length does not fit what follows."""
    family = "ipp-length"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.field = c.pick(["name", "value"])
        self.variant = c.pick(["+1", "-1", "0", "ffff", "8000"])
        self.where = c.fraction()

    def words(self):
        return {"field": self.field, "variant": self.variant}

    def edit(self, message):
        candidates = [i for i, item in enumerate(message.items)
                      if item[1] is not None and (item[1] if self.field == "name" else True)]
        if not candidates:
            return False
        item = message.items[candidates[int(self.where * len(candidates))]]
        actual = len(item[1] if self.field == "name" else item[2])
        length = {"+1": actual + 1, "-1": max(actual - 1, 0) if actual else 0xFFFF, "0": 0,
                  "ffff": 0xFFFF, "8000": 0x8000}[self.variant]
        while len(item) < 5:
            item.append(None)
        item[3 if self.field == "name" else 4] = length
        return True


class AbsurdInteger(IppMutation):
    """Absurd and negative numbers in margins, media sizes, resolutions (units 255 too),
    copies ranges and the other integers: INT_MIN, -1, 0, INT_MAX."""
    family = "absurd-integer"

    def choose(self, c):
        self.attribute = c.pick(INTEGER_ATTRIBUTES)
        self.target = {"job-id": "print-job",
                       "printer-state": c.pick(["cups-get-default", "get-printer-attributes"])
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

    def edit(self, message):
        found = [i for i in message.find(self.attribute) if message.items[i][0] != BEG_COLLECTION]
        if self.attribute == "media-col-default":
            found = [i for i, path in message.values()
                     if path[0] == "media-col-default" and message.items[i][0] == 0x21]
        if not found:
            return False
        if self.which == "one":
            found = [found[int(self.where * len(found))]]
        for index in found:
            item = message.items[index]
            if item[0] not in (0x21, 0x23, 0x32, 0x33):
                item[0] = 0x21
            item[2] = self.change(item[0], item[2])
        return True


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


class StringSize(IppMutation):
    """An empty string, or one of 64 KB (the most a value's length can say)."""
    family = "string-size"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.attribute = c.pick(TEXTS[self.target])
        self.size = c.pick(["empty", "64k"])

    def words(self):
        return {"attribute": self.attribute, "size": self.size}

    def edit(self, message):
        found = texts_of(message, self.attribute)
        for index in found:
            message.items[index][2] = b"" if self.size == "empty" else b"W" * 65535
        return True


class HostileName(IppMutation):
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

    def edit(self, message):
        for index in texts_of(message, self.attribute):
            item = message.items[index]
            item[2] = (item[2] + HOSTILE_NAMES[self.payload][2:])[:65535]
        return True


class DeepCollection(IppMutation):
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

    def edit(self, message):
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
        return True


class DropAttribute(IppMutation):
    """An answer without one attribute a client needs."""
    family = "drop-attribute"

    def choose(self, c):
        self.target = c.pick(IPP_KINDS)
        self.attribute = c.pick(NEEDED[self.target])

    def words(self):
        return {"attribute": self.attribute}

    def edit(self, message):
        keep, dropping = [], False
        for item in message.items:
            if item[1] is None:
                dropping = False
            elif item[1]:
                dropping = item[1] == self.attribute.encode()
            if not dropping:
                keep.append(item)
        if len(keep) == len(message.items):
            return False
        message.items = keep
        return True


# -- PPDs -------------------------------------------------------------------------------
