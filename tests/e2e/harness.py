"""Harness of the end-to-end tests: the real brumby.exe under Wine on a virtual display.

A test makes a `Session` (its own Wine prefix copied from a template made once
per build, its own HOME, its own Xvfb display), starts players in it through
the launcher (which reports the Windows exit code), and drives them with
xdotool: clicks and hovers in client coordinates, media keys, screenshots.
What the player sent to the media device and the texts it drew are read back
from Wine's trace output.

The test scripts take two arguments: the Windows build folder and a work folder
(both given by CMake); `main()` parses them and runs the script's unittest cases.
"""
import atexit
import fcntl
import os
import re
import shutil
import struct
import subprocess
import sys
import time
import unittest
import wave

from traces import MciCall, TextDraw, decode_debugstr, parse_font_trace, parse_mci_trace  # noqa: F401
from traces import unanswered_mci_calls
from watchdog import Watchdog

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SAMPLES_DIR = os.path.join(SOURCE_DIR, "assets", "samples")
WINDOWS_BUILD = ""
WORK = ""

TITLE = "Tunewell"
CLIENT_SIZE = (184, 64)
CLOSE_BUTTON = (12, 10)
# Names each started program in its environment (the value is its report file): the launcher's Wine
# process hands its environment on to the program's, which is how its Unix process is found.
MARKER = "TUNEWELL_E2E_PROGRAM"
# The launcher gives the programs it starts this profile folder (a Windows path), when set.
PROFILE = "TUNEWELL_E2E_USERPROFILE"
# That variable's value for a program started with no USERPROFILE at all.
NO_PROFILE = "*"
ASOUNDRC = "pcm.!default { type null }\n"


def configure(windows_build, work):
    """Sets where the cross-built programs are and where sessions keep their files, and gives the
    programs the sound set-up their Wine plays on."""
    global WINDOWS_BUILD, WORK
    WINDOWS_BUILD = os.path.abspath(windows_build)
    WORK = os.path.abspath(work)
    os.makedirs(WORK, exist_ok=True)
    if wine_major() >= 9 and not os.environ.get("PULSE_SERVER"):
        start_sound_server(os.path.join(WORK, "pulse"))


def wine_major():
    """The major version of the wine on PATH (8 for "wine-8.0 (Debian 8.0~repack-4)"), 0 if unknown."""
    try:
        out = subprocess.run(["wine", "--version"], capture_output=True, text=True, timeout=60).stdout
    except (OSError, subprocess.TimeoutExpired):
        return 0
    m = re.match(r"wine-(\d+)", out.strip())
    return int(m.group(1)) if m else 0


def start_sound_server(folder):
    """Starts a PulseAudio daemon with a null sink for this process's programs (ended when it
    exits) and names it in PULSE_SERVER, which every Wine process started from here inherits.
    Wine 10's device on ALSA's null device stops every track after a second or so; on a sound
    server it plays tracks to their end, as a desktop's Wine does."""
    if not shutil.which("pulseaudio"):
        sys.exit(f"pulseaudio is needed for the end-to-end tests under {subprocess.getoutput('wine --version')}")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder, mode=0o700)
    socket = os.path.join(folder, "native")
    env = {**os.environ, "XDG_RUNTIME_DIR": folder, "HOME": folder}
    with open(os.path.join(folder, "pulseaudio.log"), "wb") as log:
        daemon = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--load=module-null-sink sink_name=null",
             f"--load=module-native-protocol-unix auth-anonymous=1 socket={socket}"],
            env=env, stdout=log, stderr=subprocess.STDOUT)

    def stop():
        daemon.terminate()
        try:
            daemon.wait(10)
        except subprocess.TimeoutExpired:
            daemon.kill()
    atexit.register(stop)
    if not wait_for(lambda: os.path.exists(socket) or daemon.poll() is not None, 30) or daemon.poll() is not None:
        sys.exit(f"the PulseAudio daemon did not start; see {folder}/pulseaudio.log")
    os.environ["PULSE_SERVER"] = "unix:" + socket


def main():
    """Entry of a test script: <windows build> <work folder> [unittest arguments]."""
    if len(sys.argv) < 3:
        sys.exit(f"usage: {sys.argv[0]} <windows build folder> <work folder> [unittest arguments]")
    configure(sys.argv[1], sys.argv[2])
    for tool in ("wine", "wineserver", "Xvfb", "xdotool"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is needed for the end-to-end tests")
    unittest.main(argv=[sys.argv[0], *sys.argv[3:]], verbosity=2)


def find_built(name):
    """Path of a file the Windows build produced (brumby.exe, ravlet.dll, launcher.exe ...); fails when
    the build has no such file, so that no caller goes on without it."""
    for root, dirs, files in os.walk(WINDOWS_BUILD):
        dirs[:] = [d for d in dirs if d != "CMakeFiles" and not d.endswith("-build")]
        if name in files:
            return os.path.join(root, name)
    raise AssertionError(f"{name} not found under {WINDOWS_BUILD}")


# The watchdogs of the sessions open now: a wait fails as soon as one of them found a hung player.
WATCHDOGS = []


def wait_for(predicate, timeout, step=0.1):
    """Polls until predicate returns something true; returns its last value. Fails once a session's
    watchdog found a player that stopped answering."""
    end = time.monotonic() + timeout
    while True:
        for watchdog in WATCHDOGS:
            if watchdog.hung():
                raise AssertionError(watchdog.hung())
        value = predicate()
        if value or time.monotonic() >= end:
            return value
        time.sleep(step)


def wine_env(prefix, home, display=None, debug="-all"):
    env = {k: v for k, v in os.environ.items() if not k.startswith(("WINE", "DISPLAY"))}
    env.update(WINEPREFIX=prefix, HOME=home, WINEDEBUG=debug, WINEDLLOVERRIDES="mscoree,mshtml=")
    if display:
        env["DISPLAY"] = display
    return env


def prepare_prefix(prefix, home):
    """Makes a fresh Wine prefix fit for the player: no window manager needed,
    the profile folders the player expects, no Mono or Gecko prompts."""
    env = wine_env(prefix, home)
    os.makedirs(home, exist_ok=True)
    if not os.environ.get("PULSE_SERVER"):  # no sound server: ALSA's null device
        with open(os.path.join(home, ".asoundrc"), "w") as f:
            f.write(ASOUNDRC)
    quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["wineboot", "-i"], env=env, check=True, timeout=300, **quiet)
    # Unmanaged windows: hiding a window would otherwise wait ~2 s for a window manager.
    subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f"],
                   env=env, check=True, timeout=120, **quiet)
    # No crash dialog: a program that faults ends instead of waiting for a click.
    subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD",
                    "/d", "0", "/f"], env=env, check=True, timeout=120, **quiet)
    # No debugger at all: with the default one a program that faults unhandled (now and then one of
    # Wine's own service processes, while a session starts) still waits half a minute behind a
    # "Program Error" window or opens a console with the debugger's report, which draws into the
    # traces and can take the focus; without one it ends at once with its fault's code.
    subprocess.run(["wine", "reg", "add", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug", "/v",
                    "Debugger", "/d", "", "/f"], env=env, check=True, timeout=120, **quiet)
    subprocess.run(["wineserver", "-w"], env=env, timeout=120)


def profile_dir(prefix):
    """Unix path of USERPROFILE inside a prefix (drive_c/users/<user>)."""
    users = os.path.join(prefix, "drive_c", "users")
    names = [n for n in sorted(os.listdir(users)) if n != "Public" and os.path.isdir(os.path.join(users, n))]
    if not names:
        raise AssertionError(f"no user profile in {users}")
    wanted = os.environ.get("USER") or "root"
    return os.path.join(users, wanted if wanted in names else names[0])


def prefix_template():
    """The prefix every session copies, made once per build folder (locked against parallel runs)."""
    template = os.path.join(WORK, "prefix-template")
    stamp = os.path.join(WORK, "prefix-template.ready")
    with open(os.path.join(WORK, "prefix-template.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(stamp):
            shutil.rmtree(template, ignore_errors=True)
            prepare_prefix(os.path.join(template, "prefix"), os.path.join(template, "home"))
            open(stamp, "w").close()
    return template


def lasting_prefix(folder):
    """Makes folder/prefix and folder/home once (a stamp file marks them done) and keeps them."""
    stamp = os.path.join(folder, "prefix.ready")
    if not os.path.exists(stamp):
        shutil.rmtree(os.path.join(folder, "prefix"), ignore_errors=True)
        prepare_prefix(os.path.join(folder, "prefix"), os.path.join(folder, "home"))
        open(stamp, "w").close()


class Display:
    """An Xvfb server on a display number it picks itself."""

    def __init__(self, size=(1024, 768)):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{size[0]}x{size[1]}x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        if not number:
            self.process.kill()
            raise AssertionError("Xvfb did not start")
        self.name = f":{number}"
        self.size = size

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class Image:
    """A screenshot as RGB triples, read from ImageMagick's PPM output."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def from_ppm(cls, blob):
        fields, pos = [], 0
        while len(fields) < 4:
            while blob[pos:pos + 1].isspace():
                pos += 1
            if blob[pos:pos + 1] == b"#":
                pos = blob.index(b"\n", pos)
                continue
            end = pos
            while not blob[end:end + 1].isspace():
                end += 1
            fields.append(blob[pos:end])
            pos = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise AssertionError(f"unexpected picture format {fields}")
        width, height = int(fields[1]), int(fields[2])
        data = blob[pos + 1:pos + 1 + width * height * 3]
        return cls(width, height, data)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def region(self, x, y, w, h):
        """Sub-picture; parts outside the picture are cut off."""
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + w), min(self.height, y + h)
        rows = [self.data[(r * self.width + x0) * 3:(r * self.width + x1) * 3] for r in range(y0, y1)]
        return Image(max(0, x1 - x0), max(0, y1 - y0), b"".join(rows))

    def colours(self):
        """Set of the distinct colours in the picture."""
        return {tuple(self.data[i:i + 3]) for i in range(0, len(self.data), 3)}

    def save(self, path):
        header = f"P6\n{self.width} {self.height}\n255\n".encode()
        subprocess.run(["/usr/bin/convert", "ppm:-", path], input=header + self.data, check=True, timeout=60)


def rows_shown(session, folder, within=10):
    """The rows of the running player's list once its loop answers the list driver's messages, or None
    when it has not answered for `within` seconds. folder: where the driver starts from."""
    end = time.monotonic() + within
    while True:
        driver = session.start(["rows"], cwd=folder, exe=find_built("list_driver.exe"))
        try:
            driver.wait_exit(within + 20)
            lines = driver.output()
        except AssertionError:
            driver.kill_program()
            lines = []
        if lines and "busy" not in lines and "missing" not in lines:
            return [line[4:] for line in lines if line.startswith("row=")]
        if time.monotonic() >= end:
            return None


def read_lines(path):
    try:
        with open(path, "rb") as f:
            return f.read().decode("utf-8", "replace").splitlines()
    except FileNotFoundError:
        return []


class GrowingFile:
    """A file that another program writes to (a trace): the whole lines it gained since the last look,
    a line still being written kept back until its end."""

    def __init__(self, path):
        self.path, self.offset, self.rest = path, 0, b""

    def new_lines(self):
        try:
            with open(self.path, "rb") as f:
                f.seek(self.offset)
                data = f.read()
        except FileNotFoundError:
            return []
        self.offset += len(data)
        lines = (self.rest + data).split(b"\n")
        self.rest = lines.pop()
        return [raw.decode("utf-8", "replace").rstrip("\r") for raw in lines]


def write_wav(path, seconds=3.0, rate=8000):
    """A quiet mono WAV file for tests that need any playable file."""
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(b"\0\0" * int(seconds * rate))
    return path


class Session:
    """One isolated run environment: prefix, HOME, display; players are started in it."""

    def __init__(self, name, trace_fonts=False, folder=None, trace_windows=False, locale=None):
        """name: the session's folder under the work folder, made afresh with a copy of the prefix
        template. folder: a lasting folder instead, whose prefix is made once and kept.
        trace_windows: Wine also traces window calls (SetWindowPos and its flags, show, activate).
        locale: the Unix locale every program of the session runs in, which sets Wine's system code
        page (ja_JP.UTF-8: 932); it must exist (locale -a)."""
        self.trace_fonts = trace_fonts
        self.lasting = folder is not None
        self.dir = os.path.abspath(folder) if self.lasting else os.path.join(WORK, name)
        self.prefix = os.path.join(self.dir, "prefix")
        self.home = os.path.join(self.dir, "home")
        if self.lasting:
            lasting_prefix(self.dir)
        else:
            shutil.rmtree(self.dir, ignore_errors=True)
            os.makedirs(self.dir)
            template = prefix_template()
            subprocess.run(["cp", "-a", os.path.join(template, "prefix"), self.prefix], check=True, timeout=300)
            shutil.copytree(os.path.join(template, "home"), self.home)
        self.players = []
        self.profile = None  # the programs' own profile folder, a Unix path; None: the prefix's user
        self.pages = os.path.join(self.dir, "opened-pages.txt")
        self.display = Display()
        debug = "-all,trace+mci" + (",trace+font" if trace_fonts else "") + (",trace+win" if trace_windows else "")
        self.env = wine_env(self.prefix, self.home, self.display.name, debug)
        if locale:
            self.env.update(LC_ALL=locale, LANG=locale)
        self.watchdog = Watchdog(self)
        WATCHDOGS.append(self.watchdog)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def check_answering(self):
        """Fails once the watchdog found a player that stopped answering."""
        hung = self.watchdog.hung()
        if hung:
            raise AssertionError(hung)

    def close(self):
        """Ends everything the session started and drops a copied prefix (logs stay); fails when a
        player stopped answering while the session ran."""
        self.watchdog.stop()
        WATCHDOGS.remove(self.watchdog)
        for player in self.players:
            player.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        self.display.stop()
        if not self.lasting:
            shutil.rmtree(self.prefix, ignore_errors=True)
        self.check_answering()

    # Paths

    def windows_path(self, path):
        """Windows form of a Unix path as Wine shows it to the program (C: is the prefix's drive_c, Z: is /)."""
        path = os.path.abspath(path)
        drive_c = os.path.join(self.prefix, "drive_c")
        if path == drive_c or path.startswith(drive_c + os.sep):
            return "C:\\" + os.path.relpath(path, drive_c).replace("/", "\\").lstrip(".")
        return "Z:" + path.replace("/", "\\")

    @property
    def data_dir(self):
        """Unix path of the player's per-user data folder."""
        profile = self.profile or profile_dir(self.prefix)
        return os.path.join(profile, "Local Settings", "Application Data", "Varnel", "MP3")

    def use_profile(self, name):
        """Makes a profile folder of this name beside the prefix's user and gives it to every program
        started from now on as USERPROFILE."""
        self.profile = os.path.join(self.prefix, "drive_c", "users", name)
        os.makedirs(self.profile, exist_ok=True)

    def install(self, name="install", skin=True, library=True):
        """Copies brumby.exe (with ravlet.dll, and the skin files when present) into a fresh folder."""
        folder = os.path.join(self.dir, name)
        os.makedirs(folder, exist_ok=True)
        shutil.copy(find_built("brumby.exe"), folder)
        if library:
            shutil.copy(find_built("ravlet.dll"), folder)
        if skin:
            for picture in ("back.vnb", "backmouse.vnb"):
                source = os.path.join(SOURCE_DIR, "assets", picture)
                if os.path.exists(source):
                    shutil.copy(source, folder)
        return folder

    def samples(self):
        """The sample media files, or one synthesized WAV while there are none."""
        if os.path.isdir(SAMPLES_DIR):
            found = sorted(os.path.join(SAMPLES_DIR, n) for n in os.listdir(SAMPLES_DIR)
                           if n.lower().endswith((".mp3", ".ogg", ".wav", ".mid")))
            if found:
                return found
        media = os.path.join(self.dir, "media")
        os.makedirs(media, exist_ok=True)
        return [write_wav(os.path.join(media, "tone.wav"))]

    # Web pages

    def record_opened_pages(self):
        """Puts a stand-in browser in place that only notes each address Wine is asked to open;
        `opened_pages` reads them back. Call before starting the program that opens pages."""
        browser = os.path.join(self.dir, "note-page.sh")
        with open(browser, "w") as f:
            f.write(f'#!/bin/sh\necho "$1" >> "{self.pages}"\n')
        os.chmod(browser, 0o755)
        subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/d", browser,
                        "/f"], env=self.env, check=True, timeout=120,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def opened_pages(self):
        """Addresses the stand-in browser was given, in order."""
        return read_lines(self.pages)

    # Players

    def start(self, args=(), cwd=None, exe=None, profile=True):
        """Starts brumby.exe (or the program exe names, a Unix path) with Windows-form arguments from cwd
        (default: a fresh installation) through the launcher. profile=False: with no USERPROFILE."""
        cwd = cwd or self.install()
        exe = exe or os.path.join(cwd, "brumby.exe")
        player = Player(self, len(self.players) + 1, exe, list(args), cwd, profile)
        self.players.append(player)
        return player

    def xdotool(self, *args):
        done = subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True,
                              timeout=30)
        return done.stdout

    def describe(self):
        """What a failing wait reports: each window shown on the screen and each window of a started
        program (its X id, title, owning Unix process and whether it is mapped), and for each player,
        and each other program still running, whether it ended and the last media commands it sent."""
        owners = {window: player for player in self.players for window in player.windows(None, visible=False)}
        shown = self.xdotool("search", "--onlyvisible", "--name", "").split()
        windows = []
        for window in dict.fromkeys(shown + list(owners)):
            name = self.xdotool("getwindowname", window).strip()
            pid = self.xdotool("getwindowpid", window).strip()
            if name or pid:  # not the root window
                owner = f" ({owners[window].name})" if window in owners else ""
                state = "mapped" if window in shown else "unmapped"
                windows.append(f"{int(window):#x} {name!r} pid {pid or '-'}{owner} {state}")
        programs = []
        for player in self.players:
            if player.exit_code() is not None and not player.exe.endswith("brumby.exe"):
                continue
            sent = [c for c in player.commands() if not c.startswith("status ")][-3:]
            error = player.reported("error")
            waiting = "" if player.exit_code() is not None else f" ({player.stuck_in()})"
            programs.append(f"{player.name} pid {player.unix_pid()} exit={player.exit_code()}"
                            f"{'' if error is None else f' launch error={error}'} last={sent}{waiting}")
        return f"windows: {windows}; programs: {programs}"

    def wait_until(self, what, predicate, timeout=10):
        """Polls predicate, a look at the screen, until it returns something true, and returns that;
        fails saying what did not come and what the screen shows."""
        value = wait_for(predicate, timeout, 0.2)
        if not value:
            raise AssertionError(f"{what}: not within {timeout} s; {self.describe()}")
        return value

    def geometry(self, window):
        """(x, y, width, height) of an X window."""
        out = self.xdotool("getwindowgeometry", window)
        pos = re.search(r"Position: (-?\d+),(-?\d+)", out)
        size = re.search(r"Geometry: (\d+)x(\d+)", out)
        if not pos or not size:
            return None
        return tuple(int(v) for v in pos.groups() + size.groups())

    def screenshot(self, path=None):
        """The whole screen as an Image; also saved as a picture file when path is given."""
        command = ["/usr/bin/import", "-display", self.display.name, "-window", "root", "-depth", "8", "ppm:-"]
        blob = subprocess.run(command, capture_output=True, check=True, timeout=60).stdout
        image = Image.from_ppm(blob)
        if path:
            image.save(path)
        return image


class Player:
    """One brumby.exe (or test driver) process started through the launcher."""

    def __init__(self, session, number, exe, args, cwd, profile=True):
        self.session = session
        self.report = os.path.join(session.dir, f"player{number}.report")
        self.log = os.path.join(session.dir, f"player{number}.trace")
        self.out = os.path.join(session.dir, f"player{number}.out")
        self.exe = exe
        self.name = f"player{number} {os.path.basename(exe)}"
        self.unix_process = None
        self.watched = True  # a test that holds the player's thread on purpose turns its watchdog off
        self.window = None
        self.origin = None
        self.pointer = None
        for stale in (self.report, self.log, self.out):
            if os.path.exists(stale):
                os.remove(stale)
        launcher = find_built("launcher.exe")
        # Wine joins these into the Windows command line, quoting those that hold blanks.
        command = ["wine", launcher, session.windows_path(self.report), session.windows_path(exe), *args]
        with open(self.log, "wb") as log, open(self.out, "wb") as out:
            env = {**session.env, MARKER: self.report}
            if session.profile:
                env[PROFILE] = session.windows_path(session.profile)
            if not profile:
                env[PROFILE] = NO_PROFILE
            self.process = subprocess.Popen(command, cwd=cwd, env=env, stdout=out, stderr=log)

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def kill_program(self):
        """Kills the program itself (kill -9 of its Wine process, not the launcher's), as a crash
        or the task manager would end it; returns how many processes were killed."""
        found = self.processes()
        for pid in found:
            os.kill(pid, 9)
        return len(found)

    def processes(self):
        """Unix IDs of the program's running Wine process: its first argument names the program
        (the launcher's, which carries the same environment, names the launcher) and its environment
        holds this program's marker and the session's prefix (Wine's own processes of the session
        inherit the first program's marker)."""
        name = os.path.basename(self.exe).lower().encode()
        wanted = {f"{MARKER}={self.report}".encode(), b"WINEPREFIX=" + self.session.prefix.encode()}
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    program = f.read().split(b"\0", 1)[0]
                if re.split(rb"[\\/]", program)[-1].lower() != name:
                    continue
                with open(f"/proc/{pid}/environ", "rb") as f:
                    if wanted <= set(f.read().split(b"\0")):
                        found.append(int(pid))
            except OSError:
                continue
        return found

    def unix_pid(self):
        """Unix ID of the program's Wine process, kept once found (its windows may outlive it for a
        moment), or None while it was not seen running."""
        if self.unix_process is None:
            # The program's copy between a fork and the next exec looks the same: the lower ID is the parent.
            self.unix_process = min(self.processes(), default=None)
        return self.unix_process

    # Exit

    def reported(self, key):
        """A number of the launcher's report (pid, tid, exit, or error when it could not start the
        program), or None while the report does not hold it."""
        for line in read_lines(self.report):
            name, _, value = line.partition("=")
            if name == key:
                return int(value)
        return None

    def pid(self):
        """The Windows process ID the launcher reported, or None before it started the program."""
        return self.reported("pid")

    def main_thread(self):
        """The Windows ID of the program's first thread (the player's loop runs on it), or None before
        the launcher started the program."""
        return self.reported("tid")

    def exit_code(self):
        """The player's Windows exit code, or None while it runs."""
        return self.reported("exit")

    def wait_exit(self, timeout=20):
        """Waits for the program's end; returns its exit code."""
        wait_for(lambda: self.exit_code() is not None or self.reported("error") is not None, timeout)
        if self.reported("error") is not None:
            raise AssertionError(f"the launcher could not start {self.exe}: error {self.reported('error')}")
        if self.exit_code() is None:
            raise AssertionError(f"{self.name} did not end within {timeout} s")
        self.process.wait(30)
        return self.exit_code()

    def output(self):
        """Lines the program wrote to its standard output so far (test drivers report there)."""
        return read_lines(self.out)

    # Trace

    def mci_calls(self):
        return parse_mci_trace(read_lines(self.log))

    def stuck_in(self):
        """What a player that stopped answering waits in: its media commands still without a
        result, with their threads (the device thread waits in the last one)."""
        pending = unanswered_mci_calls(read_lines(self.log))
        if not pending:
            sent = self.commands()
            return f"no media command is waiting for its result (the last one sent: {sent[-1] if sent else None!r})"
        return "media commands without a result: " + ", ".join(f"{c!r} (thread {t})" for t, c in pending)

    def commands(self):
        """Media command strings sent so far, in order."""
        return [call.command for call in self.mci_calls()]

    def wait_commands(self, count, timeout=30):
        """Waits until at least count commands were sent; returns them all."""
        wait_for(lambda: len(self.commands()) >= count, timeout, 0.2)
        return self.commands()

    def text_draws(self):
        if not self.session.trace_fonts:
            raise AssertionError("the session was made without trace_fonts=True")
        return parse_font_trace(read_lines(self.log))

    def texts(self):
        """Texts drawn so far, in order."""
        return [draw.text for draw in self.text_draws()]

    # Window

    def windows(self, title=TITLE, visible=True):
        """X ids of the program's windows titled exactly title (any title when None), shown ones only
        unless visible is False. They are picked by their process (Wine sets _NET_WM_PID on each), never
        by id: X ids are handed out per client connection and come back once a client has gone, so a
        newer player, which ends the older one before it makes its window, can get the older one's id."""
        pid = self.unix_pid()
        if pid is None:
            return []
        criteria = ["--all", "--pid", pid] + (["--onlyvisible"] if visible else [])
        if title is not None:
            criteria += ["--name", f"^{re.escape(title)}$"]
        return self.session.xdotool("search", *criteria).split()

    def wait_windows(self, title=TITLE, timeout=10, gone=False):
        """Waits until the program shows windows titled title (any title when None), or with gone=True
        until it shows none; returns the X ids shown last. Fails saying what the screen shows."""
        shown = []

        def done():
            shown[:] = self.windows(title)
            return not shown if gone else shown
        window = "window" if title is None else f"{title!r} window"
        what = f"{self.name} shows {'no' if gone else 'a'} {window}"
        self.session.wait_until(what, done, timeout)
        return shown

    def wait_window(self, timeout=30):
        """Waits for the program's shown "Tunewell" window; returns its (x, y, width, height)."""
        def found():
            ids = self.windows()
            geometry = ids and self.session.geometry(ids[-1])
            return geometry and (ids[-1], geometry)
        self.window, geometry = self.session.wait_until(f"{self.name} shows its {TITLE} window", found, timeout)
        self.origin = geometry[:2]
        return geometry

    def to_screen(self, x, y):
        if self.origin is None:
            self.wait_window()
        return self.origin[0] + x, self.origin[1] + y

    def hover(self, x, y, settle=0.3):
        """Moves the pointer to client (x, y) and lets a few loop passes run."""
        sx, sy = self.to_screen(x, y)
        # xdotool's --sync waits for the pointer to move, which takes seconds when it is already there.
        here = re.search(r"x:(-?\d+) y:(-?\d+)", self.session.xdotool("getmouselocation"))
        sync = [] if here and (int(here.group(1)), int(here.group(2))) == (sx, sy) else ["--sync"]
        self.session.xdotool("mousemove", *sync, sx, sy)
        self.pointer = (x, y)
        time.sleep(settle)

    def click(self, x, y, settle=0.3):
        """Left click at client (x, y); the pointer stays there so the next pass sees it."""
        self.hover(x, y, 0.2)
        self.session.xdotool("click", "1")
        time.sleep(settle)

    def double_click(self, x, y, settle=0.3):
        """Left double click at client (x, y)."""
        self.hover(x, y, 0.2)
        self.session.xdotool("click", "--repeat", "2", "--delay", "80", "1")
        time.sleep(settle)

    def key(self, name, hold=0.15, settle=0.3):
        """Presses and releases a key (an X keysym such as XF86AudioPlay). Wine only sees keys while the
        pointer is over one of its windows, so an unplaced pointer is put on a bare spot of the face."""
        if self.pointer is None:
            self.hover(CLIENT_SIZE[0] - 4, 4, 0.1)
        self.session.xdotool("keydown", name)
        time.sleep(hold)
        self.session.xdotool("keyup", name)
        time.sleep(settle)

    def request_close(self):
        """Clicks the close button."""
        self.click(*CLOSE_BUTTON)

    def capture(self, path=None):
        """Screenshot of the player's client area as an Image."""
        x, y = self.to_screen(0, 0)
        image = self.session.screenshot().region(x, y, *CLIENT_SIZE)
        if path:
            image.save(path)
        return image

    def pixel(self, x, y):
        """Colour of client pixel (x, y) now."""
        return self.capture().pixel(x, y)

    def region(self, x, y, w, h):
        """Client rectangle now, as an Image."""
        return self.capture().region(x, y, w, h)


# The face's points, pictures and the list as the tests reach them.
# Inside the information strip and outside every button's hit box: a resting place for the
# pointer, which must be over a Wine window for keys to reach Wine without a window manager.
NEUTRAL = (170, 12)
PREVIOUS, PLAY, PAUSE, STOP, NEXT = (32, 48), (55, 48), (77, 48), (100, 48), (124, 48)
SEEK_END = (127, 32)  # the position bar's last column that seeks
PLAY_REPAINT_BOX = (44, 37, 66, 60)  # left, top, right, bottom, inclusive
PLAYLIST_BUTTON = (150, 48)
MINIMISE = (12, 20)
# The playlist window's client area starts 64 pixels below the face's, so its points are given
# in face coordinates: the bottom frame's add, remove and clear buttons, and the list's rows.
PLAYLIST_TOP = 64
ADD, REMOVE, CLEAR = (30, PLAYLIST_TOP + 190), (57, PLAYLIST_TOP + 190), (84, PLAYLIST_TOP + 190)
LIST_TOP = PLAYLIST_TOP + 10


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
    wait_for(lambda: len(actions(player)) >= before + count, timeout, 0.1)
    time.sleep(settle)
    return actions(player)[before:]


def list_driver(session, folder, *args, timeout=20):
    """Runs the list driver to its end; returns its output lines, or None for a driver that did not
    end: it is killed, and what was on the screen then is noted on the error stream."""
    driver = session.start(list(args), cwd=folder, exe=find_built("list_driver.exe"))
    try:
        driver.wait_exit(timeout)
    except AssertionError:
        driver.kill_program()
        print(f"list driver {list(args)} did not end within {timeout} s; {session.describe()}", file=sys.stderr)
        return None
    return driver.output()


def answered(session, folder, *args, timeout=60):
    """The list driver's output once the player answered it. While the player is too busy to answer
    (a media call can hold its thread for seconds on a loaded machine), or the driver itself did
    not get to run, it is asked again."""
    def ask():
        lines = list_driver(session, folder, *args)
        return lines is not None and "busy" not in lines and lines
    lines = wait_for(ask, timeout, 0.3)
    if not lines:
        raise AssertionError(f"the player's list did not answer {list(args)} within {timeout} s; "
                             f"{session.describe()}")
    return lines


def list_rows(session, folder):
    """(row height, row texts) of the running player's playlist list."""
    lines = answered(session, folder, "rows")
    height = next((int(line[7:]) for line in lines if line.startswith("height=")), 0)
    return height, [line[4:] for line in lines if line.startswith("row=")]


def select_row(session, folder, row):
    """Selects a row of the player's list as a click would, without a notification."""
    return answered(session, folder, "select", str(row))


def wait_rows(session, folder, expected, timeout=10):
    """Waits until the list shows these row texts; returns what it shows last."""
    shown = []

    def matches():
        shown[:] = list_rows(session, folder)[1]
        return shown == expected
    wait_for(matches, timeout, 0.3)
    return shown


# The open-file dialog's title: the empty text the player passes.
DIALOG = ""


def answer_dialog(player, keys):
    """Waits for the player's open-file dialog, types into it and waits for it to close."""
    session = player.session
    x, y, width, _height = session.geometry(player.wait_windows(DIALOG, 20)[-1])
    # Keys reach Wine only while the pointer is over one of its windows.
    session.xdotool("mousemove", "--sync", x + width // 2, y + 10)
    for key in keys:
        session.xdotool(*key)
    player.wait_windows(DIALOG, 20, gone=True)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()
