// The ID3v1 tag reader and the genre table.
#pragma once

#include <array>
#include <string>

namespace metadata {

constexpr int GENRE_COUNT = 257;
extern const std::array<const char*, GENRE_COUNT> GENRE_NAMES;

struct TrackTag {
    std::string trackTitle;
    std::string trackArtist;
    std::string trackAlbum;
    std::string trackGenre;
    int tagMissing = 0;
};

// Reads the tag of `path` into `tag`. Returns the file handle still open (the
// caller relabels the playlist row, then calls finishTagRead), or -1 when the
// path is empty or names no file (then the four texts are just emptied).
int readTrackTag(TrackTag& tag, const std::string& path);
void finishTagRead(int file);

}  // namespace metadata
