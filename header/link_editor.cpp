#include "header/link_editor.h"

#include "header/header_page.h"
#include "platform/format_message.h"
#include "platform/load_string.h"
#include "platform/termination_signals.h"

#include <cstring>

namespace tessaldrin::header {
namespace {

using platform::FormatMessage;
using platform::LoadString;

constexpr int kMsgDamagedLink = 21043;
constexpr int kMsgPageNotRestored = 21044;
constexpr int kMsgReason = 21080;

// A view of the image for the steps that need its page size and form; when
// either is not usable, the one error line that says so.
std::optional<PageView> UsableView(const std::uint8_t* page, RunLog& log) {
    const auto view = ViewOf(page);
    if (!view) {
        if (!IsAcceptedPageSize(PageSize(page))) {
            log.LogErrorNumber(LoadString(21021), PageSize(page));
        } else {
            log.LogErrorNumber(LoadString(21040), OdsMajorVersion(OdsVersion(page)));
        }
    }
    return view;
}

// The message of a page that the change refuses.
int RefusalMessage(RebuildOutcome outcome) {
    switch (outcome) {
    case RebuildOutcome::kNameDoesNotFit:
        return 21025;
    case RebuildOutcome::kEntriesTooLarge:
        return 21027;
    case RebuildOutcome::kEntryOverrun:
        return 21028;
    case RebuildOutcome::kNoContinuation:
        return 21029;
    case RebuildOutcome::kDamagedName:
        return kMsgDamagedLink;
    case RebuildOutcome::kRebuilt:
        break;
    }
    return 21030;
}

} // namespace

LinkEditor& LinkEditor::Instance() {
    static LinkEditor editor;
    return editor;
}

bool LinkEditor::OpenDatabaseFile(RunLog& log) {
    CloseDatabaseFile(log);
    platform::OpenFailure why{platform::OpenFailure::Reason::kNameTooLong};
    if (DatabaseFileName.size() <= kDatabaseFileNameWidth) {
        ownFile_ = platform::LockedFile::Open(DatabaseFileName, &why);
    }
    return TakeFile(log, ownFile_ ? &*ownFile_ : nullptr, why);
}

bool LinkEditor::OpenHeldDatabaseFile(RunLog& log, platform::LockedFile* held,
                                      const std::optional<platform::OpenFailure>& why) {
    CloseDatabaseFile(log);
    return TakeFile(log, held, why);
}

bool LinkEditor::TakeFile(RunLog& log, platform::LockedFile* file,
                          const std::optional<platform::OpenFailure>& why) {
    file_ = file;
    if (file_ == nullptr) {
        log.LogError(LoadString(21018));
        if (why) {
            log.append(FormatMessage(kMsgReason, platform::OpenFailureText(*why)));
        }
        return false;
    }
    return true;
}

bool LinkEditor::ReadHeaderPage(RunLog& log) {
    pageState_ = PageState::kNone;
    if (!file_ || file_->ReadAt(0, headerPage_.data(), kMinPageSize) != kMinPageSize) {
        log.LogError(LoadString(21020));
        return false;
    }
    const std::uint16_t size = PageSize(headerPage_.data());
    if (!IsAcceptedPageSize(size)) {
        log.LogErrorNumber(LoadString(21021), size);
        return false;
    }
    if (size > kMinPageSize && file_->ReadAt(0, headerPage_.data(), size) != size) {
        log.LogError(LoadString(21020));
        return false;
    }
    pageState_ = PageState::kRead;
    return true;
}

bool LinkEditor::CheckHeaderPage(RunLog& log) {
    const std::uint8_t* page = headerPage_.data();
    const bool read = pageState_ != PageState::kNone;
    if (read) {
        pageState_ = PageState::kRead;
    }
    if (PageType(page) != kHeaderPageType) {
        log.LogErrorNumber(LoadString(21022), PageType(page));
        return false;
    }
    const auto view = UsableView(page, log);
    if (!view) {
        return false;
    }
    if (NextHeaderPage(page) != 0) {
        log.LogError(LoadString(21023));
        return false;
    }
    if (view->form.checksumInUse) {
        const std::uint16_t expected = ExpectedChecksum(page, view->size);
        const std::uint16_t stored = StoredChecksum(page);
        if (expected != stored) {
            log.append(FormatMessage(21024, static_cast<int>(expected), static_cast<int>(stored)));
        }
    }
    if (read) {
        pageState_ = PageState::kChecked;
    }
    return true;
}

bool LinkEditor::ReadContinuationLink(RunLog& log) {
    OldLinkName.clear();
    entriesOverranPage_ = false;
    const auto view = UsableView(headerPage_.data(), log);
    if (!view) {
        return false;
    }
    const ContinuationSearch search = FindContinuation(*view);
    switch (search.outcome) {
    case ContinuationSearch::Outcome::kFound:
        OldLinkName.assign(search.name);
        log.append(FormatMessage(21016, OldLinkName));
        return true;
    case ContinuationSearch::Outcome::kOverrun:
        entriesOverranPage_ = true;
        log.LogError(LoadString(21015));
        return false;
    case ContinuationSearch::Outcome::kDamaged:
        entriesOverranPage_ = true;
        log.LogError(LoadString(kMsgDamagedLink));
        return false;
    case ContinuationSearch::Outcome::kNone:
        break;
    }
    log.AppendMessage(21017);
    return false;
}

bool LinkEditor::ChangeContinuationLink(RunLog& log) {
    const auto pageSize = BuildNewPage(log, 21026);
    if (!pageSize) {
        return false;
    }
    switch (WriteVerified(*pageSize)) {
    case WriteOutcome::kWritten:
        return true;
    case WriteOutcome::kRestored:
        log.LogError(LoadString(21030));
        return false;
    case WriteOutcome::kNotRestored:
        log.LogError(LoadString(kMsgPageNotRestored));
        return false;
    }
    return false;
}

bool LinkEditor::PreviewContinuationLink(RunLog& log) {
    return BuildNewPage(log, 21062).has_value();
}

std::optional<std::size_t> LinkEditor::BuildNewPage(RunLog& log, int replacedMessage) {
    // A page that was not read from this file and checked is never written
    // into it: it may be another file's page, or no header page at all.
    if (!file_ || pageState_ != PageState::kChecked) {
        log.LogError(LoadString(21030));
        return std::nullopt;
    }
    if (NewLinkName.size() > kNewLinkNameWidth) {
        log.LogError(LoadString(21025));
        return std::nullopt;
    }
    const auto view = ViewOf(headerPage_.data());
    const RebuildOutcome outcome =
        RebuildPage(*view, NewLinkName, newHeaderPage_.data(), [&](std::string_view oldName) {
            OldLinkName.assign(oldName);
            log.append(FormatMessage(replacedMessage, OldLinkName, NewLinkName));
        });
    if (outcome != RebuildOutcome::kRebuilt) {
        log.LogError(LoadString(RefusalMessage(outcome)));
        return std::nullopt;
    }
    return view->size;
}

// Whether the file's first `pageSize` bytes, synced to disk, now read back
// as `page`.
bool LinkEditor::Reads(const std::uint8_t* page, std::size_t pageSize) {
    return file_->Sync() && file_->ReadAt(0, readBack_.data(), pageSize) == pageSize &&
           std::memcmp(readBack_.data(), page, pageSize) == 0;
}

// Writes the rebuilt page, makes it reach the disk and reads it back. When
// any of that fails, the page as read is written back once and read back in
// turn, so that the file is left as it was wherever the system allows, and
// the caller can say whether it was.
LinkEditor::WriteOutcome LinkEditor::WriteVerified(std::size_t pageSize) {
    // A SIGINT or SIGTERM waits until the page is written, synced and read
    // back, or restored: the program never ends with a page of its own half done.
    const platform::TerminationDeferred untilThePageIsDone;
    if (file_->WriteAt(0, newHeaderPage_.data(), pageSize) == pageSize &&
        Reads(newHeaderPage_.data(), pageSize)) {
        return WriteOutcome::kWritten;
    }
    // A short write-back can still leave the page whole: what it did not
    // write again, the failed write did not reach either.
    file_->WriteAt(0, headerPage_.data(), pageSize);
    return Reads(headerPage_.data(), pageSize) ? WriteOutcome::kRestored
                                               : WriteOutcome::kNotRestored;
}

bool LinkEditor::CloseDatabaseFile(RunLog& /*log*/) {
    file_ = nullptr;
    ownFile_.reset();
    pageState_ = PageState::kNone;
    return true;
}

bool LinkEditor::EntriesOverranPage() const {
    return entriesOverranPage_;
}

const std::uint8_t* LinkEditor::HeaderPage() const {
    return headerPage_.data();
}
const std::uint8_t* LinkEditor::NewHeaderPage() const {
    return newHeaderPage_.data();
}

std::size_t LinkEditor::FileReads() const {
    return file_ ? file_->Reads() : 0;
}
std::size_t LinkEditor::FileWrites() const {
    return file_ ? file_->Writes() : 0;
}

} // namespace tessaldrin::header
