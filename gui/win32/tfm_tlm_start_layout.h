// The confirmation dialog's layout: the frame and the controls in tab order,
// in pixels of the client area. Weiter and Abbrechen are the dialog's OK and
// Cancel buttons, which Enter and Esc press; they say when they get or lose
// the focus (BS_NOTIFY), which the default frame follows.
#pragma once

#include "gui/win32/resource_ids.h"
#include "toolkit/windows/control_table.h"

namespace tessaldrin::start_dialog {

enum Control : int {
    kMemo1 = 100,
    kEdit1,
    kBbtnWeiter = IDOK,
    kBitBtn2 = IDCANCEL,
};

inline constexpr toolkit::FontSpec kFont{"Arial", 19};

// A dialog border: fixed size, a close box, no minimise or maximise.
inline constexpr toolkit::FormSpec kForm{
    .windowClass = "TfmTLMStart",
    .caption = "Tessaldrin-Mover",
    .clientWidth = 700,
    .clientHeight = 416,
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
    .exStyle = WS_EX_DLGMODALFRAME,
};

// Memo1's text, the warning, is set when the dialog is built.
inline constexpr toolkit::ControlSpec kControls[]{
    {.id = kMemo1,
     .windowClass = "EDIT",
     .text = "",
     .style = ES_MULTILINE | ES_READONLY | WS_TABSTOP,
     .bounds = {0, 0, 700, 313},
     .font = &kFont,
     .textColour = toolkit::kRed,
     .background = COLOR_BTNFACE},
    {.id = kEdit1,
     .windowClass = "EDIT",
     .text = "",
     .style = ES_AUTOHSCROLL | WS_TABSTOP,
     .bounds = {480, 328, 65, 30},
     .font = &kFont,
     .exStyle = WS_EX_CLIENTEDGE,
     .textColour = toolkit::kNavy},
    {.id = kBbtnWeiter,
     .windowClass = "BUTTON",
     .text = "Weiter",
     .style = BS_OWNERDRAW | BS_NOTIFY | WS_DISABLED | WS_TABSTOP,
     .bounds = {552, 328, 137, 33},
     .font = &kFont,
     .glyph = IDI_OK},
    {.id = kBitBtn2,
     .windowClass = "BUTTON",
     .text = "Abbrechen",
     .style = BS_OWNERDRAW | BS_NOTIFY | WS_TABSTOP,
     .bounds = {552, 376, 137, 33},
     .font = &kFont,
     .glyph = IDI_CANCEL},
};

} // namespace tessaldrin::start_dialog
