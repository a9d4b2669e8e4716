// The options menu: its items, its handlers and its opening on a right click.
#include "options/options_menu.h"

#include "assets/maker_site.h"
#include "numbers/numbers.h"
#include "platform/system.h"

namespace options {

using namespace numbers;

namespace {

constexpr auto UPDATES_PAGE = assets::makerPage("/download.php");
constexpr auto NEW_SKINS_PAGE = assets::makerPage("/skins/index.php");

constexpr int ANIMATION_ITEMS[] = {ANIMATION_NONE_ITEM, ANIMATION_LINEAR_ITEM, ANIMATION_SNAKE_ITEM};

// The animation items act as a radio group, except that choosing the marked
// item clears it, leaving none marked.
void chooseAnimation(int chosen) {
    const bool wasMarked = optionChecked(chosen) == 1;
    for (int item : ANIMATION_ITEMS) platform::setMenuCheck(OPTIONS_MENU, item, false);
    if (!wasMarked) platform::setMenuCheck(OPTIONS_MENU, chosen, true);
}

void toggleAlwaysOnTop() {
    const bool onTop = optionChecked(ALWAYS_ON_TOP_ITEM) == 1;
    platform::setTopmost(MAIN_WINDOW, !onTop);
    platform::setMenuCheck(OPTIONS_MENU, ALWAYS_ON_TOP_ITEM, !onTop);
}

}  // namespace

void buildOptionsMenu() {
    platform::createPopupMenu(ANIMATION_MENU);
    platform::appendMenuItem(ANIMATION_MENU, ANIMATION_NONE_ITEM, "None");
    platform::appendMenuItem(ANIMATION_MENU, ANIMATION_LINEAR_ITEM, "Linear");
    platform::appendMenuItem(ANIMATION_MENU, ANIMATION_SNAKE_ITEM, "Snake");

    platform::createPopupMenu(OPTIONS_MENU);
    platform::appendMenuItem(OPTIONS_MENU, ALWAYS_ON_TOP_ITEM, "Always on Top");
    platform::appendMenuItem(OPTIONS_MENU, COLLISION_ITEM, "Collision Detection");
    platform::appendSubmenu(OPTIONS_MENU, ANIMATION_MENU, "Animation");
    platform::appendMenuSeparator(OPTIONS_MENU);
    platform::appendMenuItem(OPTIONS_MENU, NEW_SKINS_ITEM, "New Skins");
    platform::appendMenuItem(OPTIONS_MENU, UPDATES_ITEM, "Updates");
    platform::appendMenuSeparator(OPTIONS_MENU);
    platform::appendMenuItem(OPTIONS_MENU, ABOUT_ITEM, "About");

    platform::setMenuCheck(OPTIONS_MENU, ANIMATION_SNAKE_ITEM, true);
    platform::setMenuCheck(OPTIONS_MENU, COLLISION_ITEM, true);
}

int optionChecked(int item) { return platform::menuCheck(OPTIONS_MENU, item); }

// About waits until the box is closed; a missing library or export does nothing.
// The web pages open in the user's browser without waiting.
void runMenuChoice(const platform::Event& event) {
    if (event.lastEvent != platform::EVENT_MENU) return;
    switch (event.eventSource) {
    case ANIMATION_NONE_ITEM:
    case ANIMATION_LINEAR_ITEM:
    case ANIMATION_SNAKE_ITEM:
        chooseAnimation(event.eventSource);
        break;
    case COLLISION_ITEM:
        platform::setMenuCheck(OPTIONS_MENU, COLLISION_ITEM, optionChecked(COLLISION_ITEM) == 0);
        break;
    case ALWAYS_ON_TOP_ITEM:
        toggleAlwaysOnTop();
        break;
    case ABOUT_ITEM:
        platform::callLibraryFunction(ABOUT_LIBRARY, "about");
        break;
    case UPDATES_ITEM:
        platform::openWebPage(UPDATES_PAGE.data());
        break;
    case NEW_SKINS_ITEM:
        platform::openWebPage(NEW_SKINS_PAGE.data());
        break;
    default:
        break;
    }
}

// Only picture controls report right clicks (the list never does); the menu
// belongs to the face, which is brought to the front first.
void openMenuOnRightClick(const platform::Event& event) {
    if (event.eventType != platform::EVENT_RIGHT_CLICK) return;
    const platform::Point pointer = platform::cursorPosition();
    platform::setForegroundWindow(MAIN_WINDOW);
    platform::showPopupMenu(OPTIONS_MENU, MAIN_WINDOW, pointer.x, pointer.y);
}

}  // namespace options
