// The media bridge over a scripted device that behaves like Wine's.
#include "platform/win32/media_bridge.h"

#include <gtest/gtest.h>

#include "platform/media_text.h"

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

using platform::media::BridgeState;
using platform::media::Device;
using platform::media::sendThroughBridge;

constexpr int ERROR_CODE = 263;

// A device with Wine's three gaps: no volume status, no seek, and a position
// that falls back to 0 at the end of a track. Every command it gets is logged.
struct FakeDevice {
    std::vector<std::string> sent;
    std::string position = "0";
    std::string mode = "stopped";
    std::string length = "215000";
    bool acceptVolume = true;
    bool acceptOpen = true;
    bool answerPosition = true;
    std::string stuckOn;  // a verb the device never answers: the caller gives up on it

    int answer(const char* command, char* reply, int capacity) {
        sent.push_back(command);
        if (!stuckOn.empty() && std::string(command).rfind(stuckOn, 0) == 0) return platform::MEDIA_NOT_ANSWERING;
        std::string text;
        for (const char* c = command; *c != '\0'; ++c) text += static_cast<char>(std::tolower(*c));
        auto say = [&](const std::string& value) {
            if (reply != nullptr && capacity > 0) {
                std::strncpy(reply, value.c_str(), static_cast<std::size_t>(capacity));
            }
            return 0;
        };
        if (text.rfind("open ", 0) == 0) return acceptOpen ? 0 : ERROR_CODE;
        if (text.rfind("seek ", 0) == 0) return ERROR_CODE;
        if (text.rfind("setaudio ", 0) == 0) return acceptVolume ? 0 : ERROR_CODE;
        if (text.find(" volume") != std::string::npos) return ERROR_CODE;
        if (text.find(" position") != std::string::npos) return answerPosition ? say(position) : ERROR_CODE;
        if (text.find(" mode") != std::string::npos) return say(mode);
        if (text.find(" length") != std::string::npos) return say(length);
        if (text.rfind("play ", 0) == 0) mode = "playing";
        return 0;
    }

    Device device() {
        return [this](const char* c, char* r, int n) { return answer(c, r, n); };
    }
};

struct Bridge {
    FakeDevice fake;
    BridgeState state;

    int send(const char* command) { return sendThroughBridge(state, fake.device(), command, nullptr, 0); }

    // A status query the way the player makes it: a blank-filled 260-character buffer.
    std::string query(const char* command, int* result = nullptr) {
        char reply[260];
        std::memset(reply, ' ', sizeof reply);
        int code = sendThroughBridge(state, fake.device(), command, reply, sizeof reply);
        if (result != nullptr) *result = code;
        return std::string(reply, strnlen(reply, sizeof reply));
    }

    void openAndPlay() {
        send("OPEN \"C:\\My Music\\a song.mp3\" Type MPEGVIDEO ALIAS MP3_1");
        send("play MP3_1");
    }
};

TEST(MediaBridge, RefusedSeekIsCarriedOutAsPlayFrom) {
    Bridge b;
    b.openAndPlay();
    EXPECT_EQ(b.send("Seek MP3_1 to 120000"), 0);
    ASSERT_GE(b.fake.sent.size(), 2u);
    EXPECT_EQ(b.fake.sent[b.fake.sent.size() - 2], "Seek MP3_1 to 120000");
    EXPECT_EQ(b.fake.sent.back(), "play MP3_1 from 120000");
}

TEST(MediaBridge, SeekTheDeviceAcceptsIsUntouched) {
    Bridge b;
    b.openAndPlay();
    Device accepting = [&](const char* c, char*, int) {
        b.fake.sent.push_back(c);
        return 0;
    };
    b.fake.sent.clear();
    EXPECT_EQ(sendThroughBridge(b.state, accepting, "Seek MP3_1 to 5000", nullptr, 0), 0);
    EXPECT_EQ(b.fake.sent, std::vector<std::string>{"Seek MP3_1 to 5000"});
}

TEST(MediaBridge, RefusedVolumeQueryAnswersTheLastAcceptedVolume) {
    Bridge b;
    b.openAndPlay();
    int result = -1;
    EXPECT_EQ(std::stoi(b.query("status MP3_1 volume", &result)), 1000) << "before any SetAudio";
    EXPECT_EQ(result, 0);

    b.send("SetAudio MP3_1 volume to 420");
    EXPECT_EQ(std::stoi(b.query("status MP3_1 volume")), 420);

    b.fake.acceptVolume = false;
    b.send("SetAudio MP3_1 volume to 900");
    EXPECT_EQ(std::stoi(b.query("status MP3_1 volume")), 420) << "a refused set keeps the older value";
}

TEST(MediaBridge, VolumeIsForgottenByCloseAndResetByOpen) {
    Bridge b;
    b.openAndPlay();
    b.send("SetAudio MP3_1 volume to 300");
    b.send("close MP3_1");
    int result = 0;
    EXPECT_EQ(std::atoi(b.query("status MP3_1 volume", &result).c_str()), 0) << "a closed alias has no volume";
    EXPECT_NE(result, 0);

    b.openAndPlay();
    EXPECT_EQ(std::stoi(b.query("status MP3_1 volume")), 1000);
}

// A device that did not answer is left behind with its tracks: what the bridge
// knew of them goes too, whichever command (the player's or its own) met it.
TEST(MediaBridge, ADeviceLeftBehindTakesItsTracksWithIt) {
    for (const char* stuck : {"pause", "status MP3_1 mode"}) {
        Bridge b;
        b.openAndPlay();
        b.send("SetAudio MP3_1 volume to 300");
        b.fake.position = "5000";
        b.query("status MP3_1 position");
        b.fake.position = "0";
        b.fake.stuckOn = stuck;
        if (std::string(stuck) == "pause") {
            EXPECT_EQ(b.send("pause MP3_1"), platform::MEDIA_NOT_ANSWERING);
        } else {
            EXPECT_EQ(b.query("status MP3_1 position"), "0");  // fell back: the bridge asks the mode
        }
        b.fake.stuckOn.clear();
        int result = 0;
        EXPECT_EQ(b.query("status MP3_1 volume", &result), std::string(260, ' ')) << stuck;
        EXPECT_NE(result, 0) << stuck;
    }
}

// Wine keeps a stuck device's alias taken: after each device left behind the
// player's alias reaches the device under a name of its own; before any, as sent.
TEST(MediaBridge, AfterADeviceWasLeftBehindItsAliasIsNotUsedAgain) {
    Bridge b;
    b.openAndPlay();
    b.fake.stuckOn = "close";
    EXPECT_EQ(b.send("close MP3_1"), platform::MEDIA_NOT_ANSWERING);
    b.fake.stuckOn.clear();
    b.fake.sent.clear();
    b.openAndPlay();
    b.send("SetAudio MP3_1 volume to 300");
    EXPECT_EQ(std::stoi(b.query("status MP3_1 volume")), 300);
    b.fake.stuckOn = "pause";
    b.send("pause MP3_1");
    b.fake.stuckOn.clear();
    b.send("close  mp3_1");
    b.send("close all");
    EXPECT_EQ(b.fake.sent,
              (std::vector<std::string>{"OPEN \"C:\\My Music\\a song.mp3\" Type MPEGVIDEO ALIAS MP3_1_1",
                                        "play MP3_1_1", "SetAudio MP3_1_1 volume to 300", "status MP3_1_1 volume",
                                        "pause MP3_1_1", "close  mp3_1_2", "close all"}));
}

TEST(MediaBridge, PositionAtTheEndOfATrackReadsAsTheLength) {
    Bridge b;
    b.openAndPlay();
    b.fake.position = "214000";
    EXPECT_EQ(b.query("status MP3_1 position"), "214000");
    b.fake.mode = "stopped";
    b.fake.position = "0";
    EXPECT_EQ(b.query("status MP3_1 position"), "215000");
    EXPECT_EQ(b.fake.sent.back(), "status MP3_1 length");
}

TEST(MediaBridge, EndOfATrackPlayedFromASeekPointReadsTheLength) {
    Bridge b;
    b.openAndPlay();
    b.send("Seek MP3_1 to 120000");
    b.fake.mode = "playing";
    b.fake.position = "214000";
    EXPECT_EQ(b.query("status MP3_1 position"), "214000");

    // Wine falls back to where the last play started, not to 0.
    b.fake.position = "120000";
    b.fake.mode = "stopped";
    EXPECT_EQ(b.query("status MP3_1 position"), "215000");
    b.fake.sent.clear();
    EXPECT_EQ(b.query("status MP3_1 position"), "215000") << "stays at the end while stopped there";
    EXPECT_EQ(b.fake.sent, (std::vector<std::string>{"status MP3_1 position", "status MP3_1 length"}));

    b.send("play MP3_1 from 0");
    b.fake.mode = "playing";
    b.fake.position = "120000";
    EXPECT_EQ(b.query("status MP3_1 position"), "120000") << "a new play is a new pass through the track";
}

// A refused position query is no fall-back to the start: it is not turned
// into the length, which the player would take for the end of the track.
TEST(MediaBridge, AFailedPositionQueryComesBackFailed) {
    Bridge b;
    b.openAndPlay();
    b.fake.position = "90000";
    b.query("status MP3_1 position");
    b.fake.answerPosition = false;
    b.fake.mode = "stopped";
    int result = 0;
    EXPECT_EQ(b.query("status MP3_1 position", &result), std::string(260, ' '));
    EXPECT_EQ(result, ERROR_CODE);
    EXPECT_EQ(b.fake.sent.back(), "status MP3_1 position");
}

TEST(MediaBridge, PositionGoingBackWhilePlayingIsPassedThrough) {
    Bridge b;
    b.openAndPlay();
    b.fake.mode = "playing";
    b.fake.position = "90000";
    b.query("status MP3_1 position");
    b.fake.position = "30000";
    EXPECT_EQ(b.query("status MP3_1 position"), "30000");
}

TEST(MediaBridge, NormalPassSendsNoExtraQuery) {
    Bridge b;
    b.openAndPlay();
    b.fake.position = "61000";
    b.fake.sent.clear();
    EXPECT_EQ(b.query("status MP3_1 position"), "61000");
    EXPECT_EQ(b.fake.sent, std::vector<std::string>{"status MP3_1 position"});
}

TEST(MediaBridge, JustAfterPlayAZeroPositionIsNoEnd) {
    Bridge b;
    b.openAndPlay();
    b.fake.sent.clear();
    // Wine may read 0 and "stopped" for a moment after a play that follows an earlier end.
    b.fake.position = "0";
    b.fake.mode = "stopped";
    EXPECT_EQ(b.query("status MP3_1 position"), "0");
    EXPECT_EQ(b.query("status MP3_1 position"), "0");
    EXPECT_EQ(b.fake.sent.size(), 2u);
}

TEST(MediaBridge, PositionBeforeAnyPlayStaysZero) {
    Bridge b;
    b.send("OPEN \"a.mp3\" Type MPEGVIDEO ALIAS MP3_1");
    b.fake.sent.clear();
    EXPECT_EQ(b.query("status MP3_1 position"), "0");
    EXPECT_EQ(b.fake.sent.size(), 1u);

    b.send("play MP3_1");
    b.send("close MP3_1");
    b.send("OPEN \"b.mp3\" Type MPEGVIDEO ALIAS MP3_1");
    b.fake.mode = "stopped";
    EXPECT_EQ(b.query("status MP3_1 position"), "0") << "a new open forgets the earlier play";
}

TEST(MediaBridge, CommandsAreReadCaseInsensitively) {
    Bridge b;
    b.send("open \"x.mp3\" type mpegvideo alias mp3_1");
    b.send("PLAY Mp3_1");
    b.send("setaudio MP3_1 VOLUME TO 250");
    EXPECT_EQ(std::stoi(b.query("STATUS mp3_1 Volume")), 250);
    b.send("SEEK mp3_1 TO 10");
    EXPECT_EQ(b.fake.sent.back(), "play mp3_1 from 10");
}

TEST(MediaBridge, PathWithExclamationMarkIsOpenedWithItsDeviceNamed) {
    Bridge b;
    EXPECT_EQ(b.send("OPEN \"C:\\Music\\wow!.mp3\" Type MPEGVIDEO ALIAS MP3_1"), 0);
    EXPECT_EQ(b.fake.sent.back(), "OPEN \"MPEGVIDEO!C:\\Music\\wow!.mp3\" Type MPEGVIDEO ALIAS MP3_1");
    b.send("SetAudio MP3_1 volume to 300");
    EXPECT_EQ(std::stoi(b.query("status MP3_1 volume")), 300) << "the alias is followed as any other";

    b.send("OPEN \"C:\\Music\\calm.mp3\" Type MPEGVIDEO ALIAS MP3_2");
    EXPECT_EQ(b.fake.sent.back(), "OPEN \"C:\\Music\\calm.mp3\" Type MPEGVIDEO ALIAS MP3_2");
}

TEST(MediaBridge, UnknownAliasesAndFailedOpensPassStraightThrough) {
    Bridge b;
    b.fake.acceptOpen = false;
    EXPECT_NE(b.send("OPEN \"missing.mp3\" Type MPEGVIDEO ALIAS MP3_1"), 0);
    b.fake.sent.clear();
    EXPECT_NE(b.send("Seek MP3_1 to 100"), 0);
    int result = 0;
    b.query("status MP3_1 volume", &result);
    EXPECT_NE(result, 0);
    EXPECT_EQ(b.fake.sent.size(), 2u) << "no stand-in commands for an alias that is not open";
}

}  // namespace
