// Transport control over whole loop passes: buttons, media keys, the load
// step's commands, bars, end of track and the hover repaint.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "face/face_bars.h"
#include "app/load_step.h"
#include "playback/media_commands.h"
#include "playback/transport.h"
#include "skin/bars.h"
#include "skin/colours.h"
#include "support/player_test.h"

namespace {

using support::sent;

namespace fs = std::filesystem;

constexpr platform::Colour HOVER = platform::rgb(10, 20, 30);
constexpr platform::Colour NORMAL = platform::rgb(40, 50, 60);

// Points inside the hit boxes of the face.
constexpr int BUTTON_Y = 48;
constexpr int PREVIOUS_X = 32, PLAY_X = 55, PAUSE_X = 77, STOP_X = 100, NEXT_X = 124;
constexpr int BAR_Y = 32;

class TransportControl : public FaceTest {
protected:
    void SetUp() override {
        FaceTest::SetUp();
        player.skin.hoverPixels.assign(skin::SKIN_WIDTH * skin::SKIN_HEIGHT, HOVER);
        player.skin.normalPixels.assign(skin::SKIN_WIDTH * skin::SKIN_HEIGHT, NORMAL);
        sim::movePointer(0, 0);
    }

    std::string addTrack(const std::string& name, int lengthMs) {
        const std::string path = "C:\\Music\\" + name + ".mp3";
        writeFile(path, std::string(2000, '\0'));
        sim::setTrackLength(path, lengthMs);
        playlist::appendPath(player.playlist, path);
        return path;
    }

    // Three tracks; the first pass loads row 0 as start-up does.
    void startWithThreeTracks() {
        tracks = {addTrack("one", 122000), addTrack("two", 122000), addTrack("three", 122000)};
        sim::selectRow(numbers::PLAYLIST_LIST, 0);
        player.transport.currentPath = tracks[0];
        app::runPass(player, true);
    }

    // The commands sent by `action`.
    template <typename Action>
    std::vector<std::string> commandsOf(Action action) {
        sim::clearMediaLog();
        action();
        return sim::mediaLog();
    }

    std::vector<std::string> tracks;
};

TEST_F(TransportControl, ClickIsActedOnOnePassLaterAtThatPassPointer) {
    startWithThreeTracks();
    sim::movePointerToClient(numbers::MAIN_WINDOW, STOP_X, BUTTON_Y);
    sim::queueControlEvent(numbers::FACE_CONTROL, platform::EVENT_LEFT_CLICK);
    const auto log = commandsOf([&] {
        pass();
        EXPECT_EQ(player.transport.playState, playback::PLAY_STATE_NONE);
        sim::movePointerToClient(numbers::MAIN_WINDOW, NEXT_X, BUTTON_Y);
        pass();
    });
    EXPECT_FALSE(sent(log, "pause MP3_1"));
    EXPECT_EQ(player.transport.currentIndex, 1);
    EXPECT_EQ(sim::aliasPath(1), tracks[1]);
}

TEST_F(TransportControl, PlayPauseKeyActsOncePerPressAndToggles) {
    startWithThreeTracks();
    sim::holdKey(input::VK_PLAY_PAUSE_KEY);
    // Right after start-up the track plays already: the first press only
    // records that, the device just gets another play.
    auto log = commandsOf([&] {
        pass();
        pass();
        pass();
    });
    EXPECT_EQ(std::count(log.begin(), log.end(), "play MP3_1"), 1);
    EXPECT_FALSE(sent(log, "pause MP3_1"));
    EXPECT_EQ(player.transport.playState, playback::PLAY_STATE_PLAYING);

    sim::releaseKey(input::VK_PLAY_PAUSE_KEY);
    pass();
    sim::holdKey(input::VK_PLAY_PAUSE_KEY);
    log = commandsOf([&] {
        pass();
        pass();
    });
    EXPECT_EQ(std::count(log.begin(), log.end(), "pause MP3_1"), 1);
    EXPECT_EQ(player.transport.playState, playback::PLAY_STATE_PAUSED);
    EXPECT_EQ(sim::aliasMode(1), "paused");

    sim::releaseKey(input::VK_PLAY_PAUSE_KEY);
    pass();
    sim::holdKey(input::VK_PLAY_PAUSE_KEY);
    log = commandsOf([&] { pass(); });
    EXPECT_TRUE(sent(log, "play MP3_1"));
    EXPECT_EQ(sim::aliasMode(1), "playing");
}

// The buttons read the media keys as the pass's scan did: a press the scan
// took as "pressed since the last query" still acts, once.
TEST_F(TransportControl, AMediaKeyTappedBeforeThePassActsOnce) {
    startWithThreeTracks();
    sim::tapKey(input::VK_NEXT_KEY);
    pass();
    pass();
    EXPECT_EQ(player.transport.currentIndex, 1);
}

// What a playing pass with no input asks of the system: each key code once,
// three device queries, the two 1 ms sleeps and one poll.
TEST_F(TransportControl, AnIdlePlayingPassQueriesEachKeyOnce) {
    startWithThreeTracks();
    pass();
    sim::clearCallCounts();
    pass();
    EXPECT_EQ(sim::callCount("keyPressed"), 255);
    EXPECT_EQ(sim::callCount("mediaCommand"), 3);
    EXPECT_EQ(sim::callCount("sleepMs"), 2);
    EXPECT_EQ(sim::callCount("pollEvent"), 1);
}

TEST_F(TransportControl, HeldNextKeyAdvancesOneTrackUntilAllKeysAreUp) {
    startWithThreeTracks();
    sim::holdKey(input::VK_NEXT_KEY);
    for (int i = 0; i < 5; ++i) pass();
    EXPECT_EQ(player.transport.currentIndex, 1);
    // The key's hover shows only in the pass that acted; the latch then
    // disarms the button and its box is restored while the key is held.
    EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, 120, 40), NORMAL);
    sim::releaseKey(input::VK_NEXT_KEY);
    pass();
    sim::holdKey(input::VK_NEXT_KEY);
    pass();
    EXPECT_EQ(player.transport.currentIndex, 2);
    EXPECT_EQ(sim::aliasPath(1), tracks[2]);
}

TEST_F(TransportControl, StopRestartsFromZeroAndPauseResumes) {
    startWithThreeTracks();
    clickFace(STOP_X, BUTTON_Y);
    EXPECT_EQ(player.transport.playState, playback::PLAY_STATE_STOPPED);
    EXPECT_EQ(sim::aliasMode(1), "paused");
    auto log = commandsOf([&] { clickFace(PLAY_X, BUTTON_Y); });
    EXPECT_TRUE(sent(log, "play MP3_1 from 0"));
    EXPECT_EQ(player.transport.playState, playback::PLAY_STATE_PLAYING);

    clickFace(PAUSE_X, BUTTON_Y);
    EXPECT_EQ(player.transport.playState, playback::PLAY_STATE_PAUSED);
    log = commandsOf([&] { clickFace(PLAY_X, BUTTON_Y); });
    EXPECT_TRUE(sent(log, "play MP3_1"));
    EXPECT_FALSE(sent(log, "play MP3_1 from 0"));
}

TEST_F(TransportControl, PreviousAndNextAtTheEndsOfTheList) {
    startWithThreeTracks();
    auto log = commandsOf([&] { clickFace(PREVIOUS_X, BUTTON_Y); });
    EXPECT_EQ(player.transport.currentIndex, 0);
    EXPECT_TRUE(sent(log, "OPEN \"" + tracks[0] + "\" Type MPEGVIDEO ALIAS MP3_1"));

    // Next keeps the volume set on the previous track, wrapping or not.
    playback::setTrackVolume(1, 700);
    clickFace(NEXT_X, BUTTON_Y);
    EXPECT_EQ(sim::aliasVolume(1), 700);
    clickFace(NEXT_X, BUTTON_Y);
    EXPECT_EQ(player.transport.currentIndex, 2);
    playback::setTrackVolume(1, 400);
    // The wrap to row 0 carries the volume over like every other move.
    log = commandsOf([&] { clickFace(NEXT_X, BUTTON_Y); });
    EXPECT_EQ(player.transport.currentIndex, 0);
    EXPECT_EQ(sim::aliasPath(1), tracks[0]);
    EXPECT_EQ(sim::aliasVolume(1), 400);
    const auto volumeQuery = std::find(log.begin(), log.end(), "status MP3_1 volume");
    const auto close = std::find(log.begin(), log.end(), "close MP3_1");
    EXPECT_LT(volumeQuery, close);
}

TEST_F(TransportControl, LoadSendsItsCommandsInOrderAndAFailedOpenStopsPolling) {
    startWithThreeTracks();
    sim::selectRow(numbers::PLAYLIST_LIST, 2);
    sim::queueControlEvent(numbers::PLAYLIST_LIST, platform::EVENT_LEFT_DOUBLE_CLICK);
    pass();
    playback::setTrackVolume(1, 700);
    const auto log = commandsOf([&] { pass(); });
    const std::vector<std::string> expected = {"status MP3_1 volume",
                                               "close MP3_1",
                                               "close MP3_1",
                                               "OPEN \"" + tracks[2] + "\" Type MPEGVIDEO ALIAS MP3_1",
                                               "status MP3_1 length",
                                               "play MP3_1",
                                               "SetAudio MP3_1 volume to 700",
                                               "status MP3_1 length"};
    ASSERT_GE(log.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + expected.size()), expected);
    EXPECT_EQ(player.transport.currentIndex, 2);
    EXPECT_EQ(player.transport.bitrateKbps, 0);  // 2000 bytes over 122 s

    // Onto a file gone since, and a folder: the old track closes, nothing is
    // sent for the path, and polling stops.
    fs::remove(sim::hostPath(tracks[0]));
    fs::remove(sim::hostPath(tracks[1]));
    fs::create_directories(sim::hostPath(tracks[1]));
    for (const std::string& gone : {tracks[0], tracks[1]}) {
        const auto moved = commandsOf([&] { clickFace(NEXT_X, BUTTON_Y); });
        EXPECT_EQ(player.transport.currentPath, gone);
        EXPECT_TRUE(
            std::none_of(moved.begin(), moved.end(), [](const std::string& c) { return c.rfind("OPEN", 0) == 0; }));
        EXPECT_FALSE(player.transport.trackOpen);
        EXPECT_TRUE(commandsOf([&] {
                        pass();
                        pass();
                    }).empty());
    }
}

TEST_F(TransportControl, SeekAndVolumeActOnlyInPassesAfterAnEvent) {
    startWithThreeTracks();
    clickFace(STOP_X, BUTTON_Y);
    sim::holdKey(platform::VK_LEFT_BUTTON);
    sim::movePointerToClient(numbers::MAIN_WINDOW, 8, BAR_Y);
    sim::queueRawEvent(support::WM_MOUSEMOVE);
    auto log = commandsOf([&] {
        pass();
        pass();
    });
    EXPECT_TRUE(sent(log, "Seek MP3_1 to 2000"));
    EXPECT_EQ(player.transport.playState, playback::PLAY_STATE_PLAYING);
    EXPECT_EQ(sim::aliasMode(1), "playing");

    sim::movePointerToClient(numbers::MAIN_WINDOW, 127, BAR_Y);
    sim::queueRawEvent(support::WM_MOUSEMOVE);
    log = commandsOf([&] {
        pass();
        pass();
    });
    EXPECT_TRUE(sent(log, "Seek MP3_1 to 121000"));
    // Held still, no event: nothing is sent.
    log = commandsOf([&] {
        pass();
        pass();
    });
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& c) { return c.rfind("Seek", 0) == 0; }), 0);

    sim::movePointerToClient(numbers::MAIN_WINDOW, 178, BAR_Y);
    sim::queueRawEvent(support::WM_MOUSEMOVE);
    log = commandsOf([&] {
        pass();
        pass();
        pass();
    });
    EXPECT_TRUE(sent(log, "SetAudio MP3_1 volume to 1012"));
    EXPECT_EQ(player.transport.volumePixels, 46);
    EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, 178, BAR_Y), skin::BAR_HIGHLIGHT_COLOUR);
    EXPECT_NE(sim::pixel(numbers::MAIN_WINDOW, 179, BAR_Y), skin::BAR_HIGHLIGHT_COLOUR);
}

// A pass's stages in their order, seen in the commands of a drag: seek before
// the end-of-track check, the volume bar before the polling that redraws it.
TEST_F(TransportControl, APassRunsItsStagesInOrder) {
    startWithThreeTracks();
    sim::holdKey(platform::VK_LEFT_BUTTON);
    sim::movePointerToClient(numbers::MAIN_WINDOW, 66, BAR_Y);
    sim::queueRawEvent(support::WM_MOUSEMOVE);
    pass();
    auto log = commandsOf([&] { pass(); });
    EXPECT_EQ(log, (std::vector<std::string>{"Seek MP3_1 to 60000", "play MP3_1", "status MP3_1 position",
                                             "status MP3_1 volume", "status MP3_1 position"}));

    sim::movePointerToClient(numbers::MAIN_WINDOW, 150, BAR_Y);
    sim::queueRawEvent(support::WM_MOUSEMOVE);
    pass();
    log = commandsOf([&] { pass(); });
    EXPECT_EQ(log, (std::vector<std::string>{"status MP3_1 position", "SetAudio MP3_1 volume to 396",
                                             "status MP3_1 volume", "status MP3_1 position"}));
}

TEST_F(TransportControl, EndOfTrackMovesOnAndAZeroTrackEndsInTheNextPass) {
    startWithThreeTracks();
    sim::setTrackLength(tracks[1], 0);
    playback::setTrackVolume(1, 300);
    sim::setPosition(1, 122000);
    pass();
    // The 0/0 track is loaded, not skipped within the same pass.
    EXPECT_EQ(player.transport.currentIndex, 1);
    EXPECT_EQ(sim::aliasPath(1), tracks[1]);
    EXPECT_EQ(sim::aliasVolume(1), 300);
    pass();
    EXPECT_EQ(player.transport.currentIndex, 2);
    EXPECT_EQ(sim::aliasVolume(1), 300);

    // The last row's end rewinds the bar pixel by pixel and wraps to row 0
    // with the saved volume.
    pass();
    EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, 7, BAR_Y), skin::BAR_HIGHLIGHT_COLOUR);
    sim::setPosition(1, 122000);
    const int sleepsBefore = sim::sleepCalls();
    ASSERT_TRUE(face::moveOnAtTrackEnd(player.transport, player.playlist));
    EXPECT_EQ(sim::sleepCalls() - sleepsBefore, 366);
    for (int x = 7; x <= 128; ++x) {
        EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, x, 33), skin::BAR_COLOUR);
    }
    app::loadTrack(player.transport, player.tag, player.playlist);
    EXPECT_EQ(player.transport.currentIndex, 0);
    EXPECT_EQ(sim::aliasVolume(1), 300);

    // Rows removed while the track played: the move starts over at row 0.
    player.transport.currentIndex = 7;
    sim::setPosition(1, 122000);
    pass();
    EXPECT_EQ(player.transport.currentIndex, 0);
}

TEST_F(TransportControl, HoverRepaintLaterButtonWinsInSharedColumn) {
    startWithThreeTracks();
    sim::movePointerToClient(numbers::MAIN_WINDOW, PLAY_X, BUTTON_Y);
    pass();
    EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, 66, 45), HOVER);
    // Play leaves, Pause arrives: Pause paints after Play restores.
    sim::movePointerToClient(numbers::MAIN_WINDOW, PAUSE_X, BUTTON_Y);
    pass();
    EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, 44, 45), NORMAL);
    EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, 66, 45), HOVER);
    // Back to Play: Pause restores column 66 after Play painted it.
    sim::movePointerToClient(numbers::MAIN_WINDOW, PLAY_X, BUTTON_Y);
    pass();
    EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, 44, 45), HOVER);
    EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, 66, 45), NORMAL);
}

TEST_F(TransportControl, StopRewindsThePositionBarOnceAndTimeTextShowsInItsPhase) {
    startWithThreeTracks();
    sim::advanceClock(30500);
    pass();
    const int filled = player.transport.progressPixels;
    ASSERT_GT(filled, 30);
    player.info.infoCounter = 8000;
    player.info.infoPhaseFlag = 1;
    sim::clearTextsDrawn();
    playback::refreshLengthText(player.transport);
    face::showPlayback(player.transport, player.info);
    ASSERT_FALSE(sim::textsDrawn().empty());
    EXPECT_EQ(sim::textsDrawn().back().text, "00:00:30/00:02:02");
    EXPECT_EQ(sim::textsDrawn().back().x, 43);

    clickFace(STOP_X, BUTTON_Y);
    EXPECT_TRUE(player.transport.stopRewound);
    EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, 7, BAR_Y), skin::BAR_COLOUR);
    const int sleepsBefore = sim::sleepCalls();
    face::showPlayback(player.transport, player.info);
    EXPECT_EQ(sim::sleepCalls(), sleepsBefore);
}

}  // namespace
