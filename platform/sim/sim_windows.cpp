// Simulated windows: their records, visibility, activation, moves and the screen.
#include "platform/sim/sim_state.h"

namespace sim {

// Shown on screen: visible itself and no owner up the chain minimised or hidden.
static bool shownOnScreen(int window) {
    for (int depth = 0; depth < 16; ++depth) {
        const WindowRecord* record = findWindow(window);
        if (!record || !record->visible) return false;
        if (depth > 0 && record->minimised) return false;
        if (record->owner < 0) return true;
        window = record->owner;
    }
    return true;
}

WindowInfo windowInfo(int window) {
    WindowInfo info;
    const WindowRecord* record = findWindow(window);
    if (!record) return info;
    info.exists = true;
    info.title = record->title;
    info.x = record->x;
    info.y = record->y;
    info.width = record->width;
    info.height = record->height;
    info.visible = shownOnScreen(window);
    info.minimised = record->minimised;
    info.topmost = record->topmost;
    info.owner = record->owner;
    info.acceptsDrops = record->acceptsDrops;
    info.active = world().foreground == window;
    return info;
}

int foregroundWindow() { return world().foreground; }

void restoreWindow(int window) {
    WindowRecord* record = findWindow(window);
    if (!record) return;
    record->minimised = false;
    record->visible = true;
    world().foreground = window;
}

void failWindowOpen(int window) { world().failingWindows.push_back(window); }
void failControl(int control) { world().failingControls.push_back(control); }

const std::vector<WindowMove>& windowMoves() { return world().moves; }

int showCalls(int window) {
    const WindowRecord* record = findWindow(window);
    return record ? record->showCalls : 0;
}

int hideCalls(int window) {
    const WindowRecord* record = findWindow(window);
    return record ? record->hideCalls : 0;
}

// Hands activation on when the active window goes away or hides.
static void deactivate(int window) {
    World& w = world();
    if (w.foreground != window) return;
    const WindowRecord* record = findWindow(window);
    int owner = record ? record->owner : -1;
    const WindowRecord* ownerRecord = findWindow(owner);
    w.foreground = (ownerRecord && ownerRecord->visible) ? owner : -1;
}

}  // namespace sim

namespace platform {

using sim::findWindow;
using sim::world;

bool openWindow(int window, const WindowLayout& layout) {
    if (sim::enter(sim::Call::openWindow)) return false;
    sim::World& w = world();
    for (int failing : w.failingWindows)
        if (failing == window) return false;
    if (findWindow(window) || layout.clientWidth < 0 || layout.clientHeight < 0) return false;
    if (layout.owner >= 0 && !findWindow(layout.owner)) return false;
    sim::WindowRecord record;
    record.title = layout.title ? layout.title : "";
    record.x = layout.x;
    record.y = layout.y;
    record.width = layout.clientWidth;
    record.height = layout.clientHeight;
    record.owner = layout.owner;
    record.visible = layout.visible;
    record.pixels.assign(static_cast<std::size_t>(layout.clientWidth) * layout.clientHeight, NO_COLOUR);
    w.windows[window] = std::move(record);
    if (layout.visible) w.foreground = window;
    return true;
}

bool windowExists(int window) {
    sim::enter(sim::Call::windowExists);
    return findWindow(window) != nullptr;
}

void closeWindow(int window) {
    if (sim::enter(sim::Call::closeWindow)) return;
    sim::closeWindowAndOwned(window);
}

}  // namespace platform

namespace sim {

void closeWindowAndOwned(int window) {
    sim::World& w = world();
    if (!findWindow(window)) return;
    std::vector<int> owned;
    for (const auto& [number, record] : w.windows)
        if (record.owner == window) owned.push_back(number);
    for (int child : owned) closeWindowAndOwned(child);
    sim::deactivate(window);
    if (w.surface == window) w.surface = -1;
    for (auto it = w.controls.begin(); it != w.controls.end();)
        it = it->second.window == window ? w.controls.erase(it) : std::next(it);
    w.windows.erase(window);
}

}  // namespace sim

namespace platform {

bool windowVisible(int window) {
    sim::enter(sim::Call::windowVisible);
    const sim::WindowRecord* record = findWindow(window);
    return record && record->visible;
}

void hideWindow(int window) {
    sim::enter(sim::Call::hideWindow);
    sim::WindowRecord* record = findWindow(window);
    if (!record) return;
    ++record->hideCalls;
    record->visible = false;
    sim::deactivate(window);
}

// Like SW_SHOWNORMAL: restores and shows; a window that was not on screen is activated.
void showWindowNormal(int window) {
    sim::enter(sim::Call::showWindowNormal);
    sim::WindowRecord* record = findWindow(window);
    if (!record) return;
    ++record->showCalls;
    bool wasShown = record->visible && !record->minimised;
    record->visible = true;
    record->minimised = false;
    if (!wasShown) world().foreground = window;
}

void activateWindow(int window) {
    sim::enter(sim::Call::activateWindow);
    if (findWindow(window)) world().foreground = window;
}

void setForegroundWindow(int window) {
    sim::enter(sim::Call::setForegroundWindow);
    if (findWindow(window)) world().foreground = window;
}

// A minimised window gives up activation, and so do the windows it owns.
void minimiseWindow(int window) {
    sim::enter(sim::Call::minimiseWindow);
    sim::WindowRecord* record = findWindow(window);
    if (!record) return;
    record->minimised = true;
    const sim::WindowRecord* active = findWindow(world().foreground);
    if (world().foreground == window || (active && active->owner == window)) world().foreground = -1;
}

void moveWindow(int window, int x, int y) {
    const bool fails = sim::enter(sim::Call::moveWindow);
    sim::WindowRecord* record = findWindow(window);
    if (fails || !record) return;
    record->x = x;
    record->y = y;
    world().moves.push_back({window, x, y, world().clock});
}

void setTopmost(int window, bool topmost) {
    const bool fails = sim::enter(sim::Call::setTopmost);
    sim::WindowRecord* record = findWindow(window);
    if (!fails && record) record->topmost = topmost;
}

WindowRect windowRect(int window) {
    sim::enter(sim::Call::windowRect);
    const sim::WindowRecord* record = findWindow(window);
    if (!record) return {};
    return {record->x, record->y, record->width, record->height};
}

Point clientSize(int window) {
    sim::enter(sim::Call::clientSize);
    const sim::WindowRecord* record = findWindow(window);
    if (!record) return {};
    return {record->width, record->height};
}

void acceptDroppedFiles(int window) {
    const bool fails = sim::enter(sim::Call::acceptDroppedFiles);
    sim::WindowRecord* record = findWindow(window);
    if (!fails && record) record->acceptsDrops = true;
}

int screenWidth() {
    sim::enter(sim::Call::screenWidth);
    return world().screenWidth;
}
int screenHeight() {
    sim::enter(sim::Call::screenHeight);
    return world().screenHeight;
}

}  // namespace platform
