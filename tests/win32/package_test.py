#!/usr/bin/env python3
"""Unpacks the package into a temporary folder, checks what it holds against
its SHA256SUMS, and loads the unpacked module file under Wine through the
test host.

    package_test.py ZIP VERSION WINE_RUN PREFIX PACKAGE_CHECK
"""

import hashlib
import os
import subprocess
import sys
import tempfile
import zipfile

CONTENTS = ["INSTALL.txt", "Rowfork.lmx", "SHA256SUMS"]


def fail(message):
    print(f"FAIL: {message}")
    return 1


def main(zip_path, version, wine_run, prefix, check_program):
    if not os.path.exists(zip_path):
        return fail(f"{zip_path} is missing: cmake --build --preset win32 --target package makes it")
    with tempfile.TemporaryDirectory(prefix="rowfork-package-") as folder:
        with zipfile.ZipFile(zip_path) as archive:
            if sorted(archive.namelist()) != CONTENTS:
                return fail(f"the package holds {sorted(archive.namelist())}, not {CONTENTS}")
            archive.extractall(folder)
        listed = {}
        with open(os.path.join(folder, "SHA256SUMS"), encoding="ascii") as sums:
            for line in sums:
                digest, name = line.rstrip("\n").split("  ", 1)
                listed[name] = digest
        if sorted(listed) != ["INSTALL.txt", "Rowfork.lmx"]:
            return fail(f"SHA256SUMS lists {sorted(listed)}")
        for name, digest in listed.items():
            with open(os.path.join(folder, name), "rb") as unpacked:
                if hashlib.sha256(unpacked.read()).hexdigest() != digest:
                    return fail(f"{name} does not match its sum")
        with open(os.path.join(folder, "INSTALL.txt"), encoding="utf-8") as text:
            install = text.read()
        for needed in (f"Rowfork {version}", ".lmx", "Multithreading=0", "inactive"):
            if needed not in install:
                return fail(f"INSTALL.txt does not say {needed!r}")
        print(f"{os.path.basename(zip_path)}: {', '.join(CONTENTS)}; sums match")
        module = "Z:" + os.path.join(folder, "Rowfork.lmx").replace("/", "\\")
        return subprocess.run([wine_run, prefix, check_program, module], timeout=240).returncode


if __name__ == "__main__":
    if len(sys.argv) != 6:
        raise SystemExit(__doc__)
    sys.exit(main(*sys.argv[1:]))
