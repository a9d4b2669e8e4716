#!/usr/bin/env python3
"""End-to-end: the release zip as a Windows user takes it. Its contents and the programs'
resources, then the player run from a fresh unpacked folder in a fresh profile: the folder
is recorded, and the skins and ravlet.dll are loaded from it."""
import os
import re
import struct
import subprocess
import unittest
import zipfile

import harness
from harness import (NEUTRAL, PLAY, PLAY_REPAINT_BOX, box_pixels, read_bmp, shown_pixels)

ZIP = os.environ.get("TUNEWELL_RELEASE_ZIP", "")
PROGRAMS = ["brumby.exe", "ravlet.dll"]
CONTENTS = {*PROGRAMS, "back.vnb", "backmouse.vnb", "README.txt", "licences/libjpeg-turbo.txt",
            "licences/mingw-w64-runtime.txt", "licences/gcc-runtime.txt"}
IJG_SENTENCE = "This software is based in part on the work of the Independent JPEG Group."
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def utf16(text):
    return text.encode("utf-16-le")


def resource_types(path):
    """Resource type numbers in a program's resource directory, as objdump lists them."""
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", path], capture_output=True, text=True,
                          check=True).stdout
    table = dump.split("The .rsrc Resource Directory section:", 1)[-1]
    # Type entries are the directory's first level: indented by two blanks after the offset.
    return [int(t, 16) for t in re.findall(r"^[0-9a-f]+   Entry: ID: (0x[0-9a-f]+)", table, re.M)]


class ReleaseZip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        match = re.fullmatch(r"tunewell-(.+)-win64\.zip", os.path.basename(ZIP))
        if not match or not os.path.isfile(ZIP):
            raise AssertionError(f"release zip {ZIP!r} missing: build the Windows build's release target")
        cls.version = match.group(1)
        cls.session = harness.Session("release")
        # A blank in the folder, as in the folders users pick.
        cls.folder = os.path.join(cls.session.dir, "Tunewell player")
        with zipfile.ZipFile(ZIP) as archive:
            cls.names = set(archive.namelist())
            archive.extractall(cls.folder)

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def read(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read()

    def test_1_contents_read_me_and_notices(self):
        self.assertEqual(self.names, CONTENTS)
        readme = self.read("README.txt").decode("utf-8")
        self.assertIn(f"Tunewell {self.version} for Windows\r\n", readme)
        self.assertNotIn("\n", readme.replace("\r\n", ""), "read-me lines end in CR LF")
        for fact in ("brumby.exe", r"Local Settings\Application Data\Varnel\MP3", "dir.vnd", IJG_SENTENCE):
            self.assertIn(fact, readme)
        jpeg = self.read("licences/libjpeg-turbo.txt").decode("utf-8")
        self.assertIn("Modified (3-clause) BSD License", jpeg)
        self.assertIn("LEGAL ISSUES", jpeg)
        self.assertIn("mingw-w64", self.read("licences/mingw-w64-runtime.txt").decode("utf-8"))
        self.assertIn("GCC RUNTIME LIBRARY EXCEPTION", self.read("licences/gcc-runtime.txt").decode("utf-8"))

    def test_2_programs_carry_version_icon_and_manifest(self):
        for name in PROGRAMS:
            self.assertIn(RT_VERSION, resource_types(os.path.join(self.folder, name)), name)
            blob = self.read(name)
            for key, value in (("ProductName", "Tunewell"), ("ProductVersion", self.version),
                               ("OriginalFilename", name)):
                pattern = re.escape(utf16(key)) + b"(\0\0)+" + re.escape(utf16(value))
                self.assertTrue(re.search(pattern, blob), f"{name}: no {key} {value}")
        types = resource_types(os.path.join(self.folder, "brumby.exe"))
        self.assertEqual(types.count(RT_GROUP_ICON), 1)
        self.assertIn(RT_ICON, types)
        with open(os.path.join(harness.SOURCE_DIR, "assets", "brumby.ico"), "rb") as f:
            icon = f.read()
        sides = [icon[6 + 16 * i] or 256 for i in range(struct.unpack_from("<H", icon, 4)[0])]
        self.assertEqual(sides, [16, 32, 48, 256])
        self.assertIn(RT_MANIFEST, types)
        self.assertTrue(b'requestedExecutionLevel level="asInvoker"' in self.read("brumby.exe"), "no manifest")

    def test_3_player_runs_from_the_unpacked_folder(self):
        session = self.session
        self.assertFalse(os.path.exists(session.data_dir), "the profile must be fresh")
        session.env["WINEDEBUG"] += ",+loaddll"
        track = harness.write_wav(os.path.join(session.dir, "tone.wav"), seconds=600)
        player = session.start([session.windows_path(track)], cwd=self.folder,
                               exe=os.path.join(self.folder, "brumby.exe"))
        player.wait_window()
        self.assertTrue(harness.wait_for(lambda: "play MP3_1" in player.commands(), 30, 0.2))

        installed = session.windows_path(self.folder) + "\\"
        with open(os.path.join(session.data_dir, "dir.vnd"), "rb") as f:
            self.assertEqual(f.read(), (installed + "\r\n").encode("cp1252"))
        loaded = [line for line in harness.read_lines(player.log) if "ravlet.dll" in line and "Loaded" in line]
        self.assertTrue(loaded, "ravlet.dll was not loaded")
        self.assertIn((installed + "ravlet.dll").replace("\\", "\\\\"), loaded[0])

        # The hover picture on the play button, then the normal one: the skins of the folder, the only copy
        # the player can reach, and each the right one.
        for point, skin in ((PLAY, "backmouse.vnb"), (NEUTRAL, "back.vnb")):
            expected = box_pixels(read_bmp(os.path.join(harness.SOURCE_DIR, "assets", skin)), PLAY_REPAINT_BOX)
            player.hover(*point)
            harness.wait_for(lambda: shown_pixels(player.capture(), PLAY_REPAINT_BOX) == expected, 5, 0.2)
            self.assertEqual(shown_pixels(player.capture(), PLAY_REPAINT_BOX), expected, skin)

        player.request_close()
        self.assertEqual(player.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
