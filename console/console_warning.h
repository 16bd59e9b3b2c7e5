// The warning before a run, as the console front end shows it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessaldrin {

// The window's warning (kConfirmationWarning) for a console: the lines of each
// paragraph joined and wrapped anew to the console's width, without a blank at
// any line's end; JA is typed at the prompt, as the console has no input
// field; with `primary` (--primary) it names that database instead of a
// Tessaldrin database. Paragraphs are separated by an empty line.
std::vector<std::string> ConsoleWarning(const std::optional<std::string>& primary);

} // namespace tessaldrin
