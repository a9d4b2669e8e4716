// Test driver for the services that depend on the system's code page and
// sessions, under Wine: the exact spelling of texts in a code page given as a
// parameter (UTF-8's 65001 among them, which Wine has no locale for), the
// system code page's lead bytes, the session the snapshot lists, and the
// checked open of a process from its snapshot entry.
// Prints the system code page and the own session, one line per check, and "done".
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/names.h"
#include "platform/processes.h"
#include "platform/win32/w32_state.h"

namespace {

int failures = 0;

void report(const char* check, bool passed) {
    if (!passed) ++failures;
    std::printf("%s %s\n", passed ? "ok" : "FAILED", check);
    std::fflush(stdout);
}

// Whether `text` is spelled in `codePage` exactly as `expected` (nullptr: not at all).
bool spells(unsigned codePage, const std::wstring& text, const char* expected) {
    std::string bytes;
    const bool spelled = platform::w32::spellInCodePage(codePage, text, bytes);
    return expected == nullptr ? !spelled : spelled && bytes == expected;
}

}  // namespace

int main() {
    const platform::CodePage system = platform::systemCodePage();
    std::printf("codepage=%u lead83=%d lead5C=%d\n", system.number, system.leadBytes[0x83] ? 1 : 0,
                system.leadBytes[0x5C] ? 1 : 0);

    // ソング and 表 (83 5C 83 93 83 4F, 95 5C in 932).
    const std::wstring song = L"C:\\\x30BD\x30F3\x30B0\\\x8868.wav";
    report("an ASCII path is spelled in UTF-8", spells(CP_UTF8, L"C:\\Music\\plain2.wav", "C:\\Music\\plain2.wav"));
    report("a Japanese path is spelled in UTF-8",
           spells(CP_UTF8, song, "C:\\\xE3\x82\xBD\xE3\x83\xB3\xE3\x82\xB0\\\xE8\xA1\xA8.wav"));
    report("a lone surrogate is not spelled in UTF-8", spells(CP_UTF8, L"C:\\\xD800.wav", nullptr));
    report("a Japanese path is spelled in 932", spells(932, song, "C:\\\x83\x5C\x83\x93\x83\x4F\\\x95\x5C.wav"));
    report("Hangul is not spelled in 932", spells(932, L"\xD55C.wav", nullptr));
    report("a Western name is spelled in 1252", spells(1252, L"Bj\x00F6rk.mp3", "Bj\xF6rk.mp3"));
    report("a best-fit look-alike is no spelling in 1252", spells(1252, L"\x0100.mp3", nullptr));

    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    std::printf("session=%lu\n", static_cast<unsigned long>(session));
    bool taken = false;
    platform::ProcessEntry own;
    for (const platform::ProcessEntry& entry : platform::processSnapshot(taken)) {
        if (entry.processId == GetCurrentProcessId()) own = entry;
    }
    report("the snapshot lists this process in its own session",
           taken && own.processId != 0 && own.sessionId == platform::ownSessionId() && own.sessionId == session);
    const int opened = platform::openProcess(own);
    report("a process is opened from its snapshot entry", opened != -1);
    platform::closeProcess(opened);
    platform::ProcessEntry later = own;
    later.listedAt = 0;
    report("a process started after its entry was listed is not opened", platform::openProcess(later) == -1);
    platform::ProcessEntry renamed = own;
    renamed.exeFile = "other.exe";
    report("a process running another program is not opened", platform::openProcess(renamed) == -1);

    std::printf("done\n");
    return failures == 0 ? 0 : 1;
}
