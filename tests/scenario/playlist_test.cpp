// The playlist over whole loop passes: its window and buttons, the list file
// across runs and failures, the dialog, drops and the relabelling of rows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/startup.h"
#include "platform/files.h"
#include "playlist/adding.h"
#include "playlist/list_file.h"
#include "playlist/playlist.h"
#include "store/data_files.h"
#include "options/options_menu.h"
#include "support/player_test.h"

namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

constexpr int PLAYLIST_BUTTON_X = 150, PLAYLIST_BUTTON_Y = 48;
constexpr int NEXT_X = 124, BUTTON_Y = 48;
constexpr int ADD_X = 30, REMOVE_X = 60, CLEAR_X = 85;
using support::LIST_FILE;

class Playlist : public PlayerTest {
protected:
    void doubleClickRow(int row) {
        sim::selectRow(numbers::PLAYLIST_LIST, row);
        sim::queueControlEvent(numbers::PLAYLIST_LIST, platform::EVENT_LEFT_DOUBLE_CLICK);
        pass();
        pass();
    }

    void close() { clickFace(12, 10); }

    // An audio file whose last 125 bytes hold a tag, or none when artist is empty.
    std::string track(const std::string& path, const std::string& artist = "", const std::string& title = "") {
        std::string bytes(3000, '\x90');
        if (!artist.empty()) {
            std::string tail(125, '\0');
            tail.replace(0, title.size(), title);
            tail.replace(30, artist.size(), artist);
            bytes.replace(bytes.size() - 125, 125, tail);
        }
        writeFile(path, bytes);
        return path;
    }
};

TEST_F(Playlist, ListFileReadsEveryLineEndAndIsWrittenBackWithCrLf) {
    start();
    struct Case {
        std::string bytes;
        Rows rows;
        std::string saved;
    };
    const Case cases[] = {
        {"C:\\a.mp3\r\nD:\\b.c\\two.live.ogg\r\nC:\\x\\README\r\n",
         {"a", "two.live", "README"},
         "C:\\a.mp3\r\nD:\\b.c\\two.live.ogg\r\nC:\\x\\README\r\n"},
        {"C:\\a.mp3\nC:\\b.mp3\n", {"a", "b"}, "C:\\a.mp3\r\nC:\\b.mp3\r\n"},
        {"C:\\a.mp3\rC:\\b.mp3\r", {"a", "b"}, "C:\\a.mp3\r\nC:\\b.mp3\r\n"},
        {std::string("C:\\a.mp3\0C:\\b.mp3", 17), {"a", "b"}, "C:\\a.mp3\r\nC:\\b.mp3\r\n"},
        {"C:\\a.mp3\r\n\r\n\nC:\\b.mp3\r\n\r\n", {"a", "b"}, "C:\\a.mp3\r\nC:\\b.mp3\r\n"},
        {"", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved);
        writeFile(LIST_FILE, c.bytes);
        playlist::clearPlaylist(player.playlist);
        playlist::loadListFile(player.playlist);
        EXPECT_EQ(rows(), c.rows);
        EXPECT_TRUE(playlist::playlistConsistent(player.playlist));
        EXPECT_TRUE(playlist::saveListFile(player.playlist));
        EXPECT_EQ(readFile(LIST_FILE), c.saved);
    }
    std::string many;
    for (int i = 0; i < 250; ++i) many += "C:\\t" + std::to_string(i) + ".mp3\r\n";
    writeFile(LIST_FILE, many);
    playlist::clearPlaylist(player.playlist);
    playlist::loadListFile(player.playlist);
    EXPECT_EQ(rows().size(), 201u);
    EXPECT_EQ(rows().back(), "t200");
    // A full playlist takes no more files.
    EXPECT_FALSE(playlist::appendPath(player.playlist, "C:\\more.mp3"));
    playlist::saveListFile(player.playlist);
    EXPECT_EQ(readFile(LIST_FILE), many.substr(0, many.find("C:\\t201")));
    EXPECT_EQ(sim::openFileCount(), 0);
    // Removing a row of a full list moves the last slot down too.
    sim::selectRow(numbers::PLAYLIST_LIST, 0);
    playlist::removeSelectedEntry(player.playlist);
    EXPECT_EQ(player.playlist.slots[199], "C:\\t200.mp3");
    EXPECT_TRUE(playlist::playlistConsistent(player.playlist));
}

// A line spanning many read chunks is searched for its end once, not once per
// chunk: a list file that is one line of megabytes still starts the player.
TEST_F(Playlist, ALongLineIsSearchedOnceHoweverManyChunksItSpans) {
    const std::string bytes = "C:\\a.mp3\r\n" + std::string(2 << 20, 'x') + "\r\nC:\\b.mp3";
    writeFile(LIST_FILE, bytes);
    store::LineReader reader;
    reader.file = platform::openFile(LIST_FILE, platform::FileMode::ReadExisting);
    std::vector<std::string> lines;
    for (std::string line; store::readLine(reader, line);) lines.push_back(line);
    platform::closeFile(reader.file);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].size(), std::size_t{2} << 20);
    EXPECT_EQ(lines[2], "C:\\b.mp3");
    EXPECT_LE(reader.examined, bytes.size() + bytes.size() / 4096 + 8);
}

TEST_F(Playlist, ASaveFailingAtAnyStepLeavesTheOldFileWhole) {
    writeFile(LIST_FILE, "C:\\old.mp3\r\n");
    start();
    playlist::appendPath(player.playlist, "C:\\new.mp3");
    for (sim::FileOperation step : {sim::FileOperation::Create, sim::FileOperation::Write, sim::FileOperation::Flush,
                                    sim::FileOperation::Replace}) {
        sim::failNextFileOperation(step);
        EXPECT_FALSE(playlist::saveListFile(player.playlist));
        EXPECT_EQ(readFile(LIST_FILE), "C:\\old.mp3\r\n");
        EXPECT_FALSE(fs::exists(sim::hostPath(LIST_FILE + ".tmp")));
    }
    EXPECT_FALSE(player.playlist.listFileSaved);
    // A longer temporary file a killed run left behind lends nothing to the save.
    writeFile(LIST_FILE + ".tmp", std::string(100, 'z'));
    close();
    EXPECT_TRUE(player.playlist.listFileSaved);
    EXPECT_EQ(readFile(LIST_FILE), "C:\\old.mp3\r\nC:\\new.mp3\r\n");
    EXPECT_FALSE(fs::exists(sim::hostPath(LIST_FILE + ".tmp")));
}

TEST_F(Playlist, AnUnreadableListIsKeptThroughAWholeRunAndAMissingOneIsMade) {
    writeFile(LIST_FILE, "C:\\kept.mp3\r\n");
    sim::lockFile(LIST_FILE);
    start();
    EXPECT_TRUE(player.playlist.listFileUnreadable);
    EXPECT_TRUE(rows().empty());
    sim::queueDrop(numbers::PLAYLIST_WINDOW, {track("C:\\a.mp3")});
    pass();
    pass();
    EXPECT_EQ(rows(), Rows{"a"});
    close();
    EXPECT_FALSE(player.playlist.listFileSaved);
    EXPECT_EQ(readFile(LIST_FILE), "C:\\kept.mp3\r\n");

    sim::reset(root.string());
    fs::remove(sim::hostPath(LIST_FILE));
    app::Player second;
    app::startUp(second);
    EXPECT_TRUE(fs::exists(sim::hostPath(LIST_FILE)));
    EXPECT_EQ(readFile(LIST_FILE), "");
}

// A read that fails partway (a damaged disk, a range another program locked)
// is no end of the file: the rows read so far are shown, but the close keeps
// the file the player never saw whole.
TEST_F(Playlist, AListWhoseReadingFailsPartwayIsKeptAtTheClose) {
    std::string lines;
    for (int i = 0; i < 150; ++i) lines += "C:\\Music\\Tunewell Band\\track-" + std::to_string(100 + i) + ".mp3\r\n";
    writeFile(LIST_FILE, lines);
    sim::failReadsFrom(LIST_FILE, 4096);
    start();
    EXPECT_TRUE(player.playlist.listFileUnreadable);
    ASSERT_EQ(rows().size(), 4096u / 38);  // the whole lines before the damage
    EXPECT_EQ(rows().back(), "track-" + std::to_string(100 + 4096 / 38 - 1));
    close();
    EXPECT_FALSE(player.playlist.listFileSaved);
    EXPECT_EQ(readFile(LIST_FILE), lines);
}

TEST_F(Playlist, WithoutAListTheCloseLeavesTheFileAlone) {
    writeFile(LIST_FILE, "C:\\kept.mp3\r\n");
    sim::failWindowOpen(numbers::PLAYLIST_WINDOW);
    start();
    EXPECT_TRUE(sim::menuItems(numbers::OPTIONS_MENU).empty());  // no window, no options menu
    close();
    EXPECT_EQ(player.app.quitFlag, 1);
    EXPECT_EQ(readFile(LIST_FILE), "C:\\kept.mp3\r\n");
}

TEST_F(Playlist, WindowSitsBelowTheFaceAndShowsAndHidesWithItsFlag) {
    writeFile(LIST_FILE, "C:\\a.mp3\r\n");
    start();
    const sim::WindowInfo face = sim::windowInfo(numbers::MAIN_WINDOW);
    sim::WindowInfo list = sim::windowInfo(numbers::PLAYLIST_WINDOW);
    EXPECT_EQ(list.title, "Playlist");
    EXPECT_EQ(list.x, face.x);
    EXPECT_EQ(list.y, face.y + 64);
    EXPECT_EQ(list.width, 184);
    EXPECT_EQ(list.height, 205);
    EXPECT_EQ(list.owner, numbers::MAIN_WINDOW);
    EXPECT_TRUE(list.acceptsDrops);
    EXPECT_FALSE(list.visible);
    EXPECT_EQ(sim::controlWindow(numbers::PLAYLIST_LIST), numbers::PLAYLIST_WINDOW);
    for (int frame = 10; frame <= 13; ++frame) EXPECT_EQ(sim::controlWindow(frame), numbers::PLAYLIST_WINDOW);
    // the menu comes with the window
    EXPECT_EQ(sim::menuCheck(numbers::OPTIONS_MENU, numbers::ANIMATION_SNAKE_ITEM), 1);

    clickFace(PLAYLIST_BUTTON_X, PLAYLIST_BUTTON_Y);  // rows exist: no dialog
    pass();
    EXPECT_TRUE(sim::windowInfo(numbers::PLAYLIST_WINDOW).visible);
    EXPECT_TRUE(sim::fileDialogFilters().empty());
    pass();
    pass();
    EXPECT_EQ(sim::showCalls(numbers::PLAYLIST_WINDOW), 1);  // shown once, not activated every pass
    clickFace(PLAYLIST_BUTTON_X, PLAYLIST_BUTTON_Y);         // the button hides it again
    pass();
    EXPECT_FALSE(sim::windowInfo(numbers::PLAYLIST_WINDOW).visible);
    clickFace(PLAYLIST_BUTTON_X, PLAYLIST_BUTTON_Y);
    pass();

    clickFace(12, 20);  // minimise: both windows go
    pass();
    EXPECT_TRUE(sim::windowInfo(numbers::MAIN_WINDOW).minimised);
    EXPECT_FALSE(sim::windowInfo(numbers::PLAYLIST_WINDOW).visible);
    EXPECT_FALSE(player.loop.playlistVisible);
}

TEST_F(Playlist, PlaylistButtonOnAnEmptyListOpensTheDialog) {
    start();
    sim::queueFileDialog({"C:\\", "a.mp3", "b.ogg", "c.wav"}, true);
    clickFace(PLAYLIST_BUTTON_X, PLAYLIST_BUTTON_Y);
    ASSERT_EQ(sim::fileDialogFilters().size(), 1u);
    EXPECT_EQ(sim::fileDialogFilters()[0],
              "Media Files (Wave,MP3,OGG)|*.wav;*.ogg;*.mp3|Wave File (*.wav)|*.wav|Mp3 File(*.mp3)|*.mp3|"
              "Ogg File(*.ogg)|*.ogg|Midi (*.mid)|*.mid|All files (*.*)|*.*");
    EXPECT_EQ(rows(), (Rows{"a", "b", "c"}));
    EXPECT_EQ(player.playlist.slots[0], "C:\\a.mp3");
    EXPECT_EQ(player.playlist.slots[2], "C:\\c.wav");
    pass();
    EXPECT_TRUE(sim::windowInfo(numbers::PLAYLIST_WINDOW).visible);

    EXPECT_EQ(playlist::chosenPaths({"D:\\m", "x.mp3"}), Rows{"D:\\m\\x.mp3"});
    EXPECT_EQ(playlist::chosenPaths({"D:\\m\\x.mp3"}), Rows{"D:\\m\\x.mp3"});
    clickBottomFrame(ADD_X);  // cancelled: nothing changes
    EXPECT_EQ(rows().size(), 3u);
    EXPECT_EQ(sim::fileDialogFilters().size(), 2u);
}

TEST_F(Playlist, RemoveClearAndAddKeepSlotsAndRowsAligned) {
    writeFile(LIST_FILE, "C:\\one.mp3\r\nC:\\two.mp3\r\nC:\\three.mp3\r\n");
    start();
    clickBottomFrame(REMOVE_X);  // nothing selected
    EXPECT_EQ(rows().size(), 3u);
    sim::selectRow(numbers::PLAYLIST_LIST, 0);
    clickBottomFrame(44);  // on the remove button's left bound: not a hit
    EXPECT_EQ(rows().size(), 3u);
    clickBottomFrame(REMOVE_X);
    EXPECT_EQ(rows(), (Rows{"two", "three"}));
    EXPECT_EQ(player.playlist.slots[1], "C:\\three.mp3");

    sim::queueDrop(numbers::MAIN_WINDOW, {track("C:\\four.mp3")});
    pass();
    pass();
    EXPECT_EQ(player.playlist.slots[2], "C:\\four.mp3");
    EXPECT_TRUE(playlist::playlistConsistent(player.playlist));
    doubleClickRow(2);
    EXPECT_EQ(sim::aliasPath(1), "C:\\four.mp3");

    clickBottomFrame(CLEAR_X);
    EXPECT_TRUE(rows().empty());
    EXPECT_TRUE(playlist::playlistConsistent(player.playlist));
    EXPECT_EQ(sim::aliasPath(1), "C:\\four.mp3");  // plays on
    close();
    EXPECT_EQ(readFile(LIST_FILE), "");
}

// Rows and slots apart (a row the list shows for no slot): an append is
// refused and leaves the rows as they were. Once the player knows they may
// be apart (a fault passed over, a row the list would not give back), the
// next pass makes the rows again from the slots, and later saves keep them.
TEST_F(Playlist, RowsApartRefuseAnAppendAndAreMadeAgainFromTheSlots) {
    writeFile(LIST_FILE, "C:\\one.mp3\r\nC:\\two.mp3\r\n");
    start();
    platform::listInsert(numbers::PLAYLIST_LIST, -1, "stray");
    EXPECT_FALSE(playlist::appendPath(player.playlist, "C:\\three.mp3"));
    EXPECT_EQ(rows(), (Rows{"one", "two", "stray"}));
    EXPECT_TRUE(player.playlist.slots[2].empty());
    player.playlist.rowsInDoubt = true;
    pass();
    EXPECT_EQ(rows(), (Rows{"one", "two"}));
    EXPECT_FALSE(player.playlist.rowsInDoubt);
    EXPECT_TRUE(playlist::appendPath(player.playlist, "C:\\three.mp3"));
    close();
    EXPECT_EQ(readFile(LIST_FILE), "C:\\one.mp3\r\nC:\\two.mp3\r\nC:\\three.mp3\r\n");
}

TEST_F(Playlist, DropsTakeAudioFilesOnlyAndAreAlwaysFinished) {
    start();
    fs::create_directories(sim::hostPath("C:\\drop\\folder"));
    fs::create_directories(sim::hostPath("C:\\drop\\x.mp3"));
    const auto outside = sim::queueDrop(numbers::MAIN_WINDOW, {track("C:\\drop\\z.mp3")}, false);
    const auto inside =
        sim::queueDrop(numbers::PLAYLIST_WINDOW,
                       {track("C:\\drop\\a.mp3"), "C:\\drop\\b.TXT", track("C:\\drop\\c.OGG"), "C:\\drop\\folder",
                        "C:\\drop\\x.mp3", track("C:\\drop\\noext"), track("C:\\drop\\e.Mid")});
    for (int i = 0; i < 3; ++i) pass();
    EXPECT_TRUE(sim::dropFinished(outside));
    EXPECT_TRUE(sim::dropFinished(inside));
    EXPECT_EQ(rows(), (Rows{"a", "c", "e"}));
}

TEST_F(Playlist, LoadedRowsAreRelabelledWhereTheyStand) {
    writeFile(LIST_FILE, "C:\\one.mp3\r\nC:\\two.mp3\r\nC:\\missing.mp3\r\nC:\\four.mp3\r\n");
    track("C:\\one.mp3", "A", "T");
    track("C:\\two.mp3", "B", "U");
    track("C:\\four.mp3", "D", "W");
    start();
    doubleClickRow(1);
    EXPECT_EQ(rows(), (Rows{"one", "B - U", "missing", "four"}));
    EXPECT_EQ(playlist::selectedRow(player.playlist), -1);

    clickFace(NEXT_X, BUTTON_Y);  // onto the missing file: no tag, the row stays
    EXPECT_EQ(player.transport.currentIndex, 2);
    EXPECT_EQ(rows(), (Rows{"one", "B - U", "missing", "four"}));

    // A dialog load afterwards relabels the selected row, not the one Next chose.
    sim::selectRow(numbers::PLAYLIST_LIST, 0);
    sim::queueFileDialog({track("C:\\five.mp3")}, true);
    sim::movePointerToClient(numbers::PLAYLIST_WINDOW, ADD_X, 190);
    sim::queueControlEvent(numbers::FRAME_BOTTOM_CONTROL, platform::EVENT_LEFT_CLICK);
    sim::queueRawEvent(support::WM_MOUSEMOVE);
    pass();  // polls the click, loads, and runs on to a second poll
    EXPECT_EQ(sim::pendingEvents(), 0);
    EXPECT_EQ(rows(), (Rows{"A - T", "B - U", "missing", "four", "five"}));
    EXPECT_EQ(sim::aliasPath(1), "C:\\one.mp3");

    clickFace(NEXT_X, BUTTON_Y);
    EXPECT_EQ(rows(), (Rows{"A - T", "B - U", "missing", "D - W", "five"}));
    EXPECT_TRUE(playlist::playlistConsistent(player.playlist));
    // With no row selected the loaded row is not known: no row is added for it.
    playlist::relabelLoadedRow(player.playlist, true, "X", "Y", "C:\\one.mp3", 0, false);
    EXPECT_EQ(rows().size(), 5u);
}

TEST_F(Playlist, EveryCommandLineFileGetsARowAndTheFirstIsRelabelledInPlace) {
    track("C:\\a.mp3", "Art", "Song");
    sim::setCommandLine("brumby.exe C:\\a.mp3 \"C:\\My Music\\b.mp3\" C:\\c.ogg");
    start();
    EXPECT_EQ(rows(), (Rows{"Art - Song", "b", "c"}));
    EXPECT_TRUE(playlist::playlistConsistent(player.playlist));

    sim::reset(root.string());
    sim::setCommandLine("brumby.exe C:\\gone.mp3 C:\\b.mp3");
    app::Player second;
    app::startUp(second);
    app::runPass(second, true);
    EXPECT_EQ(rows(), (Rows{"gone", "b"}));
}

}  // namespace
