#!/usr/bin/env bash
# Sets up the machine, builds both trees, and runs every test: unit and
# scenario tests natively and under AddressSanitizer/UBSan, a short run of
# every fuzz target, and the end-to-end tests of the real brumby.exe and
# ravlet.dll under Wine on a virtual display. On a machine whose own Wine is
# older than 10 (Debian 12), the end-to-end sessions also run under Wine 10,
# in a Debian 13 system made by scripts/trixie.sh; that system is made while
# the trees build, and kept for the next run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
jobs=${JOBS:-2}
start=$(date +%s)

bash scripts/setup.sh

wine_major=$(wine --version 2>/dev/null | sed -n 's/^wine-\([0-9][0-9]*\).*/\1/p')
wine10_leg=no
if [ "${wine_major:-0}" -lt 10 ]; then
    wine10_leg=yes
    mkdir -p build
    prepare_log="$here/build/trixie-prepare.log"
    echo "== Debian 13 system for the Wine 10 leg (in the background; $prepare_log)"
    (
        t0=$(date +%s)
        bash scripts/trixie.sh prepare
        echo "trixie: prepared in $(( $(date +%s) - t0 )) s"
    ) > "$prepare_log" 2>&1 &
    prepare=$!
fi

bash scripts/build.sh

echo "== tests (sanitizers: unit, scenario)"
(cd build/sanitize && ctest -L 'unit|scenario' --output-on-failure -j "$jobs")
echo "== fuzz smoke"
bash scripts/fuzz.sh
echo "== tests (unit, scenario, e2e)"
t0=$(date +%s)
(cd build/native && ctest --output-on-failure)
echo "== e2e under $(wine --version) took $(( $(date +%s) - t0 )) s (with the unit and scenario tests)"

if [ "$wine10_leg" = yes ]; then
    echo "== Wine 10 leg"
    if ! wait "$prepare"; then
        cat "$prepare_log"
        echo "test: the Debian 13 system could not be made" >&2
        exit 1
    fi
    tail -1 "$prepare_log"
    t0=$(date +%s)
    bash scripts/trixie.sh e2e
    echo "== e2e under Wine 10 took $(( $(date +%s) - t0 )) s"
fi
echo "== test.sh took $(( $(date +%s) - start )) s"
