#!/usr/bin/env python3
"""End-to-end: what brumby.exe does when it starts with a file on its command line, also
among damaged files; and the launcher the tests start programs with."""
import os
import shutil
import unittest

import harness


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


class Launcher(unittest.TestCase):
    # The launcher passes its command line on in UTF-16: a program whose path holds names outside the
    # ANSI code page (Cyrillic, CJK) starts, and its arguments reach it.
    def test_starts_a_program_named_outside_the_code_page(self):
        with harness.Session("launcher") as session:
            folder = os.path.join(session.dir, "Мумий Тролль 坂本")
            os.makedirs(folder)
            driver = session.start(["enabled"], cwd=session.dir,
                                   exe=shutil.copy(harness.find_built("list_driver.exe"), folder))
            self.assertEqual(driver.wait_exit(30), 0)
            self.assertEqual(driver.output(), ["Tunewell=missing", "Playlist=missing"])


if __name__ == "__main__":
    harness.main()
