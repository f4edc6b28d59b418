#!/usr/bin/env python3
"""Unpacks the PPDs of the given models from the compressed PPD collections once.

The collections (foomatic-db-compressed-ppds, openprinting-ppds, postscript-hp and the
smaller ones built the same way) are driver programs that hold one xz archive of all their
PPDs; each "cat URI" unpacks the archive up to the PPD it wants, which costs a second or two.
A sweep over thousands of models asks for each one once, so it unpacks every archive once
here, and the print server then reads the very bytes the driver would have given.

    unpack_ppd_archives.py DRIVER_DIR OUT_DIR < MODELS

MODELS: one model name (as lpinfo -m gives it) a line. Writes OUT_DIR/SCHEME/KEY for every
model of an archive driver in DRIVER_DIR, KEY as the driver itself names the PPD.
"""
import base64
import lzma
import os
import sys
from collections import defaultdict


def archive_key(model):
    # The drivers' own rule: the name after the last colon, its first part replaced by "0".
    ppd = model.split(":")[-1]
    return "0/" + ppd[ppd.find("/") + 1:]


def load_driver(path):
    with open(path, "rb") as program:
        source = program.read()
    if b"ppds_compressed_b64" not in source or b"def load()" not in source:
        return None
    namespace = {"__name__": "ppd_archive", "__file__": path}
    exec(compile(source, path, "exec"), namespace)
    return namespace["load"]


def main():
    driver_dir, out_dir = sys.argv[1], sys.argv[2]
    by_scheme = defaultdict(list)
    for line in sys.stdin:
        model = line.rstrip("\n")
        scheme = model.split(":", 1)[0]
        if scheme and "/" not in scheme:
            by_scheme[scheme].append(model)
    for scheme, models in sorted(by_scheme.items()):
        driver = os.path.join(driver_dir, scheme)
        if not os.path.isfile(driver):
            continue
        load = load_driver(driver)
        if load is None:
            continue
        index = load()
        archive = lzma.decompress(base64.b64decode(index["ARCHIVE"]))
        for model in models:
            key = archive_key(model)
            if key not in index:
                continue
            start, length = index[key][0], index[key][1]
            target = os.path.join(out_dir, scheme, key)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as ppd:
                ppd.write(archive[start:start + length])


if __name__ == "__main__":
    main()
