// One pass of the main loop, stage by stage. Stages before the poll act on the
// event polled in the previous pass; a stage that changes the track jumps to
// the load step, skipping the stages in between.
#include "app/loop.h"

#include "app/main_window.h"
#include "platform/gui.h"
#include "platform/system.h"

namespace app {

void runPass(Player& player, bool enterAtLoad) {
    bool load = enterAtLoad;
    if (!load) {
        applyPlaylistVisibility(player);                                      // 1
        metadata::drawIdleText(player.info, player.transport.trackLoaded);     // 2
        closeButton(player);                                                  // 5
        minimiseButton(player);                                               // 6
        load = playback::transportButtons(player);                            // 7
        if (!load) load = playback::playSelectedRow(player);                  // 10
        if (!load) load = playlistButton(player);                             // 11
    }
    if (load) playback::loadTrack(player);                                    // 12
    playback::seekControl(player);                                            // 13
    if (playback::endOfTrackCheck(player)) playback::loadTrack(player);
    playback::volumeControl(player);
    playback::pollPlayback(player);                                           // 15
    platform::sleepMs(1);                                                     // 16
    platform::pollEvent(player.loop.event);                                   // 17
    metadata::drawInfoCycle(player.info, player.tag, player.transport.bitrateKbps);  // 18
    metadata::restartInfoCycle(player.info);                                  // 20
    playback::refreshLengthText(player.transport);                            // 21
    installFaultHandler(player.faults);                                       // 22
}

void runLoop(Player& player) {
    bool first = true;
    do {
        runPass(player, first);
        first = false;
    } while (player.app.quitFlag != 1);
}

}  // namespace app
