// One whole run of the console front end through the stand-in client library,
// on every platform: a two-file database whose header pages and RDB$FILES
// still name E:\Alt\, and the console's output of its run, line by line,
// spelled out from the messages as the program writes them.
#pragma once

#include "tests/filetable/standin_fbclient/standin_control.h"
#include "tests/header/expected_lines.h"
#include "tests/header/synthetic_page.h"

#include <string>
#include <vector>

namespace tessaldrin::testing::whole_run {

inline const std::string kOldSecondary = "E:\\Alt\\Tessaldrin_1.GDB";

// The primary file's header page, in the classic form, linking to `link`.
inline SyntheticPage PrimaryPage(const std::string& link) {
    SyntheticPage page(1024, 10);
    return page.Entry(1, "root").Entry(3, link).Entry(8, "tail").MarkEnd();
}

// The secondary file's header page, the first after the primary, in the
// primary's form, without a link.
inline SyntheticPage SecondaryPage() {
    SyntheticPage page(1024, 10);
    return page.Sequence(1).Entry(4, "x").MarkEnd();
}

// The row the stand-in's RDB$FILES holds for the secondary file.
inline std::vector<standin::Row> Rows(const std::string& name = kOldSecondary) {
    return {{name, 1, 301, 300, 0, 0}};
}

// The console's output of the run in `dir` (with its trailing separator).
inline std::string Output(const std::string& dir) {
    const std::string primary = dir + "Tessaldrin.TDB";
    const std::string secondary = dir + "Tessaldrin_1.TDB";
    const std::vector<std::string> entries{
        "Datenbankmanagementsystem (Interbase / Firebird) vorhanden",
        "",
        "Tessaldrin-Files im aktuellen Verzeichnis:",
        dir + "Tessaldrin.GDB",
        dir + "Tessaldrin_1.GDB",
        "",
        "Dateien umbenennen:",
        "Datei \"" + dir + "Tessaldrin.GDB\" umbenannt zu \"" + primary + "\"",
        "Datei \"" + dir + "Tessaldrin_1.GDB\" umbenannt zu \"" + secondary + "\"",
        "",
        "Ändere Links in den File-Headern ...",
        "Bearbeite Datei: " + primary,
        lines::Continuation(kOldSecondary),
        lines::Changed(kOldSecondary, secondary),
        "",
        "Bearbeite Datei: " + secondary,
        lines::kLastFile,
        "",
        "",
        "Ändere File-Tabelle:",
        "RDB$Files: RDB$FILE_NAME geändert von \"" + kOldSecondary + "\" zu \"" + secondary + "\"",
        "",
        "Tessaldrin Mover hat die Anpassung von Tessaldrin erfolgreich durchgeführt!",
    };
    std::string output;
    for (const auto& entry : entries) {
        output += entry + "\n";
    }
    return output;
}

} // namespace tessaldrin::testing::whole_run
