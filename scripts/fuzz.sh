#!/usr/bin/env bash
# Builds the libFuzzer targets (clang; AddressSanitizer and UBSan) in
# build/fuzz and runs each from its seed corpus in tests/fuzz/corpus/<target>.
#
#   bash scripts/fuzz.sh            smoke run: RUNS inputs per target (default 20000), as CI does
#   bash scripts/fuzz.sh 600        each target for 600 seconds
#
# New inputs worth keeping go to build/fuzz/corpus/<target>; a crashing input
# is saved in build/fuzz/crashes/ and the run fails. Prints executions and
# crashes per target.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
jobs=${JOBS:-2}
seconds=${1:-}
runs=${RUNS:-20000}

echo "== fuzz build"
cmake -S . -B build/fuzz -DTUNEWELL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j "$jobs"

if [ -n "$seconds" ]; then
    limit=(-max_total_time="$seconds")
else
    # A smoke run is bounded by inputs; the time cap only guards a slow machine.
    limit=(-runs="$runs" -max_total_time=7)
fi

failed=0
summary=""
mkdir -p build/fuzz/crashes
for target in build/fuzz/tests/fuzz/*_fuzz; do
    name=$(basename "$target" _fuzz)
    work=build/fuzz/corpus/$name
    mkdir -p "$work"
    log=build/fuzz/$name.log
    status=0
    "$target" "${limit[@]}" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/crashes/$name-" "$work" "tests/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    crashes=0
    if [ "$status" -ne 0 ]; then
        crashes=1
        failed=1
        tail -40 "$log"
    fi
    summary+=$(printf '%-14s %10s executions  %d crashes' "$name" "${executions:-?}" "$crashes")$'\n'
done
echo "== fuzz results"
printf '%s' "$summary"
exit "$failed"
