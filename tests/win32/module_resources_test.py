#!/usr/bin/env python3
"""Reads the built module file's resources back with a PE reader and checks
them field by field: the property list, the about dialog, the string table
and the version record, all in US English (1033).

    module_resources_test.py MODULE FILE_VERSION PRODUCT_VERSION

FILE_VERSION and PRODUCT_VERSION are the project's (a.b.c.d), which the
version record must carry.
"""

import re
import struct
import sys
import unittest

import pefile

MODULE = None
PROJECT_VERSIONS = None  # (file, product), each four numbers
US_ENGLISH = 1033
WS_POPUP, WS_CHILD, WS_VISIBLE, WS_GROUP = 0x80000000, 0x40000000, 0x10000000, 0x00020000
DS_MODALFRAME, DS_SETFONT, SS_CENTER = 0x80, 0x40, 0x1
RT_DIALOG, RT_STRING, RT_VERSION = 5, 6, 16


def setUpModule():
    global PE
    PE = pefile.PE(MODULE)


def resources():
    """{(type, id): [(language, bytes)]} for every resource in the file."""
    found = {}
    for kind in PE.DIRECTORY_ENTRY_RESOURCE.entries:
        kind_name = str(kind.name) if kind.name is not None else kind.id
        for entry in kind.directory.entries:
            for language in entry.directory.entries:
                data = language.data.struct
                raw = PE.get_data(data.OffsetToData, data.Size)
                found.setdefault((kind_name, entry.id), []).append((language.id, raw))
    return found


def resource(kind, number):
    (language, raw), = resources()[(kind, number)]
    return raw


class Reader:
    """Little-endian fields read in order from a resource's bytes."""

    def __init__(self, raw):
        self.raw, self.at = raw, 0

    def take(self, layout):
        values = struct.unpack_from("<" + layout, self.raw, self.at)
        self.at += struct.calcsize("<" + layout)
        return values if len(values) > 1 else values[0]

    def bytes(self, count):
        self.at += count
        return self.raw[self.at - count:self.at]

    def wide_text(self):
        end = self.at
        while self.raw[end:end + 2] != b"\0\0":
            end += 2
        text = self.raw[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return text

    def name_or_ordinal(self):
        """A template's menu, class or caption: 0, 0xFFFF and an ordinal, or text."""
        first = struct.unpack_from("<H", self.raw, self.at)[0]
        if first == 0:
            self.at += 2
            return None
        if first == 0xFFFF:
            return self.take("HH")[1]
        return self.wide_text()

    def align(self, boundary):
        self.at = (self.at + boundary - 1) // boundary * boundary


class Directory(unittest.TestCase):
    def test_four_resources_in_us_english_and_nothing_else(self):
        found = resources()
        self.assertEqual(sorted(found, key=str),
                         sorted([("PIPL", 16000), (RT_DIALOG, 16000), (RT_STRING, 1),
                                 (RT_STRING, 1001), (RT_VERSION, 1)], key=str))
        for key, languages in found.items():
            with self.subTest(resource=key):
                self.assertEqual([language for language, _ in languages], [US_ENGLISH])


class PropertyList(unittest.TestCase):
    def properties(self):
        reader = Reader(resource("PIPL", 16000))
        self.assertEqual(reader.take("H"), 1, "signature word")
        self.assertEqual(reader.take("i"), 0, "list version")
        count = reader.take("i")
        listed = []
        for _ in range(count):
            vendor, key, number, length = reader.bytes(4), reader.bytes(4), reader.take("i"), reader.take("i")
            self.assertGreaterEqual(length, 0)
            listed.append((vendor, key, number, reader.bytes(length)))
        self.assertEqual(reader.at, len(reader.raw), "bytes after the last property")
        return listed

    def test_six_properties_in_order_with_vendor_codes_stored_reversed(self):
        listed = self.properties()
        self.assertEqual([key for _, key, _, _ in listed], [b"dnik", b"eman", b"srev", b"ytrp", b"tpmc", b"68xw"])
        self.assertEqual({(vendor, number) for vendor, _, number, _ in listed}, {(b"ARML", 0)})
        data = {key[::-1].decode(): value for _, key, _, value in listed}
        self.assertEqual(data["kind"], b"XRML")
        self.assertEqual(data["vers"], struct.pack("<I", 0x00020000))
        self.assertEqual(data["prty"], struct.pack("<i", 32700))
        # A length byte and its characters; the padding is not counted.
        self.assertEqual(data["name"], b"\x08Tandemix\0\0\0")
        self.assertEqual(data["cmpt"], struct.pack("<i", 1) + b"Duoplex\0" + b"\0" * 4)
        self.assertEqual(data["wx86"], b"ENTRYPOINT1\0" + b"\0" * 4)


def string_table():
    """{id: text} of every non-empty string; a block holds ids 16(n-1) to 16n-1."""
    strings = {}
    for kind, block in resources():
        if kind != RT_STRING:
            continue
        reader = Reader(resource(RT_STRING, block))
        for index in range(16):
            length = reader.take("H")
            if length:
                strings[(block - 1) * 16 + index] = reader.bytes(2 * length).decode("utf-16-le")
        assert reader.at == len(reader.raw), f"bytes after block {block}"
    return strings


class AboutDialog(unittest.TestCase):
    TEXTS = [(10, "Tandemix Extension"), (25, None), (40, "5.0"),
             (60, "An extension module to support "), (75, "Multiprocessor architectures.")]

    def test_template_of_five_centred_static_texts(self):
        reader = Reader(resource(RT_DIALOG, 16000))
        style, extended, count, x, y, cx, cy = reader.take("IIHhhhh")
        self.assertEqual((style, extended, count, x, y, cx, cy),
                         (WS_POPUP | DS_MODALFRAME | DS_SETFONT, 0, len(self.TEXTS), 0, 0, 125, 92))
        self.assertEqual([reader.name_or_ordinal() for _ in range(3)], [None, None, None], "menu, class, caption")
        self.assertEqual((reader.take("H"), reader.wide_text()), (8, "MS Sans Serif"))
        notice = string_table()[1].split("\n")[1]
        for y, text in self.TEXTS:
            with self.subTest(y=y):
                reader.align(4)
                self.assertEqual(reader.take("IIhhhhH"), (SS_CENTER | WS_CHILD | WS_VISIBLE | WS_GROUP, 0,
                                                          5, y, 115, 12, 0xFFFF), "style, place, id -1")
                self.assertEqual(reader.name_or_ordinal(), 0x0082, "the static class")
                self.assertEqual(reader.name_or_ordinal(), text if text is not None else notice)
                self.assertEqual(reader.take("H"), 0, "no creation data")
        self.assertEqual(reader.at, len(reader.raw), "bytes after the last control")


class Strings(unittest.TestCase):
    def test_three_strings(self):
        strings = string_table()
        self.assertEqual(sorted(strings), [1, 2, 16000])
        self.assertEqual(strings[2], "Corelane MP")
        first = re.fullmatch(r"Corelane Extension\n([^\n]+)", strings[1])
        self.assertIsNotNone(first, strings[1])
        about = re.fullmatch(r"Tandemix Extension  v%s\n\n([^\n]+)\n\n"
                             r"An extension module to support Multiprocessor architectures\.", strings[16000])
        self.assertIsNotNone(about, strings[16000])
        self.assertEqual(about.group(1), first.group(1), "one owner's notice")


class VersionRecord(unittest.TestCase):
    def test_fixed_part(self):
        fixed = PE.VS_FIXEDFILEINFO[0]
        self.assertEqual((fixed.Signature, fixed.StrucVersion), (0xFEEF04BD, 0x00010000))
        def numbers(most, least):
            return (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)
        # The project's numbers, which the build passes in, and which are these.
        self.assertEqual((numbers(fixed.FileVersionMS, fixed.FileVersionLS),
                          numbers(fixed.ProductVersionMS, fixed.ProductVersionLS)), PROJECT_VERSIONS)
        self.assertEqual(PROJECT_VERSIONS, ((5, 0, 128, 0), (5, 0, 6, 0)))
        self.assertEqual((fixed.FileFlagsMask, fixed.FileFlags), (0x3F, 0x1), "debug flag set")
        self.assertEqual((fixed.FileOS, fixed.FileType, fixed.FileSubtype), (4, 2, 0))
        self.assertEqual((fixed.FileDateMS, fixed.FileDateLS), (0, 0))

    def test_strings_and_translation(self):
        blocks = {}
        translations = []
        for info in PE.FileInfo[0]:
            for table in getattr(info, "StringTable", []):
                blocks[table.LangID] = table.entries
            for var in getattr(info, "Var", []):
                translations.append(var.entry)
        self.assertEqual(list(blocks), [b"040904E4"])
        strings = blocks[b"040904E4"]
        notice = string_table()[1].split("\n")[1].encode()
        self.assertEqual(strings.pop(b"LegalCopyright"), notice)
        self.assertTrue(strings.pop(b"CompanyName"))
        self.assertEqual(strings, {
            b"FileDescription": b"Lumora Multithreading Plugin",
            b"FileVersion": b"5.0",
            b"InternalName": b"Rowfork",
            b"OriginalFilename": b"Rowfork.lmx",
            b"ProductName": b"Lumora",
            b"ProductVersion": b"5.0",
        })
        self.assertEqual(translations, [{b"Translation": "0x8000 0x04b0"}])


if __name__ == "__main__":
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    MODULE = sys.argv.pop(1)
    PROJECT_VERSIONS = tuple(tuple(int(part) for part in sys.argv.pop(1).split(".")) for _ in range(2))
    unittest.main(verbosity=2)
