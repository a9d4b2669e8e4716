// Paths walked by characters in the system code page: separators, dots and
// last characters found only at the starts of characters, and joins by one
// separator. The code page's table comes from the simulated system.
#include <gtest/gtest.h>

#include <string>

#include "platform/characters.h"
#include "platform/sim/sim.h"

namespace {

const std::size_t NONE = std::string::npos;

platform::CodePage codePage(unsigned number) {
    sim::reset("");
    sim::setCodePage(number);
    return platform::systemCodePage();
}

// "C:\x\" followed by a character whose second byte is 0x5C in 932 (ソ = 83 5C)
// and, in 1252, two characters of their own, the second the separator.
const std::string SO = "C:\\x\\\x83\x5C";

TEST(Characters, SeparatorsAreFoundOnlyAtTheStartsOfCharacters) {
    const struct {
        unsigned codePage;
        std::string text;
        std::size_t lastSeparator;
        bool endsInSeparator;
        std::string fileName;
    } cases[] = {
        {1252, SO, 6, true, ""},
        {932, SO, 4, false, "\x83\x5C"},
        {932, SO + "\\", 7, true, ""},
        {932, "\x95\x5C.wav", NONE, false, "\x95\x5C.wav"},
        {932, "a\x83", NONE, false, "a\x83"},  // a lead byte at the end stands alone
        {936, "C:\\\xB1\x5C", 2, false, "\xB1\x5C"},
        {65001, "C:\\\xE3\x82\xBD\\", 6, true, ""},
        {65001, "C:\\\xE3\x82\\x", 5, false, "x"},  // a sequence cut short is no character
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.text);
        const platform::CodePage table = codePage(c.codePage);
        EXPECT_EQ(platform::findLastCharacter(c.text, '\\', table), c.lastSeparator);
        EXPECT_EQ(platform::endsWithCharacter(c.text, '\\', table), c.endsInSeparator);
        EXPECT_EQ(platform::fileNamePart(c.text, table), c.fileName);
    }
}

TEST(Characters, AJoinHasExactlyOneSeparator) {
    const platform::CodePage cp932 = codePage(932);
    EXPECT_EQ(platform::joinPath(SO, "back.vnb", cp932), SO + "\\back.vnb");
    EXPECT_EQ(platform::joinPath(SO + "\\", "back.vnb", cp932), SO + "\\back.vnb");
    EXPECT_EQ(platform::joinPath("C:\\", "back.vnb", cp932), "C:\\back.vnb");
    EXPECT_EQ(platform::joinPath("C:\\x\\\\", "back.vnb", cp932), "C:\\x\\back.vnb");
    // The stand-in "\" an older player recorded never makes a network name.
    EXPECT_EQ(platform::joinPath("\\", "back.vnb", cp932), "\\back.vnb");
    EXPECT_EQ(platform::joinPath("", "back.vnb", cp932), "back.vnb");
    EXPECT_EQ(platform::joinPath(SO, "back.vnb", codePage(1252)), "C:\\x\\\x83\\back.vnb");
}

// The system counts a path's length in UTF-16 units.
TEST(Characters, APathsLengthCountsCharacters) {
    EXPECT_EQ(platform::pathLength(SO, codePage(932)), 6u);
    EXPECT_EQ(platform::pathLength(SO, codePage(1252)), 7u);
    EXPECT_EQ(platform::pathLength("\xE3\x82\xBD\xF0\x9F\x8E\xB5", codePage(65001)), 3u);
}

}  // namespace
