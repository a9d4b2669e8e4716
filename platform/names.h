// The names the system gives: the code page, the single-byte, short and long
// forms of paths, the environment, the working folder and the program's path.
#pragma once

#include <array>
#include <string>

namespace platform {

// Texts that name files come from the system in UTF-16, which the calls below
// give in UTF-8; the player keeps them in the single-byte form singleBytePath makes.
std::string environmentVariable(const char* name);  // empty when unset
// The working directory; empty when it does not fit the 260-character buffer.
std::string currentDirectory();
// The system code page, which spells the single-byte texts the player keeps.
// In a double-byte one (932, 936, 949, 950) a lead byte and the byte after it
// are one character, and that second byte may have the value of '\\', '|' or
// another ASCII character; in UTF-8 (65001) a whole sequence is one character.
struct CodePage {
    unsigned number = 1252;
    std::array<bool, 256> leadBytes{};  // the bytes that open a two-byte character
};
CodePage systemCodePage();
// The single-byte form of a path the system gave (in UTF-8): its code-page
// bytes when they spell it exactly, else its short form (for a file or folder
// that exists on a volume that keeps short forms), else empty: the player
// cannot keep the path.
std::string singleBytePath(const std::string& utf8Path);
// The short form of a single-byte path that names an existing file or folder,
// in the single-byte form; empty when the system has none for it.
std::string shortPath(const std::string& path);
// For a short form standing for a long name the player cannot keep (one the
// code page cannot spell, or one of 260 characters or more), that long path
// in UTF-8, as the user sees it; empty for any other path.
std::string longNameUtf8(const std::string& path);
// The running program's full path, in UTF-8; empty when it does not fit 260 characters.
std::string programPath();

}  // namespace platform
