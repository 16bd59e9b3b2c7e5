#include "header/link_editor.h"

#include "header/header_page.h"
#include "platform/format_message.h"

#include <cstring>

namespace tessaldrin::header {
namespace {

using platform::Format;

using Kind = PageFault::Kind;

// Why the image is no view for the steps that need its page size and form.
PageFault ViewFault(const std::uint8_t* page) {
    if (!IsAcceptedPageSize(PageSize(page))) {
        return {Kind::kPageSize, PageSize(page)};
    }
    return {Kind::kUnsupportedForm, OdsMajorVersion(OdsVersion(page))};
}

// The fault of a page that the change refuses.
Kind RefusalKind(RebuildOutcome outcome) {
    switch (outcome) {
    case RebuildOutcome::kNameDoesNotFit:
        return Kind::kNameDoesNotFit;
    case RebuildOutcome::kEntriesTooLarge:
        return Kind::kEntriesTooLarge;
    case RebuildOutcome::kEntryOverrun:
        return Kind::kEntriesBroken;
    case RebuildOutcome::kNoContinuation:
        return Kind::kNoContinuation;
    case RebuildOutcome::kDamagedName:
        return Kind::kDamagedLink;
    case RebuildOutcome::kRebuilt:
        break;
    }
    return Kind::kNotChecked;
}

} // namespace

bool LinkEditor::OpenDatabaseFile(RunLog& log, const std::string& DatabaseFileName,
                                  platform::LockedFile* held,
                                  const std::optional<platform::OpenFailure>& why) {
    CloseDatabaseFile(log);
    if (DatabaseFileName.size() > kDatabaseFileNameWidth) {
        return TakeFile(log, nullptr,
                        platform::OpenFailure{platform::OpenFailure::Reason::kNameTooLong});
    }
    return TakeFile(log, held, why);
}

bool LinkEditor::TakeFile(RunLog& log, platform::LockedFile* file,
                          const std::optional<platform::OpenFailure>& why) {
    file_ = file;
    if (file_ == nullptr) {
        Fail(log, {Kind::kNotOpen});
        if (why) {
            log.append(Format(msg::kReason, platform::OpenFailureText(*why)));
        }
        return false;
    }
    return true;
}

bool LinkEditor::ReadHeaderPage(RunLog& log) {
    pageState_ = PageState::kNone;
    if (!file_ || file_->ReadAt(0, headerPage_.data(), kMinPageSize) != kMinPageSize) {
        return Fail(log, {Kind::kUnreadable});
    }
    const std::uint16_t size = PageSize(headerPage_.data());
    if (!IsAcceptedPageSize(size)) {
        return Fail(log, {Kind::kPageSize, size});
    }
    if (size > kMinPageSize && file_->ReadAt(0, headerPage_.data(), size) != size) {
        return Fail(log, {Kind::kUnreadable});
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
        return Fail(log, {Kind::kPageType, PageType(page)});
    }
    const auto view = ViewOf(page);
    if (!view) {
        return Fail(log, ViewFault(page));
    }
    if (NextHeaderPage(page) != 0) {
        return Fail(log, {Kind::kContinuedHeader});
    }
    if (view->form.checksumInUse) {
        const std::uint16_t expected = ExpectedChecksum(page, view->size);
        const std::uint16_t stored = StoredChecksum(page);
        if (expected != stored) {
            log.append(Format(msg::kChecksumWarning, static_cast<int>(expected),
                              static_cast<int>(stored)));
        }
    }
    if (read) {
        pageState_ = PageState::kChecked;
    }
    return true;
}

bool LinkEditor::ReadContinuationLink(RunLog& log) {
    OldLinkName.clear();
    const auto view = ViewOf(headerPage_.data());
    if (!view) {
        return Fail(log, ViewFault(headerPage_.data()));
    }
    const ContinuationSearch search = FindContinuation(*view);
    switch (search.outcome) {
    case ContinuationSearch::Outcome::kFound:
        OldLinkName.assign(search.name);
        log.append(Format(msg::kContinuationFile, OldLinkName));
        return true;
    case ContinuationSearch::Outcome::kOverrun:
        return Fail(log, {Kind::kEntriesOverrunPage});
    case ContinuationSearch::Outcome::kDamaged:
        return Fail(log, {Kind::kDamagedLink});
    case ContinuationSearch::Outcome::kNone:
        break;
    }
    log.AppendMessage(msg::kLastFile);
    return false;
}

std::optional<std::size_t> LinkEditor::ChangeContinuationLink(RunLog& log,
                                                              const std::string& NewLinkName,
                                                              const ReplacedLink& replaced) {
    // A page that was not read from this file and checked is never written
    // into it: it may be another file's page, or no header page at all.
    if (!file_ || pageState_ != PageState::kChecked) {
        Fail(log, {Kind::kNotChecked});
        return std::nullopt;
    }
    if (NewLinkName.size() > kNewLinkNameWidth) {
        Fail(log, {Kind::kLinkTooLong, static_cast<std::int32_t>(kNewLinkNameWidth)});
        return std::nullopt;
    }
    const auto view = ViewOf(headerPage_.data());
    const RebuildOutcome outcome =
        RebuildPage(*view, NewLinkName, newHeaderPage_.data(), [&](std::string_view oldName) {
            OldLinkName.assign(oldName);
            replaced(OldLinkName);
        });
    if (outcome != RebuildOutcome::kRebuilt) {
        Fail(log, {RefusalKind(outcome)});
        return std::nullopt;
    }
    return view->size;
}

bool LinkEditor::WritePage(RunLog& log, const std::uint8_t* page, std::size_t pageSize) {
    // Only over a page read from this very file and checked, and only as
    // many bytes as that page has.
    if (!file_ || pageState_ != PageState::kChecked || pageSize != PageSize(headerPage_.data())) {
        log.LogError(Format(msg::kCannotWriteHeader));
        return false;
    }
    // A process that has the file open without locking it (Firebird 2.5)
    // may hold the page in its cache and write it back over the new one. Held
    // alone, the page is read again: nobody may have changed it since.
    const platform::LockedFile::SoleAccess sole(*file_);
    if (sole.Refusal()) {
        log.LogError(Format(msg::kCannotWriteHeader));
        log.append(Format(msg::kReason, platform::OpenFailureText(*sole.Refusal())));
        return false;
    }
    if (file_->ReadAt(0, readBack_.data(), pageSize) != pageSize ||
        std::memcmp(readBack_.data(), headerPage_.data(), pageSize) != 0) {
        log.LogError(Format(msg::kPageChangedSincePlan));
        return false;
    }
    switch (WriteVerified(page, pageSize)) {
    case WriteOutcome::kWritten:
        return true;
    case WriteOutcome::kRestored:
        log.LogError(Format(msg::kCannotWriteHeader));
        return false;
    case WriteOutcome::kNotRestored:
        log.LogError(Format(msg::kPageNotRestored));
        return false;
    }
    return false;
}

// Whether the file's first `pageSize` bytes, synced to disk, now read back
// as `page`.
bool LinkEditor::Reads(const std::uint8_t* page, std::size_t pageSize) {
    return file_->Sync() && file_->ReadAt(0, readBack_.data(), pageSize) == pageSize &&
           std::memcmp(readBack_.data(), page, pageSize) == 0;
}

// Writes the new page, makes it reach the disk and reads it back. When any of
// that fails, the page as read is written back once and read back in turn, so
// that the file is left as it was wherever the system allows, and the caller
// can say whether it was.
LinkEditor::WriteOutcome LinkEditor::WriteVerified(const std::uint8_t* page, std::size_t pageSize) {
    if (file_->WriteAt(0, page, pageSize) == pageSize && Reads(page, pageSize)) {
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
    pageState_ = PageState::kNone;
    fault_.reset();
    return true;
}

bool LinkEditor::Fail(RunLog& log, const PageFault& fault) {
    LogFault(log, fault);
    if (!fault_) {
        fault_ = fault;
    }
    return false;
}

const std::optional<PageFault>& LinkEditor::Fault() const {
    return fault_;
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
