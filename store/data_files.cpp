// The data folder's paths and the line reader of its files.
#include "store/data_files.h"

#include <algorithm>

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

// A path below the profile; empty without a usable profile.
std::string belowProfile(const char* path) {
    const std::string root = profileRoot();
    return root.empty() ? "" : platform::joinPath(root, path, platform::systemCodePage());
}

}  // namespace

std::string makerFolderPath() { return belowProfile("Local Settings\\Application Data\\Varnel"); }

std::string dataFolderPath() { return belowProfile("Local Settings\\Application Data\\Varnel\\MP3"); }

std::string installationFilePath() { return belowProfile("Local Settings\\Application Data\\Varnel\\MP3\\dir.vnd"); }

std::string listFilePath() { return belowProfile("Local Settings\\Application Data\\Varnel\\MP3\\list.vnp"); }

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
