// The state and the steps of an adjustment run, owned by the main window and
// driven by it or by the console front end. Toolkit-free.
#pragma once

#include "filetable/dm_files.h"
#include "header/held_database_files.h"
#include "runlog/run_log.h"

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

    RunLog& Log() { return log_; }

private:
    RunLog& log_;
    std::string executablePath_;
    // The files of FileList, by index, while the run holds them.
    header::HeldDatabaseFiles held_;
};

} // namespace tessaldrin
