// Every command string the player sends, byte for byte, through the simulated device.
#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "support/sim_test.h"
#include "playback/media_commands.h"

namespace {

using namespace playback;

class MediaCommands : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        writeFile("C:\\Music\\Song One.mp3", "not really audio");
        sim::setTrackLength("C:\\Music\\Song One.mp3", 215000);
    }
};

TEST_F(MediaCommands, EveryCommandStringExactly) {
    ASSERT_TRUE(openTrack(1, "C:\\Music\\Song One.mp3"));
    playTrack(1);
    playTrackFrom(1, 0);
    pauseTrack(1);
    seekTrack(1, 3526);
    setTrackVolume(1, 1012);
    setTrackVolume(1, -5);
    queryLength(1);
    queryPosition(1);
    queryVolume(1);
    closeTrack(1);
    closeTrack(12);
    const std::vector<std::string> expected = {
        "OPEN \"C:\\Music\\Song One.mp3\" Type MPEGVIDEO ALIAS MP3_1",
        "play MP3_1",
        "play MP3_1 from 0",
        "pause MP3_1",
        "Seek MP3_1 to 3526",
        "SetAudio MP3_1 volume to 1012",
        "SetAudio MP3_1 volume to -5",
        "status MP3_1 length",
        "status MP3_1 position",
        "status MP3_1 volume",
        "close MP3_1",
        "close MP3_12",
    };
    EXPECT_EQ(sim::mediaLog(), expected);
}

TEST_F(MediaCommands, StatusRepliesBecomeNumbers) {
    ASSERT_TRUE(openTrack(1, "C:\\Music\\Song One.mp3"));
    EXPECT_EQ(queryLength(1), 215000);
    playTrack(1);
    sim::advanceClock(1500);
    EXPECT_EQ(queryPosition(1), 1500);
    setTrackVolume(1, 640);
    EXPECT_EQ(queryVolume(1), 640);
}

TEST_F(MediaCommands, QueriesOfAnAliasNotOpenReadZero) {
    EXPECT_EQ(queryLength(1), 0);
    EXPECT_EQ(queryPosition(1), 0);
    EXPECT_EQ(queryVolume(1), 0);
    ASSERT_TRUE(openTrack(1, "C:\\Music\\Song One.mp3"));
    closeTrack(1);
    EXPECT_EQ(queryLength(1), 0);
}

TEST_F(MediaCommands, OpenReportsFailure) {
    EXPECT_FALSE(openTrack(1, "C:\\Music\\missing.mp3"));
}

TEST_F(MediaCommands, PathsThatNameNoFileAreRefusedAndNothingIsSent) {
    // A quote would end the quoted path early and smuggle words into the command; an
    // empty path would only wake the device's drivers up.
    EXPECT_FALSE(openTrack(1, "C:\\Music\\a\" Type WAVEAUDIO ALIAS MP3_2 x\".mp3"));
    EXPECT_FALSE(openTrack(1, ""));
    EXPECT_TRUE(sim::mediaLog().empty());
}

}  // namespace
