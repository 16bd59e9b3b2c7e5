// Why a join, or the recovery of an interrupted one, does not go ahead: the
// kind of the reason and its data, as values. The words for the user are the
// describer's; nothing here is text.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tessaldrin::join {

struct JoinRefusal {
    enum class Kind {
        // Of the files of the chain, each decided from its header page and size.
        kSingleFile,                  // the primary names no continuation file
        kHeaderUnreadable,            // no whole header page of an accepted size
        kOdsNotHandled,               // found: the ODS version word
        kOdsDiffers,                  // expected, found: the primary's word, the file's
        kShadow,                      // the file belongs to a shadow
        kRootFileName,                // a shadow's entry naming the database it shadows
        kBackupState,                 // found: nbackup's state bits, not normal
        kEncryptionInProgress,        // the database is being encrypted or decrypted
        kHeaderContinues,             // found: the overflow header page's number
        kEntriesDamaged,              // the entry list overruns, repeats or misplaces its end
        kWrongSequence,               // expected, found: the file's place in the chain
        kWrongPageSize,               // expected, found
        kWrongFirstPage,              // expected, found: the number its header page carries
        kContinuationWithoutLastPage, // a continuation entry but no last-page entry
        kLastPageWithoutContinuation, // a last-page entry but no continuation entry
        kChainIncomplete,             // the last file held still names a continuation
        kChainEndsEarly,              // a file names no continuation, yet more files follow
        kEmptyRange,                  // expected, found: its first page, its last page
        kPartialPage,                 // found: a size that is no whole number of pages
        kLongerThanRange,             // expected, found: the pages of its range, its pages
        kNameNotJournaled,            // its name holds a line break
        // Of the files' surroundings.
        kJournalPresent,   // a journal lies beside the primary: recover first
        kAsideNameTaken,   // the name the file is to be put aside under exists
        kFreeSpaceUnknown, // the system does not tell the primary disk's room
        kNotEnoughSpace,   // expected, found: the bytes needed, the bytes free
        kSectorExceeded,   // found: how far into the header page the change reaches
        // Found while copying.
        kPageNumberMismatch, // expected, found: the page's place, its own number
        // Of a journal found beside the primary.
        kForeignJournal,   // it is no journal, or not of this primary's join
        kPrimaryChanged,   // expected, found: the primary's first sector matches neither
                           // side of the commit, or it is shorter than before
        kSecondaryChanged, // the file under the journal's name is another one now
        kSecondaryTwice,   // it is under both its own and its aside name
        kFileNotHeld,      // found: the OpenFailure reason it could not be held for
    };
    Kind kind;
    std::size_t file = 0; // its index in the chain, the primary's 0
    std::uint64_t expected = 0;
    std::uint64_t found = 0;

    bool operator==(const JoinRefusal&) const = default;
};

} // namespace tessaldrin::join
