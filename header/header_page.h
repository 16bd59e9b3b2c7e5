// The header page of a database file as the engine lays it out on disk: the
// fields of its fixed part, the forms that different engine versions write,
// the entry list behind the fixed part, and the page checksum. Every offset
// and width is named here once; every read is checked against the page size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace tessaldrin::header {

// The largest page size; page images are this long.
inline constexpr std::size_t kMaxPageSize = 32768;
// The least page size, and so what is read before the page size is known.
inline constexpr std::size_t kMinPageSize = 1024;

// A little-endian field of the fixed part.
struct Field {
    std::size_t offset;
    std::size_t width;
};

inline constexpr Field kPageTypeField{0, 1};        // signed; 1 for a header page
inline constexpr Field kChecksumField{2, 2};        // unsigned
inline constexpr Field kPageSizeField{16, 2};       // unsigned
inline constexpr Field kOdsVersionField{18, 2};     // unsigned; selects the form
inline constexpr Field kNextHeaderPageField{24, 4}; // 0 unless the header continues
inline constexpr Field kFileSequenceField{40, 2};   // the file's place in its chain; 0: primary
inline constexpr Field kImplementationField{60, 2}; // shifts the checksum rule
inline constexpr Field kEntriesEndField{66, 2};     // the engine's offset of the end marker
// The flags of the database: a shadow's file, nbackup's state, an encryption
// under way (where the form has it) among others.
inline constexpr Field kHeaderFlagsField{42, 2};
// Every page of a form that keeps it (HeaderForm::pagesKeepNumber) holds its
// own page number here, the header page included.
inline constexpr Field kPageNumberField{12, 4};

// The bits of the flags field that every form shares.
inline constexpr std::uint16_t kActiveShadowFlag = 0x0001; // the file belongs to a shadow
inline constexpr std::uint16_t kBackupStateMask =
    0x0C00; // nbackup: 0 normal, else locked or merging

inline constexpr std::int8_t kHeaderPageType = 1;
inline constexpr std::uint8_t kEndMarkerType = 0;
// The entry that a shadow's header carries: the name of the database it shadows.
inline constexpr std::uint8_t kRootFileNameType = 1;

// What distinguishes the forms of the page that different engines write.
struct HeaderForm {
    std::size_t dataStart;         // first byte of the entry list
    std::uint8_t continuationType; // entry type that names the next file
    bool checksumInUse;            // false: the field is kept as stored, never compared
    // Behind the continuation entry: the last logical page the file holds,
    // as kLastPageWidth little-endian bytes.
    std::uint8_t lastPageType = 0;
    // The bit of the flags field set while the database is being encrypted
    // or decrypted; 0 where the form knows no encryption.
    std::uint16_t cryptProcessFlag = 0;
    // Whether every page holds its own number (kPageNumberField).
    bool pagesKeepNumber = false;
};

inline constexpr std::size_t kLastPageWidth = 4;

// The form of a page whose ODS version word is `odsVersion`; none for a
// Firebird form too new to be known, whose fixed part may reach past the
// entry start of every known form.
std::optional<HeaderForm> FormOf(std::uint16_t odsVersion);

// The major version that a Firebird-flagged ODS word carries.
std::uint16_t OdsMajorVersion(std::uint16_t odsVersion);
// Whether the word carries the flag that Firebird sets on the versions it writes.
bool IsFirebirdOds(std::uint16_t odsVersion);

bool IsAcceptedPageSize(std::uint32_t size);

// The fields of the first kMinPageSize bytes of `page`.
std::int8_t PageType(const std::uint8_t* page);
std::uint16_t StoredChecksum(const std::uint8_t* page);
std::uint16_t PageSize(const std::uint8_t* page);
std::uint16_t OdsVersion(const std::uint8_t* page);
std::uint32_t NextHeaderPage(const std::uint8_t* page);
std::uint16_t FileSequence(const std::uint8_t* page);
std::uint16_t ImplementationId(const std::uint8_t* page);
std::uint16_t EntriesEnd(const std::uint8_t* page);
std::uint16_t HeaderFlags(const std::uint8_t* page);
std::uint32_t PageNumber(const std::uint8_t* page);

// Any field of the fixed part, read and written little-endian.
std::uint32_t ReadField(const std::uint8_t* page, Field field);
void WriteField(std::uint8_t* page, Field field, std::uint32_t value);

// The low 16 bits of the sum of the page's 32-bit words, taken as if its
// checksum field held 0.
std::uint16_t HeaderChecksum(const std::uint8_t* page, std::size_t pageSize);

// The checksum that the engine which wrote `page` expects of it: by its ODS
// version and implementation, a fixed value for the newer engines, the page
// checksum for the older ones.
std::uint16_t ExpectedChecksum(const std::uint8_t* page, std::size_t pageSize);

// A page image together with its accepted size and known form.
struct PageView {
    const std::uint8_t* bytes;
    std::size_t size;
    HeaderForm form;
};

// A view of `page` when its page size is accepted and its form known.
std::optional<PageView> ViewOf(const std::uint8_t* page);

// One step of the walk over the entry list.
struct Entry {
    enum class Kind {
        kEntry,   // an entry that lies wholly within the page
        kEnd,     // the end marker, or the page end right behind the last entry
        kOverrun, // an entry that runs past the page end
    };
    Kind kind;
    std::size_t offset; // of its type byte, from the start of the page
    std::uint8_t type;
    std::uint8_t length; // of its data
    std::size_t next() const;
    std::string_view data(const PageView& page) const;
};

// The entry at `offset` of `page`; the first lies at page.form.dataStart.
// Never reads a byte beyond the page.
Entry EntryAt(const PageView& page, std::size_t offset);

// Whether `name` can be a file name that the engine stored: it never writes
// one with a byte below 0x20, so such a byte means a damaged page (a torn
// write, say), whose entries cannot be trusted.
bool IsStoredFileName(std::string_view name);

// The first continuation entry of the page.
struct ContinuationSearch {
    enum class Outcome {
        kFound,
        kNone,
        kOverrun,
        kDamaged, // its name fails IsStoredFileName
    };
    Outcome outcome;
    std::string_view name; // kFound: the name the entry holds
};
ContinuationSearch FindContinuation(const PageView& page);

// Why a rebuilt page could not be laid out.
enum class RebuildOutcome {
    kRebuilt,
    kNameDoesNotFit,  // a continuation entry with the new name runs past the page
    kEntriesTooLarge, // an entry moved by the new name runs past the page
    kEntryOverrun,    // an entry of the page as read runs past its end
    kNoContinuation,  // the page names no continuation file
    kDamagedName,     // a continuation entry's name fails IsStoredFileName
};

// Lays out in `out` (kMaxPageSize bytes) the page `page` with every
// continuation entry holding `newName`: the fixed part carried over, the
// other entries copied in their order, the rest zero, the engine's end
// offset moved with the end marker when it pointed there, the checksum
// filled by the form's rule. `replaced` is called with each old name as its
// entry is rebuilt, so before a later entry may still refuse the page.
RebuildOutcome RebuildPage(const PageView& page, std::string_view newName, std::uint8_t* out,
                           const std::function<void(std::string_view oldName)>& replaced);

} // namespace tessaldrin::header
