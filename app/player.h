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
#include "skin/skin.h"

namespace app {

// Window, control, image and library numbers chosen by the program.
constexpr int MAIN_WINDOW = 0;
constexpr int PLAYLIST_WINDOW = 1;
constexpr int FACE_CONTROL = 0;
constexpr int FACE_IMAGE = 0;
constexpr int ABOUT_LIBRARY = 0;
constexpr const char* ABOUT_LIBRARY_FILE = "ravlet.dll";

constexpr int MAIN_CLIENT_WIDTH = 184;
constexpr int MAIN_CLIENT_HEIGHT = 64;

// Start-up and shutdown state.
struct AppState {
    std::string installationDirectory;
    int quitFlag = 0;
    int sessionEnded = 0;
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
    FaultRecord faults;
};

}  // namespace app
