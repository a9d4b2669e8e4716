#!/usr/bin/env bash
# Runs the player under Wine with the sample playlist. Sets the machine up and
# builds first when needed, then installs brumby.exe (and ravlet.dll and the
# skin files) into build/run and starts it from there with its own Wine prefix.
# On a reachable desktop ($DISPLAY) the player simply runs; without one it runs
# on a virtual display for a few seconds, is photographed into
# build/run/screenshot.png and closed through its close button, and what it did
# is reported. Usage: scripts/run.sh [seconds to play without a display, default 6]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
seconds=${1:-6}
windows="${TUNEWELL_WINDOWS_BUILD:-$here/build/windows}"
run="$here/build/run"

if ! command -v wine >/dev/null || ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null \
        || [ ! -x /usr/bin/convert ]; then
    bash scripts/setup.sh
fi
if [ ! -f "$windows/brumby.exe" ] || [ ! -f "$windows/tests/e2e/drivers/launcher.exe" ]; then
    bash scripts/setup.sh
    bash scripts/build.sh
else
    # Brings an existing build up to date; quick when nothing changed.
    cmake --build "$windows" -j "${JOBS:-2}" >/dev/null
fi

mkdir -p "$run"
cp "$windows/brumby.exe" "$run/"
if [ -f "$windows/aboutbox/ravlet.dll" ]; then cp "$windows/aboutbox/ravlet.dll" "$run/"; fi
for skin in back.vnb backmouse.vnb; do
    if [ -f "assets/$skin" ]; then cp "assets/$skin" "$run/"; fi
done
samples=()
for f in assets/samples/*; do
    if [ -f "$f" ]; then samples+=("$here/$f"); fi
done

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    export WINEPREFIX="$run/prefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
    if ! ls /dev/snd/pcmC* >/dev/null 2>&1; then
        mkdir -p "$run/home"
        echo 'pcm.!default { type null }' > "$run/home/.asoundrc"
        export HOME="$run/home"
    fi
    /usr/bin/python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import harness; harness.lasting_prefix(sys.argv[2])' \
        "$here/tests/e2e" "$run"
    args=()
    for f in "${samples[@]}"; do
        args+=("Z:${f//\//\\}")
    done
    cd "$run"
    exec wine brumby.exe "${args[@]}"
fi

echo "run: no display reachable; running on a virtual one for $seconds s"
exec /usr/bin/python3 tests/e2e/show_player.py "$windows" "$run" "$seconds" "${samples[@]}"
