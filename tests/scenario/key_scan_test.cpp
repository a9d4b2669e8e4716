// The key scan over whole passes: Delete and its latch, and the drag-start test.
#include <gtest/gtest.h>

#include "support/player_test.h"

namespace {

constexpr int DELETE_KEY = input::VK_DELETE_KEY;

// Each pass polls an event, so the next pass acts on one.
class KeyScan : public FaceTest {
protected:
    void SetUp() override {
        FaceTest::SetUp();
        for (const char* path : {"C:\\a.mp3", "C:\\b.mp3", "C:\\c.mp3", "C:\\d.mp3", "C:\\e.mp3"})
            playlist::appendPath(player.playlist, path);
        sim::movePointer(0, 0);
        passAfterEvent();
    }

    // Presses Delete (and `alsoPressed`) with row 0 selected; the rows left.
    int deleteThenCount(int alsoPressed = 0) {
        sim::selectRow(numbers::PLAYLIST_LIST, 0);
        if (alsoPressed) sim::tapKey(alsoPressed);
        sim::tapKey(DELETE_KEY);
        passAfterEvent();
        return playlist::rowCount(player.playlist);
    }
};

TEST_F(KeyScan, DeleteRemovesOneEntryUntilAnotherCodeIsSeen) {
    sim::holdKey(DELETE_KEY);
    sim::selectRow(numbers::PLAYLIST_LIST, 1);
    passAfterEvent();
    EXPECT_EQ(sim::listRows(numbers::PLAYLIST_LIST), (std::vector<std::string>{"a", "c", "d", "e"}));
    EXPECT_EQ(playlist::rowPath(player.playlist, 1), "C:\\c.mp3");
    sim::selectRow(numbers::PLAYLIST_LIST, 0);
    passAfterEvent();  // still held
    sim::releaseKey(DELETE_KEY);
    EXPECT_EQ(deleteThenCount(), 4);  // pressed again with nothing in between

    sim::tapKey(platform::VK_LEFT_BUTTON);  // a click in between
    passAfterEvent();
    EXPECT_EQ(deleteThenCount(), 3);
    EXPECT_EQ(deleteThenCount(8), 2);     // a lower code in the same pass re-arms first
    EXPECT_EQ(deleteThenCount(0x70), 2);  // a higher code only after Delete was tested
    EXPECT_EQ(deleteThenCount(), 1);
}

TEST_F(KeyScan, DeleteNeedsASelectionAndAPolledEvent) {
    sim::tapKey(DELETE_KEY);
    passAfterEvent();  // nothing selected: nothing removed, the latch stays armed
    EXPECT_EQ(deleteThenCount(), 4);

    sim::tapKey(8);
    pass();  // re-arms, and polls no event
    sim::selectRow(numbers::PLAYLIST_LIST, 0);
    sim::tapKey(DELETE_KEY);
    pass();
    EXPECT_EQ(playlist::rowCount(player.playlist), 4);
}

// The top band is x 22..184, y 0..4; the last control or menu id must be below 9.
TEST_F(KeyScan, DragStartsOnlyInTheTopBandAfterAFaceEvent) {
    struct Case {
        int x, y, source;
        bool starts;
    };
    for (const Case c : {Case{22, 4, 0, true}, Case{21, 4, 0, false}, Case{22, 5, 0, false}, Case{184, 0, 8, true},
                         Case{100, 2, 9, false}}) {
        sim::queueControlEvent(c.source, platform::EVENT_RIGHT_DOUBLE_CLICK);
        pass();
        sim::movePointerToClient(numbers::MAIN_WINDOW, c.x, c.y);
        sim::tapKey(platform::VK_LEFT_BUTTON);
        player.drag.grabX = -1;
        passAfterEvent();  // a start ends in the same pass: the button is up again
        EXPECT_EQ(player.drag.grabX, c.starts ? c.x : -1) << c.x << "," << c.y << " id " << c.source;
    }
}

}  // namespace
