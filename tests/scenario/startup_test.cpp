// Start-up and the normal end over the simulated services: the data folder and
// dir.vnd, the command line into the slots, the single-instance check, the
// centred face, and the close button.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/brumby.h"
#include "app/data_folder.h"
#include "app/loop.h"
#include "app/startup.h"
#include "numbers/numbers.h"
#include "platform/sim/sim.h"
#include "support/player_test.h"
#include "support/sim_test.h"
#include "playback/transport.h"
#include "skin/colours.h"
#include "store/replace_file.h"

namespace {

namespace fs = std::filesystem;

class Startup : public SimTest {
protected:
    void start(app::Player& player) { support::startAndRunFirstPass(player); }

    // Every file and folder on the simulated disk.
    std::set<std::string> hostFiles() const {
        std::set<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(root)) found.insert(entry.path().string());
        return found;
    }

    std::vector<std::string> rows() const { return sim::listRows(numbers::PLAYLIST_LIST); }

    const std::string& dataFolder = support::DATA_FOLDER;
};

TEST_F(Startup, FirstStartRecordsTheWorkingDirectory) {
    app::Player player;
    start(player);
    // Every folder along the way is made, so the file can be written even in a
    // profile that lacks "Local Settings" and "Application Data".
    EXPECT_TRUE(fs::is_directory(sim::hostPath("C:\\Users\\tester\\Local Settings\\Application Data")));
    EXPECT_EQ(readFile(dataFolder + "\\dir.vnd"), "C:\\Tunewell\\\r\n");
    EXPECT_EQ(player.app.installationDirectory, "C:\\Tunewell\\");
}

// A later start uses the recorded directory, its first line however it ends,
// and leaves the file alone; a record that is no whole directory (a blank
// line, one cut off before its separator) counts as none and is replaced.
// (Damaged records: bad_input_test.)
TEST_F(Startup, ARecordIsUsedOnlyWhenItIsAWholeDirectory) {
    const std::string recorded = "C:\\Tunewell\\\r\n";
    const struct {
        const char* content;
        const char* directory;
    } cases[] = {
        {"D:\\Player\\\r\nE:\\Other\\\r\n", "D:\\Player\\"},
        {"D:\\NoTerminator\\", "D:\\NoTerminator\\"},
        {"D:\\Cr\\\rnext", "D:\\Cr\\"},
        {"\r\nD:\\Player\\\r\n", nullptr},
        {"D:\\Play", nullptr},
        {"D:Player\\\r\n", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        writeFile(dataFolder + "\\dir.vnd", c.content);
        store::Replacement replacement;
        EXPECT_EQ(app::prepareInstallationDirectory(replacement), c.directory ? c.directory : "C:\\Tunewell\\");
        EXPECT_EQ(readFile(dataFolder + "\\dir.vnd"), c.directory ? c.content : recorded);
        EXPECT_EQ(sim::filesIn(dataFolder), std::vector<std::string>{"dir.vnd"});
    }
    EXPECT_EQ(sim::openFileCount(), 0);
}

// The record is replaced whole or not at all: a write that fails (a full
// disk) leaves no file and no temporary one, and the next start records.
TEST_F(Startup, AFailedRecordLeavesNothingAndTheNextStartRecords) {
    for (sim::FileOperation failing : {sim::FileOperation::Write, sim::FileOperation::Flush}) {
        sim::failNextFileOperation(failing);
        store::Replacement replacement;
        EXPECT_EQ(app::prepareInstallationDirectory(replacement), "C:\\Tunewell\\");
        EXPECT_TRUE(sim::filesIn(dataFolder).empty());
    }
    writeFile(dataFolder + "\\dir.vnd", "D:\\Play");
    sim::failNextFileOperation(sim::FileOperation::Write);
    store::Replacement replacement;
    app::prepareInstallationDirectory(replacement);
    EXPECT_EQ(readFile(dataFolder + "\\dir.vnd"), "D:\\Play");
    app::prepareInstallationDirectory(replacement);
    EXPECT_EQ(readFile(dataFolder + "\\dir.vnd"), "C:\\Tunewell\\\r\n");
}

// A drive's root keeps its one separator. A directory the 260-character
// buffer cannot hold counts as unknown, for this run only: nothing is
// recorded, the program's own folder serves, and the next start records.
TEST_F(Startup, DriveRootAndOverlongWorkingDirectories) {
    store::Replacement replacement;
    sim::setCurrentDirectory("C:\\");
    EXPECT_EQ(app::prepareInstallationDirectory(replacement), "C:\\");
    EXPECT_EQ(readFile(dataFolder + "\\dir.vnd"), "C:\\\r\n");
    fs::remove(sim::hostPath(dataFolder + "\\dir.vnd"));
    sim::setCurrentDirectory("C:\\" + std::string(270, 'x'));
    EXPECT_EQ(app::prepareInstallationDirectory(replacement), "C:\\Program Files\\Tunewell\\");
    EXPECT_FALSE(fs::exists(sim::hostPath(dataFolder + "\\dir.vnd")));
    EXPECT_TRUE(fs::is_directory(sim::hostPath(dataFolder)));
    sim::setCurrentDirectory("C:\\Tunewell");
    EXPECT_EQ(app::prepareInstallationDirectory(replacement), "C:\\Tunewell\\");
    EXPECT_EQ(readFile(dataFolder + "\\dir.vnd"), "C:\\Tunewell\\\r\n");
}

// Without a profile the player can keep its files under (not set, empty,
// relative, or named outside the code page with no short form), it reads and
// writes no data file anywhere, and still plays the file it was given.
TEST_F(Startup, NoUsableProfileMeansNoDataFiles) {
    const std::vector<std::pair<const char*, const char*>> profiles = {
        {"unset", nullptr},
        {"empty", ""},
        {"relative", "Users\\tester"},
        {"a drive without its root", "C:Users"},
        {"outside the code page", "C:\\Users\\\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80"},
    };
    for (const auto& [what, profile] : profiles) {
        SCOPED_TRACE(what);
        sim::reset(root.string());
        writeFile("C:\\Music\\a.wav", "RIFF");
        writeFile("C:" + support::DATA_FOLDER_BELOW_PROFILE + "\\list.vnp", "C:\\Music\\old.wav\r\n");
        if (profile) sim::setEnvironment("USERPROFILE", profile);
        else sim::unsetEnvironment("USERPROFILE");
        const auto before = hostFiles();
        sim::setCommandLine("brumby.exe C:\\Music\\a.wav");
        app::Player player;
        start(player);
        EXPECT_EQ(sim::aliasPath(1), "C:\\Music\\a.wav");
        EXPECT_EQ(player.app.installationDirectory, "C:\\Tunewell\\");
        sim::movePointerToClient(numbers::MAIN_WINDOW, 12, 10);
        sim::queueControlEvent(numbers::FACE_CONTROL, 0);
        app::runPass(player, false);
        app::runPass(player, false);
        EXPECT_EQ(player.app.quitFlag, 1);
        EXPECT_EQ(hostFiles(), before);
    }
    // Nor is a list file read from anywhere when the player starts without files.
    sim::setCommandLine("brumby.exe");
    app::Player player;
    start(player);
    EXPECT_TRUE(rows().empty());
}

TEST_F(Startup, LoadsTheAboutLibraryFromTheInstallationDirectory) {
    app::Player player;
    start(player);
    ASSERT_FALSE(sim::loadedLibraries().empty());
    EXPECT_EQ(sim::loadedLibraries()[0].path, "C:\\Tunewell\\ravlet.dll");
    EXPECT_FALSE(sim::loadedLibraries()[0].loaded);  // missing: no message, the player runs
}

// Started from a program folder only its code-page bytes or its short form
// name, with a dir.vnd that names no absolute folder and a working directory
// that cannot be known, the library is looked for in the program's folder,
// by that single-byte form.
TEST_F(Startup, TheAboutLibraryFromAProgramFolderByItsSingleByteForm) {
    struct Case {
        const char* programPath;  // UTF-8, as the system gives it
        const char* recorded;     // dir.vnd
        const char* library;
    };
    const std::string far =
        "C:\\\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3\xD1\x80\xD0\xB0\xD0\xBC\xD0\xBC\xD1\x8B\\Tunewell\\brumby.exe";
    const Case cases[] = {
        {"C:\\Programme\\Musik \xC3\xA9t\xC3\xA9\\brumby.exe", "", "C:\\Programme\\Musik \xE9t\xE9\\ravlet.dll"},
        {"C:\\Programme\\Musik \xC3\xA9t\xC3\xA9\\brumby.exe", "Tunewell\\\r\n",
         "C:\\Programme\\Musik \xE9t\xE9\\ravlet.dll"},
        {far.c_str(), "", "C:\\PROGRA~2\\TUNEWELL\\ravlet.dll"},
        {far.c_str(), "Tunewell\\\r\n", "C:\\PROGRA~2\\TUNEWELL\\ravlet.dll"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.library + std::string(" with dir.vnd ") + c.recorded);
        sim::reset(root.string());
        sim::setProgramPath(c.programPath);
        sim::nameFile(far, "C:\\PROGRA~2\\TUNEWELL\\BRUMBY.EXE");
        sim::setCurrentDirectory("C:\\\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0");  // no short form
        writeFile(dataFolder + "\\dir.vnd", c.recorded);
        app::Player player;
        app::startUp(player);
        ASSERT_FALSE(sim::loadedLibraries().empty());
        EXPECT_EQ(sim::loadedLibraries()[0].path, c.library);
    }
}

TEST_F(Startup, CommandLineFillsTheSlotsAndThePlaylistFileIsNotRead) {
    writeFile("C:\\Music\\a.wav", "RIFF");
    // A quoted empty parameter is passed over; the ones after it still count.
    sim::setCommandLine("brumby.exe C:\\Music\\a.wav \"C:\\My Music\\b.mp3\" \"\" C:\\c.ogg");
    writeFile(dataFolder + "\\list.vnp", "C:\\old.mp3\r\n");
    app::Player player;
    start(player);
    EXPECT_EQ(player.playlist.slots[0], "C:\\Music\\a.wav");
    EXPECT_EQ(player.playlist.slots[1], "C:\\My Music\\b.mp3");
    EXPECT_EQ(player.playlist.slots[2], "C:\\c.ogg");
    EXPECT_EQ(player.playlist.slots[3], "");
    ASSERT_GE(sim::mediaLog().size(), 2u);
    EXPECT_EQ(sim::mediaLog()[0], "OPEN \"C:\\Music\\a.wav\" Type MPEGVIDEO ALIAS MP3_1");
    EXPECT_EQ(sim::mediaLog()[1], "status MP3_1 length");
}

// The first pass's whole conversation with the device: the track starts at the
// device's own volume (nothing is set), then the pass polls as every pass does.
TEST_F(Startup, FirstPassSendsTheFirstLoadsCommandsAndNoOthers) {
    writeFile("C:\\Music\\a.wav", "RIFF");
    sim::setTrackLength("C:\\Music\\a.wav", 5000);
    sim::setCommandLine("brumby.exe C:\\Music\\a.wav");
    app::Player player;
    start(player);
    const std::vector<std::string> expected = {"OPEN \"C:\\Music\\a.wav\" Type MPEGVIDEO ALIAS MP3_1",
                                               "status MP3_1 length",
                                               "play MP3_1",
                                               "status MP3_1 length",
                                               "status MP3_1 position",
                                               "status MP3_1 volume",
                                               "status MP3_1 position"};
    EXPECT_EQ(sim::mediaLog(), expected);
    EXPECT_EQ(sim::aliasVolume(1), 1000);
    EXPECT_EQ(sim::aliasMode(1), "playing");
}

TEST_F(Startup, MainWindowIsCentredWithIntegerHalving) {
    sim::setScreenSize(1025, 769);
    app::Player player;
    start(player);
    const sim::WindowInfo main = sim::windowInfo(numbers::MAIN_WINDOW);
    ASSERT_TRUE(main.exists);
    EXPECT_EQ(main.title, "Tunewell");
    EXPECT_EQ(main.width, 184);
    EXPECT_EQ(main.height, 64);
    EXPECT_EQ(main.x, 512 - 92);
    EXPECT_EQ(main.y, 384 - 32);
    EXPECT_TRUE(main.acceptsDrops);
    // The strip is cleared before the first pass.
    EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, 22, 7), skin::TEXT_AREA_COLOUR);
    EXPECT_EQ(sim::pixel(numbers::MAIN_WINDOW, 175, 24), skin::TEXT_AREA_COLOUR);
}

// The older player is opened once, asked to save, ended and waited for, all
// through the one handle, before the list file is read.
TEST_F(Startup, AnOlderPlayerIsAskedToSaveThenEndedAtStart) {
    sim::setProcesses({{"System", 4}, {"brumby.exe", 40}, {"brumby.exe", 41}});
    sim::recordCalls();
    app::Player player;
    app::startUp(player);
    EXPECT_EQ(sim::processesOpened(), std::vector<std::uint32_t>{40});
    EXPECT_EQ(sim::saveRequestsSent(), std::vector<std::uint32_t>{40});
    EXPECT_EQ(sim::terminatedProcesses(), std::vector<std::uint32_t>{40});
    EXPECT_EQ(sim::openProcessCount(), 0);
    std::vector<std::string> order;
    for (const sim::CallRecord& call : sim::callLog()) {
        const std::string& name = call.name;
        if (name == "openProcess" || name == "requestSaveFrom" || name == "terminateProcess" ||
            name == "waitForProcessEnd" || name == "closeProcess" || name == "openFile")
            order.push_back(name);
    }
    ASSERT_GE(order.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 6),
              (std::vector<std::string>{"openProcess", "requestSaveFrom", "terminateProcess", "waitForProcessEnd",
                                        "closeProcess", "openFile"}));
}

// Another user's player, listed first, is neither asked nor ended: this
// session's older one is.
TEST_F(Startup, OnlyThisSessionsOlderPlayerIsReached) {
    sim::setOwnSessionId(1);
    sim::setProcesses({{"brumby.exe", 30, 2}, {"brumby.exe", 40, 1}, {"brumby.exe", 7000, 1}});
    app::Player player;
    app::startUp(player);
    EXPECT_EQ(sim::saveRequestsSent(), std::vector<std::uint32_t>{40});
    EXPECT_EQ(sim::terminatedProcesses(), std::vector<std::uint32_t>{40});
}

// An older player that ended between the snapshot and the open, its ID since
// taken by another program (another player started later among them), leaves
// that program alone.
TEST_F(Startup, AProcessIdTakenAfterTheSnapshotIsNeverReached) {
    for (const char* newcomer : {"notepad.exe", "brumby.exe"}) {
        sim::reset(root.string());
        sim::setProcesses({{"brumby.exe", 40}, {"brumby.exe", 7000}});
        sim::takeIdAfterSnapshot(40, newcomer);
        app::Player next;
        app::startUp(next);
        EXPECT_TRUE(sim::saveRequestsSent().empty()) << newcomer;
        EXPECT_TRUE(sim::terminatedProcesses().empty()) << newcomer;
        EXPECT_EQ(sim::openProcessCount(), 0);
    }
}

TEST_F(Startup, CloseButtonEndsTheLoopAfterItsPassAndSavesOnce) {
    app::Player player;
    start(player);
    sim::movePointerToClient(numbers::MAIN_WINDOW, 12, 10);
    sim::queueControlEvent(numbers::FACE_CONTROL, 0);
    app::runPass(player, false);  // polls the click
    EXPECT_EQ(player.app.quitFlag, 0);
    sim::clearMediaLog();
    app::runPass(player, false);  // acts on it
    EXPECT_EQ(player.app.quitFlag, 1);
    EXPECT_EQ(sim::mediaLog().front(), "close MP3_1");
    EXPECT_FALSE(sim::windowInfo(numbers::MAIN_WINDOW).exists);
    EXPECT_TRUE(fs::exists(sim::hostPath(dataFolder + "\\list.vnp")));
}

TEST_F(Startup, CloseButtonNeedsTheMouseStrictlyInsideItsBox) {
    app::Player player;
    start(player);
    sim::movePointerToClient(numbers::MAIN_WINDOW, 16, 10);  // on the bound: not a hit
    sim::queueControlEvent(numbers::FACE_CONTROL, 0);
    app::runPass(player, false);
    app::runPass(player, false);
    EXPECT_EQ(player.app.quitFlag, 0);
}

TEST_F(Startup, BrumbyMainRunsUntilCloseAndReturnsZero) {
    // The close click is waiting before start-up; the first pass polls it and
    // the second acts on it.
    sim::movePointer(420 + 12, 352 + 10);  // the close button of the centred face
    sim::queueControlEvent(numbers::FACE_CONTROL, 0);
    EXPECT_EQ(app::brumbyMain(), 0);
    EXPECT_EQ(sim::servicesStopped(), 1);
}

}  // namespace
