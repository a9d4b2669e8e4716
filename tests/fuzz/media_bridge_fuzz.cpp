// The Wine media bridge fed command sequences against a scripted device whose
// answers come from the input. Whatever happens, the bridge sends the caller's
// command (a path holding '!' with its device named in front), adds only the
// stand-ins it is there for (play from after a refused seek; mode and length
// behind a position), stays inside the reply buffer, and answers a refused
// volume query with the last volume the device accepted when it fits. Once the
// device did not answer (276), aliases go out under a fresh name.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/media_text.h"
#include "platform/win32/media_bridge.h"
#include "tests/fuzz/fuzz_support.h"

using fuzz::require;

namespace {

using platform::media::BridgeState;

const std::vector<std::string> ALIASES = {"MP3_1", "mp3_1", "MP3_2", "all"};
const std::vector<std::string> PATHS = {"C:\\a.mp3", "C:\\wow!.mp3", "C:\\x\\y z!!.ogg", "", "!"};
const std::vector<std::string> REPLIES = {"0", "120000", "215000", "stopped", "playing", "", " 42 ms", "-7"};

struct ScriptedDevice {
    FuzzedDataProvider& input;
    std::vector<std::string> sent;
    std::vector<int> results;

    int answer(const char* command, char* reply, int capacity) {
        sent.push_back(command);
        // Like the real call, a reply is cut to the buffer and always ended by a NUL.
        if (reply != nullptr && capacity > 0) {
            const std::string text = input.ConsumeBool()
                                         ? REPLIES[input.ConsumeIntegralInRange<std::size_t>(0, REPLIES.size() - 1)]
                                         : input.ConsumeRandomLengthString(300);
            const std::size_t count = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
            std::memcpy(reply, text.data(), count);
            reply[count] = '\0';
        }
        results.push_back(input.ConsumeBool() ? 0 : input.ConsumeIntegralInRange(257, 300));
        return results.back();
    }
};

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

struct Command {
    std::string text;
    std::string alias;
    std::string number;
    bool known = true;  // false for random text
};

Command nextCommand(FuzzedDataProvider& input) {
    Command c;
    c.alias = ALIASES[input.ConsumeIntegralInRange<std::size_t>(0, ALIASES.size() - 1)];
    c.number = std::to_string(input.ConsumeIntegralInRange(-5, 300000));
    const std::string path = PATHS[input.ConsumeIntegralInRange<std::size_t>(0, PATHS.size() - 1)];
    switch (input.ConsumeIntegralInRange(0, 9)) {
    case 0:
        c.text = "OPEN \"" + path + "\" Type MPEGVIDEO ALIAS " + c.alias;
        break;
    case 1:
        c.text = "play " + c.alias;
        break;
    case 2:
        c.text = "play " + c.alias + " from " + c.number;
        break;
    case 3:
        c.text = "close " + c.alias;
        break;
    case 4:
        c.text = "Seek " + c.alias + " to " + c.number;
        break;
    case 5:
        c.text = "SetAudio " + c.alias + " volume to " + c.number;
        break;
    case 6:
        c.text = "status " + c.alias + " position";
        break;
    case 7:
        c.text = "status " + c.alias + " volume";
        break;
    case 8:
        c.text = "status " + c.alias + " length";
        break;
    default:
        c.text = input.ConsumeRandomLengthString(80);
        c.known = false;
    }
    return c;
}

// The command as the bridge passes it on once `left` devices were left behind
// (one answered 276 and was given up): its alias with "_<left>" appended,
// except a close or status of all.
Command asSent(Command c, int left) {
    if (!c.known || left == 0 || (lower(c.alias) == "all" && !c.text.starts_with("OPEN"))) return c;
    const std::size_t at = c.text.rfind(c.alias);
    const std::size_t length = c.alias.size();
    c.alias += "_" + std::to_string(left);
    c.text.replace(at, length, c.alias);
    return c;
}

// The command the device must get first: the caller's own, with the device
// named in front of a quoted path that holds '!'.
std::string deviceForm(const Command& c) {
    std::string text = c.text;
    if (c.known && text.starts_with("OPEN \"") && text.find('!') < text.find('"', 6)) text.insert(6, "MPEGVIDEO!");
    return text;
}

// A further command the bridge may send for `c`.
bool allowedStandIn(const Command& c, const std::string& sent) {
    if (c.text.starts_with("Seek ")) return sent == "play " + c.alias + " from " + c.number;
    if (c.text.ends_with(" position")) {
        return lower(sent) == lower("status " + c.alias + " mode") ||
               lower(sent) == lower("status " + c.alias + " length");
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    ScriptedDevice device{input, {}, {}};
    const platform::media::Device send = [&](const char* c, char* r, int n) { return device.answer(c, r, n); };
    BridgeState bridge;
    int left = 0;

    while (input.remaining_bytes() > 0) {
        const Command asCalled = nextCommand(input);
        const Command c = asSent(asCalled, left);
        const int capacity = input.ConsumeBool() ? 260 : input.ConsumeIntegralInRange(0, 8);
        // Exactly the capacity, on the heap: a write past it is caught.
        std::vector<char> reply(static_cast<std::size_t>(capacity), ' ');
        const auto tracked = bridge.aliases.find(lower(c.alias));
        const int volumeBefore = tracked == bridge.aliases.end() ? -1 : tracked->second.acceptedVolume;

        device.sent.clear();
        device.results.clear();
        const int result = platform::media::sendThroughBridge(bridge, send, asCalled.text.c_str(),
                                                              capacity > 0 ? reply.data() : nullptr, capacity);
        require(!device.sent.empty() && device.sent.size() <= 3);
        if (std::count(device.results.begin(), device.results.end(), platform::MEDIA_NOT_ANSWERING) > 0) ++left;
        if (!c.known) continue;

        require(device.sent[0] == deviceForm(c));
        for (std::size_t i = 1; i < device.sent.size(); ++i) require(allowedStandIn(c, device.sent[i]));

        const auto after = bridge.aliases.find(lower(c.alias));
        if (tracked != bridge.aliases.end() && after != bridge.aliases.end() && !c.text.starts_with("SetAudio") &&
            !c.text.starts_with("OPEN")) {
            require(after->second.acceptedVolume == volumeBefore);
        }
        const bool volumeQuery = c.text.ends_with(" volume");
        if (volumeQuery && tracked != bridge.aliases.end() && device.results[0] != 0) {
            // The stand-in answer is written whole or not at all; without a buffer it only succeeds.
            const std::string volume = std::to_string(volumeBefore);
            if (capacity == 0) {
                require(result == 0);
            } else if (static_cast<int>(volume.size()) < capacity) {
                require(result == 0 && std::string(reply.data()) == volume);
            } else {
                require(result == device.results[0]);
            }
        }
    }
    return 0;
}
