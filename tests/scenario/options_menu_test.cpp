// The options menu over whole passes: its items and starting marks, the
// handlers of its choices, and its opening on a right click.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/loop.h"
#include "app/player.h"
#include "support/face_layout.h"
#include "support/sim_test.h"

namespace {

using sim::MenuItemKind;

class OptionsMenu : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        support::openFaceWindow(100, 100);
        support::openPlaylistWindow(100, 164);
        skin::buildOptionsMenu();
    }

    // The choice is polled in one pass and runs in the next.
    void choose(int item) {
        sim::queueMenuEvent(item);
        app::runPass(player, false);
        app::runPass(player, false);
    }

    static std::vector<int> marked() {
        std::vector<int> items;
        for (int item = skin::ABOUT_ITEM; item <= skin::ANIMATION_SNAKE_ITEM; ++item)
            if (skin::optionChecked(item) == 1) items.push_back(item);
        return items;
    }

    app::Player player;
};

TEST_F(OptionsMenu, ItemsInOrderWithTheirStartingMarks) {
    const std::vector<sim::MenuItem> top = sim::menuItems(skin::OPTIONS_MENU);
    const std::vector<sim::MenuItem> expected = {
        {23, "Always on Top", MenuItemKind::Item, false},
        {25, "Collision Detection", MenuItemKind::Item, true},
        {skin::ANIMATION_MENU, "Animation", MenuItemKind::Submenu, false},
        {0, "", MenuItemKind::Separator, false},
        {24, "New Skins", MenuItemKind::Item, false},
        {22, "Updates", MenuItemKind::Item, false},
        {0, "", MenuItemKind::Separator, false},
        {21, "About", MenuItemKind::Item, false}};
    ASSERT_EQ(top.size(), expected.size());
    for (std::size_t i = 0; i < top.size(); ++i) {
        EXPECT_EQ(top[i].id, expected[i].id) << i;
        EXPECT_EQ(top[i].text, expected[i].text) << i;
        EXPECT_EQ(top[i].kind, expected[i].kind) << i;
        EXPECT_EQ(top[i].checked, expected[i].checked) << i;
    }
    std::vector<std::string> animations;
    for (const sim::MenuItem& item : sim::menuItems(skin::ANIMATION_MENU))
        animations.push_back(std::to_string(item.id) + " " + item.text + (item.checked ? " *" : ""));
    EXPECT_EQ(animations, (std::vector<std::string>{"26 None", "27 Linear", "28 Snake *"}));
}

TEST_F(OptionsMenu, MarksFollowTheGroupRuleAndToggles) {
    choose(skin::ANIMATION_LINEAR_ITEM);
    EXPECT_EQ(marked(), (std::vector<int>{skin::COLLISION_ITEM, skin::ANIMATION_LINEAR_ITEM}));
    choose(skin::ANIMATION_LINEAR_ITEM);  // the marked item clears: none is marked
    EXPECT_EQ(marked(), (std::vector<int>{skin::COLLISION_ITEM}));
    choose(skin::ANIMATION_NONE_ITEM);
    choose(skin::COLLISION_ITEM);
    EXPECT_EQ(marked(), (std::vector<int>{skin::ANIMATION_NONE_ITEM}));

    choose(skin::ALWAYS_ON_TOP_ITEM);
    EXPECT_TRUE(sim::windowInfo(app::MAIN_WINDOW).topmost);
    EXPECT_EQ(skin::optionChecked(skin::ALWAYS_ON_TOP_ITEM), 1);
    choose(skin::ALWAYS_ON_TOP_ITEM);
    EXPECT_FALSE(sim::windowInfo(app::MAIN_WINDOW).topmost);
    EXPECT_EQ(skin::optionChecked(skin::ALWAYS_ON_TOP_ITEM), 0);
}

TEST_F(OptionsMenu, AboutAndTheMakersPages) {
    int aboutCalls = 0;
    sim::registerLibraryFunction("about", [&] { return ++aboutCalls; });
    choose(skin::ABOUT_ITEM);  // the library is not loaded: nothing happens
    EXPECT_EQ(aboutCalls, 0);
    writeFile("C:\\Tunewell\\ravlet.dll", "MZ");
    platform::loadLibrary(skin::ABOUT_LIBRARY, "C:\\Tunewell\\ravlet.dll");
    choose(skin::ABOUT_ITEM);
    EXPECT_EQ(aboutCalls, 1);

    choose(skin::UPDATES_ITEM);
    choose(skin::NEW_SKINS_ITEM);
    EXPECT_EQ(sim::webPagesOpened(), (std::vector<std::string>{"https://www.varnel.example/download.php",
                                                               "https://www.varnel.example/skins/index.php"}));
}

// Right clicks come from the face and the playlist frames; the menu opens at
// the pointer's screen position, and the item chosen there runs a pass later.
TEST_F(OptionsMenu, ARightClickOpensTheMenuAtThePointer) {
    sim::movePointer(150, 120);
    sim::queuePopupChoice(skin::ANIMATION_LINEAR_ITEM);
    sim::queueControlEvent(app::FACE_CONTROL, platform::EVENT_RIGHT_CLICK);
    app::runPass(player, false);
    app::runPass(player, false);
    ASSERT_EQ(sim::popupsShown().size(), 1u);
    EXPECT_EQ(sim::popupsShown()[0].menu, skin::OPTIONS_MENU);
    EXPECT_EQ(sim::popupsShown()[0].owner, app::MAIN_WINDOW);
    EXPECT_EQ(sim::popupsShown()[0].x, 150);
    EXPECT_EQ(sim::popupsShown()[0].y, 120);
    app::runPass(player, false);  // runs the item chosen in the menu
    EXPECT_EQ(skin::optionChecked(skin::ANIMATION_LINEAR_ITEM), 1);

    sim::movePointer(130, 300);
    sim::queueControlEvent(13, platform::EVENT_RIGHT_CLICK);
    app::runPass(player, false);
    app::runPass(player, false);
    ASSERT_EQ(sim::popupsShown().size(), 2u);
    EXPECT_EQ(sim::popupsShown()[1].y, 300);
}

}  // namespace
