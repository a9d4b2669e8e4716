// The start-up sequence in its fixed order, and the process entry.
#include "app/startup.h"

#include "app/brumby.h"
#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/loop.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "assets/embedded.h"
#include "playback/media_commands.h"
#include "platform/system.h"

namespace app {

void startUp(Player& player) {
    CommandLine commandLine = readCommandLine(platform::commandLine());
    platform::startServices();
    player.app.screenWidth = platform::screenWidth();
    player.app.screenHeight = platform::screenHeight();
    endOlderInstance(player.app);
    player.app.installationDirectory = prepareInstallationDirectory();
    platform::loadLibrary(ABOUT_LIBRARY, player.app.installationDirectory + "ravlet.dll");

    const std::string firstParameter = nextParameter(commandLine);
    player.transport.currentPath = firstParameter;
    decodePlaylistFrames();
    metadata::createInfoFonts();
    platform::decodeBitmap(FACE_IMAGE, assets::FACE_BMP, assets::FACE_BMP_size);

    player.loop.playlistVisible = 0;
    player.playlist.slots.fill(std::string());
    player.playlist.slots[0] = firstParameter;
    openMainWindow(player);

    // Further parameters fill slots 1..200 in order; later ones are ignored.
    for (int slot = 1; slot < playlist::PLAYLIST_SLOTS; ++slot) {
        const std::string parameter = nextParameter(commandLine);
        if (parameter.empty()) break;
        player.playlist.slots[static_cast<std::size_t>(slot)] = parameter;
    }

    skin::loadSkin(player.skin, player.app.installationDirectory);
    if (firstParameter.empty()) playlist::loadListFile(player.playlist);
    prepareDrawing(player);
}

void shutDown(Player& player) {
    playback::closeTrack(playback::TRACK_ALIAS_NUMBER);
    playlist::saveListFile(player.playlist);
    platform::closeWindow(MAIN_WINDOW);
}

int brumbyMain() {
    Player player;  // the process-wide state, for the life of the run
    startUp(player);
    runLoop(player);
    platform::stopServices();
    return 0;
}

}  // namespace app
