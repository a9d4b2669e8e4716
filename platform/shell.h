// The shell: the web browser, the message box, the open-file dialog and the
// files dropped on a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gui.h"

namespace platform {

void openWebPage(const char* url);
void messageBox(const char* text, const char* title);

// The open-file dialog, owned by window `owner`, with room for `capacity`
// characters of answer. `filter` separates descriptions and patterns by '|'.
// The answer is what the dialog chose, in UTF-8: one full path, or a folder
// followed by file names. It is empty when the dialog was cancelled or failed
// (the choice did not fit).
std::vector<std::string> openFileDialog(int owner, const char* filter, int capacity);

// What was dropped: whether the point lies inside the client area of the
// window it was dropped on, and the items in the order the shell gives them (in UTF-8).
struct DroppedFiles {
    Point point;
    bool inside = false;
    std::vector<std::string> paths;
};
// Reads the drop the event's handle names and releases the handle, always.
DroppedFiles takeDroppedFiles(std::uintptr_t drop);

}  // namespace platform
