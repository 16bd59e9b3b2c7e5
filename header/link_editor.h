// The continuation link editor: opens one database file for update, reads and
// checks its header page, reads its continuation link and rewrites it on disk.
// Whoever works on files owns an editor and reuses it from one file to the
// next. Every operation reports to the run log and returns its success flag;
// none throws.
#pragma once

#include "header/header_page.h"
#include "header/page_fault.h"
#include "platform/locked_file.h"
#include "runlog/run_log.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tessaldrin::header {

class LinkEditor {
public:
    // The continuation link found in the page; empty when there is none.
    std::string OldLinkName;

    // Works on `held`, the file that the caller opened and locked for
    // `DatabaseFileName` and keeps, never on whatever the name gives by now;
    // with none, or with a name longer than kDatabaseFileNameWidth, the error
    // of a failed open (21018), followed by the reason: `why` the caller could
    // not hold it, when given, or that the name is too long. Closing gives
    // the file back to the caller, still open and locked.
    bool OpenDatabaseFile(RunLog& log, const std::string& DatabaseFileName,
                          platform::LockedFile* held,
                          const std::optional<platform::OpenFailure>& why = std::nullopt);
    bool ReadHeaderPage(RunLog& log);
    bool CheckHeaderPage(RunLog& log);
    bool ReadContinuationLink(RunLog& log);
    // Rebuilds the page as read and checked, with every continuation entry
    // holding `NewLinkName` (at most kNewLinkNameWidth characters), into
    // NewHeaderPage; the file stays as it is: a run decides every page before
    // it writes any, and then writes it with WritePage. `replaced` is called
    // with each old link as its entry is rebuilt. The page size when the page
    // was rebuilt; nothing after the refusal it has logged.
    using ReplacedLink = std::function<void(const std::string& oldLink)>;
    std::optional<std::size_t> ChangeContinuationLink(RunLog& log, const std::string& NewLinkName,
                                                      const ReplacedLink& replaced);
    // Writes the first `pageSize` bytes of `page` over the header page that
    // was read and checked from the open file, makes them reach the disk and
    // reads them back; when that fails, writes the page as read back in turn.
    // True when the new page is on disk; otherwise the one error line that
    // says whether the file was restored. Nothing is written while another
    // process has the file open (the error line and its reason), nor when the
    // page on disk is no longer the one read. The caller defers termination
    // across the write and the lines that announce it.
    bool WritePage(RunLog& log, const std::uint8_t* page, std::size_t pageSize);
    bool CloseDatabaseFile(RunLog& log);
    // Why the editor refused the file it works on: the first fault since the
    // file was opened, whose error line it wrote; none while it refused
    // nothing. A page without a link is no fault.
    const std::optional<PageFault>& Fault() const;

    // The page images, 32768 bytes each: the page as read, the rebuilt page.
    const std::uint8_t* HeaderPage() const;
    const std::uint8_t* NewHeaderPage() const;

    // The reads and writes made on the open file so far; 0 when none is open.
    std::size_t FileReads() const;
    std::size_t FileWrites() const;

    // The widths of the names the editor takes.
    static constexpr std::size_t kDatabaseFileNameWidth = 300;
    static constexpr std::size_t kNewLinkNameWidth = 253;

private:
    using PageImage = std::array<std::uint8_t, kMaxPageSize>;
    // How far the page image has come for the open file: a page is changed
    // only after it was read from this very file and passed the checks.
    enum class PageState { kNone, kRead, kChecked };

    // Logs the error line of `fault`, keeps it when it is the first; false.
    bool Fail(RunLog& log, const PageFault& fault);
    // With no file, logs 21018 and then the reason, when known.
    bool TakeFile(RunLog& log, platform::LockedFile* file,
                  const std::optional<platform::OpenFailure>& why);
    enum class WriteOutcome { kWritten, kRestored, kNotRestored };
    WriteOutcome WriteVerified(const std::uint8_t* page, std::size_t pageSize);
    bool Reads(const std::uint8_t* page, std::size_t pageSize);

    platform::LockedFile* file_ = nullptr; // the caller's held file
    PageState pageState_ = PageState::kNone;
    std::optional<PageFault> fault_;
    PageImage headerPage_{};
    PageImage newHeaderPage_{};
    PageImage readBack_{};
};

} // namespace tessaldrin::header
