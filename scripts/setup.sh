#!/usr/bin/env bash
# Installs everything the builds and tests need on Debian 12 or 13 (run as
# root), and fetches the libjpeg-turbo source that the Windows build
# cross-compiles. Safe to run again: it only installs what is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

packages=(
    cmake make g++ googletest libgtest-dev libjpeg62-turbo-dev python3
    g++-mingw-w64-x86-64 wine wine64 xvfb xdotool x11-utils imagemagick
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
    gstreamer1.0-plugins-ugly gstreamer1.0-libav fluid-soundfont-gm fonts-liberation
    dpkg-dev python3-xlib clang locales fonts-vlgothic python3-matplotlib
)

# Names that differ between releases are read from what the distribution has.
if ! apt-cache show clang >/dev/null 2>&1; then
    apt-get update -qq
fi
# The sanitizer and fuzzer runtimes go with the default clang's version
# (libclang-rt-14-dev on Debian 12, libclang-rt-19-dev on Debian 13).
clang_version=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -1)
[ -n "$clang_version" ] || { echo "setup: the clang package names no clang-N" >&2; exit 1; }
packages+=("libclang-rt-$clang_version-dev")
# From Wine 9 on, the end-to-end tests play to a PulseAudio null sink (Wine's
# media device stops every track after a second on ALSA's null device).
wine_version=$(apt-cache policy wine 2>/dev/null | sed -n 's/^ *Candidate: \([0-9][0-9]*\).*/\1/p')
if [ "${wine_version:-0}" -ge 9 ]; then
    packages+=(pulseaudio)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The Japanese locale one end-to-end session runs Wine in (system code page 932).
locale -a | grep -qx 'ja_JP.utf8' || localedef -i ja_JP -f UTF-8 ja_JP.UTF-8

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
    if ! (cd "$src_root" && apt-get "${apt_own[@]}" source -qq libjpeg-turbo >/dev/null 2>&1); then
        # A mirror that serves the source tarballs but not the .dsc (seen with
        # Debian 13's): the source is unpacked and patched as dpkg-source does.
        orig=$(ls "$src_root"/libjpeg-turbo_*.orig.tar.gz 2>/dev/null | head -1)
        debian=$(ls "$src_root"/libjpeg-turbo_*.debian.tar.xz 2>/dev/null | head -1)
        [ -n "$orig" ] && [ -n "$debian" ] || { echo "setup: apt-get source libjpeg-turbo failed" >&2; exit 1; }
        version=$(basename "$orig" .orig.tar.gz)
        unpacked="$src_root/unpacking"  # named by its version once whole
        rm -rf "$unpacked"
        mkdir -p "$unpacked"
        tar -xzf "$orig" -C "$unpacked" --strip-components=1
        tar -xJf "$debian" -C "$unpacked"
        if [ -f "$unpacked/debian/patches/series" ]; then
            grep -v '^[[:space:]]*\(#\|$\)' "$unpacked/debian/patches/series" | while read -r patch_name _; do
                patch -s -p1 -d "$unpacked" < "$unpacked/debian/patches/$patch_name"
            done
        fi
        mv "$unpacked" "$src_root/libjpeg-turbo-${version#libjpeg-turbo_}"
    fi
    rm -rf "$apt_state"
fi
ls -d "$src_root"/libjpeg-turbo-*/ >/dev/null
