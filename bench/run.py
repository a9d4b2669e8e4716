#!/usr/bin/env python3
"""The benchmark: brumby.exe against the floor program, side by side under Wine on a
virtual display, on the same generated 20 s MP3.

    python3 bench/run.py [--rounds N] [--seconds S] [windows build folder]

Each round runs the floor and then brumby (the order alternates between rounds), each
twice: once with Wine's media trace, for the passes per second (one volume query a
pass) and the time from start to the first `play`; once untraced, for the CPU seconds
per wall second of the program and the wineserver and the program's peak RSS (tracing
itself costs CPU). Both are measured with the pointer off their windows and closed
through a click on the close button.
Prints the median of each figure and brumby's ratios to the floor. A benchmark, not a
test: nothing here passes or fails."""
import argparse
import os
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
import harness  # noqa: E402

TRACK_SECONDS = 20
SETTLE_SECONDS = 2.0
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
GOALS = {"cpu": ("<=", 1.1), "passes": (">=", 0.95), "rss": ("<=", 1.05), "first_play": ("<=", 1.2)}

# MPEG audio frame tables: bit rates (kbit/s) of layer III and sample rates, by version.
BITRATES = {3: [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320],
            2: [0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160]}
RATES = {3: [44100, 48000, 32000], 2: [22050, 24000, 16000], 0: [11025, 12000, 8000]}


def mp3_frames(blob):
    """The audio frames of an MP3 file as (bytes, seconds) pairs, tags left out."""
    frames, at = [], 0
    while at + 4 <= len(blob) and blob[at] == 0xFF and blob[at + 1] & 0xE0 == 0xE0:
        version = (blob[at + 1] >> 3) & 3
        bitrate = BITRATES[3 if version == 3 else 2][blob[at + 2] >> 4] * 1000
        rate = RATES[version][(blob[at + 2] >> 2) & 3]
        padding = (blob[at + 2] >> 1) & 1
        size = (144 if version == 3 else 72) * bitrate // rate + padding
        frames.append((blob[at:at + size], (1152 if version == 3 else 576) / rate))
        at += size
    return frames


def make_track(path):
    """A 20 s MP3 made of the first sample's frames over and over."""
    with open(os.path.join(harness.SAMPLES_DIR, "01-morning-light.mp3"), "rb") as f:
        frames = mp3_frames(f.read())
    out, seconds, i = bytearray(), 0.0, 0
    while seconds < TRACK_SECONDS:
        data, length = frames[i % len(frames)]
        out += data
        seconds += length
        i += 1
    with open(path, "wb") as f:
        f.write(out)
    return path


def linux_processes(prefix, word):
    """Pids of the processes of this Wine prefix whose command line holds `word`."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                command = f.read().replace(b"\0", b" ").decode(errors="replace")
            with open(f"/proc/{pid}/environ", "rb") as f:
                environ = f.read().split(b"\0")
        except OSError:
            continue
        if word in command and f"WINEPREFIX={prefix}".encode() in environ:
            found.append(int(pid))
    return found


def cpu_seconds(pids):
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return total / CLOCK_TICKS


def peak_rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return 0.0


class Program:
    def __init__(self, name, exe, args):
        self.name, self.exe, self.args = name, exe, args

    def start(self, session, traced):
        session.env["WINEDEBUG"] = "-all,trace+mci" if traced else "-all"
        # The close click of the previous run left the pointer where the next
        # window's close button opens: a pointer resting on a button makes the
        # player repaint that button every pass. Both are measured idle.
        session.xdotool("mousemove", 0, 0)
        started = time.monotonic()
        player = session.start(self.args, cwd=os.path.dirname(self.exe), exe=self.exe)
        return player, started

    def stop(self, player):
        player.request_close()
        player.wait_exit(60)


def measure_traced(session, program, seconds):
    player, started = program.start(session, traced=True)
    if not harness.wait_for(lambda: "play MP3_1" in player.commands(), 60, 0.01):
        raise SystemExit(f"{program.name}: no play command")
    first_play = time.monotonic() - started
    time.sleep(SETTLE_SECONDS)
    a, count_a = time.monotonic(), player.commands().count("status MP3_1 volume")
    time.sleep(seconds)
    b, count_b = time.monotonic(), player.commands().count("status MP3_1 volume")
    program.stop(player)
    return first_play, (count_b - count_a) / (b - a)


def measure_untraced(session, program, seconds):
    player, _started = program.start(session, traced=False)
    player.wait_window(60)
    time.sleep(SETTLE_SECONDS)
    pids = linux_processes(session.prefix, program.name + ".exe")
    servers = linux_processes(session.prefix, "wineserver")
    if not pids:
        raise SystemExit(f"{program.name}: its process was not found")
    a, cpu_a = time.monotonic(), cpu_seconds(pids + servers)
    time.sleep(seconds)
    b, cpu_b = time.monotonic(), cpu_seconds(pids + servers)
    rss = max(peak_rss_mb(pid) for pid in pids)
    program.stop(player)
    return (cpu_b - cpu_a) / (b - a), rss


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("windows_build", nargs="?", default=os.path.join(SOURCE, "build", "windows"))
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=8.0, help="measured seconds of each run")
    options = parser.parse_args()

    work = os.path.join(SOURCE, "build", "bench")
    harness.configure(options.windows_build, work)
    floor_exe = harness.find_built("floor.exe")
    if not floor_exe or not harness.find_built("brumby.exe"):
        raise SystemExit(f"floor.exe and brumby.exe are built by scripts/build.sh into {options.windows_build}")

    session = harness.Session("bench", folder=os.path.join(work, "session"))
    try:
        folder = session.install()
        track = session.windows_path(make_track(os.path.join(work, "bench.mp3")))
        programs = [Program("floor", floor_exe, [track]),
                    Program("brumby", os.path.join(folder, "brumby.exe"), [track])]
        figures = {p.name: {"cpu": [], "passes": [], "rss": [], "first_play": []} for p in programs}
        # A first start in a prefix pays for Wine's own start-up; neither program should.
        for program in programs:
            player, _started = program.start(session, traced=False)
            player.wait_window(60)
            program.stop(player)
        for round_number in range(options.rounds):
            for program in programs if round_number % 2 == 0 else reversed(programs):
                first_play, passes = measure_traced(session, program, options.seconds)
                cpu, rss = measure_untraced(session, program, options.seconds)
                for key, value in (("cpu", cpu), ("passes", passes), ("rss", rss), ("first_play", first_play)):
                    figures[program.name][key].append(value)
                print(f"round {round_number + 1} {program.name:6}: cpu {cpu:.3f} s/s, {passes:.0f} passes/s, "
                      f"peak RSS {rss:.1f} MB, first play {first_play:.2f} s", flush=True)
    finally:
        session.close()

    print("\nmedians         floor     brumby   ratio   goal")
    units = {"cpu": "CPU s/s", "passes": "passes/s", "rss": "peak RSS MB", "first_play": "first play s"}
    for key, label in units.items():
        floor = statistics.median(figures["floor"][key])
        brumby = statistics.median(figures["brumby"][key])
        ratio = brumby / floor if floor else float("nan")
        sign, goal = GOALS[key]
        print(f"{label:13} {floor:8.3f} {brumby:9.3f} {ratio:6.2f}x  {sign} {goal}x")


if __name__ == "__main__":
    main()
