// The program's message table: each message's number and text, byte for byte
// as the program shows them (UTF-8 umlauts, tab and line feed as characters,
// and the spelling of the originals, "erwarted", kept). Compiled in here, and
// the source of the Windows build's string table, so that the two never
// differ; its placeholders are checked against the messages' names when the
// program is compiled.
#pragma once

#include <array>
#include <string_view>

namespace tessaldrin::platform {

struct MessageText {
    int id;
    std::string_view text;
};

inline constexpr std::array kMessageTable{
    MessageText{21001, "JA"},
    MessageText{21002, "Ändere File-Tabelle:"},
    MessageText{21003, "Fehler: Die Anzahl der gefundenen Files stimmt nicht mit der Anzahl der "
                       "Einträge in der File-Tabelle überein!"},
    MessageText{21004, "RDB$Files: RDB$FILE_NAME geändert von \"%s\" zu \"%s\""},
    MessageText{21005, "Datenbankmanagementsystem (Interbase / Firebird) vorhanden"},
    MessageText{21007, "FEHLER: %s\n\n"},
    MessageText{21009, "FEHLER: %s (%d)\n\n"},
    MessageText{21015, "Die variablen Header Daten überschreiten die Seitengröße."},
    MessageText{21016, "Fortsetzungsdatei:\t\"%s\"\n\n"},
    MessageText{21017, "Dies ist die letzte Datei. (Im Header wurde kein Fortsetzungsdatei "
                       "gefunden!)\n\n"},
    MessageText{21018, "Die Datenbankdatei kann nicht geöffnet werden!"},
    MessageText{21020, "Die Header-Seite kann nicht gelesen werden!"},
    MessageText{21021, "Falsche Datenbank-Seiten-Größe!"},
    MessageText{21022, "Falsche Header-Seiten-Typ, erwartet 1, gefunden"},
    MessageText{21023, "Dieses Programm unterstützt keine Fortsetzungs-Header-Seiten."},
    MessageText{21024, "WARNUNG: Checksummen-Fehler, erwarted %d, gefunden %d.\n\n"},
    MessageText{21025, "Der neue Dateiname passt nicht in die Header-Seite."},
    MessageText{21026, "Link geändert von \"%s\" zu \"%s\""},
    MessageText{21027, "Die variablen Header-Daten sind zu groß!"},
    MessageText{21028, "Fehler in den variablen Header-Dateien"},
    MessageText{21029, "Fortsetzungsdatei nicht im Header angegeben!"},
    MessageText{21030, "Header-Seite kann nicht geschrieben werden!"},
    MessageText{21031, "Tessaldrin-Files im aktuellen Verzeichnis:"},
    MessageText{21032, "Tessaldrin im aktuellen Verzeichnis nicht gefunden!"},
    MessageText{21033, "Ändere Links in den File-Headern ..."},
    MessageText{21034, "Dateien umbenennen:"},
    MessageText{21035, "Datei \"%s\" umbenannt zu \"%s\""},
    MessageText{21036,
                "Tessaldrin Mover hat die Anpassung von Tessaldrin erfolgreich durchgeführt!"},
    MessageText{21037, "Tessaldrin Mover konnte Tessaldrin nicht anpassen!"},
    MessageText{21038, "Die Verbindung zum InterBase / FireBird-Server konnte nicht hergestellt "
                       "werden: %s"},
    MessageText{21039, "Bearbeite Datei: %s"},
    MessageText{21040, "Nicht unterstütztes Format der Header-Seite, ODS-Version"},
    MessageText{21041, "Fehler: Die File-Tabelle enthält mehrere Einträge mit derselben "
                       "RDB$FILE_SEQUENCE; sie wird nicht geändert!"},
    MessageText{21042,
                "Der gespeicherte Dateiname \"%s\" nennt keine Datei; er wird nicht geändert."},
    MessageText{21043,
                "Der Link in der Header-Seite enthält Steuerzeichen: die Seite ist beschädigt "
                "und wird nicht geändert."},
    MessageText{21044,
                "Header-Seite kann nicht geschrieben werden, und die gelesene Seite konnte nicht "
                "zurückgeschrieben werden: die Header-Seite kann jetzt beschädigt sein!"},
    MessageText{21045, "Die Datei wird nicht geändert, weil nicht jede Datenbankdatei gesperrt "
                       "werden konnte."},
    MessageText{21050, "Hinweis: Die Links in den File-Headern sind angepasst, und der Server hat "
                       "die Datenbank an ihrem neuen Ort geöffnet. RDB$FILES behält die alten "
                       "Dateinamen, weil dieser Server keine Änderung von RDB$FILES erlaubt."},
    MessageText{21060, "Datei \"%s\" würde umbenannt zu \"%s\""},
    MessageText{21061, "Vorschau der Links in den File-Headern (es wird nichts geschrieben) ..."},
    MessageText{21062, "Link würde geändert von \"%s\" zu \"%s\""},
    MessageText{21063, "Vorschau beendet: Es wurde nichts geändert."},
    MessageText{21064, "Dateien der Datenbank mit der Primärdatei \"%s\":"},
    MessageText{21065, "Die Datei \"%s\" der Kette ist nicht im Verzeichnis \"%s\"."},
    MessageText{21066, "Die Datei \"%s\" steht zweimal in der Kette (Schleife)."},
    MessageText{21067, "Die Header-Seite von \"%s\" hat nicht die Form der Primärdatei."},
    MessageText{21068, "Tessaldrin Mover hat die Datenbank \"%s\" erfolgreich angepasst!"},
    MessageText{21069, "Tessaldrin Mover konnte die Datenbank \"%s\" nicht anpassen!"},
    MessageText{21070, "Datei \"%s\": %s"},
    MessageText{21071, "Keine Datei der Kette verweist auf diese Datei."},
    MessageText{21072, "Der neue Name \"%s\" ist schon vergeben; die Datei wird nicht umbenannt."},
    MessageText{21073, "Die Header-Seite nennt sie Datei %d der Kette, nicht die Primärdatei."},
    MessageText{21074, "Link ist bereits richtig: \"%s\""},
    MessageText{21075, "Die Header-Seite ist nicht mehr die gelesene; sie wird nicht geschrieben."},
    MessageText{21076,
                "Der Lauf wurde durch ein Signal beendet. Zuletzt geschriebene Header-Seite: %s"},
    MessageText{21077, "Der Lauf wurde durch ein Signal beendet, bevor eine Header-Seite "
                       "geschrieben wurde."},
    MessageText{21078, "Die Datei \"%s\" konnte nicht in \"%s\" umbenannt werden; es wird keine "
                       "Header-Seite geschrieben."},
    MessageText{21080, "Grund: %s"},
    MessageText{21081, "Die Datei ist nicht vorhanden."},
    MessageText{21082,
                "Keine Berechtigung, die Datei zu ändern (Zugriffsrechte oder Schreibschutz)."},
    MessageText{21083, "Ein anderes Programm hält die Datei geöffnet, zum Beispiel der "
                       "Datenbankserver, solange eine Verbindung zur Datenbank besteht."},
    MessageText{21084, "Der Name ist ein Link (eine Verknüpfung), keine Datei; ein Link wird nie "
                       "geändert."},
    MessageText{21085,
                "Der Name ist keine gewöhnliche Datei, sondern zum Beispiel ein Verzeichnis."},
    MessageText{21086, "Die Datei hat noch einen zweiten Namen (einen harten Link)."},
    MessageText{21087, "Die Datei liegt auf einem schreibgeschützten Laufwerk oder Dateisystem."},
    MessageText{21088, "Der Dateiname ist zu lang."},
    MessageText{21089, "Das Betriebssystem meldet den Fehler %s."},
    MessageText{21090, "Server: %s, Port %d (ohne Antwort wird nach %d Sekunden aufgegeben)"},
    MessageText{21091, "Firebird-Fehler %s"},
    MessageText{21092,
                "Tessaldrin Mover hat Tessaldrin angepasst: Die Datenbank öffnet an ihrem "
                "neuen Ort. RDB$FILES behält die alten Dateinamen, weil der Server sie nicht "
                "ändern lässt."},
    MessageText{21093,
                "Tessaldrin Mover hat die Datenbank \"%s\" angepasst: Sie öffnet an ihrem "
                "neuen Ort. RDB$FILES behält die alten Dateinamen, weil der Server sie nicht "
                "ändern lässt."},
    MessageText{21094, "Gesucht wurde im Verzeichnis \"%s\"."},
    MessageText{21095, "Ob ein anderes Programm die Datei geöffnet hält, kann nur ihr Eigentümer "
                       "oder ein Administrator prüfen; ungeprüft wird sie nicht geändert."},
    MessageText{21096, "Ob ein anderes Programm die Datei geöffnet hält, lässt sich auf diesem "
                       "Dateisystem (zum Beispiel einem Netzlaufwerk) nicht prüfen; ungeprüft "
                       "wird sie nicht geändert."},
    MessageText{21097, "Der Server hat %d Sekunden lang nicht geantwortet; das Programm hat die "
                       "Verbindung beendet."},
    MessageText{21098,
                "Ob der Server die Änderung von RDB$FILES übernommen hat, ist nicht bekannt: "
                "die Antwort auf das Commit blieb aus."},
    MessageText{21099, "Der Port %d ist kein Netzwerk-Port: Ports gehen von 0 bis 65535. Es "
                       "wird kein Server gefragt."},
    MessageText{21100, "Die Header-Seite nennt sie Datei %d der Kette, sie folgt in der Kette aber "
                       "als Datei %d."},
    MessageText{21101, "Hinweis: Auch \"%s\" passt zum Namen der Primärdatei; sie gehört nicht zu "
                       "diesem Lauf und wird nicht geändert."},
    MessageText{21102, "Der Name unterscheidet sich von \"%s\" nur in der Groß- und "
                       "Kleinschreibung; welche der beiden Dateien zur Datenbank gehört, ist nicht "
                       "zu entscheiden."},
    MessageText{21103, "Die Datei kann nicht umbenannt werden."},
    MessageText{21104, "Das Verzeichnis \"%s\" erlaubt es nicht, darin umzubenennen "
                       "(Zugriffsrechte oder Schreibschutz)."},
    MessageText{21105, "Der Pfad enthält Bytes, die kein Zeichen des Systemzeichensatzes sind; die "
                       "Client-Bibliothek kann ihn dem Server nicht unverändert übergeben."},
    MessageText{21106, "Eine Datei dieses Namens liegt auch in \"%s\"; welche der beiden zur "
                       "Datenbank gehört, ist nicht zu entscheiden."},
    MessageText{21107, "Gesucht wurde auch im Verzeichnis \"%s\"."},
    MessageText{21200, "Kopiere Seiten: %d %% (%d von %d MB)"},
    MessageText{21201, "Vereinigung der mehrteiligen Datenbank %s zu einer Datei"},
    MessageText{21202, "Nicht vereinigt: %s: %s"},
    MessageText{21203, "Die Kette hat nur eine Datei: die Datenbank ist schon eine einzige Datei."},
    MessageText{21204, "Die Header-Seite ist nicht lesbar oder hat keine zulässige Seitengröße."},
    MessageText{21205, "Diese ODS-Version (%d) kann nicht vereinigt werden."},
    MessageText{21206, "Die ODS-Version (%d) weicht von der der Primärdatei (%d) ab."},
    MessageText{21207, "Die Datei gehört zu einem Schatten (Shadow)."},
    MessageText{21208, "Die Header-Seite nennt eine Stammdatei (Root File Name)."},
    MessageText{21209, "nbackup-Zustand ist nicht normal (Flags %d): erst nbackup beenden."},
    MessageText{21210, "Eine Ver- oder Entschlüsselung ist im Gange."},
    MessageText{21211, "Die Header-Seite setzt sich auf Seite %d fort."},
    MessageText{21212, "Die Einträge der Header-Seite sind beschädigt."},
    MessageText{21213, "Falsche Folgenummer in der Kette: erwartet %d, gefunden %d."},
    MessageText{21214, "Falsche Seitengröße: erwartet %d, gefunden %d."},
    MessageText{21215, "Falsche erste Seite: erwartet %d, gefunden %d."},
    MessageText{21216, "Ein Folgedatei-Eintrag ohne Eintrag der letzten Seite."},
    MessageText{21217, "Ein Eintrag der letzten Seite ohne Folgedatei-Eintrag."},
    MessageText{21218, "Die Kette ist unvollständig: die nächste Datei fehlt, ist nicht lesbar "
                       "oder gehört schon zur Kette."},
    MessageText{21219, "Die Kette endet vor ihrer letzten Datei."},
    MessageText{21220, "Leerer Seitenbereich: erste Seite %d, letzte Seite %d."},
    MessageText{21221, "Die Dateigröße ist kein Vielfaches der Seitengröße."},
    MessageText{21222, "Die Datei ist länger als ihr Seitenbereich: %d Seiten erlaubt, %d "
                       "vorhanden."},
    MessageText{21223, "Der Dateiname enthält einen Zeilenumbruch."},
    MessageText{21224, "Neben der Primärdatei liegt ein Journal einer Vereinigung; es wird "
                       "zuerst aufgelöst."},
    MessageText{21225, "Der Name, unter den die Datei beiseitegelegt würde, ist schon vergeben."},
    MessageText{21226, "Der freie Platz auf dem Datenträger ist nicht bekannt."},
    MessageText{21227, "Nicht genug freier Platz: %d MB nötig, %d MB frei."},
    MessageText{21228, "Die Änderung der Header-Seite passt nicht in ihren ersten Sektor."},
    MessageText{21229, "Die Seite an Stelle %d trägt die Nummer %d."},
    MessageText{21230, "Das Journal neben der Primärdatei gehört nicht zu dieser Datenbank."},
    MessageText{21231, "Die Primärdatei passt weder zum Stand vor noch nach der Vereinigung."},
    MessageText{21232, "Die Datei ist nicht mehr die, die das Journal nennt."},
    MessageText{21233, "Die Datei liegt unter ihrem und unter ihrem beiseitegelegten Namen vor."},
    MessageText{21234, "Die Datei kann nicht allein gehalten werden: %s"},
    MessageText{21235, "Datei %s: Seiten %d bis %d, %d MB zu kopieren"},
    MessageText{21236, "Neue Länge der Primärdatei: %d MB; danach beiseitegelegt:"},
    MessageText{21237, "%s wird zu %s"},
    MessageText{21238, "Journal einer unterbrochenen Vereinigung gefunden: %s"},
    MessageText{21239, "Die Vereinigung war noch nicht festgeschrieben; die Primärdatei ist auf "
                       "ihre alte Länge gekürzt, die Datenbank ist unverändert mehrteilig."},
    MessageText{21240, "Die Vereinigung war festgeschrieben; die Umbenennungen sind beendet."},
    MessageText{21241, "Das Journal war unvollständig geschrieben und ist entfernt; nichts "
                       "anderes war geändert."},
    MessageText{21242, "Die Auflösung des Journals ist fehlgeschlagen; es bleibt liegen."},
    MessageText{21243, "Die Vereinigung ist im Schritt %s fehlgeschlagen und rückgängig gemacht; "
                       "die Datenbank ist unverändert mehrteilig."},
    MessageText{21244, "Die Datenbank %s ist jetzt eine einzige Datei."},
    MessageText{21245, "Die Datenbank %s wurde nicht vereinigt."},
    MessageText{21246, "RDB$FILES behält seine Zeilen, der Server lässt sie nicht ändern. ALTER "
                       "DATABASE ADD FILE darf auf dieser Datenbank nicht verwendet werden; die "
                       "nächste Sicherung und Rücksicherung entfernt die Zeilen."},
    MessageText{21247, "Eine Datei der Kette wurde während der Vereinigung geöffnet; die "
                       "Vereinigung ist rückgängig gemacht."},
    MessageText{21248, "Die Vereinigung ist im Schritt %s stehen geblieben; das Journal bleibt "
                       "liegen, der nächste Lauf mit --join schließt sie ab oder macht sie "
                       "rückgängig."},
    MessageText{21249, "\"Journal anlegen\""},
    MessageText{21250, "\"Platz reservieren\""},
    MessageText{21251, "\"Seiten kopieren\""},
    MessageText{21252, "\"Auf die Platte schreiben\""},
    MessageText{21253, "\"Festschreiben\""},
    MessageText{21254, "\"Folgedateien umbenennen\""},
    MessageText{21255, "\"Journal entfernen\""},
    MessageText{21256, "RDB$FILES: %d Zeilen der Folgedateien gelöscht."},
    MessageText{21257, "RDB$FILES hält %d Zeilen der Folgedateien, die Kette hatte %d; keine "
                       "wird gelöscht."},
    MessageText{21258, "Die Zeilen der Folgedateien in RDB$FILES konnten nicht gelöscht werden; "
                       "die Datenbank ist trotzdem eine einzige Datei. ALTER DATABASE ADD FILE "
                       "darf auf dieser Datenbank nicht verwendet werden; die nächste Sicherung "
                       "und Rücksicherung entfernt die Zeilen."},
};

// The text of message `id`; empty for a number the table does not hold.
constexpr std::string_view MessageTextOf(int id) {
    for (const MessageText& message : kMessageTable) {
        if (message.id == id) {
            return message.text;
        }
    }
    return {};
}

// Every number stands in the table once.
constexpr bool EveryNumberOnce() {
    for (std::size_t i = 0; i < kMessageTable.size(); ++i) {
        for (std::size_t j = i + 1; j < kMessageTable.size(); ++j) {
            if (kMessageTable[i].id == kMessageTable[j].id) {
                return false;
            }
        }
    }
    return true;
}
static_assert(EveryNumberOnce(), "a message number stands in the table twice");

} // namespace tessaldrin::platform
