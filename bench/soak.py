#!/usr/bin/env python3
"""The soak: brumby.exe under seeded random use for a number of minutes, under Wine on a virtual
display, beside a bare program that only opens, plays and closes the same tracks through the
media device.

    python3 bench/soak.py [--minutes M] [--seed S] [--every S] [--plot PATH] [windows build folder]

The tracks are a few seconds long, of every type (MIDI included), so tracks change often; the
random user is tests/e2e/random_use.py. Every --every seconds (15) it samples, for the player
and for the bare program (device_only.exe): the resident memory, the open files, the threads, the
GDI objects (the live count Wine's trace+gdi prints with every allocation and release), and the
player's passes per second (one volume query a pass while a track is open) and actions.

At the end the player is closed with its close button, and it reports each figure at the start,
after the first minute and at the end, with its slope per hour after the first minute. The bare
program's growth per opened track is the device's own; the player may grow by that much for each
track it opened, and a little more (GROWTH_MARGIN). --plot draws the player's and the bare
program's memory and GDI objects over time into a picture.

A benchmark, not a test. It fails (exit code 1) on a crash, a hang (the player does not answer for
10 s), a growth beyond the device's, or a saved list that is not the rows shown at the close."""
import argparse
import os
import re
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
import harness  # noqa: E402
import random_use  # noqa: E402
from run import id3v1_tag, track_audio, write_file  # noqa: E402

TAGGED_TRACKS = 4
TAGGED_SECONDS = 3
FIRST_MINUTE = 60.0
LEVEL_SAMPLES = 8  # two minutes of samples
# Figure: (label, unit, how much it may grow beyond the device's own growth after the first minute).
FIGURES = {
    "rss": ("resident memory", "MB", 8.0),
    "files": ("open files", "", 4),
    "threads": ("threads", "", 4),
    "gdi": ("GDI objects", "", 16),
}
GDI_COUNT = re.compile(r"trace:gdi:\w+ (?:allocated|freed) \S+ \S+ (\d+)/\d+")
MCI_CALL = re.compile(r'trace:mci:mciSendStringW \(L"(\w+)')
MCI_VOLUME = 'trace:mci:mciSendStringW (L"status MP3_1 volume"'
# The result of a command: "=> 2/ <code>" after a call that went to a device, "=> <code>" otherwise.
MCI_RESULT = re.compile(r"trace:mci:mciSendStringW => (?:2/ (\d+)|(\d+)\s*$)")


class TraceCounts:
    """What a program's trace says as it grows (+pid prefixes each line with the process and thread):
    its process's live GDI object count, its volume queries and the opens the device accepted."""

    def __init__(self, path):
        self.file = harness.GrowingFile(path)
        self.process = None
        self.gdi = 0
        self.volume_queries = 0
        self.opened = 0
        self.last_call = {}  # thread -> the verb of its last media command

    def poll(self, process):
        if process is None:
            return
        prefix = f"{process:04x}:"
        for line in self.file.new_lines():
            if not line.startswith(prefix):
                continue
            thread = line[len(prefix):line.find(":", len(prefix))]
            found = GDI_COUNT.search(line)
            if found:
                self.gdi = int(found.group(1))
                continue
            if MCI_VOLUME in line:
                self.volume_queries += 1
            call = MCI_CALL.search(line)
            if call:
                self.last_call[thread] = call.group(1).upper()
                continue
            result = MCI_RESULT.search(line)
            if result and self.last_call.get(thread) == "OPEN":
                self.opened += int(result.group(1) or result.group(2)) == 0
                self.last_call[thread] = None


def process_figures(pid):
    """Resident memory (MB), open files and threads of a Unix process; None once it is gone."""
    try:
        with open(f"/proc/{pid}/status") as f:
            status = dict(line.split(":", 1) for line in f if ":" in line)
        files = len(os.listdir(f"/proc/{pid}/fd"))
    except OSError:
        return None
    return {"rss": int(status["VmRSS"].split()[0]) / 1024, "threads": int(status["Threads"]), "files": files}


class Program:
    """One program of the soak and its figures over time. Its process is looked at every second or
    so; a sample keeps the lowest of each figure since the last one: a MIDI track playing (the
    synthesizer's sound font takes some 150 MB while it plays), a menu or the dialog open show as
    spikes that would hide the level the figure keeps."""

    def __init__(self, name, player):
        self.name, self.player = name, player
        self.trace = TraceCounts(player.log)
        self.looks = []
        self.samples = []  # dicts: time, rss, files, threads, gdi, tracks, passes (per second), actions

    def tracks_opened(self):
        if self.name == "device":
            return sum(1 for line in self.player.output() if line.startswith("opened "))
        return self.trace.opened

    def look(self):
        """False once the process is gone."""
        self.trace.poll(self.player.pid())
        figures = process_figures(self.player.unix_pid())
        if figures is None:
            return False
        figures["gdi"] = self.trace.gdi
        self.looks.append(figures)
        return True

    def sample(self, at, actions=0):
        if not self.look():
            return None
        figures = {key: min(look[key] for look in self.looks) for key in FIGURES}
        self.looks = []
        last = self.samples[-1] if self.samples else None
        passes = self.trace.volume_queries
        rate = (passes - last["passes_total"]) / (at - last["time"]) if last and at > last["time"] else 0.0
        figures.update(time=at, tracks=self.tracks_opened(), passes=rate, passes_total=passes, actions=actions)
        self.samples.append(figures)
        return figures


def slope(points):
    """Least-squares slope of (x, y) points; 0 for fewer than two distinct x."""
    if len(points) < 2:
        return 0.0
    mean_x = sum(x for x, _ in points) / len(points)
    mean_y = sum(y for _, y in points) / len(points)
    spread = sum((x - mean_x) ** 2 for x, _ in points)
    return sum((x - mean_x) * (y - mean_y) for x, y in points) / spread if spread else 0.0


def after_first_minute(samples):
    later = [s for s in samples if s["time"] >= FIRST_MINUTE]
    return later if len(later) >= 2 else samples[-2:]


def levels(samples, key):
    """The level a figure keeps: at each sample, its lowest over the LEVEL_SAMPLES samples up to
    it. Which tracks play and whether one is open at all moves the open files and threads by
    dozens from sample to sample; a leak raises the floor they come back to."""
    return [min(s[key] for s in samples[max(0, i + 1 - LEVEL_SAMPLES):i + 1]) for i in range(len(samples))]


def level_slope(samples, key, x="time"):
    """The slope of a figure's level against time (per second) or tracks opened."""
    return slope([(s[x], v) for s, v in zip(samples, levels(samples, key))])


def second_half(samples):
    """The samples of the later half of the time after the first minute."""
    mine = after_first_minute(samples)
    middle = (mine[0]["time"] + mine[-1]["time"]) / 2
    later = [s for s in mine if s["time"] >= middle]
    return later if len(later) >= 2 else mine[-2:]


def judge(player, device):
    """Per figure: start, after the first minute and end; the slope per hour of its level after the
    first minute and over the second half; the bare program's growth per track over the second half;
    how much more than that the player grew over it for the tracks it opened, and whether that is too
    much. What the first minutes add (the allocator's high-water marks, what the system keeps from a
    first use) slows down and stops; a leak keeps its pace, so the second half is what is judged."""
    rows = []
    mine = after_first_minute(player.samples)
    late, bare_late = second_half(player.samples), second_half(device.samples)
    for key, (label, unit, margin) in FIGURES.items():
        late_per_hour = level_slope(late, key) * 3600
        per_track = max(0.0, level_slope(bare_late, key, "tracks"))
        grown = late_per_hour * (late[-1]["time"] - late[0]["time"]) / 3600
        allowed = per_track * (late[-1]["tracks"] - late[0]["tracks"])
        rows.append({"key": key, "label": label, "unit": unit, "start": player.samples[0][key],
                     "minute": mine[0][key], "end": player.samples[-1][key],
                     "per_hour": level_slope(mine, key) * 3600, "late_per_hour": late_per_hour,
                     "device_late_per_hour": level_slope(bare_late, key) * 3600, "per_track": per_track,
                     "beyond": grown - allowed, "too_much": grown - allowed > margin, "margin": margin})
    return rows


def write_samples(player, device, path):
    """Every sample of both programs, one line each, for a closer look."""
    keys = ["time", "actions", "tracks", "passes", *FIGURES]
    with open(path, "w") as f:
        f.write(",".join(["program", *keys]) + "\n")
        for program in (player, device):
            for sample in program.samples:
                f.write(",".join([program.name, *(f"{sample[key]:.2f}" for key in keys)]) + "\n")


def passes_per_second(samples):
    """The passes a second after the first minute, on average."""
    window = after_first_minute(samples)
    seconds = window[-1]["time"] - window[0]["time"]
    return (window[-1]["passes_total"] - window[0]["passes_total"]) / seconds if seconds else 0.0


def print_report(player, device, rows, actions, seconds):
    last = player.samples[-1]
    print(f"\nsoak of {seconds / 60:.1f} min: {actions} actions, {last['tracks']} tracks opened by the player, "
          f"{device.samples[-1]['tracks']} by the bare program; {passes_per_second(player.samples):.0f} passes "
          f"per second after the first minute")
    print(f"{'figure':16} {'start':>7} {'1 min':>7} {'end':>7} {'per hour':>9} {'2nd half':>9} "
          f"{'bare 2nd':>9} {'bare/track':>10} {'beyond':>7}")
    for row in rows:
        print(f"{row['label'] + (' ' + row['unit'] if row['unit'] else ''):16} {row['start']:7.1f} "
              f"{row['minute']:7.1f} {row['end']:7.1f} {row['per_hour']:+9.2f} {row['late_per_hour']:+9.2f} "
              f"{row['device_late_per_hour']:+9.2f} {row['per_track']:10.4f} {row['beyond']:+7.2f}"
              + (f"  more than {row['margin']} beyond the device's" if row["too_much"] else ""))


def plot(player, device, path):
    """Memory and GDI objects of both programs over the run's minutes, one panel each."""
    import matplotlib
    matplotlib.use("Agg")
    from matplotlib import pyplot
    figure, (memory, objects) = pyplot.subplots(1, 2, figsize=(7.5, 2.8), dpi=100)
    for program, style, name in ((player, "-", "brumby.exe"), (device, "--", "device alone")):
        minutes = [s["time"] / 60 for s in program.samples]
        memory.plot(minutes, [s["rss"] for s in program.samples], style, label=name)
        objects.plot(minutes, [s["gdi"] for s in program.samples], style, label=name)
    memory.set(title="resident memory (MB)", xlabel="minutes")
    objects.set(title="GDI objects", xlabel="minutes")
    for axes in (memory, objects):
        axes.set_ylim(bottom=0)
        axes.grid(alpha=0.3)
    memory.legend(fontsize="small")
    figure.tight_layout()
    figure.savefig(path)
    print(f"picture: {path}")


def tagged_tracks(work):
    """Short MP3s with ID3v1 tags (their rows show artist and title once loaded)."""
    audio = track_audio(TAGGED_SECONDS)
    return [write_file(os.path.join(work, "soak-tracks", f"tagged-{n}.mp3"),
                       audio + id3v1_tag(f"Title {n}", f"Artist {n}", "Soak", n))
            for n in range(1, TAGGED_TRACKS + 1)]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("windows_build", nargs="?", default=os.path.join(SOURCE, "build", "windows"))
    parser.add_argument("--minutes", type=float, default=30.0)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--every", type=float, default=15.0, help="seconds between samples")
    parser.add_argument("--plot", help="where to draw the memory and GDI objects over time (a .png)")
    options = parser.parse_args()

    work = os.path.join(SOURCE, "build", "bench")
    harness.configure(options.windows_build, work)
    try:
        device_exe = harness.find_built("device_only.exe")
        harness.find_built("brumby.exe")
    except AssertionError:
        raise SystemExit(f"device_only.exe and brumby.exe are built by scripts/build.sh into {options.windows_build}")

    session = harness.Session("soak", folder=os.path.join(work, "soak"))
    failure, player, device, use, seconds = None, None, None, None, 0.0
    try:
        folder = session.install()
        media = random_use.make_media(os.path.join(session.dir, "media"), tagged_tracks(work))
        # The bare program takes its tracks as code-page text: the names it can spell. The player
        # starts with them too, every one a row.
        tracks = [session.windows_path(t) for t in media["tracks"] if session.windows_path(t).isascii()]
        session.env["WINEDEBUG"] = "-all,trace+gdi,+pid"
        device = Program("device", session.start(tracks, cwd=session.dir, exe=device_exe))
        session.env["WINEDEBUG"] = "-all,trace+mci,trace+gdi,+pid"
        player = Program("player", session.start(tracks, cwd=folder))
        session.env["WINEDEBUG"] = "-all"  # the list driver and the other drivers go untraced
        player.player.wait_window(60)
        use = random_use.RandomUse(session, player.player, folder, media, options.seed)
        started = time.monotonic()

        def sample():
            at = time.monotonic() - started
            shown = []
            for program in (player, device):
                figures = program.sample(at, use.actions)
                if figures is None:
                    use.broken(f"the {program.name} program is gone")
                shown.append(f"{program.name} {figures['rss']:.1f} MB {figures['files']} files "
                             f"{figures['threads']} threads {figures['gdi']} GDI {figures['tracks']} tracks")
            print(f"{at / 60:5.1f} min {use.actions:5} actions {player.samples[-1]['passes']:5.0f} passes/s | "
                  + " | ".join(shown), flush=True)

        def watch():
            for program in (player, device):
                if not program.look():
                    use.broken(f"the {program.name} program is gone")
            if time.monotonic() - started >= len(player.samples) * options.every:
                sample()

        try:
            sample()
            use.run(options.minutes * 60, every=watch, each=1.0)
            use.finish()
        except AssertionError as broken:  # Broken, or a wait the watchdog ended
            failure = str(broken)
        seconds = time.monotonic() - started
        device.player.kill_program()
    finally:
        session.close()

    if player and device and len(player.samples) >= 2 and len(device.samples) >= 2:
        write_samples(player, device, os.path.join(work, "soak", "samples.csv"))
        rows = judge(player, device)
        print_report(player, device, rows, use.actions, seconds)
        if options.plot:
            plot(player, device, options.plot)
        too_much = [row["label"] for row in rows if row["too_much"]]
        if too_much and not failure:
            failure = f"grew beyond the device's own growth: {', '.join(too_much)}"
    if failure:
        print(f"\nsoak failed: {failure}")
        sys.exit(1)
    print("\nsoak passed: no crash, no hang, no growth beyond the device's, the list saved as shown")


if __name__ == "__main__":
    main()
