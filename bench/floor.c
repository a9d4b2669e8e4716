/* The floor: the least a playing pass of the player has to ask of the system,
 * and nothing else. Each pass makes the playlist window's visibility calls for
 * a hidden playlist (activate the face, hide the list), reads the state of all
 * 255 keys, reads the pointer once, asks the device for the position (the
 * end-of-track check), the volume (drawn as the volume bar) and, after a 1 ms
 * pause, the position again (drawn as the position bar), sleeps 1 ms and polls
 * one message. The benchmark measures brumby.exe against it.
 * Usage: floor.exe <track>. Its window has the player's size and title, so the
 * benchmark places and closes both alike: a click on it ends the floor (exit
 * code 0), which writes "passes=<n>" to its standard output. */
#include <windows.h>
#include <mmsystem.h>
#include <stdio.h>
#include <stdlib.h>

#define FACE_WIDTH 184
#define FACE_HEIGHT 64
#define LIST_HEIGHT 205
#define BAR_TOP_ROW 31
#define BAR_BOTTOM_ROW 33
#define POSITION_BAR_ORIGIN 6
#define POSITION_COLUMNS 122
#define VOLUME_BAR_ORIGIN 132
#define VOLUME_COLUMNS 46

static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcA(window, message, w, l);
}

static int queryStatus(const char* command) {
    char reply[260];
    memset(reply, ' ', sizeof reply - 1);
    reply[sizeof reply - 1] = 0;
    mciSendStringA(command, reply, sizeof reply, NULL);
    return atoi(reply);
}

/* The player's bar drawing: three rows of single pixels per filled column. */
static void paintColumns(HDC dc, int origin, int columns, COLORREF colour) {
    for (int k = 1; k <= columns; ++k)
        for (int row = BAR_TOP_ROW; row <= BAR_BOTTOM_ROW; ++row) SetPixelV(dc, origin + k, row, colour);
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: floor.exe <track>\n");
        return 2;
    }

    WNDCLASSA type = {0};
    type.lpfnWndProc = windowProcedure;
    type.hInstance = GetModuleHandleA(NULL);
    type.lpszClassName = "FloorWindow";
    type.hCursor = LoadCursor(NULL, IDC_ARROW);
    RegisterClassA(&type);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - FACE_WIDTH / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - FACE_HEIGHT / 2;
    HWND face = CreateWindowExA(0, "FloorWindow", "Tunewell", WS_POPUP | WS_VISIBLE, x, y, FACE_WIDTH, FACE_HEIGHT,
                                NULL, NULL, type.hInstance, NULL);
    HWND list = CreateWindowExA(0, "FloorWindow", "Floor list", WS_POPUP, x, y + FACE_HEIGHT, FACE_WIDTH, LIST_HEIGHT,
                                face, NULL, type.hInstance, NULL);
    HDC dc = GetDC(face);

    char command[MAX_PATH + 64];
    snprintf(command, sizeof command, "OPEN \"%s\" Type MPEGVIDEO ALIAS MP3_1", argv[1]);
    if (mciSendStringA(command, NULL, 0, NULL) != 0) {
        fprintf(stderr, "floor: the track does not open\n");
        return 1;
    }
    const int length = queryStatus("status MP3_1 length");
    mciSendStringA("play MP3_1", NULL, 0, NULL);

    long passes = 0;
    for (int running = 1; running; ++passes) {
        SetActiveWindow(face);
        ShowWindow(list, SW_HIDE);
        for (int key = 1; key <= 255; ++key) GetAsyncKeyState(key);
        POINT pointer;
        GetCursorPos(&pointer);
        queryStatus("status MP3_1 position");
        const int volume = queryStatus("status MP3_1 volume");
        paintColumns(dc, VOLUME_BAR_ORIGIN, volume * VOLUME_COLUMNS / 1000, RGB(255, 255, 255));
        Sleep(1);
        const int position = queryStatus("status MP3_1 position");
        const int columns = length > 0 ? (int)((long long)position * POSITION_COLUMNS / length) : 0;
        paintColumns(dc, POSITION_BAR_ORIGIN, columns, RGB(255, 255, 255));
        Sleep(1);
        MSG message;
        if (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            running = message.message != WM_LBUTTONDOWN;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    mciSendStringA("close MP3_1", NULL, 0, NULL);
    printf("passes=%ld\n", passes);
    fflush(stdout);
    return 0;
}
