// The media text helpers both devices and the command layer share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/media_text.h"

namespace {

TEST(CommandWords, QuotedPathsStayOneWordAndMalformedQuotesAreReported) {
    std::vector<std::string> words;
    EXPECT_TRUE(platform::splitCommandWords("OPEN \"C:\\My Music\\a b.mp3\" ALIAS  MP3_1", words));
    EXPECT_EQ(words, (std::vector<std::string>{"OPEN", "C:\\My Music\\a b.mp3", "ALIAS", "MP3_1"}));

    words.clear();
    EXPECT_TRUE(platform::splitCommandWords("play a\"b", words));
    EXPECT_EQ(words, (std::vector<std::string>{"play", "a\"b"}));
    words.clear();
    EXPECT_FALSE(platform::splitCommandWords("OPEN \"C:\\a.mp3\"x", words));
    words.clear();
    EXPECT_FALSE(platform::splitCommandWords("OPEN \"C:\\a.mp3", words));
    EXPECT_EQ(words, (std::vector<std::string>{"OPEN", "C:\\a.mp3"}));
}

TEST(WriteReply, WritesOnlyWhatFitsWithItsTerminator) {
    char reply[4] = {'x', 'x', 'x', 'x'};
    EXPECT_TRUE(platform::writeReply("123", reply, 4));
    EXPECT_STREQ(reply, "123");
    EXPECT_FALSE(platform::writeReply("1234", reply, 4));
    EXPECT_STREQ(reply, "123");
    EXPECT_TRUE(platform::writeReply("1234", nullptr, 0));
}

TEST(ParseReplyNumber, StopsAtTheCapacityAndWrapsIn32Bits) {
    const char reply[] = {'1', '2', '3', '4'};  // no terminator within the buffer
    EXPECT_EQ(platform::parseReplyNumber(reply, 3), 123);
    EXPECT_EQ(platform::parseReplyNumber("4294967297"), 1);
}

}  // namespace
