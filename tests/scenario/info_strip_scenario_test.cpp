// The information strip over the simulated surface: idle text rhythm, the phase cycle, labels, fonts and places.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "face/info_strip.h"
#include "metadata/track_tag.h"
#include "platform/draw.h"
#include "platform/gui.h"
#include "platform/sim/sim.h"
#include "support/player_test.h"
#include "support/sim_test.h"

namespace {

using face::InfoStrip;
using metadata::TrackTag;

constexpr platform::Colour GREY = platform::rgb(204, 204, 204);
constexpr platform::Colour WHITE = platform::rgb(255, 255, 255);
constexpr platform::Colour BLACK = platform::rgb(0, 0, 0);
const char* const IDLE_TEXT = "Developed by Varnel";

std::vector<std::string> textsOf(const std::vector<sim::TextDrawn>& drawn) {
    std::vector<std::string> texts;
    for (const sim::TextDrawn& t : drawn) texts.push_back(t.text);
    return texts;
}

class InfoStripScenario : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        support::openFaceWindow();
        face::createInfoFonts();
        tag.trackTitle = "Song";
        tag.trackArtist = "Band";
        tag.trackAlbum = "Disc";
        tag.trackGenre = "Rock ";
    }
    // One loop pass as far as the strip is concerned: idle text early, the cycle after the poll, the reset late.
    std::vector<sim::TextDrawn> pass() {
        sim::clearTextsDrawn();
        face::drawIdleText(strip, trackLoaded);
        face::drawInfoCycle(strip, tag, bitrateKbps);
        face::restartInfoCycle(strip);
        return sim::textsDrawn();
    }

    // Draws only the phase that starts after `after` with the flag it requires.
    std::vector<sim::TextDrawn> drawPhaseAfter(int after, int requiredFlag) {
        strip.infoCounter = after;
        strip.infoPhaseFlag = requiredFlag;
        sim::clearTextsDrawn();
        face::drawInfoCycle(strip, tag, bitrateKbps);
        return sim::textsDrawn();
    }

    InfoStrip strip;
    TrackTag tag;
    int bitrateKbps = 128;
    bool trackLoaded = true;
};

// The loop's own pass draws the cycle after its poll: the first pass after a
// load shows the title.
using InfoStripInTheLoop = FaceTest;

TEST_F(InfoStripInTheLoop, APassDrawsTheCycle) {
    face::createInfoFonts();
    player.transport.trackLoaded = true;
    player.tag.trackTitle = "Song";
    sim::clearTextsDrawn();
    pass();
    EXPECT_EQ(textsOf(sim::textsDrawn()), (std::vector<std::string>{"Name: ", "Song"}));
}

// The idle text runs only until the load step has opened a track.
TEST_F(InfoStripInTheLoop, ALoadEndsTheIdleText) {
    face::createInfoFonts();
    writeFile("C:\\Music\\one.mp3", std::string(3000, '\x90'));
    sim::setTrackLength("C:\\Music\\one.mp3", 60000);
    player.transport.currentPath = "C:\\Music\\one.mp3";
    app::runPass(player, true);
    sim::clearTextsDrawn();
    pass();
    const std::vector<std::string> texts = textsOf(sim::textsDrawn());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), IDLE_TEXT), texts.end());
}

TEST_F(InfoStripScenario, FontsAreArialBoldSevenAndTenPoints) {
    EXPECT_EQ(sim::fontInfo(numbers::INFO_LABEL_FONT).face, "Arial");
    EXPECT_EQ(sim::fontInfo(numbers::INFO_LABEL_FONT).points, 7);
    EXPECT_EQ(sim::fontInfo(numbers::INFO_LABEL_FONT).weight, 700);
    EXPECT_EQ(sim::fontInfo(numbers::INFO_VALUE_FONT).face, "Arial");
    EXPECT_EQ(sim::fontInfo(numbers::INFO_VALUE_FONT).points, 10);
    EXPECT_EQ(sim::fontInfo(numbers::INFO_VALUE_FONT).weight, 700);
}

TEST_F(InfoStripScenario, CycleDrawsEachPhaseOnceAndRestartsAfter9001Passes) {
    std::map<int, std::vector<std::string>> drawnOn;
    std::vector<int> timePhasePasses;
    for (int n = 1; n <= 9002; ++n) {
        std::vector<sim::TextDrawn> drawn = pass();
        if (!drawn.empty()) drawnOn[n] = textsOf(drawn);
        if (face::inTimePhase(strip)) timePhasePasses.push_back(n);
    }
    std::map<int, std::vector<std::string>> expected = {
        {1, {"Name: ", "Song"}},      {1501, {"Artist: ", "Band"}},      {3001, {"Album: ", "Disc"}},
        {4501, {"Genre: ", "Rock "}}, {6001, {"Bitrate: ", "128 kbps"}}, {9002, {"Name: ", "Song"}},
    };
    EXPECT_EQ(drawnOn, expected);

    // Transport control draws the time from pass 7501 to 8999.
    ASSERT_FALSE(timePhasePasses.empty());
    EXPECT_EQ(timePhasePasses.front(), 7501);
    EXPECT_EQ(timePhasePasses.back(), 8999);
    EXPECT_EQ(timePhasePasses.size(), 8999u - 7501u + 1u);
}

TEST_F(InfoStripScenario, PhaseClearsTheAreaAndDrawsLabelThenValueOnOneLine) {
    platform::fillBox(0, 0, 184, 64, WHITE);
    platform::setTextColour(WHITE);
    std::vector<sim::TextDrawn> drawn = drawPhaseAfter(0, 0);
    ASSERT_EQ(drawn.size(), 2u);

    const sim::TextDrawn& label = drawn[0];
    EXPECT_EQ(label.text, "Name: ");
    EXPECT_EQ(label.font, numbers::INFO_LABEL_FONT);
    EXPECT_EQ(label.x, 26);
    EXPECT_EQ(label.y, 9);
    EXPECT_EQ(label.textColour, BLACK);
    EXPECT_EQ(label.backColour, GREY);

    const sim::TextDrawn& value = drawn[1];
    EXPECT_EQ(value.text, "Song");
    EXPECT_EQ(value.font, numbers::INFO_VALUE_FONT);
    EXPECT_GT(value.x, 26);
    EXPECT_EQ(value.y, 9);
    EXPECT_EQ(value.textColour, BLACK);
    EXPECT_EQ(value.backColour, GREY);

    // The info area spans x 22..175, y 7..24 and nothing outside it is touched.
    EXPECT_EQ(sim::pixel(0, 22, 7), GREY);
    EXPECT_EQ(sim::pixel(0, 175, 24), GREY);
    EXPECT_EQ(sim::pixel(0, 21, 7), WHITE);
    EXPECT_EQ(sim::pixel(0, 176, 7), WHITE);
    EXPECT_EQ(sim::pixel(0, 22, 6), WHITE);
    EXPECT_EQ(sim::pixel(0, 22, 25), WHITE);
}

TEST_F(InfoStripScenario, LongValuesDropTheLabelAndAreCutTo19Characters) {
    struct Case {
        std::string value;
        std::vector<std::string> drawn;
    };
    std::vector<Case> cases = {
        {"Fifteen letters", {"Name: ", "Fifteen letters"}},
        {"Sixteen letters!", {"Sixteen letters!"}},
        {"Twenty-five letters long!", {"Twenty-five letters"}},
        {"", {"Name: "}},
    };
    for (const Case& c : cases) {
        tag.trackTitle = c.value;
        std::vector<sim::TextDrawn> drawn = drawPhaseAfter(0, 0);
        EXPECT_EQ(textsOf(drawn), c.drawn) << c.value;
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(drawn[0].x, 26) << "the first text starts at the strip's left";
        EXPECT_EQ(drawn.back().font, c.value.empty() ? numbers::INFO_LABEL_FONT : numbers::INFO_VALUE_FONT);
    }

    // The same rule holds for artist and album.
    tag.trackArtist = std::string(16, 'a');
    EXPECT_EQ(textsOf(drawPhaseAfter(1500, 1)), std::vector<std::string>{std::string(16, 'a')});
    tag.trackAlbum = std::string(22, 'b');
    EXPECT_EQ(textsOf(drawPhaseAfter(3000, 0)), std::vector<std::string>{std::string(19, 'b')});
}

TEST_F(InfoStripScenario, GenreIsWholeWithItsLabelAndBitRateIsSignedWithItsUnit) {
    tag.trackGenre = "Contemporary Christian ";
    EXPECT_EQ(textsOf(drawPhaseAfter(4500, 1)), (std::vector<std::string>{"Genre: ", "Contemporary Christian "}));
    tag.trackGenre = "";
    EXPECT_EQ(textsOf(drawPhaseAfter(4500, 1)), std::vector<std::string>{"Genre: "});

    for (auto [rate, text] : {std::pair{128, "128 kbps"}, std::pair{-5, "-5 kbps"}, std::pair{0, "0 kbps"}}) {
        bitrateKbps = rate;
        std::vector<sim::TextDrawn> drawn = drawPhaseAfter(6000, 0);
        EXPECT_EQ(textsOf(drawn), (std::vector<std::string>{"Bitrate: ", text}));
        ASSERT_EQ(drawn.size(), 2u);
        EXPECT_EQ(drawn[1].font, numbers::INFO_VALUE_FONT);
    }
}

TEST_F(InfoStripScenario, IdleTextShows999PassesThenClears499UntilATrackIsLoaded) {
    trackLoaded = false;
    std::vector<int> idleDrawnOn;
    std::vector<int> clearedOn;
    for (int n = 1; n <= 1502; ++n) {
        platform::fillBox(20, 7, 1, 1, WHITE);
        std::vector<sim::TextDrawn> drawn = pass();
        for (const sim::TextDrawn& t : drawn) {
            if (t.text != IDLE_TEXT) continue;
            idleDrawnOn.push_back(n);
            EXPECT_EQ(t.x, 27);
            EXPECT_EQ(t.y, 8);
            EXPECT_EQ(t.textColour, BLACK);
            // The name phase of pass 1 leaves the value font selected for the idle text.
            if (n > 1) {
                EXPECT_EQ(t.font, numbers::INFO_VALUE_FONT);
            }
        }
        if (sim::pixel(0, 20, 7) == GREY) clearedOn.push_back(n);
    }
    ASSERT_EQ(idleDrawnOn.size(), 999u + 1u);
    EXPECT_EQ(idleDrawnOn[0], 1);
    EXPECT_EQ(idleDrawnOn[998], 999);
    EXPECT_EQ(idleDrawnOn[999], 1502) << "the idle cycle repeats every 1501 passes";
    ASSERT_EQ(clearedOn.size(), 499u);
    EXPECT_EQ(clearedOn.front(), 1001);
    EXPECT_EQ(clearedOn.back(), 1499);

    // Once a track is loaded the idle text never returns, though its counter keeps cycling.
    trackLoaded = true;
    for (int n = 0; n < 3100; ++n) {
        platform::fillBox(20, 7, 1, 1, WHITE);
        for (const sim::TextDrawn& t : pass()) EXPECT_NE(t.text, IDLE_TEXT);
        EXPECT_EQ(sim::pixel(0, 20, 7), WHITE);
        EXPECT_LE(strip.idleCounter, 1500);
    }
}

}  // namespace
