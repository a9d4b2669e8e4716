/* Test driver for ravlet.dll: loads it by path, calls `about` by name a given
 * number of times and reports each box it sees and each result on stdout.
 *
 *   about_driver <ravlet.dll> <calls> [post|send <milliseconds>]
 *
 * With "post" or "send", each box is sent WM_CLOSE (posted, or sent as the
 * task list does) that many milliseconds after it appears. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>

static const char* closeMode = NULL;
static DWORD closeDelay = 0;

static void report(const char* line) {
    fputs(line, stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

/* Prints the geometry of every new visible box and, if asked, closes it. */
static DWORD WINAPI watchBoxes(LPVOID unused) {
    HWND seen = NULL;
    (void)unused;
    for (;;) {
        HWND box = FindWindowA(NULL, "About Tunewell");
        if (!box || !IsWindowVisible(box)) {
            if (!box) seen = NULL;
            Sleep(20);
            continue;
        }
        if (box == seen) {
            Sleep(20);
            continue;
        }
        seen = box;
        Sleep(100);
        RECT client, frame;
        POINT origin = {0, 0};
        char line[256];
        GetClientRect(box, &client);
        GetWindowRect(box, &frame);
        ClientToScreen(box, &origin);
        snprintf(line, sizeof line,
                 "box client=%ldx%ld window=%ldx%ld pos=%ld,%ld screen=%dx%d origin=%ld,%ld style=%lx",
                 client.right - client.left, client.bottom - client.top, frame.right - frame.left,
                 frame.bottom - frame.top, frame.left, frame.top, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), origin.x, origin.y, (unsigned long)GetWindowLongA(box, GWL_STYLE));
        report(line);
        if (closeMode) {
            Sleep(closeDelay);
            if (strcmp(closeMode, "send") == 0) {
                SendMessageA(box, WM_CLOSE, 0, 0);
            } else {
                PostMessageA(box, WM_CLOSE, 0, 0);
            }
        }
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        fprintf(stderr, "usage: about_driver <ravlet.dll> <calls> [post|send <milliseconds>]\n");
        return 2;
    }
    if (argc == 5) {
        closeMode = argv[3];
        closeDelay = (DWORD)atoi(argv[4]);
    }
    HMODULE library = LoadLibraryA(argv[1]);
    if (!library) {
        report("load failed");
        return 1;
    }
    typedef int (*AboutFunction)(void);
    AboutFunction about = (AboutFunction)(void (*)(void))GetProcAddress(library, "about");
    if (!about) {
        report("no about export");
        return 1;
    }
    CreateThread(NULL, 0, watchBoxes, NULL, 0, NULL);
    int calls = atoi(argv[2]);
    for (int i = 0; i < calls; ++i) {
        char line[64];
        snprintf(line, sizeof line, "about returned %d", about());
        report(line);
    }
    FreeLibrary(library);
    report("done");
    return 0;
}
