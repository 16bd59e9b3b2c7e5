// A Win32 window of the window program held to its Designer file's table.
#pragma once

#include "platform/windows/windows_api.h"
#include "toolkit/window_layout.h"

#include <string>

namespace tessaldrin::testing::windows {

// How `window` differs from `layout`: its class, caption and client area;
// its controls in the order they were made, each one's place in the window's
// client area, caption, font and state; and where Tab goes from each stop.
// The fonts are read through their handles: `window` is one of this process.
// One line for each difference, "; " between them; empty when there is none.
std::string LayoutDifferences(HWND window, const toolkit::WindowLayout& layout);

} // namespace tessaldrin::testing::windows
