// Nothing lost, nothing hung: whole sessions of the player over the simulated
// services, each run once clean, then once for every platform call with that
// call failing the way the real one fails, once with it faulting, and once
// with the process killed as it begins (every call that changes a file or
// holds it open); once with another thread faulting at every poll and during
// the device's commands, the loop's thread answering, hung, or hung inside an
// allocation; and once with the end of the session, a newer player's request
// to save, a drop and another thread's fault arriving inside every modal wait.
//
// After every run the list file holds what it held before or the saved form of
// a playlist the user saw, dir.vnd as before or whole and right, no temporary
// file is left (unless a kill left it, and then the next start clears it
// away), the session ended (or kept answering when its end could not be
// reached), and a fatal fault showed one box and ended with its code.
//
// Calls a pass makes by the hundred (the key scan, pointer reads, pixels, the
// device's status replies) are sampled: first, middle and last of each pass.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/sweep.h"

namespace {

using namespace sweep;

struct KindRuns {
    Kind kind;
    const char* name;
};
constexpr KindRuns KINDS[] = {{Kind::Failure, "failing"},
                              {Kind::Fault, "faulting"},
                              {Kind::Kill, "killed"},
                              {Kind::Elsewhere, "other thread at a poll"},
                              {Kind::InDevice, "other thread in a device command"},
                              {Kind::Inside, "inside a modal wait"}};

std::int64_t callLimit(const std::vector<sim::CallRecord>& log) {
    return static_cast<std::int64_t>(log.size()) * 4 + 100000;
}

class Sweep : public ::testing::TestWithParam<std::size_t> {};

TEST_P(Sweep, EveryInjectionLeavesNothingLostOrHung) {
    const Session& session = sessions()[GetParam()];
    const Outcome clean = runSession(session, {}, 0, true);
    const std::vector<sim::CallRecord> log = sim::callLog();
    const std::vector<std::string> cleanWrong = check(session, {}, clean);
    ASSERT_TRUE(cleanWrong.empty()) << cleanWrong.front();
    ASSERT_NE(clean.end, End::KeptRunning) << "the clean run did not reach its end";
    EXPECT_EQ(clean.listAfter.bytes, session.cleanList);
    if (session.cleanChecks) session.cleanChecks();

    std::string counts;
    std::vector<std::string> failures;
    for (const KindRuns& kind : KINDS) {
        int runs = 0;
        for (const Injection& injection : injections(log, clean, kind.kind)) {
            const Outcome outcome = runSession(session, injection, callLimit(log), false);
            ++runs;
            std::vector<std::string> wrong = check(session, injection, outcome);
            if (outcome.end == End::Killed) {
                for (const std::string& again : checkStartAgain(session)) wrong.push_back(again);
            }
            const std::string what =
                std::string(session.name) + ": " + describe(injection, log, clean) + ", " + endName(outcome.end) + ": ";
            for (const std::string& line : wrong) failures.push_back(what + line);
        }
        counts += std::string(counts.empty() ? "" : ", ") + kind.name + " " + std::to_string(runs);
    }
    std::printf("[ sweep    ] %s: %zu calls; runs %s\n", session.name, log.size(), counts.c_str());
    for (std::size_t i = 0; i < failures.size() && i < 20; ++i) ADD_FAILURE() << failures[i];
    EXPECT_TRUE(failures.empty()) << failures.size() << " runs went wrong";
}

// Runs the sweep found going wrong, each named for what went wrong, by the
// session and the n-th call of a name in its clean run (negative: from the end).
struct Regression {
    const char* name;
    std::size_t session;
    const char* call;
    int occurrence;
    Kind kind;
};

const Regression REGRESSIONS[] = {
    {"a row the list refuses while the file is read keeps the file", 0, "listInsert", 2, Kind::Failure},
    {"a fault passed over while the file is read keeps the file", 0, "readFile", 1, Kind::Fault},
    {"a row the list refuses on relabelling leaves the old row", 1, "listInsert", 4, Kind::Failure},
    {"a fault in the close's save leaves the fatal path's save its file", 4, "flushFile", 1, Kind::Fault},
    {"a fault in the fatal path's save leaves no temporary file", 2, "writeFile", -1, Kind::Fault},
    {"a profile read differently at the load leaves the file it never read", 0, "singleBytePath", 4, Kind::Failure},
};

TEST(SweepRegressions, RunsOnceFoundGoingWrong) {
    for (const Regression& regression : REGRESSIONS) {
        SCOPED_TRACE(regression.name);
        const Session& session = sessions()[regression.session];
        runSession(session, {}, 0, true);
        std::vector<std::int64_t> numbers;
        const std::vector<sim::CallRecord> log = sim::callLog();
        for (std::size_t i = 0; i < log.size(); ++i)
            if (log[i].name == regression.call) numbers.push_back(static_cast<std::int64_t>(i + 1));
        const int count = static_cast<int>(numbers.size());
        const int at = regression.occurrence > 0 ? regression.occurrence - 1 : count + regression.occurrence;
        ASSERT_TRUE(at >= 0 && at < count);
        const Injection injection{regression.kind, numbers[static_cast<std::size_t>(at)], 0};
        const Outcome outcome = runSession(session, injection, callLimit(log), false);
        for (const std::string& wrong : check(session, injection, outcome)) ADD_FAILURE() << wrong;
    }
}

INSTANTIATE_TEST_SUITE_P(Sessions, Sweep, ::testing::Range<std::size_t>(0, 12),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return std::string(sessions()[info.param].name);
                         });

}  // namespace
