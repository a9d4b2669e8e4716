// Other processes: the snapshot with each one's session, and handles that
// hold on to the one process the snapshot listed.

#include "platform/processes.h"
#include "platform/win32/w32_state.h"

#include <tlhelp32.h>

namespace platform {

using w32::services;

namespace {

// The snapshot functions are looked up by name, so their types are declared here.
using CreateSnapshotFn = HANDLE(WINAPI*)(DWORD flags, DWORD processId);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE snapshot, PROCESSENTRY32* entry);

constexpr DWORD SNAP_PROCESSES = 2;
// The record is 296 bytes in a 32-bit build and 304 in a 64-bit one (an aligned
// pointer-sized field); the walk functions refuse a dwSize below their own size.
static_assert(sizeof(PROCESSENTRY32) == (sizeof(void*) == 8 ? 304 : 296));

// What a newer player does to an older one: ask it (its windows are found by
// its ID, which the handle keeps from being reused), end it, wait for its end.
constexpr DWORD PROCESS_RIGHTS = PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION;

std::uint64_t timeValue(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::uint32_t sessionOf(DWORD processId) {
    DWORD session = 0;
    return ProcessIdToSessionId(processId, &session) ? session : UNKNOWN_SESSION;
}

HANDLE processHandle(int process) {
    auto& processes = services().processes;
    if (process < 0 || static_cast<std::size_t>(process) >= processes.size()) return nullptr;
    return processes[static_cast<std::size_t>(process)];
}

// The file name of the program a process runs, compared without case as the file system does.
bool runsProgram(HANDLE process, const std::string& exeFile) {
    wchar_t image[MAX_PATH];
    DWORD length = MAX_PATH;
    if (!QueryFullProcessImageNameW(process, 0, image, &length)) return false;
    const std::wstring path(image, length);
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const int wanted = MultiByteToWideChar(CP_ACP, 0, exeFile.data(), static_cast<int>(exeFile.size()), nullptr, 0);
    std::wstring listed(static_cast<std::size_t>(wanted > 0 ? wanted : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, exeFile.data(), static_cast<int>(exeFile.size()), listed.data(), wanted);
    return CompareStringOrdinal(name.data(), static_cast<int>(name.size()), listed.data(),
                                static_cast<int>(listed.size()), TRUE) == CSTR_EQUAL;
}

struct WindowSearch {
    DWORD processId = 0;
    std::vector<HWND> windows;
};

BOOL CALLBACK noteWindowOfProcess(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<WindowSearch*>(search);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == s->processId) s->windows.push_back(window);
    return TRUE;
}

}  // namespace

// The time is read before the snapshot is taken: a process that started
// after it cannot be one the snapshot listed.
std::vector<ProcessEntry> processSnapshot(bool& taken) {
    std::vector<ProcessEntry> entries;
    taken = false;
    HMODULE kernel = LoadLibraryA("kernel32.dll");
    if (kernel == nullptr) {
        return entries;
    }
    auto createSnapshot = w32::exportedFunction<CreateSnapshotFn>(kernel, "CreateToolhelp32Snapshot");
    auto first = w32::exportedFunction<ProcessWalkFn>(kernel, "Process32First");
    auto next = w32::exportedFunction<ProcessWalkFn>(kernel, "Process32Next");
    if (createSnapshot != nullptr && first != nullptr && next != nullptr) {
        FILETIME now = {};
        GetSystemTimeAsFileTime(&now);
        HANDLE snapshot = createSnapshot(SNAP_PROCESSES, 0);
        // The call reports failure as INVALID_HANDLE_VALUE, not 0; both mean no snapshot.
        if (snapshot != nullptr && snapshot != INVALID_HANDLE_VALUE) {
            taken = true;
            PROCESSENTRY32 entry = {};
            entry.dwSize = sizeof entry;
            for (BOOL more = first(snapshot, &entry); more; more = next(snapshot, &entry)) {
                entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
                entries.push_back(
                    ProcessEntry{entry.szExeFile, entry.th32ProcessID, sessionOf(entry.th32ProcessID), timeValue(now)});
            }
            CloseHandle(snapshot);
        }
    }
    FreeLibrary(kernel);
    return entries;
}

std::uint32_t ownSessionId() { return sessionOf(GetCurrentProcessId()); }

// The process now holding the ID is the one listed only if it started no
// later than the snapshot was taken and still runs the program listed: an ID
// is not shared by two processes alive at once.
int openProcess(const ProcessEntry& entry) {
    HANDLE process = OpenProcess(PROCESS_RIGHTS, FALSE, entry.processId);
    if (process == nullptr) {
        return -1;
    }
    FILETIME started = {}, ended = {}, kernel = {}, user = {};
    const bool listed = GetProcessTimes(process, &started, &ended, &kernel, &user) &&
                        timeValue(started) <= entry.listedAt && runsProgram(process, entry.exeFile);
    if (!listed) {
        CloseHandle(process);
        return -1;
    }
    auto& processes = services().processes;
    for (std::size_t i = 0; i < processes.size(); ++i) {
        if (processes[i] == nullptr) {
            processes[i] = process;
            return static_cast<int>(i);
        }
    }
    processes.push_back(process);
    return static_cast<int>(processes.size() - 1);
}

// The windows of the other process are found among the top-level ones; each is
// sent the request in turn, and all of them share the one time limit.
void requestSaveFrom(int process, int timeoutMs) {
    HANDLE handle = processHandle(process);
    if (handle == nullptr) {
        return;
    }
    WindowSearch search;
    search.processId = GetProcessId(handle);
    if (search.processId == 0) {
        return;
    }
    EnumWindows(&noteWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    const DWORD start = GetTickCount();
    for (HWND window : search.windows) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= static_cast<DWORD>(timeoutMs)) break;
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window, w32::saveRequestMessage(), GetCurrentProcessId(), 0, SMTO_ABORTIFHUNG,
                            static_cast<UINT>(timeoutMs) - spent, &answer);
    }
}

bool terminateProcess(int process) {
    HANDLE handle = processHandle(process);
    return handle != nullptr && TerminateProcess(handle, 1) != 0;
}

bool waitForProcessEnd(int process, int timeoutMs) {
    HANDLE handle = processHandle(process);
    return handle != nullptr &&
           WaitForSingleObject(handle, static_cast<DWORD>(timeoutMs < 0 ? 0 : timeoutMs)) == WAIT_OBJECT_0;
}

void closeProcess(int process) {
    HANDLE handle = processHandle(process);
    if (handle != nullptr) {
        CloseHandle(handle);
        services().processes[static_cast<std::size_t>(process)] = nullptr;
    }
}

std::uint32_t ownProcessId() { return GetCurrentProcessId(); }

}  // namespace platform
