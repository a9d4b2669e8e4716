/* Test driver: asks every top-level window of a title to close, as the task
 * list does, by posting WM_CLOSE to it; reports how many it asked.
 *
 *   close_driver <title> */
#include <stdio.h>
#include <string.h>

#include <windows.h>

static const char* wanted = NULL;
static int posted = 0;

static BOOL CALLBACK closeMatching(HWND window, LPARAM unused) {
    char title[256];
    (void)unused;
    if (GetWindowTextA(window, title, sizeof title) > 0 && strcmp(title, wanted) == 0) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        ++posted;
    }
    return TRUE;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: close_driver <title>\n");
        return 2;
    }
    wanted = argv[1];
    EnumWindows(closeMatching, 0);
    printf("posted %d\n", posted);
    fflush(stdout);
    return posted > 0 ? 0 : 1;
}
