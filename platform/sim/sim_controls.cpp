// Simulated controls: image controls painted into their window and list boxes.
#include <algorithm>

#include "platform/sim/sim_state.h"

namespace sim {

bool controlExists(int control) { return world().controls.count(control) != 0; }

int controlWindow(int control) {
    auto it = world().controls.find(control);
    return it == world().controls.end() ? -1 : it->second.window;
}

static ControlRecord* findList(int control) {
    auto it = world().controls.find(control);
    if (it == world().controls.end() || it->second.kind != ControlKind::List) return nullptr;
    return &it->second;
}

void selectRow(int control, int row) {
    ControlRecord* list = findList(control);
    if (!list) return;
    list->selected = (row >= 0 && row < static_cast<int>(list->rows.size())) ? row : -1;
}

std::vector<std::string> listRows(int control) {
    const ControlRecord* list = findList(control);
    return list ? list->rows : std::vector<std::string>{};
}

}  // namespace sim

namespace platform {

using sim::world;

namespace {

bool controlFails(int control) {
    const std::vector<int>& failing = world().failingControls;
    return std::find(failing.begin(), failing.end(), control) != failing.end();
}

sim::ControlRecord& placeControl(int control, sim::ControlKind kind, int window, int x, int y, int width, int height) {
    sim::ControlRecord& entry = world().controls[control] = sim::ControlRecord{};
    entry.kind = kind;
    entry.window = window;
    entry.x = x;
    entry.y = y;
    entry.width = width;
    entry.height = height;
    return entry;
}

}  // namespace

bool addImageControl(int window, int control, int image, int x, int y, int width, int height) {
    const bool fails = sim::enter(sim::Call::addImageControl);
    sim::World& w = world();
    sim::WindowRecord* record = sim::findWindow(window);
    if (fails || !record || controlFails(control)) return false;
    placeControl(control, sim::ControlKind::Image, window, x, y, width, height).image = image;
    auto picture = w.images.find(image);
    if (picture == w.images.end()) return true;
    // The picture's rows, cut to the control and to the window.
    const sim::Image& img = picture->second;
    const int first = std::max(0, -x), last = std::min({img.width, width, record->width - x});
    for (int py = 0; py < std::min(img.height, height) && first < last; ++py) {
        const int wy = y + py;
        if (wy < 0 || wy >= record->height) continue;
        const auto from = img.pixels.begin() + static_cast<std::ptrdiff_t>(py) * img.width;
        std::copy(from + first, from + last,
                  record->pixels.begin() + static_cast<std::ptrdiff_t>(wy) * record->width + x + first);
    }
    return true;
}

bool addListControl(int window, int control, int x, int y, int width, int height, std::int32_t textColour,
                    std::int32_t backColour) {
    if (sim::enter(sim::Call::addListControl) || !sim::findWindow(window) || controlFails(control)) return false;
    sim::ControlRecord& entry = placeControl(control, sim::ControlKind::List, window, x, y, width, height);
    entry.textColour = textColour;
    entry.backColour = backColour;
    return true;
}

// Inserting at or above the selected row moves the selection down with its row.
// A refused row (the list out of memory) answers -1, as LB_ERR and LB_ERRSPACE
// do. Rows are kept as shown: code-page texts in UTF-8.
static int insertRow(bool fails, int control, int index, const std::string& shown) {
    sim::ControlRecord* list = sim::findList(control);
    if (fails || !list) return -1;
    int count = static_cast<int>(list->rows.size());
    if (index == -1) index = count;
    if (index < 0 || index > count) return -1;
    list->rows.insert(list->rows.begin() + index, shown);
    if (list->selected >= index) ++list->selected;
    return index;
}

// A code-page text is shown as the user sees it.
int listInsert(int control, int index, const std::string& text) {
    const bool fails = sim::enter(sim::Call::listInsert);
    return insertRow(fails, control, index, sim::utf8FromCodePage(text));
}

int listInsertUtf8(int control, int index, const std::string& text) {
    const bool fails = sim::enter(sim::Call::listInsertUtf8);
    return insertRow(fails, control, index, text);
}

// Deleting the selected row clears the selection; one above it moves it up.
// A refused deletion (LB_ERR) leaves the row.
bool listDelete(int control, int index) {
    const bool fails = sim::enter(sim::Call::listDelete);
    sim::ControlRecord* list = sim::findList(control);
    if (fails || !list || index < 0 || index >= static_cast<int>(list->rows.size())) return false;
    list->rows.erase(list->rows.begin() + index);
    if (list->selected == index) list->selected = -1;
    else if (list->selected > index) --list->selected;
    return true;
}

// A failing query answers LB_ERR (-1), as a list whose thread does not answer does.
int listCount(int control) {
    const bool fails = sim::enter(sim::Call::listCount);
    const sim::ControlRecord* list = sim::findList(control);
    if (list && (fails || world().loopThreadStopped))
        return -1;  // asked from another thread: the list's own is stopped
    return list ? static_cast<int>(list->rows.size()) : 0;
}

// A failing query answers LB_ERR (-1), which reads as no selection.
int listSelected(int control) {
    const bool fails = sim::enter(sim::Call::listSelected);
    const sim::ControlRecord* list = sim::findList(control);
    return list && !fails ? list->selected : -1;
}

}  // namespace platform
