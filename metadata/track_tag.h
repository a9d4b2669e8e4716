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

// What readTrackTag returns when it read no file: TAG_NOT_READ for an empty
// path or a missing file (the four texts are just emptied and no row is
// relabelled), TAG_FILE_UNOPENED for a file that exists but cannot be opened
// (read as all zero bytes: "N/A", so the row is relabelled).
constexpr int TAG_NOT_READ = -1;
constexpr int TAG_FILE_UNOPENED = -2;

// Reads the tag of `path` into `tag`. Any result other than TAG_NOT_READ means
// a tag was read: the caller relabels the playlist row while the file is still
// open, then hands the result to finishTagRead.
int readTrackTag(TrackTag& tag, const std::string& path);
// Closes the file readTrackTag left open; does nothing for the two codes above.
void finishTagRead(int file);

}  // namespace metadata
