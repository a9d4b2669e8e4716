#!/usr/bin/env python3
"""End-to-end: the information strip of brumby.exe under Wine, read from its font trace and screenshots.

The strip's phases count main-loop passes, so the tests follow the texts the player
draws (with Wine's tick stamps) to know which phase is on screen, never a clock.
"""
import os
import re
import sys
import time
import unittest

import harness

STRIP = (22, 7, 154, 18)
STRIP_GREY = (204, 204, 204)
# The idle text's clearing box ends two columns short of the strip's right edge.
IDLE_CLEARED = (22, 7, 152, 18)
DARK_BELOW = 64

TAGGED = os.path.join(harness.SAMPLES_DIR, "01-morning-light.mp3")
IDLE_TEXT = "Developed by Varnel"
LABELS = ("Name: ", "Artist: ", "Album: ", "Genre: ", "Bitrate: ")
TIME_TEXT = re.compile(r"^(\d\d):(\d\d):(\d\d)/(\d\d):(\d\d):(\d\d)$")
STAMP = re.compile(r"^(\d+)\.(\d{3}):")

CYCLE_PASSES = 9001
TIME_PHASE_PASSES = 1499
IDLE_SHOWN_PASSES = 999
IDLE_CYCLE_PASSES = 1501


class DrawLog:
    """Follows a player's trace as it grows: every text its loop's thread drew, with Wine's tick stamp in
    seconds. Other programs write to the same trace: a system process that crashes while the session
    starts brings up a debugger whose console draws its own texts."""

    def __init__(self, player):
        self.player = player
        self.file = harness.GrowingFile(player.log)
        self.draws = []
        self.marker = None

    def read(self):
        if self.marker is None:
            thread = self.player.main_thread()
            if thread is None:
                return self.draws
            self.marker = f":{thread:04x}:trace:font:NtGdiExtTextOutW "
        for line in self.file.new_lines():
            stamp = STAMP.match(line)
            if stamp is None or self.marker not in line:
                continue
            seconds = int(stamp.group(1)) + int(stamp.group(2)) / 1000
            for draw in harness.parse_font_trace([line[stamp.end():]]):
                self.draws.append((seconds, draw.text))
        return self.draws

    def texts(self):
        return [text for _, text in self.read()]

    def count(self, text):
        return self.texts().count(text)

    def wait_count(self, text, count, timeout):
        """Waits until text was drawn count times; fails the test otherwise."""
        if not harness.wait_for(lambda: self.count(text) >= count, timeout, 0.05):
            raise AssertionError(f"{text!r} drawn {self.count(text)} times, not {count}, within {timeout} s; "
                                 f"last texts {self.texts()[-5:]}")


def timed_session(name):
    """A session whose trace carries the drawn texts and Wine's tick stamps."""
    session = harness.Session(name, trace_fonts=True)
    session.env["WINEDEBUG"] += ",+timestamp"
    return session


def is_dark(colour):
    return max(colour) < DARK_BELOW


def dark_columns(image):
    """For each column that holds dark pixels: (x, top row, bottom row) of them."""
    found = []
    for x in range(image.width):
        rows = [y for y in range(image.height) if is_dark(image.pixel(x, y))]
        if rows:
            found.append((x, rows[0], rows[-1]))
    return found


def glyph_heights(image):
    """Heights of the dark runs of adjacent columns, left to right (a run is a letter or a few touching ones)."""
    heights, run, last_x = [], None, None
    for x, top, bottom in dark_columns(image):
        if run is None or x != last_x + 1:
            if run:
                heights.append(run[1] - run[0] + 1)
            run = [top, bottom]
        else:
            run = [min(run[0], top), max(run[1], bottom)]
        last_x = x
    if run:
        heights.append(run[1] - run[0] + 1)
    return heights


def phase_on_view(texts):
    """The strip phase drawn last: "time", or the last label's name in lower case."""
    if texts and TIME_TEXT.match(texts[-1]):
        return "time"
    labels = [t for t in texts if t in LABELS]
    return labels[-1].strip(": ").lower() if labels else None


def report(message):
    print(message, file=sys.stderr, flush=True)


class TaggedTrackCycle(unittest.TestCase):
    """One full cycle of the strip with the tagged sample playing: trace and screenshots from one run."""

    @classmethod
    def setUpClass(cls):
        cls.session = timed_session("info_strip_tagged")
        try:
            cls.run_cycle()
        except BaseException:
            cls.session.close()
            raise

    @classmethod
    def run_cycle(cls):
        """Plays the tagged sample through one cycle and a restart, capturing the strip in each phase."""
        track = cls.session.windows_path(TAGGED)
        cls.player = cls.session.start([track])
        cls.player.wait_window()
        log = DrawLog(cls.player)
        cls.shots = []
        # Each phase is captured once its first drawing shows in the trace; the first name
        # is drawn by the very first pass and must survive the window's first paint, the
        # second belongs to the restarted cycle.
        steps = [("name", "Name: ", 1), ("artist", "Artist: ", 1), ("album", "Album: ", 1), ("genre", "Genre: ", 1),
                 ("bitrate", "Bitrate: ", 1), ("time", None, 1), ("name", "Name: ", 2)]
        for phase, label, count in steps:
            if label is None:
                if not harness.wait_for(lambda: phase_on_view(log.texts()) == "time", 40, 0.05):
                    raise AssertionError(f"no time text drawn; last texts {log.texts()[-3:]}")
            else:
                log.wait_count(label, count, 40)
            time.sleep(0.3)
            shot = cls.player.region(*STRIP)
            shot.save(os.path.join(cls.session.dir, f"strip-{len(cls.shots)}-{phase}.png"))
            cls.shots.append((phase, shot, phase_on_view(log.texts())))
        cls.draws = log.read()

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def cycle_texts(self):
        """Texts of the first cycle: from the first name label up to (not including) the second."""
        texts = [text for _, text in self.draws]
        second = texts.index("Name: ", 1)
        return texts[:second], texts[second:]

    def test_trace_carries_labels_values_then_time_and_restarts(self):
        cycle, after = self.cycle_texts()
        self.assertNotIn(IDLE_TEXT, cycle + after, "idle text drawn although a playable file was given")
        times = cycle[10:]
        self.assertTrue(times, f"no time texts after the bit rate: {cycle}")
        total = TIME_TEXT.match(times[0])
        self.assertIsNotNone(total, times[0])
        length_seconds = int(total.group(4)) * 3600 + int(total.group(5)) * 60 + int(total.group(6))
        self.assertGreater(length_seconds, 0)
        kbps = (os.path.getsize(TAGGED) * 8 // 1000) // length_seconds
        self.assertTrue(60 <= kbps <= 130, kbps)
        self.assertEqual(cycle[:10], ["Name: ", "Morning Light", "Artist: ", "Tunewell Band", "Album: ", "First Light",
                                      "Genre: ", "Electronic ", "Bitrate: ", f"{kbps} kbps"])
        self.assertEqual(after[:2], ["Name: ", "Morning Light"], "the cycle did not restart with the name")

        # The time is redrawn on every pass of its phase while the track plays (and reloads at its end).
        self.assertEqual(len(times), TIME_PHASE_PASSES, times[:3])
        elapsed = []
        for text in times:
            m = TIME_TEXT.match(text)
            self.assertIsNotNone(m, text)
            self.assertEqual(text.split("/")[1], times[0].split("/")[1], "the total changed within the phase")
            elapsed.append(int(m.group(1)) * 3600 + int(m.group(2)) * 60 + int(m.group(3)))
            self.assertLessEqual(elapsed[-1], length_seconds, text)
        self.assertGreater(len(set(elapsed)), 1, "the elapsed time did not move during its phase")

        stamps = [stamp for stamp, text in self.draws if text == "Name: "]
        seconds = stamps[1] - stamps[0]
        if seconds > 0:
            report(f"strip cycle: {CYCLE_PASSES} passes in {seconds:.2f} s = {CYCLE_PASSES / seconds:.0f} passes/s "
                   f"({1000 * seconds / CYCLE_PASSES:.2f} ms a pass)")

    def test_screenshots_show_each_phase_as_dark_text_on_grey(self):
        previous = None
        for phase, shot, on_view_after_shot in self.shots:
            with self.subTest(phase=phase):
                self.assertEqual(on_view_after_shot, phase, "the phase ended before the screenshot")
                colours = shot.colours()
                self.assertIn(STRIP_GREY, colours)
                self.assertTrue(any(is_dark(c) for c in colours), f"no dark text pixels: {sorted(colours)[:5]}")
                if previous is not None:
                    self.assertNotEqual(shot.data, previous.data, "the strip did not change at the phase boundary")
                # Every dark pixel lies in the one text line that starts at y 9 (row 2 of the strip).
                columns = dark_columns(shot)
                self.assertGreaterEqual(min(top for _, top, _ in columns), 2)
                if phase == "time":
                    # The time has no label and starts further right, at x 43.
                    self.assertGreaterEqual(min(x for x, _, _ in columns), 43 - STRIP[0])
                else:
                    # Starts at x 26; the label's first letter is in the small font, the value has taller ones.
                    self.assertGreaterEqual(min(x for x, _, _ in columns), 26 - STRIP[0])
                    heights = glyph_heights(shot)
                    self.assertGreater(len(heights), 3, heights)
                    self.assertLess(heights[0], max(heights), heights)
            previous = shot


class IdleText(unittest.TestCase):
    # With nothing to play, the idle text blinks: drawn on 999 passes, then the strip is cleared.
    def test_idle_text_is_drawn_then_cleared(self):
        with timed_session("info_strip_idle") as session:
            player = session.start()
            player.wait_window()
            log = DrawLog(player)
            log.wait_count(IDLE_TEXT, 1, 30)
            time.sleep(0.3)
            shown = player.region(*STRIP)
            shown.save(os.path.join(session.dir, "strip-idle-shown.png"))
            self.assertTrue(any(is_dark(c) for c in shown.colours()), "idle text not on screen")

            # The clear period has begun once the text stops being drawn; the shot counts when
            # no draw came in between.
            cleared = None
            end = time.monotonic() + 30
            while cleared is None and time.monotonic() < end:
                before = log.count(IDLE_TEXT)
                time.sleep(0.25)
                if log.count(IDLE_TEXT) != before:
                    continue
                shot = player.region(*STRIP)
                if log.count(IDLE_TEXT) == before:
                    cleared = shot
            self.assertIsNotNone(cleared, "no screenshot fell inside a clear period")
            cleared.save(os.path.join(session.dir, "strip-idle-cleared.png"))
            x, y, w, h = IDLE_CLEARED
            self.assertEqual(cleared.region(x - STRIP[0], y - STRIP[1], w, h).colours(), {STRIP_GREY})

            # The next blink starts after the clear period: bursts of drawing split by a gap.
            log.wait_count(IDLE_TEXT, log.count(IDLE_TEXT) + 10, 30)
            stamps = [stamp for stamp, text in log.read() if text == IDLE_TEXT]
            gaps = [b - a for a, b in zip(stamps, stamps[1:])]
            longest = max(range(len(gaps)), key=gaps.__getitem__)
            self.assertEqual(longest + 1, IDLE_SHOWN_PASSES, "first burst of idle text draws")
            period = stamps[IDLE_SHOWN_PASSES] - stamps[0]
            if period > 0:
                report(f"idle blink: {IDLE_CYCLE_PASSES} passes in {period:.2f} s = "
                       f"{IDLE_CYCLE_PASSES / period:.0f} passes/s")


if __name__ == "__main__":
    harness.main()
