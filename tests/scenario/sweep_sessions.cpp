// The sweep's sessions: what the user does, on which machine, and what the
// clean run must leave. The user acts only on what is on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "numbers/numbers.h"
#include "platform/sim/sim.h"
#include "support/messages.h"
#include "support/sweep.h"

namespace sweep {

namespace {

// Window and control numbers, and points of the face and the playlist window.
constexpr int FACE = numbers::MAIN_WINDOW, LIST_WINDOW = numbers::PLAYLIST_WINDOW;
constexpr int FACE_PICTURE = numbers::FACE_CONTROL, BOTTOM_FRAME = numbers::FRAME_BOTTOM_CONTROL;
constexpr int LIST = numbers::PLAYLIST_LIST;
struct Spot {
    int x, y;
};
constexpr Spot PLAY{55, 48}, NEXT{124, 48}, CLOSE{12, 10}, PLAYLIST_BUTTON{150, 48}, BARE{170, 12};
constexpr Spot TOP_BAND{100, 2}, ADD{30, 190}, REMOVE{57, 190}, ROW{60, 20};
constexpr int LEFT_BUTTON = 1;
using support::sent;
using support::WM_LBUTTONDOWN;
using support::WM_LBUTTONUP;
using support::WM_MOUSEMOVE;

bool onScreen(int window) { return sim::windowInfo(window).visible; }

void click(Run&, int window, int control, Spot at, int type = 0) {
    if (!onScreen(window) || !sim::controlExists(control)) return;
    sim::movePointerToClient(window, at.x, at.y);
    sim::queueControlEvent(control, type);
}

void clickFace(Run& run, Spot at) { click(run, FACE, FACE_PICTURE, at); }

void clickClose(Run& run) {
    if (!onScreen(FACE) || !sim::controlExists(FACE_PICTURE)) return;
    if (!run.endGiven) run.rowsAtEnd = sim::listRows(LIST);
    run.endGiven = true;
    clickFace(run, CLOSE);
}

// Paths as the system gives them, in UTF-8.
void dropPaths(Run& run, int window, const std::vector<std::string>& paths) {
    if (!onScreen(window) || !sim::windowInfo(window).acceptsDrops) return;
    sim::queueDrop(window, paths);
    ++run.drops;
}

void dropOn(Run& run, int window, const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const std::string& name : names) paths.push_back(MUSIC + name);
    dropPaths(run, window, paths);
}

void chooseOption(Run& run, int item) {
    if (!onScreen(FACE) || !sim::controlExists(FACE_PICTURE)) return;
    sim::queuePopupChoice(item);
    click(run, FACE, FACE_PICTURE, BARE, 1);
}

void removeRow(Run& run, int row) {
    const std::vector<std::string> rows = sim::listRows(LIST);
    if (static_cast<int>(rows.size()) <= row || !onScreen(LIST_WINDOW)) return;
    sim::selectRow(LIST, row);
    click(run, LIST_WINDOW, LIST, ROW);
    run.removed = rows[static_cast<std::size_t>(row)];
}

// With the left button held on the face's top band: the pointer moves on, off
// the band, and the face follows it.
void dragOn(Run&) {
    const sim::WindowInfo face = sim::windowInfo(FACE);
    sim::movePointer(face.x + TOP_BAND.x + 40, face.y + TOP_BAND.y + 30);
    sim::queueRawEvent(WM_MOUSEMOVE);
}

int menuMark(int item) {
    for (const sim::MenuItem& entry : sim::menuItems(numbers::OPTIONS_MENU))
        if (entry.id == item) return entry.checked ? 1 : 0;
    return -1;
}

// Next twice from the first command-line file plays the third.
void playedTheThird() { EXPECT_TRUE(sent("OPEN \"C:\\Music\\c.mp3\" Type MPEGVIDEO ALIAS MP3_1")); }

// The face followed the pointer, the playlist window docked below it, the
// two options changed, and the about box was called.
void draggedDockedAndToggled() {
    int faceX = 0, faceY = 0, moved = 0;
    sim::WindowMove last;
    for (const sim::WindowMove& move : sim::windowMoves()) {
        if (move.window == FACE) {
            faceX = move.x;
            faceY = move.y;
            ++moved;
        } else {
            last = move;
        }
    }
    EXPECT_GT(moved, 0);
    EXPECT_EQ(last.window, LIST_WINDOW);
    EXPECT_EQ(last.x, faceX);
    EXPECT_EQ(last.y, faceY + 64);
    EXPECT_EQ(menuMark(numbers::COLLISION_ITEM), 0);
    EXPECT_EQ(menuMark(numbers::ALWAYS_ON_TOP_ITEM), 1);
    ASSERT_EQ(sim::libraryCalls().size(), 1u);
    EXPECT_EQ(sim::libraryCalls()[0].name, "about");
}

// The close click, given again while nothing happens, as a user would.
std::vector<Step> withClose(std::vector<Step> steps) {
    for (int i = 0; i < 3; ++i) steps.push_back({clickClose, 3});
    return steps;
}

// Names outside the code page, in UTF-8, and the short forms their volume keeps.
const std::string PROFILE_FAR = "C:\\Users\\\xD0\x9F\xD1\x91\xD1\x82\xD1\x80";  // Пётр
const std::string PROGRAM_FAR =
    "C:\\\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD1\x8B\\Tunewell";
const std::string PROGRAM_SHORT = "C:\\PROGRA~2\\TUNEWELL";
const std::string SONG_FAR = MUSIC + "\xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F.mp3";  // Песня
const std::string SONG_SHORT = MUSIC + "PESNYA~1.MP3";
const std::string MUMMY_FAR = MUSIC + "\xD0\x9C\xD1\x83\xD0\xBC\xD0\xB8\xD0\xB9 - \xE5\x9D\x82\xE6\x9C\xAC.mp3";
const std::string MUMMY_SHORT = MUSIC + "____~PZ2.MP3";
const std::string FOLDER_FAR = "C:\\\xD0\x9C\xD1\x83\xD0\xB7\xD1\x8B\xD0\xBA\xD0\xB0";  // Музыка
const std::string TREE_NAME = "\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0.mp3";                   // Ёлка.mp3
const std::string TREE_SHORT = "C:\\MUZYKA~1\\ELKA~1.MP3";
const std::string B_IN_FOLDER_SHORT = "C:\\MUZYKA~1\\b.mp3";  // an 8.3 name is its own short form
const std::string WESTERN = MUSIC + "Bj\xC3\xB6rk.mp3";       // in UTF-8, as the system gives it
const std::string WESTERN_KEPT = MUSIC + "Bj\xF6rk.mp3";      // in the code page

Machine farNames() {
    Machine machine;
    machine.profile = PROFILE_FAR;
    machine.profileKept = "C:\\Users\\PTR~1";
    machine.programPath = PROGRAM_FAR + "\\brumby.exe";
    machine.names = {{PROFILE_FAR, "C:\\Users\\PTR~1"},
                     {machine.programPath, PROGRAM_SHORT + "\\BRUMBY.EXE"},
                     {SONG_FAR, SONG_SHORT},
                     {MUMMY_FAR, MUMMY_SHORT},
                     {FOLDER_FAR + "\\" + TREE_NAME, TREE_SHORT},
                     {FOLDER_FAR + "\\b.mp3", B_IN_FOLDER_SHORT}};
    machine.files = {
        PROGRAM_SHORT + "\\ravlet.dll", SONG_SHORT, MUMMY_SHORT, TREE_SHORT, B_IN_FOLDER_SHORT, WESTERN_KEPT};
    machine.listFile = savedForm({SONG_SHORT, MUSIC + "a.mp3"});
    machine.dirFile = "";  // recorded empty: the library comes from the program's own folder
    machine.workingDirectory = "C:\\\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0";  // Папка, without a short form
    machine.workingKept = "";
    return machine;
}

// Started from a folder only its short form names, with an empty dir.vnd
// and a working directory that cannot be known: the about library is looked
// for in the program's folder, by that form.
void aboutFromTheProgramsShortFolder() {
    ASSERT_FALSE(sim::loadedLibraries().empty());
    EXPECT_EQ(sim::loadedLibraries()[0].path, PROGRAM_SHORT + "\\ravlet.dll");
    EXPECT_TRUE(sim::loadedLibraries()[0].loaded);
}

Machine noShortForms() {
    Machine machine;
    machine.shortForms = false;
    // A parameter with no single-byte form first and in the middle: both are
    // passed over, and the ones after them still become rows.
    machine.commandLine = "brumby.exe \"" + MUMMY_FAR + "\" C:\\Music\\a.mp3 \"" + SONG_FAR + "\" C:\\Music\\b.mp3";
    machine.listFile = savedForm(inMusic({"x.mp3"}));
    return machine;
}

void playedTheFirstThatCanBeKept() { EXPECT_TRUE(sent("OPEN \"C:\\Music\\a.mp3\" Type MPEGVIDEO ALIAS MP3_1")); }

// Every line end the reader accepts, blank lines of every kind, a path in
// every form, and more lines than the playlist holds.
std::string wideListFile() {
    std::string bytes =
        "C:\\Music\\a.mp3\r\n"        // CR LF
        "\r\n"                        // a blank line
        "\\\\server\\share\\b.mp3\n"  // LF; a share
        "\\Music\\c.mp3\r"            // a lone CR; the current drive's root
        "d.mp3";                      // relative to the working directory
    bytes += '\0';                    // a NUL ends a line too
    bytes +=
        "C:/Music/e.wav\r\n"  // forward slashes
        "\r\r\n\n"            // blank lines: a lone CR, CR LF, LF
        "C:\\Music\\Two Dots.live.ogg\r\n"
        "C:\\Music\\NOEXT\r\n"
        "C:\\Music\\Caf\xE9.mp3\r\n";  // a code-page byte
    for (int i = 0; i < 200; ++i) bytes += "C:\\Music\\fill " + std::to_string(i) + ".mp3\r\n";
    return bytes;
}

Machine wideList() {
    Machine machine;
    machine.listFile = wideListFile();
    machine.dirFile = "C:\\Tunewell\\\r\n";
    return machine;
}

std::string wideCleanList() {
    std::vector<std::string> rows = listFileRows(wideListFile());
    rows.erase(rows.begin() + 1);
    rows.push_back(MUSIC + "Caf\xE9.WAV");
    return savedForm(rows);
}

// An older player runs as this one starts; it has gained a row since it read
// the list file, which it saves when asked.
Machine withOlderPlayer(sim::SaveAnswer answer) {
    Machine machine;
    machine.listFile = savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3"}));
    machine.olderPlayer = OlderPlayer{4100, answer, inMusic({"a.mp3", "b.mp3", "c.mp3", "x.mp3"})};
    return machine;
}

std::vector<Step> olderPlayerSteps() {
    return withClose({
        {[](Run&) {}, 2},
        {[](Run& run) { dropOn(run, FACE, {"d.mp3"}); }, 2},
    });
}

// The older player was asked to save, then ended; or, gone before the
// request, neither.
void olderAskedAndEnded() {
    EXPECT_EQ(sim::saveRequestsSent(), std::vector<std::uint32_t>{4100});
    EXPECT_EQ(sim::terminatedProcesses(), std::vector<std::uint32_t>{4100});
}
void olderNeitherAskedNorEnded() {
    EXPECT_TRUE(sim::saveRequestsSent().empty());
    EXPECT_TRUE(sim::terminatedProcesses().empty());
}

}  // namespace

const std::vector<Session>& sessions() {
    static const std::vector<Session> table = {
        {"list_play_add_drop_remove_close",
         [] {
             Machine machine;
             machine.listFile = savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3"}));
             return machine;
         }(),
         inMusic({"d.mp3", "e.wav", "f.ogg", "g.mid"}), Ending::Close,
         withClose({
             {[](Run&) {}, 2},
             {[](Run& run) { clickFace(run, PLAY); }, 2},
             {[](Run& run) { clickFace(run, PLAYLIST_BUTTON); }, 2},
             {[](Run& run) {
                  sim::queueFileDialog({"C:\\Music", "d.mp3", "e.wav"}, true);
                  click(run, LIST_WINDOW, BOTTOM_FRAME, ADD);
              },
              3},
             {[](Run& run) {
                  dropOn(run, LIST_WINDOW, {"f.ogg", "g.mid"});
              },
              2},
             {[](Run& run) { removeRow(run, 1); }, 2},
             {[](Run& run) { click(run, LIST_WINDOW, BOTTOM_FRAME, REMOVE); }, 2},
         }),
         savedForm(inMusic({"a.mp3", "c.mp3", "d.mp3", "e.wav", "f.ogg", "g.mid"}))},
        {"command_line_next_twice_close",
         [] {
             Machine machine;
             machine.commandLine = "brumby.exe C:\\Music\\a.mp3 \"C:\\Music\\b.mp3\" C:\\Music\\c.mp3";
             machine.listFile = savedForm(inMusic({"x.mp3"}));
             return machine;
         }(),
         inMusic({"a.mp3", "b.mp3", "c.mp3"}), Ending::Close,
         withClose({
             {[](Run&) {}, 2},
             {[](Run& run) { clickFace(run, NEXT); }, 2},
             {[](Run& run) { clickFace(run, NEXT); }, 2},
         }),
         savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3"})), playedTheThird},
        {"list_play_fault_after_first_pass",
         [] {
             Machine machine;
             machine.listFile = savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3"}));
             return machine;
         }(),
         {},
         Ending::Fault,
         {
             {[](Run&) {}, 2},
             {[](Run& run) { clickFace(run, PLAY); }, 2},
             {[](Run& run) {
                  run.rowsAtEnd = sim::listRows(LIST);
                  run.endGiven = true;
                  sim::faultAtNextCall("sleepMs", ACCESS_VIOLATION);
              },
              4},
         },
         savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3"}))},
        {"list_drop_end_of_session",
         [] {
             Machine machine;
             machine.listFile = savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3"}));
             return machine;
         }(),
         inMusic({"d.mp3"}),
         Ending::SessionEnd,
         {
             {[](Run&) {}, 2},
             {[](Run& run) { dropOn(run, FACE, {"d.mp3"}); }, 2},
             {[](Run& run) {
                  run.rowsAtEnd = sim::listRows(LIST);
                  run.endGiven = true;
                  sim::endSession();
                  throw SessionEnded{};
              },
              1},
         },
         savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3", "d.mp3"}))},
        {"drag_dock_options_about_close",
         Machine{},
         {},
         Ending::Close,
         withClose({
             {[](Run&) {}, 2},
             {[](Run& run) { clickFace(run, PLAYLIST_BUTTON); }, 2},
             {[](Run&) {
                  if (!onScreen(FACE)) return;
                  sim::movePointerToClient(FACE, TOP_BAND.x, TOP_BAND.y);
                  sim::holdKey(LEFT_BUTTON);
                  sim::queueRawEvent(WM_LBUTTONDOWN);
              },
              1},
             {dragOn, 1},
             {dragOn, 1},
             {[](Run&) {
                  sim::releaseKey(LEFT_BUTTON);
                  sim::queueRawEvent(WM_LBUTTONUP);
              },
              3},
             {[](Run& run) { chooseOption(run, numbers::COLLISION_ITEM); }, 3},
             {[](Run& run) { chooseOption(run, numbers::ALWAYS_ON_TOP_ITEM); }, 3},
             {[](Run& run) { chooseOption(run, numbers::ABOUT_ITEM); }, 3},
         }),
         "",
         draggedDockedAndToggled},
        {"names_outside_the_code_page_add_drop_close",
         farNames(),
         {TREE_SHORT, B_IN_FOLDER_SHORT, MUMMY_SHORT, WESTERN_KEPT},
         Ending::Close,
         withClose({
             {[](Run&) {}, 2},
             {[](Run& run) { clickFace(run, PLAY); }, 2},
             {[](Run& run) { clickFace(run, PLAYLIST_BUTTON); }, 2},
             {[](Run& run) {
                  sim::queueFileDialog({FOLDER_FAR, TREE_NAME, "b.mp3"}, true);
                  click(run, LIST_WINDOW, BOTTOM_FRAME, ADD);
              },
              3},
             {[](Run& run) {
                  dropPaths(run, LIST_WINDOW, {MUMMY_FAR, WESTERN});
              },
              2},
         }),
         savedForm({SONG_SHORT, MUSIC + "a.mp3", TREE_SHORT, B_IN_FOLDER_SHORT, MUMMY_SHORT, WESTERN_KEPT}),
         aboutFromTheProgramsShortFolder},
        {"no_short_forms_command_line_drop_next_close", noShortForms(), inMusic({"a.mp3", "b.mp3", "c.mp3"}),
         Ending::Close,
         withClose({
             {[](Run&) {}, 2},
             {[](Run& run) {
                  dropPaths(run, FACE, {MUSIC + TREE_NAME, MUSIC + "c.mp3"});
              },
              2},
             {[](Run& run) { clickFace(run, NEXT); }, 2},
         }),
         savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3"})), playedTheFirstThatCanBeKept},
        {"wide_list_file_full_remove_drop_close",
         wideList(),
         {MUSIC + "d.mp3", MUSIC + "Caf\xE9.WAV"},
         Ending::Close,
         withClose({
             {[](Run&) {}, 2},
             {[](Run& run) { clickFace(run, PLAYLIST_BUTTON); }, 2},
             {[](Run& run) { dropOn(run, LIST_WINDOW, {"d.mp3"}); }, 2},  // the playlist is full
             {[](Run& run) { removeRow(run, 1); }, 2},
             {[](Run& run) { click(run, LIST_WINDOW, BOTTOM_FRAME, REMOVE); }, 2},
             {[](Run& run) { dropPaths(run, LIST_WINDOW, {MUSIC + "Caf\xC3\xA9.WAV"}); }, 2},
         }),
         wideCleanList()},
        {"older_player_saves_drop_close", withOlderPlayer(sim::SaveAnswer::Saves), inMusic({"d.mp3"}), Ending::Close,
         olderPlayerSteps(), savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3", "x.mp3", "d.mp3"})), olderAskedAndEnded},
        {"older_player_refuses_drop_close", withOlderPlayer(sim::SaveAnswer::Refuses), inMusic({"d.mp3"}),
         Ending::Close, olderPlayerSteps(), savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3", "d.mp3"})),
         olderAskedAndEnded},
        {"older_player_hangs_drop_close", withOlderPlayer(sim::SaveAnswer::Hangs), inMusic({"d.mp3"}), Ending::Close,
         olderPlayerSteps(), savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3", "d.mp3"})), olderAskedAndEnded},
        {"older_player_gone_before_the_request_drop_close", withOlderPlayer(sim::SaveAnswer::EndsFirst),
         inMusic({"d.mp3"}), Ending::Close, olderPlayerSteps(),
         savedForm(inMusic({"a.mp3", "b.mp3", "c.mp3", "d.mp3"})), olderNeitherAskedNorEnded},
    };
    return table;
}

}  // namespace sweep
