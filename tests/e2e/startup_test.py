#!/usr/bin/env python3
"""End-to-end: what brumby.exe does when it starts with a file on its command line, also
among damaged files, without a profile, with names outside the code page and under a
double-byte code page; and the launcher the tests start programs with."""
import os
import re
import shutil
import unittest

import harness
import xdnd
from harness import (ADD, LIST_TOP, PLAY, PLAY_REPAINT_BOX, PLAYLIST_BUTTON, actions, answer_dialog, box_pixels,
                     list_rows, read_bmp, shown_pixels, wait_rows)


class FirstStart(unittest.TestCase):
    # A first start records the working directory and plays the first parameter at once.
    def test_records_working_directory_and_plays_first_file(self):
        with harness.Session("first_start") as session:
            folder = session.install()
            track = session.windows_path(session.samples()[0])
            player = session.start([track], cwd=folder)

            # The length is asked between the two; the first load closes nothing.
            harness.wait_for(lambda: "play MP3_1" in player.commands(), 30, 0.2)
            commands = player.commands()
            self.assertEqual(commands[0], f'OPEN "{track}" Type MPEGVIDEO ALIAS MP3_1')
            self.assertIn("play MP3_1", commands)
            self.assertNotIn("close MP3_1", commands[:commands.index("play MP3_1")])
            self.assertFalse(player.mci_calls()[0].refused)

            record = os.path.join(session.data_dir, "dir.vnd")
            self.assertTrue(harness.wait_for(lambda: os.path.exists(record), 10), record)
            with open(record, "rb") as f:
                self.assertEqual(f.read(), (session.windows_path(folder) + "\\\r\n").encode("cp1252"))
            self.assertIsNone(player.exit_code())

            # A start with no USERPROFILE at all ends the older player, plays its file and writes no
            # data file anywhere: not under the profile, not below the root of its drive (Z:, the
            # Unix root) nor of drive C:.
            newer = session.start([track], cwd=folder, profile=False)
            self.assertEqual(player.wait_exit(30), 1)
            places = [session.data_dir] + [os.path.join(root, "Local Settings", "Application Data", "Varnel", "MP3")
                                           for root in ("/", os.path.join(session.prefix, "drive_c"))]
            before = [data_files(place) for place in places]
            self.assertTrue(harness.wait_for(lambda: "play MP3_1" in newer.commands(), 30, 0.2))
            newer.wait_window()
            newer.request_close()
            self.assertEqual(newer.wait_exit(), 0)
            self.assertEqual([data_files(place) for place in places], before)


class DamagedSurroundings(unittest.TestCase):
    # Junk skins, a junk ravlet.dll and an empty dir.vnd (the library is then looked for
    # beside the program) leave the player running; a file whose name holds '!' plays.
    def test_runs_on_and_plays_a_name_with_an_exclamation_mark(self):
        with harness.Session("damaged") as session:
            folder = session.install()
            with open(os.path.join(folder, "back.vnb"), "wb") as f:
                f.write(bytes(range(256)) * 40)
            with open(os.path.join(folder, "backmouse.vnb"), "wb") as f:
                f.write(b"BM\x10\x00")
            with open(os.path.join(folder, "ravlet.dll"), "wb") as f:
                f.write(b"MZ" + b"\xff" * 3000)
            os.makedirs(session.data_dir, exist_ok=True)
            open(os.path.join(session.data_dir, "dir.vnd"), "wb").close()
            media = os.path.join(session.dir, "media")
            os.makedirs(media, exist_ok=True)
            track = session.windows_path(harness.write_wav(os.path.join(media, "wow!.wav"), seconds=600))

            player = session.start([track], cwd=folder)
            player.wait_window()
            self.assertTrue(harness.wait_for(lambda: "play MP3_1" in player.commands(), 30, 0.2))
            calls = player.mci_calls()
            self.assertEqual(calls[0].command, f'OPEN "MPEGVIDEO!{track}" Type MPEGVIDEO ALIAS MP3_1')
            self.assertFalse(calls[0].refused)
            self.assertFalse(next(c for c in calls if c.command == "play MP3_1").refused)

            player.request_close()
            self.assertEqual(player.wait_exit(), 0)


class NamesOutsideTheCodePage(unittest.TestCase):
    """One session whose installation folder, profile folder and track carry names outside the ANSI
    code page (Cyrillic, CJK). The launcher passes such names on; the player keeps them by their short
    forms: it records and loads from the installation folder, writes under the profile, plays the track
    from its command line and from a drop, and shows its row under its own name."""

    NAME = "Мумий Тролль - 坂本"

    @classmethod
    def setUpClass(cls):
        cls.session = harness.Session("names", trace_fonts=True)
        cls.folder = cls.session.install("Установка 安装")
        cls.session.use_profile("Пользователь 用户")
        media = os.path.join(cls.session.dir, "Музыка 音楽")
        os.makedirs(media)
        cls.track = harness.write_wav(os.path.join(media, cls.NAME + ".wav"), seconds=600)

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    # The launcher passes its command line on in UTF-16: a program whose path holds such names
    # starts, and its arguments reach it.
    def test_1_the_launcher_starts_a_program_named_outside_the_code_page(self):
        driver = self.session.start(["enabled"], cwd=self.session.dir,
                                    exe=shutil.copy(harness.find_built("list_driver.exe"), self.folder))
        self.assertEqual(driver.wait_exit(30), 0)
        self.assertEqual(driver.output(), ["Tunewell=missing", "Playlist=missing"])
        os.remove(os.path.join(self.folder, "list_driver.exe"))

    def test_2_a_track_named_outside_the_code_page_plays_and_shows_its_name(self):
        session, folder = self.session, self.folder
        player = session.start([session.windows_path(self.track)], cwd=folder)
        player.wait_window()
        self.assertTrue(harness.wait_for(lambda: "play MP3_1" in player.commands(), 30, 0.2))
        opened = player.commands()[0]
        short = re.fullmatch(r'OPEN "([ -~]*~[ -~]*)" Type MPEGVIDEO ALIAS MP3_1', opened)
        self.assertTrue(short, opened)
        # The installation folder is recorded by its short form, and the about library is loaded from it.
        with open(os.path.join(session.data_dir, "dir.vnd"), "rb") as f:
            recorded = f.read()
        self.assertRegex(recorded, rb"^[ -~]*~[ -~]*\\\r\n$")
        self.assertTrue(harness.wait_for(lambda: any(
            os.path.join(folder, "ravlet.dll") in maps for maps in mapped_files(player)), 10))

        # Shown, the row carries the track's name; a drop adds a second, and a double click on it plays
        # it by the short form again.
        player.click(*PLAYLIST_BUTTON)
        self.assertEqual(wait_rows(session, folder, [self.NAME]), [self.NAME])
        x, y, _width, _height = session.geometry(player.window)
        xdnd.drop_files(session.display.name, int(player.window), x + 100, y + 20, [self.track])
        self.assertEqual(wait_rows(session, folder, [self.NAME] * 2), [self.NAME] * 2)
        self.assertTrue(harness.wait_for(lambda: self.NAME in player.texts(), 10, 0.2))
        height, _rows = list_rows(session, folder)
        before = len(actions(player))
        player.double_click(60, LIST_TOP + height + height // 2)
        self.assertTrue(harness.wait_for(lambda: opened in actions(player)[before:], 10, 0.2))

        # The list file under the profile holds the short form, one line a row.
        player.request_close()
        self.assertEqual(player.wait_exit(), 0)
        with open(os.path.join(session.data_dir, "list.vnp"), "rb") as f:
            self.assertEqual(f.read(), (short.group(1) + "\r\n").encode("ascii") * 2)


class NamesInCodePage932(unittest.TestCase):
    """One session in a Japanese locale (system code page 932), where ソ is the bytes 83 5C and 表 is
    95 5C: their second byte has the value of a backslash. The tracks lie in a folder whose name ends
    in 表, the player in one whose name ends in ソ; names are walked by characters, never bytes."""

    NAMES = ["ソング", "表", "plain2"]

    @classmethod
    def setUpClass(cls):
        cls.session = harness.Session("names932", trace_fonts=True, locale="ja_JP.UTF-8")
        cls.folder = cls.session.install("Tunewellソ")
        media = os.path.join(cls.session.dir, "音楽表")
        os.makedirs(media)
        cls.tracks = [harness.write_wav(os.path.join(media, name + ".wav"), seconds=600) for name in cls.NAMES]
        # Two more beside the player, whose folder the open-file dialog starts in.
        cls.chosen = [harness.write_wav(os.path.join(cls.folder, name + ".wav"), 1) for name in ("a1", "b2")]

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    # The conversion to a code page given as a parameter (UTF-8's 65001 has no Wine locale), the
    # system code page's lead bytes, and the checked open of a process from its snapshot entry.
    def test_1_the_services_under_code_page_932(self):
        driver = self.session.start([], cwd=self.session.dir, exe=harness.find_built("names_driver.exe"))
        self.assertEqual(driver.wait_exit(30), 0, driver.output())
        lines = driver.output()
        self.assertEqual(lines[0], "codepage=932 lead83=1 lead5C=0")
        self.assertEqual(lines[-1:], ["done"], lines)
        self.assertEqual([line for line in lines if line.startswith("FAILED")], [], lines)

    def test_2_rows_labels_the_dialog_and_the_files_walk_by_characters(self):
        session, folder = self.session, self.folder
        paths = [session.windows_path(track) for track in self.tracks]
        player = session.start(paths, cwd=folder)
        player.wait_window()
        self.assertTrue(harness.wait_for(lambda: "play MP3_1" in player.commands(), 30, 0.2))
        self.assertEqual(player.commands()[0], f'OPEN "{paths[0]}" Type MPEGVIDEO ALIAS MP3_1')

        # The installation folder is recorded with one separator after its last character, and the
        # skins and the about library are found in it.
        with open(os.path.join(session.data_dir, "dir.vnd"), "rb") as f:
            self.assertEqual(f.read(), (session.windows_path(folder) + "\\\r\n").encode("cp932"))
        self.assertTrue(harness.wait_for(lambda: any(
            os.path.join(folder, "ravlet.dll") in maps for maps in mapped_files(player)), 10))
        hover = box_pixels(read_bmp(os.path.join(folder, "backmouse.vnb")), PLAY_REPAINT_BOX)
        player.hover(*PLAY)
        self.assertTrue(harness.wait_for(lambda: shown_pixels(player.capture(), PLAY_REPAINT_BOX) == hover, 5, 0.2))

        # Each row carries its file's name, as the list holds it and as it is drawn.
        player.click(*PLAYLIST_BUTTON)
        self.assertEqual(wait_rows(session, folder, self.NAMES), self.NAMES)
        self.assertTrue(harness.wait_for(lambda: set(self.NAMES) <= set(player.texts()), 10, 0.2), player.texts())
        x, y, _width, _height = session.geometry(player.window)
        session.screenshot().region(x, y, 184, 64 + 205).save(os.path.join(session.dir, "playlist.png"))

        # A double click on 表 plays it.
        height, _rows = list_rows(session, folder)
        before = len(actions(player))
        player.double_click(60, LIST_TOP + height + height // 2)
        opened = f'OPEN "{paths[1]}" Type MPEGVIDEO ALIAS MP3_1'
        self.assertTrue(harness.wait_for(lambda: opened in actions(player)[before:], 10, 0.2), actions(player))

        # Two files chosen together in the dialog come as the folder (ending in ソ) and their names.
        player.click(*ADD)
        answer_dialog(player, [("type", "--delay", "20", '"a1.wav" "b2.wav"'), ("key", "Return")])
        player.pointer = None
        self.assertEqual(wait_rows(session, folder, self.NAMES + ["a1", "b2"]), self.NAMES + ["a1", "b2"])

        # The list file holds every path in the code page, one a line with CR LF.
        player.request_close()
        self.assertEqual(player.wait_exit(), 0)
        saved = paths + [session.windows_path(path) for path in self.chosen]
        with open(os.path.join(session.data_dir, "list.vnp"), "rb") as f:
            self.assertEqual(f.read(), "".join(path + "\r\n" for path in saved).encode("cp932"))


def data_files(folder):
    """The files of a folder with their bytes; empty when it is not there."""
    found = {}
    if os.path.isdir(folder):
        for name in sorted(os.listdir(folder)):
            with open(os.path.join(folder, name), "rb") as f:
                found[name] = f.read()
    return found


def mapped_files(player):
    """The files the player's process has mapped (the libraries it loaded among them)."""
    lines = []
    for pid in player.processes():
        try:
            with open(f"/proc/{pid}/maps", encoding="utf-8", errors="replace") as f:
                lines.extend(f.read().splitlines())
        except OSError:
            pass
    return lines


if __name__ == "__main__":
    harness.main()
