#include "app/console_front_end.h"

#include "app/confirmation.h"
#include "app/console_warning.h"
#include "app/port_choice.h"
#include "app/run_adjustment.h"
#include "filetable/client_library.h"
#include "filetable/dm_files.h"
#include "platform/console.h"
#include "platform/file_status.h"
#include "platform/format_message.h"
#include "platform/local_path.h"
#include "platform/program_version.h"
#include "platform/termination_signals.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <exception>
#include <istream>
#include <iterator>
#include <mutex>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

namespace tessaldrin {
namespace {

constexpr const char* kUsage =
    "Aufruf: tessaldrin-mover-cli [--confirm JA] [--port N] [--dir DIR] [--timing]\n"
    "                             [--primary DATEI] [--dry-run] [--version] [--help]\n"
    "\n"
    "Passt eine verschobene Tessaldrin-Datenbank an ihr neues Verzeichnis an.\n"
    "  --confirm JA   bestätigt den Hinweis ohne Rückfrage (für Skripte)\n"
    "  --port N       Netzwerk-Port des Servers, nur Ziffern, 0 bis 65535 (Standard 3050)\n"
    "  --dir DIR      Verzeichnis der Datenbankdateien (Standard: das Verzeichnis des\n"
    "                 Programms)\n"
    "  --timing       gibt nach dem Lauf die Dauer jedes Schritts auf der\n"
    "                 Fehlerausgabe aus\n"
    "  --primary DATEI\n"
    "                 passt statt Tessaldrin eine beliebige mehrteilige Firebird-\n"
    "                 Datenbank an, deren Dateien zusammen in das Verzeichnis ihrer\n"
    "                 Primärdatei DATEI verschoben wurden: folgt der Kette der\n"
    "                 Header-Seiten und benennt nichts um; nicht mit --dir\n"
    "  --dry-run      Vorschau: zeigt, was ein Lauf ändern würde, und ändert nichts;\n"
    "                 fragt nicht nach JA\n"
    "  --version      zeigt Programmname, Version und Datum\n"
    "  --help         zeigt diesen Text\n"
    "\n"
    "Rückgabewert: 0 erfolgreich angepasst, 1 nicht angepasst, 2 falscher Aufruf oder\n"
    "keine Bestätigung, 3 Abbruch durch einen Fehler, 4 angepasst: die Datenbank öffnet\n"
    "am neuen Ort, nur RDB$FILES behält die alten Namen, weil der Server (Firebird 3\n"
    "und neuer) sie nicht ändern lässt.\n"
    "Mit --dry-run: 0 wenn ein Lauf alle Dateien wie geplant anpassen könnte, sonst 1.\n";

// Writes every entry to the console as soon as it is appended, whole, also
// when the thread that ends the program on a signal appends the last ones.
class ConsoleRunLog : public RunLog {
public:
    explicit ConsoleRunLog(std::ostream& out) : out_(out) {}
    void append(const std::string& entry) override {
        const std::lock_guard<std::mutex> whole(entry_);
        Write(entry);
    }
    // Appends `entries` as the log's last: no entry follows them, as the
    // program ends right after.
    void AppendLast(const std::vector<std::string>& entries) {
        entry_.lock();
        for (const std::string& entry : entries) {
            Write(entry);
        }
    }

private:
    void Write(const std::string& entry) { out_ << entry << '\n' << std::flush; }

    std::ostream& out_;
    std::mutex entry_;
};

struct Options {
    bool help = false;
    bool version = false;
    bool timing = false;
    bool dryRun = false;
    std::optional<std::string> primary;
    std::optional<std::string> confirmation;
    std::int32_t port = kStandardPort;
    std::optional<std::string> dir; // absolute, with its trailing separator
};

// The options that take no value.
struct Flag {
    const char* name;
    bool Options::*set;
};
constexpr Flag kFlags[] = {{"--help", &Options::help},
                           {"--version", &Options::version},
                           {"--timing", &Options::timing},
                           {"--dry-run", &Options::dryRun}};

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Parses `args`; on an error returns nothing and says why in `why`.
std::optional<Options> Parse(const std::vector<std::string>& args, std::string& why) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags),
                                       [&](const Flag& known) { return arg == known.name; });
        if (platform::IsSystemHelpSwitch(arg)) {
            options.help = true;
            continue;
        }
        if (flag != std::end(kFlags)) {
            options.*(flag->set) = true;
            continue;
        }
        if (arg != "--confirm" && arg != "--port" && arg != "--dir" && arg != "--primary") {
            why = "Unbekanntes Argument: " + arg;
            return std::nullopt;
        }
        if (i + 1 == args.size()) {
            why = arg + " braucht einen Wert.";
            return std::nullopt;
        }
        const std::string& value = args[++i];
        // An empty value is no value: a script whose variable is unset must
        // not repair what lies beside the program.
        if (value.empty()) {
            why = arg + " braucht einen Wert.";
            return std::nullopt;
        }
        if (arg == "--confirm") {
            options.confirmation = value;
        } else if (arg == "--primary") {
            options.primary = value;
        } else if (arg == "--port") {
            if (!AllDigits(value) || value.size() > kCustomPortDigitsMax) {
                why = "--port erwartet höchstens 9 Ziffern: " + value;
                return std::nullopt;
            }
            options.port = PortFromCustomText(value);
            if (!IsServerPort(options.port)) {
                why = platform::Format(msg::kNotAPort, static_cast<int>(options.port));
                return std::nullopt;
            }
        } else {
            if (!platform::IsDirectory(value)) {
                why = "--dir ist kein Verzeichnis: " + value;
                return std::nullopt;
            }
            // Absolute, as every path that the program writes into a header
            // page or passes to the server must be.
            options.dir = platform::AbsoluteDirectory(value);
        }
    }
    if (options.primary && options.dir) {
        why = "--primary und --dir schließen einander aus: die Dateien liegen im Verzeichnis "
              "der Primärdatei.";
        return std::nullopt;
    }
    return options;
}

// The typed confirmation, read from standard input after the warning.
bool Confirmed(const Options& options, const ConsoleEnvironment& env) {
    if (options.confirmation) {
        return IsConfirmationWord(*options.confirmation);
    }
    const auto primary =
        options.primary ? std::optional(platform::AbsolutePath(*options.primary)) : std::nullopt;
    for (const std::string& line : ConsoleWarning(primary)) {
        env.out << line << '\n';
    }
    env.out << "\nBitte JA eingeben, um fortzufahren: " << std::flush;
    std::string typed;
    if (!std::getline(env.in, typed)) {
        env.out << '\n';
        return false;
    }
    return IsConfirmationWord(typed);
}

// The program path whose directory the run searches.
std::string ProgramPathFor(const Options& options, const std::string& executablePath) {
    if (!options.dir) {
        return executablePath;
    }
    return *options.dir + platform::FilePart(executablePath);
}

// While it lives, a SIGINT or SIGTERM ends the process through the data
// module's client library, after the log has said so and which header page
// was written last. The action never runs while a page is being written, so
// `progress` is whole whenever it reads it.
constexpr std::chrono::milliseconds kShutdownOnSignal{2000};

class EndOnSignal {
public:
    EndOnSignal(const filetable::TdmFiles& dmFiles, ConsoleRunLog& log,
                const header::RelinkProgress& progress) {
        platform::SetTerminationAction([&dmFiles, &log, &progress](int signal) {
            log.AppendLast(
                {"", progress.lastWritten.empty()
                         ? platform::Format(msg::kEndedBeforeAnyPage)
                         : platform::Format(msg::kEndedAfterPage, progress.lastWritten)});
            dmFiles.ibdbTessaldrin.Library().ShutdownWithin(kShutdownOnSignal);
            platform::EndBySignal(signal);
        });
    }
    ~EndOnSignal() { platform::SetTerminationAction({}); }
    EndOnSignal(const EndOnSignal&) = delete;
    EndOnSignal& operator=(const EndOnSignal&) = delete;
};

// The wall time of each step that returned, in the order of the run.
using StepTimes = std::vector<std::pair<std::string, std::chrono::steady_clock::duration>>;

void PrintStepTimes(const StepTimes& times, std::ostream& err) {
    for (const auto& [step, took] : times) {
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(took).count();
        err << "Zeitmessung " << step << ' ' << micros << " us\n";
    }
}

} // namespace

int RunConsole(const std::vector<std::string>& args, const ConsoleEnvironment& env) {
    std::string why;
    const std::optional<Options> options = Parse(args, why);
    if (!options) {
        env.err << why << "\n\n" << kUsage;
        return kExitUsage;
    }
    if (options->help) {
        env.out << kUsage;
        return kExitSucceeded;
    }
    if (options->version) {
        for (const std::string& line :
             platform::ProgramIdentityLines(platform::FilePart(env.executablePath))) {
            env.out << line << '\n';
        }
        return kExitSucceeded;
    }
    StepTimes times;
    int exitCode = kExitException;
    try {
        filetable::TdmFiles dmFiles(env.clientLibrary);
        ConsoleRunLog log(env.out);
        header::RelinkProgress progress;
        // SIGINT or SIGTERM: whatever is attached is closed through the client
        // library's own shutdown, then the process ends by the signal.
        const EndOnSignal endOnSignal(dmFiles, log, progress);
        // A preview changes nothing, so it needs no confirmation.
        if (!options->dryRun && !Confirmed(*options, env)) {
            env.err << "Abgebrochen: ohne JA wird nichts angepasst.\n";
            return kExitUsage;
        }
        const RunSettings settings{ProgramPathFor(*options, env.executablePath),
                                   options->primary.value_or(std::string{}), options->port};
        RunObservers observers;
        observers.progress = &progress;
        if (options->timing) {
            observers.stepTimed = [&times](std::string_view step, auto took) {
                times.emplace_back(step, took);
            };
        }
        if (options->dryRun) {
            exitCode = PreviewAdjustment(dmFiles, settings, log) ? kExitSucceeded : kExitFailed;
        } else {
            switch (RunAdjustment(dmFiles, settings, log, observers)) {
            case RunOutcome::kAdjusted:
                exitCode = kExitSucceeded;
                break;
            case RunOutcome::kFileTableKept:
                exitCode = kExitFileTableKept;
                break;
            case RunOutcome::kFailed:
                exitCode = kExitFailed;
                break;
            }
        }
    } catch (const std::exception& error) {
        env.err << error.what() << '\n';
    } catch (...) {
        env.err << "Unbekannter Fehler\n";
    }
    PrintStepTimes(times, env.err);
    return exitCode;
}

} // namespace tessaldrin
