// Other processes (other copies of the player above all) and this one's IDs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

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

}  // namespace platform
