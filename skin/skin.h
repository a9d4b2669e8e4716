// The face's buttons: hit boxes, the two skin pictures, and the hover repaint.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/draw.h"

namespace skin {

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

// One pass of a button's hover: active when the mouse is in its hit box or
// `keyCondition` holds. Paints the hover box while active, restores the
// normal box once when it stops being active. Returns whether it is active.
bool hoverStep(Skin& skin, Button button, bool keyCondition);

// Plots every pixel of `box` (x outer, y inner) from `table`.
void paintBox(const std::vector<platform::Colour>& table, const Box& box);

}  // namespace skin
