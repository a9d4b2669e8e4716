/* Test driver for the player's playlist list: finds the list in the window
 * titled "Playlist" and reads or selects its rows from outside the player.
 *
 *   list_driver rows        prints "height=<row height>", then one "row=<text>" per row (UTF-8)
 *   list_driver select <n>  selects row n (-1: none), as a click would, without a notification
 *   list_driver enabled     prints "Tunewell=<0|1>" and "Playlist=<0|1>": whether the face and the
 *                           playlist window take input (read from their style: no message is sent)
 *   list_driver lock <path> <milliseconds>
 *                           holds the file open, shared with nobody, for that long; prints "locked"
 *
 * Prints "missing" when there is no such window, list or file, and "busy" when
 * the player did not answer a message within two seconds (it may be inside a
 * long media call), so that the caller can ask again instead of hanging. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>

static const UINT ANSWER_MS = 2000;

/* One message to the player's list; false when the player did not answer in time. */
static BOOL ask(HWND list, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(list, message, wParam, lParam, SMTO_NORMAL, ANSWER_MS, &result)) return FALSE;
    *answer = (LRESULT)result;
    return TRUE;
}

/* The player did not answer in time: the caller asks again. */
static int busy(void) {
    puts("busy");
    return 3;
}

int main(int argc, char** argv) {
    if (argc > 3 && strcmp(argv[1], "lock") == 0) {
        HANDLE file = CreateFileA(argv[2], GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        puts(file == INVALID_HANDLE_VALUE ? "missing" : "locked");
        fflush(stdout);
        Sleep((DWORD)atoi(argv[3]));
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "enabled") == 0) {
        static const char* const titles[] = {"Tunewell", "Playlist"};
        for (int i = 0; i < 2; ++i) {
            HWND found = FindWindowA(NULL, titles[i]);
            printf(found ? "%s=%d\n" : "%s=missing\n", titles[i], found ? (IsWindowEnabled(found) ? 1 : 0) : 0);
        }
        return 0;
    }
    HWND window = FindWindowA(NULL, "Playlist");
    HWND list = window ? FindWindowExA(window, NULL, "ListBox", NULL) : NULL;
    if (argc < 2 || !list) {
        puts("missing");
        return 1;
    }
    LRESULT answer = 0;
    if (strcmp(argv[1], "select") == 0 && argc > 2) {
        if (!ask(list, LB_SETCURSEL, (WPARAM)atoi(argv[2]), 0, &answer)) return busy();
        puts("selected");
        return 0;
    }
    LRESULT count = 0;
    LRESULT height = 0;
    if (!ask(list, LB_GETCOUNT, 0, 0, &count) || !ask(list, LB_GETITEMHEIGHT, 0, 0, &height)) return busy();
    printf("height=%d\n", (int)height);
    /* Across processes the texts travel as wide characters; they are printed
     * in UTF-8, names the code page cannot spell included. */
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR wide[1024] = L"";
        char text[2048] = "";
        LRESULT length = 0;
        if (!ask(list, LB_GETTEXTLEN, (WPARAM)i, 0, &length) ||
            (length >= 0 && length < 1024 && !ask(list, LB_GETTEXT, (WPARAM)i, (LPARAM)wide, &answer)))
            return busy();
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, NULL, NULL);
        printf("row=%s\n", text);
    }
    fflush(stdout);
    return 0;
}
