// A media device that stops answering: each command is waited for within its
// bound, the stuck device is left behind with its track, and the player goes
// on as after a track that failed to load: the loop answers, the next load
// plays, the close button ends the player and keeps the playlist. The
// playlist is kept the moment a device is given up, too: under Wine what the
// stuck device leaves behind may end the process before the close.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "platform/media_text.h"
#include "support/player_test.h"

namespace {

constexpr int BUTTON_Y = 48;
constexpr int PLAY_X = 55, PAUSE_X = 77, STOP_X = 100, NEXT_X = 124;
constexpr int CLOSE_X = 12, CLOSE_Y = 10;
// A window that does not answer for this long counts as hung.
constexpr std::int64_t HUNG_MS = 10000;
// The close button ends the player within this, whatever the device does.
constexpr std::int64_t CLOSE_MS = 7000;
using support::LIST_FILE;

struct Case {
    const char* name;
    const char* verb;         // the command the device does not answer
    std::vector<int> clicks;  // face buttons, by x, clicked in turn
    int rowPlaying;           // the row playing afterwards
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class StuckDevice : public PlayerTest, public ::testing::WithParamInterface<Case> {
protected:
    void start() {
        std::string list;
        for (const char* name : {"one", "two", "three"}) {
            const std::string path = "C:\\Music\\" + std::string(name) + ".mp3";
            writeFile(path, std::string(3000, '\x90'));
            sim::setTrackLength(path, 60000);
            tracks.push_back(path);
            list += path + "\r\n";
        }
        writeFile(LIST_FILE, list);
        PlayerTest::start();
    }

    // A click, acted on in the next pass; notes the longest pass.
    void click(int x, int y) {
        sim::movePointerToClient(numbers::MAIN_WINDOW, x, y);
        sim::queueControlEvent(numbers::FACE_CONTROL, platform::EVENT_LEFT_CLICK);
        for (int i = 0; i < 3; ++i) timedPass();
    }

    void timedPass() {
        const std::int64_t before = sim::clockMs();
        if (player.app.quitFlag == 0) pass();
        longestPassMs = std::max(longestPassMs, sim::clockMs() - before);
    }

    std::vector<std::string> tracks;
    std::int64_t longestPassMs = 0;
};

TEST_P(StuckDevice, TheLoopGoesOnTheNextTrackPlaysAndTheCloseKeepsTheList) {
    const Case& c = GetParam();
    start();
    writeFile(LIST_FILE, "");  // what the give-up writes shows
    sim::hangCommands(c.verb);
    for (int x : c.clicks) click(x, BUTTON_Y);
    for (int i = 0; i < 5; ++i) timedPass();

    EXPECT_EQ(sim::devicesLeft(), 1);
    EXPECT_EQ(readFile(LIST_FILE), tracks[0] + "\r\n" + tracks[1] + "\r\n" + tracks[2] + "\r\n");
    EXPECT_FALSE(player.playlist.listFileSaved);  // the close still saves what changes after
    EXPECT_GE(longestPassMs, platform::COMMAND_BOUND_MS);  // the stuck command was waited for
    EXPECT_LT(longestPassMs, HUNG_MS);
    EXPECT_EQ(sim::aliasPath(1), tracks[static_cast<std::size_t>(c.rowPlaying)]);
    EXPECT_EQ(sim::aliasMode(1), "playing");

    click(CLOSE_X, CLOSE_Y);
    EXPECT_EQ(player.app.quitFlag, 1);
    EXPECT_TRUE(player.playlist.listFileSaved);
    EXPECT_EQ(readFile(LIST_FILE), tracks[0] + "\r\n" + tracks[1] + "\r\n" + tracks[2] + "\r\n");
}

// A play the device never answers during a load leaves a track without a
// length, which ends at once: the player moves on to the row after it. An
// open it never answers is a track that failed to load: the next Next plays.
INSTANTIATE_TEST_SUITE_P(Commands, StuckDevice,
                         ::testing::Values(Case{"CloseAtNext", "close", {NEXT_X}, 1},
                                           Case{"PauseThenNext", "pause", {PAUSE_X, NEXT_X}, 1},
                                           Case{"StopThenNext", "pause", {STOP_X, NEXT_X}, 1},
                                           Case{"PlayFromZeroThenNext", "play", {STOP_X, PLAY_X, NEXT_X}, 1},
                                           Case{"PlayOfTheLoad", "play", {NEXT_X}, 2},
                                           Case{"OpenThenNext", "open", {NEXT_X, NEXT_X}, 2},
                                           Case{"PositionQuery", "status", {NEXT_X}, 1}),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The close button while the device is stuck: the player still ends with the
// playlist saved, after one bound at most.
TEST_F(StuckDevice, TheCloseButtonEndsThePlayerWhenItsCloseIsNeverAnswered) {
    start();
    sim::hangCommands("close");
    click(CLOSE_X, CLOSE_Y);
    EXPECT_EQ(player.app.quitFlag, 1);
    EXPECT_TRUE(player.playlist.listFileSaved);
    EXPECT_EQ(readFile(LIST_FILE), tracks[0] + "\r\n" + tracks[1] + "\r\n" + tracks[2] + "\r\n");
    EXPECT_FALSE(sim::windowInfo(numbers::MAIN_WINDOW).exists);
    EXPECT_LT(longestPassMs, CLOSE_MS);
}

// Rows added after a give-up are not lost to the save it made: the close
// replaces the list file again, with them.
TEST_F(StuckDevice, RowsAddedAfterAGiveUpAreKeptByTheClose) {
    start();
    sim::hangCommands("close");
    click(NEXT_X, BUTTON_Y);
    writeFile("C:\\Music\\four.mp3", std::string(3000, '\x90'));
    sim::queueDrop(numbers::MAIN_WINDOW, {"C:\\Music\\four.mp3"});
    for (int i = 0; i < 3; ++i) timedPass();
    click(CLOSE_X, CLOSE_Y);
    EXPECT_EQ(readFile(LIST_FILE), tracks[0] + "\r\n" + tracks[1] + "\r\n" + tracks[2] + "\r\nC:\\Music\\four.mp3\r\n");
}

}  // namespace
