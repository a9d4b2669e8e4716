// The tag reader: title, artist, album and genre from the last 125 bytes of a track file.
#include "metadata/track_tag.h"

#include <cstdint>

#include "platform/files.h"

namespace metadata {

namespace {

// The window covers the 125 bytes before the end plus one past it, which always reads as 0.
constexpr int WINDOW_SIZE = 126;
constexpr int LAST_TAG_BYTE = 124;
constexpr int GENRE_BYTE = 124;
constexpr int TAIL_BYTES = 125;
constexpr unsigned HIGHEST_TAG_CODE = 123;
constexpr const char* NO_TAG_TEXT = "N/A";

// Appends the run of non-zero bytes starting at k and leaves k on the byte after it.
void collectRun(const unsigned char* window, int& k, std::string& text) {
    while (window[k] != 0 && k <= LAST_TAG_BYTE) {
        text += static_cast<char>(window[k]);
        ++k;
    }
}

void skipZeros(const unsigned char* window, int& k) {
    while (window[k] == 0 && k <= LAST_TAG_BYTE) ++k;
}

// A real tag holds plain text: any code above 123 in the title, or in the artist
// as far as the title reaches, marks the bytes as audio data rather than a tag.
bool passesCharacterTest(const std::string& title, const std::string& artist) {
    for (std::size_t i = 0; i < title.size(); ++i) {
        unsigned titleCode = static_cast<unsigned char>(title[i]);
        unsigned artistCode = i < artist.size() ? static_cast<unsigned char>(artist[i]) : 0;
        if (titleCode > HIGHEST_TAG_CODE || artistCode > HIGHEST_TAG_CODE) return false;
    }
    return true;
}

void markTagMissing(TrackTag& tag) {
    tag.trackTitle = NO_TAG_TEXT;
    tag.trackArtist = NO_TAG_TEXT;
    tag.trackAlbum = NO_TAG_TEXT;
    tag.tagMissing = 1;
}

}  // namespace

int readTrackTag(TrackTag& tag, const std::string& path) {
    tag.trackTitle.clear();
    tag.trackArtist.clear();
    tag.trackAlbum.clear();
    tag.trackGenre.clear();

    if (path.empty()) return TAG_NOT_READ;
    std::int64_t reportedSize = platform::fileSize(path);
    if (reportedSize == -1) return TAG_NOT_READ;

    unsigned char window[WINDOW_SIZE] = {};
    int file = platform::openFile(path, platform::FileMode::ReadExisting);
    if (file != -1) {
        std::int64_t size = static_cast<std::uint32_t>(reportedSize);
        // A file shorter than the tail fails this move and is read from its first byte.
        platform::seekFile(file, size - TAIL_BYTES);
        for (unsigned char& byte : window) {
            unsigned char read = 0;
            if (platform::readFile(file, &read, 1) == 1) byte = read;
        }
    }

    int k = 0;
    collectRun(window, k, tag.trackTitle);
    skipZeros(window, k);
    collectRun(window, k, tag.trackArtist);
    tag.trackGenre = GENRE_NAMES[window[GENRE_BYTE]];
    skipZeros(window, k);
    collectRun(window, k, tag.trackAlbum);

    if (passesCharacterTest(tag.trackTitle, tag.trackArtist)) {
        tag.tagMissing = 0;
    } else {
        markTagMissing(tag);
    }
    if (tag.trackTitle.empty() || tag.trackArtist.empty()) markTagMissing(tag);

    return file == -1 ? TAG_FILE_UNOPENED : file;
}

void finishTagRead(int file) {
    if (file >= 0) platform::closeFile(file);
}

}  // namespace metadata
