// The write-flush-move sequence behind every whole-file save.
#include "store/replace_file.h"

#include "platform/system.h"

namespace store {

namespace {

// A short write (a full disk) counts as a failure, not as a smaller file.
bool writeAll(int file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const int put = platform::writeFile(file, bytes.data() + done, static_cast<int>(bytes.size() - done));
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

}  // namespace

bool replaceFileContents(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    const int file = platform::openFile(temporary, platform::FileMode::WriteTruncate);
    if (file == -1) return false;
    const bool written = writeAll(file, bytes) && platform::flushFile(file);
    platform::closeFile(file);
    if (written && platform::replaceFile(temporary, path)) return true;
    platform::deleteFile(temporary);
    return false;
}

}  // namespace store
