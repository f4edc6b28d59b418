"""The cases: each number and seed gives one mutation and the run's set-up."""

from hostile.base import Choices
from hostile.http_cases import (Endless, HttpStatus, Late, LongHeader, Reset, StatusLine,
                                Truncate, WrongChunks, WrongLength)
from hostile.ipp_cases import (AbsurdInteger, DeepCollection, DropAttribute, HostileName,
                               IppHeader, IppStatus, StringSize, ValueTag, WrongIppLength)
from hostile.ppd_cases import PpdEncoding, PpdHuge, PpdNotPpd, PpdNumbers

FAMILIES = [Truncate, WrongLength, WrongChunks, HttpStatus, StatusLine, LongHeader, Endless,
            Late, Reset, IppStatus, IppHeader, ValueTag, WrongIppLength, AbsurdInteger,
            StringSize, HostileName, DeepCollection, DropAttribute, PpdNumbers, PpdHuge,
            PpdEncoding, PpdNotPpd]


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
