#!/usr/bin/env bash
# Installs everything the builds and tests need on Debian 12 (run as root),
# and fetches the libjpeg-turbo source that the Windows build cross-compiles.
# Safe to run again: it only installs what is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

packages=(
    cmake make g++ googletest libgtest-dev libjpeg62-turbo-dev python3
    g++-mingw-w64-x86-64 wine wine64 xvfb xdotool x11-utils imagemagick
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
    gstreamer1.0-plugins-ugly gstreamer1.0-libav fluid-soundfont-gm fonts-liberation
    dpkg-dev python3-xlib clang libclang-rt-14-dev python3-matplotlib
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Older versions of this script named a mirror in a list file of their own.
rm -f /etc/apt/sources.list.d/tunewell-src.sources

# libjpeg-turbo's source, from the distribution's own source package, unpacked
# below build/ and never committed. The deb-src entries are derived from the
# machine's own apt sources (so whatever mirror or proxy it uses serves them) and
# kept with their indexes in an apt state of our own under build/: the machine's
# apt configuration stays as it was.
src_root="$here/build/third_party"
if ! ls -d "$src_root"/libjpeg-turbo-*/ >/dev/null 2>&1; then
    echo "setup: fetching the libjpeg-turbo source package"
    apt_state="$src_root/apt"
    rm -rf "$apt_state"
    mkdir -p "$apt_state/sources.list.d" "$apt_state/lists/partial" "$apt_state/cache"
    python3 "$here/scripts/deb_src_entries.py" > "$apt_state/sources.list.d/deb-src.sources"
    apt_own=(-o Dir::Etc::SourceList="$apt_state/sources.list" -o Dir::Etc::SourceParts="$apt_state/sources.list.d"
             -o Dir::State::Lists="$apt_state/lists" -o Dir::Cache="$apt_state/cache" -o APT::Sandbox::User=root)
    apt-get "${apt_own[@]}" update -qq
    (cd "$src_root" && apt-get "${apt_own[@]}" source -qq libjpeg-turbo >/dev/null 2>&1) ||
        { echo "setup: apt-get source libjpeg-turbo failed" >&2; exit 1; }
    rm -rf "$apt_state"
fi
ls -d "$src_root"/libjpeg-turbo-*/ >/dev/null
