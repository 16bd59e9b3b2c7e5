// The state and the steps of an adjustment run, owned by the main window and
// driven by it or by the console front end. Toolkit-free.
#pragma once

#include "filetable/dm_files.h"
#include "header/held_database_files.h"
#include "runlog/run_log.h"
#include "header/chain_relinking_pass.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaldrin {

class Adjustment {
public:
    // `executablePath` is the program file whose directory holds the database
    // (the process's own executable unless a test gives another).
    Adjustment(RunLog& log, std::string executablePath);

    // The data module the run talks to; set once it exists.
    filetable::TdmFiles* DataModule = nullptr;

    std::vector<std::string> FileList; // full paths, primary file first
    std::string DatabaseDir;           // the program's directory, trailing separator
    std::string PrimaryFile;
    std::int32_t Port = 3050;

    // When set, the run repairs the multi-file database whose primary file
    // this is, whatever its name: discovery follows the header chain from it,
    // nothing is renamed, and every link keeps its stored file name, now in
    // the primary file's directory. Empty: the Tessaldrin files beside the
    // program.
    std::string ChainPrimary;

    // When set, RunAdjustment tells it the wall time of each step that returned:
    // "server-check", "discovery", "renaming" (the check for it included),
    // "relinking", "file-table". Unset, the run measures nothing.
    using StepTimer =
        std::function<void(std::string_view step, std::chrono::steady_clock::duration took)>;
    StepTimer StepTimed;

    // Stores the port of the next run here and in the data module.
    void ChoosePort(std::int32_t port);

    bool FindDatabaseFiles();
    // Opens and locks every file of FileList before anything of the run is
    // renamed or written; true when every one is held. Renaming and the
    // relinking pass take the files themselves when this has not run since
    // discovery; the pass gives them back once its last page is written.
    bool HoldDatabaseFiles();
    bool NeedsRenaming() const;
    void RenameFiles();
    bool ChangeHeaderLinks();
    bool RunAdjustment();

    // Discovery of this kind of run: FindChainFiles when ChainPrimary is set,
    // FindDatabaseFiles otherwise; it also gives the data module the run's
    // target rule.
    bool FindFiles();
    // Follows the header chain from ChainPrimary and reads and checks every
    // file of it before anything is written; FileList in chain order, or
    // empty after a refusal that the log explains.
    bool FindChainFiles();
    // The new link of a stored one in this kind of run (unset: the target
    // naming rule).
    header::TargetRule LinkTarget() const;

    // What a run would do, with nothing renamed or written and no attachment
    // to the database: the server check, discovery, the renames, and each
    // file's link with the one a run would write or the page's refusal. True
    // when a run would get through the relinking pass.
    bool PreviewAdjustment();

    // The name that renaming gives the file `path`.
    static std::string RenamedPath(const std::string& path);

    RunLog& Log() { return log_; }

private:
    void PreviewRenames();
    void AppendFinalLine(bool succeeded);

    RunLog& log_;
    std::string executablePath_;
    // The files of FileList, by index, while the run holds them.
    header::HeldDatabaseFiles held_;
};

} // namespace tessaldrin
