#include "header/chain_relinking_pass.h"

#include "filetable/target_file_name.h"
#include "header/link_editor.h"
#include "platform/format_message.h"
#include "platform/load_string.h"

namespace tessaldrin::header {
namespace {

constexpr int kMsgNamesNoFile = 21042;
constexpr int kMsgChainNotHeld = 21045;

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

struct Chain {
    const std::vector<std::string>& files;
    const std::string& databaseDir;
    HeldDatabaseFiles& held;
    const TargetRule& target;
    PageChange change;
};

// The work on file `index`, which the editor names; false when it failed. The
// error line is already in the log then.
bool RelinkFile(LinkEditor& editor, const Chain& chain, std::size_t index, RunLog& log) {
    platform::LockedFile* file = chain.held.At(index);
    if (file != nullptr && !chain.held.HoldsAll()) {
        log.LogError(platform::LoadString(kMsgChainNotHeld));
        return false;
    }
    const CloseWhenDone closer(editor, log);
    if (!editor.OpenHeldDatabaseFile(log, file, chain.held.FailureAt(index)) ||
        !editor.ReadHeaderPage(log) || !editor.CheckHeaderPage(log)) {
        return false;
    }
    if (!editor.ReadContinuationLink(log)) {
        // No link: the last file of the chain. A damaged page: one that the
        // run must not report as adjusted.
        return !editor.EntriesOverranPage();
    }
    const std::string target = chain.target
                                   ? chain.target(chain.databaseDir, editor.OldLinkName)
                                   : filetable::TargetFileName(chain.databaseDir, editor.OldLinkName);
    if (target.empty()) {
        log.LogError(platform::FormatMessage(kMsgNamesNoFile, editor.OldLinkName));
        return false;
    }
    editor.NewLinkName = filetable::SpelledAsOnDisk(target, chain.files);
    return chain.change == PageChange::kPreview ? editor.PreviewContinuationLink(log)
                                                : editor.ChangeContinuationLink(log);
}

} // namespace

bool ChangeHeaderLinks(const std::vector<std::string>& files, const std::string& databaseDir,
                       RunLog& log, HeldDatabaseFiles& held, const TargetRule& target,
                       PageChange change) {
    log.append("");
    log.AppendMessage(change == PageChange::kPreview ? 21061 : 21033);
    LinkEditor& editor = LinkEditor::Instance();
    const Chain chain{files, databaseDir, held, target, change};
    bool result = true;
    for (std::size_t index = 0; index < files.size(); ++index) {
        editor.DatabaseFileName = files[index];
        log.append(platform::FormatMessage(21039, files[index]));
        // Every file is worked on, also after an earlier one failed.
        result = RelinkFile(editor, chain, index, log) && result;
        log.append("");
    }
    return result;
}

} // namespace tessaldrin::header
