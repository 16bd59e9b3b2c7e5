#include "filetable/positional_sql.h"

#include <cctype>

namespace tessaldrin::filetable {
namespace {

bool IsNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '$';
}

// The index just past the quoted text, comment or name that starts at `at`,
// or `at` when none starts there.
std::size_t SkipQuotedOrComment(const std::string& sql, std::size_t at) {
    const char c = sql[at];
    if (c == '\'' || c == '"') {
        const auto close = sql.find(c, at + 1);
        return close == std::string::npos ? sql.size() : close + 1;
    }
    if (sql.compare(at, 2, "--") == 0) {
        const auto end = sql.find('\n', at);
        return end == std::string::npos ? sql.size() : end;
    }
    if (sql.compare(at, 2, "/*") == 0) {
        const auto close = sql.find("*/", at + 2);
        return close == std::string::npos ? sql.size() : close + 2;
    }
    return at;
}

} // namespace

PositionalSql ToPositional(const std::string& sql) {
    PositionalSql result;
    std::size_t at = 0;
    while (at < sql.size()) {
        const std::size_t skipped = SkipQuotedOrComment(sql, at);
        if (skipped != at) {
            result.text.append(sql, at, skipped - at);
            at = skipped;
            continue;
        }
        if (sql[at] == ':' && at + 1 < sql.size() && IsNameCharacter(sql[at + 1])) {
            std::size_t end = at + 1;
            std::string name;
            while (end < sql.size() && IsNameCharacter(sql[end])) {
                name += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[end])));
                ++end;
            }
            result.parameters.push_back(name);
            result.text += '?';
            at = end;
            continue;
        }
        result.text += sql[at];
        ++at;
    }
    return result;
}

} // namespace tessaldrin::filetable
