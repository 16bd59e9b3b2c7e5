// The warning shown before a run may start, and the word that confirms it.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tessaldrin {

// Twelve lines; the trailing spaces and the empty lines belong to the text.
inline constexpr std::array<std::string_view, 12> kConfirmationWarning{
    "Tessaldrin-Mover passt die internen Dateiverweise in einer ",
    "Tessaldrin-Datenbank an, die in ein anderes Verzeichnis verschoben ",
    "wurde.",
    "",
    "Dies ist ein kritischer Vorgang, bei dessen Fehlschlag die Datenbank ",
    "möglicherweise nicht mehr verwendbar ist.",
    "",
    "Arbeiten Sie deshalb immer mit einer Kopie Ihrer Daten!",
    "",
    "Mit der Eingabe von JA im folgenden Eingabefeld bestätigen Sie, dass Sie diesen ",
    "Hinweis verstanden haben, und sich der Risiken beim Einsatz von ",
    "Tessaldrin-Mover bewusst sind!",
};

// True exactly when `typed` is the confirmation word (message 21001), compared
// byte for byte over the whole text: no trimming, no case folding.
bool IsConfirmationWord(const std::string& typed);

} // namespace tessaldrin
