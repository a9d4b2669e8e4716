// The face's look: its size, its buttons' hit boxes, the two skin pictures,
// and the hover repaint.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/gui.h"

namespace skin {

// The face's client area; its picture is 186 wide, the two rightmost columns unseen.
constexpr int FACE_WIDTH = 184;
constexpr int FACE_HEIGHT = 64;
constexpr int FACE_PICTURE_WIDTH = 186;

constexpr int SKIN_WIDTH = 185;
constexpr int SKIN_HEIGHT = 65;

enum Button { CLOSE, MINIMISE, PREVIOUS, PLAY, PAUSE, STOP, NEXT, PLAYLIST, BUTTON_COUNT };

struct Box {
    int left, top, right, bottom;
};

struct ButtonGeometry {
    Box hit;      // strict: left < x < right, top < y < bottom
    Box repaint;  // inclusive
};

extern const std::array<ButtonGeometry, BUTTON_COUNT> BUTTONS;

struct Skin {
    std::vector<platform::Colour> hoverPixels;   // x * SKIN_HEIGHT + y, from backmouse.vnb
    std::vector<platform::Colour> normalPixels;  // from back.vnb
    std::array<int, BUTTON_COUNT> hoverFlags{};
};

// Reads both skin pictures from the installation directory into the tables.
void loadSkin(Skin& skin, const std::string& installationDirectory);

bool insideHitBox(Button button, int mouseX, int mouseY);

// One pass of a button's hover: active when the pointer (in the face's client
// area) is in its hit box, or when its key arms it. Paints the hover box while
// active, restores the normal box once when it stops being active. Returns
// whether it is active.
bool hoverStep(Skin& skin, Button button, platform::Point pointer, bool armedByKey);

// Plots every pixel of `box` (x outer, y inner) from `table`.
void paintBox(const std::vector<platform::Colour>& table, const Box& box);

}  // namespace skin
