#!/usr/bin/env bash
# Sets up the machine, builds both trees, and runs every test: unit and
# scenario tests natively and under AddressSanitizer/UBSan, a short run of
# every fuzz target, and the end-to-end tests of the real brumby.exe and
# ravlet.dll under Wine on a virtual display.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
jobs=${JOBS:-2}

bash scripts/setup.sh
bash scripts/build.sh

echo "== tests (sanitizers: unit, scenario)"
(cd build/sanitize && ctest -L 'unit|scenario' --output-on-failure -j "$jobs")
echo "== fuzz smoke"
bash scripts/fuzz.sh
echo "== tests (unit, scenario, e2e)"
(cd build/native && ctest --output-on-failure)
