// The load step: the tag, the row's label, the device and the bar, in that order.
#include "app/load_step.h"

#include "face/face_bars.h"
#include "playlist/playlist.h"

namespace app {

// Every load uses up the moved-by flags, also one that read no tag, so that a
// move onto a missing file cannot make a later load relabel the row it had
// chosen. A track that cannot be opened leaves the bars and the play state alone.
void loadTrack(playback::Transport& t, metadata::TrackTag& tag, playlist::Playlist& playlist) {
    const int tagFile = metadata::readTrackTag(tag, t.currentPath);
    if (tagFile != metadata::TAG_NOT_READ) {
        const bool chosenByNumber = t.movedByPrevious || t.movedByNext;
        playlist::relabelLoadedRow(playlist, tag.tagMissing == 0, tag.trackArtist, tag.trackTitle, t.currentPath,
                                   t.currentIndex, chosenByNumber);
        metadata::finishTagRead(tagFile);
    }
    t.movedByPrevious = false;
    t.movedByNext = false;
    if (playback::openCurrentTrack(t)) face::emptyPositionBar();
}

}  // namespace app
