// Names outside the code page: files whose names the system gives in UTF-16
// come in by the command line, a drop or the dialog. A name the code page
// spells is kept in its bytes; one it cannot is kept by its short form, and its
// row shows the long name; without short forms such a file is passed over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "support/player_test.h"

namespace {

using Rows = std::vector<std::string>;

const std::string LIST_FILE = "C:\\Users\\tester\\Local Settings\\Application Data\\Varnel\\MP3\\list.vnp";
const std::string ASCII = "C:\\Music\\a.mp3";
const std::string WESTERN = "C:\\Music\\Bj\xC3\xB6rk - J\xC3\xB3ga.mp3";  // in UTF-8, as the system gives it
const std::string WESTERN_BYTES = "C:\\Music\\Bj\xF6rk - J\xF3ga.mp3";   // in the code page
const std::string FAR = "C:\\Music\\\xD0\x9C\xD1\x83\xD0\xBC\xD0\xB8\xD0\xB9 - \xE5\x9D\x82\xE6\x9C\xAC.mp3";
const std::string FAR_SHORT = "C:\\Music\\____~PZ2.MP3";
const Rows ALL_ROWS = {"a", "Bj\xC3\xB6rk - J\xC3\xB3ga", "\xD0\x9C\xD1\x83\xD0\xBC\xD0\xB8\xD0\xB9 - \xE5\x9D\x82\xE6\x9C\xAC"};

enum class Entry { CommandLine, Drop, Dialog };

class NamesTest : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        for (const std::string& path : {ASCII, WESTERN_BYTES, FAR_SHORT}) writeFile(path, "audio");
        sim::nameFile(FAR, FAR_SHORT);
    }
};

class Names : public NamesTest, public ::testing::WithParamInterface<Entry> {
protected:
    // Starts the player and hands it the three files through `entry`.
    void enterFiles(Entry entry) {
        if (entry == Entry::CommandLine) sim::setCommandLine("brumby.exe " + ASCII + " \"" + WESTERN + "\" \"" + FAR + "\"");
        app::startUp(player);
        app::runPass(player, true);
        if (entry == Entry::Drop) sim::queueDrop(numbers::PLAYLIST_WINDOW, {ASCII, WESTERN, FAR});
        if (entry == Entry::Dialog) {
            sim::queueFileDialog({"C:\\Music", "a.mp3", "Bj\xC3\xB6rk - J\xC3\xB3ga.mp3", FAR.substr(9)}, true);
            sim::queueControlEvent(numbers::FRAME_BOTTOM_CONTROL, platform::EVENT_LEFT_CLICK);
            sim::movePointerToClient(numbers::PLAYLIST_WINDOW, 30, 190);
        }
        pass();
        pass();
    }
};

TEST_P(Names, KeepTheCodePagesBytesOrTheShortFormAndShowTheRealName) {
    enterFiles(GetParam());
    EXPECT_EQ(rows(), ALL_ROWS);
    EXPECT_EQ(Rows(player.playlist.slots.begin(), player.playlist.slots.begin() + 3),
              (Rows{ASCII, WESTERN_BYTES, FAR_SHORT}));
    // The short form is what the device opens, and the row keeps its long name once loaded.
    sim::selectRow(numbers::PLAYLIST_LIST, 2);
    sim::queueControlEvent(numbers::PLAYLIST_LIST, platform::EVENT_LEFT_DOUBLE_CLICK);
    pass();
    pass();
    EXPECT_EQ(sim::aliasPath(1), FAR_SHORT);
    EXPECT_EQ(rows(), ALL_ROWS);
    clickFace(12, 10);
    EXPECT_EQ(readFile(LIST_FILE), ASCII + "\r\n" + WESTERN_BYTES + "\r\n" + FAR_SHORT + "\r\n");
}

// On a volume that keeps no short forms the file the code page cannot spell
// never becomes a row that cannot play; the others come in as ever.
TEST_P(Names, WithoutShortFormsOnlyTheNameTheCodePageCannotSpellIsPassedOver) {
    sim::keepNoShortForms();
    enterFiles(GetParam());
    EXPECT_EQ(rows(), (Rows{ALL_ROWS[0], ALL_ROWS[1]}));
    EXPECT_EQ(player.playlist.slots[2], "");
}

INSTANTIATE_TEST_SUITE_P(Entries, Names, ::testing::Values(Entry::CommandLine, Entry::Drop, Entry::Dialog));

TEST_F(NamesTest, AListFileHoldingAShortFormShowsItsLongName) {
    writeFile(LIST_FILE, FAR_SHORT + "\r\n" + WESTERN_BYTES + "\r\n");
    app::startUp(player);
    EXPECT_EQ(rows(), (Rows{ALL_ROWS[2], ALL_ROWS[1]}));
}

}  // namespace
