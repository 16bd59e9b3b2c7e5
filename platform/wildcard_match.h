// The wildcard rule of the directory search, on names already case-folded:
// "?" stands for exactly one character, "*" for any run, including none.
#pragma once

#include <cstddef>
#include <string>

namespace tessaldrin::platform {

inline bool MatchesFolded(const std::wstring& pattern, const std::wstring& name) {
    std::size_t p = 0;
    std::size_t n = 0;
    // Where the last "*" stood and how much of the name it has taken so far.
    std::size_t star = std::wstring::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            starName = n;
        } else if (star != std::wstring::npos) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace tessaldrin::platform
