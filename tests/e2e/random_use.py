"""A seeded random user of the real player under Wine: clicks on every button and hit box of both
windows, right clicks and the options menu's items (the maker's pages left out), media keys and
Delete pressed and held, drops of mixed files, answers to the file dialog, drags of the face with
and without collision detection, minimise and restore, and time for tracks to end.

    media = make_media(folder)                      # tracks of every type, other files, folders
    use = RandomUse(session, player, folder, media, seed)
    use.run(seconds)                                # every kind of action once, then random ones
    use.finish()                                    # the close button; the saved list is the rows shown

It fails (Broken) on a crash, a hang (the session's watchdog: the player's windows unanswered for
10 s) or a saved list that is not the rows shown at the close, with the seed and the last actions. The end-to-end tests give it a minute
in an existing session; bench/soak.py gives it half an hour."""
import os
import random
import re
import shutil
import subprocess
import time
from collections import deque

import harness
import xdnd

# Hit boxes of the face's buttons (strict bounds: left < x < right, top < y < bottom), the close
# button apart: only the end uses it.
BUTTONS = {"minimise": (8, 16, 16, 24), "previous": (23, 39, 41, 58), "play": (46, 39, 64, 58),
           "pause": (68, 39, 87, 58), "stop": (92, 39, 110, 58), "next": (116, 39, 132, 58),
           "playlist": (145, 41, 159, 56)}
CLOSE = (8, 6, 16, 14)
SEEK_BAR, VOLUME_BAR, BAR_Y = (8, 127), (133, 178), (29, 35)
NEUTRAL = (170, 12)  # inside the information strip, on no button
# The playlist window below the face, in face coordinates: its list, its bottom bar's buttons.
PLAYLIST_TOP = 64
LIST_AREA = (12, PLAYLIST_TOP + 10, 172, PLAYLIST_TOP + 178)
BAR_BUTTONS = {"add": (19, 39), "remove": (45, 69), "clear": (73, 95)}
BAR_ROWS = (PLAYLIST_TOP + 184, PLAYLIST_TOP + 199)
MEDIA_KEYS = ("XF86AudioPlay", "XF86AudioNext", "XF86AudioPrev", "XF86AudioStop")
# What a user may do with the options menu, by the Down presses that reach its item (separators are
# skipped): the maker's pages (4 and 5) are left out.
MENU_CHOICES = {"dismiss": 0, "always on top": 1, "collision": 2, "animation": 3, "about": 6}
ABOUT_TITLE = "About Tunewell"
HANG_SECONDS = 10
# Tracks of every type the player takes, a few seconds long, under names of every sort.
SAMPLE_COPIES = (("01-morning-light.mp3", "morning.mp3"), ("02-evening-tide.ogg", "Tide.OGG"),
                 ("03-little-bells.wav", "bells.wav"), ("04-clockwork.mid", "clock.mid"),
                 ("01-morning-light.mp3", "two.dots.MP3"), ("03-little-bells.wav", "Bj\u00f6rk - J\u00f3ga.wav"),
                 ("04-clockwork.mid", "\u041c\u0443\u043c\u0438\u0439 - \u5742\u672c.mid"))


class Broken(AssertionError):
    """The player crashed, hung, or saved another list than it showed."""


class WineFault(Exception):
    """Under Wine 10 a media device the player gave up left freed memory behind that Wine's next
    use of the device faulted on (docs/wine.md): the player ends through its fault path."""


def make_media(folder, extra_tracks=()):
    """The files a random user drops and chooses, below folder: tracks (the samples under names
    of every sort, a short WAV, and extra_tracks, copied in), other files and folders. Returns
    {"tracks": [...], "others": [...], "folders": [...]} as Unix paths."""
    os.makedirs(folder, exist_ok=True)
    tracks = []
    for sample, name in SAMPLE_COPIES:
        tracks.append(shutil.copy(os.path.join(harness.SAMPLES_DIR, sample), os.path.join(folder, name)))
    tracks.append(harness.write_wav(os.path.join(folder, "short.wav"), 1.5))
    tracks += [shutil.copy(track, folder) for track in extra_tracks]
    others = [os.path.join(folder, "notes.txt"), os.path.join(folder, "gone.mp3")]
    with open(others[0], "w") as f:
        f.write("not audio")
    folders = [os.path.join(folder, name) for name in ("Album", "Live.mp3")]
    for path in folders:
        os.makedirs(path, exist_ok=True)
    return {"tracks": tracks, "others": others, "folders": folders}


def tag_label(path):
    """The "artist - title" a loaded track's row shows, read as the player reads an ID3v1 tag from the
    last 125 bytes; None when the tag counts as missing (the row keeps its file name)."""
    try:
        with open(path, "rb") as f:
            f.seek(0, os.SEEK_END)
            f.seek(max(0, f.tell() - 125))
            window = f.read(125) + b"\0"
    except OSError:
        return None
    title, at = b"", 0
    while at < 125 and window[at]:
        title += window[at:at + 1]
        at += 1
    while at < 125 and not window[at]:
        at += 1
    artist = b""
    while at < 125 and window[at]:
        artist += window[at:at + 1]
        at += 1
    plain = all(c <= 123 for c in title) and all(c <= 123 for c in artist[:len(title)])
    if not plain or not title or not artist:
        return None
    return f"{artist.decode('cp1252')} - {title.decode('cp1252')}"


def entry_name(name):
    """A file name without its last extension, as a row shows it."""
    stem, dot, extension = name.rpartition(".")
    return stem if dot and extension else name


class RandomUse:
    def __init__(self, session, player, folder, media, seed):
        """folder: where the list driver is started from (an installation folder)."""
        self.session, self.player, self.folder, self.media = session, player, folder, media
        self.seed = seed
        self.random = random.Random(seed)
        self.actions = 0
        self.recent = deque(maxlen=16)
        self.collision = True
        self.started = time.monotonic()
        self.every, self.each, self.next_call = None, 0.0, 0.0

    # What is on the screen

    def face(self):
        """The face's (x, y, width, height): the iconic stub's while it is minimised."""
        found = self.player.windows()
        geometry = found and self.session.geometry(found[-1])
        if not geometry:
            self.broken("the face is gone")
        self.player.window = found[-1]
        return geometry

    def playlist_shown(self):
        return bool(self.player.windows("Playlist"))

    def others_shown(self):
        """The player's windows besides the face and the playlist: a menu, the dialog, the about box."""
        found = []
        for window in self.player.windows(None):
            name = self.session.xdotool("getwindowname", window).strip()
            if name not in (harness.TITLE, "Playlist", "Default IME"):
                found.append((window, name))
        return found

    # Bookkeeping

    def note(self, text):
        self.actions += 1
        self.recent.append(f"{time.monotonic() - self.started:6.1f} s: {text}")

    def broken(self, what):
        raise Broken(f"{what} (seed {self.seed}, {self.actions} actions); last actions:\n  " +
                     "\n  ".join(self.recent) + f"\n{self.session.describe()}")

    def check(self):
        """A crash (the process ended, or its fault box is up) or a hang (the session's watchdog found
        the player's windows unanswered for 10 s) fails the run."""
        code = self.player.exit_code()
        if (code == 0xC0000005 or self.player.windows("Debugger")) and self.device_given_up():
            self.note("Wine's device faulted after one was given up")
            raise WineFault("\n  ".join(self.recent))
        if code is not None:
            self.broken(f"the player ended with exit code {code:#x}")
        if self.player.windows("Debugger"):
            self.broken("the player's fault box is up")
        hung = self.session.watchdog.hung()
        if hung:
            self.broken(hung)

    # Gestures

    def pick_in(self, box):
        left, top, right, bottom = box
        return self.random.randint(left + 1, right - 1), self.random.randint(top + 1, bottom - 1)

    def pointer_on_face(self):
        """Keys reach Wine only while the pointer is over one of its windows."""
        self.player.hover(*NEUTRAL, 0.05)

    def click(self, x, y, double=False):
        (self.player.double_click if double else self.player.click)(x, y, settle=0.15)

    def drag(self, start, steps, dx, dy):
        """The left button held at start (face coordinates), the pointer moved by (dx, dy) in steps."""
        self.player.hover(*start, 0.1)
        sx, sy = self.player.to_screen(*start)
        self.session.xdotool("mousedown", "1")
        time.sleep(0.15)  # a pass sees the press with the pointer still there
        for step in range(1, steps + 1):
            self.session.xdotool("mousemove", sx + dx * step // steps, sy + dy * step // steps)
            time.sleep(0.03)
        self.session.xdotool("mouseup", "1")
        self.player.pointer = None
        time.sleep(0.2)

    def wait_other(self, name=None, timeout=5):
        """Waits for a menu, dialog or box (named so when name is given); returns its window."""
        def shown():
            return [w for w, n in self.others_shown() if name is None or n == name]
        found = harness.wait_for(shown, timeout, 0.1)
        return found[-1] if found else None

    def keys_on(self, window, *keys):
        """Keys to a window, the pointer put over it first (unless window is None: a menu, which opened
        under the pointer, whose items the pointer would choose)."""
        if window is not None:
            x, y, width, height = self.session.geometry(window) or (0, 0, 1, 1)
            self.session.xdotool("mousemove", "--sync", x + width // 2, y + min(10, height // 2))
        for key in keys:
            self.session.xdotool(*key) if isinstance(key, tuple) else self.session.xdotool("key", key)
            time.sleep(0.05)

    def dismiss_others(self):
        """Closes whatever a gesture left open: a menu or a dialog (Escape), the about box."""
        for _ in range(5):
            left = self.others_shown()
            if not left:
                return
            for window, name in left:
                if name == ABOUT_TITLE:
                    closer = self.session.start([ABOUT_TITLE], cwd=self.session.dir,
                                                exe=harness.find_built("close_driver.exe"))
                    closer.wait_exit(30)
                elif name != "Debugger":
                    self.keys_on(window, "Escape")
            harness.wait_for(lambda: not self.others_shown(), 3, 0.1)
        self.player.pointer = None

    # Actions

    def press_button(self, face, name=None):
        name = name or self.random.choice(sorted(BUTTONS))
        x, y = self.pick_in(BUTTONS[name])
        double = self.random.random() < 0.1
        self.note(f"{'double click' if double else 'click'} {name} at {x},{y}")
        self.click(x, y, double)
        if name == "minimise":
            harness.wait_for(lambda: self.face()[2:] != harness.CLIENT_SIZE, 5, 0.1)
        if name == "playlist" and self.wait_other(timeout=0.5):
            self.answer_dialog()

    def click_anywhere(self, face):
        while True:
            x, y = self.random.randrange(harness.CLIENT_SIZE[0]), self.random.randrange(harness.CLIENT_SIZE[1])
            if not (CLOSE[0] <= x <= CLOSE[2] and CLOSE[1] <= y <= CLOSE[3]):
                break
        self.note(f"click the face at {x},{y}")
        self.click(x, y)
        if self.face()[2:] != harness.CLIENT_SIZE:
            return
        if self.wait_other(timeout=0.5):
            self.answer_dialog()

    def hover(self, face):
        x, y = self.random.randrange(184), self.random.randrange(PLAYLIST_TOP + 205)
        self.note(f"hover at {x},{y}")
        self.player.hover(x, y, self.random.uniform(0.1, 1.0))

    def use_menu(self, face, choice=None):
        on_frame = self.playlist_shown() and self.random.random() < 0.4
        at = (4, PLAYLIST_TOP + self.random.randint(20, 170)) if on_frame else (60, 30)
        choice = choice or self.random.choice(sorted(MENU_CHOICES))
        self.note(f"right click at {at[0]},{at[1]}: {choice}")
        self.player.hover(*at, 0.1)
        self.session.xdotool("click", "3")
        menu = self.wait_other(timeout=3)
        if menu is None:
            return
        keys = ["Down"] * MENU_CHOICES[choice]
        if choice == "animation":
            keys += ["Right"] + ["Down"] * self.random.randint(0, 2)
        keys.append("Escape" if choice == "dismiss" else "Return")
        self.keys_on(None, *keys)
        if choice == "collision":
            self.collision = not self.collision
        if choice == "about" and self.wait_other(ABOUT_TITLE, 15):
            time.sleep(self.random.uniform(0.2, 2.0))
        self.dismiss_others()

    def answer_dialog(self):
        """The open-file dialog: one file, several from its folder, or cancelled."""
        dialog = self.wait_other("", 10)
        if dialog is None:
            return
        ascii_tracks = [t for t in self.media["tracks"] if os.path.basename(t).isascii()]
        roll = self.random.random()
        if roll < 0.4:
            path = self.random.choice(ascii_tracks)
            self.note(f"the dialog takes {os.path.basename(path)}")
            keys = [("type", "--delay", "10", self.session.windows_path(path)), "Return"]
        elif roll < 0.75:
            names = self.random.sample([os.path.basename(t) for t in ascii_tracks], self.random.randint(2, 3))
            self.note(f"the dialog takes {names}")
            folder = self.session.windows_path(os.path.dirname(ascii_tracks[0])) + "\\"
            keys = [("type", "--delay", "10", folder), "Return",
                    ("type", "--delay", "10", " ".join(f'"{n}"' for n in names)), "Return"]
        else:
            self.note("the dialog is cancelled")
            keys = ["Escape"]
        self.keys_on(dialog, *keys)
        if not harness.wait_for(lambda: not self.others_shown(), 10, 0.1):
            self.dismiss_others()
        self.player.pointer = None

    def use_playlist(self, face, what=None):
        if not self.playlist_shown():
            return self.press_button(face, "playlist")
        roll = self.random.random()
        if what is None and roll < 0.45:
            x, y = self.random.randint(LIST_AREA[0], LIST_AREA[2]), self.random.randint(LIST_AREA[1], LIST_AREA[3])
            double = self.random.random() < 0.4
            self.note(f"{'double click' if double else 'click'} the list at {x},{y}")
            self.click(x, y, double)
        else:
            name = what or self.random.choice(("add", "add", "remove", "remove", "clear"))
            x, y = self.random.randint(*BAR_BUTTONS[name]), self.random.randint(*BAR_ROWS)
            self.note(f"click {name} at {x},{y}")
            self.click(x, y)
            if name == "add":
                self.answer_dialog()

    def press_key(self, face):
        key = self.random.choice(MEDIA_KEYS + ("Delete", "Delete", "a"))
        hold = self.random.choice((0.05, 0.1, 0.3, 1.0))
        self.note(f"{key} held {hold} s")
        if self.playlist_shown() and key == "Delete" and self.random.random() < 0.5:
            self.player.hover(self.random.randint(20, 150), self.random.randint(LIST_AREA[1], LIST_AREA[3]), 0.05)
        else:
            self.pointer_on_face()
        self.player.key(key, hold=hold, settle=0.1)

    def drag_face(self, face):
        """By the top band; past a screen edge only when collision detection brings the face back."""
        width, height = self.session.display.size
        x, y = face[:2]
        steps = self.random.randint(1, 12)
        if self.collision and self.random.random() < 0.3:
            dx, dy = self.random.choice(((width, 0), (-width, 0), (0, height), (0, -height)))
        else:
            dx = self.random.randint(0, width - 184) - x
            dy = self.random.randint(0, height - PLAYLIST_TOP - 205) - y
        grab = (self.random.randint(22, 183), self.random.randint(0, 4))
        self.note(f"drag the face by {dx},{dy} in {steps} steps (collision {'on' if self.collision else 'off'})")
        self.drag(grab, steps, dx, dy)

    def drag_bar(self, face):
        left, right = self.random.choice((SEEK_BAR, VOLUME_BAR))
        start = (self.random.randint(left, right), self.random.randint(*BAR_Y))
        dx = self.random.randint(left, right) - start[0]
        self.note(f"drag along a bar from {start[0]} by {dx}")
        self.drag(start, self.random.randint(1, 6), dx, 0)

    def drop(self, face):
        media = self.media
        paths = [self.random.choice(media["tracks"] + media["tracks"] + media["others"] + media["folders"])
                 for _ in range(self.random.randint(1, 5))]
        on_playlist = self.playlist_shown() and self.random.random() < 0.5
        window = self.player.windows("Playlist")[-1] if on_playlist else self.player.window
        x, y = self.player.to_screen(90, PLAYLIST_TOP + 100) if on_playlist else self.player.to_screen(100, 20)
        self.note(f"drop on the {'playlist' if on_playlist else 'face'}: {[os.path.basename(p) for p in paths]}")
        try:
            xdnd.drop_files(self.session.display.name, int(window), x, y, paths)
        except xdnd.DropRefused as refused:
            self.note(f"drop refused: {refused}")

    def restore(self, face):
        """A click on the minimised face's icon and Return, as its task bar button would."""
        self.note("restore the face")
        self.session.xdotool("mousemove", "--sync", face[0] + 20, face[1] + 10)
        self.session.xdotool("click", "1")
        time.sleep(0.2)
        self.session.xdotool("key", "Return")
        harness.wait_for(lambda: self.face()[2:] == harness.CLIENT_SIZE, 5, 0.1)
        self.player.pointer = None

    def idle(self, face):
        seconds = self.random.uniform(0.5, 4.0)
        self.note(f"idle {seconds:.1f} s")
        time.sleep(seconds)

    ACTIONS = ((press_button, 22), (click_anywhere, 5), (hover, 6), (use_menu, 7), (use_playlist, 16),
               (press_key, 12), (drag_face, 6), (drag_bar, 4), (drop, 10), (idle, 6))

    def act(self, action=None):
        """One action, the given one or one picked at random, and whatever it left open closed."""
        face = self.face()
        self.player.origin = face[:2]
        if face[2:] != harness.CLIENT_SIZE:
            return self.restore(face) if action or self.random.random() < 0.6 else self.press_key(face)
        if action is None:
            action = self.random.choices([a for a, _ in self.ACTIONS], [w for _, w in self.ACTIONS])[0]
        action(self, face)
        self.dismiss_others()
        self.check()
        if self.every and time.monotonic() >= self.next_call:
            self.every()
            self.next_call += self.each

    def tour(self):
        """Every kind of action once, each menu item and the dialog included: what the system keeps
        from a first use (the dialog's icons, the menus, the about box's) is paid for up front."""
        for choice in MENU_CHOICES:
            self.act(lambda use, face: use.use_menu(face, choice))
        self.act(lambda use, face: use.use_playlist(face))
        for what in ("add", "remove", "clear", "add"):
            self.act(lambda use, face: use.use_playlist(face, what))
        self.act(lambda use, face: use.press_button(face, "minimise"))
        for action, _ in self.ACTIONS:
            self.act(action)

    def run(self, seconds, every=None, each=15.0):
        """The tour, then random actions until `seconds` have passed since the start; every() is
        called each `each` seconds."""
        self.every, self.each, self.next_call = every, each, time.monotonic() + each
        self.tour()
        while time.monotonic() < self.started + seconds:
            self.act()

    def finish(self):
        """The close button, the face restored first; the saved list must be the rows shown then.
        Returns the rows."""
        self.dismiss_others()
        for _ in range(3):
            face = self.face()
            if face[2:] == harness.CLIENT_SIZE:
                break
            self.restore(face)
        self.player.origin = self.face()[:2]
        rows = harness.rows_shown(self.session, self.folder, HANG_SECONDS)
        if rows is None:
            self.broken(f"the player did not answer for {HANG_SECONDS} s before the close")
        self.note("close")
        self.player.request_close()
        try:
            code = self.player.wait_exit(30)
        except AssertionError:
            self.broken("the player did not end after the close button")
        if code != 0:
            self.broken(f"the close ended with exit code {code:#x}")
        with open(os.path.join(self.session.data_dir, "list.vnp"), "rb") as f:
            lines = f.read().decode("cp1252").split("\r\n")
        if lines[-1] != "":
            self.broken(f"the saved list does not end its last line: {lines[-1]!r}")
        lines = lines[:-1]
        if len(lines) != len(rows) or any(not self.shows(row, line) for row, line in zip(rows, lines)):
            self.broken(f"the saved list {lines} is not the rows shown at the close {rows}")
        return rows

    def device_given_up(self):
        """A device that stopped answering was left behind: the aliases opened after it are renamed."""
        return any(c.startswith("OPEN ") and not c.endswith("ALIAS MP3_1") for c in self.player.commands())

    def end_after_wine_fault(self):
        """After a WineFault: the fault box's OK clicked, the player ended with the fault's code, and
        the list file, saved when the device was given up, is whole: every line a track's path."""
        for box in self.player.windows("Debugger"):
            x, y, width, height = self.session.geometry(box)
            self.session.xdotool("mousemove", "--sync", x + width // 2, y + height - 22)
            self.session.xdotool("click", "1")
        if self.player.wait_exit(20) != 0xC0000005:
            self.broken("the player did not end with the fault's code after Wine's fault")
        with open(os.path.join(self.session.data_dir, "list.vnp"), "rb") as f:
            lines = f.read().decode("cp1252").split("\r\n")
        if lines[-1] != "" or any(os.path.splitext(line)[1].lower() not in (".mp3", ".wav", ".ogg", ".mid")
                                  for line in lines[:-1]):
            self.broken(f"the list file kept at the give-up is not whole: {lines}")

    def shows(self, row, line):
        """Whether a row's text is what the player shows for the saved path: its file name without the
        extension (the long name of a short form), or its tag's artist and title."""
        unix = self.unix_path(line)
        return row in (entry_name(os.path.basename(unix)), tag_label(unix))

    def unix_path(self, windows_path):
        if "~" not in windows_path and windows_path.startswith("Z:"):
            return windows_path[2:].replace("\\", "/")
        done = subprocess.run(["winepath", "-u", windows_path], env=self.session.env, capture_output=True,
                              text=True, timeout=60)
        return done.stdout.strip()
