// Buttons with a glyph beside their caption, drawn by their form: the
// system's push buttons can show either a picture or a text, and never their
// caption in a colour of its own.
#pragma once

#include "platform/windows/windows_api.h"

namespace tessaldrin::toolkit {

struct ButtonLook {
    HFONT font;
    COLORREF textColour; // CLR_INVALID: the system's button text colour
    HICON glyph;         // may be null
    HICON disabledGlyph; // null: the glyph greyed
    bool flat;           // no frame unless pressed, as a tool bar's button
    bool isDefault;      // the button that Enter presses: a dark outer frame
};

// Draws the button of `item` (a WM_DRAWITEM) with the glyph left of the
// caption, the two centred together.
void DrawGlyphButton(const DRAWITEMSTRUCT& item, const ButtonLook& look);

} // namespace tessaldrin::toolkit
