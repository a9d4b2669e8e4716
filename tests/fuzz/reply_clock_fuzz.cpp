// Reply numbers and clock texts. A reply reads as its leading blanks, sign and
// digits (wrapping in 32 bits), whatever follows, and never past its buffer; a
// clock text is always eight characters and gives back the whole seconds,
// hours of 100 and more cut to their first two digits.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include <vector>

#include "platform/media_text.h"
#include "playback/media_commands.h"
#include "tests/fuzz/fuzz_support.h"

using fuzz::require;

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::int32_t expectedReply(const std::string& reply) {
    std::size_t i = reply.find_first_not_of(' ');
    if (i == std::string::npos) return 0;
    const bool negative = reply[i] == '-';
    if (reply[i] == '-' || reply[i] == '+') ++i;
    std::uint32_t value = 0;
    for (; i < reply.size() && isDigit(reply[i]); ++i) value = value * 10u + static_cast<std::uint32_t>(reply[i] - '0');
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

void checkClock(std::int32_t ms) {
    const std::string text = playback::formatClock(ms);
    require(text.size() == 8 && text[2] == ':' && text[5] == ':');
    if (ms < 0) return;
    for (int field : {0, 3, 6}) require(isDigit(text[field]) && isDigit(text[field + 1]));
    const int minutes = std::stoi(text.substr(3, 2));
    const int seconds = std::stoi(text.substr(6, 2));
    require(minutes < 60 && seconds < 60 && minutes * 60 + seconds == ms / 1000 % 3600);
    // Hours of 100 and more keep their first two digits.
    const std::string hours = std::to_string(ms / 3600000);
    require(text.substr(0, 2) == (hours.size() < 2 ? "0" + hours : hours.substr(0, 2)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A buffer exactly as long as the input, with no terminator of its own.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<char> buffer(bytes.begin(), bytes.end());
    const std::string reply = bytes.substr(0, bytes.find('\0'));
    require(platform::parseReplyNumber(buffer.data(), static_cast<int>(size)) == expectedReply(reply));
    require(platform::parseReplyNumber(reply.c_str()) == expectedReply(reply));

    if (size >= 4) {
        std::int32_t ms = 0;
        std::memcpy(&ms, data, sizeof ms);
        checkClock(ms);
        checkClock(static_cast<std::int32_t>(static_cast<std::uint32_t>(ms) % 360000000u));
    }
    return 0;
}
