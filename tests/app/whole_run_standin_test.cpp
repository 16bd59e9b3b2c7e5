// A whole run of the console front end through the stand-in client library,
// which plays a server whose RDB$FILES accepts updates (no Firebird 3 or later
// does): every step, the console's output and the files afterwards. The
// Windows build runs the same run under Wine against the same expectation.
#include "app/run_adjustment.h"
#include "console/console_front_end.h"
#include "tests/app/whole_run_expectation.h"
#include "tests/support/firebird_fixture.h"
#include "tests/support/plan_steps.h"

#include "platform/locked_file.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace tessaldrin;
using namespace tessaldrin::testing;

TEST(WholeRunThroughStandInClient, LogsEveryStepAndLeavesTheChainLinkedInItsNewPlace) {
    const TempDir dir;
    const std::string at = dir.path().string() + "/";
    WriteFile(dir.path() / "Tessaldrin.GDB",
              whole_run::PrimaryPage(whole_run::kOldSecondary).Text());
    WriteFile(dir.path() / "Tessaldrin_1.GDB", whole_run::SecondaryPage().Text());
    standin::Reset();
    standin::SetRows(whole_run::Rows());

    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const int exit = RunConsole({"--confirm", "JA"},
                                {at + "tessaldrin-mover-cli", STANDIN_FBCLIENT, in, out, err});
    EXPECT_EQ(exit, kExitSucceeded);
    EXPECT_EQ(out.str(), whole_run::Output(at));
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(ReadBytes(dir.path() / "Tessaldrin.TDB"),
              whole_run::PrimaryPage(at + "Tessaldrin_1.TDB").Text());
    EXPECT_EQ(ReadBytes(dir.path() / "Tessaldrin_1.TDB"), whole_run::SecondaryPage().Text());
    EXPECT_EQ(standin::Rows(), whole_run::Rows(at + "Tessaldrin_1.TDB"));
    EXPECT_EQ(standin::OpenHandles(), 0);
}

// The preview and the run make one plan: equal as values, renames, pages as
// read and as they are to be written, target names and refusals alike.
TEST(WholeRunThroughStandInClient, ThePreviewsPlanIsTheRunsPlan) {
    const TempDir dir;
    const std::string at = dir.path().string() + "/";
    WriteFile(dir.path() / "Tessaldrin.GDB",
              whole_run::PrimaryPage(whole_run::kOldSecondary).Text());
    WriteFile(dir.path() / "Tessaldrin_1.GDB", whole_run::SecondaryPage().Text());
    standin::Reset();
    standin::SetRows(whole_run::Rows());
    std::vector<RunPlan> plans;
    RunObservers observers;
    observers.planMade = [&plans](const RunPlan& plan) { plans.push_back(plan); };
    filetable::TdmFiles dmFiles(STANDIN_FBCLIENT);
    const RunSettings settings{at + "tessaldrin-mover-cli", {}, 3050};
    ListRunLog log;
    EXPECT_TRUE(PreviewAdjustment(dmFiles, settings, log, observers));
    EXPECT_EQ(RunAdjustment(dmFiles, settings, log, observers), RunOutcome::kAdjusted);
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(ChangesOf<Rename>(plans[0]).size(), 2u);
    const auto pages = ChangesOf<WriteHeaderPage>(plans[0]);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(pages[0].Writes());
    // The file table last, by the primary file's new name.
    const auto fileTable = ChangesOf<RewriteFileTable>(plans[0]);
    ASSERT_EQ(fileTable.size(), 1u);
    EXPECT_TRUE(std::holds_alternative<RewriteFileTable>(plans[0].changes.back()));
    EXPECT_EQ(fileTable[0].change.primaryFile, at + "Tessaldrin.TDB");
    EXPECT_EQ(fileTable[0].change.fileCount, 2u);
    EXPECT_TRUE(plans[0] == plans[1]);
}

namespace {

struct ConsoleRun {
    int exitCode;
    std::string out;
};

ConsoleRun RunIn(const std::string& at, std::vector<std::string> args) {
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const int exit =
        RunConsole(args, {at + "tessaldrin-mover-cli", STANDIN_FBCLIENT, in, out, err});
    return {exit, out.str() + err.str()};
}

// Every entry below the directory, links as themselves: its path and bytes.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const fs::path& path = entry.path();
        entries[path.lexically_relative(dir).string()] =
            fs::is_symlink(path)        ? "-> " + fs::read_symlink(path).string()
            : fs::is_regular_file(path) ? ReadBytes(path)
                                        : "";
    }
    return entries;
}

// The lines of `out` that say what a run changes or refuses, with the
// preview's wording made the run's.
std::vector<std::string> Changes(std::string out) {
    const std::string would = "w\xC3\xBCrde ";
    for (auto at = out.find(would); at != std::string::npos; at = out.find(would, at)) {
        out.erase(at, would.size());
    }
    std::vector<std::string> lines;
    std::istringstream read(out);
    for (std::string line; std::getline(read, line);) {
        for (const char* prefix : {"Datei \"", "Link ge\xC3\xA4ndert", "Link ist bereits richtig",
                                   "FEHLER: Datei \"", "Grund: "}) {
            if (line.rfind(prefix, 0) == 0) {
                lines.push_back(line);
            }
        }
    }
    return lines;
}

// A header page of the file at `place` of its chain (0: the primary file),
// linking to `link`, or to none when it is empty.
SyntheticPage Page(std::uint16_t place, const std::string& link = {}, std::size_t pageSize = 1024,
                   std::uint16_t odsVersion = 10) {
    SyntheticPage page(pageSize, odsVersion);
    page.Sequence(place);
    return link.empty() ? page : page.Entry(3, link);
}

// `text` with every "{dir}" made `dir`.
std::string In(const std::string& dir, std::string text) {
    for (auto at = text.find("{dir}"); at != std::string::npos; at = text.find("{dir}", at)) {
        text.replace(at, 5, dir);
    }
    return text;
}

std::string Refused(const std::string& file, const std::string& reason) {
    return "FEHLER: Datei \"{dir}" + file + "\": " + reason;
}

const std::string kCaseTwin = "\" nur in der Gro\xC3\x9F- und Kleinschreibung; welche der beiden "
                              "Dateien zur Datenbank geh\xC3\xB6rt, ist nicht zu entscheiden.";

} // namespace

// The preview is the plan printed: for chains that the plan refuses and
// chains it accepts, in both modes, the preview predicts the run's outcome
// and every rename, link and refusal of it, each refused file is named with
// its reason, and a refused plan leaves every file as it was and ends before
// the file table step: no server ever attaches a chain that the plan refused
// (the client library here is the stand-in, which records every call).
TEST(PlanOfARun, ThePreviewAndTheRunAgreeAndARefusedPlanChangesNothing) {
    struct Case {
        const char* what;
        std::map<std::string, SyntheticPage> files; // paths below the directory
        bool holds;
        std::vector<std::string> lines;     // that the run writes; "{dir}" is the directory
        std::vector<std::string> args = {}; // the run's own, "{dir}" as above
        const char* held = nullptr;         // a file that another holder locks
        std::function<void(const fs::path&)> setUp = {}; // and undone by tearDown
        std::function<void(const fs::path&)> tearDown = {};
        int rows = -1; // in RDB$FILES; -1: one for each file but one
    };
    const TempDir temp;
    const std::string dir = temp.path().string() + "/";
    SyntheticPage crowded = Page(0, "/a/Tessaldrin_1.GDB");
    crowded.FillTo(1024 - 8);
    const std::string chain = "--primary";
    // A primary path of 335 characters: the system opens it, but it is
    // longer than the 300 that the link editor takes for a file it works on.
    const std::string deep =
        std::string(150, 'd') + "/" + std::string(335 - dir.size() - 151 - 11, 'e') + "/Kunden.fdb";
    const std::vector<Case> cases = {
        {"--primary: a path longer than the link editor takes",
         {{deep, Page(0)}},
         false,
         {Refused(deep, "Die Datenbankdatei kann nicht ge\xC3\xB6"
                        "ffnet werden!"),
          "Grund: Der Dateiname ist zu lang."},
         {chain, "{dir}" + deep}},
        {"a chain that holds",
         {{"Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.GDB", Page(1, "C:\\a\\Tessaldrin_2.GDB")},
          {"Tessaldrin_2.GDB", Page(2)}},
         true,
         {"Link ge\xC3\xA4ndert von \"C:\\a\\Tessaldrin_2.GDB\" zu \"{dir}Tessaldrin_2.TDB\""}},
        {"names in another case on disk",
         {{"Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB")}, {"TESSALDRIN_1.gdb", Page(1)}},
         true,
         {"zu \"{dir}TESSALDRIN_1.TDB\""}},
        {"every link right already",
         {{"Tessaldrin.TDB", Page(0, dir + "Tessaldrin_1.TDB")}, {"Tessaldrin_1.TDB", Page(1)}},
         true,
         {"Link ist bereits richtig: \"{dir}Tessaldrin_1.TDB\""}},
        {"a new link that does not fit",
         {{"Tessaldrin.GDB", crowded}, {"Tessaldrin_1.GDB", Page(1)}},
         false,
         {Refused("Tessaldrin.GDB", "Die variablen Header-Daten sind zu gro\xC3\x9F!")}},
        {"a file that another holder keeps",
         {{"Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB")}, {"Tessaldrin_1.GDB", Page(1)}},
         false,
         {Refused("Tessaldrin_1.GDB", "Die Datenbankdatei kann nicht ge\xC3\xB6"
                                      "ffnet werden!")},
         {},
         "Tessaldrin_1.GDB"},
        {"a .TDB beside its .GDB",
         {{"Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.GDB", Page(1)},
          {"Tessaldrin_1.TDB", Page(1)}},
         false,
         {Refused("Tessaldrin_1.GDB", "Der neue Name \"{dir}Tessaldrin_1.TDB\" ist schon "
                                      "vergeben; die Datei wird nicht umbenannt.")}},
        {"two files that renaming gives one name",
         {{"Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.ADB", Page(1)},
          {"Tessaldrin_1.GDB", Page(1)}},
         false,
         {Refused("Tessaldrin_1.GDB", "Der neue Name \"{dir}Tessaldrin_1.TDB\" ist schon "
                                      "vergeben; die Datei wird nicht umbenannt.")}},
        {"a secondary file missing",
         {{"Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.GDB", Page(1, "/a/Tessaldrin_2.GDB")}},
         false,
         {Refused("Tessaldrin_1.GDB", "Die Datei \"/a/Tessaldrin_2.GDB\" der Kette ist nicht im "
                                      "Verzeichnis \"{dir}\".")}},
        {"a file that no link reaches",
         {{"Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.GDB", Page(1)},
          {"Tessaldrin_9.GDB", Page(2)}},
         false,
         {Refused("Tessaldrin_9.GDB", "Keine Datei der Kette verweist auf diese Datei.")}},
        {"a loop",
         {{"Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.GDB", Page(1, "/a/Tessaldrin_2.GDB")},
          {"Tessaldrin_2.GDB", Page(2, "/a/Tessaldrin_1.GDB")}},
         false,
         {Refused("Tessaldrin_2.GDB",
                  "Die Datei \"{dir}Tessaldrin_1.GDB\" steht zweimal in der Kette (Schleife).")}},
        {"a primary file whose header says it is a secondary",
         {{"Tessaldrin.GDB", Page(1, "/a/Tessaldrin_1.GDB")}, {"Tessaldrin_1.GDB", Page(1)}},
         false,
         {Refused("Tessaldrin.GDB", "Die Header-Seite nennt sie Datei 1 der Kette, nicht die "
                                    "Prim\xC3\xA4rdatei.")}},
        {"a copy beside a secondary file, its name in other case",
         {{"Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB")},
          {"Tessaldrin_1.GDB", Page(1)},
          {"TESSALDRIN_1.GDB", Page(1)}},
         false,
         {Refused("TESSALDRIN_1.GDB",
                  "Der Name unterscheidet sich von \"{dir}Tessaldrin_1.GDB" + kCaseTwin),
          Refused("Tessaldrin_1.GDB",
                  "Der Name unterscheidet sich von \"{dir}TESSALDRIN_1.GDB" + kCaseTwin)}},
        {"a later file of another page size",
         {{"Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB", 4096)},
          {"Tessaldrin_1.GDB", Page(1, {}, 8192)}},
         false,
         {Refused("Tessaldrin_1.GDB", "Die Header-Seite von \"{dir}Tessaldrin_1.GDB\" hat nicht "
                                      "die Form der Prim\xC3\xA4rdatei.")}},
        {"a directory whose entries cannot be renamed",
         {{"Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB")}, {"Tessaldrin_1.GDB", Page(1)}},
         false,
         {Refused("Tessaldrin.GDB", "Die Datei kann nicht umbenannt werden."),
          "Grund: Das Verzeichnis \"{dir}\" erlaubt es nicht, darin umzubenennen "
          "(Zugriffsrechte oder Schreibschutz).",
          Refused("Tessaldrin_1.GDB", "Die Datei kann nicht umbenannt werden.")},
         {},
         nullptr,
         // Immutable, where even root renames nothing; read-only for any
         // other user.
         [](const fs::path& dir) {
             ASSERT_EQ(RunCommand(geteuid() == 0 ? "chattr +i '" + dir.string() + "'"
                                                 : "chmod 555 '" + dir.string() + "'")
                           .status,
                       0);
         },
         [](const fs::path& dir) {
             RunCommand(geteuid() == 0 ? "chattr -i '" + dir.string() + "'"
                                       : "chmod 755 '" + dir.string() + "'");
         }},
        {"a directory named by bytes that are no UTF-8",
         {{"neu\xFF/Tessaldrin.GDB", Page(0, "/a/Tessaldrin_1.GDB")},
          {"neu\xFF/Tessaldrin_1.GDB", Page(1)}},
         false,
         {Refused("neu\xFF/Tessaldrin.GDB",
                  "Der Pfad enth\xC3\xA4lt Bytes, die kein Zeichen des Systemzeichensatzes sind; "
                  "die Client-Bibliothek kann ihn dem Server nicht unver\xC3\xA4ndert "
                  "\xC3\xBC"
                  "bergeben.")},
         {"--dir", "{dir}neu\xFF"}},
        {"--primary: a chain that holds, reached through a link and \"..\"",
         {{"A/neu/Kunden.fdb", Page(0)},
          {"B/neu/Kunden.fdb", Page(0, "/alt/Kunden.f01")},
          {"B/neu/Kunden.f01", Page(1)}},
         true,
         {"Dateien der Datenbank mit der Prim\xC3\xA4rdatei \"{dir}B/neu/Kunden.fdb\":",
          "Link ge\xC3\xA4ndert von \"/alt/Kunden.f01\" zu \"{dir}B/neu/Kunden.f01\""},
         {chain, "{dir}A/lnk/../neu/Kunden.fdb"},
         nullptr,
         [](const fs::path& dir) {
             fs::create_directories(dir / "B/x");
             fs::create_directory_symlink(dir / "B/x", dir / "A/lnk");
         },
         {},
         1},
        {"--primary: a later file missing",
         {{"Kunden.fdb", Page(0, "C:\\Alt\\Kunden.f01")},
          {"Kunden.f01", Page(1, "/alt/Kunden.f02")}},
         false,
         {Refused("Kunden.f01",
                  "Die Datei \"/alt/Kunden.f02\" der Kette ist nicht im Verzeichnis \"{dir}\".")},
         {chain, "{dir}Kunden.fdb"}},
        {"--primary: a loop back to a later file",
         {{"Kunden.fdb", Page(0, "/alt/Kunden.f01")},
          {"Kunden.f01", Page(1, "/alt/Kunden.f02")},
          {"Kunden.f02", Page(2, "/alt/Kunden.f01")}},
         false,
         {Refused("Kunden.f02", "Die Datei \"{dir}Kunden.f01\" steht zweimal in der Kette "
                                "(Schleife).")},
         {chain, "{dir}Kunden.fdb"}},
        {"--primary: a file held elsewhere, and every other named",
         {{"Kunden.fdb", Page(0, "/alt/Kunden.f01")}, {"Kunden.f01", Page(1)}},
         false,
         {Refused("Kunden.fdb", "Die Datei wird nicht ge\xC3\xA4ndert, weil nicht jede "
                                "Datenbankdatei gesperrt werden konnte."),
          Refused("Kunden.f01", "Die Datenbankdatei kann nicht ge\xC3\xB6"
                                "ffnet werden!"),
          "Grund: Ein anderes Programm h\xC3\xA4lt die Datei ge\xC3\xB6"
          "ffnet"},
         {chain, "{dir}Kunden.fdb"},
         "Kunden.f01"},
        {"--primary: a page of another form, then another database's primary file",
         {{"Kunden.fdb", Page(0, "/alt/Kunden.f01")},
          {"Kunden.f01", Page(1, "/alt/Kunden.f02", 1024, 11)},
          {"Kunden.f02", Page(0)}},
         false,
         {Refused("Kunden.f01", "Die Header-Seite von \"{dir}Kunden.f01\" hat nicht die Form der "
                                "Prim\xC3\xA4rdatei."),
          Refused("Kunden.f02", "Die Header-Seite nennt sie Datei 0 der Kette, sie folgt in "
                                "der Kette aber als Datei 2.")},
         {chain, "{dir}Kunden.fdb"}},
        {"--primary: a link that names no file",
         {{"Kunden.fdb", Page(0, "C:\\Alt\\")}},
         false,
         {Refused("Kunden.fdb", "Der gespeicherte Dateiname \"C:\\Alt\\\" nennt keine Datei; er "
                                "wird nicht ge\xC3\xA4ndert.")},
         {chain, "{dir}Kunden.fdb"}},
        {"--primary: a link that two names on disk match but for case",
         {{"Kunden.fdb", Page(0, "/alt/Kunden.F01")},
          {"Kunden.f01", Page(1)},
          {"KUNDEN.F01", Page(1)}},
         false,
         {Refused("Kunden.fdb",
                  "Die Datei \"/alt/Kunden.F01\" der Kette ist nicht im Verzeichnis \"{dir}\".")},
         {chain, "{dir}Kunden.fdb"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& entry : fs::directory_iterator(temp.path())) {
            fs::remove_all(entry.path());
        }
        for (const auto& [name, page] : c.files) {
            fs::create_directories((temp.path() / name).parent_path());
            WriteFile(temp.path() / name, page.Text());
        }
        if (c.setUp) {
            c.setUp(temp.path());
        }
        std::vector<std::string> args;
        for (const std::string& arg : c.args) {
            args.push_back(In(dir, arg));
        }
        standin::Reset();
        std::vector<standin::Row> rows;
        const int rowCount = c.rows >= 0 ? c.rows : static_cast<int>(c.files.size()) - 1;
        for (int sequence = 1; sequence <= rowCount; ++sequence) {
            rows.push_back({"/a/Tessaldrin_1.GDB", sequence, 0, 0, 0, 0});
        }
        standin::SetRows(rows);
        std::optional<platform::LockedFile> other;
        if (c.held != nullptr) {
            other = platform::LockedFile::Open(dir + c.held);
            ASSERT_TRUE(other);
        }
        const auto before = Snapshot(temp.path());

        std::vector<std::string> previewArgs = args;
        previewArgs.push_back("--dry-run");
        const ConsoleRun preview = RunIn(dir, previewArgs);
        EXPECT_EQ(preview.exitCode == kExitSucceeded, c.holds) << preview.out;
        EXPECT_EQ(Snapshot(temp.path()), before);
        args.insert(args.end(), {"--confirm", "JA"});
        const ConsoleRun run = RunIn(dir, args);
        EXPECT_EQ(run.exitCode == kExitSucceeded, c.holds) << run.out;
        EXPECT_EQ(Changes(run.out), Changes(preview.out)) << run.out;
        EXPECT_FALSE(Changes(run.out).empty()) << run.out;
        for (const std::string& line : c.lines) {
            EXPECT_NE(run.out.find(In(dir, line)), std::string::npos) << In(dir, line) << "\nin\n"
                                                                      << run.out;
        }
        if (!c.holds) {
            EXPECT_EQ(Snapshot(temp.path()), before);
            EXPECT_EQ(run.out.find("Bearbeite Datei"), std::string::npos) << run.out;
            EXPECT_EQ(run.out.find("\xC3\x84ndere File-Tabelle"), std::string::npos) << run.out;
            for (const std::string& call : standin::Journal()) {
                EXPECT_EQ(call.rfind("isc_attach_database", 0), std::string::npos) << call;
            }
        }
        if (c.tearDown) {
            c.tearDown(temp.path());
        }
    }
}

// Between the plan and the change, the files may be changed under the run:
// a file swapped at its name, a page written by someone else. The run then
// renames nothing further and writes no link after a failed rename; it never
// writes over a page that is no longer the one planned, but still writes the
// later pages; it names what it refused, and does not reach the file table.
TEST(ChangesUnderTheRun, AreRefusedWhereTheyFallAndTheRestOfTheStepStaysAsPlanned) {
    const auto chain = [](int place) {
        SyntheticPage page;
        page.Sequence(static_cast<std::uint16_t>(place));
        return (place < 2 ? page.Entry(3, "/a/Tessaldrin_" + std::to_string(place + 1) + ".GDB")
                          : page)
            .Text();
    };
    const std::vector<std::string> bases{"Tessaldrin", "Tessaldrin_1", "Tessaldrin_2"};
    for (const std::string extension : {".GDB", ".TDB"}) {
        const bool renaming = extension == ".GDB";
        SCOPED_TRACE(renaming ? "a file swapped at its name" : "a page written by another");
        const TempDir temp;
        const std::string at = temp.path().string() + "/";
        for (int i = 0; i < 3; ++i) {
            WriteFile(temp.path() / (bases[i] + extension), chain(i));
        }
        standin::Reset();
        standin::SetRows(
            {{"/a/Tessaldrin_1.GDB", 1, 0, 0, 0, 0}, {"/a/Tessaldrin_2.GDB", 2, 0, 0, 0, 0}});
        const std::string changedPage = chain(0).replace(100, 1, "Q");
        RunObservers meddling;
        meddling.stepTimed = [&](std::string_view step, auto) {
            if (step != "planning") {
                return;
            }
            if (renaming) {
                fs::rename(temp.path() / "Tessaldrin_1.GDB", temp.path() / "aside");
                WriteFile(temp.path() / "Tessaldrin_1.GDB", "decoy");
            } else {
                std::fstream page(temp.path() / "Tessaldrin.TDB",
                                  std::ios::in | std::ios::out | std::ios::binary);
                page.seekp(100);
                page.put('Q');
            }
        };
        filetable::TdmFiles dmFiles(STANDIN_FBCLIENT);
        ListRunLog log;
        EXPECT_EQ(RunAdjustment(dmFiles, {at + "tessaldrin-mover-cli", {}, 3050}, log, meddling),
                  RunOutcome::kFailed);
        std::string said;
        for (const std::string& line : log.Lines) {
            said += line + "\n";
        }
        if (renaming) {
            EXPECT_NE(said.find(lines::Error("Die Datei \"" + at +
                                             "Tessaldrin_1.GDB\" konnte nicht "
                                             "in \"" +
                                             at +
                                             "Tessaldrin_1.TDB\" umbenannt werden; "
                                             "es wird keine Header-Seite geschrieben.")),
                      std::string::npos)
                << said;
            EXPECT_EQ(said.find("Bearbeite Datei"), std::string::npos) << said;
            EXPECT_EQ(ReadBytes(temp.path() / "Tessaldrin.TDB"), chain(0));
            EXPECT_EQ(ReadBytes(temp.path() / "Tessaldrin_1.GDB"), "decoy");
            EXPECT_EQ(ReadBytes(temp.path() / "aside"), chain(1));
            EXPECT_EQ(ReadBytes(temp.path() / "Tessaldrin_2.GDB"), chain(2));
        } else {
            EXPECT_NE(said.find(lines::Error("Die Header-Seite ist nicht mehr die gelesene; sie "
                                             "wird nicht geschrieben.")),
                      std::string::npos)
                << said;
            EXPECT_EQ(ReadBytes(temp.path() / "Tessaldrin.TDB"), changedPage);
            SyntheticPage relinked;
            relinked.Sequence(1).Entry(3, at + "Tessaldrin_2.TDB");
            EXPECT_EQ(ReadBytes(temp.path() / "Tessaldrin_1.TDB"), relinked.Text());
        }
        EXPECT_EQ(said.find("\xC3\x84ndere File-Tabelle"), std::string::npos) << said;
        EXPECT_EQ(standin::OpenHandles(), 0);
    }
}
