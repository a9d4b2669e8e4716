// Test control of the simulated services: set the machine up, drive it, read what happened.
//
// World and set-up
//   reset(root)                      fresh world; files live on disk below root; C:\Users\tester and C:\Tunewell made
//   reset("")                        a world without a disk: every file lives in memory, found by its path
//                                    ignoring case
//   putMemoryFile(path, bytes)       puts a file into that memory; memoryFile(path) reads one back ("" when absent)
//   hostPath(windowsPath)            where a Windows path lives on disk ("X:\a" -> root/X/a, "\a" -> drive C,
//                                    relative -> current dir)
//   setEnvironment(name, value)      set a variable (names compare case-insensitively); unsetEnvironment(name)
//                                    removes it
//   setCurrentDirectory(path)        simulated working directory (>= 260 chars: currentDirectory() returns "")
//   setProgramPath(path)             the running program's path (default C:\Program Files\Tunewell\brumby.exe)
//   setScreenSize(w, h)              primary screen size (default 1024 x 768)
//   setCommandLine(text)             what commandLine() returns (default "brumby.exe")
//   setProcesses(list, taken)        the running processes, which processSnapshot() lists; an entry's
//                                    sessionId is its logon session (the own one unless set)
//   setOwnProcessId(pid)             what ownProcessId() returns (default 7000)
//   setOwnSessionId(id)              what ownSessionId() returns (default 0)
//   takeIdAfterSnapshot(pid, exe)    once the next snapshot is taken, process pid ends and an unrelated
//                                    program exe (in the own session) starts under the same ID
//   processesOpened()                pids openProcess gave a handle for, in order
//   openProcessCount()               process handles open now
//   terminatedProcesses()            pids ended through terminateProcess, in order
//   servicesStarted() / servicesStopped()   how often startServices / stopServices ran
// Clock
//   clockMs()                        virtual time; sleepMs(n) advances it by n and never really sleeps
//   advanceClock(ms)                 move time on without a sleep call
//   sleepCalls()                     number of sleepMs calls
// Call counts
//   callCount(name)                  how often the platform call `name` (its function's name) ran since the last clear
//   clearCallCounts()                start counting afresh
// Sweep: every platform call is numbered from 1 on since the reset
//   recordCalls()                    from now on every call is noted in callLog() {name, canFail, poll, detail}
//   failCall(k)                      call number k, if it can fail, fails the way the real call fails
//   faultInCall(k, code)             call number k raises a fault inside it (before it does anything)
//   injectionReached()               whether call k came
//   limitCalls(n)                    call number n + 1 throws Runaway: a pass that never ends
//   killAtCall(k)                    the process is killed as call number k begins (Killed is thrown): the
//                                    files stay as the system leaves them (every byte a write put in stays,
//                                    a temporary file stays where it is; nothing is flushed or closed for it)
//   startAgain()                     a new process of the program on the same machine: files, folders,
//                                    names, environment and the program's surroundings stay; windows,
//                                    handles, the device, events, hooks, counts and injections start afresh
//   polls()                          event polls so far
//   onPoll(fn)                       the user: fn runs at every event poll, before the poll takes its event
//   watchMessageBoxes(fn)            fn runs while each message box is up
//   onModalWait(fn)                  fn(service) runs inside every modal wait, where the loop's thread
//                                    still takes sent messages: the message box, the open-file dialog, the
//                                    popup menu and a library's function (the about box runs its own)
// Pointer and keys
//   movePointer(x, y)                pointer at screen (x, y)
//   movePointerToClient(w, x, y)     pointer at client (x, y) of window w
//   holdKey(vk) / releaseKey(vk)     key down / up; a press also counts as "pressed since the last query"
//   tapKey(vk)                       pressed and released: the next keyPressed(vk) alone returns true
// Events (FIFO; one taken per pollEvent)
//   queueControlEvent(control, type) control event (13100); the control's window becomes the active one
//   queueMenuEvent(item)             menu event (13101)
//   queueRawEvent(msg, w, l)         any raw message
//   queueDrop(window, paths, inside) files dropped (563), returns the drop handle
//   dropFinished(handle)             whether the drop was taken (and its handle released); finishedDropCount()
//                                    counts them
//   pendingEvents()                  events not yet polled
// Windows and drawing
//   windowInfo(w)                    WindowInfo: exists, title, x, y, width, height, visible, minimised, topmost,
//                                    owner, acceptsDrops, active
//   foregroundWindow()               the active window, -1 for none
//   restoreWindow(w)                 the user restores a minimised window (its task bar button): it is
//                                    shown again and becomes the active one
//   failWindowOpen(w)                openWindow(w, ...) fails from now on
//   failControl(c)                   adding control c fails from now on
//   windowMoves()                    every moveWindow call in order {window, x, y, atClockMs}
//   showCalls(w) / hideCalls(w)      how often showWindowNormal / hideWindow ran on w
//   pixel(w, x, y)                   a window pixel (NO_COLOUR outside or never drawn)
//   pixelWrites()                    number of plotPixel calls
//   textsDrawn() / clearTextsDrawn() every drawText in order, as TextDrawn
//   fontInfo(n)                      what createFont(n, ...) got
//   imageInfo(slot)                  a decoded image (width 0 when the slot is empty)
//   gdiObjects()                     GdiObjects: the drawing objects the services made (pictures, fonts,
//                                    brushes, device contexts), freed, and held now
//   controlExists(c) / controlWindow(c)   whether control c was made, and its window
// Lists
//   selectRow(control, row)          the user selects a row (-1 clears); no event is queued
//   listRows(control)                all rows, as shown (UTF-8)
// Menus
//   menuItems(menu)                  MenuItem list (id, text, kind, submenu, checked)
//   menuCheck(menu, item)            1 when the item's mark is shown
//   queuePopupChoice(item)           the next showPopupMenu picks item (0 = dismissed)
//   popupsShown()                    every showPopupMenu call {menu, owner, x, y}
// Files and libraries
//   openFileCount()                  files open now (catches leaks)
//   watchFileReplacements(fn)        fn(path) runs after each replaceFile has put a file in place at path
//   filesIn(folder)                  names of the files in a folder, on the disk or in memory
// Names outside the code page: the system gives names in UTF-16, which tests write in UTF-8
//   nameFile(longPath, shortPath)    the file whose long name is longPath has the short form shortPath
//   keepNoShortForms()               the volume keeps no short forms (8.3 names switched off)
//   utf8FromCodePage(bytes)          a code-page text as the user sees it (list rows are kept so)
//   setCodePage(n)                   the system code page: 1252 (the default), 932, 936, 949, 950 or 65001
//   failNextFileOperation(op)        the next create (open for writing), write, flush or replace fails;
//                                    a failing write leaves part of its bytes in the file; a failing close
//                                    (a write-behind the disk refused) loses the bytes written since the
//                                    last flush
//   lockFile(path)                   another program holds the file: opens are refused, it cannot be replaced
//   failReadsFrom(path, offset)      reads of the file that start at or past offset fail (a damaged area)
//   loadedLibraries()                every loadLibrary call {slot, path, loaded}
//   registerLibraryFunction(n, f)    callLibraryFunction(slot, n) runs f when the slot is loaded
//   libraryCalls()                   every callLibraryFunction call {slot, name}
// Shell and dialogs
//   webPagesOpened()                 urls passed to openWebPage
//   messagesShown()                  every messageBox {text, title}
//   queueFileDialog(entries, accept) next openFileDialog answer: one full path, or folder then names
//   fileDialogFilters()              the filter of every openFileDialog call; fileDialogOwners() their owners
//   ProcessExit{code}                thrown by exitProcess
// Faults and ends
//   raiseFault(code, address)        a fault on the loop's thread: the filter runs; passed over, it
//                                    abandons the guarded step (throws what runGuarded catches)
//   raiseFaultElsewhere(code, addr)  a fault on another thread; returns once that thread ended or parked
//   faultAtNextCall(service, code)   the next call of "sleepMs", "mediaCommand" or "loadLibrary" faults
//   faultFilterInstalled()           whether a filter is in place now
//   faultsRaised()                   every fault raised {code, filtered, nested: inside the filter's handling
//                                    of another}
//   setLoopThreadAnswers(yes)        whether runOnLoopThread gets the loop's thread (default yes); one
//                                    inside a media command never answers (the command is taken to hang);
//                                    waiting for one that does not answer moves the clock by the time limit
//   allocationAtStop(forGood)        the next stop of the loop's thread finds it inside an allocation, holding
//                                    the heap's lock: one it leaves at once (the stop waits it out), or,
//                                    forGood, one it never leaves (the stop then fails)
//   windowCallAtStop()               the next stop of the loop's thread finds it inside a call of the window
//                                    system that it never leaves, holding that system's locks
//   Deadlock                         thrown when another thread waits for a lock the stopped loop's thread
//                                    holds: the device's (a media command), the heap's (any service) or the
//                                    window system's (the box)
//   loopThreadStopped()              stopLoopThread ran
//   threadsEnded() / threadsParked() other threads ended by a passed-over fault / parked
//   endSession()                     the system ends the session: both windows are told
//   requestSave(requester)           another player asks this one to save: both windows are told
//   saveRequestsSent()               the process IDs requestSaveFrom asked
//   answerSaveRequests(pid, answer, file, bytes)   how the player running as pid answers a request to
//                                    save (by default at once, saving nothing): Saves replaces `file` (its
//                                    list file) with `bytes` and answers; Refuses answers without saving;
//                                    Hangs never answers (the request waits its time limit out); EndsFirst
//                                    ends as the request comes, before it reaches it
//   ProcessExit{code, atOnce}        atOnce: ended by endProcessNow
// Media device
//   mediaLog() / clearMediaLog()     every mediaCommand string in order
//   setTrackLength(path, ms)         length of a file (the file must exist; then any extension opens)
//                                    otherwise: WAV header length, else DEFAULT_TRACK_LENGTH_MS (30000)
//   trackPlaying()                   some alias is playing now
//   aliasOpen(n), aliasPosition(n), aliasVolume(n), aliasMode(n), aliasPath(n)   state of alias MP3_<n>
//   setPosition(n, ms)               move alias n's position (keeps its mode)
//   failNextCommand(code)            the next mediaCommand returns code and does nothing
//   mediaCounts()                    MediaCounts: aliases opened and closed, opens refused for an alias in use
//                                    and for a path that names no file
//   onMediaCommand(fn)               fn(command) runs as each command reaches the device, before it acts
//   MEDIA_* constants                the error codes the device answers (263 unknown alias or refused type,
//                                    275 missing file, 289 alias in use)
//   hangCommands(verb, times)        the next `times` commands of that verb ("" any) do not return: each
//                                    waits out its bound on the clock, answers platform::MEDIA_NOT_ANSWERING
//                                    and leaves the device behind with its tracks; devicesLeft() counts them
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/names.h"
#include "platform/processes.h"

namespace sim {

// Media device error codes the simulator answers with.
constexpr int MEDIA_INVALID_DEVICE = 263;
constexpr int MEDIA_FILE_NOT_FOUND = 275;
constexpr int MEDIA_DUPLICATE_ALIAS = 289;
constexpr int MEDIA_UNRECOGNISED_KEYWORD = 259;
constexpr int MEDIA_UNRECOGNISED_COMMAND = 261;
constexpr int MEDIA_BAD_INTEGER = 270;
constexpr int MEDIA_MISSING_PARAMETER = 273;
constexpr int MEDIA_OUT_OF_RANGE = 282;
constexpr int MEDIA_REPLY_OVERFLOW = 266;
constexpr int MEDIA_INTERNAL_ERROR = 277;
constexpr int DEFAULT_TRACK_LENGTH_MS = 30000;

enum class FileOperation { Create, Write, Flush, Replace };

enum class SaveAnswer { Saves, Refuses, Hangs, EndsFirst };

struct ProcessExit {
    int code = 0;
    bool atOnce = false;
};

struct FaultRaised {
    std::uint32_t code = 0;
    bool filtered = false;
    bool nested = false;
};

// Thrown by the call past the limit set with limitCalls.
struct Runaway {};
// Thrown by the call the process was killed at (killAtCall).
struct Killed {};
// Thrown when a thread would wait for good for a lock the stopped loop's thread holds.
struct Deadlock {};

// One numbered call: the service's name, whether it has a way to fail, the
// event polls made before it, and the device command of a media call.
struct CallRecord {
    std::string name;
    bool canFail = false;
    int poll = 0;
    std::string detail;
};

// Thrown through a guarded step that a passed-over fault abandons; runGuarded catches it.
struct AbandonedStep {};
// Thrown out of a thread that parks; raiseFaultElsewhere catches it.
struct ParkedThread {};

struct WindowInfo {
    bool exists = false;
    std::string title;
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = false, minimised = false, topmost = false;
    int owner = -1;
    bool acceptsDrops = false;
    bool active = false;
};

struct WindowMove {
    int window = -1;
    int x = 0, y = 0;
    std::int64_t atClockMs = 0;
};

struct TextDrawn {
    int window = -1;
    int x = 0, y = 0;
    int font = 0;
    platform::Colour textColour = 0, backColour = 0;
    std::string text;
    std::int64_t atClockMs = 0;
};

struct FontInfo {
    std::string face;
    int points = 0;
    int weight = 0;
};

struct Image {
    int width = 0, height = 0;
    std::vector<platform::Colour> pixels;  // row-major, top row first
};

enum class MenuItemKind { Item, Separator, Submenu };

struct MenuItem {
    int id = 0;  // item id, or the submenu's menu number
    std::string text;
    MenuItemKind kind = MenuItemKind::Item;
    bool checked = false;
};

struct PopupShown {
    int menu = 0, owner = -1, x = 0, y = 0;
};

// Drawing objects as the real services make and free them: a picture per
// decoded slot, a font per font number, a brush per fill colour, the held
// device context, and the ones made and freed within one call.
struct GdiObjects {
    int created = 0;
    int freed = 0;
    int held = 0;
};

// The media device's aliases over the run.
struct MediaCounts {
    int opened = 0;
    int closed = 0;
    int refusedInUse = 0;   // OPEN for an alias already open
    int refusedNoFile = 0;  // OPEN of a path that names no file
};

struct LibraryLoad {
    int slot = 0;
    std::string path;
    bool loaded = false;
};

struct LibraryCall {
    int slot = 0;
    std::string name;
};

struct MessageShown {
    std::string text, title;
};

void reset(const std::string& rootFolder);
std::string hostPath(const std::string& windowsPath);
void putMemoryFile(const std::string& windowsPath, const std::string& bytes);
std::string memoryFile(const std::string& windowsPath);
void setEnvironment(const std::string& name, const std::string& value);
void unsetEnvironment(const std::string& name);
void setCurrentDirectory(const std::string& windowsPath);
void setProgramPath(const std::string& windowsPath);
void setScreenSize(int width, int height);
void setCommandLine(const std::string& text);
void setProcesses(std::vector<platform::ProcessEntry> processes, bool snapshotTaken = true);
void setOwnProcessId(std::uint32_t processId);
void setOwnSessionId(std::uint32_t sessionId);
void takeIdAfterSnapshot(std::uint32_t processId, const std::string& exeFile);
const std::vector<std::uint32_t>& processesOpened();
int openProcessCount();
const std::vector<std::uint32_t>& terminatedProcesses();
int servicesStarted();
int servicesStopped();

std::int64_t clockMs();
void advanceClock(std::int64_t ms);
int sleepCalls();

int callCount(const std::string& name);
void clearCallCounts();

void recordCalls();
const std::vector<CallRecord>& callLog();
void failCall(std::int64_t number);
void faultInCall(std::int64_t number, std::uint32_t code);
bool injectionReached();
void limitCalls(std::int64_t calls);
void killAtCall(std::int64_t number);
void startAgain();
int polls();
void onPoll(std::function<void()> user);
void watchMessageBoxes(std::function<void(const MessageShown&)> watcher);
void onModalWait(std::function<void(const std::string& service)> watcher);

void movePointer(int screenX, int screenY);
void movePointerToClient(int window, int x, int y);
void holdKey(int virtualKey);
void releaseKey(int virtualKey);
void tapKey(int virtualKey);

void queueControlEvent(int control, int eventType);
void queueMenuEvent(int item);
void queueRawEvent(int message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
std::uintptr_t queueDrop(int window, std::vector<std::string> paths, bool pointInside = true);
bool dropFinished(std::uintptr_t drop);
int finishedDropCount();
int pendingEvents();

WindowInfo windowInfo(int window);
int foregroundWindow();
void restoreWindow(int window);
void failWindowOpen(int window);
void failControl(int control);
const std::vector<WindowMove>& windowMoves();
int showCalls(int window);
int hideCalls(int window);
platform::Colour pixel(int window, int x, int y);
std::int64_t pixelWrites();
const std::vector<TextDrawn>& textsDrawn();
void clearTextsDrawn();
FontInfo fontInfo(int font);
Image imageInfo(int slot);
GdiObjects gdiObjects();
bool controlExists(int control);
int controlWindow(int control);

void selectRow(int control, int row);
std::vector<std::string> listRows(int control);

std::vector<MenuItem> menuItems(int menu);
int menuCheck(int menu, int item);
void queuePopupChoice(int item);
const std::vector<PopupShown>& popupsShown();

int openFileCount();
void watchFileReplacements(std::function<void(const std::string&)> watcher);
void nameFile(const std::string& longPath, const std::string& shortPath);
void keepNoShortForms();
std::string utf8FromCodePage(const std::string& bytes);
void setCodePage(unsigned codePage);
std::vector<std::string> filesIn(const std::string& windowsFolder);
void failNextFileOperation(FileOperation operation);
void failReadsFrom(const std::string& path, std::size_t offset);
void lockFile(const std::string& windowsPath);
const std::vector<LibraryLoad>& loadedLibraries();
void registerLibraryFunction(const std::string& name, std::function<int()> function);
const std::vector<LibraryCall>& libraryCalls();

const std::vector<std::string>& webPagesOpened();
const std::vector<MessageShown>& messagesShown();
void queueFileDialog(std::vector<std::string> pathsOrFolderAndNames, bool accept);
const std::vector<std::string>& fileDialogFilters();
const std::vector<int>& fileDialogOwners();

void raiseFault(std::uint32_t code, std::uint64_t address = 0);
void raiseFaultElsewhere(std::uint32_t code, std::uint64_t address = 0);
void faultAtNextCall(const std::string& service, std::uint32_t code);
bool faultFilterInstalled();
const std::vector<FaultRaised>& faultsRaised();
void setLoopThreadAnswers(bool answers);
void allocationAtStop(bool forGood);
void windowCallAtStop();
bool loopThreadStopped();
int threadsEnded();
int threadsParked();
void endSession();
void requestSave(std::uint32_t requester);
const std::vector<std::uint32_t>& saveRequestsSent();
void answerSaveRequests(std::uint32_t processId, SaveAnswer answer, const std::string& windowsPath = "",
                        const std::string& bytes = "");

const std::vector<std::string>& mediaLog();
void clearMediaLog();
void setTrackLength(const std::string& windowsPath, int ms);
bool trackPlaying();
bool aliasOpen(int alias);
int aliasPosition(int alias);  // -1 when not open
int aliasVolume(int alias);
std::string aliasMode(int alias);  // "stopped", "playing", "paused", or "" when not open
std::string aliasPath(int alias);
void setPosition(int alias, int ms);
void failNextCommand(int code);
MediaCounts mediaCounts();
void hangCommands(const std::string& verb, int times = 1);
int devicesLeft();
void onMediaCommand(std::function<void(const std::string&)> watcher);

}  // namespace sim
