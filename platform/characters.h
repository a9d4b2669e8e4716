// Texts walked by characters, not bytes: a path in the system code page is
// searched for '\', '.' or its last character only at the starts of its
// characters, so that the second byte of a double-byte character is never
// taken for one of those. The code page a text is walked in is given.
#pragma once

#include <cstddef>
#include <string>

#include "platform/names.h"

namespace platform {

constexpr unsigned UTF8_CODE_PAGE = 65001;
// The walk of a UTF-8 text (as the system gives names), whatever the system code page.
CodePage utf8Text();

// Where the character after the one that starts at `at` starts.
std::size_t nextCharacter(const std::string& text, std::size_t at, const CodePage& codePage);
// Where the last character `c` (one below 0x80) starts; npos when there is none.
std::size_t findLastCharacter(const std::string& text, char c, const CodePage& codePage);
bool endsWithCharacter(const std::string& text, char c, const CodePage& codePage);
// The length the system gives a path, in UTF-16 units.
std::size_t pathLength(const std::string& text, const CodePage& codePage);

// What follows a path's last separator (the whole path when it has none).
std::string fileNamePart(const std::string& path, const CodePage& codePage);
// The folder part of a path, up to and with its last separator; empty when it has none.
std::string folderPart(const std::string& path, const CodePage& codePage);
// A directory and a name joined by exactly one separator, however many the
// directory ends in; an empty directory leaves the name as it is.
std::string joinPath(const std::string& directory, const std::string& name, const CodePage& codePage);
// A drive's root ("C:\") or a share ("\\server\") begins it: a path that does
// not depend on the current drive or directory.
bool absolutePath(const std::string& path);
// A path holding a byte below 0x20 names no file: such characters are never
// part of a name, nor any double-byte character's second byte.
bool holdsControlCharacter(const std::string& text);

}  // namespace platform
