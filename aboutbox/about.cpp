// The library's entry point and its one export, `about`: the modal about box.
#include <windows.h>

#include "aboutbox/pictures.h"
#include "aboutbox/services.h"
#include "assets/maker_site.h"

namespace {

constexpr auto DOWNLOAD_PAGE = assets::makerPage("/download/mp3");

constexpr const char* ABOUT_TITLE = "About Tunewell";
constexpr int CREATE_X = 225;
constexpr int CREATE_Y = 101;
constexpr int CLIENT_WIDTH = 375;
constexpr int CLIENT_HEIGHT = 196;

constexpr int CONTROL_BACKGROUND = 0;
constexpr int CONTROL_CLOSE = 1;
constexpr int CONTROL_DOWNLOAD = 2;

struct PictureControl {
    int controlId;
    int x;
    int y;
    int width;
    int height;
    int slot;
};

// Creation order matters: the first created lies on top.
constexpr PictureControl PICTURE_CONTROLS[] = {
    {CONTROL_DOWNLOAD, 180, 150, 112, 46, ravlet::PICTURE_DOWNLOAD},
    {CONTROL_CLOSE, 290, 153, 75, 41, ravlet::PICTURE_CLOSE},
    {CONTROL_BACKGROUND, -3, -4, 383, 202, ravlet::PICTURE_BACKGROUND},
};

}  // namespace

// Shows the about box and returns 0 once it is closed. A box that cannot be
// opened could never be closed, so then it returns at once.
extern "C" int about(void) {
    if (!ravlet::openWindow(ABOUT_TITLE, CREATE_X, CREATE_Y, CLIENT_WIDTH, CLIENT_HEIGHT)) return 0;
    for (const PictureControl& control : PICTURE_CONTROLS) {
        ravlet::addPicture(control.controlId, control.x, control.y, control.width, control.height, control.slot);
    }
    bool closing = false;
    while (!closing) {
        int source = 0;
        int event = ravlet::pollEvent(&source);
        if (event == ravlet::EVENT_CLOSE) closing = true;
        if (event == ravlet::EVENT_CONTROL) {
            if (source == CONTROL_CLOSE) closing = true;
            if (source == CONTROL_DOWNLOAD) ravlet::openWebPage(DOWNLOAD_PAGE.data());
        }
        ravlet::sleepMilliseconds(1);
    }
    ravlet::closeWindow();
    return 0;
}

// Attach: services and pictures come up; detach: everything goes, heap last.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ravlet::startServices(instance);
        for (int slot = 0; slot < ravlet::PICTURE_SLOTS; ++slot) {
            ravlet::loadPicture(slot, ravlet::pictureStream(slot));
        }
    } else if (reason == DLL_PROCESS_DETACH) {
        ravlet::stopServices();
    }
    return TRUE;
}
