// The simulated media device: parses the text commands, keeps each alias's
// position on the virtual clock and answers status queries.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/sim/sim_state.h"
#include "platform/characters.h"
#include "platform/media_text.h"

namespace sim {

namespace fs = std::filesystem;

constexpr const char* PLAYABLE_EXTENSIONS[] = {"mp3", "wav", "ogg", "mid"};

static std::string aliasName(int alias) { return "MP3_" + std::to_string(alias); }

static MediaAlias* findAlias(int alias) {
    auto it = world().aliases.find(aliasName(alias));
    return it == world().aliases.end() ? nullptr : &it->second;
}

void settleAlias(MediaAlias& alias) {
    World& w = world();
    if (alias.mode == MediaMode::Playing) {
        std::int64_t position = alias.position + (w.clock - alias.playStartClock);
        if (position >= alias.length) {
            position = alias.length;
            alias.mode = MediaMode::Stopped;
        }
        alias.position = static_cast<int>(position);
    }
    alias.playStartClock = w.clock;
}

const std::vector<std::string>& mediaLog() { return world().mediaLog; }
void clearMediaLog() { world().mediaLog.clear(); }

void setTrackLength(const std::string& windowsPath, int ms) { world().trackLengths[fileKey(windowsPath)] = ms; }

bool trackPlaying() {
    for (auto& [name, alias] : world().aliases) {
        settleAlias(alias);
        if (alias.mode == MediaMode::Playing) return true;
    }
    return false;
}

bool aliasOpen(int alias) { return findAlias(alias) != nullptr; }

int aliasPosition(int alias) {
    MediaAlias* record = findAlias(alias);
    if (!record) return -1;
    settleAlias(*record);
    return record->position;
}

int aliasVolume(int alias) {
    const MediaAlias* record = findAlias(alias);
    return record ? record->volume : -1;
}

static const char* modeWord(MediaMode mode) {
    switch (mode) {
    case MediaMode::Playing:
        return "playing";
    case MediaMode::Paused:
        return "paused";
    case MediaMode::Stopped:
        break;
    }
    return "stopped";
}

std::string aliasMode(int alias) {
    MediaAlias* record = findAlias(alias);
    if (!record) return "";
    settleAlias(*record);
    return modeWord(record->mode);
}

std::string aliasPath(int alias) {
    const MediaAlias* record = findAlias(alias);
    return record ? record->path : "";
}

void setPosition(int alias, int ms) {
    MediaAlias* record = findAlias(alias);
    if (!record) return;
    settleAlias(*record);
    record->position = std::clamp(ms, 0, record->length);
}

void failNextCommand(int code) { world().failNextMediaCode = code; }

void hangCommands(const std::string& verb, int times) {
    world().hangingVerb = platform::lower(verb);
    world().hangsLeft = times;
}

int devicesLeft() { return world().devicesLeft; }

// A command the device never answers: the caller waits out its bound, then
// leaves that device behind, and the tracks it held are out of reach.
static bool hangs(const std::vector<std::string>& words, const char* command) {
    World& w = world();
    if (w.hangsLeft == 0 || (!w.hangingVerb.empty() && (words.empty() || platform::lower(words[0]) != w.hangingVerb)))
        return false;
    --w.hangsLeft;
    w.clock += platform::commandBoundMs(command);
    w.aliases.clear();
    ++w.devicesLeft;
    return true;
}

void onMediaCommand(std::function<void(const std::string&)> watcher) { world().mediaWatcher = std::move(watcher); }

MediaCounts mediaCounts() { return world().mediaCounts; }

static bool parseNumber(const std::string& word, int& value) {
    if (word.empty() || word.size() > 9) return false;
    for (char c : word)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = std::stoi(word);
    return true;
}

// Length of a RIFF WAVE file from its format and data chunks, or -1.
static int wavLength(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return -1;
    std::istringstream in(bytes);
    char header[12];
    if (!in.read(header, 12) || std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return -1;
    std::uint32_t byteRate = 0;
    std::int64_t dataSize = -1;
    unsigned char chunk[8];
    while (in.read(reinterpret_cast<char*>(chunk), 8)) {
        std::uint32_t size =
            chunk[4] | (chunk[5] << 8) | (chunk[6] << 16) | (static_cast<std::uint32_t>(chunk[7]) << 24);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            unsigned char format[16];
            if (!in.read(reinterpret_cast<char*>(format), 16)) return -1;
            byteRate =
                format[8] | (format[9] << 8) | (format[10] << 16) | (static_cast<std::uint32_t>(format[11]) << 24);
            in.seekg(static_cast<std::streamoff>(size - 16 + (size & 1)), std::ios::cur);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            dataSize = size;
            break;
        } else {
            in.seekg(static_cast<std::streamoff>(size + (size & 1)), std::ios::cur);
        }
    }
    if (byteRate == 0 || dataSize < 0) return -1;
    return static_cast<int>(dataSize * 1000 / byteRate);
}

static bool playableExtension(const std::string& path) {
    const platform::CodePage codePage = codePageTable();
    const std::string name = platform::fileNamePart(path, codePage);
    const std::size_t dot = platform::findLastCharacter(name, '.', codePage);
    if (dot == std::string::npos) return false;
    std::string extension = platform::lower(name.substr(dot + 1));
    for (const char* playable : PLAYABLE_EXTENSIONS)
        if (extension == playable) return true;
    return false;
}

static int openDevice(const std::vector<std::string>& words) {
    if (words.size() < 2) return MEDIA_MISSING_PARAMETER;
    const std::string& path = words[1];
    std::string alias = upper(path);
    for (std::size_t i = 2; i < words.size(); ++i) {
        std::string keyword = platform::lower(words[i]);
        if ((keyword == "type" || keyword == "alias") && i + 1 < words.size()) {
            if (keyword == "alias") alias = upper(words[i + 1]);
            ++i;
        } else if (keyword != "wait" && keyword != "notify" && keyword != "shareable") {
            return MEDIA_UNRECOGNISED_KEYWORD;
        }
    }
    World& w = world();
    if (w.aliases.count(alias)) {
        ++w.mediaCounts.refusedInUse;
        return MEDIA_DUPLICATE_ALIAS;
    }
    if (!fileExists(path)) {
        ++w.mediaCounts.refusedNoFile;
        return MEDIA_FILE_NOT_FOUND;
    }
    auto registered = w.trackLengths.find(fileKey(path));
    if (registered == w.trackLengths.end() && !playableExtension(path)) return MEDIA_INVALID_DEVICE;
    MediaAlias record;
    record.path = path;
    if (registered != w.trackLengths.end()) record.length = registered->second;
    else if (int length = wavLength(path); length >= 0) record.length = length;
    else record.length = DEFAULT_TRACK_LENGTH_MS;
    record.playStartClock = w.clock;
    w.aliases[alias] = record;
    ++w.mediaCounts.opened;
    return 0;
}

static int answer(const std::string& text, char* buffer, int capacity) {
    return platform::writeReply(text, buffer, capacity) ? 0 : MEDIA_REPLY_OVERFLOW;
}

// Commands on an open alias: play, pause, resume, stop, seek, setaudio, status.
static int aliasCommand(const std::string& verb, MediaAlias& alias, const std::vector<std::string>& words, char* reply,
                        int capacity) {
    World& w = world();
    settleAlias(alias);
    std::vector<std::string> args;
    for (std::size_t i = 2; i < words.size(); ++i) {
        std::string word = platform::lower(words[i]);
        if (word != "wait" && word != "notify") args.push_back(word);
    }
    if (verb == "play") {
        int from = alias.position;
        if (args.size() == 2 && args[0] == "from") {
            if (!parseNumber(args[1], from)) return MEDIA_BAD_INTEGER;
            if (from > alias.length) return MEDIA_OUT_OF_RANGE;
        } else if (!args.empty()) {
            return MEDIA_UNRECOGNISED_KEYWORD;
        }
        alias.position = from;
        alias.mode = MediaMode::Playing;
        alias.playStartClock = w.clock;
        settleAlias(alias);
        return 0;
    }
    if (verb == "pause" || verb == "stop" || verb == "resume") {
        if (!args.empty()) return MEDIA_UNRECOGNISED_KEYWORD;
        if (verb == "resume" && alias.mode == MediaMode::Paused) alias.mode = MediaMode::Playing;
        if (verb == "pause" && alias.mode == MediaMode::Playing) alias.mode = MediaMode::Paused;
        if (verb == "stop") alias.mode = MediaMode::Stopped;
        return 0;
    }
    if (verb == "seek") {
        if (args.size() != 2 || args[0] != "to") return MEDIA_MISSING_PARAMETER;
        int to = 0;
        if (args[1] == "start") to = 0;
        else if (args[1] == "end") to = alias.length;
        else if (!parseNumber(args[1], to)) return MEDIA_BAD_INTEGER;
        if (to > alias.length) return MEDIA_OUT_OF_RANGE;
        alias.position = to;
        alias.mode = MediaMode::Stopped;
        return 0;
    }
    if (verb == "setaudio") {
        if (args.size() != 3 || args[0] != "volume" || args[1] != "to") return MEDIA_UNRECOGNISED_KEYWORD;
        int volume = 0;
        if (!parseNumber(args[2], volume)) return MEDIA_BAD_INTEGER;
        alias.volume = volume;
        return 0;
    }
    if (verb == "status") {
        if (args.size() != 1) return MEDIA_MISSING_PARAMETER;
        if (args[0] == "length") return answer(std::to_string(alias.length), reply, capacity);
        if (args[0] == "position") return answer(std::to_string(alias.position), reply, capacity);
        if (args[0] == "volume") return answer(std::to_string(alias.volume), reply, capacity);
        if (args[0] == "mode") return answer(modeWord(alias.mode), reply, capacity);
        return MEDIA_UNRECOGNISED_KEYWORD;
    }
    return MEDIA_UNRECOGNISED_COMMAND;
}

// Marks the loop's thread inside a media command for as long as the command's
// watcher acts: what happens meanwhile happens while the command is under way.
class InsideDeviceCall {
public:
    InsideDeviceCall() : marked_(world().currentThread == LOOP_THREAD) {
        if (marked_) world().loopInsideDeviceCall = true;
    }
    ~InsideDeviceCall() {
        if (marked_) world().loopInsideDeviceCall = false;
    }
    InsideDeviceCall(const InsideDeviceCall&) = delete;
    InsideDeviceCall& operator=(const InsideDeviceCall&) = delete;

private:
    bool marked_;
};

}  // namespace sim

namespace platform {

// A failing call (the device out of resources) answers an internal error and
// leaves the reply buffer as it was.
int mediaCommand(const char* command, char* reply, int capacity) {
    const bool fails = sim::enter(sim::Call::mediaCommand, command);
    sim::World& w = sim::world();
    std::string text = command ? command : "";
    w.mediaLog.push_back(text);
    if (w.mediaWatcher) {
        sim::InsideDeviceCall inside;
        w.mediaWatcher(text);
    }
    if (fails) return sim::MEDIA_INTERNAL_ERROR;
    if (w.failNextMediaCode != 0) {
        int code = w.failNextMediaCode;
        w.failNextMediaCode = 0;
        return code;
    }
    std::vector<std::string> words;
    const bool wellFormed = platform::splitCommandWords(text, words);
    if (sim::hangs(words, command)) {
        if (w.deviceLeft != nullptr) w.deviceLeft(w.deviceLeftContext);
        return platform::MEDIA_NOT_ANSWERING;
    }
    if (!wellFormed) return sim::MEDIA_UNRECOGNISED_KEYWORD;
    if (words.empty()) return sim::MEDIA_UNRECOGNISED_COMMAND;
    std::string verb = platform::lower(words[0]);
    if (verb == "open") return sim::openDevice(words);
    if (words.size() < 2) return sim::MEDIA_MISSING_PARAMETER;
    std::string name = sim::upper(words[1]);
    if (verb == "close" && name == "ALL") {
        w.mediaCounts.closed += static_cast<int>(w.aliases.size());
        w.aliases.clear();
        return 0;
    }
    auto it = w.aliases.find(name);
    if (it == w.aliases.end()) return sim::MEDIA_INVALID_DEVICE;
    if (verb == "close") {
        w.aliases.erase(it);
        ++w.mediaCounts.closed;
        return 0;
    }
    return sim::aliasCommand(verb, it->second, words, reply, capacity);
}

void setDeviceLeftHook(void (*hook)(void*), void* context) {
    sim::world().deviceLeft = hook;
    sim::world().deviceLeftContext = context;
}

}  // namespace platform
