// The write-flush-move sequence behind every whole-file save.
#include "store/replace_file.h"

#include "platform/files.h"

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

void clearAway(Replacement& replacement) {
    if (replacement.file != -1) {
        platform::closeFile(replacement.file);
        replacement.file = -1;
    }
    if (!replacement.temporary.empty()) {
        platform::deleteFile(replacement.temporary);
        replacement.temporary.clear();
    }
}

// The temporary file is opened truncating, so a longer one a killed run left
// behind cannot lend its tail to the new contents.
bool replaceFileContents(const std::string& path, const std::string& bytes, Replacement& replacement) {
    clearAway(replacement);
    replacement.temporary = path + ".tmp";
    replacement.file = platform::openFile(replacement.temporary, platform::FileMode::WriteTruncate);
    if (replacement.file == -1) {
        replacement.temporary.clear();
        return false;
    }
    const bool written = writeAll(replacement.file, bytes) && platform::flushFile(replacement.file);
    platform::closeFile(replacement.file);
    replacement.file = -1;
    if (written && platform::replaceFile(replacement.temporary, path)) {
        replacement.temporary.clear();
        return true;
    }
    clearAway(replacement);
    return false;
}

}  // namespace store
