#!/usr/bin/env python3
"""Writes the module's property list resource from its short description.

    property_list.py DESCRIPTION OUTPUT

Layout, all integers little-endian: a signature word 1, a list version 0, the
number of properties, then each property: vendor code, key, id 0, data length
and data. Four-character codes are 32-bit integers with the first character in
the most significant byte, so their characters appear reversed in the file.
A string of n bytes (its length byte or terminator included) takes
(n + 4) & ~3 bytes, so one to four zero bytes always follow it and every data
length stays a multiple of 4.
"""

import shlex
import struct
import sys


def code(text):
    raw = text.encode("ascii")
    if len(raw) != 4:
        raise ValueError(f"not a four-character code: {text!r}")
    return struct.pack("<I", int.from_bytes(raw, "big"))


def padded(raw):
    return raw.ljust((len(raw) + 4) & ~3, b"\0")


def pstring(text):
    raw = text.encode("latin-1")
    if len(raw) > 255:
        raise ValueError(f"too long for a length byte: {text!r}")
    return padded(bytes([len(raw)]) + raw)


def cstring(text):
    return padded(text.encode("latin-1") + b"\0")


def long(text):
    value = int(text, 0)
    return struct.pack("<i" if value < 0 else "<I", value)


ENCODERS = {"code": code, "long": long, "pstring": pstring, "cstring": cstring}


def properties(lines):
    """Yields (vendor, key, data) for each property line."""
    vendor = None
    for number, line in enumerate(lines, 1):
        words = shlex.split(line, comments=True)
        if not words:
            continue
        try:
            if words[0] == "vendor":
                (vendor,) = words[1:]
                continue
            if vendor is None:
                raise ValueError("a property before the vendor line")
            key, values = words[0], words[1:]
            if not values or len(values) % 2:
                raise ValueError("values come as type-value pairs")
            data = b"".join(ENCODERS[kind](value) for kind, value in zip(values[::2], values[1::2]))
            yield vendor, key, data
        except (ValueError, KeyError) as error:
            raise SystemExit(f"line {number}: {error}")


def property_list(lines):
    entries = list(properties(lines))
    out = struct.pack("<Hii", 1, 0, len(entries))
    for vendor, key, data in entries:
        assert len(data) % 4 == 0
        out += code(vendor) + code(key) + struct.pack("<ii", 0, len(data)) + data
    return out


def main(description, output):
    with open(description, encoding="utf-8") as source:
        data = property_list(source)
    with open(output, "wb") as target:
        target.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2])
