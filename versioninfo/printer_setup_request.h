// "Drucker einrichten" of the version window, toolkit-free, for both window
// programs: the printer setup dialog when the printer wrapper has a printer,
// otherwise the note that none is installed.
#pragma once

#include "versioninfo/dozadier.h"

#include <functional>

namespace tessaldrin::versioninfo {

// A message box's texts: shown with an OK button and the error icon,
// task-modal, owned by the window that asked.
struct Note {
    const char* title;
    const char* text;
};

inline constexpr Note kNoPrinterNote{"Hinweis", "Keine Drucker installiert!"};

// Runs `showSetup` when `wrapper` (null: none yet) has a printer; otherwise
// `showNote` with kNoPrinterNote.
void RequestPrinterSetup(const TDOzadi* wrapper, const std::function<void()>& showSetup,
                         const std::function<void(const Note&)>& showNote);

} // namespace tessaldrin::versioninfo
