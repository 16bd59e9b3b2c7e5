// The continuation link editor: opens one database file for update, reads and
// checks its header page, reads its continuation link and rewrites it on disk.
// Its state exists once per process and is reused for every file. Every
// operation reports to the run log and returns its success flag; none throws.
#pragma once

#include "header/header_page.h"
#include "platform/locked_file.h"
#include "runlog/run_log.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tessaldrin::header {

class LinkEditor {
public:
    static LinkEditor& Instance();

    // Set by the caller before OpenDatabaseFile.
    std::string DatabaseFileName;
    // The continuation link found in the page; empty when there is none.
    std::string OldLinkName;
    // Set by the caller before ChangeContinuationLink.
    std::string NewLinkName;

    bool OpenDatabaseFile(RunLog& log);
    // Takes `held`, a file that the caller opened and locked for
    // DatabaseFileName and keeps, instead of opening the name again, which may
    // by now name another file; with none, the same error as a failed open,
    // followed by `why` the caller could not hold it, when given.
    // Closing gives it back to the caller, still open and locked.
    bool OpenHeldDatabaseFile(RunLog& log, platform::LockedFile* held,
                              const std::optional<platform::OpenFailure>& why = std::nullopt);
    bool ReadHeaderPage(RunLog& log);
    bool CheckHeaderPage(RunLog& log);
    bool ReadContinuationLink(RunLog& log);
    bool ChangeContinuationLink(RunLog& log);
    // Everything ChangeContinuationLink does to the page (the same checks,
    // the same refusals, the rebuilt page in NewHeaderPage) but the write:
    // the file stays as it is, and each rebuilt link is shown as one that
    // would be changed. True when the change would write the page.
    bool PreviewContinuationLink(RunLog& log);
    bool CloseDatabaseFile(RunLog& log);

    // True when the last ReadContinuationLink met a damaged page: entries
    // that run past the page end (21015) or a link name that the engine never
    // writes (21043), as opposed to a page that simply has no link.
    bool EntriesOverranPage() const;

    // The page images, 32768 bytes each, for inspection by tests.
    const std::uint8_t* HeaderPage() const;
    const std::uint8_t* NewHeaderPage() const;

    // The reads and writes made on the open file so far; 0 when none is open.
    std::size_t FileReads() const;
    std::size_t FileWrites() const;

    // The widths of the names the caller sets.
    static constexpr std::size_t kDatabaseFileNameWidth = 300;
    static constexpr std::size_t kNewLinkNameWidth = 253;

private:
    using PageImage = std::array<std::uint8_t, kMaxPageSize>;
    // How far the page image has come for the open file: a page is changed
    // only after it was read from this very file and passed the checks.
    enum class PageState { kNone, kRead, kChecked };

    // With no file, logs 21018 and then the reason, when known.
    bool TakeFile(RunLog& log, platform::LockedFile* file,
                  const std::optional<platform::OpenFailure>& why);
    // Rebuilds the checked page with NewLinkName into NewHeaderPage, logging
    // each replaced link with message `replacedMessage`; the page size, or
    // nothing after the refusal it has logged.
    std::optional<std::size_t> BuildNewPage(RunLog& log, int replacedMessage);
    enum class WriteOutcome { kWritten, kRestored, kNotRestored };
    WriteOutcome WriteVerified(std::size_t pageSize);
    bool Reads(const std::uint8_t* page, std::size_t pageSize);

    // The file opened by name, when it was; file_ points at it or at the
    // caller's held file.
    std::optional<platform::LockedFile> ownFile_;
    platform::LockedFile* file_ = nullptr;
    PageState pageState_ = PageState::kNone;
    bool entriesOverranPage_ = false;
    PageImage headerPage_{};
    PageImage newHeaderPage_{};
    PageImage readBack_{};
};

} // namespace tessaldrin::header
