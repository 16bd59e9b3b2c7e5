// The main window's layout: the frame and the controls in tab order, in
// pixels of the client area; the port choice's controls in pixels of the
// group box they sit in.
#pragma once

#include "app/port_choice.h"
#include "gui/win32/resource_ids.h"
#include "toolkit/windows/control_table.h"

namespace tessaldrin::main_window {

enum Control : int {
    kMemLog = 100,
    kGbPort,
    kRbtnPortStandard,
    kRbtnPortKorvanta,
    kRbtnPortCustom,
    kEdPortCustom,
    kSbtnStart,
    kSbtnClose,
};

inline constexpr toolkit::FontSpec kGroupCaptionFont{"MS Sans Serif", 11, true};
inline constexpr toolkit::FontSpec kButtonFont{"Arial", 19};

inline constexpr toolkit::FormSpec kForm{
    .windowClass = "TfmTLMMain",
    .caption = "Tessaldrin-Mover",
    .clientWidth = 862,
    .clientHeight = 616,
    .style = WS_OVERLAPPEDWINDOW,
    .icon = IDI_TESSALDRIN_MOVER,
};

// memLog is aligned to the top: the window keeps it at full width.
inline constexpr toolkit::ControlSpec kControls[]{
    {.id = kMemLog,
     .windowClass = "EDIT",
     .text = "memLog",
     .style = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP,
     .bounds = {0, 0, 862, 497},
     .exStyle = WS_EX_CLIENTEDGE},
    {.id = kGbPort,
     .windowClass = "BUTTON",
     .text = "Wie lautet der Netzwerk-Port des Firebird-Datenbank-Management-Systems?",
     .style = BS_GROUPBOX,
     .bounds = {8, 510, 449, 105},
     .font = &kGroupCaptionFont},
    {.id = kRbtnPortStandard,
     .windowClass = "BUTTON",
     .text = "Firebird- / Interbase-Standard (3050)",
     .style = BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
     .bounds = {16, 24, 257, 17},
     .within = kGbPort,
     .checked = true},
    {.id = kRbtnPortKorvanta,
     .windowClass = "BUTTON",
     .text = "Korvanta (30500)",
     .style = BS_AUTORADIOBUTTON,
     .bounds = {16, 48, 257, 17},
     .within = kGbPort},
    {.id = kRbtnPortCustom,
     .windowClass = "BUTTON",
     .text = "Benutzerdefiniert:",
     .style = BS_AUTORADIOBUTTON,
     .bounds = {16, 72, 113, 17},
     .within = kGbPort},
    {.id = kEdPortCustom,
     .windowClass = "EDIT",
     .text = "",
     .style = ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP,
     .bounds = {128, 72, 81, 21},
     .within = kGbPort,
     .exStyle = WS_EX_CLIENTEDGE,
     .textLimit = kCustomPortDigitsMax},
    // Flat buttons take no focus from the keyboard; Start waits for the confirmation.
    {.id = kSbtnStart,
     .windowClass = "BUTTON",
     .text = " Start",
     .style = BS_OWNERDRAW | WS_DISABLED | WS_GROUP,
     .bounds = {464, 512, 113, 57},
     .font = &kButtonFont,
     .textColour = toolkit::kNavy,
     .glyph = IDI_START,
     .flat = true},
    {.id = kSbtnClose,
     .windowClass = "BUTTON",
     .text = "Schließen",
     .style = BS_OWNERDRAW,
     .bounds = {584, 512, 113, 57},
     .font = &kButtonFont,
     .textColour = toolkit::kNavy,
     .glyph = IDI_CLOSE,
     .disabledGlyph = IDI_CLOSE_DISABLED,
     .flat = true},
};

} // namespace tessaldrin::main_window
