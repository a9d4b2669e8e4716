// The data folder's paths and the line reader of its files.
#include "store/data_files.h"

#include <algorithm>
#include <iterator>

#include "platform/characters.h"
#include "platform/files.h"
#include "platform/names.h"

namespace store {

// A profile folder the code page cannot spell is kept by its short form. One
// that is not set, cannot be kept or is not absolute is no place for the
// files: it would put them at the current drive's root or below the working
// directory, different from start to start and shared by every such user.
std::string profileRoot() {
    const std::string root = platform::singleBytePath(platform::environmentVariable("USERPROFILE"));
    return platform::absolutePath(root) ? root : "";
}

namespace {

// The folders from the profile down to the data folder, in creation order;
// the maker's folder is the one above the last.
constexpr const char* DATA_FOLDER_STEPS[] = {"Local Settings", "Application Data", "Varnel", "MP3"};
constexpr std::size_t DATA_FOLDER_DEPTH = std::size(DATA_FOLDER_STEPS);
constexpr std::size_t MAKER_FOLDER_DEPTH = DATA_FOLDER_DEPTH - 1;

// The first `depth` folders below the profile, then `name` when given; empty
// without a usable profile.
std::string belowProfile(std::size_t depth, const char* name = nullptr) {
    const std::string root = profileRoot();
    if (root.empty()) return "";
    const platform::CodePage codePage = platform::systemCodePage();
    std::string path = root;
    for (std::size_t step = 0; step < depth; ++step) path = platform::joinPath(path, DATA_FOLDER_STEPS[step], codePage);
    return name ? platform::joinPath(path, name, codePage) : path;
}

}  // namespace

std::string makerFolderPath() { return belowProfile(MAKER_FOLDER_DEPTH); }

std::string dataFolderPath() { return belowProfile(DATA_FOLDER_DEPTH); }

std::string installationFilePath() { return belowProfile(DATA_FOLDER_DEPTH, "dir.vnd"); }

std::string listFilePath() { return belowProfile(DATA_FOLDER_DEPTH, "list.vnp"); }

// A Wine prefix or a trimmed profile lacks "Local Settings" and "Application
// Data"; without them neither data file could ever be written. Where a folder
// exists its creation just fails, which is ignored.
void createDataFolder() {
    const platform::CodePage codePage = platform::systemCodePage();
    std::string path = profileRoot();
    if (path.empty()) return;
    for (const char* step : DATA_FOLDER_STEPS) {
        path = platform::joinPath(path, step, codePage);
        platform::createFolder(path);
    }
}

std::string readRemainingBytes(int file) {
    std::string bytes;
    char chunk[4096];
    for (;;) {
        const int count = platform::readFile(file, chunk, sizeof chunk);
        if (count <= 0) break;
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
    return bytes;
}

std::string nextLine(const std::string& bytes, std::size_t& position) {
    std::string line;
    while (position < bytes.size()) {
        const char byte = bytes[position++];
        if (byte == '\n' || byte == '\0') break;
        if (byte == '\r') {
            if (position < bytes.size() && bytes[position] == '\n') ++position;
            break;
        }
        line.push_back(byte);
    }
    return line;
}

// Reads on until the buffer holds a whole line: a terminator, and after a CR
// the byte that tells a CR LF pair from a lone CR. The last line may lack its
// terminator at the end of the file, but not where a read failed: the rest
// of that line was never seen. Each chunk is searched once, so a line costs
// time in proportion to its length however many chunks it spans.
bool readLine(LineReader& reader, std::string& line) {
    static const std::string TERMINATORS("\r\n\0", 3);
    constexpr std::size_t KEPT_BYTES = 1 << 16;
    for (;;) {
        const std::size_t from = std::max(reader.position, reader.searched);
        const std::size_t end = reader.bytes.find_first_of(TERMINATORS, from);
        const bool whole = end != std::string::npos && (reader.bytes[end] != '\r' || end + 1 < reader.bytes.size());
        reader.examined += (end != std::string::npos ? end + 1 : reader.bytes.size()) - from;
        if (whole) break;
        reader.searched = end != std::string::npos ? end : reader.bytes.size();  // a CR at the end is looked at again
        if (reader.failed) return false;
        if (reader.atEnd) break;
        char chunk[4096];
        const int count = platform::readFile(reader.file, chunk, sizeof chunk);
        if (count <= 0) {
            reader.atEnd = true;
            reader.failed = count < 0;
        } else {
            if (reader.position > KEPT_BYTES) {
                reader.bytes.erase(0, reader.position);
                reader.searched -= reader.position;
                reader.position = 0;
            }
            reader.bytes.append(chunk, static_cast<std::size_t>(count));
        }
    }
    if (reader.position >= reader.bytes.size()) return false;
    line = nextLine(reader.bytes, reader.position);
    return true;
}

}  // namespace store
