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

constexpr std::uint32_t OWN_SESSION = 1;

// Entries with IDs from 100 up, in the own session unless a session follows the name ("brumby.exe@2").
std::vector<platform::ProcessEntry> snapshot(std::initializer_list<const char*> names) {
    std::vector<platform::ProcessEntry> entries;
    std::uint32_t id = 100;
    for (const std::string name : names) {
        const std::size_t at = name.find('@');
        const std::uint32_t session =
            at == std::string::npos ? OWN_SESSION : static_cast<std::uint32_t>(std::stoul(name.substr(at + 1)));
        entries.push_back({name.substr(0, at), id++, session});
    }
    return entries;
}

// The process IDs of the terminations a walk makes.
std::vector<std::uint32_t> walk(app::AppState& state, const std::vector<platform::ProcessEntry>& entries,
                                std::uint32_t ownProcessId, std::uint32_t ownSession = OWN_SESSION) {
    std::vector<std::uint32_t> ids;
    for (const platform::ProcessEntry& entry : app::walkSnapshot(state, entries, ownProcessId, ownSession))
        ids.push_back(entry.processId);
    return ids;
}

TEST(SingleInstance, OneOlderPlayerIsTerminatedByTheNewOne) {
    app::AppState state;
    const auto ended = walk(state, snapshot({"explorer.exe", "brumby.exe", "x.exe", "brumby.exe"}), 103);
    EXPECT_EQ(ended, std::vector<std::uint32_t>{101});
    EXPECT_EQ(state.matchedInstanceCount, 0);
}

TEST(SingleInstance, AloneNothingIsTerminated) {
    app::AppState state;
    EXPECT_TRUE(walk(state, snapshot({"brumby.exe", "init"}), 100).empty());
    EXPECT_EQ(state.matchedInstanceCount, 1);
    EXPECT_EQ(state.rememberedProcessId, 0u) << "the own process is never remembered";
}

TEST(SingleInstance, NameMatchesExactlyAndCaseSensitively) {
    app::AppState state;
    EXPECT_TRUE(walk(state, snapshot({"Brumby.exe", "BRUMBY.EXE", "brumby.exe"}), 102).empty());
    EXPECT_TRUE(walk(state = {}, snapshot({"brumby.exe ", "brumby", "brumby.exe"}), 102).empty());
}

TEST(SingleInstance, ThreeAndFourMatchesTerminateOnlyTheFirstListed) {
    app::AppState three;
    EXPECT_EQ(walk(three, snapshot({"brumby.exe", "brumby.exe", "brumby.exe"}), 102), std::vector<std::uint32_t>{100});
    app::AppState four;
    // The count resets at 2 and reaches 2 again at the fourth match, which
    // terminates the same remembered process once more: two older players survive.
    EXPECT_EQ(walk(four, snapshot({"brumby.exe", "brumby.exe", "brumby.exe", "brumby.exe"}), 103),
              (std::vector<std::uint32_t>{100, 100}));
}

TEST(SingleInstance, TheNewPlayerListedFirstEndsTheOlderOneNotItself) {
    app::AppState state;
    EXPECT_EQ(walk(state, snapshot({"brumby.exe", "x.exe", "brumby.exe"}), 100), std::vector<std::uint32_t>{102});
    app::AppState three;
    EXPECT_EQ(walk(three, snapshot({"brumby.exe", "brumby.exe", "brumby.exe"}), 100), std::vector<std::uint32_t>{101});
}

// Players of other sessions (other users, or a session the system would not
// name) neither count nor are remembered: the one ended is this session's
// older player, wherever the others are listed.
TEST(SingleInstance, OnlyPlayersOfTheOwnSessionCount) {
    const std::uint32_t unknown = platform::UNKNOWN_SESSION;
    struct Case {
        std::vector<platform::ProcessEntry> entries;
        std::uint32_t own;
        std::vector<std::uint32_t> ended;
    } cases[] = {
        {snapshot({"brumby.exe@2", "brumby.exe", "brumby.exe"}), 102, {101}},
        {snapshot({"brumby.exe@2", "brumby.exe@3", "brumby.exe"}), 102, {}},
        {snapshot({"brumby.exe", "brumby.exe@0", "brumby.exe"}), 102, {100}},
        {{{"brumby.exe", 100, unknown}, {"brumby.exe", 101, OWN_SESSION}, {"brumby.exe", 102, OWN_SESSION}},
         102,
         {101}},
    };
    for (const Case& c : cases) {
        app::AppState state;
        EXPECT_EQ(walk(state, c.entries, c.own), c.ended) << "first listed: session " << c.entries[0].sessionId;
    }
    // Without the own session known, no player is anyone's to end.
    app::AppState state;
    EXPECT_TRUE(walk(state, snapshot({"brumby.exe", "brumby.exe"}), 101, unknown).empty());
}

}  // namespace
