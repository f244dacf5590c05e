#!/usr/bin/env python3
"""Puts the about dialog on a real (virtual) screen and photographs it.

    about_on_screen.py WINE_RUN PREFIX PROGRAM PNG

Starts Xvfb on a free display number, runs the about-box test PROGRAM under
Wine in PREFIX (a prefix of this test's own, so that its desktop uses that
display), waits until the program reports the dialog painted and checked,
saves the host window and the dialog over it as PNG, and lets the program
close the dialog. Every wait has a time limit. What the dialog holds is
checked by the program, through Windows' own calls.
"""

import os
import socket
import subprocess
import sys
import tempfile
import time

from PIL import ImageGrab

SCREEN = "800x600x24"
START_LIMIT = 30     # seconds for Xvfb to come up
PREFIX_LIMIT = 240   # seconds to create the Wine prefix the first time
SHOWN_LIMIT = 90     # seconds from starting the program to the painted dialog
EXIT_LIMIT = 60      # seconds for the program to close the dialog and end
MARGIN = 8           # pixels kept around the host window and the dialog in the picture


def display_taken(number):
    """Whether an X server holds this display number: by its lock file, its
    socket file, or its abstract socket (which a server whose /tmp we do not
    see may hold)."""
    if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
        return True
    probe = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        probe.connect(f"\0/tmp/.X11-unix/X{number}")
        return True
    except OSError:
        return False
    finally:
        probe.close()


def answers(display):
    try:
        ImageGrab.grab(xdisplay=display)
        return True
    except OSError:
        return False


def start_display():
    """Xvfb on a free display number, once it answers."""
    first = 100 + os.getpid() % 400
    for number in range(first, first + 100):
        if display_taken(number):
            continue
        display = f":{number}"
        server = subprocess.Popen(["Xvfb", display, "-screen", "0", SCREEN, "-nolisten", "tcp", "-noreset"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + START_LIMIT
        while server.poll() is None and time.monotonic() < deadline:
            if answers(display):
                return server, display
            time.sleep(0.1)
        server.kill()
        server.wait()
    raise SystemExit("Xvfb did not start")


def wait_for(check, limit, what):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if check():
            return
        time.sleep(0.1)
    raise TimeoutError(f"no {what} within {limit} s")


def rectangles(path):
    """The screen rectangles the program reported, by name."""
    with open(path) as lines:
        return {name: tuple(int(n) for n in numbers) for name, *numbers in map(str.split, lines)}


def photograph(display, shown, png):
    """Saves the host window and the dialog over it, as the screen shows them."""
    image = ImageGrab.grab(xdisplay=display)
    host, dialog = shown["host"], shown["dialog"]
    width, height = image.size
    image.crop((max(0, min(host[0], dialog[0]) - MARGIN), max(0, min(host[1], dialog[1]) - MARGIN),
                min(width, max(host[2], dialog[2]) + MARGIN), min(height, max(host[3], dialog[3]) + MARGIN))
               ).save(png)


def main(wine_run, prefix, program, png):
    # wine-run says why where Wine cannot start (77: told to run no Windows program).
    probe = subprocess.run([wine_run, prefix, "--version"], stdout=subprocess.DEVNULL).returncode
    if probe != 0:
        return probe
    server, display = start_display()
    environment = dict(os.environ, DISPLAY=display)
    environment.pop("WAYLAND_DISPLAY", None)
    program_run = None
    try:
        if not os.path.exists(os.path.join(prefix, "system.reg")):
            subprocess.run([wine_run, prefix, "wineboot", "--init"], env=environment, timeout=PREFIX_LIMIT,
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # A Wine server left from an earlier run would still draw on its old display.
        subprocess.run(["wineserver", "-w"], env=dict(environment, WINEPREFIX=prefix), timeout=EXIT_LIMIT)
        # There is no window manager: Wine draws captions and frames itself.
        subprocess.run([wine_run, prefix, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                        "/d", "N", "/f"], env=environment, timeout=PREFIX_LIMIT, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with tempfile.TemporaryDirectory(prefix="rowfork-about-") as folder:
            environment["ROWFORK_SCREEN_DIR"] = "Z:" + folder.replace("/", "\\")
            program_run = subprocess.Popen([wine_run, prefix, program], env=environment)
            shown = os.path.join(folder, "shown")
            wait_for(lambda: os.path.exists(shown) or program_run.poll() is not None, SHOWN_LIMIT,
                     "painted dialog")
            if not os.path.exists(shown):
                raise SystemExit(f"the program ended ({program_run.returncode}) without showing the dialog")
            photograph(display, rectangles(shown), png)
            open(os.path.join(folder, "shot"), "w").close()
            status = program_run.wait(timeout=EXIT_LIMIT)
        print(f"screenshot: {png}")
        if status != 0:
            print(f"FAIL: the about-box program exited with {status}")
        return status
    finally:
        if program_run is not None and program_run.poll() is None:
            program_run.kill()
        subprocess.run(["wineserver", "-k"], env=dict(environment, WINEPREFIX=prefix), timeout=EXIT_LIMIT)
        server.terminate()
        server.wait(timeout=START_LIMIT)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        raise SystemExit(__doc__)
    sys.exit(main(*sys.argv[1:]))
