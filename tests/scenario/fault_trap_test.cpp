// The fault trap over the simulated services: the box's text, faults passed
// over until the first pass ends, the fatal path's exit code and box, the
// playlist kept on the ends the player does not choose, faults on other
// threads and inside the handler.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/fault_trap.h"
#include "app/loop.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "numbers/numbers.h"
#include "platform/gui.h"
#include "platform/sim/sim.h"
#include "playlist/list_file.h"
#include "support/sim_test.h"

namespace {

constexpr std::uint32_t ACCESS_VIOLATION = 0xC0000005;
constexpr std::uint32_t DIVISION_BY_ZERO = 0xC0000094;
using support::LIST_FILE;

// The line of app/loop.cpp that holds `text`.
std::uint32_t loopLine(const std::string& text) {
    std::ifstream source(std::string(TUNEWELL_SOURCE_DIR) + "/app/loop.cpp");
    std::string line;
    for (std::uint32_t number = 1; std::getline(source, line); ++number) {
        if (line.find(text) != std::string::npos) return number;
    }
    return 0;
}

class FaultTrap : public SimTest {
protected:
    // Start-up and the first pass, which ends by arming the handler.
    void start() {
        app::startUp(player);
        app::runGuardedPass(player, true);
    }

    // The rows of the playlist window's list that start-up made, one per path.
    void makeList(const std::vector<std::string>& paths) {
        playlist::clearPlaylist(player.playlist);
        for (const std::string& path : paths) playlist::appendPath(player.playlist, path);
    }

    // Runs `action`, which must end the process; returns how it ended.
    template <typename Action>
    sim::ProcessExit ended(Action action) {
        try {
            action();
        } catch (const sim::ProcessExit& exit) {
            return exit;
        }
        ADD_FAILURE() << "the process did not end";
        return {};
    }

    app::Player player;
};

TEST_F(FaultTrap, MessageTextByteForByte) {
    app::FaultRecord record;
    record.faultLine = 0x7F000000 | 640;  // only the low 24 bits are the line
    record.faultCount = 1;
    record.faultCode = ACCESS_VIOLATION;
    EXPECT_EQ(app::faultMessage(record),
              "Sorry there was an error:\r\n\r\nLine: 640\r\n"
              "Description: An attemped read or write to/from an address to which that process isn't allowed\r\n"
              "Total number of errors: 1\r\n"
              "The program will end now. Thanks to Orvasten for this code ;)");
    record.faultLine = 0x7F000000 | 70000;
    EXPECT_NE(app::faultMessage(record).find("\r\nLine: 70000\r\n"), std::string::npos);
    EXPECT_STREQ(app::faultDescription(DIVISION_BY_ZERO), "Attempted division by zero");
    EXPECT_STREQ(app::faultDescription(0x80000004),
                 "SINGLE_STEP The CPU has signalled that one instruction has been executed.Only of interest "
                 "to Debuggers");
    EXPECT_STREQ(app::faultDescription(0xC000013A), "CONTROL_C_EXIT Lets the debugger know the user hit Ctrl-C. ");
    EXPECT_STREQ(app::faultDescription(0), "No Error");
    EXPECT_STREQ(app::faultDescription(0xC0000006), "UNKNOWN Error");
}

TEST_F(FaultTrap, FaultsArePassedOverUntilTheFirstPassEndsThenEndThePlayer) {
    // A fault in start-up skips the rest of its step; the player starts anyway.
    sim::faultAtNextCall("loadLibrary", ACCESS_VIOLATION);
    app::startUp(player);
    EXPECT_EQ(player.faults.faultCount, 1u);
    EXPECT_TRUE(sim::windowInfo(numbers::MAIN_WINDOW).exists);

    // A fault in the first pass ends that pass before stage 22: still passing over.
    sim::faultAtNextCall("sleepMs", DIVISION_BY_ZERO);
    app::runGuardedPass(player, true);
    EXPECT_EQ(player.faults.mode, app::FaultMode::PassOver);
    EXPECT_EQ(player.faults.faultLine, loopLine("platform::sleepMs(1);"));
    app::runGuardedPass(player, false);
    EXPECT_EQ(player.faults.mode, app::FaultMode::CallHandler);
    EXPECT_TRUE(sim::messagesShown().empty());

    // The third fault ends the player with its code after the box; the fatal
    // path leaves the media device alone.
    sim::faultAtNextCall("sleepMs", ACCESS_VIOLATION);
    const std::size_t sentBefore = sim::mediaLog().size();
    const sim::ProcessExit exit = ended([&] { app::runGuardedPass(player, false); });
    EXPECT_EQ(static_cast<std::uint32_t>(exit.code), ACCESS_VIOLATION);
    EXPECT_FALSE(exit.atOnce);
    ASSERT_EQ(sim::messagesShown().size(), 1u);
    EXPECT_EQ(sim::messagesShown()[0].title, "Debugger");
    const std::string& text = sim::messagesShown()[0].text;
    EXPECT_NE(text.find("Line: " + std::to_string(loopLine("platform::sleepMs(1);")) + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("Total number of errors: 3\r\n"), std::string::npos);
    for (std::size_t i = sentBefore; i < sim::mediaLog().size(); ++i)
        EXPECT_EQ(sim::mediaLog()[i].rfind("status", 0), 0u);
    EXPECT_EQ(sim::servicesStopped(), 1);
    EXPECT_FALSE(sim::faultFilterInstalled());
}

TEST_F(FaultTrap, TheFatalPathKeepsAConsistentPlaylistOnce) {
    writeFile("C:\\Music\\a.mp3", "a");
    writeFile(LIST_FILE, "C:\\old.mp3\r\n");
    start();
    makeList({"C:\\Music\\a.mp3", "C:\\Music\\b.mp3"});

    // Half-changed (a slot without its row): the old file stays.
    player.playlist.slots[2] = "C:\\Music\\c.mp3";
    EXPECT_FALSE(playlist::playlistConsistent(player.playlist));
    playlist::keepListFile(player.playlist);
    EXPECT_EQ(readFile(LIST_FILE), "C:\\old.mp3\r\n");
    player.playlist.slots[2].clear();

    // Unreadable at start: never replaced.
    player.playlist.listFileUnreadable = true;
    playlist::keepListFile(player.playlist);
    EXPECT_EQ(readFile(LIST_FILE), "C:\\old.mp3\r\n");
    player.playlist.listFileUnreadable = false;

    // The playlist is in its file before the box comes up.
    std::string underTheBox;
    sim::watchMessageBoxes([&](const sim::MessageShown&) { underTheBox = readFile(LIST_FILE); });
    sim::faultAtNextCall("sleepMs", ACCESS_VIOLATION);
    ended([&] { app::runGuardedPass(player, false); });
    EXPECT_EQ(underTheBox, "C:\\Music\\a.mp3\r\nC:\\Music\\b.mp3\r\n");
    EXPECT_EQ(readFile(LIST_FILE), underTheBox);

    // Written once: a later end does not write again.
    writeFile(LIST_FILE, "changed since\r\n");
    playlist::keepListFile(player.playlist);
    EXPECT_EQ(readFile(LIST_FILE), "changed since\r\n");
}

TEST_F(FaultTrap, NoListNoSave) {
    writeFile(LIST_FILE, "C:\\old.mp3\r\n");
    sim::failWindowOpen(numbers::PLAYLIST_WINDOW);
    app::startUp(player);
    playlist::keepListFile(player.playlist);
    EXPECT_EQ(readFile(LIST_FILE), "C:\\old.mp3\r\n");
}

TEST_F(FaultTrap, TheCloseButtonsSaveCounts) {
    app::startUp(player);
    makeList({"C:\\a.mp3"});
    app::shutDown(player.playlist);
    writeFile(LIST_FILE, "after the close\r\n");
    playlist::keepListFile(player.playlist);
    EXPECT_EQ(readFile(LIST_FILE), "after the close\r\n");
}

TEST_F(FaultTrap, AnotherThreadsFaultIsHandedToTheLoopsThread) {
    // Before the first pass ends, the faulting thread alone is ended.
    app::startUp(player);
    sim::raiseFaultElsewhere(ACCESS_VIOLATION, 0x10);
    EXPECT_EQ(sim::threadsEnded(), 1);
    app::runGuardedPass(player, true);

    makeList({"C:\\a.mp3"});
    const sim::ProcessExit exit = ended([] { sim::raiseFaultElsewhere(ACCESS_VIOLATION, 0x10); });
    EXPECT_EQ(static_cast<std::uint32_t>(exit.code), ACCESS_VIOLATION);
    EXPECT_FALSE(sim::loopThreadStopped());
    ASSERT_EQ(sim::messagesShown().size(), 1u);
    EXPECT_NE(sim::messagesShown()[0].text.find("Total number of errors: 2\r\n"), std::string::npos);
    EXPECT_EQ(readFile(LIST_FILE), "C:\\a.mp3\r\n");
}

TEST_F(FaultTrap, AnUnansweringLoopThreadIsStoppedAndTheMediaDeviceLeftAlone) {
    start();
    makeList({"C:\\a.mp3"});
    sim::setLoopThreadAnswers(false);
    sim::clearMediaLog();
    const sim::ProcessExit exit = ended([] { sim::raiseFaultElsewhere(ACCESS_VIOLATION); });
    EXPECT_EQ(static_cast<std::uint32_t>(exit.code), ACCESS_VIOLATION);
    EXPECT_TRUE(sim::loopThreadStopped());
    EXPECT_TRUE(sim::mediaLog().empty());
    EXPECT_EQ(sim::messagesShown().size(), 1u);
    EXPECT_EQ(readFile(LIST_FILE), "C:\\a.mp3\r\n");
}

// Stopped inside a call of the window system it never leaves, the loop's
// thread keeps the box from being made, not the save.
TEST_F(FaultTrap, ALoopThreadStuckInTheWindowSystemLeavesTheSaveAndNoBox) {
    start();
    makeList({"C:\\a.mp3"});
    sim::setLoopThreadAnswers(false);
    sim::windowCallAtStop();
    const sim::ProcessExit exit = ended([] { sim::raiseFaultElsewhere(ACCESS_VIOLATION); });
    EXPECT_EQ(static_cast<std::uint32_t>(exit.code), ACCESS_VIOLATION);
    EXPECT_TRUE(exit.atOnce);
    EXPECT_TRUE(sim::messagesShown().empty());
    EXPECT_EQ(readFile(LIST_FILE), "C:\\a.mp3\r\n");
}

TEST_F(FaultTrap, AFaultInsideTheHandlerEndsAtOnceWithoutASecondBox) {
    start();
    // The fatal path's save faults: the process ends at once with that code.
    sim::faultAtNextCall("flushFile", DIVISION_BY_ZERO);
    const sim::ProcessExit exit = ended([] { sim::raiseFault(ACCESS_VIOLATION); });
    EXPECT_EQ(static_cast<std::uint32_t>(exit.code), DIVISION_BY_ZERO);
    EXPECT_TRUE(exit.atOnce);
    EXPECT_TRUE(sim::messagesShown().empty());
    EXPECT_EQ(player.faults.faultCount, 2u);
}

TEST_F(FaultTrap, AFaultElsewhereWhileTheHandlerRunsWaitsForTheEnd) {
    start();
    player.faults.handlerThread = platform::currentThreadId();  // the loop's thread is on the fatal path
    sim::raiseFaultElsewhere(ACCESS_VIOLATION);
    EXPECT_EQ(sim::threadsParked(), 1);
    EXPECT_TRUE(sim::messagesShown().empty());
    // A hand-off that reaches the loop's thread inside its own box returns at
    // once: the box stays answerable instead of the thread parking in it.
    app::takeOverFatalPath(&player);
    EXPECT_TRUE(sim::messagesShown().empty());
}

TEST_F(FaultTrap, TheEndOfTheSessionKeepsThePlaylistOnce) {
    start();
    makeList({"C:\\a.mp3", "C:\\b.mp3"});
    sim::clearMediaLog();
    sim::endSession();  // told to both windows
    EXPECT_EQ(sim::mediaLog(), std::vector<std::string>{"close MP3_1"});
    EXPECT_EQ(readFile(LIST_FILE), "C:\\a.mp3\r\nC:\\b.mp3\r\n");
    EXPECT_FALSE(sim::faultFilterInstalled());
}

// A newer player asks the older one to save before it ends it: the rows the
// older one has now are saved, whole, once per request however many windows
// it reaches, and the close still saves what changed since.
TEST_F(FaultTrap, ANewerPlayersRequestSavesTheWholePlaylistOnce) {
    writeFile(LIST_FILE, "C:\\old.mp3\r\n");
    start();
    makeList({"C:\\a.mp3", "C:\\b.mp3"});
    sim::requestSave(41);  // told to both windows
    EXPECT_EQ(readFile(LIST_FILE), "C:\\a.mp3\r\nC:\\b.mp3\r\n");
    writeFile(LIST_FILE, "changed since\r\n");
    sim::requestSave(41);
    EXPECT_EQ(readFile(LIST_FILE), "changed since\r\n");

    // Half-changed, nothing is saved; the close afterwards saves what it shows.
    player.playlist.slots[2] = "C:\\c.mp3";
    sim::requestSave(42);
    EXPECT_EQ(readFile(LIST_FILE), "changed since\r\n");
    player.playlist.slots[2].clear();
    app::shutDown(player.playlist);
    EXPECT_EQ(readFile(LIST_FILE), "C:\\a.mp3\r\nC:\\b.mp3\r\n");
}

TEST_F(FaultTrap, ARequestToSaveLeavesAListFileThatWasNotReadWhole) {
    writeFile(LIST_FILE, "C:\\kept.mp3\r\n");
    sim::lockFile(LIST_FILE);
    start();
    makeList({"C:\\a.mp3"});
    sim::requestSave(41);
    EXPECT_EQ(readFile(LIST_FILE), "C:\\kept.mp3\r\n");
}

}  // namespace
