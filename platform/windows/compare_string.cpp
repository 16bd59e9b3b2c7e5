#include "platform/windows/windows_api.h"

#include "platform/compare_string.h"

namespace tessaldrin::platform {
namespace {

// `text` in UTF-16 as the ANSI code page reads it.
std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(wide > 0 ? wide : 0), L'\0');
    if (wide > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.data(), wide);
    }
    return result;
}

} // namespace

std::wstring FoldCase(const std::string& text) {
    std::wstring folded = Widen(text);
    CharLowerBuffW(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

std::wstring UpcaseText(const std::string& text) {
    std::wstring upper = Widen(text);
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

int CompareTextIgnoreCase(const std::string& a, const std::string& b) {
    const int result =
        CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                       b.data(), static_cast<int>(b.size()));
    if (result == 0) {
        // Only invalid arguments make it fail; bytes still give an order.
        return a.compare(b);
    }
    return result - CSTR_EQUAL;
}

} // namespace tessaldrin::platform
