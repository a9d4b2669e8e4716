// Reply numbers and clock texts of the media command layer.
#include <gtest/gtest.h>

#include "platform/media_text.h"
#include "playback/media_commands.h"

namespace {

using platform::parseReplyNumber;
using playback::formatClock;

TEST(ParseReplyNumber, ReadsSignedDecimalAfterBlanks) {
    EXPECT_EQ(parseReplyNumber("215"), 215);
    EXPECT_EQ(parseReplyNumber("  42 milliseconds"), 42);
    EXPECT_EQ(parseReplyNumber("-7"), -7);
    EXPECT_EQ(parseReplyNumber("+9"), 9);
}

TEST(ParseReplyNumber, NoDigitsReadsZero) {
    EXPECT_EQ(parseReplyNumber(""), 0);
    EXPECT_EQ(parseReplyNumber(std::string(260, ' ').c_str()), 0);
    EXPECT_EQ(parseReplyNumber("stopped"), 0);
    EXPECT_EQ(parseReplyNumber("\t5"), 0);  // only blanks are skipped
    EXPECT_EQ(parseReplyNumber("-"), 0);
}

TEST(FormatClock, TwoDigitFields) {
    EXPECT_EQ(formatClock(0), "00:00:00");
    EXPECT_EQ(formatClock(999), "00:00:00");
    EXPECT_EQ(formatClock(59999), "00:00:59");
    EXPECT_EQ(formatClock(61000), "00:01:01");
    EXPECT_EQ(formatClock(3600000), "01:00:00");
    EXPECT_EQ(formatClock(3599999), "00:59:59");
}

TEST(FormatClock, LongerHoursKeepTheirFirstTwoDigits) {
    EXPECT_EQ(formatClock(360000000), "10:00:00");
    EXPECT_EQ(formatClock(2147483647), "59:31:23");  // 596 hours
}

}  // namespace
