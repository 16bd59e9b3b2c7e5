#include "run/describer.h"

#include "platform/format_message.h"

namespace tessaldrin {
namespace {

using Kind = Refusal::Kind;
using platform::Format;

// The reason that follows the file's name, and the system's cause, if any.
struct Reason {
    std::string reason;
    std::string cause;
};

std::string CauseOf(const std::optional<platform::OpenFailure>& failure) {
    return failure ? Format(msg::kReason, platform::OpenFailureText(*failure)) : std::string{};
}

// The link editor's error as its line gives it, unframed.
std::string PageFaultText(const header::PageFault& fault) {
    const std::string text = Format(header::MessageOf(fault.kind));
    return header::ShowsNumber(fault.kind)
               ? platform::FormatText("%s (%d)", text.c_str(), static_cast<int>(fault.number))
               : text;
}

Reason ReasonOf(const Refusal& refusal) {
    switch (refusal.kind) {
    case Kind::kCannotOpen:
        return {Format(msg::kCannotOpenFile), CauseOf(refusal.failure)};
    case Kind::kNameTooLong:
        // What the link editor says of a name longer than it takes.
        return {Format(msg::kCannotOpenFile),
                CauseOf(platform::OpenFailure{platform::OpenFailure::Reason::kNameTooLong})};
    case Kind::kChainNotHeld:
        return {Format(msg::kChainNotHeld), {}};
    case Kind::kCaseTwin:
        return {Format(msg::kCaseTwin, refusal.name), {}};
    case Kind::kCannotRename: {
        const bool directory = refusal.failure && refusal.failure->reason ==
                                                      platform::OpenFailure::Reason::kNoPermission;
        return {Format(msg::kCannotRename),
                directory
                    ? Format(msg::kReason, Format(msg::kReasonDirectoryUnchangeable, refusal.other))
                    : CauseOf(refusal.failure)};
    }
    case Kind::kNameTaken:
        return {Format(msg::kNameTaken, refusal.name), {}};
    case Kind::kPathNotSystemText:
        return {Format(msg::kPathNotSystemText), {}};
    case Kind::kPageRefused:
        return {refusal.page ? PageFaultText(*refusal.page) : std::string{}, {}};
    case Kind::kNotThePrimary:
        return {Format(msg::kNotThePrimary, refusal.number), {}};
    case Kind::kNamesNoFile:
        return {Format(msg::kNamesNoFile, refusal.name), {}};
    case Kind::kNotInDirectory:
        return {Format(msg::kNotInDirectory, refusal.name, refusal.other), {}};
    case Kind::kLoop:
        return {Format(msg::kLoop, refusal.name), {}};
    case Kind::kReachedByNoLink:
        return {Format(msg::kReachedByNoLink), {}};
    case Kind::kOtherForm:
        return {Format(msg::kOtherForm, refusal.name), {}};
    case Kind::kWrongPlaceInChain:
        return {Format(msg::kWrongPlaceInChain, refusal.number, refusal.place), {}};
    case Kind::kFoundTwice:
        return {Format(msg::kFoundTwice, refusal.name), {}};
    }
    return {};
}

} // namespace

std::string ReasonText(const Refusal& refusal) {
    return ReasonOf(refusal).reason;
}

std::vector<std::string> Describe(const RunPlan& plan, const Refusal& refusal) {
    const Reason reason = ReasonOf(refusal);
    // Unbounded, unlike the editor's short errors: the line names a path.
    std::vector<std::string> lines{Format(
        msg::kError, Format(msg::kFileRefused, plan.files.Path(refusal.file), reason.reason))};
    if (!reason.cause.empty()) {
        lines.push_back(reason.cause);
    }
    // The directories that were searched after the one the reason names.
    if (refusal.kind == Kind::kNotInDirectory) {
        for (const std::string& dir : plan.files.SearchDirs) {
            lines.push_back(Format(msg::kAlsoSearched, dir));
        }
    }
    return lines;
}

std::string Describe(const Rename& rename, Tense tense) {
    return tense == Tense::kDone ? Format(msg::kFileRenamed, rename.from, rename.to)
                                 : Format(msg::kFileWouldBeRenamed, rename.from, rename.to);
}

void LogRefusals(const RunPlan& plan, RunLog& log) {
    for (const Refusal& refusal : plan.refusals) {
        log.AppendAll(Describe(plan, refusal));
    }
}

std::vector<std::string> Opening(const WriteHeaderPage& page, Tense tense) {
    std::vector<std::string> lines{
        Format(msg::kProcessingFile, tense == Tense::kDone ? page.writtenPath : page.path)};
    lines.insert(lines.end(), page.readLines.begin(), page.readLines.end());
    return lines;
}

std::vector<std::string> LinkLines(const WriteHeaderPage& page, Tense tense) {
    std::vector<std::string> lines;
    if (page.Writes()) {
        for (const std::string& oldLink : page.replaced) {
            lines.push_back(tense == Tense::kDone
                                ? Format(msg::kLinkChanged, oldLink, page.newLink)
                                : Format(msg::kLinkWouldChange, oldLink, page.newLink));
        }
    } else if (!page.newLink.empty()) {
        lines.push_back(Format(msg::kLinkAlreadyRight, page.newLink));
    }
    return lines;
}

void LogStepHeading(ChangeStep step, Tense tense, RunLog& log) {
    switch (step) {
    case ChangeStep::kRenaming:
        log.append("");
        return log.AppendMessage(msg::kRenamingHeading);
    case ChangeStep::kRelinking:
        log.append("");
        return log.AppendMessage(tense == Tense::kDone ? msg::kRelinkingHeading
                                                       : msg::kPreviewHeading);
    case ChangeStep::kFileTable:
        return;
    }
}

void ShowPlan(const RunPlan& plan, RunLog& log) {
    std::optional<ChangeStep> step;
    for (const Change& change : plan.changes) {
        if (step != StepOf(change)) {
            step = StepOf(change);
            LogStepHeading(*step, Tense::kPlanned, log);
        }
        if (const auto* rename = std::get_if<Rename>(&change)) {
            log.append(Describe(*rename, Tense::kPlanned));
        } else if (const auto* page = std::get_if<WriteHeaderPage>(&change)) {
            log.AppendAll(Opening(*page, Tense::kPlanned));
            log.AppendAll(LinkLines(*page, Tense::kPlanned));
            log.append("");
        }
    }
}

} // namespace tessaldrin
