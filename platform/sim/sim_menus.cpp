// Simulated popup menus: their items, check marks and the choice made in one.
#include "platform/gui.h"
#include "platform/sim/sim_state.h"

namespace sim {

// Finds item `item` in `menu` or any submenu below it.
static MenuItem* findMenuItem(int menu, int item, int depth = 0) {
    auto it = world().menus.find(menu);
    if (it == world().menus.end() || depth > 16) return nullptr;
    for (MenuItem& entry : it->second.items) {
        if (entry.kind == MenuItemKind::Item && entry.id == item) return &entry;
    }
    for (MenuItem& entry : it->second.items) {
        if (entry.kind != MenuItemKind::Submenu) continue;
        if (MenuItem* found = findMenuItem(entry.id, item, depth + 1)) return found;
    }
    return nullptr;
}

std::vector<MenuItem> menuItems(int menu) {
    auto it = world().menus.find(menu);
    return it == world().menus.end() ? std::vector<MenuItem>{} : it->second.items;
}

int menuCheck(int menu, int item) {
    const MenuItem* entry = findMenuItem(menu, item);
    return entry && entry->checked ? 1 : 0;
}

void queuePopupChoice(int item) { world().popupChoices.push_back(item); }

const std::vector<PopupShown>& popupsShown() { return world().popups; }

}  // namespace sim

namespace platform {

using sim::world;

void createPopupMenu(int menu) {
    if (sim::enter(sim::Call::createPopupMenu)) return;
    world().menus[menu] = sim::Menu{};
}

void appendMenuItem(int menu, int item, const char* text) {
    if (sim::enter(sim::Call::appendMenuItem)) return;
    auto it = world().menus.find(menu);
    if (it != world().menus.end()) it->second.items.push_back({item, text ? text : "", sim::MenuItemKind::Item, false});
}

void appendMenuSeparator(int menu) {
    if (sim::enter(sim::Call::appendMenuSeparator)) return;
    auto it = world().menus.find(menu);
    if (it != world().menus.end()) it->second.items.push_back({0, "", sim::MenuItemKind::Separator, false});
}

void appendSubmenu(int menu, int submenu, const char* text) {
    if (sim::enter(sim::Call::appendSubmenu)) return;
    auto it = world().menus.find(menu);
    if (it != world().menus.end() && world().menus.count(submenu))
        it->second.items.push_back({submenu, text ? text : "", sim::MenuItemKind::Submenu, false});
}

void setMenuCheck(int menu, int item, bool checked) {
    if (sim::enter(sim::Call::setMenuCheck)) return;
    if (sim::MenuItem* entry = sim::findMenuItem(menu, item)) entry->checked = checked;
}

// The real menu posts its command to the queue; the chosen item is the next event.
void showPopupMenu(int menu, int ownerWindow, int screenX, int screenY) {
    const bool fails = sim::enter(sim::Call::showPopupMenu);
    sim::World& w = world();
    int choice = 0;
    if (!w.popupChoices.empty()) {
        choice = w.popupChoices.front();
        w.popupChoices.pop_front();
    }
    if (fails) return;  // never on screen: the user chose nothing
    w.popups.push_back({menu, ownerWindow, screenX, screenY});
    if (w.modalWatcher) w.modalWatcher("showPopupMenu");
    if (choice != 0 && w.menus.count(menu)) w.events.push_front({sim::QueuedKind::Menu, choice, -1, 0, 0});
}

}  // namespace platform
