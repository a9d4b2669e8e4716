// Names outside the code page: the code page the simulated system uses
// (1252, Western, unless a test sets the double-byte 932, 936, 949 or 950, or
// UTF-8's 65001), the short forms of files whose names it cannot spell, and
// volumes that keep no short forms. The system gives names in UTF-16; the
// simulator's tests write them, and the simulator keeps them, in UTF-8.
#include <cerrno>
#include <iconv.h>

#include "platform/characters.h"
#include "platform/sim/sim_state.h"

namespace sim {

namespace {

// Code points of the bytes 0x80..0x9F; the rest of the high half is Latin-1 itself.
constexpr char32_t BYTES_80_TO_9F[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t codePoint(unsigned char byte) { return byte >= 0x80 && byte <= 0x9F ? BYTES_80_TO_9F[byte - 0x80] : byte; }

// The byte that spells `c`, or -1 when the code page has none.
int byteFor(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (BYTES_80_TO_9F[i] == c) return 0x80 + i;
    return -1;
}

void appendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code points of a UTF-8 text; false for bytes that are no UTF-8.
bool decodeUtf8(const std::string& text, std::u32string& points) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) return false;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        points += c;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

// The double-byte code pages, by the names the C library's converter knows them.
struct DoubleByte {
    unsigned codePage;
    const char* converter;
};
constexpr DoubleByte DOUBLE_BYTE[] = {{932, "CP932"}, {936, "CP936"}, {949, "CP949"}, {950, "CP950"}};

const char* converterName(unsigned codePage) {
    for (const DoubleByte& known : DOUBLE_BYTE) {
        if (known.codePage == codePage) return known.converter;
    }
    return nullptr;
}

// Converts `in` whole; false at the first byte sequence the converter cannot take.
bool convert(const char* to, const char* from, const std::string& in, std::string& out) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    char* source = const_cast<char*>(in.data());
    std::size_t left = in.size();
    bool whole = true;
    while (left > 0 && whole) {
        char buffer[256];
        char* target = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t done = iconv(converter, &source, &left, &target, &room);
        out.append(buffer, static_cast<std::size_t>(target - buffer));
        whole = done != static_cast<std::size_t>(-1) || errno == E2BIG;
    }
    iconv_close(converter);
    return whole;
}

}  // namespace

platform::CodePage codePageTable() {
    platform::CodePage table;
    table.number = world().codePage;
    for (unsigned byte = 0x81; byte <= 0xFE; ++byte) {
        const bool shiftJis = byte <= 0x9F || (byte >= 0xE0 && byte <= 0xFC);
        table.leadBytes[byte] = converterName(table.number) != nullptr && (table.number != 932 || shiftJis);
    }
    return table;
}

bool spellInCodePage(const std::string& utf8, std::string& bytes) {
    std::u32string points;
    if (!decodeUtf8(utf8, points)) return false;
    const unsigned codePage = world().codePage;
    if (codePage == platform::UTF8_CODE_PAGE) {
        bytes = utf8;
        return true;
    }
    if (const char* name = converterName(codePage)) return convert(name, "UTF-8", utf8, bytes);
    bytes.clear();
    for (char32_t c : points) {
        const int byte = byteFor(c);
        if (byte < 0) return false;
        bytes += static_cast<char>(byte);
    }
    return true;
}

// A byte sequence the code page does not know shows as '?'.
std::string utf8FromCodePage(const std::string& bytes) {
    const unsigned codePage = world().codePage;
    if (codePage == platform::UTF8_CODE_PAGE) return bytes;
    std::string text;
    if (const char* name = converterName(codePage)) {
        const platform::CodePage table = codePageTable();
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t next = platform::nextCharacter(bytes, at, table);
            std::string shown;
            text += convert("UTF-8", name, bytes.substr(at, next - at), shown) ? shown : "?";
            at = next;
        }
        return text;
    }
    for (char byte : bytes) appendUtf8(text, codePoint(static_cast<unsigned char>(byte)));
    return text;
}

void setCodePage(unsigned codePage) { world().codePage = codePage; }

void nameFile(const std::string& longPath, const std::string& shortPath) {
    world().shortForms[longPath] = shortPath;
}

void keepNoShortForms() { world().shortFormsKept = false; }

}  // namespace sim

namespace platform {

// The working directory and the program path come back empty past this.
constexpr std::size_t CURRENT_DIRECTORY_CAPACITY = 260;

using sim::world;

// The real call asks GetShortPathNameW, which knows only files that exist.
std::string singleBytePath(const std::string& utf8Path) {
    if (sim::enter(sim::Call::singleBytePath)) return "";
    std::string bytes;
    if (sim::spellInCodePage(utf8Path, bytes)) return bytes;
    if (!world().shortFormsKept) return "";
    auto known = world().shortForms.find(utf8Path);
    return known == world().shortForms.end() ? "" : known->second;
}

platform::CodePage systemCodePage() {
    sim::enter(sim::Call::systemCodePage);
    return sim::codePageTable();
}

std::string shortPath(const std::string& path) {
    if (sim::enter(sim::Call::shortPath) || !world().shortFormsKept || !sim::fileExists(path)) return "";
    auto known = world().shortForms.find(sim::utf8FromCodePage(path));
    return known == world().shortForms.end() ? "" : known->second;
}

std::string longNameUtf8(const std::string& path) {
    sim::enter(sim::Call::longNameUtf8);
    const platform::CodePage codePage = sim::codePageTable();
    if (platform::findLastCharacter(platform::fileNamePart(path, codePage), '~', codePage) == std::string::npos)
        return "";
    for (const auto& [longPath, shortPath] : world().shortForms) {
        std::string bytes;
        const bool kept = sim::spellInCodePage(longPath, bytes) && platform::pathLength(bytes, codePage) < 260;
        if (sim::upper(shortPath) == sim::upper(path) && !kept) return longPath;
    }
    return "";
}

// A failing read answers as an unset variable does.
std::string environmentVariable(const char* name) {
    if (sim::enter(sim::Call::environmentVariable)) return "";
    const auto& env = sim::world().environment;
    auto it = env.find(sim::upper(name ? name : ""));
    return it == env.end() ? std::string() : it->second;
}

std::string currentDirectory() {
    if (sim::enter(sim::Call::currentDirectory)) return "";
    const std::string& dir = sim::world().currentDirectory;
    return dir.size() >= CURRENT_DIRECTORY_CAPACITY ? std::string() : dir;
}

std::string programPath() {
    if (sim::enter(sim::Call::programPath)) return "";
    const std::string& path = sim::world().programPath;
    return path.size() >= CURRENT_DIRECTORY_CAPACITY ? std::string() : path;
}

}  // namespace platform
