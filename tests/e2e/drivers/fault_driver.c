/* Test driver: makes a running program fault at an address where nothing is
 * mapped (0x10), so the instruction there is an access violation.
 *
 *   fault_driver <process id> thread   a new thread of the process starts there
 *   fault_driver <process id> main     the process's first thread is sent there
 *   fault_driver <process id> stalled  the first thread is held in the program's own code, as one
 *                                      stuck in a long call would be, and a new thread starts there
 *
 * Reports "faulted" or the step that failed on stdout. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <tlhelp32.h>

#define NOWHERE 0x10

static int fail(const char* step) {
    printf("%s failed %lu\n", step, (unsigned long)GetLastError());
    return 1;
}

/* The first thread the snapshot lists for the process: the one that started it. */
static DWORD firstThread(DWORD pid) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;
    DWORD found = 0;
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more && !found; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == pid) found = entry.th32ThreadID;
    }
    CloseHandle(snapshot);
    return found;
}

static int sendMainThread(DWORD pid) {
    DWORD id = firstThread(pid);
    if (!id) return fail("find thread");
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, id);
    if (!thread) return fail("open thread");
    if (SuspendThread(thread) == (DWORD)-1) return fail("suspend");
    CONTEXT context;
    memset(&context, 0, sizeof context);
    context.ContextFlags = CONTEXT_CONTROL;
    if (!GetThreadContext(thread, &context)) return fail("get context");
    context.Rip = NOWHERE;
    if (!SetThreadContext(thread, &context)) return fail("set context");
    ResumeThread(thread);
    CloseHandle(thread);
    return 0;
}

/* A new thread of the process, to start at NOWHERE; created suspended when `held`, and then
 * returned for the caller to resume. */
static HANDLE newThread(DWORD pid, BOOL held) {
    HANDLE process = OpenProcess(
        PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
        FALSE, pid);
    if (!process) return NULL;
    HANDLE thread = CreateRemoteThread(process, NULL, 0, (LPTHREAD_START_ROUTINE)(ULONG_PTR)NOWHERE, NULL,
                                       held ? CREATE_SUSPENDED : 0, NULL);
    CloseHandle(process);
    return thread;
}

static int startThread(DWORD pid) {
    HANDLE thread = newThread(pid, FALSE);
    if (!thread) return fail("start thread");
    CloseHandle(thread);
    return 0;
}

/* Where the program's own image lies in the process: its first module. */
static BOOL programImage(DWORD pid, DWORD64* base, DWORD64* end) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    MODULEENTRY32 entry;
    BOOL found;
    if (snapshot == INVALID_HANDLE_VALUE) return FALSE;
    entry.dwSize = sizeof entry;
    found = Module32First(snapshot, &entry);
    if (found) {
        *base = (DWORD64)(ULONG_PTR)entry.modBaseAddr;
        *end = *base + entry.modBaseSize;
    }
    CloseHandle(snapshot);
    return found;
}

/* Holds the first thread while it runs the program's own code, as a thread stuck in a long
 * computation of its own would be. A thread held at any instruction could be inside a call of
 * the window system, holding the window system's locks, which under Wine the box of the fault
 * then waits for; a thread that does not answer is stuck in its own code or in a wait, which
 * holds none. Between tries it runs on a moment. */
static int holdMainThread(DWORD pid) {
    DWORD64 base = 0, end = 0;
    DWORD id = firstThread(pid);
    if (!id) return fail("find thread");
    if (!programImage(pid, &base, &end)) return fail("find image");
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, id);
    if (!thread) return fail("open thread");
    for (int attempt = 0; attempt < 20000; ++attempt) {
        if (SuspendThread(thread) == (DWORD)-1) return fail("suspend");
        CONTEXT context;
        memset(&context, 0, sizeof context);
        context.ContextFlags = CONTEXT_CONTROL;
        if (!GetThreadContext(thread, &context)) return fail("get context");
        if (context.Rip >= base && context.Rip < end) {
            CloseHandle(thread);
            return 0;
        }
        ResumeThread(thread);
        Sleep(attempt % 8 == 0 ? 1 : 0);
    }
    return fail("hold in the program's code");
}

int main(int argc, char** argv) {
    const char* where = argc == 3 ? argv[2] : "";
    if (strcmp(where, "thread") != 0 && strcmp(where, "main") != 0 && strcmp(where, "stalled") != 0) {
        fprintf(stderr, "usage: fault_driver <process id> thread|main|stalled\n");
        return 2;
    }
    DWORD pid = (DWORD)strtoul(argv[1], NULL, 10);
    int result = 0;
    if (strcmp(where, "main") == 0) result = sendMainThread(pid);
    else if (strcmp(where, "stalled") == 0) {
        /* The thread is made before the first one is held: under Wine the target process itself
         * creates it, which a process whose only answering thread is held may not do in time. */
        HANDLE thread = newThread(pid, TRUE);
        if (!thread) return fail("start thread");
        result = holdMainThread(pid);
        if (result == 0 && ResumeThread(thread) == (DWORD)-1) result = fail("resume");
        CloseHandle(thread);
    } else result = startThread(pid);
    if (result == 0) printf("faulted\n");
    return result;
}
