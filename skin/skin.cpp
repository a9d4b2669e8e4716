// The face's look: hit boxes of its buttons, and their hover repaint from the two skin pictures.
#include "skin/skin.h"

#include <cstddef>

#include "platform/characters.h"

namespace skin {

// Hit boxes are strict bounds; repaint boxes are inclusive and may overlap
// (play and pause share column 66): the later button's stage paints last.
const std::array<ButtonGeometry, BUTTON_COUNT> BUTTONS = {{
    {{8, 6, 16, 14}, {8, 6, 16, 14}},          // close
    {{8, 16, 16, 24}, {8, 16, 16, 24}},        // minimise
    {{23, 39, 41, 58}, {21, 37, 43, 60}},      // previous
    {{46, 39, 64, 58}, {44, 37, 66, 60}},      // play
    {{68, 39, 87, 58}, {66, 37, 89, 60}},      // pause
    {{92, 39, 110, 58}, {90, 37, 112, 60}},    // stop
    {{116, 39, 132, 58}, {114, 37, 138, 60}},  // next
    {{145, 41, 159, 56}, {140, 39, 160, 58}},  // playlist
}};

void loadSkin(Skin& skin, const std::string& installationDirectory) {
    skin.hoverPixels.assign(SKIN_WIDTH * SKIN_HEIGHT, platform::NO_COLOUR);
    skin.normalPixels.assign(SKIN_WIDTH * SKIN_HEIGHT, platform::NO_COLOUR);
    const platform::CodePage codePage = platform::systemCodePage();
    const std::string hover = platform::joinPath(installationDirectory, "backmouse.vnb", codePage);
    const std::string normal = platform::joinPath(installationDirectory, "back.vnb", codePage);
    platform::readBitmapPixels(hover.c_str(), SKIN_WIDTH, SKIN_HEIGHT, skin.hoverPixels.data());
    platform::readBitmapPixels(normal.c_str(), SKIN_WIDTH, SKIN_HEIGHT, skin.normalPixels.data());
}

bool insideHitBox(Button button, int mouseX, int mouseY) {
    const Box& hit = BUTTONS[button].hit;
    return mouseX > hit.left && mouseX < hit.right && mouseY > hit.top && mouseY < hit.bottom;
}

bool hoverStep(Skin& skin, Button button, platform::Point pointer, bool armedByKey) {
    const bool active = insideHitBox(button, pointer.x, pointer.y) || armedByKey;
    if (active) {
        skin.hoverFlags[button] = 1;
        paintBox(skin.hoverPixels, BUTTONS[button].repaint);
    } else if (skin.hoverFlags[button] == 1) {
        paintBox(skin.normalPixels, BUTTONS[button].repaint);
        skin.hoverFlags[button] = 0;
    }
    return active;
}

// Boxes lie inside the tables; a table not loaded yet paints nothing.
void paintBox(const std::vector<platform::Colour>& table, const Box& box) {
    if (table.size() != static_cast<std::size_t>(SKIN_WIDTH * SKIN_HEIGHT)) return;
    for (int x = box.left; x <= box.right; ++x) {
        for (int y = box.top; y <= box.bottom; ++y) {
            platform::plotPixel(x, y, table[static_cast<std::size_t>(x * SKIN_HEIGHT + y)]);
        }
    }
}

}  // namespace skin
