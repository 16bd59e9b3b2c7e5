#include "platform/load_string.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tessaldrin::platform {
namespace {

struct Message {
    int id;
    std::string_view text;
};

// Byte for byte as the program shows them: UTF-8 umlauts, tab and line feed as
// characters, and the spelling of the originals ("erwarted") kept.
constexpr std::array kMessages{
    Message{21001, "JA"},
    Message{21002, "Ändere File-Tabelle:"},
    Message{21003, "Fehler: Die Anzahl der gefundenen Files stimmt nicht mit der Anzahl der "
                   "Einträge in der File-Tabelle überein!"},
    Message{21004, "RDB$Files: RDB$FILE_NAME geändert von \"%s\" zu \"%s\""},
    Message{21005, "Datenbankmanagementsystem (Interbase / Firebird) vorhanden"},
    Message{21007, "FEHLER: %s\n\n"},
    Message{21009, "FEHLER: %s (%d)\n\n"},
    Message{21015, "Die variablen Header Daten überschreiten die Seitengröße."},
    Message{21016, "Fortsetzungsdatei:\t\"%s\"\n\n"},
    Message{21017, "Dies ist die letzte Datei. (Im Header wurde kein Fortsetzungsdatei "
                   "gefunden!)\n\n"},
    Message{21018, "Die Datenbankdatei kann nicht geöffnet werden!"},
    Message{21020, "Die Header-Seite kann nicht gelesen werden!"},
    Message{21021, "Falsche Datenbank-Seiten-Größe!"},
    Message{21022, "Falsche Header-Seiten-Typ, erwartet 1, gefunden"},
    Message{21023, "Dieses Programm unterstützt keine Fortsetzungs-Header-Seiten."},
    Message{21024, "WARNUNG: Checksummen-Fehler, erwarted %d, gefunden %d.\n\n"},
    Message{21025, "Der neue Dateiname passt nicht in die Header-Seite."},
    Message{21026, "Link geändert von \"%s\" zu \"%s\""},
    Message{21027, "Die variablen Header-Daten sind zu groß!"},
    Message{21028, "Fehler in den variablen Header-Dateien"},
    Message{21029, "Fortsetzungsdatei nicht im Header angegeben!"},
    Message{21030, "Header-Seite kann nicht geschrieben werden!"},
    Message{21031, "Tessaldrin-Files im aktuellen Verzeichnis:"},
    Message{21032, "Tessaldrin im aktuellen Verzeichnis nicht gefunden!"},
    Message{21033, "Ändere Links in den File-Headern ..."},
    Message{21034, "Dateien umbenennen:"},
    Message{21035, "Datei \"%s\" umbenannt zu \"%s\""},
    Message{21036, "Tessaldrin Mover hat die Anpassung von Tessaldrin erfolgreich durchgeführt!"},
    Message{21037, "Tessaldrin Mover konnte Tessaldrin nicht anpassen!"},
    Message{21038, "Die Verbindung zum InterBase / FireBird-Server konnte nicht hergestellt "
                   "werden: %s"},
    Message{21039, "Bearbeite Datei: %s"},
    Message{21040, "Nicht unterstütztes Format der Header-Seite, ODS-Version"},
    Message{21041, "Fehler: Die File-Tabelle enthält mehrere Einträge mit derselben "
                   "RDB$FILE_SEQUENCE; sie wird nicht geändert!"},
    Message{21042, "Der gespeicherte Dateiname \"%s\" nennt keine Datei; er wird nicht geändert."},
    Message{21043, "Der Link in der Header-Seite enthält Steuerzeichen: die Seite ist beschädigt "
                   "und wird nicht geändert."},
    Message{21044,
            "Header-Seite kann nicht geschrieben werden, und die gelesene Seite konnte nicht "
            "zurückgeschrieben werden: die Header-Seite kann jetzt beschädigt sein!"},
    Message{21045, "Die Datei wird nicht geändert, weil nicht jede Datenbankdatei gesperrt "
                   "werden konnte."},
    Message{21050, "Hinweis: Die Links in den File-Headern sind angepasst, und der Server hat "
                   "die Datenbank an ihrem neuen Ort geöffnet. RDB$FILES behält die alten "
                   "Dateinamen, weil dieser Server keine Änderung von RDB$FILES erlaubt."},
    Message{21060, "Datei \"%s\" würde umbenannt zu \"%s\""},
    Message{21061, "Vorschau der Links in den File-Headern (es wird nichts geschrieben) ..."},
    Message{21062, "Link würde geändert von \"%s\" zu \"%s\""},
    Message{21063, "Vorschau beendet: Es wurde nichts geändert."},
    Message{21064, "Dateien der Datenbank mit der Primärdatei \"%s\":"},
    Message{21065, "Die Datei \"%s\" der Kette ist nicht im Verzeichnis \"%s\"."},
    Message{21066, "Die Datei \"%s\" steht zweimal in der Kette (Schleife)."},
    Message{21067, "Die Header-Seite von \"%s\" hat nicht die Form der Primärdatei."},
    Message{21068, "Tessaldrin Mover hat die Datenbank \"%s\" erfolgreich angepasst!"},
    Message{21069, "Tessaldrin Mover konnte die Datenbank \"%s\" nicht anpassen!"},
    Message{21080, "Grund: %s"},
    Message{21081, "Die Datei ist nicht vorhanden."},
    Message{21082, "Keine Berechtigung, die Datei zu ändern (Zugriffsrechte oder Schreibschutz)."},
    Message{21083, "Ein anderes Programm hält die Datei geöffnet, zum Beispiel der "
                   "Datenbankserver, solange eine Verbindung zur Datenbank besteht."},
    Message{21084, "Der Name ist ein Link (eine Verknüpfung), keine Datei; ein Link wird nie "
                   "geändert."},
    Message{21085, "Der Name ist keine gewöhnliche Datei, sondern zum Beispiel ein Verzeichnis."},
    Message{21086, "Die Datei hat noch einen zweiten Namen (einen harten Link)."},
    Message{21087, "Die Datei liegt auf einem schreibgeschützten Laufwerk oder Dateisystem."},
    Message{21088, "Der Dateiname ist zu lang."},
    Message{21089, "Das Betriebssystem meldet den Fehler %s."},
    Message{21090, "Server: %s, Port %d (ohne Antwort wird nach %d Sekunden aufgegeben)"},
    Message{21091, "Firebird-Fehler %s"},
};

} // namespace

std::string LoadString(int id) {
    const auto it = std::find_if(kMessages.begin(), kMessages.end(),
                                 [id](const Message& m) { return m.id == id; });
    return it == kMessages.end() ? std::string{} : std::string{it->text};
}

} // namespace tessaldrin::platform
