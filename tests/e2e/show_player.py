#!/usr/bin/env python3
"""Runs the installed player on a virtual display and tells what it saw (used by scripts/run.sh).

Usage: show_player.py <windows build folder> <run folder> <seconds> [files...]
The run folder holds brumby.exe and the skin files; its Wine prefix is made there
once and kept. The player plays for the given seconds, is photographed into
screenshot.png, shows its playlist (photographed with the face into playlist.png),
and is closed through its close button.
"""
import glob
import itertools
import os
import sys
import time

import harness

PLAYLIST_BUTTON = (150, 48)
PLAYLIST_HEIGHT = 205


def has_sound_card():
    return bool(glob.glob("/dev/snd/pcmC*"))


def summarize(commands):
    """Command list with each run of status queries folded into one line with its count."""
    lines = []
    for is_status, run in itertools.groupby(commands, lambda c: c.startswith("status ")):
        run = list(run)
        if is_status:
            kinds = sorted({c.split()[-1] for c in run})
            lines.append(f"({len(run)} status queries: {', '.join(kinds)})")
        else:
            lines.extend(run)
    return lines


def report_startup(session, player):
    record = os.path.join(session.data_dir, "dir.vnd")
    if os.path.exists(record):
        with open(record, "rb") as f:
            print(f"installation directory recorded in dir.vnd: {f.read()!r}")
    else:
        print("no dir.vnd was written")
    commands = player.commands()
    print(f"media commands sent ({len(commands)}):")
    for line in summarize(commands):
        print(f"  {line}")


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    windows_build, run_dir, seconds, files = sys.argv[1], os.path.abspath(sys.argv[2]), float(sys.argv[3]), sys.argv[4:]
    harness.configure(windows_build, run_dir)
    session = harness.Session("run", folder=run_dir)
    try:
        if has_sound_card() and os.path.exists(os.path.join(session.home, ".asoundrc")):
            os.remove(os.path.join(session.home, ".asoundrc"))
        player = session.start([session.windows_path(f) for f in files], cwd=run_dir,
                               exe=os.path.join(run_dir, "brumby.exe"))
        try:
            x, y, w, h = player.wait_window(30)
        except AssertionError as error:
            print(f"run: {error}")
            time.sleep(seconds)
            report_startup(session, player)
            return 1
        print(f"window \"{harness.TITLE}\" found at ({x}, {y}), {w} x {h}, "
              f"on a {session.display.size[0]} x {session.display.size[1]} screen")
        time.sleep(seconds)
        shot = os.path.join(run_dir, "screenshot.png")
        player.capture(shot)
        print(f"screenshot of the player: {shot}")
        player.click(*PLAYLIST_BUTTON)
        if harness.wait_for(lambda: player.windows("Playlist"), 10, 0.2):
            time.sleep(0.5)
            shot = os.path.join(run_dir, "playlist.png")
            session.screenshot().region(x, y, w, h + PLAYLIST_HEIGHT).save(shot)
            print(f"screenshot of the player with its playlist: {shot}")
        player.request_close()
        try:
            code = player.wait_exit(20)
        except AssertionError:
            code = None
        report_startup(session, player)
        print(f"exit code after the close button: {code if code is not None else 'none (still running)'}")
        return 0 if code == 0 else 1
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(main())
