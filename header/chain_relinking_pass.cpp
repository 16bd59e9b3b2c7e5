#include "header/chain_relinking_pass.h"

#include "filetable/target_file_name.h"
#include "header/link_editor.h"
#include "platform/format_message.h"

namespace tessaldrin::header {
namespace {

// Closes whatever the editor opened, on every way out of a file's work.
class CloseWhenDone {
public:
    CloseWhenDone(LinkEditor& editor, RunLog& log) : editor_(editor), log_(log) {}
    ~CloseWhenDone() { editor_.CloseDatabaseFile(log_); }
    CloseWhenDone(const CloseWhenDone&) = delete;
    CloseWhenDone& operator=(const CloseWhenDone&) = delete;

private:
    LinkEditor& editor_;
    RunLog& log_;
};

// The work on the file the editor names; false when it failed. The error line
// is already in the log then.
bool RelinkFile(LinkEditor& editor, const std::string& databaseDir, const TargetRule& target,
                PageChange change, RunLog& log) {
    const CloseWhenDone closer(editor, log);
    if (!editor.OpenDatabaseFile(log) || !editor.ReadHeaderPage(log) ||
        !editor.CheckHeaderPage(log)) {
        return false;
    }
    if (!editor.ReadContinuationLink(log)) {
        // No link: the last file of the chain. Entries past the page end:
        // a damaged page, which the run must not report as adjusted.
        return !editor.EntriesOverranPage();
    }
    // A target name is never empty, so there is always a new link.
    editor.NewLinkName = target ? target(databaseDir, editor.OldLinkName)
                                : filetable::TargetFileName(databaseDir, editor.OldLinkName);
    return change == PageChange::kPreview ? editor.PreviewContinuationLink(log)
                                          : editor.ChangeContinuationLink(log);
}

} // namespace

bool ChangeHeaderLinks(const std::vector<std::string>& files, const std::string& databaseDir,
                       RunLog& log) {
    return ChangeHeaderLinks(files, databaseDir, log, {}, PageChange::kWrite);
}

bool ChangeHeaderLinks(const std::vector<std::string>& files, const std::string& databaseDir,
                       RunLog& log, const TargetRule& target, PageChange change) {
    log.append("");
    log.AppendMessage(change == PageChange::kPreview ? 21061 : 21033);
    LinkEditor& editor = LinkEditor::Instance();
    bool result = true;
    for (const std::string& file : files) {
        editor.DatabaseFileName = file;
        log.append(platform::FormatMessage(21039, file));
        // Every file is worked on, also after an earlier one failed.
        result = RelinkFile(editor, databaseDir, target, change, log) && result;
        log.append("");
    }
    return result;
}

} // namespace tessaldrin::header
