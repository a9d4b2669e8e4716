// Test driver for the media service's bound under Wine: a command the device
// does not answer in time (a play that waits for its track's end) comes back
// as not answering within its bound, the device is given up once, and the
// next open works on a fresh one. Prints one line per check and "done".
// Usage: media_driver <path of a WAV file a minute long>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/media.h"
#include "platform/media_text.h"
#include "platform/system.h"

namespace {

int devicesLeft = 0;

void countDeviceLeft(void*) { ++devicesLeft; }

void report(const char* check, bool passed, int result, DWORD ms) {
    std::printf("%s %s (result %d, %lu ms, devices left %d)\n", passed ? "ok" : "FAILED", check, result,
                static_cast<unsigned long>(ms), devicesLeft);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    platform::startServices();
    platform::setDeviceLeftHook(&countDeviceLeft, nullptr);
    const std::string path = argv[1];

    DWORD start = GetTickCount();
    int result = platform::mediaCommand(("open \"" + path + "\" type waveaudio alias held").c_str(), nullptr, 0);
    report("the first open", result == 0, result, GetTickCount() - start);

    start = GetTickCount();
    result = platform::mediaCommand("play held wait", nullptr, 0);
    DWORD took = GetTickCount() - start;
    report("a play that waits for the end is given up at its bound",
           result == platform::MEDIA_NOT_ANSWERING && took >= platform::COMMAND_BOUND_MS - 50 &&
               took < platform::COMMAND_BOUND_MS + 2000 && devicesLeft == 1,
           result, took);

    char mode[260] = "";
    start = GetTickCount();
    result = platform::mediaCommand(("open \"" + path + "\" type waveaudio alias fresh").c_str(), nullptr, 0);
    const int queried = platform::mediaCommand("status fresh mode", mode, sizeof mode);
    took = GetTickCount() - start;
    report("the next open works on a fresh device", result == 0 && queried == 0 && devicesLeft == 1, result, took);
    result = platform::mediaCommand("close fresh", nullptr, 0);
    report("and its close", result == 0, result, 0);
    std::printf("done\n");
    std::fflush(stdout);
    return 0;
}
