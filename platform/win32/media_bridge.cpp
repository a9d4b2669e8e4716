// The media bridge: seek, volume and end-of-track answers that Wine's device lacks.
// Per alias it follows the commands passing through (open, play, volume, close).
#include "platform/win32/media_bridge.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/media_text.h"

namespace platform::media {
namespace {

constexpr int MODE_CAPACITY = 64;
constexpr const char* OPEN_DEVICE_PREFIX = "MPEGVIDEO!";

// A plain optionally signed decimal number and nothing else.
bool parseNumber(const std::string& text, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return false;
    }
    long long result = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])) || result > 100000000000LL) {
            return false;
        }
        result = result * 10 + (text[i] - '0');
    }
    value = static_cast<int>(negative ? -result : result);
    return true;
}

std::string trimmed(const char* text) {
    std::string result = text;
    while (!result.empty() && std::isspace(static_cast<unsigned char>(result.back()))) {
        result.pop_back();
    }
    std::size_t start = 0;
    while (start < result.size() && std::isspace(static_cast<unsigned char>(result[start]))) {
        ++start;
    }
    return result.substr(start);
}

// The alias an open command names after its ALIAS word; empty when it names none.
std::string openedAlias(const std::vector<std::string>& words) {
    for (std::size_t i = 2; i + 1 < words.size(); ++i) {
        if (lower(words[i]) == "alias") {
            return lower(words[i + 1]);
        }
    }
    return "";
}

// Wine ends a track with the position fallen back to where the last play started
// (0, or the point of a play from there) and the mode "stopped"; Windows leaves
// it at the length, which is what the player waits for. Only a reading below the
// previous one since the last play sends the extra mode query: right after a play
// Wine may still read 0 and "stopped" for a moment, which is no end. A query
// that failed is no reading at all: it comes back failed, whatever the mode.
int answerPosition(AliasState& alias, const Device& device, const std::string& name, int result, char* reply,
                   int capacity) {
    if (result != 0 || !alias.playedSinceOpen || reply == nullptr || capacity <= 0) {
        return result;
    }
    int position = parseReplyNumber(reply, capacity);
    bool fellBack = position < alias.lastPosition;
    alias.lastPosition = position;
    if (alias.endedAt < 0 || position != alias.endedAt) {
        alias.endedAt = -1;
        if (!fellBack) {
            return result;
        }
        char mode[MODE_CAPACITY] = {};
        std::string modeCommand = "status " + name + " mode";
        if (device(modeCommand.c_str(), mode, MODE_CAPACITY) != 0 || lower(trimmed(mode)) != "stopped") {
            return result;
        }
        alias.endedAt = position;
    }
    std::string lengthCommand = "status " + name + " length";
    return device(lengthCommand.c_str(), reply, capacity);
}

// Wine's device reads a quoted path holding '!' as device!element and fails
// (263); naming the device in front makes it split at that first '!' instead,
// leaving the whole path as the element. Only a quoted path right after the
// verb is the element.
std::string withDeviceNamed(const char* command) {
    std::string text = command;
    const std::size_t verbEnd = text.find_first_of(" \t", text.find_first_not_of(" \t"));
    const std::size_t open = text.find_first_not_of(" \t", verbEnd);
    if (open == std::string::npos || text[open] != '"') {
        return text;
    }
    const std::size_t close = text.find('"', open + 1);
    if (close == std::string::npos || text.find('!', open) > close) {
        return text;
    }
    return text.insert(open + 1, OPEN_DEVICE_PREFIX);
}

// A new play starts a new pass through the track.
void markPlayed(AliasState& alias) {
    alias.playedSinceOpen = true;
    alias.lastPosition = -1;
    alias.endedAt = -1;
}

// One command on its way to the device, with the buffer its answer goes to.
struct Call {
    const Device& device;
    const char* command;
    char* reply;
    int capacity;
};

int pass(const Call& call) { return call.device(call.command, call.reply, call.capacity); }

// The open goes out with the device named; one the device accepts starts its
// alias afresh.
int forwardOpen(BridgeState& bridge, const Call& call, const std::vector<std::string>& words) {
    int result = call.device(withDeviceNamed(call.command).c_str(), call.reply, call.capacity);
    std::string opened = openedAlias(words);
    if (result == 0 && !opened.empty()) {
        bridge.aliases[opened] = AliasState{};
    }
    return result;
}

// The alias is forgotten whatever the device answers.
int forwardClose(BridgeState& bridge, const Call& call, const std::string& name) {
    int result = pass(call);
    if (name == "all") {
        bridge.aliases.clear();
    } else {
        bridge.aliases.erase(name);
    }
    return result;
}

int forwardPlay(AliasState& alias, const Call& call) {
    int result = pass(call);
    if (result == 0) {
        markPlayed(alias);
    }
    return result;
}

// Wine's device has no seek: a refused "seek to" becomes a play from that point.
int forwardSeek(AliasState& alias, const Call& call, const std::vector<std::string>& words) {
    int number = 0;
    if (words.size() != 4 || lower(words[2]) != "to" || !parseNumber(words[3], number)) {
        return pass(call);
    }
    int result = pass(call);
    if (result == 0) {
        return result;
    }
    std::string play = "play " + words[1] + " from " + words[3];
    result = call.device(play.c_str(), call.reply, call.capacity);
    if (result == 0) {
        markPlayed(alias);
    }
    return result;
}

// Remembers the volume the device took, for the volume query it cannot answer.
int forwardSetAudio(AliasState& alias, const Call& call, const std::vector<std::string>& words) {
    int number = 0;
    if (words.size() != 5 || lower(words[2]) != "volume" || lower(words[3]) != "to" || !parseNumber(words[4], number)) {
        return pass(call);
    }
    int result = pass(call);
    if (result == 0) {
        alias.acceptedVolume = number;
    }
    return result;
}

// A refused volume query answers the last accepted volume; a position query
// answers the length once the track has ended.
int forwardStatus(AliasState& alias, const Call& call, const std::vector<std::string>& words) {
    std::string what = words.size() == 3 ? lower(words[2]) : "";
    if (what == "volume") {
        int result = pass(call);
        if (result == 0) {
            return result;
        }
        return writeReply(std::to_string(alias.acceptedVolume), call.reply, call.capacity) ? 0 : result;
    }
    if (what == "position") {
        int result = pass(call);
        return answerPosition(alias, call.device, words[1], result, call.reply, call.capacity);
    }
    return pass(call);
}

std::string spliced(const std::string& text, std::size_t at, const std::string& piece) {
    return text.substr(0, at) + piece + text.substr(at);
}

// Wine keeps the alias of a track whose device was left behind taken for the
// whole process: a fresh device thread's open of the same alias answers 289
// (or blocks). Once a device was left behind, the alias a command names is
// sent with the count of devices left behind appended (MP3_1 becomes MP3_1_1),
// a name no stuck device holds.
std::string withFreshAlias(int devicesLeft, const char* command) {
    std::string text = command ? command : "";
    std::vector<std::string> words;
    splitCommandWords(text, words);
    if (devicesLeft == 0 || words.size() < 2) return text;
    std::string suffix = "_";
    suffix += std::to_string(devicesLeft);
    if (lower(words[0]) == "open") {
        const std::string alias = openedAlias(words);
        const std::size_t at = alias.empty() ? std::string::npos : lower(text).rfind(alias);
        return at == std::string::npos ? text : spliced(text, at + alias.size(), suffix);
    }
    if (lower(words[1]) == "all") return text;
    const std::size_t verbEnd = text.find_first_of(" \t", text.find_first_not_of(" \t"));
    const std::size_t nameStart = text.find_first_not_of(" \t", verbEnd);
    const std::size_t nameEnd = std::min(text.find_first_of(" \t", nameStart), text.size());
    return spliced(text, nameEnd, suffix);
}

// The commands the bridge stands in for, each to its own forwarder.
int forward(BridgeState& bridge, const Device& device, const char* command, char* reply, int capacity) {
    std::vector<std::string> words;
    splitCommandWords(command, words);  // a malformed command is the device's to refuse
    std::string verb = words.empty() ? "" : lower(words[0]);
    std::string name = words.size() > 1 ? lower(words[1]) : "";
    const Call call{device, command, reply, capacity};

    if (verb == "open") return forwardOpen(bridge, call, words);
    if (verb == "close") return forwardClose(bridge, call, name);
    auto known = bridge.aliases.find(name);
    if (known == bridge.aliases.end()) return pass(call);
    AliasState& alias = known->second;
    if (verb == "play") return forwardPlay(alias, call);
    if (verb == "seek") return forwardSeek(alias, call, words);
    if (verb == "setaudio") return forwardSetAudio(alias, call, words);
    if (verb == "status") return forwardStatus(alias, call, words);
    return pass(call);
}

}  // namespace

int sendThroughBridge(BridgeState& bridge, const Device& device, const char* command, char* reply, int capacity) {
    bool left = false;
    const Device watched = [&](const char* sent, char* answer, int room) {
        const int result = device(sent, answer, room);
        left = left || result == MEDIA_NOT_ANSWERING;
        return result;
    };
    const std::string sent = withFreshAlias(bridge.devicesLeft, command);
    const int result = forward(bridge, watched, sent.c_str(), reply, capacity);
    if (left) {
        bridge.aliases.clear();  // the device left behind took its tracks with it
        ++bridge.devicesLeft;
    }
    return result;
}

}  // namespace platform::media
