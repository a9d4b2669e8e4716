#!/usr/bin/env bash
# The random user's long run: builds the scenario tests optimised in
# build/random-user and runs SEEDS seeds of PASSES passes each, the seeds
# shared out over JOBS processes (default 2).
#
#   bash scripts/random_user.sh                20 seeds of 200000 passes
#   bash scripts/random_user.sh 5 50000        5 seeds of 50000 passes
#   FIRST_SEED=100 bash scripts/random_user.sh other seeds than 1, 2, ...
#
# Prints every seed's figures and the totals. A seed that fails prints what
# did not hold, its last actions and the command that replays it alone
# (TUNEWELL_RANDOM_USER_SEED); the run then fails.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
seeds=${1:-20}
passes=${2:-200000}
jobs=${JOBS:-2}
first=${FIRST_SEED:-1}

echo "== random user build"
cmake -S . -B build/random-user -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/random-user -j "$jobs" --target scenario_tests

echo "== random user: $seeds seeds of $passes passes"
per=$(( (seeds + jobs - 1) / jobs ))
started=$(date +%s)
pids=()
logs=()
for (( job = 0; job * per < seeds; job++ )); do
    count=$(( seeds - job * per < per ? seeds - job * per : per ))
    log=build/random-user/job-$job.log
    logs+=("$log")
    TUNEWELL_RANDOM_USER_FIRST_SEED=$(( first + job * per )) TUNEWELL_RANDOM_USER_SEEDS=$count \
        TUNEWELL_RANDOM_USER_PASSES=$passes \
        build/random-user/tests/scenario_tests --gtest_filter='RandomUser.*' >"$log" 2>&1 &
    pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
done
elapsed=$(( $(date +%s) - started ))

grep -h 'actions,' "${logs[@]}" | grep -v ' seeds: ' | sort -k5,5n
grep -h 'actions,' "${logs[@]}" | grep -v ' seeds: ' | awk -v elapsed="$elapsed" '
    { passes += $6; actions += $8; sessions += $10; tracks += $12; saves += $15; seeds++ }
    END { printf "== %d seeds: %d passes, %d actions, %d sessions, %d tracks opened, %d saves, %d s\n",
                 seeds, passes, actions, sessions, tracks, saves, elapsed }'
if [ "$failed" -ne 0 ]; then
    grep -h -A40 'Failure' "${logs[@]}" | grep -v '^\[ random   \]' || true
    echo "== the random user found something (logs: ${logs[*]})"
fi
exit "$failed"
