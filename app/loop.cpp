// One pass of the main loop, stage by stage. The stages of a pass, in order:
//
//   0  rows made again from the slots, should a fault or a refused row have
//      set them apart (no change is under way between passes)
//   1  show or hide the playlist window by the playlist visible flag
//   2  the idle text "Developed by Varnel" until the first track is loaded
//   3  key scan, then what it sets off: the left button may start a window
//      drag, Delete removes the selected row
//   4  window drag, while the drag flag is 1 after the key scan; a pass that
//      runs it skips 5-13 and goes on at 14
//   5  close button: quit flag, then the normal end
//   6  minimise button
//   7  previous, play, pause, stop and next buttons and the media keys
//   8  menu events: the chosen option runs
//   9  right click on a picture control opens the options menu
//  10  double click on a playlist row plays it
//  11  playlist button; on an empty playlist with no track open, the file dialog
//  12  the load step loadTrack, only when a stage above jumps to it
//  13  seek bar, end-of-track check, volume bar
//  14  files dropped on either window
//  15  time text, volume bar and position bar while a track is open
//  16  sleep 1 ms
//  17  poll one event
//  18  the information strip's cycle
//  19  the playlist window's add, remove and clear buttons; an accepted add
//      dialog jumps to the load step and the pass runs 12-19 once more
//  20  the information cycle restarts
//  21  the total-length text is refreshed
//  22  the fault handler is (re)installed
//  23  end of pass: the loop leaves once the quit flag is 1
//
// Stages before the poll act on the event polled in the previous pass. A
// stage that changes the track jumps to the load step, skipping the stages in
// between; the first pass enters there.
#include "app/loop.h"

#include "app/load_step.h"
#include "app/shutdown.h"
#include "face/face_bars.h"
#include "face/face_buttons.h"
#include "face/keys.h"
#include "face/playlist_window.h"
#include "options/options_menu.h"
#include "platform/gui.h"
#include "platform/system.h"
#include "playlist/adding.h"

namespace app {

// one line a stage, as the table above reads (kept by hand)
// clang-format off
// Each stage gets the parts of the player it reads or writes, `p` for short.
void runPass(Player& p, bool enterAtLoad) {
    const platform::Event& event = p.loop.event;
    FaultRecord& f = p.faults;  // each stage marks its line first
    bool load = enterAtLoad;
    FAULT_LINE(f); playlist::mendRows(p.playlist);                                                             // 0
    if (!load) {
        FAULT_LINE(f); face::applyPlaylistVisibility(p.loop);                                                  // 1
        FAULT_LINE(f); face::drawIdleText(p.info, p.transport.trackLoaded);                                    // 2
        FAULT_LINE(f); face::actOnKeys(p.keys, p.drag, p.playlist, event);                                     // 3
        FAULT_LINE(f); if (docking::dragWindow(p.drag, p.options, p.loop.playlistVisible)) goto droppedFiles;  // 4
        FAULT_LINE(f); if (face::pressCloseButton(p.app.quitFlag, p.skin, event)) shutDown(p.playlist);        // 5
        FAULT_LINE(f); face::pressMinimiseButton(p.loop, p.skin);                                              // 6
        FAULT_LINE(f); load = face::pressTransportButtons(p.transport, p.skin, p.keys, p.playlist, event);     // 7
        FAULT_LINE(f); if (!load) options::runMenuChoice(p.options, event);                                    // 8
        FAULT_LINE(f); if (!load) options::openMenuOnRightClick(event);                                        // 9
        FAULT_LINE(f); if (!load) load = face::playDoubleClickedRow(p.transport, p.playlist, event);           // 10
        FAULT_LINE(f); if (!load) load = face::pressPlaylistButton(p.loop, p.skin, p.playlist, p.transport);   // 11
    }
loadStep:
    FAULT_LINE(f); if (load) loadTrack(p.transport, p.tag, p.playlist);                                        // 12
    FAULT_LINE(f); face::dragOnPositionBar(p.transport, event);                                                // 13
    FAULT_LINE(f); if (face::moveOnAtTrackEnd(p.transport, p.playlist)) loadTrack(p.transport, p.tag, p.playlist);
    FAULT_LINE(f); face::dragOnVolumeBar(p.transport, event);
droppedFiles:
    FAULT_LINE(f); playlist::addDroppedFiles(p.playlist, event);                                               // 14
    FAULT_LINE(f); face::showPlayback(p.transport, p.info);                                                    // 15
    FAULT_LINE(f); platform::sleepMs(1);                                                                       // 16
    FAULT_LINE(f); platform::pollEvent(p.loop.event);                                                          // 17
    FAULT_LINE(f); face::drawInfoCycle(p.info, p.tag, p.transport.bitrateKbps);                                // 18
    FAULT_LINE(f); load = face::pressPlaylistBarButton(p.playlist, p.transport, event);                        // 19
    if (load) goto loadStep;  // the add button's dialog continues into the load step
    FAULT_LINE(f); face::restartInfoCycle(p.info);                                                             // 20
    FAULT_LINE(f); playback::refreshLengthText(p.transport);                                                   // 21
    FAULT_LINE(f); armFaultHandler(p.faults);                                                                  // 22
}
// clang-format on

bool runGuardedPass(Player& player, bool enterAtLoad) {
    return runStep([&] { runPass(player, enterAtLoad); });
}

// A pass a fault ended is not repeated: the loop goes on with the next one.
void runLoop(Player& player) {
    bool first = true;
    do {
        runGuardedPass(player, first);
        first = false;
    } while (player.app.quitFlag != 1);  // 23
}

}  // namespace app
