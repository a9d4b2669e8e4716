#!/usr/bin/env python3
"""End-to-end: what brumby.exe does when it starts with a file on its command line."""
import os
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


if __name__ == "__main__":
    harness.main()
