// The dropped-file filter: a path is taken exactly when the part after its
// last dot, in its last element, is mp3, wav, mid or ogg in any letter case;
// a drop of such paths (NUL-separated in the input, read as code-page texts
// the system hands over in UTF-8) adds those that can play (no control
// character, shorter than 260 characters) as rows in order, in their
// code-page bytes, up to the playlist's 201, and the drop is always released.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string>

#include <vector>

#include "platform/gui.h"
#include "platform/sim/sim.h"
#include "playlist/adding.h"
#include "tests/fuzz/fuzz_support.h"

using fuzz::require;

namespace {

bool audioExtension(const std::string& path) {
    const std::string name =
        path.substr(path.find_last_of('\\') == std::string::npos ? 0 : path.find_last_of('\\') + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return false;
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return extension == "mp3" || extension == "wav" || extension == "mid" || extension == "ogg";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    require(playlist::hasAudioExtension(input) == audioExtension(input));

    std::vector<std::string> paths;
    std::vector<std::string> expected;
    for (std::size_t start = 0; start <= input.size();) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        const std::string path = input.substr(start, end - start);
        paths.push_back(sim::utf8FromCodePage(path));
        const bool control = std::any_of(path.begin(), path.end(), [](char c) { return c >= 0 && c < 0x20; });
        const bool plays = !path.empty() && !control && path.size() < 260;
        if (plays && audioExtension(path) && expected.size() < playlist::PLAYLIST_SLOTS) {
            expected.push_back(path);
        }
        start = end + 1;
    }

    playlist::Playlist list = fuzz::freshPlaylist();
    const std::uintptr_t drop = sim::queueDrop(numbers::PLAYLIST_WINDOW, paths);
    platform::Event event;
    platform::pollEvent(event);
    playlist::addDroppedFiles(list, event);
    require(sim::dropFinished(drop));
    require(playlist::rowCount(list) == static_cast<int>(expected.size()));
    for (std::size_t row = 0; row < expected.size(); ++row) {
        require(playlist::rowPath(list, static_cast<int>(row)) == expected[row]);
    }
    return 0;
}
