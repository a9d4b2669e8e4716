// The simulator's whole state: one plain struct, private to platform/sim.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/faults.h"
#include "platform/files.h"
#include "platform/gui.h"
#include "platform/media.h"
#include "platform/names.h"
#include "platform/processes.h"
#include "platform/shell.h"
#include "platform/sim/sim.h"
#include "platform/system.h"

namespace sim {

constexpr std::uint32_t LOOP_THREAD = 1;
constexpr std::uint32_t OTHER_THREAD = 2;

// Every service the simulator offers, and whether it has a way to fail that the
// program must survive (a file, window, list row, library, device command or
// dialog the system refuses). All are counted and numbered; any can fault.
// a table of services, by kind (kept by hand)
// clang-format off
#define SIM_CALLS(X)                                                                                         \
    /* windows */                                                                                            \
    X(openWindow, true) X(windowExists, false) X(closeWindow, true) X(windowVisible, false)                  \
    X(hideWindow, false) X(showWindowNormal, false) X(activateWindow, false) X(setForegroundWindow, false)   \
    X(minimiseWindow, false) X(moveWindow, true) X(setTopmost, true) X(windowRect, false)                    \
    X(clientSize, false) X(acceptDroppedFiles, true) X(screenWidth, false) X(screenHeight, false)            \
    /* events, pointer and keys */                                                                           \
    X(pollEvent, true) X(pointerIn, true) X(cursorPosition, true) X(keyPressed, false)                       \
    X(takeDroppedFiles, true)                                                                                \
    /* controls, list and menus */                                                                           \
    X(addImageControl, true) X(addListControl, true) X(listInsert, true) X(listInsertUtf8, true)             \
    X(listDelete, true) X(listCount, true) X(listSelected, true)                                             \
    X(createPopupMenu, true) X(appendMenuItem, true) X(appendMenuSeparator, true) X(appendSubmenu, true)     \
    X(setMenuCheck, true) X(showPopupMenu, true)                                         \
    /* drawing */                                                                                            \
    X(acquireDrawingSurface, true) X(fillBox, false) X(plotPixel, false) X(setTextPosition, false)           \
    X(setTextColour, false) X(setTextBackground, false) X(selectFont, false) X(drawText, false)              \
    X(createFont, true) X(decodeBitmap, true) X(readBitmapPixels, true)                                      \
    /* the process and its surroundings */                                                                   \
    X(startServices, false) X(stopServices, false) X(commandLine, false) X(sleepMs, false)                   \
    X(environmentVariable, true) X(currentDirectory, true) X(programPath, true) X(singleBytePath, true)      \
    X(longNameUtf8, false)                                                                                   \
    X(systemCodePage, false) X(shortPath, true)                                                              \
    /* files */                                                                                              \
    X(fileSize, true) X(createFolder, true) X(isFolder, true) X(openFile, true) X(readFile, true)            \
    X(writeFile, true) X(seekFile, true) X(flushFile, true) X(closeFile, true) X(replaceFile, true)          \
    X(deleteFile, true)                                                                                      \
    /* other processes, libraries, the media device, the shell */                                            \
    X(processSnapshot, true) X(ownProcessId, false) X(terminateProcess, true) X(requestSaveFrom, true)       \
    X(ownSessionId, false) X(openProcess, true) X(waitForProcessEnd, true) X(closeProcess, false)         \
    X(loadLibrary, true) X(callLibraryFunction, true) X(mediaCommand, true) X(openWebPage, true)             \
    X(messageBox, true) X(openFileDialog, true)
// clang-format on

enum class Call {
#define SIM_CALL_NAME(name, canFail) name,
    SIM_CALLS(SIM_CALL_NAME)
#undef SIM_CALL_NAME
};
#define SIM_CALL_ONE(name, canFail) +1
constexpr std::size_t CALL_KINDS = 0 SIM_CALLS(SIM_CALL_ONE);
#undef SIM_CALL_ONE

// The numbering of the calls and what is injected into one of them.
struct CallSweep {
    std::int64_t number = 0;  // calls made since the reset
    bool recording = false;
    std::vector<CallRecord> log;
    std::int64_t failAt = 0;   // this call fails as the real one does
    std::int64_t faultAt = 0;  // this call raises `faultCode` inside it
    std::uint32_t faultCode = 0;
    bool injected = false;
    std::int64_t limit = 0;   // past this many calls the program is taken to be stuck; 0 = none
    std::int64_t killAt = 0;  // the process is killed as this call begins
};

struct WindowRecord {
    std::string title;
    int x = 0, y = 0, width = 0, height = 0;
    int owner = -1;
    bool visible = false, minimised = false, topmost = false, acceptsDrops = false;
    std::vector<platform::Colour> pixels;  // width * height, row-major
    int showCalls = 0, hideCalls = 0;
};

enum class ControlKind { Image, List };

struct ControlRecord {
    ControlKind kind = ControlKind::Image;
    int window = -1;
    int image = -1;
    int x = 0, y = 0, width = 0, height = 0;
    platform::Colour textColour = 0, backColour = 0;
    std::vector<std::string> rows;
    int selected = -1;
};

struct Menu {
    std::vector<MenuItem> items;
};

struct KeyState {
    bool held = false;
    bool pressedSinceQuery = false;
};

enum class QueuedKind { Control, Menu, Raw };

struct QueuedEvent {
    QueuedKind kind = QueuedKind::Raw;
    int id = 0;  // control, menu item or message number
    int eventType = -1;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

struct Drop {
    int window = -1;
    std::vector<std::string> paths;
    platform::Point point;
    bool pointInside = true;
    bool finished = false;
};

struct FileDialogAnswer {
    std::vector<std::string> entries;
    bool accept = false;
};

enum class MediaMode { Stopped, Playing, Paused };

struct MediaAlias {
    std::string path;
    int length = 0;
    int position = 0;  // while playing: the position at playStartClock
    MediaMode mode = MediaMode::Stopped;
    int volume = 1000;
    std::int64_t playStartClock = 0;
};

// What a process handle stands for: the process that held the ID when it was
// opened, told from a later one under the same ID by its start.
struct ProcessHandle {
    std::uint32_t processId = 0;
    std::uint64_t started = 0;
};

// Another copy of the player: how it answers a request to save, and what it saves.
struct OlderPlayer {
    SaveAnswer answer = SaveAnswer::Saves;
    std::string listFile;  // a Windows path
    std::string bytes;
};

struct OpenFile {
    int fd = -1;           // -1 for a file kept in memory
    std::string hostPath;  // or the memory file's key
    bool writes = false;
    std::size_t offset = 0;       // a memory file's read and write position
    std::string flushed;          // a memory file's bytes as its last flush (or its opening) left them on the disk
    std::size_t flushedSize = 0;  // a disk file's length then
};

// Where the loop's thread is when another thread stops it: what it holds then.
enum class AllocationAtStop { None, Brief, ForGood };

struct World {
    std::map<std::string, std::size_t> damagedFrom;  // host path -> first offset whose reads fail
    std::string root;
    std::map<std::string, std::string> environment;  // names upper-cased
    std::string currentDirectory;
    std::string programPath = "C:\\Program Files\\Tunewell\\brumby.exe";
    std::uint32_t ownProcessId = 7000;
    std::string commandLine = "brumby.exe";
    int screenWidth = 1024, screenHeight = 768;
    std::int64_t clock = 0;
    int sleepCalls = 0;
    std::array<int, CALL_KINDS> callCounts{};
    CallSweep sweep;
    int polls = 0;
    std::function<void()> user;                           // acts at every event poll
    std::function<void(const MessageShown&)> boxWatcher;  // looks while a message box is up
    // looks after a file was replaced
    std::function<void(const std::string&)> replacementWatcher;
    int servicesStarted = 0, servicesStopped = 0;

    int pointerX = -1000, pointerY = -1000;
    std::map<int, KeyState> keys;

    std::deque<QueuedEvent> events;
    std::map<std::uintptr_t, Drop> drops;
    std::uintptr_t nextDrop = 0x5000;

    std::map<int, WindowRecord> windows;
    std::vector<int> failingWindows;
    std::vector<int> failingControls;
    int foreground = -1;
    std::vector<WindowMove> moves;
    std::map<int, ControlRecord> controls;

    int surface = -1;
    int textX = 0, textY = 0;
    platform::Colour textColour = 0, textBack = 0xFFFFFF;
    int font = 0;
    std::int64_t pixelWrites = 0;
    std::vector<TextDrawn> texts;
    std::map<int, FontInfo> fonts;
    std::map<int, Image> images;
    std::set<platform::Colour> brushColours;  // a brush is made for each colour filled, kept to the end
    bool contextHeld = false;                 // the drawing surface's device context
    int gdiCreated = 0, gdiFreed = 0;
    bool gdiReleased = false;  // stopServices freed what was held

    std::map<int, Menu> menus;
    std::vector<PopupShown> popups;
    std::deque<int> popupChoices;

    std::map<int, OpenFile> files;  // by handle
    std::vector<FileOperation> failingFileOperations;
    std::vector<std::string> lockedFiles;            // host paths
    std::map<std::string, std::string> memoryFiles;  // by upper-cased path, in a world without a disk
    std::map<std::string, std::string> shortForms;   // a long path in UTF-8 -> its short form
    bool shortFormsKept = true;                      // the volume keeps short forms
    unsigned codePage = 1252;                        // the system code page

    std::vector<platform::ProcessEntry> processes;
    bool snapshotTaken = true;
    std::vector<std::uint32_t> terminated;
    std::uint32_t ownSessionId = 0;
    std::uint64_t processClock = 0;                              // snapshots and process starts, counted
    std::map<std::uint32_t, std::uint64_t> processStarted;       // by ID; 0 for those of the set-up
    std::map<std::uint32_t, std::string> idsTakenAfterSnapshot;  // by ID: the program that takes it
    std::map<int, ProcessHandle> processHandles;                 // by handle number
    std::vector<std::uint32_t> processesOpened;
    std::map<std::uint32_t, OlderPlayer> olderPlayers;  // by ID: how a copy of the player answers a request

    std::map<int, std::string> libraries;
    std::vector<LibraryLoad> libraryLoads;
    std::vector<LibraryCall> libraryCalls;
    std::map<std::string, std::function<int()>> libraryFunctions;

    std::vector<std::string> webPages;
    std::vector<MessageShown> messages;
    std::vector<std::string> dialogFilters;
    std::vector<int> dialogOwners;
    std::deque<FileDialogAnswer> dialogAnswers;

    platform::FaultFilter faultFilter = nullptr;
    int filterDepth = 0;  // filter calls under way
    std::vector<FaultRaised> faults;
    void* faultContext = nullptr;
    int guardDepth = 0;
    std::uint32_t currentThread = LOOP_THREAD;
    std::map<std::string, std::uint32_t> faultsAtNextCall;  // by service name
    bool loopThreadAnswers = true;
    bool loopThreadStopped = false;
    bool loopInsideDeviceCall = false;  // the loop's thread is inside a media command (and holds its lock)
    AllocationAtStop allocationAtStop = AllocationAtStop::None;
    bool stoppedHoldingDevice = false;                     // the loop's thread was stopped inside a media command
    bool stoppedHoldingHeap = false;                       // ... or inside an allocation it never leaves
    bool windowCallAtStop = false;                         // the next stop finds it inside a window system's call
    bool stoppedHoldingWindows = false;                    // ... which it never leaves
    std::function<void(const std::string&)> modalWatcher;  // acts inside every modal wait
    int threadsEnded = 0;
    int threadsParked = 0;
    void (*sessionEnd)(void*) = nullptr;
    void* sessionContext = nullptr;
    void (*saveRequest)(void*, std::uint32_t) = nullptr;
    void* saveRequestContext = nullptr;
    std::vector<std::uint32_t> saveRequestsSent;

    std::vector<std::string> mediaLog;
    std::map<std::string, MediaAlias> aliases;  // by upper-cased alias name
    std::map<std::string, int> trackLengths;    // by host path
    int failNextMediaCode = 0;
    std::string hangingVerb;  // lower case, "" any
    int hangsLeft = 0;
    int devicesLeft = 0;
    void (*deviceLeft)(void*) = nullptr;
    void* deviceLeftContext = nullptr;
    std::function<void(const std::string&)> mediaWatcher;  // sees each command as it reaches the device
    MediaCounts mediaCounts;
};

// Every service starts here: the call is counted and numbered, and a fault
// injected into it is raised. True when the call must fail as the real one
// does; `detail` (the command of a device call, say) goes into the call log.
bool enter(Call call, const char* detail = nullptr);

// The one simulated machine of the process.
World& world();

// Upper-cases ASCII letters, for the names Windows compares without case.
std::string upper(std::string text);

// Window record or nullptr.
WindowRecord* findWindow(int window);
// Closes a window and every window it owns, as the system does.
void closeWindowAndOwned(int window);

// The code page's bytes that spell a UTF-8 text; false when it has none for a character.
bool spellInCodePage(const std::string& utf8, std::string& bytes);
// The system code page's table, read without counting a call.
platform::CodePage codePageTable();

// Fills a box of the drawing surface, clipped to its window.
void fillSurface(int x, int y, int width, int height, platform::Colour colour);

// The whole content of the file a Windows path names, on the disk or in memory;
// false when there is no such file.
bool readWholeFile(const std::string& windowsPath, std::string& bytes);
// Writes a whole file, on the disk or in memory, as another program would.
void putFile(const std::string& windowsPath, const std::string& bytes);
// Whether the path names a file (not a folder).
bool fileExists(const std::string& windowsPath);
// The key a file is known by: its host path, or its memory key in a world without a disk.
std::string fileKey(const std::string& windowsPath);

// Brings a playing alias up to the virtual clock (stopping it at its end).
void settleAlias(MediaAlias& alias);

// A drawing object the services made, and one they freed.
void gdiCreate();
void gdiFree();

}  // namespace sim
