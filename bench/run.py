#!/usr/bin/env python3
"""The benchmark: brumby.exe against the floor program, state by state, side by side
under Wine on a virtual display.

    python3 bench/run.py [--state NAME[,NAME...] | --state all] [--growth]
                         [--rounds N] [--seconds S] [--limit S] [windows build folder]

States (--state; the default is `playing`):
  playing  a 20 s track playing, the playlist window hidden
  shown    the playlist window shown with 201 rows in it (201 tagged tracks given on
           the command line, the first playing); its start figures are those of a
           start-up with a full list: to the first `play`, and to the first pass that
           draws the playlist (its button is clicked as soon as the face is up)
  time     the information strip's time phase (passes 7501..8999 of its cycle, some
           28 s into a track): only those passes are measured, in the floor too
  idle     no track loaded: the idle text blinks
`--state all` runs them all and prints one table.

Each state is run in rounds; in each, the floor (with the switch of that state) and
brumby run in turn (the order alternates between rounds), each twice: once with a
Wine trace whose timestamps give the passes per second (a trace line each pass makes
once) and the start figures; once untraced, for the CPU seconds per wall second of
the program and the wineserver, and the program's peak RSS (tracing itself costs
CPU). The time state is the exception: its window is only known from the trace, so
its one run is traced with the lightest trace that counts passes (two short lines a
pass, in both programs alike) and gives every figure. Start figures count from the
launcher's call that creates the program's process. Both programs are measured with
the pointer off their windows and closed through a click on the close button.

--growth prints how brumby's start-up grows with its list file instead: the time
to the first pass of the loop and the peak RSS for list files of 0, 50, 201 and 1000
rows, of one single line of 1, 2, 4 and 8 MB and of 10 MB of short lines, each start
given at most --limit seconds (a start that takes longer is killed and reported as such).

Prints medians, and brumby's ratios to the floor with the goals. A benchmark, not a
test: nothing here passes or fails."""
import argparse
import os
import re
import statistics
import sys
import time
from dataclasses import dataclass, field

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
import harness  # noqa: E402

TRACK_SECONDS = 20
# Long enough to reach the end of the time phase (pass 8999) at 60 passes a second.
LONG_TRACK_SECONDS = 180
FULL_LIST_ROWS = 201
SETTLE_SECONDS = 2.0
SAMPLE_SECONDS = 0.25
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
PLAYLIST_BUTTON = (152, 48)
GROWTH_ROWS = (0, 50, 201, 1000)
GROWTH_LINE_MB = (1, 2, 4, 8)
GROWTH_SHORT_LINES_MB = 10  # and a file of that many megabytes of short lines

# figure key: (label, goal sign, goal ratio)
FIGURES = {
    "cpu": ("CPU s/s", "<=", 1.1),
    "passes": ("passes/s", ">=", 0.95),
    "rss": ("peak RSS MB", "<=", 1.05),
    "first_play": ("first play s", "<=", 1.2),
    "list_drawn": ("list drawn s", "<=", 1.2),
    "first_pass": ("first pass s", "<=", 1.2),
}

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


def id3v1_tag(title, artist, album, genre):
    """A 128-byte ID3v1 tag: fields padded with zeros, no comment, no year."""
    def text(value, size):
        return value.encode("ascii")[:size].ljust(size, b"\0")
    return b"TAG" + text(title, 30) + text(artist, 30) + text(album, 30) + b"\0" * 34 + bytes([genre])


def track_audio(seconds):
    """`seconds` of audio made of the first sample's frames over and over. The sample's
    first frame is an encoder's "Info" frame giving the sample's own frame count, which
    the device takes for the length of the whole file: it is left out."""
    with open(os.path.join(harness.SAMPLES_DIR, "01-morning-light.mp3"), "rb") as f:
        frames = [(data, length) for data, length in mp3_frames(f.read())
                  if b"Info" not in data[:48] and b"Xing" not in data[:48]]
    out, length, i = bytearray(), 0.0, 0
    while length < seconds:
        data, frame_seconds = frames[i % len(frames)]
        out += data
        length += frame_seconds
        i += 1
    return bytes(out)


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    return path


def make_media(work, session):
    """The tracks of every state, as the Windows paths the programs are given."""
    audio = track_audio(TRACK_SECONDS)
    full_list = [write_file(os.path.join(work, "tracks", f"track-{n:03}.mp3"),
                            audio + id3v1_tag(f"Title {n:03}", f"Artist {n:03}", "Bench", n % 80))
                 for n in range(1, FULL_LIST_ROWS + 1)]
    files = {"one": [write_file(os.path.join(work, "bench.mp3"), audio)],
             "long": [write_file(os.path.join(work, "long.mp3"), track_audio(LONG_TRACK_SECONDS))],
             "full": full_list,
             "none": []}
    return {key: [session.windows_path(path) for path in paths] for key, paths in files.items()}


def now():
    """The clock of Wine's +timestamp trace prefix (seconds, CLOCK_MONOTONIC_RAW)."""
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW)


# Trace lines that mark an event, after the "<seconds>:<thread>:" prefix of +timestamp.
TIMESTAMP = re.compile(r"^\s*(\d+\.\d+):[0-9a-f]+:")
EVENTS = {
    "play": re.compile(r'trace:mci:mciSendStringW \(L"play MP3_1"'),
    "volume": re.compile(r'trace:mci:mciSendStringW \(L"status MP3_1 volume"'),
    # Stage 1 of a pass with the playlist window hidden activates the face (nil is
    # Wine's own activation when a window goes).
    "pass": re.compile(r"trace:win:NtUserSetActiveWindow 0x"),
    "list": re.compile(r"trace:listbox:LISTBOX_PaintItem "),
}


def launch_pattern(exe):
    """The launcher's call that creates the program's process (trace+process): the start
    figures count from it, leaving out Wine's start of the launcher itself, which is
    neither program's doing and varies most on a busy machine."""
    return re.compile(r'trace:process:CreateProcessInternalW app \S+ cmdline L"[^"]*' + re.escape(exe))


class Trace:
    """The events of a program's trace file, read as it grows."""

    def __init__(self, path, patterns):
        self.file, self.patterns = harness.GrowingFile(path), patterns
        self.times = {event: [] for event in patterns}

    def poll(self):
        for line in self.file.new_lines():
            stamp = TIMESTAMP.match(line)
            if not stamp:
                continue
            for event, pattern in self.patterns.items():
                if pattern.search(line, stamp.end()):
                    self.times[event].append(float(stamp.group(1)))

    def first(self, event):
        return self.times[event][0] if self.times[event] else None

    def rate(self, event, a, b):
        """Events per second between the times a and b."""
        return sum(1 for t in self.times[event] if a <= t <= b) / (b - a)


def linux_processes(prefix, word):
    """Pids of the processes of this Wine prefix whose command line holds `word`
    (the launcher, which names the program on its own command line, left out)."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                command = f.read().replace(b"\0", b" ").decode(errors="replace")
            with open(f"/proc/{pid}/environ", "rb") as f:
                environ = f.read().split(b"\0")
        except OSError:
            continue
        if word in command and "launcher.exe" not in command and f"WINEPREFIX={prefix}".encode() in environ:
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
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) / 1024
    except OSError:
        pass
    return 0.0


@dataclass
class State:
    name: str
    tracks: str                # which of make_media's track lists the programs are given
    floor_switches: list
    channels: str              # the traced run's trace
    pass_event: str            # the trace event that happens once a pass
    starts: dict = field(default_factory=dict)  # start figure: the event that ends it
    show_list: bool = False    # the playlist button is clicked as soon as the face is up
    phase: tuple = None        # the measured passes (first, last), counted in pass events;
                               # None: a window of --seconds after settling
    traced_only: bool = False  # one traced run gives every figure


STATES = [
    State("playing", "one", [], "trace+mci", "volume", {"first_play": "play"}),
    State("shown", "full", [], "trace+mci,trace+listbox", "volume",
          {"first_play": "play", "list_drawn": "list"}, show_list=True),
    # brumby draws the time text in the passes of its pass events 7501..8999 (as the
    # media trace shows: those passes ask for the position twice before the volume).
    # The floor draws it on every pass; it is measured over the same passes, as far
    # into its track.
    State("time", "long", ["--time-phase"], "trace+win", "pass", phase=(7501, 8999), traced_only=True),
    State("idle", "none", ["--idle"], "trace+win", "pass", {"first_pass": "pass"}),
]


class Program:
    def __init__(self, name, exe):
        self.name, self.exe = name, exe

    def args(self, state, media):
        switches = state.floor_switches if self.name == "floor" else []
        return switches + media[state.tracks]


class Run:
    """One start of a program, with its trace events and CPU samples while it runs."""

    def __init__(self, session, program, args, channels="", events=()):
        """channels: the traces to turn on (none: untraced); events: the EVENTS to read from them."""
        self.session, self.program = session, program
        session.env["WINEDEBUG"] = f"-all,{channels},trace+process,+timestamp" if channels else "-all"
        # The close click of the previous run left the pointer where the next
        # window's close button opens: a pointer resting on a button makes the
        # player repaint that button every pass. Both are measured idle.
        session.xdotool("mousemove", 0, 0)
        self.started = now()
        self.player = session.start(args, cwd=os.path.dirname(program.exe), exe=program.exe)
        patterns = {event: EVENTS[event] for event in events}
        patterns["launch"] = launch_pattern(os.path.basename(program.exe))
        self.trace = Trace(self.player.log, patterns)
        self.samples = []  # (time, CPU seconds of the program and the wineserver)
        self.pids, self.servers = [], []

    def wait_face(self, timeout=60):
        """Waits for the face on screen (the program's own window, picked by its process); returns its
        screen position."""
        found = harness.wait_for(self.player.windows, timeout, 0.02)
        if not found:
            raise SystemExit(f"{self.program.name}: no window within {timeout} s; {self.session.describe()}")
        self.player.window = found[-1]
        self.player.origin = self.session.geometry(found[-1])[:2]
        return self.player.origin

    def show_list(self):
        """Clicks the playlist button and moves the pointer off once the list is up."""
        x, y = self.player.to_screen(*PLAYLIST_BUTTON)
        self.session.xdotool("mousemove", "--sync", x, y, "click", "1")
        if not harness.wait_for(lambda: self.player.windows("Playlist"), 30, 0.02):
            raise SystemExit(f"{self.program.name}: the playlist window did not open")
        self.session.xdotool("mousemove", 0, 0)

    def find_processes(self):
        prefix = self.session.prefix
        self.pids = linux_processes(prefix, os.path.basename(self.program.exe))
        self.servers = linux_processes(prefix, "wineserver")
        if not self.pids:
            raise SystemExit(f"{self.program.name}: its process was not found")

    def sample_until(self, done, deadline):
        """Samples the CPU and reads the trace until done() holds; False at the deadline."""
        while True:
            self.trace.poll()
            if self.pids:
                self.samples.append((now(), cpu_seconds(self.pids + self.servers)))
            if done():
                return True
            if now() >= deadline:
                return False
            time.sleep(SAMPLE_SECONDS)

    def sampled_window(self, a, b):
        """The first and last CPU samples inside [a, b]."""
        inside = [s for s in self.samples if a <= s[0] <= b]
        if len(inside) < 2:
            raise SystemExit(f"{self.program.name}: no samples between {a:.2f} and {b:.2f}")
        return inside[0], inside[-1]

    def since_launch(self, event):
        """Seconds from the program's launch to the event's first time; None if either is missing."""
        launch, seen = self.trace.first("launch"), self.trace.first(event)
        return None if launch is None or seen is None else seen - launch

    def peak_rss(self):
        return max(peak_rss_mb(pid) for pid in self.pids)

    def stop(self):
        """Closes the program through its close button; kills it when it does not take the click."""
        try:
            self.player.request_close()
            self.player.wait_exit(20)
        except AssertionError:
            self.player.kill_program()
            self.player.kill()


def measure(session, state, program, media, seconds):
    """One traced and (unless the state needs none) one untraced run; returns the figures."""
    figures = {}
    for traced in (True,) if state.traced_only else (True, False):
        events = [state.pass_event, *state.starts.values()] if traced else []
        run = Run(session, program, program.args(state, media), state.channels if traced else "", events)
        try:
            run.wait_face()
            if state.show_list:
                run.show_list()
            ready = now()
            run.find_processes()
            if state.phase:
                first, last = state.phase
                passes = run.trace.times[state.pass_event]
                if not run.sample_until(lambda: len(passes) > last, run.started + LONG_TRACK_SECONDS - 10):
                    print(f"{program.name}: the track ended before pass {last} ({len(passes)} passes)")
                    return {}
                a, b = passes[first - 1] + SAMPLE_SECONDS, passes[last - 1] - SAMPLE_SECONDS
            else:
                a = ready + SETTLE_SECONDS
                b = a + seconds
                run.sample_until(lambda: now() >= b, b + 5)
            (ta, cpu_a), (tb, cpu_b) = run.sampled_window(a, b)
            if traced:
                run.trace.poll()
                figures["passes"] = run.trace.rate(state.pass_event, ta, tb)
                for figure, event in state.starts.items():
                    if run.since_launch(event) is not None:
                        figures[figure] = run.since_launch(event)
            if not traced or state.traced_only:
                figures["cpu"] = (cpu_b - cpu_a) / (tb - ta)
                figures["rss"] = run.peak_rss()
        finally:
            run.stop()
    return figures


def write_list_file(session, data):
    write_file(os.path.join(session.data_dir, "list.vnp"), data)


def warm_up(session, programs, media):
    """A first start in a prefix pays for Wine's own start-up; neither program should."""
    for program in programs:
        run = Run(session, program, media["one"])
        run.wait_face()
        run.stop()


def run_states(session, programs, states, media, rounds, seconds):
    figures = {s.name: {p.name: {} for p in programs} for s in states}
    for state in states:
        for round_number in range(rounds):
            for program in programs if round_number % 2 == 0 else reversed(programs):
                if program.name == "brumby":
                    write_list_file(session, b"")
                got = measure(session, state, program, media, seconds)
                for key, value in got.items():
                    figures[state.name][program.name].setdefault(key, []).append(value)
                shown = ", ".join(f"{FIGURES[k][0]} {v:.3f}" for k, v in got.items())
                print(f"round {round_number + 1} {state.name:7} {program.name:6}: {shown}", flush=True)
    return figures


def print_state_table(states, figures):
    """Medians and ratios, state by state; "CPU ms/pass" (CPU per second over passes per
    second) has no goal: it is the figure a busy machine disturbs least."""
    print(f"\n{'state':8} {'figure':13} {'floor':>8} {'brumby':>8} {'ratio':>7}  goal")
    for state in states:
        medians = {program: {key: statistics.median(values) for key, values in figures[state.name][program].items()}
                   for program in ("floor", "brumby")}
        for program in medians.values():
            if "cpu" in program and "passes" in program:
                program["cpu_per_pass"] = 1000 * program["cpu"] / program["passes"]
        label = state.name
        for key, (name, sign, goal) in {**FIGURES, "cpu_per_pass": ("CPU ms/pass", "", None)}.items():
            if key not in medians["floor"] or key not in medians["brumby"]:
                continue
            floor, brumby = medians["floor"][key], medians["brumby"][key]
            ratio = brumby / floor if floor else float("nan")
            if goal is None:
                verdict = ""
            else:
                met = ratio <= goal if sign == "<=" else ratio >= goal
                verdict = f"{sign} {goal}x" + ("" if met else "  missed")
            print(f"{label:8} {name:13} {floor:8.3f} {brumby:8.3f} {ratio:6.2f}x  {verdict}")
            label = ""


def growth_lists(media):
    """(name, list file bytes): rows of the full list's paths, and single long lines."""
    paths = media["full"]
    cases = [(f"{n} rows", "".join(paths[i % len(paths)] + "\r\n" for i in range(n)).encode("cp1252"))
             for n in GROWTH_ROWS]
    cases += [(f"{mb} MB line", b"C:\\" + b"a" * (mb * 2 ** 20 - 5) + b"\r\n") for mb in GROWTH_LINE_MB]
    line = b"C:\\Music\\a short line.mp3\r\n"
    cases.append((f"{GROWTH_SHORT_LINES_MB} MB lines", line * (GROWTH_SHORT_LINES_MB * 2 ** 20 // len(line))))
    return cases


def measure_start(session, brumby, list_data, limit):
    """Start to the loop's first pass and the peak RSS, on the given list file; the
    time is None when the start took longer than `limit` seconds."""
    write_list_file(session, list_data)
    run = Run(session, brumby, [], "trace+win", ["pass"])
    first_pass = None
    try:
        deadline = run.started + limit
        # The process is there well before its list is read; a start that takes
        # all its time still has its RSS so far read.
        harness.wait_for(lambda: linux_processes(session.prefix, "brumby.exe") or now() > deadline, limit, 0.02)
        run.find_processes()
        if run.sample_until(lambda: run.trace.first("pass") is not None, deadline):
            first_pass = run.since_launch("pass")
            time.sleep(1.0)
        return first_pass, run.peak_rss()
    finally:
        if first_pass is None:
            run.player.kill_program()
            run.player.kill()
        else:
            run.stop()


def run_growth(session, brumby, media, rounds, limit):
    """(name, median start to the first pass or None, median peak RSS) of each list file."""
    rows = []
    for name, data in growth_lists(media):
        starts, rss = [], []
        for _ in range(rounds):
            first_pass, peak = measure_start(session, brumby, data, limit)
            rss.append(peak)
            print(f"growth {name:12}: first pass "
                  f"{'over %.0f s' % limit if first_pass is None else '%.2f s' % first_pass}, peak RSS {peak:.1f} MB",
                  flush=True)
            if first_pass is None:
                starts = None
                break
            starts.append(first_pass)
        rows.append((name, statistics.median(starts) if starts else None, statistics.median(rss)))
    write_list_file(session, b"")
    return rows


def print_growth_table(rows, limit):
    """A start that ran out of time shows its RSS when it was killed, a lower bound."""
    print(f"\n{'list file':12} {'first pass s':>12} {'peak RSS MB':>12}  ratios to 0 rows")
    base_start, base_rss = rows[0][1], rows[0][2]
    for name, start, rss in rows:
        if start is None:
            print(f"{name:12} {'> %.0f' % limit:>12} {'>= %.1f' % rss:>12}")
        else:
            print(f"{name:12} {start:12.3f} {rss:12.1f}  {start / base_start:5.2f}x / {rss / base_rss:4.2f}x")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("windows_build", nargs="?", default=os.path.join(SOURCE, "build", "windows"))
    parser.add_argument("--state", help="comma-separated states, or all (default: playing unless --growth)")
    parser.add_argument("--growth", action="store_true", help="the start-up growth table")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--seconds", type=float, default=8.0, help="measured seconds of each run")
    parser.add_argument("--limit", type=float, default=60.0, help="seconds a growth start may take")
    options = parser.parse_args()

    by_name = {s.name: s for s in STATES}
    wanted = options.state or ("" if options.growth else "playing")
    names = list(by_name) if wanted == "all" else [n for n in wanted.split(",") if n]
    unknown = [n for n in names if n not in by_name]
    if unknown:
        parser.error(f"unknown state {', '.join(unknown)}; states: {', '.join(by_name)}, all")
    states = [by_name[n] for n in names]

    work = os.path.join(SOURCE, "build", "bench")
    harness.configure(options.windows_build, work)
    try:
        floor_exe = harness.find_built("floor.exe")
        harness.find_built("brumby.exe")
    except AssertionError:
        raise SystemExit(f"floor.exe and brumby.exe are built by scripts/build.sh into {options.windows_build}")

    session = harness.Session("bench", folder=os.path.join(work, "session"))
    try:
        folder = session.install()
        media = make_media(work, session)
        programs = [Program("floor", floor_exe), Program("brumby", os.path.join(folder, "brumby.exe"))]
        warm_up(session, programs, media)
        if states:
            figures = run_states(session, programs, states, media, options.rounds, options.seconds)
        if options.growth:
            growth = run_growth(session, programs[1], media, options.rounds, options.limit)
    finally:
        session.close()
    if states:
        print_state_table(states, figures)
    if options.growth:
        print_growth_table(growth, options.limit)


if __name__ == "__main__":
    main()
