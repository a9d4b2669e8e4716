// The options menu: its items, its handlers and its opening on a right click.
#include "options/options_menu.h"

#include "assets/maker_site.h"
#include "numbers/numbers.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace options {

using namespace numbers;

namespace {

constexpr auto UPDATES_PAGE = assets::makerPage("/download.php");
constexpr auto NEW_SKINS_PAGE = assets::makerPage("/skins/index.php");

constexpr int ANIMATION_ITEMS[] = {ANIMATION_NONE_ITEM, ANIMATION_LINEAR_ITEM, ANIMATION_SNAKE_ITEM};

using docking::Animation;

Animation animationOf(int item) {
    switch (item) {
    case ANIMATION_NONE_ITEM:
        return Animation::None;
    case ANIMATION_LINEAR_ITEM:
        return Animation::Linear;
    case ANIMATION_SNAKE_ITEM:
        return Animation::Snake;
    default:
        return Animation::Unmarked;
    }
}

// The animation items act as a radio group, except that choosing the marked
// item clears it, leaving none marked.
void chooseAnimation(docking::Options& options, int chosen) {
    const bool wasMarked = options.animation == animationOf(chosen);
    options.animation = wasMarked ? Animation::Unmarked : animationOf(chosen);
    for (int item : ANIMATION_ITEMS) platform::setMenuCheck(OPTIONS_MENU, item, false);
    if (!wasMarked) platform::setMenuCheck(OPTIONS_MENU, chosen, true);
}

void toggleAlwaysOnTop(docking::Options& options) {
    options.alwaysOnTop = !options.alwaysOnTop;
    platform::setTopmost(MAIN_WINDOW, options.alwaysOnTop);
    platform::setMenuCheck(OPTIONS_MENU, ALWAYS_ON_TOP_ITEM, options.alwaysOnTop);
}

}  // namespace

void buildOptionsMenu(docking::Options& options) {
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

    options.animation = Animation::Snake;
    options.collision = true;
    platform::setMenuCheck(OPTIONS_MENU, ANIMATION_SNAKE_ITEM, true);
    platform::setMenuCheck(OPTIONS_MENU, COLLISION_ITEM, true);
}

// About waits until the box is closed; a missing library or export does nothing.
// The web pages open in the user's browser without waiting.
void runMenuChoice(docking::Options& options, const platform::Event& event) {
    if (event.lastEvent != platform::EVENT_MENU) return;
    switch (event.eventSource) {
    case ANIMATION_NONE_ITEM:
    case ANIMATION_LINEAR_ITEM:
    case ANIMATION_SNAKE_ITEM:
        chooseAnimation(options, event.eventSource);
        break;
    case COLLISION_ITEM:
        options.collision = !options.collision;
        platform::setMenuCheck(OPTIONS_MENU, COLLISION_ITEM, options.collision);
        break;
    case ALWAYS_ON_TOP_ITEM:
        toggleAlwaysOnTop(options);
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
