#!/usr/bin/env python3
"""End-to-end: what brumby.exe does when it starts with a file on its command line, also
among damaged files; and the launcher the tests start programs with."""
import os
import re
import shutil
import unittest

import harness
import xdnd
from player_test import LIST_TOP, PLAYLIST_BUTTON, actions, list_rows, wait_rows


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
