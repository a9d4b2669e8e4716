// The player's process-wide state: one plain struct per subsystem, made once
// at start-up and handed to the procedures that need it.
#pragma once

#include <cstdint>
#include <string>

#include "app/fault_trap.h"
#include "docking/drag.h"
#include "docking/window_options.h"
#include "face/info_strip.h"
#include "face/loop_state.h"
#include "input/key_scan.h"
#include "metadata/track_tag.h"
#include "platform/gui.h"
#include "playback/transport.h"
#include "playlist/playlist.h"
#include "skin/skin.h"
#include "store/replace_file.h"

namespace app {

constexpr const char* ABOUT_LIBRARY_FILE = "ravlet.dll";

// Start-up and shutdown state.
struct AppState {
    std::string installationDirectory;
    store::Replacement installationFileSave;  // what recording it broke off by a fault left behind
    int quitFlag = 0;
    bool sessionEnded = false;
    std::uint32_t saveRequester = 0;  // the newer player whose request to save was answered
    int matchedInstanceCount = 0;
    std::uint32_t rememberedProcessId = 0;
    int screenWidth = 0;
    int screenHeight = 0;
};

struct Player {
    AppState app;
    face::LoopState loop;
    playback::Transport transport;
    metadata::TrackTag tag;
    face::InfoStrip info;
    playlist::Playlist playlist;
    skin::Skin skin;
    input::KeyScan keys;
    docking::Drag drag;
    docking::Options options;
    FaultRecord faults;
};

}  // namespace app
