// Keeping the playlist when the player is ended from outside its loop.
#include "app/end_save.h"

#include "app/player.h"
#include "platform/faults.h"
#include "platform/media.h"
#include "playback/transport.h"
#include "playlist/list_file.h"

namespace app {

// Every window of the player is told; the first call does the work. The
// system ends the process right after, so the playlist goes first, and the
// fault filter goes with the save, as on every other way out. Told inside the
// fatal path's box, the player leaves the device alone, as that path does:
// the fault may have come from inside a device command.
void endSession(Player& player) {
    if (player.app.sessionEnded) return;
    player.app.sessionEnded = true;
    playlist::keepListFile(player.playlist);
    if (player.faults.handlerThread.load() == 0) playback::closeDevice();
    platform::removeFaultFilter();
}

// The request reaches every window of the player; the first does the work.
// It does not count as the run's last save: should the newer player fail to
// end this one, the close still saves what changed since.
void saveOnRequest(Player& player, std::uint32_t requester) {
    if (player.app.saveRequester == requester) return;
    player.app.saveRequester = requester;
    playlist::saveListFile(player.playlist);
}

void saveOnDeviceLeft(Player& player) {
    if (!player.playlist.listFileSaved) playlist::saveListFile(player.playlist);
}

namespace {

void keepPlaylistWhenDeviceLeft(void* context) { saveOnDeviceLeft(*static_cast<Player*>(context)); }

void keepPlaylistAtSessionEnd(void* context) { endSession(*static_cast<Player*>(context)); }

void keepPlaylistOnRequest(void* context, std::uint32_t requester) {
    saveOnRequest(*static_cast<Player*>(context), requester);
}

}  // namespace

void keepPlaylistAtOtherEnds(Player& player) {
    platform::setSessionEndHook(&keepPlaylistAtSessionEnd, &player);
    platform::setSaveRequestHook(&keepPlaylistOnRequest, &player);
    platform::setDeviceLeftHook(&keepPlaylistWhenDeviceLeft, &player);
}

}  // namespace app
