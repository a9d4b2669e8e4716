// Process, environment, files, libraries, the media command call and the shell.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gui.h"

namespace platform {

void startServices();
// The whole command line, program name first, as the process received it, in UTF-8.
std::string commandLine();
void stopServices();
[[noreturn]] void exitProcess(int code);
void sleepMs(int milliseconds);

// Faults and the ends of the process the player does not choose. The loop's
// thread is the one that installs the fault filter (it runs start-up and the
// loop); the filter and the session-end hook get back the context given here.
struct Fault {
    std::uint32_t code = 0;     // the system's exception code
    std::uint64_t address = 0;  // of the faulting instruction
    bool onLoopThread = false;
};
// Called on the faulting thread for every fault nothing else handled. If it
// returns, the fault is passed over: on the loop's thread the guarded step
// that faulted is abandoned; another thread is ended.
using FaultFilter = void (*)(const Fault& fault, void* context);
void installFaultFilter(FaultFilter filter, void* context);
void removeFaultFilter();
// Runs step(context); false when a fault passed over abandoned it.
bool runGuarded(void (*step)(void* context), void* context);
// From another thread: runs task(context) on the loop's thread, inside its
// next event poll or modal wait. False when the loop's thread did not take it
// within `timeoutMs`.
bool runOnLoopThread(void (*task)(void* context), void* context, int timeoutMs);
// Stops the loop's thread for good (it runs no more code of the player), and
// only where it holds no heap's lock: caught inside an allocation it is let
// run on a moment and stopped again. False when it could not be stopped
// outside one within a bound: nothing that allocates can run after that.
bool stopLoopThread();
[[noreturn]] void parkThread();                       // the calling thread waits for the process to end
[[noreturn]] void endProcessNow(std::uint32_t code);  // nothing else runs, no library unloads
std::uint32_t currentThreadId();
// The system ends the session (log-off, shut-down): `hook` runs on the loop's
// thread, once per window told, before the process is ended.
void setSessionEndHook(void (*hook)(void* context), void* context);
// Another copy of the player asks this one to save before it ends it: `hook`
// runs on the loop's thread, once per window told, with the asking process's ID.
void setSaveRequestHook(void (*hook)(void* context, std::uint32_t requester), void* context);

// Texts that name files come from the system in UTF-16, which the calls below
// give in UTF-8; the player keeps them in the single-byte form singleBytePath makes.
std::string environmentVariable(const char* name);  // empty when unset
// The working directory; empty when it does not fit the 260-character buffer.
std::string currentDirectory();
// The system code page, which spells the single-byte texts the player keeps.
// In a double-byte one (932, 936, 949, 950) a lead byte and the byte after it
// are one character, and that second byte may have the value of '\\', '|' or
// another ASCII character; in UTF-8 (65001) a whole sequence is one character.
struct CodePage {
    unsigned number = 1252;
    std::array<bool, 256> leadBytes{};  // the bytes that open a two-byte character
};
CodePage systemCodePage();
// The single-byte form of a path the system gave (in UTF-8): its code-page
// bytes when they spell it exactly, else its short form (for a file or folder
// that exists on a volume that keeps short forms), else empty: the player
// cannot keep the path.
std::string singleBytePath(const std::string& utf8Path);
// The short form of a single-byte path that names an existing file or folder,
// in the single-byte form; empty when the system has none for it.
std::string shortPath(const std::string& path);
// For a short form standing for a long name the player cannot keep (one the
// code page cannot spell, or one of 260 characters or more), that long path
// in UTF-8, as the user sees it; empty for any other path.
std::string longNameUtf8(const std::string& path);
// The running program's full path, in UTF-8; empty when it does not fit 260 characters.
std::string programPath();

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

// The session a process runs in when the system would not tell.
constexpr std::uint32_t UNKNOWN_SESSION = 0xFFFFFFFF;

struct ProcessEntry {
    std::string exeFile;  // file name without path
    std::uint32_t processId = 0;
    std::uint32_t sessionId = 0;  // the logon session it runs in; UNKNOWN_SESSION when not told
    std::uint64_t listedAt = 0;   // when the snapshot was taken, in the system's own measure
};
// Every process, in snapshot order. `taken` is false when no snapshot could be made.
std::vector<ProcessEntry> processSnapshot(bool& taken);
std::uint32_t ownProcessId();
std::uint32_t ownSessionId();  // UNKNOWN_SESSION when the system would not tell

// Another process, by program-chosen handle numbers (-1 = failed), opened
// once from its snapshot entry and then reached only through the handle: its
// ID cannot pass to another program while the handle is held. The open fails
// when the process is gone, or when the one holding the ID now is not the one
// the snapshot listed (an unrelated program that got the ID since).
int openProcess(const ProcessEntry& entry);
// Asks the copy of the player behind `process` to save, and waits for its
// windows to answer for at most `timeoutMs` in all; a copy that does not
// answer in time is not waited for.
void requestSaveFrom(int process, int timeoutMs);
// Ends the process with exit code 1; true when it was terminated.
bool terminateProcess(int process);
// Waits at most `timeoutMs` for the process to have ended; true when it has.
bool waitForProcessEnd(int process, int timeoutMs);
void closeProcess(int process);

bool loadLibrary(int library, const std::string& path);
// Calls the library's no-argument function `name`; false when it is not there.
bool callLibraryFunction(int library, const char* name);

// The media control interface: one text command, an optional reply buffer.
int mediaCommand(const char* command, char* reply, int capacity);

void openWebPage(const char* url);
void messageBox(const char* text, const char* title);

// The open-file dialog, owned by window `owner`, with room for `capacity`
// characters of answer. `filter` separates descriptions and patterns by '|'.
// The answer is what the dialog chose, in UTF-8: one full path, or a folder
// followed by file names. It is empty when the dialog was cancelled or failed
// (the choice did not fit).
std::vector<std::string> openFileDialog(int owner, const char* filter, int capacity);

// What was dropped: whether the point lies inside the client area of the
// window it was dropped on, and the items in the order the shell gives them (in UTF-8).
struct DroppedFiles {
    Point point;
    bool inside = false;
    std::vector<std::string> paths;
};
// Reads the drop the event's handle names and releases the handle, always.
DroppedFiles takeDroppedFiles(std::uintptr_t drop);

}  // namespace platform
