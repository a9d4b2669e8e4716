// The start-up sequence in its fixed order.
#include "app/startup.h"

#include <string>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/end_save.h"
#include "app/single_instance.h"
#include "assets/embedded.h"
#include "face/main_window.h"
#include "face/playlist_window.h"
#include "numbers/numbers.h"
#include "platform/characters.h"
#include "platform/gui.h"
#include "platform/names.h"
#include "platform/system.h"
#include "playlist/adding.h"
#include "playlist/list_file.h"
#include "store/replace_file.h"

namespace app {

namespace {

// An empty or relative installation directory would let the library be
// looked up along the search path or at the current drive's root, where a
// planted copy could be found; the program's own folder is then the one
// trusted place.
std::string aboutLibraryPath(const std::string& installationDirectory) {
    const platform::CodePage codePage = platform::systemCodePage();
    if (platform::absolutePath(installationDirectory)) {
        return platform::joinPath(installationDirectory, ABOUT_LIBRARY_FILE, codePage);
    }
    const std::string folder = programFolder();
    return folder.empty() ? "" : platform::joinPath(folder, ABOUT_LIBRARY_FILE, codePage);
}

// The next parameter in the form the player keeps. One it cannot keep (see
// keptPath) is passed over, as if it had not been given: it would make a row
// that can never play. Empty once none is left, and for a quoted empty parameter.
std::string nextFile(CommandLine& commandLine) {
    for (;;) {
        const std::string parameter = nextParameter(commandLine);
        if (parameter.empty()) return parameter;
        const std::string kept = playlist::keptPath(parameter);
        if (!kept.empty()) return kept;
    }
}

}  // namespace

// one line a step, each marking its line (kept by hand)
// clang-format off
// Each step marks its line and runs guarded: a fault passed over inside a step
// skips the rest of that step, and start-up goes on with the next.
void startUp(Player& player) {
    FaultRecord& f = player.faults;
    CommandLine commandLine = readCommandLine(platform::commandLine());
    platform::startServices();
    startFaultTrap(player);
    keepPlaylistAtOtherEnds(player);
    FAULT_LINE(f); runStep([&] {
        player.app.screenWidth = platform::screenWidth();
        player.app.screenHeight = platform::screenHeight();
        player.drag.screenWidth = player.app.screenWidth;
        player.drag.screenHeight = player.app.screenHeight;
    });
    FAULT_LINE(f); runStep([&] { endOlderInstance(player.app); });
    FAULT_LINE(f); runStep([&] {
        player.app.installationDirectory = prepareInstallationDirectory(player.app.installationFileSave);
    });
    FAULT_LINE(f); runStep([&] { store::clearAway(player.app.installationFileSave); });
    FAULT_LINE(f); runStep([&] {
        const std::string aboutLibrary = aboutLibraryPath(player.app.installationDirectory);
        if (!aboutLibrary.empty()) platform::loadLibrary(numbers::ABOUT_LIBRARY, aboutLibrary);
    });

    std::string firstParameter;
    FAULT_LINE(f); runStep([&] {
        firstParameter = nextFile(commandLine);
        player.transport.currentPath = firstParameter;
    });
    FAULT_LINE(f); runStep([&] { face::decodePlaylistFrames(); });
    FAULT_LINE(f); runStep([&] { face::createInfoFonts(); });
    FAULT_LINE(f); runStep([&] { platform::decodeBitmap(numbers::FACE_IMAGE, assets::FACE_BMP, assets::FACE_BMP_size); });

    FAULT_LINE(f); runStep([&] { player.loop.playlistVisible = false; });
    FAULT_LINE(f); runStep([&] { face::openMainWindow(player.app.screenWidth, player.app.screenHeight); });

    // The first parameter and the non-empty ones among the next 200, in order;
    // a quoted empty parameter ("") is skipped, later ones are ignored. Without a
    // first parameter nothing is collected: the list file fills the slots.
    std::vector<std::string> parameters;
    FAULT_LINE(f); runStep([&] {
        if (firstParameter.empty()) return;
        parameters.push_back(firstParameter);
        for (int request = 1; request < playlist::PLAYLIST_SLOTS; ++request) {
            std::string parameter = nextFile(commandLine);
            if (!parameter.empty()) parameters.push_back(std::move(parameter));
        }
    });

    FAULT_LINE(f); runStep([&] { skin::loadSkin(player.skin, player.app.installationDirectory); });
    FAULT_LINE(f); runStep([&] { face::openPlaylistWindow(player.playlist, player.options); });
    FAULT_LINE(f); runStep([&] {
        if (firstParameter.empty()) {
            playlist::loadListFile(player.playlist);
        } else {
            face::enterCommandLineFiles(player.playlist, player.transport, parameters);
            playlist::nameListFile(player.playlist);
        }
    });
    FAULT_LINE(f); runStep([&] { platform::hideWindow(numbers::PLAYLIST_WINDOW); });
    FAULT_LINE(f); runStep([&] { face::prepareDrawing(player.loop); });
}
// clang-format on

}  // namespace app
