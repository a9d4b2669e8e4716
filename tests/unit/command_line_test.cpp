// The command line's parameter rule and the single-instance count rule.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/single_instance.h"

namespace {

std::vector<std::string> parameters(const std::string& text) {
    app::CommandLine line = app::readCommandLine(text);
    std::vector<std::string> found;
    for (std::string p = app::nextParameter(line); !p.empty(); p = app::nextParameter(line)) {
        found.push_back(p);
    }
    return found;
}

TEST(CommandLine, SkipsProgramNameAndSplitsOnRunsOfBlanks) {
    EXPECT_EQ(parameters("brumby.exe"), std::vector<std::string>{});
    EXPECT_EQ(parameters("brumby.exe   a.mp3  b.ogg"), (std::vector<std::string>{"a.mp3", "b.ogg"}));
    EXPECT_EQ(parameters("\"C:\\Program Files\\brumby.exe\" x.wav"), std::vector<std::string>{"x.wav"});
}

TEST(CommandLine, QuotesGroupAndAreDropped) {
    EXPECT_EQ(parameters("brumby.exe \"C:\\My Music\\one.mp3\" two.mid"),
              (std::vector<std::string>{"C:\\My Music\\one.mp3", "two.mid"}));
    // An unterminated quote runs to the end of the line.
    EXPECT_EQ(parameters("brumby.exe \"C:\\a b.mp3"), std::vector<std::string>{"C:\\a b.mp3"});
}

TEST(CommandLine, NothingLeftGivesEmptyRepeatedly) {
    app::CommandLine line = app::readCommandLine("brumby.exe one");
    EXPECT_EQ(app::nextParameter(line), "one");
    EXPECT_EQ(app::nextParameter(line), "");
    EXPECT_EQ(app::nextParameter(line), "");
}

std::vector<platform::ProcessEntry> snapshot(std::initializer_list<const char*> names) {
    std::vector<platform::ProcessEntry> entries;
    std::uint32_t id = 100;
    for (const char* name : names) entries.push_back({name, id++});
    return entries;
}

TEST(SingleInstance, OneOlderPlayerIsTerminatedByTheNewOne) {
    app::AppState state;
    const auto ended = app::walkSnapshot(state, snapshot({"explorer.exe", "brumby.exe", "x.exe", "brumby.exe"}), 103);
    EXPECT_EQ(ended, std::vector<std::uint32_t>{101});
    EXPECT_EQ(state.matchedInstanceCount, 0);
}

TEST(SingleInstance, AloneNothingIsTerminated) {
    app::AppState state;
    EXPECT_TRUE(app::walkSnapshot(state, snapshot({"brumby.exe", "init"}), 100).empty());
    EXPECT_EQ(state.matchedInstanceCount, 1);
    EXPECT_EQ(state.rememberedProcessId, 0u) << "the own process is never remembered";
}

TEST(SingleInstance, NameMatchesExactlyAndCaseSensitively) {
    app::AppState state;
    EXPECT_TRUE(app::walkSnapshot(state, snapshot({"Brumby.exe", "BRUMBY.EXE", "brumby.exe"}), 102).empty());
    EXPECT_TRUE(app::walkSnapshot(state = {}, snapshot({"brumby.exe ", "brumby", "brumby.exe"}), 102).empty());
}

TEST(SingleInstance, ThreeAndFourMatchesTerminateOnlyTheFirstListed) {
    app::AppState three;
    EXPECT_EQ(app::walkSnapshot(three, snapshot({"brumby.exe", "brumby.exe", "brumby.exe"}), 102),
              std::vector<std::uint32_t>{100});
    app::AppState four;
    // The count resets at 2 and reaches 2 again at the fourth match, which
    // terminates the same remembered process once more: two older players survive.
    EXPECT_EQ(app::walkSnapshot(four, snapshot({"brumby.exe", "brumby.exe", "brumby.exe", "brumby.exe"}), 103),
              (std::vector<std::uint32_t>{100, 100}));
}

TEST(SingleInstance, TheNewPlayerListedFirstEndsTheOlderOneNotItself) {
    app::AppState state;
    EXPECT_EQ(app::walkSnapshot(state, snapshot({"brumby.exe", "x.exe", "brumby.exe"}), 100),
              std::vector<std::uint32_t>{102});
    app::AppState three;
    EXPECT_EQ(app::walkSnapshot(three, snapshot({"brumby.exe", "brumby.exe", "brumby.exe"}), 100),
              std::vector<std::uint32_t>{101});
}

}  // namespace
