// Simulated input: the pointer, asynchronous key state, the event queue and dropped files.
#include "platform/sim/sim_state.h"

namespace sim {

void movePointer(int screenX, int screenY) {
    world().pointerX = screenX;
    world().pointerY = screenY;
}

void movePointerToClient(int window, int x, int y) {
    const WindowRecord* record = findWindow(window);
    if (record) movePointer(record->x + x, record->y + y);
}

void holdKey(int virtualKey) {
    KeyState& key = world().keys[virtualKey];
    key.held = true;
    key.pressedSinceQuery = true;
}

void releaseKey(int virtualKey) { world().keys[virtualKey].held = false; }

void tapKey(int virtualKey) { world().keys[virtualKey].pressedSinceQuery = true; }

void queueControlEvent(int control, int eventType) {
    world().events.push_back({QueuedKind::Control, control, eventType, 0, 0});
}

void queueMenuEvent(int item) { world().events.push_back({QueuedKind::Menu, item, -1, 0, 0}); }

void queueRawEvent(int message, std::uintptr_t wParam, std::intptr_t lParam) {
    world().events.push_back({QueuedKind::Raw, message, -1, wParam, lParam});
}

std::uintptr_t queueDrop(int window, std::vector<std::string> paths, bool pointInside) {
    World& w = world();
    std::uintptr_t handle = ++w.nextDrop;
    // The point only needs to be on the right side of the client edge.
    platform::Point point = pointInside ? platform::Point{10, 10} : platform::Point{-10, -10};
    w.drops[handle] = Drop{window, std::move(paths), point, pointInside, false};
    queueRawEvent(platform::EVENT_DROP_FILES, handle, 0);
    return handle;
}

int pendingEvents() { return static_cast<int>(world().events.size()); }

}  // namespace sim

namespace platform {

using sim::world;

// A failing poll takes nothing: the message waits in the queue for the next.
void pollEvent(Event& event) {
    const bool fails = sim::enter(sim::Call::pollEvent);
    sim::World& w = world();
    ++w.polls;
    if (w.user) w.user();
    event.eventType = EVENT_TYPE_NONE;
    if (fails || w.events.empty()) {
        event.lastEvent = EVENT_NONE;
        return;
    }
    sim::QueuedEvent next = w.events.front();
    w.events.pop_front();
    switch (next.kind) {
    case sim::QueuedKind::Control: {
        event.lastEvent = EVENT_CONTROL;
        event.eventType = next.eventType;
        event.eventSource = next.id;
        // A click on a control activates the window that holds it.
        auto control = w.controls.find(next.id);
        if (control != w.controls.end() && sim::findWindow(control->second.window))
            w.foreground = control->second.window;
        break;
    }
    case sim::QueuedKind::Menu:
        event.lastEvent = EVENT_MENU;
        event.eventSource = next.id;
        break;
    case sim::QueuedKind::Raw:
        event.lastEvent = next.id;
        if (next.id == EVENT_DROP_FILES) event.dropHandle = next.wParam;
        break;
    }
}

// Outside 0..width x 0..height (inclusive, as the screen-to-client check is),
// while the window is minimised (parked off screen) and when the pointer cannot
// be read, the pointer is {-1, -1}.
Point pointerIn(int window) {
    if (sim::enter(sim::Call::pointerIn)) return {-1, -1};
    const sim::World& w = world();
    const sim::WindowRecord* record = sim::findWindow(window);
    if (!record || record->minimised) return {-1, -1};
    int x = w.pointerX - record->x;
    int y = w.pointerY - record->y;
    if (x < 0 || x > record->width || y < 0 || y > record->height) return {-1, -1};
    return {x, y};
}
Point cursorPosition() {
    if (sim::enter(sim::Call::cursorPosition)) return {};
    return {world().pointerX, world().pointerY};
}

bool keyPressed(int virtualKey) {
    sim::enter(sim::Call::keyPressed);
    auto it = world().keys.find(virtualKey);
    if (it == world().keys.end()) return false;
    bool pressed = it->second.held || it->second.pressedSinceQuery;
    it->second.pressedSinceQuery = false;
    return pressed;
}

}  // namespace platform
