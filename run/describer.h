// The log's German lines of a plan: its refusals and its changes, for the run
// as it makes them and for the preview that shows them. The one place where
// the text of a refusal is made.
#pragma once

#include "run/plan.h"
#include "runlog/run_log.h"

#include <string>
#include <vector>

namespace tessaldrin {

// Whether a change is shown as made or as the preview would make it.
enum class Tense { kDone, kPlanned };

// The lines of `refusal` in `plan`: the error line that names the file and
// the reason, then the system's cause, when it said more.
std::vector<std::string> Describe(const RunPlan& plan, const Refusal& refusal);
// The reason that the error line of `refusal` gives after the file's name.
std::string ReasonText(const Refusal& refusal);
// The line of one rename.
std::string Describe(const Rename& rename, Tense tense);
// The lines that open a page's section: "Bearbeite Datei" with the file's
// name when the page is written (now, in the preview), then what reading the
// page wrote.
std::vector<std::string> Opening(const WriteHeaderPage& page, Tense tense);
// The lines of the page's link: each changed link, or that the link is right
// already; none for the last file of the chain.
std::vector<std::string> LinkLines(const WriteHeaderPage& page, Tense tense);
// The heading of a step's section, before its first change; the file table
// step writes its own.
void LogStepHeading(ChangeStep step, Tense tense, RunLog& log);

// Every refusal of the plan, in list order.
void LogRefusals(const RunPlan& plan, RunLog& log);
// The whole plan as the preview shows it: the renames, then each header page.
void ShowPlan(const RunPlan& plan, RunLog& log);

} // namespace tessaldrin
