// The face's buttons over the simulated services: every hit box's four strict
// edges and every button's inclusive repaint box.
#include <gtest/gtest.h>

#include "platform/sim/sim.h"
#include "skin/skin.h"
#include "support/player_test.h"
#include "support/sim_test.h"

namespace {

constexpr platform::Colour HOVER = platform::rgb(10, 20, 30);
constexpr platform::Colour NORMAL = platform::rgb(40, 50, 60);

struct Expected {
    skin::Button button;
    skin::Box hit;
    skin::Box repaint;
};

// The face's buttons as the pictures draw them.
constexpr Expected FACE[] = {
    {skin::CLOSE, {8, 6, 16, 14}, {8, 6, 16, 14}},        {skin::MINIMISE, {8, 16, 16, 24}, {8, 16, 16, 24}},
    {skin::PREVIOUS, {23, 39, 41, 58}, {21, 37, 43, 60}}, {skin::PLAY, {46, 39, 64, 58}, {44, 37, 66, 60}},
    {skin::PAUSE, {68, 39, 87, 58}, {66, 37, 89, 60}},    {skin::STOP, {92, 39, 110, 58}, {90, 37, 112, 60}},
    {skin::NEXT, {116, 39, 132, 58}, {114, 37, 138, 60}}, {skin::PLAYLIST, {145, 41, 159, 56}, {140, 39, 160, 58}},
};

class SkinButtons : public SimTest {};

TEST_F(SkinButtons, HitBoxesExcludeAllFourEdges) {
    for (const Expected& e : FACE) {
        SCOPED_TRACE(e.button);
        const int midX = (e.hit.left + e.hit.right) / 2;
        const int midY = (e.hit.top + e.hit.bottom) / 2;
        EXPECT_FALSE(skin::insideHitBox(e.button, e.hit.left, midY));
        EXPECT_TRUE(skin::insideHitBox(e.button, e.hit.left + 1, midY));
        EXPECT_TRUE(skin::insideHitBox(e.button, e.hit.right - 1, midY));
        EXPECT_FALSE(skin::insideHitBox(e.button, e.hit.right, midY));
        EXPECT_FALSE(skin::insideHitBox(e.button, midX, e.hit.top));
        EXPECT_TRUE(skin::insideHitBox(e.button, midX, e.hit.top + 1));
        EXPECT_TRUE(skin::insideHitBox(e.button, midX, e.hit.bottom - 1));
        EXPECT_FALSE(skin::insideHitBox(e.button, midX, e.hit.bottom));
    }
}

TEST_F(SkinButtons, HoverPaintsExactlyTheRepaintBoxAndRestoresIt) {
    support::openFaceWindow();
    skin::Skin face;
    face.hoverPixels.assign(skin::SKIN_WIDTH * skin::SKIN_HEIGHT, HOVER);
    face.normalPixels.assign(skin::SKIN_WIDTH * skin::SKIN_HEIGHT, NORMAL);
    for (const Expected& e : FACE) {
        SCOPED_TRACE(e.button);
        const skin::Box& r = e.repaint;
        const int midX = (r.left + r.right) / 2;
        const int midY = (r.top + r.bottom) / 2;
        const platform::Point inside = {(e.hit.left + e.hit.right) / 2, (e.hit.top + e.hit.bottom) / 2};
        ASSERT_TRUE(skin::hoverStep(face, e.button, inside, false));
        for (auto [x, y] : {std::pair{r.left, r.top}, {r.right, r.top}, {r.left, r.bottom}, {r.right, r.bottom}}) {
            EXPECT_EQ(sim::pixel(0, x, y), HOVER) << x << "," << y;
        }
        for (auto [x, y] :
             {std::pair{r.left - 1, midY}, {r.right + 1, midY}, {midX, r.top - 1}, {midX, r.bottom + 1}}) {
            EXPECT_NE(sim::pixel(0, x, y), HOVER) << x << "," << y;
        }
        EXPECT_FALSE(skin::hoverStep(face, e.button, {-1, -1}, false));
        EXPECT_EQ(sim::pixel(0, r.left, r.top), NORMAL);
        EXPECT_EQ(sim::pixel(0, r.right, r.bottom), NORMAL);
    }
}

}  // namespace
