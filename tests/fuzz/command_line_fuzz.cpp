// The command-line splitter: it ends, every parameter comes from the text (a
// quoted one without its quotes, an unquoted one without blanks), and the
// parameters written back quoted split into the same parameters again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "tests/fuzz/fuzz_support.h"

using fuzz::require;

namespace {

// Every parameter up to the end of the text, empty ones (from "") included.
std::vector<std::string> split(const std::string& text) {
    app::CommandLine line = app::readCommandLine(text);
    std::vector<std::string> parameters;
    while (line.position < text.size()) {
        require(parameters.size() <= text.size());
        const std::size_t before = line.position;
        parameters.push_back(app::nextParameter(line));
        require(line.position > before && line.position <= text.size());
    }
    require(app::nextParameter(line).empty());
    return parameters;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> parameters = split(text);

    std::string rebuilt = "brumby.exe";
    for (const std::string& parameter : parameters) {
        require(text.find(parameter) != std::string::npos);
        const bool quoted = parameter.find('"') == std::string::npos;
        require(quoted || (parameter.front() != '"' && parameter.find(' ') == std::string::npos));
        rebuilt += quoted ? " \"" + parameter + "\"" : " " + parameter;
    }
    require(split(rebuilt) == parameters);
    return 0;
}
