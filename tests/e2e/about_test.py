#!/usr/bin/env python3
"""End-to-end test of ravlet.dll under Wine on a virtual X display.

Drives tests/e2e/drivers/about_driver.exe, which loads the library by path and
calls `about`; the boxes are found, clicked and photographed through X.
Usage: about_test.py <windows build folder> <folder for screenshots and the Wine prefix>
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

WINDOWS_BUILD = ""
WORK = ""

TITLE = "About Tunewell"
CLIENT = (375, 196)
DOWNLOAD_CENTRE = (180 + 56, 150 + 23)
CLOSE_CENTRE = (290 + 37, 153 + 20)
DOWNLOAD_PAGE = "https://www.varnel.example/download/mp3"
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "msvcrt.dll", "advapi32.dll",
               "ole32.dll", "comctl32.dll"}


def find_file(name):
    for root, _dirs, files in os.walk(WINDOWS_BUILD):
        if name in files:
            return os.path.join(root, name)
    raise AssertionError(f"{name} not found under {WINDOWS_BUILD}")


def wait_for(predicate, timeout, step=0.1):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()


class Display:
    """An Xvfb display of our own, on the first free number from 140."""

    def __init__(self):
        self.number = next(n for n in range(140, 200) if not os.path.exists(f"/tmp/.X{n}-lock"))
        self.name = f":{self.number}"
        self.process = subprocess.Popen(["Xvfb", self.name, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{self.number}"), 10):
            raise AssertionError("Xvfb did not start")

    def stop(self):
        self.process.terminate()
        self.process.wait(10)


class Wine:
    """A Wine prefix kept in the work folder, with unmanaged (Wine-framed) windows."""

    def __init__(self, display):
        self.env = dict(os.environ, DISPLAY=display.name, WINEPREFIX=os.path.join(WORK, "wine-about"),
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        if not os.path.exists(os.path.join(self.env["WINEPREFIX"], "system.reg")):
            subprocess.run(["wineboot", "-i"], env=self.env, check=True, timeout=300,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Web pages go to a stand-in browser that only notes the address.
        self.opened = os.path.join(WORK, "opened-pages.txt")
        browser = os.path.join(WORK, "note-page.sh")
        with open(browser, "w") as f:
            f.write(f'#!/bin/sh\necho "$1" >> "{self.opened}"\n')
        os.chmod(browser, 0o755)
        for key, name, value in ((r"HKCU\Software\Wine\X11 Driver", "Managed", "N"),
                                 (r"HKCU\Software\Wine\WineBrowser", "Browsers", browser)):
            subprocess.run(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], env=self.env, check=True,
                           timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def opened_pages(self):
        if not os.path.exists(self.opened):
            return []
        with open(self.opened) as f:
            return f.read().splitlines()

    def start(self, *args):
        output = tempfile.NamedTemporaryFile("w+", dir=WORK, prefix="about-driver-", suffix=".txt", delete=False)
        process = subprocess.Popen(["wine", find_file("about_driver.exe"), *args], env=self.env,
                                   stdout=output, stderr=subprocess.DEVNULL)
        return Driver(process, output.name)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)


class Driver:
    def __init__(self, process, path):
        self.process = process
        self.path = path

    def lines(self):
        with open(self.path) as f:
            return f.read().splitlines()

    def boxes(self):
        found = []
        for line in self.lines():
            m = re.match(r"box client=(\d+)x(\d+) window=(\d+)x(\d+) pos=(-?\d+),(-?\d+) screen=(\d+)x(\d+) "
                         r"origin=(-?\d+),(-?\d+) style=([0-9a-f]+)", line)
            if m:
                found.append([int(v) for v in m.groups()[:10]] + [int(m.group(11), 16)])
        return found

    def results(self):
        return [line for line in self.lines() if line.startswith("about returned")]

    def finish(self, timeout=20):
        try:
            self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise


def xdotool(display, *args):
    return subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=display.name),
                          capture_output=True, text=True, timeout=20).stdout


def click(display, x, y):
    xdotool(display, "mousemove", "--sync", str(x), str(y))
    time.sleep(0.2)
    xdotool(display, "click", "1")


class AboutLibrary(unittest.TestCase):
    def test_exports_only_about_and_needs_no_compiler_runtime(self):
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", find_file("ravlet.dll")],
                              capture_output=True, text=True, check=True).stdout
        table = dump.split("[Ordinal/Name Pointer] Table", 1)[1].split("\n\n", 1)[0]
        names = re.findall(r"\[\s*\d+\]\s+(\S+)", table)
        self.assertEqual(names, ["about"])
        imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
        self.assertTrue(imports <= SYSTEM_DLLS, imports)


class AboutBox(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.display = Display()
        try:
            cls.wine = Wine(cls.display)
        except Exception:
            cls.display.stop()
            raise
        cls.dll = subprocess.run(["winepath", "-w", find_file("ravlet.dll")], env=cls.wine.env,
                                 capture_output=True, text=True, check=True).stdout.strip()

    @classmethod
    def tearDownClass(cls):
        cls.wine.stop()
        cls.display.stop()

    def check_box(self, box):
        cw, ch, ww, wh, x, y, sw, sh, _ox, _oy, style = box
        self.assertEqual((cw, ch), CLIENT)
        self.assertEqual((x, y), ((sw - ww) // 2, (sh - wh) // 2))
        self.assertEqual(style & 0x00CF0000, 0x00C00000)  # caption, no system menu or size boxes
        self.assertTrue(style & 0x10000000)  # visible

    # Download leaves the box open; close returns 0; the next call opens a fresh box.
    def test_buttons_and_a_second_call(self):
        driver = self.wine.start(self.dll, "2")
        try:
            self.assertTrue(wait_for(lambda: len(driver.boxes()) >= 1, 60), driver.lines())
            box = driver.boxes()[0]
            self.check_box(box)
            ids = xdotool(self.display, "search", "--name", TITLE).split()
            self.assertEqual(len(ids), 1)
            geometry = xdotool(self.display, "getwindowgeometry", ids[0])
            self.assertIn(f"Geometry: {box[2]}x{box[3]}", geometry)
            time.sleep(0.5)
            shot = os.path.join(WORK, "about.png")
            subprocess.run(["/usr/bin/import", "-display", self.display.name, "-window", "root", "-crop",
                            f"{box[2]}x{box[3]}+{box[4]}+{box[5]}", "+repage", shot], check=True, timeout=30)
            ox, oy = box[8], box[9]
            before = len(self.wine.opened_pages())
            for times in (1, 2):
                click(self.display, ox + DOWNLOAD_CENTRE[0], oy + DOWNLOAD_CENTRE[1])
                self.assertTrue(wait_for(lambda: len(self.wine.opened_pages()) >= before + times, 15))
                self.assertEqual(self.wine.opened_pages()[before:], [DOWNLOAD_PAGE] * times)
                self.assertEqual(driver.results(), [])
                self.assertEqual(len(xdotool(self.display, "search", "--name", TITLE).split()), 1)
            click(self.display, ox + CLOSE_CENTRE[0], oy + CLOSE_CENTRE[1])
            self.assertTrue(wait_for(lambda: len(driver.results()) >= 1, 10), driver.lines())
            self.assertEqual(driver.results(), ["about returned 0"])

            self.assertTrue(wait_for(lambda: len(driver.boxes()) >= 2, 20), driver.lines())
            second = driver.boxes()[1]
            self.check_box(second)
            # Clicks on the background do nothing.
            click(self.display, second[8] + 60, second[9] + 30)
            time.sleep(0.5)
            self.assertEqual(len(driver.results()), 1)
            click(self.display, second[8] + CLOSE_CENTRE[0], second[9] + CLOSE_CENTRE[1])
            self.assertTrue(wait_for(lambda: "done" in driver.lines(), 10), driver.lines())
            self.assertEqual(driver.results(), ["about returned 0", "about returned 0"])
            self.assertEqual(xdotool(self.display, "search", "--name", TITLE).split(), [])
        finally:
            driver.finish()

    # A close request from outside, posted or sent, ends the box like its button.
    def test_close_request_closes_the_box(self):
        for mode in ("post", "send"):
            with self.subTest(mode=mode):
                driver = self.wine.start(self.dll, "1", mode, "300")
                try:
                    self.assertTrue(wait_for(lambda: "done" in driver.lines(), 60), driver.lines())
                    self.assertEqual(len(driver.boxes()), 1)
                    self.assertEqual(driver.results(), ["about returned 0"])
                finally:
                    driver.finish()


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    WINDOWS_BUILD = os.path.abspath(sys.argv[1])
    WORK = os.path.abspath(sys.argv[2])
    os.makedirs(WORK, exist_ok=True)
    if not shutil.which("wine") or not shutil.which("Xvfb"):
        sys.exit("about_test: wine and Xvfb are needed")
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]], verbosity=2)
