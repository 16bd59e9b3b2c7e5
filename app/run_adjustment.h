// An adjustment run, started by the window's Start button or the console
// front end: the server check, discovery and the holding of every file, the
// plan, then the change exactly as planned and the file table. Toolkit-free.
#pragma once

#include "app/port_choice.h"
#include "filetable/dm_files.h"
#include "header/planned_page.h"
#include "run/executor.h"
#include "run/plan.h"
#include "runlog/run_log.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaldrin {

struct RunSettings {
    // The program file whose directory holds the Tessaldrin database.
    std::string ProgramPath;
    // When set, the run repairs the multi-file database whose primary file
    // this is, whatever its name: discovery follows the header chain from it,
    // nothing is renamed, and every link keeps its stored file name, now in
    // the primary file's directory.
    std::string ChainPrimary;
    std::int32_t Port = kStandardPort;
    // With ChainPrimary: where a file of the chain is looked for after the
    // primary file's directory, in this order (absolute, each with its
    // trailing separator); every link then names the file where it was found.
    std::vector<std::string> SearchDirs{};
};

// What a caller may learn of a run while it goes on.
struct RunObservers {
    // Told the wall time of each step that returned: "server-check",
    // "discovery", "planning", "renaming", "relinking", "file-table".
    std::function<void(std::string_view step, std::chrono::steady_clock::duration took)> stepTimed;
    // Kept up to date with the last header page written.
    header::RelinkProgress* progress = nullptr;
    // Given the plan, whether it holds or not, before anything is changed.
    std::function<void(const RunPlan& plan)> planMade;
};

// The run, each step to its end, with its final line. A plan that does not
// hold stops the run before its first change. Nothing is rolled back: what a
// step changed stays when a later one fails. An exception from a step (a
// refused attachment) ends the run without its final line and reaches the
// caller.
RunOutcome RunAdjustment(filetable::TdmFiles& dmFiles, const RunSettings& settings, RunLog& log,
                         const RunObservers& observers = {});

// What the run would do, with nothing renamed or written and no attachment
// to the database: the server check, discovery, and the plan printed, or the
// reasons why it does not hold. True when the plan holds.
bool PreviewAdjustment(filetable::TdmFiles& dmFiles, const RunSettings& settings, RunLog& log,
                       const RunObservers& observers = {});

} // namespace tessaldrin
