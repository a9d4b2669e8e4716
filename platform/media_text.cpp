// Text helpers over media commands and their replies, the same for the
// program's command layer and both media devices it can talk to.
#include "platform/media_text.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

bool blank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

}  // namespace

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A quote opens a quoted word only at the start of a word; inside a plain word
// it is an ordinary character.
bool splitCommandWords(const std::string& command, std::vector<std::string>& words) {
    std::size_t i = 0;
    while (i < command.size()) {
        if (blank(command[i])) {
            ++i;
            continue;
        }
        if (command[i] == '"') {
            const std::size_t close = command.find('"', i + 1);
            if (close == std::string::npos) {
                words.push_back(command.substr(i + 1));
                return false;
            }
            words.push_back(command.substr(i + 1, close - i - 1));
            i = close + 1;
            if (i < command.size() && !blank(command[i])) return false;
            continue;
        }
        std::size_t end = i;
        while (end < command.size() && !blank(command[end])) ++end;
        words.push_back(command.substr(i, end - i));
        i = end;
    }
    return true;
}

bool writeReply(const std::string& text, char* reply, int capacity) {
    if (reply == nullptr) return true;
    if (static_cast<int>(text.size()) + 1 > capacity) return false;
    std::memcpy(reply, text.c_str(), text.size() + 1);
    return true;
}

// Leading blanks, an optional sign, then decimal digits; anything else ends it.
// Digits wrap in 32 bits, as the device's replies never come near that.
int parseReplyNumber(const char* reply, int capacity) {
    int i = 0;
    while (i < capacity && reply[i] == ' ') ++i;
    bool negative = false;
    if (i < capacity && (reply[i] == '-' || reply[i] == '+')) {
        negative = reply[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < capacity && reply[i] >= '0' && reply[i] <= '9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(reply[i] - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

bool holdsWildcard(const std::string& path) { return path.find_first_of("?*") != std::string::npos; }

int commandBoundMs(const char* command) {
    std::vector<std::string> words;
    splitCommandWords(command ? command : "", words);
    return !words.empty() && lower(words[0]) == "open" ? OPEN_BOUND_MS : COMMAND_BOUND_MS;
}

}  // namespace platform
