#include "console/console_warning.h"

#include "app/confirmation.h"

#include <algorithm>
#include <sstream>
#include <string_view>

namespace tessaldrin {
namespace {

constexpr std::size_t kConsoleWidth = 79;

// The characters of UTF-8 `text`: its bytes but the continuation bytes.
std::size_t Width(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void Replace(std::string& text, std::string_view from, std::string_view to) {
    if (const auto at = text.find(from); at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
}

// `paragraph` broken between words into lines of at most kConsoleWidth
// characters; a longer word stands on a line of its own.
void AppendWrapped(std::vector<std::string>& lines, const std::string& paragraph) {
    std::istringstream words(paragraph);
    std::string line;
    for (std::string word; words >> word;) {
        if (!line.empty() && Width(line) + 1 + Width(word) > kConsoleWidth) {
            lines.push_back(std::move(line));
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    lines.push_back(std::move(line));
}

} // namespace

std::vector<std::string> ConsoleWarning(const std::optional<std::string>& primary) {
    // A line of the window's text that goes on in the next ends in a blank.
    std::vector<std::string> paragraphs(1);
    for (std::string_view line : kConfirmationWarning) {
        if (line.empty()) {
            paragraphs.emplace_back();
        } else {
            paragraphs.back() += line;
        }
    }
    std::vector<std::string> lines;
    for (std::string& paragraph : paragraphs) {
        Replace(paragraph, " im folgenden Eingabefeld", "");
        if (primary) {
            Replace(paragraph, "einer Tessaldrin-Datenbank", "der Datenbank \"" + *primary + "\"");
        }
        if (!lines.empty()) {
            lines.emplace_back();
        }
        AppendWrapped(lines, paragraph);
    }
    return lines;
}

} // namespace tessaldrin
