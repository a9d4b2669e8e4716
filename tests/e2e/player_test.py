#!/usr/bin/env python3
"""End-to-end: the running player's window, media keys, hover pictures, transport buttons,
close button and the replacement of an older player by a newer one."""
import os
import struct
import time
import unittest

import harness

SCREEN = (1024, 768)
# Inside the information strip and outside every button's hit box: a resting place for the
# pointer, which must be over a Wine window for keys to reach Wine without a window manager.
NEUTRAL = (170, 12)
PREVIOUS, PLAY, PAUSE, STOP, NEXT = (32, 48), (55, 48), (77, 48), (100, 48), (124, 48)
SEEK_END = (127, 32)  # the position bar's last column that seeks
PLAY_REPAINT_BOX = (44, 37, 66, 60)  # left, top, right, bottom, inclusive
# Long enough that no track ends while a test runs (an end moves on by itself).
TRACK_SECONDS = 600


def read_bmp(path):
    """An uncompressed 24-bit BMP file as {(x, y): (r, g, b)}, y counted from the top."""
    with open(path, "rb") as f:
        blob = f.read()
    if blob[:2] != b"BM":
        raise AssertionError(f"{path} is no bitmap")
    offset = struct.unpack_from("<I", blob, 10)[0]
    width, height, _planes, bits, compression = struct.unpack_from("<iiHHI", blob, 18)
    if bits != 24 or compression != 0:
        raise AssertionError(f"{path}: {bits} bits, compression {compression}")
    stride = (width * 3 + 3) & ~3
    pixels = {}
    for y in range(abs(height)):
        row = offset + (abs(height) - 1 - y if height > 0 else y) * stride
        for x in range(width):
            b, g, r = blob[row + x * 3:row + x * 3 + 3]
            pixels[(x, y)] = (r, g, b)
    return pixels


def box_pixels(table, box):
    left, top, right, bottom = box
    return {(x, y): table[(x, y)] for x in range(left, right + 1) for y in range(top, bottom + 1)}


def shown_pixels(image, box):
    left, top, right, bottom = box
    return {(x, y): image.pixel(x, y) for x in range(left, right + 1) for y in range(top, bottom + 1)}


def actions(player):
    """The commands sent so far without the status queries every pass makes."""
    return [c for c in player.commands() if not c.startswith("status ")]


def new_actions(player, before, count, timeout=10, settle=0.5):
    """Waits for count more action commands after the first `before`, then a little longer so
    that any extra ones show; returns all those after `before`."""
    harness.wait_for(lambda: len(actions(player)) >= before + count, timeout, 0.1)
    time.sleep(settle)
    return actions(player)[before:]


class RunningPlayer(unittest.TestCase):
    """One player on a long track, driven through its cases in order: keys first, while the
    play state is still the start-up one, then hover and buttons, and the close button last."""

    @classmethod
    def setUpClass(cls):
        cls.session = harness.Session("player")
        cls.folder = cls.session.install()
        media = os.path.join(cls.session.dir, "media")
        os.makedirs(media, exist_ok=True)
        cls.path = harness.write_wav(os.path.join(media, "long.wav"), seconds=TRACK_SECONDS)
        cls.track = cls.session.windows_path(cls.path)
        cls.open_command = f'OPEN "{cls.track}" Type MPEGVIDEO ALIAS MP3_1'
        cls.player = cls.session.start([cls.track], cwd=cls.folder)
        cls.geometry = cls.player.wait_window()
        harness.wait_for(lambda: "play MP3_1" in cls.player.commands(), 30, 0.2)
        # The first paint shows the face picture; let it settle before looking at pixels.
        time.sleep(0.5)

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def assert_load_step(self, before, closes=2):
        """The move commands after the first `before` commands: the volume is saved while the
        track is open, the track is closed twice (by the move and by the load step, which still
        sees it open; the end of a track closes it once more first), reopened and started at
        the saved volume."""
        commands = self.player.commands()[before:]
        self.assertIn("close MP3_1", commands)
        start = commands.index("close MP3_1")
        self.assertGreater(start, 0)
        self.assertEqual(commands[start - 1], "status MP3_1 volume")
        self.assertEqual(commands[start:start + closes + 5], ["close MP3_1"] * closes + [
            self.open_command, "status MP3_1 length", "play MP3_1",
            "SetAudio MP3_1 volume to 1000", "status MP3_1 length"])

    def test_1_window_and_first_track(self):
        x, y, width, height = self.geometry
        self.assertEqual((width, height), harness.CLIENT_SIZE)
        self.assertEqual((x, y), (SCREEN[0] // 2 - width // 2, SCREEN[1] // 2 - height // 2))
        self.assertEqual((x, y), (420, 352))
        self.player.capture(os.path.join(self.session.dir, "started.png"))

        first = actions(self.player)
        self.assertEqual(first[:2], [self.open_command, "play MP3_1"])
        self.assertFalse(self.player.mci_calls()[0].refused)

    def test_2_media_keys_act_once_per_press(self):
        player = self.player
        player.hover(*NEUTRAL)
        # Right after start-up the track plays but nothing was pressed yet: the first
        # press only sets the state to playing, the second pauses, the third plays.
        for expected in ("play MP3_1", "pause MP3_1", "play MP3_1"):
            before = len(actions(player))
            player.key("XF86AudioPlay")
            self.assertEqual(new_actions(player, before, 1), [expected])

        # A long hold is still one press: one move to the next track each.
        for _press in range(2):
            before_all, before = len(player.commands()), len(actions(player))
            player.key("XF86AudioNext", hold=0.6)
            moved = new_actions(player, before, 4)
            self.assertEqual(moved.count(self.open_command), 1, moved)
            self.assert_load_step(before_all)

    def test_3_hover_shows_hover_picture_then_normal(self):
        player = self.player
        hover = box_pixels(read_bmp(os.path.join(harness.SOURCE_DIR, "assets", "backmouse.vnb")),
                           PLAY_REPAINT_BOX)
        normal = box_pixels(read_bmp(os.path.join(harness.SOURCE_DIR, "assets", "back.vnb")),
                            PLAY_REPAINT_BOX)
        self.assertNotEqual(hover, normal, "the two skin pictures must differ on the play button")

        player.hover(*PLAY)
        harness.wait_for(lambda: shown_pixels(player.capture(), PLAY_REPAINT_BOX) == hover, 5, 0.2)
        shown = player.capture(os.path.join(self.session.dir, "hover_play.png"))
        self.assertEqual(shown_pixels(shown, PLAY_REPAINT_BOX), hover)

        player.hover(*NEUTRAL)
        harness.wait_for(lambda: shown_pixels(player.capture(), PLAY_REPAINT_BOX) == normal, 5, 0.2)
        shown = player.capture(os.path.join(self.session.dir, "left_play.png"))
        self.assertEqual(shown_pixels(shown, PLAY_REPAINT_BOX), normal)

    def test_4_buttons_send_their_commands(self):
        player = self.player
        for button in (NEXT, PREVIOUS):
            before_all, before = len(player.commands()), len(actions(player))
            player.click(*button)
            moved = new_actions(player, before, 4)
            self.assertEqual(moved.count(self.open_command), 1, moved)
            self.assert_load_step(before_all)

        # Stop only pauses the device; Play after Stop starts from 0, after Pause it resumes.
        for button, expected in ((STOP, "pause MP3_1"), (PLAY, "play MP3_1 from 0"),
                                 (PAUSE, "pause MP3_1"), (PLAY, "play MP3_1")):
            before = len(actions(player))
            player.click(*button)
            self.assertEqual(new_actions(player, before, 1), [expected])

    def test_5_position_bar_drag_seeks_and_the_track_ends(self):
        player = self.player
        before_all = len(player.commands())
        # Column 121 of the bar: 121 steps of a 122nd of the length, a few seconds before the end.
        target = (SEEK_END[0] - 6) * (TRACK_SECONDS * 1000 // 122)
        player.hover(*SEEK_END)
        player.session.xdotool("mousedown", "1")
        player.hover(SEEK_END[0], SEEK_END[1] + 1, 0.2)
        player.session.xdotool("mouseup", "1")
        seek = f"Seek MP3_1 to {target}"
        self.assertTrue(harness.wait_for(lambda: seek in player.commands()[before_all:], 10, 0.1))
        player.hover(*NEUTRAL, 0.1)
        # The end arrives within seconds and moves on to the next row, which wraps to this one.
        after_seek = len(player.commands())

        def reopened():
            commands = player.commands()[after_seek:]
            return self.open_command in commands and len(commands) > commands.index(self.open_command) + 4
        harness.wait_for(reopened, 30, 0.2)
        self.assert_load_step(after_seek, closes=3)

    def test_6_system_close_request_is_not_acted_upon(self):
        player = self.player
        driver = self.session.start([harness.TITLE], cwd=self.session.dir,
                                    exe=harness.find_built("close_driver.exe"))
        self.assertEqual(driver.wait_exit(30), 0)
        self.assertEqual(driver.output(), ["posted 1"])
        # Many passes later the player still runs with its window.
        player.wait_commands(len(player.commands()) + 30)
        self.assertIsNone(player.exit_code())
        self.assertIn(player.window, self.session.windows())

    def test_7_close_button_ends_and_writes_the_playlist(self):
        player = self.player
        list_file = os.path.join(self.session.data_dir, "list.vnp")
        player.request_close()
        self.assertEqual(player.wait_exit(), 0)
        self.assertEqual(actions(player)[-1], "close MP3_1")
        # Only rows of the playlist list are written, and without the playlist window
        # the list has none: the file is made anew and left empty.
        self.assertTrue(os.path.exists(list_file), list_file)
        with open(list_file, "rb") as f:
            self.assertEqual(f.read(), b"")


class SecondStart(unittest.TestCase):
    # A newer player ends the older one with exit code 1 and runs on.
    def test_newer_player_ends_older_one(self):
        with harness.Session("player_second") as session:
            folder = session.install()
            track = session.windows_path(session.samples()[0])
            opened = f'OPEN "{track}" Type MPEGVIDEO ALIAS MP3_1'
            older = session.start([track], cwd=folder)
            older.wait_window()
            self.assertTrue(harness.wait_for(lambda: "play MP3_1" in older.commands(), 30, 0.2))

            newer = session.start([track], cwd=folder)
            self.assertEqual(older.wait_exit(30), 1)
            newer.wait_window()
            self.assertTrue(harness.wait_for(lambda: "play MP3_1" in newer.commands(), 30, 0.2))
            commands = newer.commands()
            self.assertEqual(commands[0], opened)
            self.assertLess(commands.index(opened), commands.index("play MP3_1"))
            # The older player's window goes with its process.
            self.assertTrue(harness.wait_for(lambda: len(session.windows()) == 1, 10, 0.2))
            self.assertIsNone(newer.exit_code())


if __name__ == "__main__":
    harness.main()
