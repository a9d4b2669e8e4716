// Files, by program-chosen handle numbers.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Files, by program-chosen handle numbers (-1 = failed).
enum class FileMode {
    ReadExisting,     // read, share reads, existing files only
    ReadWriteAlways,  // read and write, share reads, create when absent
    WriteTruncate,    // write, share reads, create or truncate
};
// Why an open failed: the file is not there, or it is there but may not be
// opened (locked by another program, access denied).
enum class OpenFailure { None, Missing, Refused };

// Size in bytes of the file `path` names; -1 when there is none, the path is
// empty or it holds a wildcard character ('?', '*'), which names no file.
std::int64_t fileSize(const std::string& path);
bool createFolder(const std::string& path);
bool isFolder(const std::string& path);
int openFile(const std::string& path, FileMode mode);
int openFile(const std::string& path, FileMode mode, OpenFailure& failure);
int readFile(int file, void* buffer, int count);  // bytes read, 0 at the end, -1 on failure
int writeFile(int file, const void* buffer, int count);
bool seekFile(int file, std::int64_t offset);  // from the start; fails for a negative offset
bool flushFile(int file);                      // true once the file's bytes have reached the disk
void closeFile(int file);
// Moves `from` over `to`, replacing it in one step, written through to the disk.
bool replaceFile(const std::string& from, const std::string& to);
bool deleteFile(const std::string& path);

}  // namespace platform
