#include "console/console_front_end.h"

#include "app/confirmation.h"
#include "app/port_choice.h"
#include "app/run_adjustment.h"
#include "console/console_warning.h"
#include "filetable/client_library.h"
#include "filetable/dm_files.h"
#include "join/join_run.h"
#include "join/terminal_progress.h"
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
    "                             [--primary DATEI] [--search DIR] [--dry-run]\n"
    "                             [--version] [--help]\n"
    "        tessaldrin-mover-cli --join --primary DATEI [--dry-run] [--confirm JA]\n"
    "                             [--port N]\n"
    "\n"
    "Passt eine verschobene Tessaldrin-Datenbank an ihr neues Verzeichnis an.\n"
    "  --confirm JA   bestätigt den Hinweis ohne Rückfrage (für Skripte)\n"
    "  --port N       Netzwerk-Port des Servers, nur Ziffern, 0 bis 65535\n"
    "                 (Standard 3050)\n"
    "  --dir DIR      Verzeichnis der Datenbankdateien (Standard: das Verzeichnis\n"
    "                 des Programms)\n"
    "  --timing       gibt nach dem Lauf die Dauer jedes Schritts auf der\n"
    "                 Fehlerausgabe aus\n"
    "  --primary DATEI\n"
    "                 passt statt Tessaldrin eine beliebige mehrteilige Firebird-\n"
    "                 Datenbank an, deren Dateien zusammen in das Verzeichnis ihrer\n"
    "                 Primärdatei DATEI verschoben wurden: folgt der Kette der\n"
    "                 Header-Seiten und benennt nichts um; nicht mit --dir\n"
    "  --search DIR   mit --primary: sucht die Folgedateien nach dem Verzeichnis der\n"
    "                 Primärdatei auch in DIR; mehrfach möglich, in dieser\n"
    "                 Reihenfolge. Jeder Link nennt die Datei dort, wo sie gefunden\n"
    "                 wurde; ein Name an zwei Orten wird abgelehnt\n"
    "  --join         vereinigt die mehrteilige Datenbank von --primary DATEI zu\n"
    "                 einer einzigen Datei (ihrer Primärdatei); die Folgedateien\n"
    "                 werden zu NAME.joined umbenannt\n"
    "  --dry-run      Vorschau: zeigt, was ein Lauf ändern würde, und ändert nichts;\n"
    "                 fragt nicht nach JA\n"
    "  --version      zeigt Programmname, Version und Datum\n"
    "  --help         zeigt diesen Text\n"
    "\n"
    "Rückgabewert: 0 erfolgreich angepasst, 1 nicht angepasst, 2 falscher Aufruf\n"
    "oder keine Bestätigung, 3 Abbruch durch einen Fehler, 4 angepasst: die\n"
    "Datenbank öffnet am neuen Ort, nur RDB$FILES behält die alten Namen, weil der\n"
    "Server (Firebird 3 und neuer) sie nicht ändern lässt.\n"
    "Mit --dry-run: 0 wenn ein Lauf alle Dateien wie geplant anpassen könnte,\n"
    "sonst 1.\n"
    "Mit --join: 0 eine Datei (mit --dry-run: vereinigbar), 1 nicht vereinigt,\n"
    "4 eine Datei, nur RDB$FILES behält die Zeilen der Folgedateien.\n"
    "Plus 8, wenn die Ausgabe nicht ganz geschrieben werden konnte (etwa in eine\n"
    "Pipe, deren Leser schon beendet ist); der Lauf geht dann trotzdem zu Ende.\n";

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
    bool join = false;
    std::optional<std::string> primary;
    std::optional<std::string> confirmation;
    std::int32_t port = kStandardPort;
    std::optional<std::string> dir;  // absolute, with its trailing separator
    std::vector<std::string> search; // each like dir, in the order given
};

// The options that take no value.
struct Flag {
    const char* name;
    bool Options::*set;
};
constexpr Flag kFlags[] = {{"--help", &Options::help},
                           {"--version", &Options::version},
                           {"--timing", &Options::timing},
                           {"--dry-run", &Options::dryRun},
                           {"--join", &Options::join}};

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
        if (arg != "--confirm" && arg != "--port" && arg != "--dir" && arg != "--primary" &&
            arg != "--search") {
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
            // As the system finds it: "a/link/../b" is the directory beside
            // the link's target. The warning, the plan, every link and the
            // log then name the same directory.
            options.primary = platform::ResolvedEntryPath(value);
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
                why = arg + " ist kein Verzeichnis: " + value;
                return std::nullopt;
            }
            // Absolute, as every path that the program writes into a header
            // page or passes to the server must be.
            (arg == "--dir" ? options.dir.emplace() : options.search.emplace_back()) =
                platform::AbsoluteDirectory(value);
        }
    }
    if (options.primary && options.dir) {
        why = "--primary und --dir schließen einander aus: die Dateien liegen im Verzeichnis "
              "der Primärdatei.";
        return std::nullopt;
    }
    if (options.join && !options.primary) {
        why = "--join braucht --primary DATEI.";
        return std::nullopt;
    }
    if (!options.search.empty() && (!options.primary || options.join)) {
        why = "--search gilt nur für die Anpassung mit --primary DATEI, nicht mit --dir oder "
              "--join.";
        return std::nullopt;
    }
    return options;
}

// The join of the chain from --primary into its primary file, with the
// plan shown before the confirmation.
int RunJoinFromConsole(filetable::TdmFiles& dmFiles, const Options& options,
                       const ConsoleEnvironment& env, RunLog& log,
                       header::RelinkProgress& written) {
    join::TerminalProgress terminal(env.err);
    join::JoinHooks hooks;
    hooks.written = &written;
    hooks.confirm = [&] {
        if (options.confirmation) {
            return IsConfirmationWord(*options.confirmation);
        }
        env.out << "\nBitte JA eingeben, um die Dateien zu vereinigen: " << std::flush;
        std::string typed;
        return std::getline(env.in, typed) && IsConfirmationWord(typed);
    };
    if (platform::ErrorIsTerminal()) {
        hooks.progress = [&](const join::JoinProgress& progress) { terminal.Show(progress); };
    }
    switch (join::RunJoin(dmFiles, {*options.primary, options.port, options.dryRun}, log, hooks)) {
    case join::JoinRunOutcome::kJoined:
        return kExitSucceeded;
    case join::JoinRunOutcome::kJoinedRowsKept:
        return kExitFileTableKept;
    case join::JoinRunOutcome::kNotJoined:
        return kExitFailed;
    case join::JoinRunOutcome::kUnconfirmed:
        env.err << "Abgebrochen: ohne JA wird nichts vereinigt.\n";
        break;
    }
    return kExitUsage;
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

// While it lives, a SIGINT or SIGTERM ends the process, after the log has
// said so and which header page was written last, and, once the data module
// is there, after the client library has closed whatever is attached. The
// action never runs while a page is being written, so `progress` is whole
// whenever it reads it.
constexpr std::chrono::milliseconds kShutdownOnSignal{2000};

class EndOnSignal {
public:
    EndOnSignal(ConsoleRunLog& log, const header::RelinkProgress& progress)
        : log_(log), progress_(progress) {
        Set(nullptr);
    }
    ~EndOnSignal() { platform::SetTerminationAction({}); }
    EndOnSignal(const EndOnSignal&) = delete;
    EndOnSignal& operator=(const EndOnSignal&) = delete;

    // While it lives, the action closes what the data module's library
    // holds; it goes before the data module does.
    class Closing {
    public:
        Closing(EndOnSignal& end, const filetable::TdmFiles& dmFiles) : end_(end) {
            end_.Set(&dmFiles);
        }
        ~Closing() { end_.Set(nullptr); }
        Closing(const Closing&) = delete;
        Closing& operator=(const Closing&) = delete;

    private:
        EndOnSignal& end_;
    };

private:
    void Set(const filetable::TdmFiles* dmFiles) {
        platform::SetTerminationAction([this, dmFiles](int signal) {
            log_.AppendLast(
                {"", progress_.lastWritten.empty()
                         ? platform::Format(msg::kEndedBeforeAnyPage)
                         : platform::Format(msg::kEndedAfterPage, progress_.lastWritten)});
            if (dmFiles != nullptr) {
                dmFiles->ibdbTessaldrin.Library().ShutdownWithin(kShutdownOnSignal);
            }
            platform::EndBySignal(signal);
        });
    }

    ConsoleRunLog& log_;
    const header::RelinkProgress& progress_;
};

// The wall time of each step that returned, in the order of the run.
using StepTimes = std::vector<std::pair<std::string, std::chrono::steady_clock::duration>>;

// `exitCode`, and whether the output reached its reader whole.
int Finished(int exitCode, const ConsoleEnvironment& env) {
    env.out.flush();
    env.err.flush();
    return env.out.good() && env.err.good() ? exitCode : exitCode + kExitOutputLost;
}

void PrintStepTimes(const StepTimes& times, std::ostream& err) {
    for (const auto& [step, took] : times) {
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(took).count();
        err << "Zeitmessung " << step << ' ' << micros << " us\n";
    }
}

int RunToTheEnd(const std::vector<std::string>& args, const ConsoleEnvironment& env) {
    ConsoleRunLog log(env.out);
    header::RelinkProgress progress;
    // The action first, then the handlers: whenever a signal comes, the last
    // line says what was done, if only that nothing was.
    EndOnSignal endOnSignal(log, progress);
    platform::WatchTerminationSignals();

    std::string why;
    const std::optional<Options> options = Parse(args, why);
    if (!options) {
        env.err << why << "\n\n" << kUsage;
        return Finished(kExitUsage, env);
    }
    if (options->help) {
        env.out << kUsage;
        return Finished(kExitSucceeded, env);
    }
    if (options->version) {
        for (const std::string& line :
             platform::ProgramIdentityLines(platform::FilePart(env.executablePath))) {
            env.out << line << '\n';
        }
        return Finished(kExitSucceeded, env);
    }
    StepTimes times;
    int exitCode = kExitException;
    try {
        filetable::TdmFiles dmFiles(env.clientLibrary);
        // SIGINT or SIGTERM: whatever is attached is closed through the client
        // library's own shutdown, then the process ends by the signal.
        const EndOnSignal::Closing closing(endOnSignal, dmFiles);
        if (options->join) {
            return Finished(RunJoinFromConsole(dmFiles, *options, env, log, progress), env);
        }
        // A preview changes nothing, so it needs no confirmation.
        if (!options->dryRun && !Confirmed(*options, env)) {
            env.err << "Abgebrochen: ohne JA wird nichts angepasst.\n";
            return Finished(kExitUsage, env);
        }
        const RunSettings settings{ProgramPathFor(*options, env.executablePath),
                                   options->primary.value_or(std::string{}), options->port,
                                   options->search};
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
    return Finished(exitCode, env);
}

} // namespace

int RunConsole(const std::vector<std::string>& args, const ConsoleEnvironment& env) {
    const int exitCode = RunToTheEnd(args, env);
    // A script confirms with --confirm and reads the output itself.
    if (env.consoleClosesAtEnd && std::find(args.begin(), args.end(), "--confirm") == args.end()) {
        env.out << "\nZum Schließen des Fensters die Eingabetaste drücken." << std::flush;
        std::string ignored;
        std::getline(env.in, ignored);
    }
    return exitCode;
}

} // namespace tessaldrin
