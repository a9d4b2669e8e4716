// The list file's reader and writer on files in memory: the rows are the
// file's lines that can play (not blank, no control character, shorter than
// 260 characters; no short forms here) in order, 201 at most, each labelled
// by its name; what is read and saved is one line per row ended by CR LF,
// and it reads back as the same rows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/sim.h"
#include "playlist/list_file.h"
#include "playlist/playlist.h"
#include "store/data_files.h"
#include "tests/fuzz/fuzz_support.h"

using fuzz::require;

namespace {

std::vector<std::string> rows(const playlist::Playlist& list) {
    std::vector<std::string> paths;
    for (int row = 0; row < playlist::rowCount(list); ++row) paths.push_back(playlist::rowPath(list, row));
    return paths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> expected;
    std::size_t position = 0;
    while (position < bytes.size() && expected.size() < playlist::PLAYLIST_SLOTS) {
        const std::string line = store::nextLine(bytes, position);
        const bool control = std::any_of(line.begin(), line.end(), [](char c) { return c >= 0 && c < 0x20; });
        if (!line.empty() && !control && line.size() < 260) expected.push_back(line);
    }

    playlist::Playlist list = fuzz::freshPlaylist();
    const std::string file = store::listFilePath();
    sim::putMemoryFile(file, bytes);
    playlist::loadListFile(list);
    require(rows(list) == expected);
    require(playlist::playlistConsistent(list));
    const std::vector<std::string> labels = sim::listRows(numbers::PLAYLIST_LIST);
    for (std::size_t row = 0; row < expected.size(); ++row) {
        require(labels[row] == sim::utf8FromCodePage(playlist::entryName(expected[row])));
    }

    require(playlist::saveListFile(list));
    std::string saved;
    for (const std::string& path : expected) saved += path + "\r\n";
    require(sim::memoryFile(file) == saved);
    require(sim::openFileCount() == 0);

    playlist::Playlist again = fuzz::freshPlaylist();
    sim::putMemoryFile(file, saved);
    playlist::loadListFile(again);
    require(rows(again) == expected);
    return 0;
}
