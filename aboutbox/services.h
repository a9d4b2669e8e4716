// The library's own window, picture, event, sleep and shell services (Win32),
// kept apart from the player's: nothing here is shared with the program.
#pragma once

#include "aboutbox/pictures.h"

namespace ravlet {

constexpr int EVENT_NONE = 0;
constexpr int EVENT_CLOSE = 16;  // the window's close request, as the system numbers it
constexpr int EVENT_CONTROL = 13100;

// Remembers the instance, creates the private heap and registers the window class.
bool startServices(void* instance);
// Frees the pictures, unregisters the class and destroys the private heap.
void stopServices();

// Decodes `stream` into picture slot `slot`; a failure leaves the slot empty.
bool loadPicture(int slot, const PictureStream& stream);

// Opens the captioned box, client size as given, centred on the primary screen.
bool openWindow(const char* title, int x, int y, int clientWidth, int clientHeight);
// Adds a notifying picture control showing picture slot `slot` (empty if it failed).
void addPicture(int controlId, int x, int y, int width, int height, int slot);
// Destroys the box and its controls.
void closeWindow();

// Takes at most one pending message without waiting; returns the event it
// produced and, for a control event, the control id in `source`.
int pollEvent(int* source);

void sleepMilliseconds(int milliseconds);

// Asks the shell to open `url` in the browser; does not wait and ignores failure.
void openWebPage(const char* url);

}  // namespace ravlet
