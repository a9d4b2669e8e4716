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
    dpkg-dev
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

# libjpeg-turbo's source, from Debian's own source package, through a deb-src
# list of ours; unpacked below build/ and never committed.
src_root="$here/build/third_party"
if ! ls -d "$src_root"/libjpeg-turbo-*/ >/dev/null 2>&1; then
    echo "setup: fetching the libjpeg-turbo source package"
    cat > /etc/apt/sources.list.d/tunewell-src.sources <<'LIST'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
LIST
    apt-get update -qq
    mkdir -p "$src_root"
    (cd "$src_root" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1)
fi
ls -d "$src_root"/libjpeg-turbo-*/ >/dev/null
