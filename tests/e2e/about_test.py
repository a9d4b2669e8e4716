#!/usr/bin/env python3
"""End-to-end: ravlet.dll's about box under Wine.

The test driver about_driver.exe loads the library by path, calls `about` and
reports on its standard output each box it sees (geometry and style) and each
result; the boxes are found, clicked and photographed through X.
"""
import os
import re
import shutil
import subprocess
import time
import unittest

import harness

TITLE = "About Tunewell"
CLIENT = (375, 196)
DOWNLOAD_CENTRE = (180 + 56, 150 + 23)
CLOSE_CENTRE = (290 + 37, 153 + 20)
BACKGROUND = (60, 30)
DOWNLOAD_PAGE = "https://www.varnel.example/download/mp3"
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "msvcrt.dll", "advapi32.dll",
               "ole32.dll", "comctl32.dll"}
WS_VISIBLE = 0x10000000
WS_CAPTION = 0x00C00000
# Caption, system menu, size box and minimize/maximize boxes.
FRAME_BITS = 0x00CF0000
BOX_LINE = re.compile(r"box client=(\d+)x(\d+) window=(\d+)x(\d+) pos=(-?\d+),(-?\d+) screen=(\d+)x(\d+) "
                      r"origin=(-?\d+),(-?\d+) style=([0-9a-f]+)")


class Box:
    """One box as the driver saw it: client and frame sizes, frame position, screen size,
    client origin on screen and window style."""

    def __init__(self, match):
        v = [int(g) for g in match.groups()[:10]]
        self.client, self.size, self.pos, self.screen, self.origin = \
            (v[0], v[1]), (v[2], v[3]), (v[4], v[5]), (v[6], v[7]), (v[8], v[9])
        self.style = int(match.group(11), 16)


def boxes(driver):
    return [Box(m) for m in map(BOX_LINE.match, driver.output()) if m]


def results(driver):
    return [line for line in driver.output() if line.startswith("about returned")]


class AboutLibrary(unittest.TestCase):
    # The Wine 10 leg's system has Wine but no cross tools: the library is read where they are.
    @unittest.skipUnless(shutil.which("x86_64-w64-mingw32-objdump"), "no x86_64-w64-mingw32-objdump here")
    def test_exports_only_about_and_needs_no_compiler_runtime(self):
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", harness.find_built("ravlet.dll")],
                              capture_output=True, text=True, check=True).stdout
        table = dump.split("[Ordinal/Name Pointer] Table", 1)[1].split("\n\n", 1)[0]
        # An entry's name is its line's last word: "[   0] about" (Debian 12's binutils),
        # "[   0] +base[   1]  0000 about" (Debian 13's).
        names = re.findall(r"^\s*\[\s*\d+\].*?(\S+)\s*$", table, re.M)
        self.assertEqual(names, ["about"])
        imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
        self.assertTrue(imports <= SYSTEM_DLLS, imports)


class AboutBox(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = harness.Session("about")
        try:
            cls.session.record_opened_pages()
        except Exception:
            cls.session.close()
            raise
        cls.driver_exe = harness.find_built("about_driver.exe")
        cls.dll = cls.session.windows_path(harness.find_built("ravlet.dll"))

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def start(self, *args):
        return self.session.start([self.dll, *args], cwd=self.session.dir, exe=self.driver_exe)

    def title_windows(self, driver):
        """The driver's X windows titled exactly "About Tunewell", shown or not."""
        return driver.windows(TITLE, visible=False)

    def check_box(self, box):
        self.assertEqual(box.client, CLIENT)
        self.assertEqual(box.pos, ((box.screen[0] - box.size[0]) // 2, (box.screen[1] - box.size[1]) // 2))
        self.assertEqual(box.style & FRAME_BITS, WS_CAPTION)
        self.assertTrue(box.style & WS_VISIBLE)

    def click(self, driver, box, point):
        driver.origin = box.origin
        driver.click(*point, settle=0)

    # Download leaves the box open; close returns 0; the next call opens a fresh box.
    def test_buttons_and_a_second_call(self):
        driver = self.start("2")
        self.assertTrue(harness.wait_for(lambda: boxes(driver), 60), driver.output())
        box = boxes(driver)[0]
        self.check_box(box)
        ids = self.title_windows(driver)
        self.assertEqual(len(ids), 1)
        self.assertEqual(self.session.geometry(ids[0]), box.pos + box.size)
        time.sleep(0.5)
        self.session.screenshot().region(*box.pos, *box.size).save(os.path.join(self.session.dir, "about.png"))

        before = len(self.session.opened_pages())
        for times in (1, 2):
            self.click(driver, box, DOWNLOAD_CENTRE)
            self.assertTrue(harness.wait_for(lambda: len(self.session.opened_pages()) >= before + times, 15))
            self.assertEqual(self.session.opened_pages()[before:], [DOWNLOAD_PAGE] * times)
            self.assertEqual(results(driver), [])
            self.assertEqual(len(self.title_windows(driver)), 1)
        self.click(driver, box, CLOSE_CENTRE)
        self.assertTrue(harness.wait_for(lambda: results(driver), 10), driver.output())
        self.assertEqual(results(driver), ["about returned 0"])

        self.assertTrue(harness.wait_for(lambda: len(boxes(driver)) >= 2, 20), driver.output())
        second = boxes(driver)[1]
        self.check_box(second)
        # A click on the background does nothing.
        self.click(driver, second, BACKGROUND)
        time.sleep(0.5)
        self.assertEqual(len(results(driver)), 1)
        self.click(driver, second, CLOSE_CENTRE)
        self.assertEqual(driver.wait_exit(10), 0)
        self.assertEqual(results(driver), ["about returned 0", "about returned 0"])
        self.assertEqual(driver.output()[-1], "done")
        self.assertEqual(self.title_windows(driver), [])

    # A close request from outside, posted or sent, ends the box like its button.
    def test_close_request_closes_the_box(self):
        for mode in ("post", "send"):
            with self.subTest(mode=mode):
                driver = self.start("1", mode, "300")
                self.assertEqual(driver.wait_exit(60), 0, driver.output())
                self.assertEqual(len(boxes(driver)), 1)
                self.assertEqual(results(driver), ["about returned 0"])
                self.assertEqual(driver.output()[-1], "done")


if __name__ == "__main__":
    harness.main()
