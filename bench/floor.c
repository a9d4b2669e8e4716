/* The floor: the least each state of the player has to ask of the system, and
 * nothing else. The benchmark measures brumby.exe against it, state by state.
 *
 * Usage: floor.exe [--time-phase | --idle] [track ...]
 *
 * Start-up: the face, the playlist window (hidden) with one row per track
 * given (201 at most; the first row shows the first track's artist and title
 * when it has a tag, the others their file names), then, unless idle, the
 * first track is opened and played.
 *
 * Every pass, in every state:
 *   - while the playlist window is hidden: activate the face, hide the list
 *     (once it is shown nothing more is asked for it);
 *   - the state of all 255 keys, the pointer once;
 *   - with a track open: the position (the end-of-track check), the volume
 *     (drawn as the volume bar), after a 1 ms pause the position again (drawn
 *     as the position bar), the bars in single pixels;
 *   - a 1 ms sleep and one message poll.
 * The modes add what their state draws:
 *   --time-phase  every pass is a pass of the information strip's time phase:
 *                 the strip cleared, one more position query and the time
 *                 text drawn on the strip's background;
 *   --idle        no track is opened; the idle text blinks as the player's
 *                 does: drawn on passes 1..999 of a 1501-pass cycle, the
 *                 strip cleared on passes 1001..1499.
 *
 * The face has the player's size, title and place, so the benchmark drives
 * both alike: a left click on the playlist button shows the playlist window,
 * any other left click on the face ends the floor (exit code 0), which then
 * writes "passes=<n>" to its standard output. */
#include <windows.h>
#include <mmsystem.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define FACE_WIDTH 184
#define FACE_HEIGHT 64
#define LIST_HEIGHT 205
#define MAX_ROWS 201

#define BAR_TOP_ROW 31
#define BAR_BOTTOM_ROW 33
#define POSITION_BAR_ORIGIN 6
#define POSITION_COLUMNS 122
#define VOLUME_BAR_ORIGIN 132
#define VOLUME_COLUMNS 46

/* The playlist button's hit box on the face, bounds excluded. */
#define PLAYLIST_BUTTON_LEFT 145
#define PLAYLIST_BUTTON_TOP 41
#define PLAYLIST_BUTTON_RIGHT 159
#define PLAYLIST_BUTTON_BOTTOM 56

#define STRIP_X 22
#define STRIP_Y 7
#define STRIP_WIDTH 154
#define STRIP_HEIGHT 18
#define TIME_TEXT_X 43
#define TIME_TEXT_Y 9
#define IDLE_TEXT_X 27
#define IDLE_TEXT_Y 8
#define IDLE_TEXT "Developed by Varnel"
#define IDLE_SHOWN_BELOW 1000
#define IDLE_CLEARED_BELOW 1500
#define IDLE_CYCLE 1501

#define TEXT_AREA_COLOUR RGB(204, 204, 204)
#define BAR_HIGHLIGHT_COLOUR RGB(255, 255, 255)

enum Mode { MODE_PLAYING, MODE_TIME_PHASE, MODE_IDLE };

struct Floor {
    enum Mode mode;
    HWND face, list;
    HDC dc;
    HBRUSH stripBrush;
    int listShown;
    int trackOpen;
    int lengthMs;
    char lengthText[16];
    int idleCounter;
};

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
static void paintColumns(HDC dc, int origin, int columns) {
    for (int k = 1; k <= columns; ++k)
        for (int row = BAR_TOP_ROW; row <= BAR_BOTTOM_ROW; ++row) SetPixelV(dc, origin + k, row, BAR_HIGHLIGHT_COLOUR);
}

static void formatClock(char* text, size_t size, int milliseconds) {
    const int seconds = milliseconds / 1000;
    snprintf(text, size, "%02d:%02d:%02d", seconds / 3600 % 100, seconds / 60 % 60, seconds % 60);
}

/* A row's name: the file name without its extension. */
static void entryName(char* name, size_t size, const char* path) {
    const char* slash = strrchr(path, '\\');
    snprintf(name, size, "%s", slash ? slash + 1 : path);
    char* dot = strrchr(name, '.');
    if (dot && dot[1]) *dot = 0;
}

/* "Artist - Title" from the track's ID3v1 tag; 0 when it has none. */
static int taggedName(char* name, size_t size, const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    char tag[128];
    DWORD read = 0;
    const int found = SetFilePointer(file, -(LONG)sizeof tag, NULL, FILE_END) != INVALID_SET_FILE_POINTER &&
                      ReadFile(file, tag, sizeof tag, &read, NULL) && read == sizeof tag &&
                      memcmp(tag, "TAG", 3) == 0 && tag[3] && tag[33];
    CloseHandle(file);
    if (found) snprintf(name, size, "%.30s - %.30s", tag + 33, tag + 3);
    return found;
}

/* The first row is named by its tag only when its track is loaded, as the player's is. */
static void fillRows(HWND rows, char** tracks, int count, int firstLoaded) {
    for (int i = 0; i < count && i < MAX_ROWS; ++i) {
        char name[MAX_PATH];
        if (i > 0 || !firstLoaded || !taggedName(name, sizeof name, tracks[i])) entryName(name, sizeof name, tracks[i]);
        SendMessageA(rows, LB_ADDSTRING, 0, (LPARAM)name);
    }
}

static void openWindows(struct Floor* f, char** tracks, int count) {
    WNDCLASSA type = {0};
    type.lpfnWndProc = windowProcedure;
    type.hInstance = GetModuleHandleA(NULL);
    type.lpszClassName = "FloorWindow";
    type.hCursor = LoadCursor(NULL, IDC_ARROW);
    RegisterClassA(&type);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - FACE_WIDTH / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - FACE_HEIGHT / 2;
    f->face = CreateWindowExA(0, "FloorWindow", "Tunewell", WS_POPUP | WS_VISIBLE, x, y, FACE_WIDTH, FACE_HEIGHT, NULL,
                              NULL, type.hInstance, NULL);
    f->list = CreateWindowExA(0, "FloorWindow", "Playlist", WS_POPUP, x, y + FACE_HEIGHT, FACE_WIDTH, LIST_HEIGHT,
                              f->face, NULL, type.hInstance, NULL);
    HWND rows = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 12, 10,
                                160, 169, f->list, NULL, type.hInstance, NULL);
    fillRows(rows, tracks, count, f->mode != MODE_IDLE);
    f->dc = GetDC(f->face);
}

/* The strip's font and colours, set once, for the modes that draw text. */
static void prepareText(struct Floor* f) {
    HDC display = GetDC(NULL);
    const int height = -MulDiv(10, GetDeviceCaps(display, LOGPIXELSY), 72);
    ReleaseDC(NULL, display);
    SelectObject(f->dc, CreateFontA(height, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    SetBkColor(f->dc, TEXT_AREA_COLOUR);
    SetBkMode(f->dc, OPAQUE);
    SetTextColor(f->dc, RGB(0, 0, 0));
    f->stripBrush = CreateSolidBrush(TEXT_AREA_COLOUR);
}

static int openTrack(struct Floor* f, const char* path) {
    char command[MAX_PATH + 64];
    snprintf(command, sizeof command, "OPEN \"%s\" Type MPEGVIDEO ALIAS MP3_1", path);
    if (mciSendStringA(command, NULL, 0, NULL) != 0) return 0;
    f->lengthMs = queryStatus("status MP3_1 length");
    formatClock(f->lengthText, sizeof f->lengthText, f->lengthMs);
    mciSendStringA("play MP3_1", NULL, 0, NULL);
    f->trackOpen = 1;
    return 1;
}

static void blinkIdleText(struct Floor* f) {
    f->idleCounter = f->idleCounter % IDLE_CYCLE + 1;
    if (f->idleCounter < IDLE_SHOWN_BELOW) {
        TextOutA(f->dc, IDLE_TEXT_X, IDLE_TEXT_Y, IDLE_TEXT, (int)strlen(IDLE_TEXT));
    } else if (f->idleCounter > IDLE_SHOWN_BELOW && f->idleCounter < IDLE_CLEARED_BELOW) {
        RECT strip = {STRIP_X, STRIP_Y, STRIP_X + STRIP_WIDTH, STRIP_Y + STRIP_HEIGHT};
        FillRect(f->dc, &strip, f->stripBrush);
    }
}

/* The time phase redraws its text on every pass on a cleared strip, in the strip's background. */
static void drawTimeText(struct Floor* f) {
    char position[16], text[40];
    RECT strip = {STRIP_X, STRIP_Y, STRIP_X + STRIP_WIDTH, STRIP_Y + STRIP_HEIGHT};
    FillRect(f->dc, &strip, f->stripBrush);
    SetBkColor(f->dc, TEXT_AREA_COLOUR);
    formatClock(position, sizeof position, queryStatus("status MP3_1 position"));
    snprintf(text, sizeof text, "%s/%s", position, f->lengthText);
    TextOutA(f->dc, TIME_TEXT_X, TIME_TEXT_Y, text, (int)strlen(text));
}

static void pollTrack(struct Floor* f) {
    queryStatus("status MP3_1 position");
    if (f->mode == MODE_TIME_PHASE) drawTimeText(f);
    paintColumns(f->dc, VOLUME_BAR_ORIGIN, queryStatus("status MP3_1 volume") * VOLUME_COLUMNS / 1000);
    Sleep(1);
    const int position = queryStatus("status MP3_1 position");
    paintColumns(f->dc, POSITION_BAR_ORIGIN,
                 f->lengthMs > 0 ? (int)((long long)position * POSITION_COLUMNS / f->lengthMs) : 0);
}

static int onPlaylistButton(LPARAM point) {
    const int x = (short)LOWORD(point), y = (short)HIWORD(point);
    return x > PLAYLIST_BUTTON_LEFT && x < PLAYLIST_BUTTON_RIGHT && y > PLAYLIST_BUTTON_TOP &&
           y < PLAYLIST_BUTTON_BOTTOM;
}

/* Polls one message; returns 0 once the floor is to end. */
static int pollMessage(struct Floor* f) {
    MSG message;
    if (!PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) return 1;
    if (message.message == WM_LBUTTONDOWN && message.hwnd == f->face) {
        if (!onPlaylistButton(message.lParam)) return 0;
        ShowWindow(f->list, SW_SHOWNORMAL);
        f->listShown = 1;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return 1;
}

static int runPass(struct Floor* f) {
    if (!f->listShown) {
        SetActiveWindow(f->face);
        ShowWindow(f->list, SW_HIDE);
    }
    if (f->mode == MODE_IDLE) blinkIdleText(f);
    for (int key = 1; key <= 255; ++key) GetAsyncKeyState(key);
    POINT pointer;
    GetCursorPos(&pointer);
    if (f->trackOpen) pollTrack(f);
    Sleep(1);
    return pollMessage(f);
}

int main(int argc, char** argv) {
    struct Floor f = {0};
    int first = 1;
    if (first < argc && strcmp(argv[first], "--time-phase") == 0) {
        f.mode = MODE_TIME_PHASE;
        ++first;
    } else if (first < argc && strcmp(argv[first], "--idle") == 0) {
        f.mode = MODE_IDLE;
        ++first;
    }
    if (first >= argc && f.mode != MODE_IDLE) {
        fprintf(stderr, "usage: floor.exe [--time-phase | --idle] [track ...]\n");
        return 2;
    }

    openWindows(&f, argv + first, argc - first);
    if (f.mode != MODE_PLAYING) prepareText(&f);
    if (f.mode != MODE_IDLE && !openTrack(&f, argv[first])) {
        fprintf(stderr, "floor: the track does not open\n");
        return 1;
    }

    long passes = 1;
    while (runPass(&f)) ++passes;
    if (f.trackOpen) mciSendStringA("close MP3_1", NULL, 0, NULL);
    printf("passes=%ld\n", passes);
    fflush(stdout);
    return 0;
}
