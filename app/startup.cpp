// The start-up sequence in its fixed order.
#include "app/startup.h"

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/main_window.h"
#include "app/playlist_window.h"
#include "app/single_instance.h"
#include "assets/embedded.h"
#include "platform/gui.h"
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
    openMainWindow(player.app);

    // The first parameter and up to 200 more, in order; later ones are ignored.
    std::vector<std::string> parameters;
    for (std::string parameter = firstParameter;
         !parameter.empty() && parameters.size() < playlist::PLAYLIST_SLOTS;
         parameter = nextParameter(commandLine)) {
        parameters.push_back(parameter);
    }

    skin::loadSkin(player.skin, player.app.installationDirectory);
    openPlaylistWindow(player.playlist);
    if (firstParameter.empty()) {
        playlist::loadListFile(player.playlist);
    } else {
        enterCommandLineFiles(player.playlist, player.transport, parameters);
    }
    platform::hideWindow(PLAYLIST_WINDOW);
    prepareDrawing(player.loop);
}

}  // namespace app
