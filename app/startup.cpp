// The start-up sequence in its fixed order.
#include "app/startup.h"

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "assets/embedded.h"
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
    playlist::clearSlots(player.playlist);
    playlist::setSlotPath(player.playlist, 0, firstParameter);
    openMainWindow(player.app);

    // Further parameters fill slots 1..200 in order; later ones are ignored.
    for (int slot = 1; slot < playlist::PLAYLIST_SLOTS; ++slot) {
        const std::string parameter = nextParameter(commandLine);
        if (parameter.empty()) break;
        playlist::setSlotPath(player.playlist, slot, parameter);
    }

    skin::loadSkin(player.skin, player.app.installationDirectory);
    if (firstParameter.empty()) playlist::loadListFile(player.playlist);
    prepareDrawing(player.loop);
}

}  // namespace app
