// Base of the scenario tests that drive a player's state pass by pass: the
// passes, and the clicks a user gives, each polled in one pass and acted on
// in the next (the playlist window's buttons in the pass that polls them).
#pragma once

#include <string>
#include <vector>

#include "app/loop.h"
#include "app/player.h"
#include "app/startup.h"
#include "face/playlist_window.h"
#include "numbers/numbers.h"
#include "platform/draw.h"
#include "platform/gui.h"
#include "platform/sim/sim.h"
#include "skin/skin.h"
#include "support/messages.h"
#include "support/sim_test.h"

namespace support {

// Opens the 184 x 64 main window at (x, y) and takes its drawing surface, as
// start-up does (which centres it on the screen).
inline void openFaceWindow(int x = 0, int y = 0) {
    platform::WindowLayout face;
    face.title = "Tunewell";
    face.x = x;
    face.y = y;
    face.clientWidth = skin::FACE_WIDTH;
    face.clientHeight = skin::FACE_HEIGHT;
    platform::openWindow(numbers::MAIN_WINDOW, face);
    platform::acquireDrawingSurface(numbers::MAIN_WINDOW);
}

// Start-up, then the first pass, which enters at the load step.
inline void startAndRunFirstPass(app::Player& player) {
    app::startUp(player);
    app::runPass(player, true);
}

}  // namespace support

class PlayerTest : public SimTest {
protected:
    void start() { support::startAndRunFirstPass(player); }
    void pass() { app::runPass(player, false); }

    // A pass after a poll that brought an event (the pointer moving).
    void passAfterEvent() {
        sim::queueRawEvent(support::WM_MOUSEMOVE);
        pass();
    }

    void clickFace(int x, int y, int type = platform::EVENT_LEFT_CLICK) {
        sim::movePointerToClient(numbers::MAIN_WINDOW, x, y);
        sim::queueControlEvent(numbers::FACE_CONTROL, type);
        pass();
        pass();
    }

    void clickBottomFrame(int x, int y = 190) {
        sim::movePointerToClient(numbers::PLAYLIST_WINDOW, x, y);
        sim::queueControlEvent(numbers::FRAME_BOTTOM_CONTROL, platform::EVENT_LEFT_CLICK);
        pass();
    }

    std::vector<std::string> rows() const { return sim::listRows(numbers::PLAYLIST_LIST); }

    app::Player player;
};

// The face at (100, 100) with its drawing surface, and the playlist window
// below it made by the player's own set-up (its list and the options menu).
class FaceTest : public PlayerTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        support::openFaceWindow(100, 100);
        face::openPlaylistWindow(player.playlist, player.options);
    }
};
