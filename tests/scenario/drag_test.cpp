// Dragging the face over whole passes: edges and snap, the trail and its
// wrap, and how the playlist window docks again on release.
#include <gtest/gtest.h>

#include <vector>

#include "app/loop.h"
#include "app/player.h"
#include "support/face_layout.h"
#include "support/sim_test.h"

namespace {

constexpr int GRAB_X = 50, GRAB_Y = 2;
constexpr int MOUSE_MOVE = 0x200;

struct Spot {
    int x, y;
    bool operator==(const Spot&) const = default;
};

class Drag : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        support::openFaceWindow(100, 100);
        support::openPlaylistWindow(100, 164);
        skin::buildOptionsMenu();
        player.loop.playlistVisible = 1;
        player.drag.screenWidth = 1024;
        player.drag.screenHeight = 768;
    }

    // Presses the button on the top band after a polled event: the drag starts.
    void grab() {
        sim::movePointerToClient(app::MAIN_WINDOW, GRAB_X, GRAB_Y);
        sim::queueRawEvent(MOUSE_MOVE);
        app::runPass(player, false);
        sim::holdKey(platform::VK_LEFT_BUTTON);
        app::runPass(player, false);
        ASSERT_EQ(player.drag.dragFlag, 1);
    }

    // One pass without an event: the face follows the pointer (after a polled
    // event a pointer in the band would re-grab instead).
    void moveFaceTo(int x, int y) {
        sim::movePointer(x + GRAB_X, y + GRAB_Y);
        app::runPass(player, false);
    }

    Spot face() { return {sim::windowInfo(app::MAIN_WINDOW).x, sim::windowInfo(app::MAIN_WINDOW).y}; }

    // Releases the button and returns the playlist window's moves in that pass.
    std::vector<sim::WindowMove> release() {
        const std::size_t before = sim::windowMoves().size();
        sim::releaseKey(platform::VK_LEFT_BUTTON);
        app::runPass(player, false);
        EXPECT_EQ(player.drag.dragFlag, 0);
        std::vector<sim::WindowMove> moves;
        for (std::size_t i = before; i < sim::windowMoves().size(); ++i)
            if (sim::windowMoves()[i].window == app::PLAYLIST_WINDOW) moves.push_back(sim::windowMoves()[i]);
        return moves;
    }

    static Spot at(const sim::WindowMove& move) { return {move.x, move.y}; }

    void chooseAnimation(int item) {
        for (int other : {skin::ANIMATION_NONE_ITEM, skin::ANIMATION_LINEAR_ITEM, skin::ANIMATION_SNAKE_ITEM})
            platform::setMenuCheck(skin::OPTIONS_MENU, other, other == item);
    }

    app::Player player;
};

TEST_F(Drag, EachCrossedEdgeSnapsTheFaceBackOnScreen) {
    struct Case {
        Spot to, snapped;
    };
    // Right and bottom two pixels inside, left at 0, top at 1; a corner snaps to the top.
    for (const Case c : {Case{{950, 300}, {1024 - 184 - 2, 300}}, Case{{-50, 300}, {0, 300}},
                         Case{{300, 740}, {300, 768 - 64 - 2}}, Case{{300, -50}, {300, 1}},
                         Case{{-50, -50}, {-50, 1}}, Case{{-1, -1}, {-1, -1}}}) {
        grab();
        moveFaceTo(c.to.x, c.to.y);
        moveFaceTo(c.to.x, c.to.y);  // the edge is found on the next pass
        EXPECT_EQ(face(), c.snapped) << c.to.x << "," << c.to.y;
        release();
        platform::moveWindow(app::MAIN_WINDOW, 100, 100);
    }

    platform::setMenuCheck(skin::OPTIONS_MENU, skin::COLLISION_ITEM, false);
    grab();
    moveFaceTo(950, 740);
    moveFaceTo(950, 740);
    EXPECT_EQ(face(), (Spot{950, 740}));
}

// A click without moving starts and ends the drag in one pass: Linear makes
// no step, Snake replays at most the docking position. The pass skips the
// menu stages, so the right click polled before it opens nothing.
TEST_F(Drag, AClickWithoutMovingDocksInPlace) {
    for (int animation : {skin::ANIMATION_LINEAR_ITEM, skin::ANIMATION_SNAKE_ITEM}) {
        chooseAnimation(animation);
        sim::movePointerToClient(app::MAIN_WINDOW, GRAB_X, GRAB_Y);
        sim::queueControlEvent(app::FACE_CONTROL, platform::EVENT_RIGHT_CLICK);
        app::runPass(player, false);
        sim::tapKey(platform::VK_LEFT_BUTTON);
        const std::vector<sim::WindowMove> moves = release();
        ASSERT_FALSE(moves.empty());
        for (const sim::WindowMove& move : moves) EXPECT_EQ(at(move), (Spot{100, 164}));
        EXPECT_EQ(face(), (Spot{100, 100}));
    }
    EXPECT_TRUE(sim::popupsShown().empty());
}

TEST_F(Drag, LinearSlidesAcrossThenDownOnePixelPerMove) {
    chooseAnimation(skin::ANIMATION_LINEAR_ITEM);
    grab();
    moveFaceTo(130, 120);
    const std::vector<sim::WindowMove> moves = release();
    ASSERT_EQ(moves.size(), 30u + 21u + 1u);
    EXPECT_EQ(at(moves[0]), (Spot{100, 164}));
    EXPECT_EQ(at(moves[29]), (Spot{129, 164}));
    EXPECT_EQ(at(moves[30]), (Spot{130, 164}));
    EXPECT_EQ(at(moves[50]), (Spot{130, 184}));
    EXPECT_EQ(at(moves[51]), (Spot{130, 184}));
}

// The playlist window's corner retraces the face's bottom corner from the
// third recorded position on, one step every 10 ms.
TEST_F(Drag, SnakeReplaysTheFacePathFromItsThirdPosition) {
    grab();
    for (const Spot spot : {Spot{110, 100}, Spot{120, 100}, Spot{130, 105}, Spot{140, 110}})
        moveFaceTo(spot.x, spot.y);
    const std::vector<sim::WindowMove> moves = release();
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_EQ(at(moves[0]), (Spot{120, 164}));
    EXPECT_EQ(at(moves[1]), (Spot{130, 169}));
    EXPECT_EQ(at(moves[2]), (Spot{140, 174}));
    EXPECT_EQ(at(moves[3]), (Spot{140, 174}));
    for (int i = 1; i < 4; ++i) EXPECT_EQ(moves[i].atClockMs - moves[i - 1].atClockMs, 10);
}

// After 1599 recorded positions one move goes unrecorded and the trail starts
// over: only what was recorded since is replayed, never the older entries.
TEST_F(Drag, TheTrailStartsOverAfterItsLastEntry) {
    grab();
    for (int step = 0; step < 1599; ++step) moveFaceTo(200 + step % 2, 200);  // entries 2..1599 and one unrecorded
    EXPECT_TRUE(release().size() == 1);  // nothing recorded since: no replay of stale entries

    grab();
    for (int step = 0; step < 1597; ++step) moveFaceTo(300 + step % 2, 300);  // entries 4..1599, one unrecorded
    moveFaceTo(400, 400);                                                     // entry 1
    moveFaceTo(410, 410);                                                     // entry 2
    moveFaceTo(420, 420);                                                     // entry 3
    moveFaceTo(430, 430);                                                     // entry 4
    const std::vector<sim::WindowMove> moves = release();
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(at(moves[0]), (Spot{420, 484}));
    EXPECT_EQ(at(moves[1]), (Spot{430, 494}));
}

TEST_F(Drag, AHiddenPlaylistIsMovedButNotAnimated) {
    player.loop.playlistVisible = 0;
    for (int animation : {skin::ANIMATION_LINEAR_ITEM, skin::ANIMATION_SNAKE_ITEM}) {
        chooseAnimation(animation);
        grab();
        for (int x = 110; x < 200; x += 10) moveFaceTo(x, 150);
        const std::vector<sim::WindowMove> moves = release();
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_EQ(at(moves[0]), (Spot{190, 214}));
        platform::moveWindow(app::MAIN_WINDOW, 100, 100);
    }
}

}  // namespace
