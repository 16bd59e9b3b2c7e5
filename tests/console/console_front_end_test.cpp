// The console front end's arguments, confirmation, exit codes and step timing.
// The runs here stop before any header is written (the timing runs pass the
// real local server's check, then fail on a file that is no database); the
// whole repair is tested on the real server in the integration tests.
#include "console/console_front_end.h"
#include "filetable/dm_files.h"
#include "platform/program_version.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;
using namespace tessaldrin;

namespace {

struct Console {
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    fs::path dir;

    explicit Console(const std::string& input = {}) : in(input) {
        dir = fs::temp_directory_path() / ("tm-console-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::ofstream(dir / "Tessaldrin.GDB") << "kein Header";
    }
    ~Console() { fs::remove_all(dir); }

    int run(const std::vector<std::string>& args,
            const std::string& library = filetable::kClientLibraryName,
            bool consoleClosesAtEnd = false) {
        return RunConsole(args, {(dir / "tessaldrin-mover-cli").string(), library, in, out, err,
                                 consoleClosesAtEnd});
    }
    bool untouched() const {
        return fs::exists(dir / "Tessaldrin.GDB") && !fs::exists(dir / "Tessaldrin.TDB");
    }
};

} // namespace

// Each with the line that says why, above the usage. An empty value counts
// as none: a script whose variable is unset would otherwise repair whatever
// lies beside the program. A port above 65535 would reach another port.
TEST(ConsoleFrontEnd, UsageErrorsExitWithTwoAndTouchNothing) {
    const std::string kSearchAlone = "--search gilt nur f\xC3\xBCr die Anpassung mit --primary "
                                     "DATEI, nicht mit --dir oder --join.";
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"--port"}, "--port braucht einen Wert."},
        {{"--port", "12a"},
         "--port erwartet h\xC3\xB6"
         "chstens 9 Ziffern: 12a"},
        {{"--port", "1234567890"},
         "--port erwartet h\xC3\xB6"
         "chstens 9 Ziffern: 1234567890"},
        {{"--port", "-1"},
         "--port erwartet h\xC3\xB6"
         "chstens 9 Ziffern: -1"},
        {{"--port", ""}, "--port braucht einen Wert."},
        {{"--port", "65536"},
         "Der Port 65536 ist kein Netzwerk-Port: Ports gehen von 0 bis "
         "65535. Es wird kein Server gefragt."},
        {{"--port", "000068586"},
         "Der Port 68586 ist kein Netzwerk-Port: Ports gehen von 0 bis "
         "65535. Es wird kein Server gefragt."},
        {{"--dir", "/no/such/dir"}, "--dir ist kein Verzeichnis: /no/such/dir"},
        {{"--dir", ""}, "--dir braucht einen Wert."},
        {{"--unknown"}, "Unbekanntes Argument: --unknown"},
        {{"JA"}, "Unbekanntes Argument: JA"},
        {{"--confirm"}, "--confirm braucht einen Wert."},
        {{"--confirm", ""}, "--confirm braucht einen Wert."},
        {{"--primary"}, "--primary braucht einen Wert."},
        {{"--primary", ""}, "--primary braucht einen Wert."},
        {{"--primary", "/tmp/Kunden.fdb", "--primary", ""}, "--primary braucht einen Wert."},
        {{"--primary", "/tmp/Kunden.fdb", "--dir", "/tmp"},
         "--primary und --dir schlie\xC3\x9F"
         "en einander aus: die Dateien liegen im "
         "Verzeichnis der Prim\xC3\xA4rdatei."},
        {{"--primary", "/tmp/Kunden.fdb", "--search", ""}, "--search braucht einen Wert."},
        {{"--search", "/tmp"}, kSearchAlone},
        {{"--join", "--primary", "/tmp/Kunden.fdb", "--search", "/tmp"}, kSearchAlone},
        {{"--dir", "/tmp", "--dry-run", "--primary", "/tmp/Kunden.fdb"},
         "--primary und --dir schlie\xC3\x9F"
         "en einander aus: die Dateien liegen im "
         "Verzeichnis der Prim\xC3\xA4rdatei."},
    };
    for (const auto& [args, why] : bad) {
        Console console;
        EXPECT_EQ(console.run(args), kExitUsage) << args[0];
        EXPECT_EQ(console.err.str().rfind(why + "\n\nAufruf:", 0), 0u) << console.err.str();
        EXPECT_TRUE(console.out.str().empty());
        EXPECT_TRUE(console.untouched());
    }
}

TEST(ConsoleFrontEnd, HelpPrintsTheUsageAndExitsWithZero) {
    Console console;
    EXPECT_EQ(console.run({"--help"}), kExitSucceeded);
    // The usage line names every option that the text below it explains.
    const std::string usage = console.out.str();
    const std::string line = usage.substr(0, usage.find("\n\n"));
    for (const char* option :
         {"[--confirm JA]", "[--port N]", "[--dir DIR]", "[--timing]", "[--primary DATEI]",
          "[--search DIR]", "[--dry-run]", "[--version]", "[--help]"}) {
        EXPECT_NE(line.find(option), std::string::npos) << option;
        const std::string explained = "\n  " + std::string(option + 1, std::strlen(option) - 2);
        EXPECT_NE(usage.find(explained), std::string::npos) << explained;
    }
    EXPECT_TRUE(console.untouched());
}

// In a console that goes when the program ends, it asks for Enter after its
// last line and reads it; a script (--confirm) is never asked.
TEST(ConsoleFrontEnd, WaitsForEnterAtTheEndOnlyInAConsoleThatGoesWithIt) {
    const std::string prompt = "\nZum Schlie\xC3\x9F"
                               "en des Fensters die Eingabetaste dr\xC3\xBC"
                               "cken.";
    for (const bool scripted : {false, true}) {
        Console console("\nnext line\n");
        const auto args = scripted ? std::vector<std::string>{"--confirm", "JA", "--help"}
                                   : std::vector<std::string>{"--help"};
        EXPECT_EQ(console.run(args, filetable::kClientLibraryName, true), kExitSucceeded);
        const std::string out = console.out.str();
        EXPECT_EQ(out.size() > prompt.size() && out.substr(out.size() - prompt.size()) == prompt,
                  !scripted);
        std::string unread;
        std::getline(console.in, unread);
        EXPECT_EQ(unread, scripted ? "" : "next line");
    }
}

// The program's name, version and date, as the first lines of the version
// report show them; nothing else runs.
TEST(ConsoleFrontEnd, VersionPrintsTheIdentityOfTheReportAndExitsWithZero) {
    Console console;
    EXPECT_EQ(console.run({"--version"}), kExitSucceeded);
    std::string expected;
    for (const std::string& line : platform::ProgramIdentityLines("tessaldrin-mover-cli")) {
        expected += line + "\n";
    }
    EXPECT_EQ(console.out.str(), expected);
    EXPECT_EQ(expected.rfind("Datei:       tessaldrin-mover-cli\nVersion:     ", 0), 0u);
    EXPECT_TRUE(console.err.str().empty());
    EXPECT_TRUE(console.untouched());
}

TEST(ConsoleFrontEnd, AnythingButJaRefusesTheRun) {
    for (const char* typed : {"ja\n", " JA\n", "JA \n", "JAX\n", "\n", ""}) {
        Console console(typed);
        EXPECT_EQ(console.run({"--dir", console.dir.string()}), kExitUsage) << typed;
        // The warning was shown, and no log line of a run followed it.
        EXPECT_NE(console.out.str().find("Arbeiten Sie deshalb immer mit einer Kopie Ihrer Daten!"),
                  std::string::npos);
        // A console has no input field, and no line of the warning ends in a blank.
        EXPECT_NE(console.out.str().find("\nMit der Eingabe von JA best\xC3\xA4tigen Sie, dass"),
                  std::string::npos);
        const std::string warning = console.out.str();
        EXPECT_EQ(warning.substr(0, warning.find("Bitte JA")).find(" \n"), std::string::npos);
        EXPECT_EQ(console.out.str().find("Datenbankmanagementsystem"), std::string::npos);
        EXPECT_EQ(console.out.str().find("Verbindung"), std::string::npos);
        EXPECT_TRUE(console.untouched());
    }
    // With --primary the warning names the database that the run would change.
    Console chain("nein\n");
    const std::string primary = (chain.dir / "Kunden.fdb").string();
    EXPECT_EQ(chain.run({"--primary", primary}), kExitUsage);
    std::string warning = chain.out.str();
    std::replace(warning.begin(), warning.end(), '\n', ' ');
    EXPECT_NE(warning.find("in der Datenbank \"" + primary + "\" an,"), std::string::npos);
    Console scripted;
    EXPECT_EQ(scripted.run({"--confirm", "ja"}), kExitUsage);
    EXPECT_TRUE(scripted.out.str().empty());
    EXPECT_TRUE(scripted.untouched());
}

TEST(ConsoleFrontEnd, MissingClientLibraryEndsWithThreeAndItsText) {
    Console console;
    EXPECT_EQ(console.run({"--confirm", "JA"}, "libkein-fbclient.so.9"), kExitException);
    EXPECT_NE(console.err.str().find("libkein-fbclient.so.9"), std::string::npos)
        << console.err.str();
    EXPECT_TRUE(console.untouched());
}

namespace {

struct ConsoleRun {
    int exitCode;
    std::string out;
    std::string err;
};

ConsoleRun RunOnce(const std::vector<std::string>& args) {
    Console console;
    const int exitCode = console.run(args);
    return {exitCode, console.out.str(), console.err.str()};
}

// The steps named by the timing lines in `err`, in their order; every line
// must be a timing line.
std::vector<std::string> TimedSteps(const std::string& err) {
    static const std::regex line("Zeitmessung ([a-z-]+) [0-9]+ us");
    std::vector<std::string> steps;
    std::istringstream lines(err);
    for (std::string text; std::getline(lines, text);) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(text, match, line)) << text;
        steps.push_back(match.size() > 1 ? match[1].str() : text);
    }
    return steps;
}

} // namespace

TEST(ConsoleFrontEnd, TimingSwitchReportsTheStepsThatReturnedAndChangesNothingElse) {
    // The real server on the standard port passes the check; the file that is
    // no database stops the run at its plan, before any change.
    const std::vector<std::string> base = {"--confirm", "JA"};
    std::vector<std::string> timed = base;
    timed.push_back("--timing");
    const ConsoleRun plain = RunOnce(base);
    const ConsoleRun measured = RunOnce(timed);
    EXPECT_EQ(measured.exitCode, kExitFailed);
    EXPECT_EQ(measured.exitCode, plain.exitCode);
    EXPECT_EQ(measured.out, plain.out);
    EXPECT_EQ(plain.err, "");
    EXPECT_EQ(TimedSteps(measured.err),
              (std::vector<std::string>{"server-check", "discovery", "planning"}))
        << measured.err;

    // No server listens on port 1: the failed check is timed, and no step after it.
    const ConsoleRun refused = RunOnce({"--timing", "--confirm", "JA", "--port", "1"});
    EXPECT_EQ(refused.exitCode, kExitFailed);
    EXPECT_EQ(TimedSteps(refused.err), std::vector<std::string>{"server-check"}) << refused.err;
}

// Any port of up to nine digits that names a port goes to the server check as
// typed: nine digits that name the standard port reach the real server
// there, and the highest port is tried and fails as no server answers on it.
TEST(ConsoleFrontEnd, APortOfUpToNineDigitsGoesToTheServerCheck) {
    const ConsoleRun standard = RunOnce({"--confirm", "JA", "--port", "000003050"});
    EXPECT_EQ(standard.exitCode, kExitFailed); // at the file that is no database
    EXPECT_EQ(standard.out.rfind("Datenbankmanagementsystem (Interbase / Firebird) vorhanden\n", 0),
              0u)
        << standard.out;
    const ConsoleRun highest = RunOnce({"--confirm", "JA", "--port", "65535"});
    EXPECT_EQ(highest.exitCode, kExitFailed);
    EXPECT_EQ(highest.out.rfind("Die Verbindung zum InterBase / FireBird-Server konnte nicht "
                                "hergestellt werden: ",
                                0),
              0u)
        << highest.out;
    EXPECT_NE(highest.out.find("Server: localhost, Port 65535 "), std::string::npos);
    EXPECT_EQ(highest.err, "");
}
