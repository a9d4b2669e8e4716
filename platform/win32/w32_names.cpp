// Names outside the system code page: texts that name files come from the
// system in UTF-16 and are handed on in UTF-8; the player keeps each path in
// the code page when its bytes spell it exactly, and by its short form when
// they cannot.
#include "platform/characters.h"
#include "platform/system.h"
#include "platform/win32/w32_state.h"

namespace platform {

namespace w32 {

std::wstring toWide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string toUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr, nullptr);
    return utf8;
}

// The code page's bytes for a text, only when they spell it exactly: no
// character stood in for by the default one, none by a best-fit look-alike.
bool spellInCodePage(const std::wstring& wide, std::string& bytes) {
    bytes.clear();
    if (wide.empty()) return true;
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return false;
    bytes.assign(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), bytes.data(), length,
                        nullptr, &usedDefault);
    return !usedDefault;
}

}  // namespace w32

namespace {

using PathForm = DWORD(WINAPI*)(LPCWSTR path, LPWSTR form, DWORD capacity);

// The short or the long form of a path (GetShortPathNameW, GetLongPathNameW); empty when the call fails.
std::wstring pathForm(PathForm form, const std::wstring& path) {
    const DWORD length = form(path.c_str(), nullptr, 0);
    if (length == 0) return {};
    std::wstring result(length, L'\0');
    const DWORD copied = form(path.c_str(), result.data(), length);
    if (copied == 0 || copied >= length) return {};
    result.resize(copied);
    return result;
}

}  // namespace

// The code page cannot change while the process runs: its table is made once.
CodePage systemCodePage() {
    static const CodePage codePage = [] {
        CodePage made;
        made.number = GetACP();
        for (unsigned byte = 0; byte < made.leadBytes.size(); ++byte) {
            made.leadBytes[byte] = IsDBCSLeadByteEx(made.number, static_cast<BYTE>(byte)) != 0;
        }
        return made;
    }();
    return codePage;
}

std::string singleBytePath(const std::string& utf8Path) {
    const std::wstring wide = w32::toWide(utf8Path);
    std::string bytes;
    if (w32::spellInCodePage(wide, bytes)) return bytes;
    // Without short forms on the volume the long name comes back, which the code page cannot spell either.
    const std::wstring shortForm = pathForm(&GetShortPathNameW, wide);
    return !shortForm.empty() && w32::spellInCodePage(shortForm, bytes) ? bytes : "";
}

// Only a file name with a '~' can be a short form the system made: any other
// path keeps its row's label as it always was, without asking the file system.
std::string longNameUtf8(const std::string& path) {
    const CodePage codePage = systemCodePage();
    if (findLastCharacter(fileNamePart(path, codePage), '~', codePage) == std::string::npos) return "";
    const int length = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
    const std::wstring longPath = pathForm(&GetLongPathNameW, wide);
    std::string bytes;
    return longPath.empty() || w32::spellInCodePage(longPath, bytes) ? "" : w32::toUtf8(longPath);
}

}  // namespace platform
