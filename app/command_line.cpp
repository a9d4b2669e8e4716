// Splits the command line the way the player reads its parameters.
#include "app/command_line.h"

namespace app {

namespace {

// One item: blanks skipped, then either a quoted run (to the next quote or the
// end, quotes dropped) or a run up to the next blank.
std::string nextItem(CommandLine& commandLine) {
    const std::string& text = commandLine.text;
    std::size_t& at = commandLine.position;
    while (at < text.size() && text[at] == ' ') ++at;
    if (at >= text.size()) return {};
    std::string item;
    if (text[at] == '"') {
        ++at;
        while (at < text.size() && text[at] != '"') item.push_back(text[at++]);
        if (at < text.size()) ++at;
    } else {
        while (at < text.size() && text[at] != ' ') item.push_back(text[at++]);
    }
    return item;
}

}  // namespace

CommandLine readCommandLine(const std::string& text) {
    CommandLine commandLine{text, 0};
    nextItem(commandLine);
    return commandLine;
}

std::string nextParameter(CommandLine& commandLine) { return nextItem(commandLine); }

}  // namespace app
