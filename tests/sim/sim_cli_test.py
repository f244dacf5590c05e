#!/usr/bin/env python3
"""lumora-sim as a person runs it: a small run whose every active output must
equal the inactive one, the files it writes, and its answers to bad input.

Usage: sim_cli_test.py path/to/lumora-sim VERSION FILE_VERSION
"""
import csv
import io
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

SIM = None
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.realpath(__file__))))
VERSION = None       # the project's, which --version must print
FILE_VERSION = None
OPERATIONS = ["alpha-blend", "layer-blend", "convolution", "histograms", "brush-dab", "pixel-sum",
              "raster-copy", "colour-matrix", "row-resample", "display", "brush-stroke", "tiled-blend",
              "preview"]


def run(*args, timeout=120):
    return subprocess.run([SIM, *args], capture_output=True, text=True, timeout=timeout)


def write_png(path, width, height, rgba):
    """A PNG file of one colour, `rgba` the four bytes of every pixel."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = (b"\0" + rgba * width) * height
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">II5B", width, height, 8, 6, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


class SmallRun(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.folder.name, "out")
        cls.result = run("--size", "97x61", "--repeat", "1", "--threads", "3", "--csv", "--out", cls.out)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def rows(self):
        return list(csv.DictReader(io.StringIO(self.result.stdout)))

    def test_every_operation_is_identical_and_the_run_succeeds(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)
        rows = self.rows()
        self.assertEqual([row["operation"] for row in rows], OPERATIONS)
        for row in rows:
            self.assertEqual(row["identical"], "yes", row)
            self.assertIn(row["kind"], ("compute", "memory", "calls", "idle"))
            self.assertGreaterEqual(float(row["inactive_ms"]), 0, row)
        rows_of = {row["operation"]: int(row["rows"]) for row in rows}
        self.assertEqual(rows_of["convolution"], 59)
        self.assertEqual(rows_of["alpha-blend"], 61)

    def test_pictures_and_chart_are_written(self):
        for name in ["input", "alpha-blend", "layer-blend", "convolution", "brush-dab", "raster-copy",
                     "colour-matrix", "row-resample", "display"]:
            with open(os.path.join(self.out, name + ".png"), "rb") as f:
                self.assertEqual(struct.unpack(">8sI4sII", f.read(24))[3:], (97, 61), name)
        with open(os.path.join(self.out, "speedups.svg")) as f:
            chart = f.read()
        self.assertTrue(chart.startswith("<svg"))
        for name in OPERATIONS:
            self.assertIn(">" + name + "<", chart)

    def test_its_own_picture_read_back_gives_the_same_run(self):
        again = os.path.join(self.folder.name, "again")
        result = run("--image", os.path.join(self.out, "input.png"), "--repeat", "1", "--ops",
                     "convolution,raster-copy,convolution", "--csv", "--out", again)
        self.assertEqual(result.returncode, 0, result.stderr)
        rows = list(csv.DictReader(io.StringIO(result.stdout)))
        self.assertEqual([(r["operation"], r["rows"], r["identical"]) for r in rows],
                         [("convolution", "59", "yes"), ("raster-copy", "61", "yes")])
        with open(os.path.join(self.out, "raster-copy.png"), "rb") as first:
            with open(os.path.join(again, "raster-copy.png"), "rb") as second:
                self.assertEqual(first.read(), second.read())

    def test_a_picture_of_one_colour_is_counted_in_the_histograms_end_bins(self):
        blue = os.path.join(self.folder.name, "blue.png")  # a = 0 and c = 255: H0[0], H5[255]
        write_png(blue, 64, 64, b"\0\0\xff\xff")
        result = run("--image", blue, "--repeat", "1", "--ops", "histograms", "--out", blue + ".out")
        self.assertEqual(result.returncode, 0, result.stdout)  # 1 where an output differs

    def test_the_table_for_a_person_ends_with_the_folder(self):
        out = os.path.join(self.folder.name, "table")
        result = run("--size", "32x32", "--repeat", "1", "--threads", "3", "--ops", "pixel-sum", "--out", out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("32 x 32 RGBA, 3 threads", result.stdout)
        self.assertIn("Outputs identical to the module-inactive run: 1 of 1.", result.stdout)
        self.assertIn(os.path.realpath(out), result.stdout)


class DemoTarget(unittest.TestCase):
    def test_one_target_runs_alone_with_the_other_arguments(self):
        demo = os.path.join(ROOT, "scripts", "demo")
        bad = subprocess.run([demo, "--target", "win16"], capture_output=True, text=True, timeout=60)
        self.assertEqual((bad.returncode, bad.stdout), (2, ""), bad.stderr)
        native = os.path.join(ROOT, "build", "native")
        if os.path.dirname(os.path.realpath(SIM)) != native:
            self.skipTest("scripts/demo runs the native preset's build")
        with tempfile.TemporaryDirectory() as out:
            result = subprocess.run([demo, "--size", "16x16", "--target", "native", "--ops", "pixel-sum",
                                     "--out", out], capture_output=True, text=True, timeout=300)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertIn("lumora-sim: " + os.path.join(native, "Rowfork.lmx") + " (Linux", result.stdout)
            self.assertNotIn("win32", result.stdout)


class BadInput(unittest.TestCase):
    def assertRefused(self, *args):
        result = run(*args)
        self.assertEqual(result.returncode, 2, (args, result.stdout, result.stderr))
        lines = result.stderr.splitlines()
        self.assertEqual(len(lines), 1, (args, result.stderr))
        self.assertTrue(lines[0].startswith("lumora-sim: "), lines[0])
        self.assertEqual(result.stdout, "")
        return lines[0]

    def test_bad_options(self):
        for args in (["--frobnicate"], ["--threads"], ["--threads", "1"], ["--threads", "two"],
                     ["--threads", "3x"], ["--size", "100"], ["--size", "100x"], ["--size", "7x100"],
                     ["--size", "8192x100"], ["--size", "100x8193"], ["--size", "-8x8"],
                     ["--size", "99999999999x8"], ["--repeat", "0"], ["--ops", "sharpen"],
                     ["--ops", "pixel-sum,"], ["--ops", ""], ["--image", ""],
                     ["--size", "64x64", "--image", "x.png"]):
            with self.subTest(args=args):
                self.assertIn(args[0], self.assertRefused(*args))
        for args, shown in ((["--size", "640x"], "'640x'"), (["--ops", "pixel-sum,sharpen"], "'sharpen'")):
            self.assertIn(shown, self.assertRefused(*args))

    def test_unreadable_images(self):
        with tempfile.TemporaryDirectory() as folder:
            not_png = os.path.join(folder, "notes.png")
            with open(not_png, "w") as f:
                f.write("not a picture\n")
            truncated = os.path.join(folder, "truncated.png")
            with open(truncated, "wb") as f:
                f.write(b"\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR\x00\x00")
            wide = os.path.join(folder, "wide.png")  # one column too wide
            write_png(wide, 8192, 8, b"\0\0\0\xff")
            for path in (os.path.join(folder, "missing.png"), not_png, truncated, folder, wide):
                with self.subTest(path=path):
                    self.assertIn(path, self.assertRefused("--image", path, "--out", folder))
            self.assertIn("8192 x 8 is larger", self.assertRefused("--image", wide))

    def test_an_output_folder_that_cannot_be_made(self):
        with tempfile.NamedTemporaryFile() as file:
            self.assertRefused("--size", "16x16", "--out", os.path.join(file.name, "sub"))

    def test_help(self):
        result = run("--help")
        self.assertEqual(result.returncode, 0)
        for word in ["--threads", "--size", "--image", "--repeat", "--ops", "--csv", "--out",
                     "--version"] + OPERATIONS:
            self.assertIn(word, result.stdout)

    def test_version(self):
        result = run("--version")
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stdout, f"lumora-sim {VERSION} (Rowfork.lmx {VERSION}, file version {FILE_VERSION})\n")


if __name__ == "__main__":
    SIM, VERSION, FILE_VERSION = sys.argv[1:4]
    del sys.argv[1:4]
    unittest.main()
