// Bad input the player meets in the field: damaged data files and skins, odd
// tracks and paths. Each time it falls back, plays on, and its close button
// still ends it with 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/brumby.h"
#include "app/loop.h"
#include "app/player.h"
#include "app/startup.h"
#include "numbers/numbers.h"
#include "platform/gui.h"
#include "platform/sim/sim.h"
#include "playback/transport.h"
#include "playlist/playlist.h"
#include "skin/skin.h"
#include "support/messages.h"
#include "support/player_test.h"
#include "support/sim_test.h"

namespace {

namespace fs = std::filesystem;

constexpr int IDLE_PASSES = 30;

class BadInput : public SimTest {
protected:
    // The whole program: start-up, some idle passes, then the close button.
    int runUntilClosed() {
        for (int pass = 0; pass < IDLE_PASSES; ++pass) sim::queueRawEvent(support::WM_MOUSEMOVE);
        sim::movePointer(420 + 12, 352 + 10);  // the close button of the centred face
        sim::queueControlEvent(numbers::FACE_CONTROL, 0);
        const int code = app::brumbyMain();
        EXPECT_FALSE(sim::windowInfo(numbers::MAIN_WINDOW).exists);
        EXPECT_EQ(sim::openFileCount(), 0);
        return code;
    }

    const std::string& dataFolder = support::DATA_FOLDER;
    const std::string& dirFile = support::DIR_FILE;
    const std::string& listFile = support::LIST_FILE;
};

// A 24-bit bitmap of one colour, `width` x `height`.
std::string bitmap(int width, int height) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::string bytes(54 + static_cast<std::size_t>(stride) * height, '\x40');
    auto put = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(10, 54);
    put(14, 40);
    put(18, static_cast<std::uint32_t>(width));
    put(22, static_cast<std::uint32_t>(height));
    put(26, 1 | (24 << 16));
    put(30, 0);
    return bytes;
}

TEST_F(BadInput, JunkAndShortSkinsLeaveTheMissingPixelsUnpainted) {
    writeFile("C:\\Tunewell\\back.vnb", std::string(5000, '\x7f'));
    writeFile("C:\\Tunewell\\backmouse.vnb", bitmap(20, 10));
    skin::Skin face;
    skin::loadSkin(face, "C:\\Tunewell\\");
    EXPECT_EQ(face.normalPixels[5 * skin::SKIN_HEIGHT + 5], platform::NO_COLOUR);
    EXPECT_EQ(face.hoverPixels[5 * skin::SKIN_HEIGHT + 5], platform::rgb(0x40, 0x40, 0x40));
    EXPECT_EQ(face.hoverPixels[100 * skin::SKIN_HEIGHT + 50], platform::NO_COLOUR);
    EXPECT_EQ(runUntilClosed(), 0);
}

// Junk, empty and oversized files: the first line is the directory when it is
// a whole absolute one; any other (empty, the stand-in "\\" that would make
// the skin's path a network name, a relative folder) counts as no record: the
// working directory is recorded in its place and the about library comes from there.
TEST_F(BadInput, DamagedInstallationFileIsReplacedByTheWorkingDirectory) {
    struct Case {
        std::string content, libraryPath;
    };
    const std::string junk = "\x01\xfe\xff junk\tbytes";
    const std::string huge(3 * 1024 * 1024, 'x');
    const std::string working = "C:\\Tunewell\\ravlet.dll";
    const std::vector<Case> cases = {
        {junk + "\r\nrest", working},
        {"", working},
        {std::string("\0D:\\after-nul\\", 14), working},
        {huge, working},
        {"\\\r\n", working},
        {"Tunewell\\\r\n", working},
        {"D:" + huge + "\r\n", working},
        {"D:\\Player\\\r\n", "D:\\Player\\ravlet.dll"},
        {"\\\\server\\share\\\r\n", "\\\\server\\share\\ravlet.dll"},
    };
    for (const Case& c : cases) {
        sim::reset(root.string());
        writeFile(dirFile, c.content);
        EXPECT_EQ(runUntilClosed(), 0);
        ASSERT_EQ(sim::loadedLibraries().size(), 1u);
        EXPECT_EQ(sim::loadedLibraries()[0].path, c.libraryPath) << c.content.substr(0, 20);
        const bool kept = c.libraryPath != working;
        EXPECT_EQ(readFile(dirFile), kept ? c.content : "C:\\Tunewell\\\r\n") << c.content.substr(0, 20);
    }
}

// With neither the working directory nor the program's folder known there is
// no installation directory, and the library is not looked for at all.
TEST_F(BadInput, AboutLibraryIsNotLookedUpAlongTheSearchPathWithoutAProgramFolder) {
    writeFile(dirFile, "");
    sim::setCurrentDirectory("C:\\" + std::string(270, 'x'));
    sim::setProgramPath("");
    EXPECT_EQ(runUntilClosed(), 0);
    EXPECT_TRUE(sim::loadedLibraries().empty());
}

// A list file that is a folder is left alone; one of 10 MB of junk gives the
// first 201 of its lines as rows and is replaced by them at the close. A folder
// named like a track is skipped when dropped and fails quietly when named on the
// command line.
TEST_F(BadInput, DamagedListFilesAndAFolderNamedLikeATrack) {
    fs::create_directories(sim::hostPath(listFile));
    EXPECT_EQ(runUntilClosed(), 0);
    EXPECT_TRUE(fs::is_directory(sim::hostPath(listFile)));

    sim::reset(root.string());
    fs::remove(sim::hostPath(listFile));
    std::string junk(10 * 1024 * 1024, '\0');
    std::uint32_t seed = 12345;
    for (char& byte : junk) byte = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    writeFile(listFile, junk);
    EXPECT_EQ(runUntilClosed(), 0);
    const std::string saved = readFile(listFile);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 201);
    EXPECT_EQ(saved.substr(0, saved.find("\r\n")), junk.substr(0, junk.find_first_of(std::string("\r\n\0", 3))));

    sim::reset(root.string());
    fs::create_directories(sim::hostPath("C:\\Music\\x.mp3"));
    sim::setCommandLine("brumby.exe C:\\Music\\x.mp3");
    sim::queueDrop(numbers::PLAYLIST_WINDOW, {"C:\\Music\\x.mp3"});
    EXPECT_EQ(runUntilClosed(), 0);
    EXPECT_EQ(readFile(listFile), "C:\\Music\\x.mp3\r\n") << "the dropped folder made no row";
    const auto& log = sim::mediaLog();
    EXPECT_EQ(std::find(log.begin(), log.end(), "play MP3_1"), log.end());
}

// Each row of the playlist file in turn, by a double click; the close button
// then ends the loop. Empty and 100-byte files are opened (the device decides)
// and labelled by name, a long path is handed over whole, and a path with a
// wildcard names no file: no tag (though C:\Music\ab.mp3 would match it as a
// pattern), no open, while the track before it is still closed.
TEST_F(BadInput, TinyFilesLongPathsAndWildcardsPlayOrFailQuietly) {
    const std::string longPath = "C:\\Music\\" + std::string(120, 'a') + "\\" + std::string(150, 'b') + "\\long.mp3";
    writeFile("C:\\Music\\empty.mp3", "");
    writeFile("C:\\Music\\short.mp3", std::string(100, '\xff'));
    writeFile(longPath, std::string(3000, '\0'));
    std::string tag(125, '\0');
    tag.replace(0, 4, "Song");
    tag.replace(30, 4, "Band");
    writeFile("C:\\Music\\ab.mp3", std::string(4000, '\x55') + tag);
    const std::vector<std::string> paths = {"C:\\Music\\empty.mp3", "C:\\Music\\short.mp3", longPath,
                                            "C:\\Music\\a?.mp3", "C:\\Music\\*.mp3"};
    app::Player player;
    support::startAndRunFirstPass(player);
    for (const std::string& path : paths) playlist::appendPath(player.playlist, path);
    std::vector<std::vector<std::string>> loads;
    for (int row = 0; row < 5; ++row) {
        sim::clearMediaLog();
        sim::selectRow(numbers::PLAYLIST_LIST, row);
        sim::queueControlEvent(numbers::PLAYLIST_LIST, platform::EVENT_LEFT_DOUBLE_CLICK);
        app::runPass(player, false);
        app::runPass(player, false);
        loads.push_back(sim::mediaLog());
    }
    EXPECT_EQ(sim::listRows(numbers::PLAYLIST_LIST), (std::vector<std::string>{"empty", "short", "long", "a?", "*"}));
    auto opens = [](const std::vector<std::string>& log) {
        return std::count_if(log.begin(), log.end(), [](const std::string& c) { return c.rfind("OPEN", 0) == 0; });
    };
    EXPECT_EQ(opens(loads[0]), 1);
    EXPECT_EQ(opens(loads[1]), 1);
    EXPECT_NE(std::find(loads[2].begin(), loads[2].end(), "OPEN \"" + longPath + "\" Type MPEGVIDEO ALIAS MP3_1"),
              loads[2].end());
    for (int wildcard : {3, 4}) {
        EXPECT_EQ(opens(loads[wildcard]), 0);
        EXPECT_NE(std::find(loads[wildcard].begin(), loads[wildcard].end(), "close MP3_1"), loads[wildcard].end());
    }
    EXPECT_FALSE(player.transport.trackOpen);
    EXPECT_FALSE(sim::aliasOpen(1));
    EXPECT_EQ(player.tag.trackTitle, "");

    sim::movePointerToClient(numbers::MAIN_WINDOW, 12, 10);
    sim::queueControlEvent(numbers::FACE_CONTROL, platform::EVENT_LEFT_CLICK);
    app::runPass(player, false);
    app::runPass(player, false);
    EXPECT_EQ(player.app.quitFlag, 1);
    std::string list;
    for (const std::string& path : paths) list += path + "\r\n";
    EXPECT_EQ(readFile(listFile), list);
}

}  // namespace
