// The process itself: the services started and stopped, its command line,
// its exit, the pause, and the libraries it loads.
#pragma once

#include <string>

namespace platform {

void startServices();
// The whole command line, program name first, as the process received it, in UTF-8.
std::string commandLine();
void stopServices();
[[noreturn]] void exitProcess(int code);
void sleepMs(int milliseconds);

bool loadLibrary(int library, const std::string& path);
// Calls the library's no-argument function `name`; false when it is not there.
bool callLibraryFunction(int library, const char* name);

}  // namespace platform
