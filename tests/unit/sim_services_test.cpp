// Checks the simulated services' tricky parts that the player's scenario tests lean on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/draw.h"
#include "platform/file_lookup.h"
#include "platform/files.h"
#include "platform/gui.h"
#include "platform/media.h"
#include "platform/names.h"
#include "platform/shell.h"
#include "platform/sim/sim.h"
#include "platform/system.h"

namespace {

namespace fs = std::filesystem;

class SimServices : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/sim_services_XXXXXX";
        root = mkdtemp(pattern);
        sim::reset(root);
    }
    void TearDown() override {
        sim::reset("");
        fs::remove_all(root);
    }
    void writeHostFile(const std::string& windowsPath, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(sim::hostPath(windowsPath), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::string root;
};

// A 24-bit bitmap of width x height whose pixel (x, y) has red x, green y, blue 7.
std::vector<std::uint8_t> makeBitmap(int width, int height, bool topDown) {
    int stride = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> bytes(54 + stride * height, 0);
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(topDown ? -height : height));
    bytes[26] = 1;
    bytes[28] = 24;
    for (int y = 0; y < height; ++y) {
        int row = topDown ? y : height - 1 - y;
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &bytes[54 + row * stride + x * 3];
            p[0] = 7;
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x);
        }
    }
    return bytes;
}

TEST_F(SimServices, MapsWindowsPathsBelowTheRoot) {
    EXPECT_EQ(sim::hostPath("c:\\Users\\tester\\a.txt"), root + "/C/Users/tester/a.txt");
    EXPECT_EQ(sim::hostPath("\\Tunewell\\\\back.vnb"), root + "/C/Tunewell/back.vnb");
    EXPECT_EQ(sim::hostPath("song.mp3"), root + "/C/Tunewell/song.mp3");
    EXPECT_EQ(sim::hostPath("D:\\x\\..\\y"), root + "/D/y");
    // Existing folders are found whatever the letter case, as on Windows.
    EXPECT_EQ(sim::hostPath("C:\\USERS\\Tester"), root + "/C/Users/tester");
    EXPECT_EQ(platform::environmentVariable("userprofile"), "C:\\Users\\tester");
    // The working directory and the program path fit 259 characters, as the
    // 260-character buffers of the real calls hold them with their end.
    const std::string fits = "C:\\" + std::string(256, 'a');
    for (const std::string& path : {fits, fits + "a"}) {
        sim::setCurrentDirectory(path);
        sim::setProgramPath(path);
        const std::string expected = path.size() < 260 ? path : "";
        EXPECT_EQ(platform::currentDirectory(), expected);
        EXPECT_EQ(platform::programPath(), expected);
    }
}

TEST_F(SimServices, FilesFollowTheSystemsOpenRules) {
    EXPECT_EQ(platform::fileSize(""), -1);
    EXPECT_EQ(platform::fileSize("C:\\Tunewell"), 0);
    EXPECT_FALSE(platform::createFolder("C:\\missing\\child"));
    EXPECT_TRUE(platform::createFolder("C:\\Tunewell\\data"));
    EXPECT_FALSE(platform::createFolder("C:\\Tunewell\\data"));
    EXPECT_EQ(platform::openFile("C:\\Tunewell\\none.txt", platform::FileMode::ReadExisting), -1);
    EXPECT_EQ(platform::openFile("C:\\nowhere\\a.txt", platform::FileMode::WriteTruncate), -1);
    int file = platform::openFile("C:\\Tunewell\\data\\a.txt", platform::FileMode::WriteTruncate);
    ASSERT_GE(file, 0);
    EXPECT_EQ(platform::writeFile(file, "hello", 5), 5);
    EXPECT_FALSE(platform::seekFile(file, -1));
    // Handles share reads only: a file open for writing cannot be opened again.
    EXPECT_EQ(platform::openFile("C:\\TUNEWELL\\data\\a.txt", platform::FileMode::ReadExisting), -1);
    EXPECT_EQ(sim::openFileCount(), 1);
    platform::closeFile(file);
    EXPECT_EQ(sim::openFileCount(), 0);
    EXPECT_EQ(platform::fileSize("C:\\Tunewell\\data\\a.txt"), 5);
    EXPECT_EQ(platform::firstMatchSize("C:\\Tunewell\\data\\*.txt"), 5) << "the system's lookup takes patterns";
    EXPECT_EQ(platform::fileSize("C:\\Tunewell\\data\\*.txt"), -1) << "a wildcard names no file";
    EXPECT_EQ(platform::fileSize("C:\\Tunewell\\data\\?.txt"), -1);
    std::vector<std::string> replaced;
    sim::watchFileReplacements([&replaced](const std::string& path) { replaced.push_back(path); });
    EXPECT_TRUE(platform::replaceFile("C:\\Tunewell\\data\\a.txt", "C:\\Tunewell\\b.txt"));
    EXPECT_FALSE(platform::replaceFile("C:\\Tunewell\\data\\a.txt", "C:\\Tunewell\\b.txt"));
    EXPECT_EQ(replaced, std::vector<std::string>({"C:\\Tunewell\\b.txt"}));
}

TEST_F(SimServices, WorldWithoutADiskKeepsFilesInMemory) {
    sim::reset("");
    sim::putMemoryFile("C:\\Music\\a.mp3", "0123456789");
    EXPECT_EQ(platform::fileSize("c:\\music\\A.MP3"), 10);
    int file = platform::openFile("C:\\Music\\a.mp3", platform::FileMode::ReadExisting);
    char bytes[4] = {};
    EXPECT_TRUE(platform::seekFile(file, 7));
    EXPECT_EQ(platform::readFile(file, bytes, 4), 3);
    EXPECT_EQ(std::string(bytes, 3), "789");
    EXPECT_EQ(platform::writeFile(file, "x", 1), 0) << "opened for reading";
    EXPECT_EQ(platform::openFile("C:\\Music\\a.mp3", platform::FileMode::WriteTruncate), -1) << "shares reads only";
    platform::closeFile(file);
    EXPECT_EQ(platform::openFile("C:\\none.txt", platform::FileMode::ReadExisting), -1);
    file = platform::openFile("C:\\list.txt", platform::FileMode::WriteTruncate);
    EXPECT_EQ(platform::writeFile(file, "one\r\n", 5), 5);
    platform::closeFile(file);
    EXPECT_EQ(sim::memoryFile("C:\\LIST.TXT"), "one\r\n");
    EXPECT_EQ(sim::openFileCount(), 0);
}

// A kill leaves the files as the system would: every byte a write put in,
// the temporary file where it is; a new start keeps them and drops the dead
// process's handles. A failing close loses what was written since the flush.
TEST_F(SimServices, KillsAndFailingClosesLeaveFilesAsTheSystemWould) {
    sim::reset("");
    sim::killAtCall(3);
    const int file = platform::openFile("C:\\d\\list.tmp", platform::FileMode::WriteTruncate);
    EXPECT_EQ(platform::writeFile(file, "new\r\n", 5), 5);
    EXPECT_THROW(platform::flushFile(file), sim::Killed);
    sim::startAgain();
    EXPECT_EQ(sim::memoryFile("C:\\d\\list.tmp"), "new\r\n");
    EXPECT_EQ(sim::openFileCount(), 0);

    sim::reset("");
    sim::failCall(5);
    const int kept = platform::openFile("C:\\d\\dir.vnd", platform::FileMode::WriteTruncate);
    platform::writeFile(kept, "abc", 3);
    EXPECT_TRUE(platform::flushFile(kept));
    platform::writeFile(kept, "def", 3);
    platform::closeFile(kept);
    EXPECT_EQ(sim::memoryFile("C:\\d\\dir.vnd"), "abc");
    EXPECT_EQ(sim::openFileCount(), 0);
}

TEST_F(SimServices, KeyReportsAPressOnceAfterItWasReleased) {
    sim::tapKey(0xB0);
    EXPECT_TRUE(platform::keyPressed(0xB0));
    EXPECT_FALSE(platform::keyPressed(0xB0));
    sim::holdKey(1);
    EXPECT_TRUE(platform::keyPressed(1));
    EXPECT_TRUE(platform::keyPressed(1));
    sim::holdKey(2);
    sim::releaseKey(2);
    EXPECT_TRUE(platform::keyPressed(2));  // pressed since the last query
    EXPECT_FALSE(platform::keyPressed(2));
}

TEST_F(SimServices, PointerIsInsideUpToTheClientEdgeInclusive) {
    platform::WindowLayout layout;
    layout.x = 100;
    layout.y = 50;
    layout.clientWidth = 184;
    layout.clientHeight = 64;
    ASSERT_TRUE(platform::openWindow(0, layout));
    sim::movePointerToClient(0, 184, 64);
    EXPECT_EQ(platform::pointerIn(0).x, 184);
    EXPECT_EQ(platform::pointerIn(0).y, 64);
    sim::movePointerToClient(0, 185, 10);
    EXPECT_EQ(platform::pointerIn(0).x, -1);
    EXPECT_EQ(platform::pointerIn(0).y, -1);
    sim::movePointerToClient(0, 5, 5);
    EXPECT_EQ(platform::pointerIn(7).x, -1);
}

TEST_F(SimServices, ListSelectionMovesWithItsRow) {
    platform::WindowLayout layout;
    layout.clientWidth = 10;
    layout.clientHeight = 10;
    ASSERT_TRUE(platform::openWindow(1, layout));
    ASSERT_TRUE(platform::addListControl(1, 14, 0, 0, 10, 10, 0, 0));
    EXPECT_EQ(platform::listInsert(14, -1, "a"), 0);
    EXPECT_EQ(platform::listInsert(14, -1, "c"), 1);
    EXPECT_EQ(platform::listInsert(14, 1, "b"), 1);
    EXPECT_EQ(platform::listInsert(14, 4, "x"), -1);
    sim::selectRow(14, 1);
    platform::listInsert(14, 0, "first");
    EXPECT_EQ(platform::listSelected(14), 2);
    platform::listDelete(14, 0);
    EXPECT_EQ(platform::listSelected(14), 1);
    platform::listDelete(14, 2);
    EXPECT_EQ(platform::listSelected(14), 1);
    platform::listDelete(14, 1);
    EXPECT_EQ(platform::listSelected(14), -1);
    EXPECT_EQ(sim::listRows(14), std::vector<std::string>{"a"});
}

TEST_F(SimServices, MediaPositionFollowsTheClockAndStopsAtTheEnd) {
    writeHostFile("C:\\Tunewell\\song.mp3", {1, 2, 3});
    sim::setTrackLength("C:\\Tunewell\\song.mp3", 5000);
    char reply[260];
    EXPECT_EQ(platform::mediaCommand("status MP3_1 position", reply, 260), sim::MEDIA_INVALID_DEVICE);
    EXPECT_EQ(platform::mediaCommand("OPEN \"C:\\Tunewell\\song.mp3\" Type MPEGVIDEO ALIAS MP3_1", nullptr, 0), 0);
    EXPECT_EQ(platform::mediaCommand("OPEN \"C:\\Tunewell\\song.mp3\" Type MPEGVIDEO ALIAS MP3_1", nullptr, 0),
              sim::MEDIA_DUPLICATE_ALIAS);
    platform::mediaCommand("play MP3_1", nullptr, 0);
    platform::sleepMs(1200);
    platform::mediaCommand("status MP3_1 position", reply, 260);
    EXPECT_STREQ(reply, "1200");
    platform::mediaCommand("pause MP3_1", nullptr, 0);
    sim::advanceClock(1000);
    EXPECT_EQ(sim::aliasPosition(1), 1200);
    platform::mediaCommand("play MP3_1 from 4000", nullptr, 0);
    sim::advanceClock(3000);
    EXPECT_EQ(sim::aliasPosition(1), 5000);
    EXPECT_FALSE(sim::trackPlaying());
    platform::mediaCommand("status MP3_1 mode", reply, 260);
    EXPECT_STREQ(reply, "stopped");
    platform::mediaCommand("Seek MP3_1 to 100", nullptr, 0);
    EXPECT_EQ(sim::aliasMode(1), "stopped");
    EXPECT_EQ(sim::aliasPosition(1), 100);
    platform::mediaCommand("close MP3_1", nullptr, 0);
    platform::mediaCommand("close MP3_1", nullptr, 0);  // nothing left to close
    const sim::MediaCounts counts = sim::mediaCounts();
    EXPECT_EQ(std::vector<int>({counts.opened, counts.closed, counts.refusedInUse}), std::vector<int>({1, 1, 1}));
}

TEST_F(SimServices, MediaOpenRefusesMissingMalformedAndUnknownFiles) {
    writeHostFile("C:\\Tunewell\\note.txt", {1});
    writeHostFile("C:\\Tunewell\\a.WAV", {1});
    EXPECT_EQ(platform::mediaCommand("OPEN \"C:\\Tunewell\\gone.mp3\" Type MPEGVIDEO ALIAS MP3_1", nullptr, 0),
              sim::MEDIA_FILE_NOT_FOUND);
    EXPECT_EQ(platform::mediaCommand("OPEN \"C:\\Tunewell\\note.txt\" Type MPEGVIDEO ALIAS MP3_1", nullptr, 0),
              sim::MEDIA_INVALID_DEVICE);
    EXPECT_NE(platform::mediaCommand("OPEN \"C:\\Tune\"well\\a.WAV\" Type MPEGVIDEO ALIAS MP3_1", nullptr, 0), 0);
    EXPECT_EQ(platform::mediaCommand("OPEN \"C:\\Tunewell\\a.WAV\" Type MPEGVIDEO ALIAS MP3_1", nullptr, 0), 0);
    EXPECT_EQ(sim::mediaLog().size(), 4u);
}

TEST_F(SimServices, WavLengthComesFromItsHeader) {
    // 44-byte header: 1000 bytes of data at 4000 bytes per second = 250 ms.
    std::vector<std::uint8_t> wav = {'R', 'I', 'F', 'F', 0, 0, 0,   0,   'W', 'A',  'V',  'E',  'f', 'm',  't',
                                     ' ', 16,  0,   0,   0, 1, 0,   1,   0,   0xA0, 0x0F, 0,    0,   0xA0, 0x0F,
                                     0,   0,   1,   0,   8, 0, 'd', 'a', 't', 'a',  0xE8, 0x03, 0,   0};
    wav.resize(wav.size() + 1000);
    writeHostFile("C:\\Tunewell\\tone.wav", wav);
    ASSERT_EQ(platform::mediaCommand("OPEN \"tone.wav\" Type MPEGVIDEO ALIAS MP3_1", nullptr, 0), 0);
    char reply[8];
    platform::mediaCommand("status MP3_1 length", reply, 8);
    EXPECT_STREQ(reply, "250");
}

TEST_F(SimServices, BitmapsDecodeBothRowOrders) {
    for (bool topDown : {false, true}) {
        std::vector<std::uint8_t> bytes = makeBitmap(5, 3, topDown);
        ASSERT_TRUE(platform::decodeBitmap(4, bytes.data(), bytes.size()));
        sim::Image image = sim::imageInfo(4);
        ASSERT_EQ(image.width, 5);
        ASSERT_EQ(image.height, 3);
        EXPECT_EQ(image.pixels[2 * 5 + 4], platform::rgb(4, 2, 7));
        EXPECT_FALSE(platform::decodeBitmap(5, bytes.data(), bytes.size() - 1));
    }
    std::vector<std::uint8_t> bytes = makeBitmap(5, 3, false);
    writeHostFile("C:\\Tunewell\\back.vnb", bytes);
    std::vector<platform::Colour> table(6 * 4);
    platform::readBitmapPixels("C:\\Tunewell\\\\back.vnb", 6, 4, table.data());
    EXPECT_EQ(table[3 * 4 + 1], platform::rgb(3, 1, 7));
    EXPECT_EQ(table[5 * 4 + 0], platform::NO_COLOUR);
    EXPECT_EQ(table[0 * 4 + 3], platform::NO_COLOUR);
}

TEST_F(SimServices, ImageControlShowsItsPictureAndTextFillsItsCell) {
    std::vector<std::uint8_t> bytes = makeBitmap(4, 4, false);
    ASSERT_TRUE(platform::decodeBitmap(0, bytes.data(), bytes.size()));
    platform::WindowLayout layout;
    layout.clientWidth = 3;
    layout.clientHeight = 20;
    ASSERT_TRUE(platform::openWindow(0, layout));
    ASSERT_TRUE(platform::addImageControl(0, 0, 0, 0, 0, 4, 4));
    EXPECT_EQ(sim::pixel(0, 2, 1), platform::rgb(2, 1, 7));
    EXPECT_EQ(sim::pixel(0, 0, 5), platform::NO_COLOUR);
    platform::acquireDrawingSurface(0);
    platform::setTextBackground(platform::rgb(9, 9, 9));
    platform::setTextPosition(0, 4);
    platform::drawText("ab");
    platform::plotPixel(1, 1, platform::NO_COLOUR);
    EXPECT_EQ(sim::pixel(0, 1, 1), platform::rgb(1, 1, 7));
    EXPECT_EQ(sim::pixel(0, 2, 19), platform::rgb(9, 9, 9));
    ASSERT_EQ(sim::textsDrawn().size(), 1u);
    EXPECT_EQ(sim::textsDrawn()[0].text, "ab");
}

// Each picture slot, font number, fill colour and the held context is one
// object; made again under its number it frees the old one; all go at the stop.
TEST_F(SimServices, DrawingObjectsAreCountedAsTheSystemKeepsThem) {
    platform::WindowLayout layout;
    layout.clientWidth = 4;
    layout.clientHeight = 4;
    ASSERT_TRUE(platform::openWindow(0, layout));
    const std::vector<std::uint8_t> bytes = makeBitmap(2, 2, false);
    for (int twice = 0; twice < 2; ++twice) {
        platform::decodeBitmap(3, bytes.data(), bytes.size());
        platform::createFont(1, "Arial", 7, 700);
        platform::acquireDrawingSurface(0);
    }
    for (platform::Colour colour : {platform::rgb(1, 2, 3), platform::rgb(4, 5, 6), platform::rgb(1, 2, 3)})
        platform::fillBox(0, 0, 2, 2, colour);
    auto counts = [] {
        const sim::GdiObjects objects = sim::gdiObjects();
        return std::vector<int>({objects.created, objects.freed, objects.held});
    };
    EXPECT_EQ(counts(), std::vector<int>({8, 3, 5}));
    platform::stopServices();
    EXPECT_EQ(counts(), std::vector<int>({8, 8, 0}));
}

TEST_F(SimServices, PopupChoiceBecomesTheNextMenuEvent) {
    platform::createPopupMenu(20);
    platform::createPopupMenu(30);
    platform::appendMenuItem(30, 27, "Linear");
    platform::appendSubmenu(20, 30, "Animation");
    platform::setMenuCheck(20, 27, true);
    EXPECT_EQ(sim::menuCheck(20, 27), 1);
    sim::queueControlEvent(0, platform::EVENT_LEFT_CLICK);
    sim::queuePopupChoice(27);
    platform::showPopupMenu(20, 0, 5, 6);
    platform::Event event;
    platform::pollEvent(event);
    EXPECT_EQ(event.lastEvent, platform::EVENT_MENU);
    EXPECT_EQ(event.eventSource, 27);
    platform::pollEvent(event);
    EXPECT_EQ(event.lastEvent, platform::EVENT_CONTROL);
    platform::pollEvent(event);
    EXPECT_EQ(event.lastEvent, platform::EVENT_NONE);
    EXPECT_EQ(event.eventSource, 0);
}

TEST_F(SimServices, OwnedWindowFollowsItsOwnerOffTheScreen) {
    platform::WindowLayout face;
    face.clientWidth = 184;
    face.clientHeight = 64;
    ASSERT_TRUE(platform::openWindow(0, face));
    platform::WindowLayout list = face;
    list.owner = 0;
    list.visible = false;
    ASSERT_TRUE(platform::openWindow(1, list));
    platform::addImageControl(0, 0, -1, 0, 0, 184, 64);
    platform::showWindowNormal(1);
    sim::queueControlEvent(0, platform::EVENT_LEFT_CLICK);
    platform::Event event;
    platform::pollEvent(event);
    EXPECT_EQ(sim::foregroundWindow(), 0);  // the click activated the face
    platform::showWindowNormal(1);          // already shown: no activation
    platform::minimiseWindow(0);
    EXPECT_TRUE(sim::windowInfo(0).minimised);
    EXPECT_FALSE(sim::windowInfo(1).visible);
    sim::restoreWindow(0);
    EXPECT_FALSE(sim::windowInfo(0).minimised);
    EXPECT_EQ(sim::foregroundWindow(), 0);
    EXPECT_TRUE(sim::windowInfo(1).visible);
    platform::closeWindow(0);
    EXPECT_FALSE(platform::windowExists(1));
}

TEST_F(SimServices, DropAndDialogAnswerLikeTheShell) {
    std::uintptr_t drop = sim::queueDrop(1, {"C:\\a.mp3", "C:\\b.txt"}, false);
    platform::Event event;
    platform::pollEvent(event);
    EXPECT_EQ(event.lastEvent, platform::EVENT_DROP_FILES);
    EXPECT_EQ(event.dropHandle, drop);
    platform::DroppedFiles dropped = platform::takeDroppedFiles(drop);
    EXPECT_FALSE(dropped.inside);
    EXPECT_EQ(dropped.paths, (std::vector<std::string>{"C:\\a.mp3", "C:\\b.txt"}));
    EXPECT_TRUE(sim::dropFinished(drop));
    EXPECT_TRUE(platform::takeDroppedFiles(drop).paths.empty());  // a released handle holds nothing

    sim::queueFileDialog({"C:\\m", "a.mp3", "b.ogg"}, true);
    EXPECT_EQ(platform::openFileDialog(0, "f|*.*", 18), (std::vector<std::string>{"C:\\m", "a.mp3", "b.ogg"}));
    sim::queueFileDialog({"C:\\m", "a.mp3", "b.ogg"}, true);
    EXPECT_TRUE(platform::openFileDialog(0, "f|*.*", 17).empty());   // one short of the closing NUL
    EXPECT_TRUE(platform::openFileDialog(0, "f|*.*", 100).empty());  // nothing queued: cancelled
    EXPECT_EQ(sim::fileDialogFilters().size(), 3u);
}

TEST_F(SimServices, LibraryFunctionRunsOnlyFromALoadedLibrary) {
    int calls = 0;
    sim::registerLibraryFunction("about", [&calls] { return ++calls; });
    EXPECT_FALSE(platform::loadLibrary(0, "C:\\Tunewell\\ravlet.dll"));
    EXPECT_FALSE(platform::callLibraryFunction(0, "about"));
    writeHostFile("C:\\Tunewell\\ravlet.dll", {0});
    EXPECT_TRUE(platform::loadLibrary(0, "C:\\Tunewell\\ravlet.dll"));
    EXPECT_FALSE(platform::callLibraryFunction(0, "other"));
    EXPECT_TRUE(platform::callLibraryFunction(0, "about"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sim::libraryCalls().size(), 3u);
}

}  // namespace
