// Start-up and the normal end over the simulated services: the data folder and
// dir.vnd, the command line into the slots, the single-instance check, the
// centred face, and the close button.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/brumby.h"
#include "app/data_folder.h"
#include "app/loop.h"
#include "app/startup.h"
#include "numbers/numbers.h"
#include "platform/sim/sim.h"
#include "support/sim_test.h"
#include "playback/transport.h"
#include "skin/colours.h"

namespace {

namespace fs = std::filesystem;

class Startup : public SimTest {
protected:
    // Start-up, then the first pass, which enters at the load step.
    void start(app::Player& player) {
        app::startUp(player);
        app::runPass(player, true);
    }

    const std::string dataFolder = "C:\\Users\\tester\\Local Settings\\Application Data\\Varnel\\MP3";
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

TEST_F(Startup, LaterStartsReadTheRecordedDirectory) {
    writeFile(dataFolder + "\\dir.vnd", "D:\\Player\\\r\nE:\\Other\\\r\n");
    EXPECT_EQ(app::prepareInstallationDirectory(), "D:\\Player\\");
    writeFile(dataFolder + "\\dir.vnd", "D:\\NoTerminator\\");
    EXPECT_EQ(app::prepareInstallationDirectory(), "D:\\NoTerminator\\");
    writeFile(dataFolder + "\\dir.vnd", "D:\\Cr\\\rnext");
    EXPECT_EQ(app::prepareInstallationDirectory(), "D:\\Cr\\");
    writeFile(dataFolder + "\\dir.vnd", "");
    EXPECT_EQ(app::prepareInstallationDirectory(), "");
    // The recorded file is never rewritten.
    EXPECT_EQ(readFile(dataFolder + "\\dir.vnd"), "");
    EXPECT_EQ(sim::openFileCount(), 0);
}

TEST_F(Startup, DriveRootAndOverlongWorkingDirectories) {
    sim::setCurrentDirectory("C:\\");
    EXPECT_EQ(app::prepareInstallationDirectory(), "C:\\\\");
    fs::remove(sim::hostPath(dataFolder + "\\dir.vnd"));
    sim::setCurrentDirectory("C:\\" + std::string(270, 'x'));
    // A directory the 260-character buffer cannot hold counts as empty, for
    // this run only: nothing is recorded, and the next start records its own.
    EXPECT_EQ(app::prepareInstallationDirectory(), "\\");
    EXPECT_FALSE(fs::exists(sim::hostPath(dataFolder + "\\dir.vnd")));
    EXPECT_TRUE(fs::is_directory(sim::hostPath(dataFolder)));
    sim::setCurrentDirectory("C:\\Tunewell");
    EXPECT_EQ(app::prepareInstallationDirectory(), "C:\\Tunewell\\");
    EXPECT_EQ(readFile(dataFolder + "\\dir.vnd"), "C:\\Tunewell\\\r\n");
}

TEST_F(Startup, UnsetProfileUsesTheCurrentDriveRoot) {
    sim::unsetEnvironment("USERPROFILE");
    app::prepareInstallationDirectory();
    EXPECT_EQ(readFile("C:\\Local Settings\\Application Data\\Varnel\\MP3\\dir.vnd"), "C:\\Tunewell\\\r\n");
}

TEST_F(Startup, LoadsTheAboutLibraryFromTheInstallationDirectory) {
    app::Player player;
    start(player);
    ASSERT_FALSE(sim::loadedLibraries().empty());
    EXPECT_EQ(sim::loadedLibraries()[0].path, "C:\\Tunewell\\ravlet.dll");
    EXPECT_FALSE(sim::loadedLibraries()[0].loaded);  // missing: no message, the player runs
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
