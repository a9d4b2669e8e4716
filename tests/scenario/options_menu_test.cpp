// The options menu over whole passes: items and starting marks, the handlers
// of its choices, and its opening on a right click.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options/options_menu.h"
#include "platform/system.h"
#include "support/player_test.h"

namespace {

class OptionsMenu : public FaceTest {
protected:
    // Polled in one pass, acted on in the next.
    void choose(int item) {
        sim::queueMenuEvent(item);
        pass();
        pass();
    }

    static std::vector<std::string> describe(int menu) {
        std::vector<std::string> items;
        for (const sim::MenuItem& item : sim::menuItems(menu))
            items.push_back(item.kind == sim::MenuItemKind::Separator
                                ? "-"
                                : std::to_string(item.id) + " " + item.text + (item.checked ? " *" : ""));
        return items;
    }
};

TEST_F(OptionsMenu, ItemsInOrderWithTheirStartingMarks) {
    EXPECT_EQ(describe(numbers::OPTIONS_MENU),
              (std::vector<std::string>{"23 Always on Top", "25 Collision Detection *", "29 Animation", "-",
                                        "24 New Skins", "22 Updates", "-", "21 About"}));
    EXPECT_EQ(sim::menuItems(numbers::OPTIONS_MENU)[2].kind, sim::MenuItemKind::Submenu);
    EXPECT_EQ(describe(numbers::ANIMATION_MENU), (std::vector<std::string>{"26 None", "27 Linear", "28 Snake *"}));
}

TEST_F(OptionsMenu, TheAnimationGroupAndTheToggles) {
    choose(numbers::ANIMATION_LINEAR_ITEM);
    EXPECT_EQ(describe(numbers::ANIMATION_MENU), (std::vector<std::string>{"26 None", "27 Linear *", "28 Snake"}));
    choose(numbers::ANIMATION_LINEAR_ITEM);  // the marked item clears: none is marked
    EXPECT_EQ(describe(numbers::ANIMATION_MENU), (std::vector<std::string>{"26 None", "27 Linear", "28 Snake"}));
    EXPECT_EQ(player.options.animation, docking::Animation::Unmarked);
    choose(numbers::COLLISION_ITEM);
    EXPECT_EQ(sim::menuCheck(numbers::OPTIONS_MENU, numbers::COLLISION_ITEM), 0);
    EXPECT_FALSE(player.options.collision);

    for (const bool onTop : {true, false}) {
        choose(numbers::ALWAYS_ON_TOP_ITEM);
        EXPECT_EQ(sim::windowInfo(numbers::MAIN_WINDOW).topmost, onTop);
        EXPECT_EQ(sim::menuCheck(numbers::OPTIONS_MENU, numbers::ALWAYS_ON_TOP_ITEM), onTop ? 1 : 0);
        EXPECT_EQ(player.options.alwaysOnTop, onTop);
    }
}

TEST_F(OptionsMenu, AboutAndTheMakersPages) {
    int aboutCalls = 0;
    sim::registerLibraryFunction("about", [&] { return ++aboutCalls; });
    choose(numbers::ABOUT_ITEM);  // the library is not loaded: nothing happens
    EXPECT_EQ(aboutCalls, 0);
    writeFile("C:\\Tunewell\\ravlet.dll", "MZ");
    platform::loadLibrary(numbers::ABOUT_LIBRARY, "C:\\Tunewell\\ravlet.dll");
    choose(numbers::ABOUT_ITEM);
    EXPECT_EQ(aboutCalls, 1);

    choose(numbers::UPDATES_ITEM);
    choose(numbers::NEW_SKINS_ITEM);
    EXPECT_EQ(sim::webPagesOpened(), (std::vector<std::string>{"https://www.varnel.example/download.php",
                                                               "https://www.varnel.example/skins/index.php"}));
}

// From the face or a playlist frame the menu opens at the pointer's screen
// position; the item chosen there runs in the next pass.
TEST_F(OptionsMenu, ARightClickOpensTheMenuAtThePointer) {
    sim::queuePopupChoice(numbers::ANIMATION_NONE_ITEM);
    for (const int control : {numbers::FACE_CONTROL, numbers::FRAME_BOTTOM_CONTROL}) {
        sim::movePointer(150 + control, 120);
        sim::queueControlEvent(control, platform::EVENT_RIGHT_CLICK);
        pass();
        pass();
        const sim::PopupShown shown = sim::popupsShown().back();
        EXPECT_EQ(std::vector<int>({shown.menu, shown.owner, shown.x, shown.y}),
                  std::vector<int>({numbers::OPTIONS_MENU, numbers::MAIN_WINDOW, 150 + control, 120}));
    }
    EXPECT_EQ(sim::popupsShown().size(), 2u);
    EXPECT_EQ(sim::menuCheck(numbers::OPTIONS_MENU, numbers::ANIMATION_NONE_ITEM), 1);
    EXPECT_EQ(player.options.animation, docking::Animation::None);
}

}  // namespace

// The menu is the last step of the playlist window's set-up and needs the
// whole window: a frame picture or the list that could not be made leaves it out.
using OptionsMenuSetUp = SimTest;

TEST_F(OptionsMenuSetUp, BuiltOnlyOverAWholePlaylistWindow) {
    for (const int missing : {-1, numbers::FRAME_RIGHT_CONTROL, numbers::PLAYLIST_LIST}) {
        sim::reset(root.string());
        if (missing >= 0) sim::failControl(missing);
        support::openFaceWindow(100, 100);
        app::Player player;
        EXPECT_TRUE(face::openPlaylistWindow(player.playlist, player.options));
        EXPECT_EQ(sim::menuItems(numbers::OPTIONS_MENU).empty(), missing >= 0) << missing;
        EXPECT_EQ(player.options.collision, missing < 0) << missing;  // no menu: no options to choose
    }
}
