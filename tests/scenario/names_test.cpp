// Names as the system spells them: files whose names the system gives in
// UTF-16 come in by the command line, a drop, the dialog or the list file.
// A name the code page spells is kept in its bytes; one it cannot is kept by
// its short form, and its row shows the long name; without short forms such a
// file is passed over. Under a double-byte code page (932) and under UTF-8
// (65001) every path is walked by characters: a character whose second byte
// has the value of '\' or '|' is never taken for a separator.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "app/startup.h"
#include "numbers/numbers.h"
#include "platform/sim/sim.h"
#include "playlist/adding.h"
#include "support/player_test.h"

namespace {

using Rows = std::vector<std::string>;

using support::DIR_FILE;
using support::LIST_FILE;

enum class Entry { CommandLine, Drop, Dialog, ListFile };
const auto ENTRIES = ::testing::Values(Entry::CommandLine, Entry::Drop, Entry::Dialog, Entry::ListFile);

std::string entryName(Entry entry) {
    constexpr const char* NAMES[] = {"CommandLine", "Drop", "Dialog", "ListFile"};
    return NAMES[static_cast<int>(entry)];
}

class NamesTest : public PlayerTest {
protected:
    // Starts the player and hands it the files `names` (in UTF-8) of `folder`
    // through `entry`. The list file holds each path in the single-byte form
    // the player keeps, one a line.
    void enterFiles(Entry entry, const std::string& folder, const Rows& names) {
        Rows paths;
        for (const std::string& name : names) paths.push_back(folder + "\\" + name);
        if (entry == Entry::CommandLine) {
            std::string line = "brumby.exe";
            for (const std::string& path : paths) line += " \"" + path + "\"";
            sim::setCommandLine(line);
        }
        if (entry == Entry::ListFile) {
            std::string lines;
            for (const std::string& path : paths) lines += platform::singleBytePath(path) + "\r\n";
            writeFile(LIST_FILE, lines);
        }
        app::startUp(player);
        app::runPass(player, true);
        if (entry == Entry::Drop) sim::queueDrop(numbers::PLAYLIST_WINDOW, paths);
        if (entry == Entry::Dialog) {
            Rows answer = {folder};
            answer.insert(answer.end(), names.begin(), names.end());
            sim::queueFileDialog(answer, true);
            sim::queueControlEvent(numbers::FRAME_BOTTOM_CONTROL, platform::EVENT_LEFT_CLICK);
            sim::movePointerToClient(numbers::PLAYLIST_WINDOW, 30, 190);
        }
        pass();
        pass();
    }

    Rows slots(std::size_t count) const {
        return Rows(player.playlist.slots.begin(), player.playlist.slots.begin() + static_cast<long>(count));
    }

    // Double-clicks a row: the device is asked to open its slot's path.
    void playRow(int row) {
        sim::selectRow(numbers::PLAYLIST_LIST, row);
        sim::queueControlEvent(numbers::PLAYLIST_LIST, platform::EVENT_LEFT_DOUBLE_CLICK);
        pass();
        pass();
    }
};

// Names outside the Western code page (1252).

const std::string WESTERN = "Bj\xC3\xB6rk - J\xC3\xB3ga.mp3";  // in UTF-8, as the system gives it
const std::string WESTERN_BYTES = "C:\\Music\\Bj\xF6rk - J\xF3ga.mp3";
const std::string FAR = "\xD0\x9C\xD1\x83\xD0\xBC\xD0\xB8\xD0\xB9 - \xE5\x9D\x82\xE6\x9C\xAC.mp3";
const std::string FAR_SHORT = "C:\\Music\\____~PZ2.MP3";
const Rows ALL_ROWS = {"a", "Bj\xC3\xB6rk - J\xC3\xB3ga",
                       "\xD0\x9C\xD1\x83\xD0\xBC\xD0\xB8\xD0\xB9 - \xE5\x9D\x82\xE6\x9C\xAC"};

class Names : public NamesTest, public ::testing::WithParamInterface<Entry> {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        for (const std::string& path : {std::string("C:\\Music\\a.mp3"), WESTERN_BYTES, FAR_SHORT})
            writeFile(path, "audio");
        sim::nameFile("C:\\Music\\" + FAR, FAR_SHORT);
    }
};

TEST_P(Names, KeepTheCodePagesBytesOrTheShortFormAndShowTheRealName) {
    enterFiles(GetParam(), "C:\\Music", {"a.mp3", WESTERN, FAR});
    EXPECT_EQ(rows(), ALL_ROWS);
    EXPECT_EQ(slots(3), (Rows{"C:\\Music\\a.mp3", WESTERN_BYTES, FAR_SHORT}));
    // The short form is what the device opens, and the row keeps its long name once loaded.
    playRow(2);
    EXPECT_EQ(sim::aliasPath(1), FAR_SHORT);
    EXPECT_EQ(rows(), ALL_ROWS);
    clickFace(12, 10);
    EXPECT_EQ(readFile(LIST_FILE), "C:\\Music\\a.mp3\r\n" + WESTERN_BYTES + "\r\n" + FAR_SHORT + "\r\n");
}

// On a volume that keeps no short forms the file the code page cannot spell
// never becomes a row that cannot play; the others come in as ever.
TEST_P(Names, WithoutShortFormsOnlyTheNameTheCodePageCannotSpellIsPassedOver) {
    sim::keepNoShortForms();
    enterFiles(GetParam(), "C:\\Music", {"a.mp3", WESTERN, FAR});
    EXPECT_EQ(rows(), (Rows{ALL_ROWS[0], ALL_ROWS[1]}));
    EXPECT_EQ(player.playlist.slots[2], "");
}

// Only paths that can play become rows, whichever way they come: one holding
// a control character (a line feed would be saved as one line and read back
// as two rows) is passed over like a file of another type; one of 260
// characters or more is kept by its short form, its row named by its long
// name, or passed over when it has none.
TEST_P(Names, OnlyPathsThatCanPlayBecomeRows) {
    const std::string deep = std::string(200, 'd');
    const std::string longName = std::string(60, 'n') + ".wav";
    const std::string longShort = "C:\\Music\\DDDDDD~1\\NNNNNN~1.WAV";
    writeFile("C:\\Music\\" + deep + "\\" + longName, "RIFF");
    writeFile("C:\\Music\\" + deep + "\\o" + longName, "RIFF");
    writeFile(longShort, "RIFF");
    writeFile("C:\\Music\\c.wav", "RIFF");
    sim::nameFile("C:\\Music\\" + deep + "\\" + longName, longShort);
    const Entry entry = GetParam();
    // A list file's line ends at a line feed; a tab stands for the control characters there.
    const std::string control = entry == Entry::ListFile ? "a\tb.wav" : "a\nb.wav";
    enterFiles(entry, "C:\\Music", {control, deep + "\\" + longName, deep + "\\o" + longName, "c.wav"});
    EXPECT_EQ(rows(), (Rows{std::string(60, 'n'), "c"}));
    EXPECT_EQ(slots(3), (Rows{longShort, "C:\\Music\\c.wav", ""}));
    clickFace(12, 10);
    EXPECT_EQ(readFile(LIST_FILE), longShort + "\r\nC:\\Music\\c.wav\r\n");
}

INSTANTIATE_TEST_SUITE_P(Entries, Names, ENTRIES,
                         [](const ::testing::TestParamInfo<Entry>& info) { return entryName(info.param); });

// The limit counts characters as the system does, not bytes: 259 are kept,
// 260 take the short form, and in code page 932 a path of 259 characters
// spelled in 400 bytes is still kept as it is.
TEST_F(NamesTest, TheLimitIs260Characters) {
    const std::string shortForm = "C:\\LONG~1.WAV";
    writeFile(shortForm, "RIFF");
    const std::string folder = "C:\\Music\\" + std::string(200, 'd') + "\\";
    const auto name = [&](std::size_t length) {
        return folder + std::string(length - folder.size() - 4, 'n') + ".wav";
    };
    for (std::size_t length : {259u, 260u}) {
        writeFile(name(length), "RIFF");
        sim::nameFile(name(length), shortForm);
        EXPECT_EQ(playlist::playablePath(name(length)), length == 259 ? name(length) : shortForm);
    }
    sim::setCodePage(932);
    std::string wide = "C:\\";
    while (wide.size() < 400) wide += "\x95\x5C";
    wide += std::string(259 - 3 - (wide.size() - 3) / 2, 'n');
    EXPECT_EQ(playlist::playablePath(wide), wide);
    EXPECT_EQ(playlist::playablePath(wide + "n"), "");
}

// Other system code pages: one table of names, whose characters' second bytes
// have the values of '\' (ソ = 83 5C, 表 = 95 5C) and '|' (ポ = 83 7C) in code
// page 932, in a folder whose name ends in such a character, through every way in.

struct Name {
    const char* utf8;
    const char* cp932;
};
const Name FOLDER = {"C:\\Music\\\xE8\xA1\xA8", "C:\\Music\\\x95\x5C"};
const Name NAMES[] = {
    {"\xE3\x82\xBD\xE3\x83\xB3\xE3\x82\xB0.wav", "\x83\x5C\x83\x93\x83\x4F.wav"},
    {"\xE8\xA1\xA8.wav", "\x95\x5C.wav"},
    {"\xE3\x83\x9D.mp3", "\x83\x7C.mp3"},
    {"plain2.wav", "plain2.wav"},
};
const Rows LABELS = {"\xE3\x82\xBD\xE3\x83\xB3\xE3\x82\xB0", "\xE8\xA1\xA8", "\xE3\x83\x9D", "plain2"};

class CodePages : public NamesTest, public ::testing::WithParamInterface<std::tuple<unsigned, Entry>> {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        sim::setCodePage(codePage());
    }

    unsigned codePage() const { return std::get<0>(GetParam()); }

    // A text of the table in the code page's bytes.
    std::string spelled(const Name& name) const { return codePage() == 932 ? name.cp932 : name.utf8; }
};

TEST_P(CodePages, NamesWhoseSecondBytesLookLikeSeparatorsKeepTheirRowsAndBytes) {
    Rows names, paths;
    std::string saved;
    for (const Name& name : NAMES) {
        names.push_back(name.utf8);
        paths.push_back(spelled(FOLDER) + "\\" + spelled(name));
        saved += paths.back() + "\r\n";
        writeFile(paths.back(), "RIFF");
    }
    enterFiles(std::get<1>(GetParam()), FOLDER.utf8, names);
    EXPECT_EQ(rows(), LABELS);
    EXPECT_EQ(slots(4), paths);
    playRow(1);
    EXPECT_EQ(sim::aliasPath(1), paths[1]);
    EXPECT_EQ(rows(), LABELS);
    clickFace(12, 10);
    EXPECT_EQ(readFile(LIST_FILE), saved);
}

INSTANTIATE_TEST_SUITE_P(Systems, CodePages, ::testing::Combine(::testing::Values(932u, 65001u), ENTRIES),
                         [](const ::testing::TestParamInfo<std::tuple<unsigned, Entry>>& info) {
                             return "cp" + std::to_string(std::get<0>(info.param)) + "_" +
                                    entryName(std::get<1>(info.param));
                         });

// An installation folder whose name ends in such a character is recorded with
// one separator after it, read back as a whole directory, and gives the skins
// and the about library their paths.
TEST_F(NamesTest, AnInstallationFolderEndingInSuchACharacter) {
    for (unsigned codePage : {932u, 65001u}) {
        sim::reset(root.string());
        sim::setCodePage(codePage);
        std::filesystem::remove(sim::hostPath(DIR_FILE));
        const std::string folder = codePage == 932 ? "C:\\Tools\\\x83\x5C" : "C:\\Tools\\\xE3\x82\xBD";
        sim::setCurrentDirectory("C:\\Tools\\\xE3\x82\xBD");
        std::ifstream source(std::string(TUNEWELL_SOURCE_DIR) + "/assets/back.vnb", std::ios::binary);
        const std::string picture{std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()};
        for (const char* skin : {"\\back.vnb", "\\backmouse.vnb"}) writeFile(folder + skin, picture);
        for (int start = 0; start < 2; ++start) {
            SCOPED_TRACE(codePage);
            app::Player player;
            app::startUp(player);
            EXPECT_EQ(readFile(DIR_FILE), folder + "\\\r\n");
            EXPECT_EQ(player.app.installationDirectory, folder + "\\");
            EXPECT_EQ(sim::loadedLibraries().back().path, folder + "\\ravlet.dll");
            EXPECT_NE(player.skin.normalPixels[0], platform::NO_COLOUR);
            EXPECT_NE(player.skin.hoverPixels[0], platform::NO_COLOUR);
        }
    }
}

}  // namespace
