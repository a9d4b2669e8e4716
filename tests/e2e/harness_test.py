#!/usr/bin/env python3
"""Checks the harness's readers of Wine's trace output and of screenshots, and the random user's
reading of what a row shows (no Wine needed)."""
import os
import tempfile
import unittest

import harness
import random_use

OPEN_LINE = ('0104:trace:mci:mciSendStringW (L"OPEN \\"Z:\\\\tmp\\\\a \\"b\\".mp3\\" Type MPEGVIDEO ALIAS MP3_1", '
             '0000000000000000, 0, 0000000000000000)')


class MciTrace(unittest.TestCase):
    # Commands come out decoded and in order; Wine's own auto-open is left out;
    # a bare "=> <hex>" result or an unknown verb marks the command refused.
    def test_commands_results_and_noise(self):
        lines = [
            "0104:trace:mci:MCI_GetCommandTable => 0",
            OPEN_LINE,
            "0104:trace:mci:mciLoadCommandResource => 0001",
            "0104:trace:mci:mciSendStringW => 1/ 0 ((null))",
            '0104:trace:mci:mciSendStringW (L"status MP3_1 volume", 00000000003820E0, 260, 0000000000000000)',
            '0104:trace:mci:mciSendStringW (L"open mp3_1 wait", 000000000021F9C4, 6, 0000000000000000)',
            "0104:trace:mci:mciSendStringW => 105",
            '0104:trace:mci:mciSendStringW (L"bogus MP3_1", 0000000000000000, 0, 0000000000000000)',
            '0104:trace:mci:mciSendStringW Command L"bogus" not found!',
            '0104:trace:mci:mciSendStringW (L"play MP3_1", 0000000000000000, 0, 0000000000000000)',
            "0104:trace:font:NtGdiExtTextOutW 0x7010057, 43, 9, 00001000, (null), L\"x\", 1, (nil))",
        ]
        calls = harness.parse_mci_trace(lines)
        self.assertEqual([c.command for c in calls],
                         ['OPEN "Z:\\tmp\\a "b".mp3" Type MPEGVIDEO ALIAS MP3_1', "status MP3_1 volume",
                          "bogus MP3_1", "play MP3_1"])
        self.assertEqual([c.refused for c in calls], [False, True, True, False])
        self.assertIsNone(calls[0].result)

    def test_a_call_whose_header_was_lost_still_counts(self):
        calls = harness.parse_mci_trace([
            "0104:trace:mci:mciSendStringW => 105",
            '(L"close MP3_1", 0000000000000000, 0, 0000000000000000)',
            "0104:trace:mci:mciSendStringW => 1/ 0 ((null))"])
        self.assertEqual([c.command for c in calls], ["close MP3_1"])

    def test_refused_result_after_the_command(self):
        calls = harness.parse_mci_trace([
            '0104:trace:mci:mciSendStringW (L"status MP3_1 volume", 00000000003820E0, 260, 0000000000000000)',
            "0104:trace:mci:mciSendStringW => 105"])
        self.assertEqual((calls[0].result, calls[0].refused), (0x105, True))

    # What a hung player waits in: per thread, the last command without a result after it. The
    # loop's answered queries and a device thread left behind earlier show as they are.
    def test_commands_still_waiting_for_their_result(self):
        lines = [
            '0104:trace:mci:mciSendStringW (L"play MP3_1", 0000000000000000, 0, 0000000000000000)',
            '0200:trace:mci:mciSendStringW (L"close MP3_1", 0000000000000000, 0, 0000000000000000)',
            "0104:trace:mci:mciSendStringW => 0",
            '0104:trace:mci:mciSendStringW (L"status MP3_1 volume", 00000000003820E0, 260, 0000000000000000)',
            "0104:trace:mci:mciSendStringW => 105",
            '0300:trace:mci:mciSendStringW (L"OPEN \\"Z:\\\\b.mp3\\" Type MPEGVIDEO ALIAS MP3_1", '
            '0000000000000000, 0, 0000000000000000)',
            "0300:trace:mci:mciSendStringW => 0",
            '0400:trace:mci:mciSendStringW (L"close MP3_1", 0000000000000000, 0, 0000000000000000)',
            "0400:trace:mci:MCI_Close (0001, 00000000, 00007FFFFF92FCE0)",
            "0400:trace:mci:mciSendStringW => 1/ 0 ((null))",
            '0300:trace:mci:mciSendStringW (L"pause MP3_1", 0000000000000000, 0, 0000000000000000)']
        self.assertEqual(harness.unanswered_mci_calls(lines), [("0200", "close MP3_1"), ("0300", "pause MP3_1")])
        self.assertEqual(harness.unanswered_mci_calls(lines[:3]), [("0200", "close MP3_1")])


class WideStrings(unittest.TestCase):
    # Escapes: quote, backslash, control characters, code points beyond ASCII, and Wine's cut-off mark.
    def test_escapes_and_cut(self):
        text = 'x L"a\\"b\\\\c\\r\\n\\t\\00e9\\x41" rest'
        self.assertEqual(harness.decode_debugstr(text, 2), ('a"b\\c\r\n\t\u00e9A', len(text) - 5, False))
        self.assertEqual(harness.decode_debugstr('L"long"...', 0), ("long", 7, True))
        with self.assertRaises(ValueError):
            harness.decode_debugstr('L"open', 0)


class FontTrace(unittest.TestCase):
    def test_texts_with_positions(self):
        draws = harness.parse_font_trace([
            '00f8:trace:font:NtGdiExtTextOutW 0x7010057, 43, 9, 00001000, (null), L"00:00:01/00:03:20", 17, (nil))',
            "00f8:trace:font:NtGdiExtTextOutW align = 0 bkmode = 2 mapmode = 1",
            '00f8:trace:font:NtGdiExtTextOutW 0x7010057, -2, 30, 00000000, 0x1, L"Name: \\"x\\"", 9, (nil))',
            '00ec:trace:font:NtGdiExtTextOutW 0x8010085, 0, 24, 00001004, (0,0)-(247,96), L"Line: 27", 8, (nil))',
        ])
        self.assertEqual([(d.x, d.y, d.text) for d in draws],
                         [(43, 9, "00:00:01/00:03:20"), (-2, 30, 'Name: "x"'), (0, 24, "Line: 27")])


class Pictures(unittest.TestCase):
    # PPM headers may carry comments; regions are clipped to the picture.
    def test_ppm_pixels_and_regions(self):
        data = bytes(range(2 * 3 * 3))
        image = harness.Image.from_ppm(b"P6\n# made by a test\n3 2\n255\n" + data)
        self.assertEqual((image.width, image.height), (3, 2))
        self.assertEqual(image.pixel(2, 1), (15, 16, 17))
        part = image.region(1, 1, 5, 5)
        self.assertEqual((part.width, part.height, part.pixel(0, 0)), (2, 1, (12, 13, 14)))

    def test_sixteen_bit_pictures_are_refused(self):
        with self.assertRaises(AssertionError):
            harness.Image.from_ppm(b"P6 1 1 65535\n" + bytes(6))


class RowTexts(unittest.TestCase):
    # A row shows the file name without its last extension, or once loaded the tag's "artist - title",
    # read as the player reads it: runs of the last 125 bytes, plain text only, both present.
    def test_names_and_tags(self):
        self.assertEqual([random_use.entry_name(n) for n in ("two.dots.MP3", "README", "end.", ".ogg")],
                         ["two.dots", "README", "end.", ""])
        samples = harness.SAMPLES_DIR
        self.assertEqual(random_use.tag_label(os.path.join(samples, "01-morning-light.mp3")),
                         "Tunewell Band - Morning Light")
        self.assertIsNone(random_use.tag_label(os.path.join(samples, "03-little-bells.wav")))
        with tempfile.TemporaryDirectory() as folder:
            cases = {"title only": b"T" + b"\0" * 124, "short": b"Ti" + b"\0" * 28 + b"Ar" + b"\0" * 93,
                     "not text": b"T\xf0tle\0" + b"\0" * 24 + b"Artist" + b"\0" * 90}
            labels = {}
            for name, tail in cases.items():
                path = os.path.join(folder, name)
                with open(path, "wb") as f:
                    f.write(b"\xff" * 300 + tail)
                labels[name] = random_use.tag_label(path)
        self.assertEqual(labels, {"title only": None, "short": "Ar - Ti", "not text": None})


if __name__ == "__main__":
    unittest.main(verbosity=2)
