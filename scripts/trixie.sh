#!/usr/bin/env bash
# A Debian 13 (trixie) system in build/trixie/root, made with debootstrap from
# the machine's own package mirror (derived from its apt sources), with Wine 10,
# GStreamer, PulseAudio and the tools the end-to-end tests use; and those tests
# run inside it, with a PulseAudio null sink as the sound server. Run as root.
#
#   bash scripts/trixie.sh prepare            make the system, or reuse a complete one
#   bash scripts/trixie.sh e2e [script ...]   run e2e scripts there (default: all)
#   bash scripts/trixie.sh run COMMAND ...    run a command there (as root, with /proc,
#                                             /dev, /sys and /tmp of the machine and
#                                             this work tree at its own path)
#
# The system is complete once build/trixie/ready holds the package list below;
# a second prepare then does nothing. An interrupted one starts again where it
# can: debootstrap's result is kept once it finished.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
top="$here/build/trixie"
root="$top/root"
release=trixie

packages=(
    wine wine64 gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
    gstreamer1.0-plugins-ugly gstreamer1.0-libav fluid-soundfont-gm fonts-liberation
    pulseaudio xvfb xdotool x11-utils imagemagick python3 python3-xlib procps locales fonts-vlgothic
)
# The e2e scripts under Wine 10: every session but the release zip's, whose
# start-up and playing the player session covers already.
e2e_scripts=(startup player info_strip about)

# Runs a command inside the system, in a mount namespace of its own, so that
# the bound folders go away with it whatever way it ends.
enter_root='
set -e
root=$1 here=$2
shift 2
for d in proc sys dev tmp; do mount --rbind "/$d" "$root/$d"; done
mkdir -p "$root$here"
mount --bind "$here" "$root$here"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
exec chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" ${CI:+CI=$CI} "$@"'
in_root() {
    unshare --mount --propagation private -- /bin/bash -c "$enter_root" enter "$root" "$here" "$@"
}

prepare() {
    local wanted="${packages[*]}"
    if [ -f "$top/ready" ] && [ "$(cat "$top/ready")" = "$wanted" ]; then
        echo "trixie: the system in $root is complete"
        return
    fi
    command -v debootstrap >/dev/null || {
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
    }
    mkdir -p "$top"
    rm -f "$top/ready"
    if [ ! -f "$top/bootstrapped" ]; then
        local archive
        archive=$(python3 "$here/scripts/deb_src_entries.py" --type deb --release "$release" --archive)
        echo "trixie: debootstrap (minbase) into $root"
        rm -rf "$root"
        debootstrap --variant=minbase --components=main "$release" "$root" "$archive" > "$top/debootstrap.log" 2>&1 ||
            { tail -20 "$top/debootstrap.log" >&2; exit 1; }
        touch "$top/bootstrapped"
    fi
    python3 "$here/scripts/deb_src_entries.py" --type deb --release "$release" > "$root/etc/apt/sources.list.d/debian.sources"
    rm -f "$root/etc/apt/sources.list"
    echo "trixie: installing ${packages[*]}"
    # The Japanese locale is the one an e2e session runs Wine in (system code page 932).
    in_root /bin/sh -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends "$@" && apt-get clean && localedef -i ja_JP -f UTF-8 ja_JP.UTF-8' \
        _ "${packages[@]}" > "$top/install.log" 2>&1 ||
        { tail -20 "$top/install.log" >&2; exit 1; }
    echo "$wanted" > "$top/ready"
    echo "trixie: ready ($(in_root wine --version 2>/dev/null))"
}

# The e2e scripts inside the system, against the Windows build of this tree
# (the harness gives each script a PulseAudio daemon with a null sink).
e2e() {
    [ -f "$top/ready" ] || { echo "trixie: no complete system; run prepare first" >&2; exit 1; }
    local scripts=("$@")
    [ ${#scripts[@]} -gt 0 ] || scripts=("${e2e_scripts[@]}")
    local work="$top/e2e"
    mkdir -p "$work"
    in_root /bin/bash -c "$leg" leg "$here" "$work" "${scripts[@]}"
}

leg='
here=$1 work=$2
shift 2
echo "== e2e under $(wine --version 2>/dev/null), a PulseAudio null sink for each script"
passed=0 failed=0
for script in "$@"; do
    start=$(date +%s)
    if python3 "$here/tests/e2e/${script}_test.py" "$here/build/windows" "$work" > "$work/$script.log" 2>&1; then
        passed=$((passed + 1)); verdict=passed
    else
        failed=$((failed + 1)); verdict=FAILED
        tail -40 "$work/$script.log"
    fi
    echo "e2e $script (Wine 10): $verdict in $(( $(date +%s) - start )) s"
done
echo "wine10: $passed passed, $failed failed"
[ "$failed" -eq 0 ]'

case "${1:-}" in
    prepare) prepare ;;
    e2e) shift; e2e "$@" ;;
    run) shift; in_root "$@" ;;
    *) echo "usage: $0 prepare | e2e [script ...] | run COMMAND ..." >&2; exit 2 ;;
esac
