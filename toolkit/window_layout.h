// A window's layout as its Designer file states it, toolkit-free: the frame
// and each control's place, text, font and place in the tab order. Made at
// build time by toolkit/ui_layout_tables.py, beside the Win32 table made from
// the same file, so that both window programs can be held to it.
#pragma once

#include <span>

namespace tessaldrin::toolkit {

struct LayoutFont {
    const char* face;
    int pixels; // the height of the characters, internal leading not counted
    bool bold;
};

struct LayoutBounds {
    int left;
    int top;
    int width;
    int height;
};

struct LayoutControl {
    const char* name;
    const char* parent;  // the control it sits in; null: the window itself
    LayoutBounds bounds; // in pixels of the parent's client area
    const char* text;    // its caption; null for a multi-line text, whose text is the program's
    LayoutFont font;
    int tabOrder; // its place among the tab stops; -1 none
    bool radio;   // a radio button: a run of them is one stop of the Win32 window's Tab
    bool enabled; // when the window is made
};

struct WindowLayout {
    const char* name;
    const char* caption;
    int left; // on the screen, for a window that is not centred
    int top;
    int clientWidth;
    int clientHeight;
    LayoutFont font;
    std::span<const LayoutControl> controls;
};

} // namespace tessaldrin::toolkit
