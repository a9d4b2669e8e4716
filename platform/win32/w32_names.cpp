// Names outside the system code page: texts that name files come from the
// system in UTF-16 and are handed on in UTF-8; the player keeps each path in
// the code page when its bytes spell it exactly, and by its short form when
// they cannot.
#include "platform/characters.h"
#include "platform/names.h"
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
// UTF-8 and UTF-7 refuse the flags that report either (the call fails with
// ERROR_INVALID_FLAGS or ERROR_INVALID_PARAMETER, though Wine accepts them);
// there the bytes are read back instead, and a text they spell exactly comes
// back as it was (a lone surrogate comes back as U+FFFD).
bool spellInCodePage(unsigned codePage, const std::wstring& wide, std::string& bytes) {
    bytes.clear();
    if (wide.empty()) return true;
    const bool reportsStandIns = codePage != CP_UTF8 && codePage != CP_UTF7;
    const DWORD flags = reportsStandIns ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL usedDefault = FALSE;
    BOOL* used = reportsStandIns ? &usedDefault : nullptr;
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, used);
    if (length <= 0 || usedDefault) return false;
    bytes.assign(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, nullptr, used) != length ||
        usedDefault) {
        return false;
    }
    if (reportsStandIns) return true;
    const DWORD readFlags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    const int back = MultiByteToWideChar(codePage, readFlags, bytes.data(), length, nullptr, 0);
    std::wstring again(static_cast<std::size_t>(back > 0 ? back : 0), L'\0');
    MultiByteToWideChar(codePage, readFlags, bytes.data(), length, again.data(), back);
    return back > 0 && again == wide;
}

bool spellInCodePage(const std::wstring& wide, std::string& bytes) { return spellInCodePage(GetACP(), wide, bytes); }

}  // namespace w32

namespace {

using PathForm = DWORD(WINAPI*)(LPCWSTR path, LPWSTR form, DWORD capacity);

constexpr const wchar_t* LONG_PATH = L"\\\\?\\";
constexpr const wchar_t* LONG_SHARE = L"\\\\?\\UNC\\";

bool startsWith(const std::wstring& text, const wchar_t* start) { return text.rfind(start, 0) == 0; }

// The short or the long form of a path (GetShortPathNameW, GetLongPathNameW);
// empty when the call fails. A path of 260 characters or more is asked for
// with the prefix that lifts that limit, which the answer then loses again.
std::wstring pathForm(PathForm form, const std::wstring& path) {
    std::wstring asked = path;
    const bool drive = path.size() > 2 && path[1] == L':' && path[2] == L'\\';
    const bool share = startsWith(path, L"\\\\") && !startsWith(path, LONG_PATH);
    if (path.size() >= MAX_PATH && drive) asked = LONG_PATH + path;
    if (path.size() >= MAX_PATH && share) asked = LONG_SHARE + path.substr(2);
    const DWORD length = form(asked.c_str(), nullptr, 0);
    if (length == 0) return {};
    std::wstring result(length, L'\0');
    const DWORD copied = form(asked.c_str(), result.data(), length);
    if (copied == 0 || copied >= length) return {};
    result.resize(copied);
    if (asked == path) return result;
    if (startsWith(result, LONG_SHARE)) return L"\\\\" + result.substr(8);
    if (startsWith(result, LONG_PATH)) return result.substr(4);
    return result;
}

// A single-byte path as the system reads it; empty for bytes the code page does not know.
std::wstring fromCodePage(const std::string& path) {
    if (path.empty()) return {};
    const int size = static_cast<int>(path.size());
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path.data(), size, wide.data(), length);
    return wide;
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

std::string shortPath(const std::string& path) {
    const std::wstring shortForm = pathForm(&GetShortPathNameW, fromCodePage(path));
    std::string bytes;
    return !shortForm.empty() && w32::spellInCodePage(shortForm, bytes) ? bytes : "";
}

// Only a file name with a '~' can be a short form the system made: any other
// path keeps its row's label as it always was, without asking the file system.
std::string longNameUtf8(const std::string& path) {
    const CodePage codePage = systemCodePage();
    if (findLastCharacter(fileNamePart(path, codePage), '~', codePage) == std::string::npos) return "";
    const std::wstring longPath = pathForm(&GetLongPathNameW, fromCodePage(path));
    std::string bytes;
    const bool kept = w32::spellInCodePage(longPath, bytes) && longPath.size() < MAX_PATH;
    return longPath.empty() || kept ? "" : w32::toUtf8(longPath);
}

std::string programPath() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return "";
    }
    return w32::toUtf8(std::wstring(path, length));
}

std::string environmentVariable(const char* name) {
    const std::wstring wideName = w32::toWide(name != nullptr ? name : "");
    std::wstring value(256, L'\0');
    DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length >= value.size()) {
        value.resize(length);
        length = GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (length >= value.size()) {
            return "";
        }
    }
    value.resize(length);
    return w32::toUtf8(value);
}

std::string currentDirectory() {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
    // A longer directory does not fit: the call then reports the size it would need.
    if (length == 0 || length >= MAX_PATH) {
        return "";
    }
    return w32::toUtf8(std::wstring(buffer, length));
}

}  // namespace platform
