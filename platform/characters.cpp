// The walk of texts by characters, the same over every system's code-page service.
#include "platform/characters.h"

#include <cctype>

namespace platform {

namespace {

unsigned char byteAt(const std::string& text, std::size_t at) { return static_cast<unsigned char>(text[at]); }

// A UTF-8 sequence is one character only when it is whole; a byte that
// starts none, or a sequence cut short, is a character of its own.
std::size_t utf8Length(const std::string& text, std::size_t at) {
    const unsigned char lead = byteAt(text, at);
    const std::size_t length = lead < 0xC2 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 1;
    for (std::size_t k = 1; k < length; ++k) {
        if (at + k >= text.size() || (byteAt(text, at + k) & 0xC0) != 0x80) return 1;
    }
    return length;
}

}  // namespace

CodePage utf8Text() {
    CodePage codePage;
    codePage.number = UTF8_CODE_PAGE;
    return codePage;
}

// A lead byte with nothing after it stands alone, as the system reads it.
std::size_t nextCharacter(const std::string& text, std::size_t at, const CodePage& codePage) {
    if (at >= text.size()) return text.size();
    if (codePage.number == UTF8_CODE_PAGE) return at + utf8Length(text, at);
    return at + (codePage.leadBytes[byteAt(text, at)] && at + 1 < text.size() ? 2 : 1);
}

std::size_t findLastCharacter(const std::string& text, char c, const CodePage& codePage) {
    std::size_t found = std::string::npos;
    for (std::size_t at = 0; at < text.size(); at = nextCharacter(text, at, codePage)) {
        if (text[at] == c) found = at;
    }
    return found;
}

bool endsWithCharacter(const std::string& text, char c, const CodePage& codePage) {
    std::size_t last = std::string::npos;
    for (std::size_t at = 0; at < text.size(); at = nextCharacter(text, at, codePage)) last = at;
    return last != std::string::npos && last + 1 == text.size() && text[last] == c;
}

// A character outside the basic plane (a four-byte UTF-8 sequence) takes two units.
std::size_t pathLength(const std::string& text, const CodePage& codePage) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t next = nextCharacter(text, at, codePage);
        units += codePage.number == UTF8_CODE_PAGE && next - at == 4 ? 2 : 1;
        at = next;
    }
    return units;
}

std::string fileNamePart(const std::string& path, const CodePage& codePage) {
    const std::size_t slash = findLastCharacter(path, '\\', codePage);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderPart(const std::string& path, const CodePage& codePage) {
    const std::size_t slash = findLastCharacter(path, '\\', codePage);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The directory's own trailing separators are cut at character starts: the
// last byte of "C:\ソ" (83 5C) is the second half of its last character.
std::string joinPath(const std::string& directory, const std::string& name, const CodePage& codePage) {
    if (directory.empty()) return name;
    std::size_t kept = 0;
    for (std::size_t at = 0; at < directory.size(); at = nextCharacter(directory, at, codePage)) {
        if (directory[at] != '\\') kept = nextCharacter(directory, at, codePage);
    }
    return directory.substr(0, kept) + "\\" + name;
}

// The first bytes of a path start characters of their own, whatever the code page.
bool absolutePath(const std::string& path) {
    const bool drive = path.size() >= 3 && std::isalpha(byteAt(path, 0)) && path[1] == ':' && path[2] == '\\';
    const bool share = path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
    return drive || share;
}

bool holdsControlCharacter(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) return true;
    }
    return false;
}

}  // namespace platform
