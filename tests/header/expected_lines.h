// The lines the editor writes to the run log, spelled out byte for byte so
// that a wrong text, frame or number shows.
#pragma once

#include <string>

namespace tessaldrin::testing::lines {

inline std::string Error(const std::string& text) {
    return "FEHLER: " + text + "\n\n";
}
inline std::string Error(const std::string& text, long number) {
    return "FEHLER: " + text + " (" + std::to_string(number) + ")\n\n";
}

inline const std::string kOverran = "Die variablen Header Daten überschreiten die Seitengröße.";
inline std::string Continuation(const std::string& name) {
    return "Fortsetzungsdatei:\t\"" + name + "\"\n\n";
}
inline const std::string kLastFile =
    "Dies ist die letzte Datei. (Im Header wurde kein Fortsetzungsdatei gefunden!)\n\n";
inline const std::string kCannotOpen = "Die Datenbankdatei kann nicht geöffnet werden!";
inline const std::string kCannotRead = "Die Header-Seite kann nicht gelesen werden!";
inline const std::string kWrongPageSize = "Falsche Datenbank-Seiten-Größe!";
inline const std::string kWrongPageType = "Falsche Header-Seiten-Typ, erwartet 1, gefunden";
inline const std::string kContinuedHeader =
    "Dieses Programm unterstützt keine Fortsetzungs-Header-Seiten.";
inline std::string ChecksumWarning(long expected, long stored) {
    return "WARNUNG: Checksummen-Fehler, erwarted " + std::to_string(expected) + ", gefunden " +
           std::to_string(stored) + ".\n\n";
}
inline const std::string kNameDoesNotFit = "Der neue Dateiname passt nicht in die Header-Seite.";
inline std::string Changed(const std::string& from, const std::string& to) {
    return "Link geändert von \"" + from + "\" zu \"" + to + "\"";
}
inline const std::string kEntriesTooLarge = "Die variablen Header-Daten sind zu groß!";
inline const std::string kEntriesBroken = "Fehler in den variablen Header-Dateien";
inline const std::string kNoContinuation = "Fortsetzungsdatei nicht im Header angegeben!";
inline const std::string kCannotWrite = "Header-Seite kann nicht geschrieben werden!";
inline const std::string kNotRestored =
    "Header-Seite kann nicht geschrieben werden, und die gelesene Seite konnte nicht "
    "zurückgeschrieben werden: die Header-Seite kann jetzt beschädigt sein!";
inline const std::string kPageChanged =
    "Die Header-Seite ist nicht mehr die gelesene; sie wird nicht geschrieben.";
inline const std::string kDamagedLink = "Der Link in der Header-Seite enthält Steuerzeichen: die "
                                        "Seite ist beschädigt und wird nicht geändert.";
inline const std::string kNotAllHeld =
    "Die Datei wird nicht geändert, weil nicht jede Datenbankdatei gesperrt werden konnte.";
inline std::string NamesNoFile(const std::string& stored) {
    return "Der gespeicherte Dateiname \"" + stored +
           "\" nennt keine Datei; er wird nicht geändert.";
}
// The line after kCannotOpen that says why, and its reasons.
inline std::string Reason(const std::string& reason) {
    return "Grund: " + reason;
}
inline const std::string kMissing = "Die Datei ist nicht vorhanden.";
inline const std::string kNoPermission =
    "Keine Berechtigung, die Datei zu ändern (Zugriffsrechte oder Schreibschutz).";
inline const std::string kHeldElsewhere =
    "Ein anderes Programm hält die Datei geöffnet, zum Beispiel der Datenbankserver, solange "
    "eine Verbindung zur Datenbank besteht.";
inline const std::string kLink =
    "Der Name ist ein Link (eine Verknüpfung), keine Datei; ein Link wird nie geändert.";
inline const std::string kNotRegular =
    "Der Name ist keine gewöhnliche Datei, sondern zum Beispiel ein Verzeichnis.";
inline const std::string kSecondName =
    "Die Datei hat noch einen zweiten Namen (einen harten Link).";
inline const std::string kReadOnlyFileSystem =
    "Die Datei liegt auf einem schreibgeschützten Laufwerk oder Dateisystem.";
inline const std::string kNameTooLong = "Der Dateiname ist zu lang.";
inline const std::string kHoldersUnknownNoRight =
    "Ob ein anderes Programm die Datei geöffnet hält, kann nur ihr Eigentümer oder ein "
    "Administrator prüfen; ungeprüft wird sie nicht geändert.";
inline const std::string kUnsupportedForm =
    "Nicht unterstütztes Format der Header-Seite, ODS-Version";

} // namespace tessaldrin::testing::lines
