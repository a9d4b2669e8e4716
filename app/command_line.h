// The command line's parameters: blank-separated, double quotes group.
#pragma once

#include <cstddef>
#include <string>

namespace app {

struct CommandLine {
    std::string text;
    std::size_t position = 0;
};

// Starts reading `text` past the program name, its first item.
CommandLine readCommandLine(const std::string& text);
// The next parameter, or empty when none is left.
std::string nextParameter(CommandLine& commandLine);

}  // namespace app
