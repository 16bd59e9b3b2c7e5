// The console front end's arguments, confirmation and exit codes. The runs
// here stop before any file is touched; the whole repair is tested on the real
// server in the integration tests.
#include "app/console_front_end.h"
#include "filetable/dm_files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
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
            const std::string& library = filetable::kClientLibraryName) {
        return RunConsole(args, {(dir / "tessaldrin-mover-cli").string(), library, in, out, err});
    }
    bool untouched() const {
        return fs::exists(dir / "Tessaldrin.GDB") && !fs::exists(dir / "Tessaldrin.TDB");
    }
};

} // namespace

TEST(ConsoleFrontEnd, UsageErrorsExitWithTwoAndTouchNothing) {
    const std::vector<std::vector<std::string>> bad = {
        {"--port"},
        {"--port", "12a"},
        {"--port", "1234567890"},
        {"--port", "-1"},
        {"--port", ""},
        {"--dir", "/no/such/dir"},
        {"--unknown"},
        {"JA"},
        {"--confirm"},
    };
    for (const auto& args : bad) {
        Console console;
        EXPECT_EQ(console.run(args), kExitUsage) << args[0];
        EXPECT_NE(console.err.str().find("Aufruf:"), std::string::npos);
        EXPECT_TRUE(console.out.str().empty());
        EXPECT_TRUE(console.untouched());
    }
}

TEST(ConsoleFrontEnd, HelpPrintsTheUsageAndExitsWithZero) {
    Console console;
    EXPECT_EQ(console.run({"--help"}), kExitSucceeded);
    EXPECT_NE(console.out.str().find("--confirm JA"), std::string::npos);
    EXPECT_TRUE(console.untouched());
}

TEST(ConsoleFrontEnd, AnythingButJaRefusesTheRun) {
    for (const char* typed : {"ja\n", " JA\n", "JA \n", "JAX\n", "\n", ""}) {
        Console console(typed);
        EXPECT_EQ(console.run({"--dir", console.dir.string()}), kExitUsage) << typed;
        // The warning was shown, and no log line of a run followed it.
        EXPECT_NE(console.out.str().find("Arbeiten Sie deshalb immer mit einer Kopie Ihrer Daten!"),
                  std::string::npos);
        EXPECT_EQ(console.out.str().find("Datenbankmanagementsystem"), std::string::npos);
        EXPECT_EQ(console.out.str().find("Verbindung"), std::string::npos);
        EXPECT_TRUE(console.untouched());
    }
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
