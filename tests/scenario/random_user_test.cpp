// The random user over whole sessions of the player: a few seeds of some tens
// of thousands of passes each. TUNEWELL_RANDOM_USER_SEED replays one seed;
// TUNEWELL_RANDOM_USER_SEEDS, _FIRST_SEED and _PASSES make a longer run
// (scripts/random_user.sh).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/random_user.h"
#include "support/sim_test.h"

namespace {

// Under the sanitizers a pass costs several times as much.
#if defined(__SANITIZE_ADDRESS__)
constexpr long DEFAULT_PASSES = 8000;
constexpr long DEFAULT_SEEDS = 2;
#else
constexpr long DEFAULT_PASSES = 20000;
constexpr long DEFAULT_SEEDS = 3;
#endif

long fromEnvironment(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

class RandomUser : public SimTest {};

TEST_F(RandomUser, EveryCheckHoldsPassAfterPass) {
    const long passes = fromEnvironment("TUNEWELL_RANDOM_USER_PASSES", DEFAULT_PASSES);
    const long replayed = fromEnvironment("TUNEWELL_RANDOM_USER_SEED", -1);
    const long first = replayed >= 0 ? replayed : fromEnvironment("TUNEWELL_RANDOM_USER_FIRST_SEED", 1);
    const long seeds = replayed >= 0 ? 1 : fromEnvironment("TUNEWELL_RANDOM_USER_SEEDS", DEFAULT_SEEDS);
    long totalPasses = 0, totalActions = 0;
    const auto started = std::chrono::steady_clock::now();
    for (long seed = first; seed < first + seeds; ++seed) {
        std::printf("[ random   ] seed %ld: %ld passes\n", seed, passes);
        std::fflush(stdout);
        const auto began = std::chrono::steady_clock::now();
        const support::RandomUserRun run =
            support::runRandomUser(static_cast<std::uint64_t>(seed), passes, root.string());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        std::printf(
            "[ random   ] seed %ld: %ld passes, %ld actions, %d sessions, %d tracks opened, %d saves, "
            "at most %d drawing objects, %.1f s\n",
            seed, run.passes, run.actions, run.sessions, run.tracksOpened, run.saves, run.peakDrawingObjects, seconds);
        totalPasses += run.passes;
        totalActions += run.actions;
        if (!run.failure.empty()) {
            std::string actions;
            for (const std::string& action : run.lastActions) actions += "\n  " + action;
            ADD_FAILURE() << "seed " << seed << ": " << run.failure << "\nlast actions:" << actions
                          << "\nreplay: TUNEWELL_RANDOM_USER_SEED=" << seed << " TUNEWELL_RANDOM_USER_PASSES=" << passes
                          << " scenario_tests --gtest_filter=RandomUser.*";
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("[ random   ] %ld seeds: %ld passes, %ld actions, %.1f s\n", seeds, totalPasses, totalActions, seconds);
}

}  // namespace
