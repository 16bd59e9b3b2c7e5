// Writes the program's message table as the string table resource of the
// Windows build, in Windows-1252: built for the machine that builds, from the
// same table that the other platforms compile in, so that the two never
// differ. Fails, and writes nothing, on a character that Windows-1252 lacks.
//
//   message_table_rc OUTPUT.rc
#include "platform/load_string.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

namespace {

// Windows-1252 at 0x80 to 0x9F; 0 where the code page has no character.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<unsigned char> ToWindows1252(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<unsigned char>(code);
    }
    for (unsigned i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == code) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

// `text` from UTF-8 to Windows-1252; nothing when it is not valid UTF-8 or
// holds a character that the code page lacks.
std::optional<std::string> Convert(const std::string& text) {
    std::string converted;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if ((lead >= 0x80 && lead < 0xC2) || lead > 0xF4 || at + length > text.size()) {
            return std::nullopt;
        }
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            code = (code << 6) | (next & 0x3F);
        }
        const auto byte = ToWindows1252(code);
        if (!byte) {
            return std::nullopt;
        }
        converted.push_back(static_cast<char>(*byte));
        at += length;
    }
    return converted;
}

// A string of the resource script: quotes doubled; backslash, tab, line feed
// and carriage return as escapes; every other control character is refused.
std::optional<std::string> Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            quoted += "\"\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\t':
            quoted += "\\t";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                return std::nullopt;
            }
            quoted += c;
        }
    }
    return quoted + "\"";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: message_table_rc OUTPUT.rc\n");
        return 2;
    }
    std::string script = "// Generated from the program's message table; do not edit.\n"
                         "#pragma code_page(1252)\n"
                         "LANGUAGE 0, 0\n"
                         "STRINGTABLE\nBEGIN\n";
    for (int id = 0; id <= 0xFFFF; ++id) {
        const std::string text = tessaldrin::platform::LoadString(id);
        if (text.empty()) {
            continue;
        }
        const auto converted = Convert(text);
        const auto quoted = converted ? Quoted(*converted) : std::nullopt;
        if (!quoted) {
            std::fprintf(stderr, "message_table_rc: message %d has no Windows-1252 form\n", id);
            return 1;
        }
        script += "  " + std::to_string(id) + ", " + *quoted + "\n";
    }
    script += "END\n";
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << script;
    return out.flush() ? 0 : 1;
}
