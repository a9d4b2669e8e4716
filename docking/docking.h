// The playlist window's return below the face when a drag ends.
#pragma once

#include "docking/drag.h"
#include "docking/window_options.h"

namespace docking {

// The release: the playlist window slides or retraces the face's path as the
// options say (only when shown), then stands below the face in any case.
void dockPlaylistWindow(Drag& drag, const Options& options, bool playlistVisible);

}  // namespace docking
