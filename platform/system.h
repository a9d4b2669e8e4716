// Process, environment, files, libraries, the media command call and the shell.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

void startServices();
// The whole command line, program name first, as the process received it.
std::string commandLine();
void stopServices();
[[noreturn]] void exitProcess(int code);
void sleepMs(int milliseconds);

std::string environmentVariable(const char* name);  // empty when unset
// The working directory; empty when it does not fit the 260-character buffer.
std::string currentDirectory();

// Files, by program-chosen handle numbers (-1 = failed).
enum class FileMode {
    ReadExisting,      // read, share reads, existing files only
    ReadWriteAlways,   // read and write, share reads, create when absent
    WriteTruncate,     // write, share reads, create or truncate
};
// Size in bytes of the first match of `path`, -1 when nothing is found or the path is empty.
std::int64_t fileSize(const std::string& path);
bool createFolder(const std::string& path);
int openFile(const std::string& path, FileMode mode);
int readFile(int file, void* buffer, int count);  // bytes read, 0 at the end or on failure
int writeFile(int file, const void* buffer, int count);
bool seekFile(int file, std::int64_t offset);  // from the start; fails for a negative offset
void closeFile(int file);

struct ProcessEntry {
    std::string exeFile;  // file name without path
    std::uint32_t processId = 0;
};
// Every process, in snapshot order. `taken` is false when no snapshot could be made.
std::vector<ProcessEntry> processSnapshot(bool& taken);
// Ends process `processId` with exit code 1; true when it was terminated.
bool terminateProcess(std::uint32_t processId);

bool loadLibrary(int library, const std::string& path);
// Calls the library's no-argument function `name`; false when it is not there.
bool callLibraryFunction(int library, const char* name);

// The media control interface: one text command, an optional reply buffer.
int mediaCommand(const char* command, char* reply, int capacity);

void openWebPage(const char* url);
void messageBox(const char* text, const char* title);

// The open-file dialog. `filter` separates descriptions and patterns by '|'.
// On success `buffer` holds what the dialog returns: one full path, or a
// folder followed by file names, each ended by a NUL, the list by a second NUL.
bool openFileDialog(const char* filter, char* buffer, int capacity);

// Dropped files, by the handle the drop event carries.
bool dropPointInside(std::uintptr_t drop);
int dropFileCount(std::uintptr_t drop);
std::string dropFilePath(std::uintptr_t drop, int index);
void dropFinish(std::uintptr_t drop);

}  // namespace platform
