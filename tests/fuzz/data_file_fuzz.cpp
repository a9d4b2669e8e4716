// The line reader and the dir.vnd reader on a file in memory: lines split the
// bytes exactly at CR LF, CR, LF or NUL; the installation directory is the
// first line when that is a whole absolute directory, and the file is then
// left as it is; any other first line gives way to the working directory,
// which replaces the file. Every file is closed.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/data_folder.h"
#include "store/data_files.h"
#include "store/replace_file.h"
#include "platform/sim/sim.h"
#include "tests/fuzz/fuzz_support.h"

using fuzz::require;

namespace {

// Walks every line and checks that each is followed by one terminator, so the
// lines and terminators put back together are the bytes again.
std::string checkLines(const std::string& bytes) {
    std::string firstLine;
    std::size_t position = 0;
    bool first = true;
    while (position < bytes.size()) {
        const std::size_t start = position;
        const std::string line = store::nextLine(bytes, position);
        if (first) firstLine = line;
        first = false;
        require(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
        require(bytes.compare(start, line.size(), line) == 0);
        const std::string ending = bytes.substr(start + line.size(), position - start - line.size());
        const bool atEnd = position == bytes.size();
        require(ending == "\r\n" || ending == "\r" || ending == "\n" || ending == std::string(1, '\0') ||
                (ending.empty() && atEnd));
        require(ending != "\r" || atEnd || bytes[position] != '\n');
    }
    std::size_t past = bytes.size();
    require(store::nextLine(bytes, past).empty() && past == bytes.size());
    return firstLine;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string firstLine = checkLines(bytes);

    // In code page 1252 every byte is a character of its own.
    const std::size_t length = firstLine.size();
    const bool drive = length >= 3 && std::isalpha(static_cast<unsigned char>(firstLine[0])) && firstLine[1] == ':' &&
                       firstLine[2] == '\\';
    const bool share = length >= 3 && firstLine[0] == '\\' && firstLine[1] == '\\' && firstLine[2] != '\\';
    const bool whole = (drive || share) && firstLine.back() == '\\';

    sim::reset("");
    const std::string file = store::installationFilePath();
    sim::putMemoryFile(file, bytes);
    store::Replacement replacement;
    const std::string directory = app::prepareInstallationDirectory(replacement);
    require(directory == (whole ? firstLine : "C:\\Tunewell\\"));
    require(sim::memoryFile(file) == (whole ? bytes : "C:\\Tunewell\\\r\n"));
    require(sim::openFileCount() == 0);
    return 0;
}
