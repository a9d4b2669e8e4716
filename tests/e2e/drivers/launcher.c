/* Test launcher: starts a command line, waits for it and reports its real exit code.
 *
 * Under Wine the Unix exit status of a program does not carry its Windows exit
 * code, so the end-to-end tests start the player through this launcher.
 * Usage: launcher.exe <report file> <program> [arguments...]
 * The report file receives "pid=<id>" and "tid=<id of its first thread>" once the
 * program runs and "exit=<code>" when it ends; the launcher's own exit code is
 * the program's. The command line is passed on in UTF-16, so that names outside
 * the ANSI code page (Cyrillic, CJK) reach the program unchanged. */
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

/* Returns the rest of a command line after its first blank-separated item,
 * honouring double quotes the same way the program's own parser does. */
static const wchar_t* skipItem(const wchar_t* p) {
    while (*p == L' ' || *p == L'\t') ++p;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p == L'"') ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

static void report(const wchar_t* path, const char* line) {
    FILE* f = _wfopen(path, L"ab");
    if (!f) return;
    fputs(line, f);
    fputs("\n", f);
    fclose(f);
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fputs("usage: launcher.exe <report file> <program> [arguments...]\n", stderr);
        return 2;
    }
    /* A test may give the program a profile folder of its own, or none ("*");
     * Wine sets USERPROFILE itself for a program it starts, but a child inherits ours. */
    wchar_t profile[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"TUNEWELL_E2E_USERPROFILE", profile, MAX_PATH);
    if (length == 1 && profile[0] == L'*') SetEnvironmentVariableW(L"USERPROFILE", NULL);
    else if (length > 0 && length < MAX_PATH) SetEnvironmentVariableW(L"USERPROFILE", profile);

    /* The child's command line is ours minus the launcher and the report file,
     * passed on character for character so that its quoting is exactly what the test wrote. */
    const wchar_t* rest = skipItem(skipItem(GetCommandLineW()));
    wchar_t* commandLine = _wcsdup(rest);

    STARTUPINFOW startup;
    PROCESS_INFORMATION process;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    memset(&process, 0, sizeof process);
    if (!CreateProcessW(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        char line[64];
        snprintf(line, sizeof line, "error=%lu", (unsigned long)GetLastError());
        report(argv[1], line);
        return 2;
    }
    char line[64];
    snprintf(line, sizeof line, "pid=%lu", (unsigned long)process.dwProcessId);
    report(argv[1], line);
    snprintf(line, sizeof line, "tid=%lu", (unsigned long)process.dwThreadId);
    report(argv[1], line);

    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    snprintf(line, sizeof line, "exit=%lu", (unsigned long)code);
    report(argv[1], line);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)code;
}
