// A window's layout as data: the form's frame and a table of its controls,
// each with its position and size in pixels of the client area (never in
// dialog units, which follow the font), its text in Windows-1252, its font,
// colours and glyphs. Controls are created in table order, which is their
// tab order.
#pragma once

#include "platform/windows/windows_api.h"

namespace tessaldrin::toolkit {

struct FontSpec {
    const char* face;
    int pixels; // the height of the characters, internal leading not counted
    bool bold = false;
};

inline constexpr FontSpec kWindowFont{"MS Sans Serif", 11};
inline constexpr COLORREF kNavy = RGB(0, 0, 128);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
// The control's own colour.
inline constexpr COLORREF kOwnColour = CLR_INVALID;

struct Bounds {
    int left;
    int top;
    int width;
    int height;
};

struct ControlSpec {
    int id;
    const char* windowClass; // "EDIT", "BUTTON"
    const char* text;
    DWORD style;   // beside WS_CHILD and WS_VISIBLE
    Bounds bounds; // in the client area of the form, or of the group box `within`
    int within = 0;
    const FontSpec* font = &kWindowFont;
    DWORD exStyle = 0;
    COLORREF textColour = kOwnColour;
    int background = -1; // a system colour index such as COLOR_BTNFACE; -1 the control's own
    // Owner-drawn buttons: the icon resources of the glyph and of its
    // disabled picture (0: the glyph greyed), and whether the button is flat.
    int glyph = 0;
    int disabledGlyph = 0;
    bool flat = false;
    unsigned textLimit = 0; // characters; 0 the control's own
    bool checked = false;
};

struct FormSpec {
    const char* windowClass;
    const char* caption;
    int clientWidth;
    int clientHeight;
    DWORD style;
    DWORD exStyle = 0;
    int icon = 0; // icon resource; 0 none
    // On the screen, for a window that places itself; TForm centres its forms.
    int left = 0;
    int top = 0;
};

} // namespace tessaldrin::toolkit
