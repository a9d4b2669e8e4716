/* Test driver: makes a running program fault on a thread of its own.
 *
 *   fault_driver <process id> [address in hex]
 *
 * Starts a thread in the process at an address where nothing is mapped
 * (default 0x10), so the new thread's first instruction is an access
 * violation. Reports "started" or the step that failed on stdout. */
#include <stdio.h>
#include <stdlib.h>

#include <windows.h>

int main(int argc, char **argv) {
    if (argc != 2 && argc != 3) {
        fprintf(stderr, "usage: fault_driver <process id> [address in hex]\n");
        return 2;
    }
    DWORD pid = (DWORD)strtoul(argv[1], NULL, 10);
    ULONG_PTR address = argc == 3 ? (ULONG_PTR)strtoull(argv[2], NULL, 16) : 0x10;
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                     PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) {
        printf("open failed %lu\n", (unsigned long)GetLastError());
        return 1;
    }
    HANDLE thread = CreateRemoteThread(process, NULL, 0, (LPTHREAD_START_ROUTINE)address, NULL, 0, NULL);
    if (!thread) {
        printf("thread failed %lu\n", (unsigned long)GetLastError());
        return 1;
    }
    printf("started\n");
    fflush(stdout);
    CloseHandle(thread);
    CloseHandle(process);
    return 0;
}
