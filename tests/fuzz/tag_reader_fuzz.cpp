// The tag reader on a simulated file in memory: whatever the file holds, the
// tag fields are the zero-separated runs of its last 125 bytes, a failed
// character test gives "N/A", the genre is the last byte's table entry, and the
// file is closed again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "metadata/track_tag.h"
#include "platform/sim/sim.h"
#include "tests/fuzz/fuzz_support.h"

using fuzz::require;

namespace {

constexpr const char* TRACK = "C:\\Music\\track.mp3";
constexpr std::size_t TAIL = 125;

// The next run of non-zero bytes from `at` in the first 125 bytes of `window`.
std::string run(const std::string& window, std::size_t& at) {
    while (at < TAIL && window[at] == '\0') ++at;
    const std::size_t end = std::min(window.find('\0', at), TAIL);
    std::string text = window.substr(at, end - at);
    at = end;
    return text;
}

bool plainText(const std::string& title, const std::string& artist) {
    for (std::size_t i = 0; i < title.size(); ++i) {
        if (static_cast<unsigned char>(title[i]) > 123) return false;
        if (i < artist.size() && static_cast<unsigned char>(artist[i]) > 123) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::reset("");
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    sim::putMemoryFile(TRACK, bytes);

    metadata::TrackTag tag;
    tag.tagMissing = 7;
    const int file = metadata::readTrackTag(tag, TRACK);
    require(file >= 0);
    metadata::finishTagRead(file);
    require(sim::openFileCount() == 0);

    // A file shorter than the tail is read from its first byte; past the end reads 0.
    std::string window = bytes.size() >= TAIL ? bytes.substr(bytes.size() - TAIL) : bytes;
    window.resize(TAIL + 1, '\0');
    require(tag.trackGenre == metadata::GENRE_NAMES[static_cast<unsigned char>(window[TAIL - 1])]);

    std::size_t at = 0;
    const std::string title = window[0] == '\0' ? std::string() : run(window, at);
    const std::string artist = run(window, at);
    const std::string album = run(window, at);
    if (title.empty() || artist.empty() || !plainText(title, artist)) {
        require(tag.tagMissing == 1);
        require(tag.trackTitle == "N/A" && tag.trackArtist == "N/A" && tag.trackAlbum == "N/A");
    } else {
        require(tag.tagMissing == 0);
        require(tag.trackTitle == title && tag.trackArtist == artist && tag.trackAlbum == album);
    }
    return 0;
}
