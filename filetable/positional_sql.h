// Named parameters (":NAME") of a statement turned into the positional "?"
// that the client API takes.
#pragma once

#include <string>
#include <vector>

namespace tessaldrin::filetable {

struct PositionalSql {
    std::string text;                    // the statement with "?" in place of each name
    std::vector<std::string> parameters; // the names in order of appearance, upper case
};

// Names are letters, digits, "_" and "$" after a ":"; text inside quotes and
// comments is left alone.
PositionalSql ToPositional(const std::string& sql);

} // namespace tessaldrin::filetable
