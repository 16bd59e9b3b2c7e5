// The state and the steps of an adjustment run, owned by the main window and
// driven by it or by the console front end. Toolkit-free.
#pragma once

#include "runlog/run_log.h"
#include "filetable/dm_files.h"

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
    bool NeedsRenaming() const;
    void RenameFiles();
    bool ChangeHeaderLinks();
    bool RunAdjustment();

    RunLog& Log() { return log_; }

private:
    RunLog& log_;
    std::string executablePath_;
};

} // namespace tessaldrin
