// A Qt window held to its Designer file's table (toolkit/window_layout.h).
#pragma once

#include "toolkit/window_layout.h"

#include <QWidget>

#include <string>

namespace tessaldrin::test {

// How `window`, shown, differs from its Designer file's table: the frame,
// each control's parent, place, caption, font and state, and the tab order;
// the differences, "; " between them; empty when there is none.
std::string LayoutDifferences(const QWidget& window, const toolkit::WindowLayout& layout);

} // namespace tessaldrin::test
