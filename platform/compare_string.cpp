#include "platform/compare_string.h"

#include <clocale>
#include <cwctype>
#include <locale.h>
#include <wchar.h>
#include <wctype.h>

namespace tessaldrin::platform {
namespace {

// The case mapping of Unicode as a whole; the texts here are UTF-8 whatever
// the user's locale is called.
locale_t UnicodeCtype() {
    static const locale_t locale = [] {
        locale_t found = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
        return found != locale_t{} ? found : newlocale(LC_CTYPE_MASK, "C", locale_t{});
    }();
    return locale;
}

// The user's collation, as the environment names it; code point order when
// the named locale is not installed.
locale_t UserCollation() {
    static const locale_t locale = [] {
        locale_t found = newlocale(LC_COLLATE_MASK, "", locale_t{});
        return found != locale_t{} ? found : newlocale(LC_COLLATE_MASK, "C.UTF-8", locale_t{});
    }();
    return locale;
}

// A byte outside any valid UTF-8 sequence maps into the low surrogates, where
// no decoded character lies (the way Python's surrogateescape keeps them).
constexpr char32_t kStrayByteBase = 0xDC00;

std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// Decodes the sequence at `at`, advancing `at` past it.
char32_t DecodeOne(const std::string& text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = SequenceLength(lead);
    if (length == 1) {
        ++at;
        return lead;
    }
    if (length == 0 || at + length > text.size()) {
        ++at;
        return kStrayByteBase + lead;
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            ++at;
            return kStrayByteBase + lead;
        }
        code = (code << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++at;
        return kStrayByteBase + lead;
    }
    at += length;
    return code;
}

template <typename Mapping> std::wstring MapCase(const std::string& text, Mapping mapping) {
    std::wstring mapped;
    mapped.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char32_t code = DecodeOne(text, at);
        const bool stray = code >= kStrayByteBase && code <= kStrayByteBase + 0xFF;
        mapped.push_back(stray ? static_cast<wchar_t>(code)
                               : static_cast<wchar_t>(mapping(code, UnicodeCtype())));
    }
    return mapped;
}

} // namespace

std::wstring FoldCase(const std::string& text) {
    return MapCase(text, towlower_l);
}

std::wstring UpcaseText(const std::string& text) {
    return MapCase(text, towupper_l);
}

int CompareTextIgnoreCase(const std::string& a, const std::string& b) {
    return wcscoll_l(FoldCase(a).c_str(), FoldCase(b).c_str(), UserCollation());
}

} // namespace tessaldrin::platform
