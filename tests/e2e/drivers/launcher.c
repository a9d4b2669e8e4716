/* Test launcher: starts a command line, waits for it and reports its real exit code.
 *
 * Under Wine the Unix exit status of a program does not carry its Windows exit
 * code, so the end-to-end tests start the player through this launcher.
 * Usage: launcher.exe <report file> <program> [arguments...]
 * The report file receives "pid=<id>" and "tid=<id of its first thread>" once the
 * program runs and "exit=<code>" when it ends; the launcher's own exit code is
 * the program's. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

/* Returns the rest of a command line after its first blank-separated item,
 * honouring double quotes the same way the program's own parser does. */
static const char *skipItem(const char *p)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

static void report(const char *path, const char *line)
{
    FILE *f = fopen(path, "ab");
    if (!f)
        return;
    fputs(line, f);
    fputs("\n", f);
    fclose(f);
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fputs("usage: launcher.exe <report file> <program> [arguments...]\n", stderr);
        return 2;
    }
    /* The child's command line is ours minus the launcher and the report file,
     * passed on byte for byte so that its quoting is exactly what the test wrote. */
    const char *rest = skipItem(skipItem(GetCommandLineA()));
    char *commandLine = _strdup(rest);

    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    memset(&process, 0, sizeof process);
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
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
