// Comparison of texts the way the user's locale orders them, without regard to
// the case of letters (CompareStringA with the ignore-case flag).
#pragma once

#include <string>

namespace tessaldrin::platform {

// `text` decoded from UTF-8 with every letter in its lower-case form. A byte
// that is no part of a valid sequence stays distinct from every character.
std::wstring FoldCase(const std::string& text);
// The same with every letter in its upper-case form: the order in which the
// Windows file system keeps the names of a directory.
std::wstring UpcaseText(const std::string& text);

// Negative, zero or positive as `a` sorts before, equal to or after `b` in the
// user's locale, once both are case-folded. Texts that differ only in the case
// of letters compare equal.
int CompareTextIgnoreCase(const std::string& a, const std::string& b);

} // namespace tessaldrin::platform
