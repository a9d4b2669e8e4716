// The player's process-wide state: one plain struct per subsystem, made once
// at start-up and handed to the procedures that need it.
#pragma once

#include <cstdint>
#include <string>

#include "app/fault_trap.h"
#include "metadata/info_strip.h"
#include "metadata/track_tag.h"
#include "platform/draw.h"
#include "platform/gui.h"
#include "playback/transport.h"
#include "playlist/playlist.h"
#include "skin/drag.h"
#include "skin/key_scan.h"
#include "skin/options_menu.h"
#include "skin/skin.h"
#include "skin/windows.h"

namespace app {

// Window, control, image and library numbers chosen by the program.
using skin::MAIN_WINDOW;
using skin::PLAYLIST_WINDOW;
constexpr int FACE_CONTROL = 0;
constexpr int FACE_IMAGE = 0;
using skin::ABOUT_LIBRARY;
constexpr const char* ABOUT_LIBRARY_FILE = "ravlet.dll";

using skin::MAIN_CLIENT_WIDTH;
using skin::MAIN_CLIENT_HEIGHT;

// Start-up and shutdown state.
struct AppState {
    std::string installationDirectory;
    int quitFlag = 0;
    int sessionEnded = 0;
    std::uint32_t saveRequester = 0;  // the newer player whose request to save was answered
    int matchedInstanceCount = 0;
    std::uint32_t rememberedProcessId = 0;
    int screenWidth = 0;
    int screenHeight = 0;
};

// What the loop's stages read: the last poll's event and the window flags.
struct LoopState {
    platform::Event event;
    int playlistVisible = 0;
};

struct Player {
    AppState app;
    LoopState loop;
    playback::Transport transport;
    metadata::TrackTag tag;
    metadata::InfoStrip info;
    playlist::Playlist playlist;
    skin::Skin skin;
    skin::KeyScan keys;
    skin::Drag drag;
    FaultRecord faults;
};

}  // namespace app
