// Dragging the face over whole passes: edges and snap, the trail and its
// wrap, and how the playlist window docks again on release.
#include <gtest/gtest.h>

#include <vector>

#include "support/player_test.h"

namespace {

constexpr int GRAB_X = 50, GRAB_Y = 2;

using Spots = std::vector<std::vector<int>>;  // {x, y} each

class Drag : public FaceTest {
protected:
    void SetUp() override {
        FaceTest::SetUp();
        player.loop.playlistVisible = true;
        player.drag.screenWidth = 1024;
        player.drag.screenHeight = 768;
    }

    // Presses the button on the top band after a polled event.
    void grab() {
        sim::movePointerToClient(numbers::MAIN_WINDOW, GRAB_X, GRAB_Y);
        passAfterEvent();
        sim::holdKey(platform::VK_LEFT_BUTTON);
        pass();
        ASSERT_EQ(player.drag.dragFlag, 1);
    }

    // One pass without an event: the face follows the pointer.
    void moveFaceTo(int x, int y) {
        sim::movePointer(x + GRAB_X, y + GRAB_Y);
        pass();
    }

    std::vector<int> face() {
        return {sim::windowInfo(numbers::MAIN_WINDOW).x, sim::windowInfo(numbers::MAIN_WINDOW).y};
    }

    // Releases the button; returns where the playlist window was moved in that pass.
    Spots release() {
        const std::size_t before = sim::windowMoves().size();
        sim::releaseKey(platform::VK_LEFT_BUTTON);
        pass();
        EXPECT_EQ(player.drag.dragFlag, 0);
        Spots moves;
        for (std::size_t i = before; i < sim::windowMoves().size(); ++i) {
            const sim::WindowMove& move = sim::windowMoves()[i];
            if (move.window == numbers::PLAYLIST_WINDOW) moves.push_back({move.x, move.y});
        }
        return moves;
    }
};

// Right and bottom two pixels inside, left at 0, top at 1; at a corner the edge
// tested later wins (top over left, bottom over right); -1 is not yet past an edge.
TEST_F(Drag, EachCrossedEdgeSnapsTheFaceBackOnScreen) {
    const Spots to = {{950, 300}, {-50, 300}, {300, 740}, {300, -50}, {-50, -50}, {950, 740}, {-1, -1}};
    const Spots snapped = {{838, 300}, {0, 300}, {300, 702}, {300, 1}, {-50, 1}, {950, 702}, {-1, -1}};
    for (std::size_t i = 0; i < to.size(); ++i) {
        grab();
        moveFaceTo(to[i][0], to[i][1]);
        moveFaceTo(to[i][0], to[i][1]);  // the edge is found on the next pass
        EXPECT_EQ(face(), snapped[i]) << i;
        release();
        platform::moveWindow(numbers::MAIN_WINDOW, 100, 100);
    }
    player.options.collision = false;
    grab();
    moveFaceTo(950, 740);
    moveFaceTo(950, 740);
    EXPECT_EQ(face(), (std::vector<int>{950, 740}));
}

// A click without moving starts and ends the drag in one pass: Linear makes no
// step, Snake replays at most the docking position. That pass skips the menu
// stages, so the right click polled before it opens nothing.
TEST_F(Drag, AClickWithoutMovingDocksInPlace) {
    for (const docking::Animation animation : {docking::Animation::Linear, docking::Animation::Snake}) {
        player.options.animation = animation;
        sim::movePointerToClient(numbers::MAIN_WINDOW, GRAB_X, GRAB_Y);
        sim::queueControlEvent(numbers::FACE_CONTROL, platform::EVENT_RIGHT_CLICK);
        pass();
        sim::tapKey(platform::VK_LEFT_BUTTON);
        const Spots moves = release();
        EXPECT_FALSE(moves.empty());
        for (const std::vector<int>& move : moves) EXPECT_EQ(move, (std::vector<int>{100, 164}));
    }
    EXPECT_TRUE(sim::popupsShown().empty());
}

// Linear: across to one short of the target, then down onto it, one move a
// pixel. Hidden, the playlist window is only put in place.
TEST_F(Drag, LinearSlidesAcrossThenDownUnlessHidden) {
    player.options.animation = docking::Animation::Linear;
    grab();
    moveFaceTo(130, 120);
    const Spots moves = release();
    ASSERT_EQ(moves.size(), 30u + 21u + 1u);
    EXPECT_EQ((Spots{moves[0], moves[29], moves[30], moves[50], moves[51]}),
              (Spots{{100, 164}, {129, 164}, {130, 164}, {130, 184}, {130, 184}}));

    player.loop.playlistVisible = false;
    grab();
    moveFaceTo(90, 150);
    EXPECT_EQ(release(), (Spots{{90, 214}}));
}

// Snake: the playlist window's corner retraces the face's bottom corner from
// the third recorded position on, 10 ms a step; hidden, it is only put in place.
TEST_F(Drag, SnakeReplaysTheFacePathFromItsThirdPositionUnlessHidden) {
    grab();
    for (const std::vector<int>& spot : Spots{{110, 100}, {120, 100}, {130, 105}, {140, 110}})
        moveFaceTo(spot[0], spot[1]);
    const std::int64_t start = sim::clockMs();
    EXPECT_EQ(release(), (Spots{{120, 164}, {130, 169}, {140, 174}, {140, 174}}));
    EXPECT_EQ(sim::windowMoves().back().atClockMs - start, 30);

    player.loop.playlistVisible = false;
    grab();
    for (int x = 150; x < 200; x += 10) moveFaceTo(x, 150);
    EXPECT_EQ(release(), (Spots{{190, 214}}));
}

// After 1599 recorded positions one move goes unrecorded and the trail starts
// over: only what was recorded since is replayed, never older entries.
TEST_F(Drag, TheTrailStartsOverAfterItsLastEntry) {
    grab();
    for (int step = 0; step < 1599; ++step) moveFaceTo(200 + step % 2, 200);  // entries 2..1599, one unrecorded
    EXPECT_EQ(release().size(), 1u);

    grab();
    for (int step = 0; step < 1597; ++step) moveFaceTo(300 + step % 2, 300);  // entries 4..1599, one unrecorded
    for (int spot = 400; spot <= 430; spot += 10) moveFaceTo(spot, spot);     // entries 1..4
    EXPECT_EQ(release(), (Spots{{420, 484}, {430, 494}, {430, 494}}));
}

}  // namespace
