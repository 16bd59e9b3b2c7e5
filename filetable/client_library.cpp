#include "filetable/client_library.h"

#include "filetable/client_error.h"

namespace tessaldrin::filetable {
namespace {

template <typename Entry>
void Resolve(const platform::SharedLibrary& library, const char* symbol, Entry& entry) {
    entry = reinterpret_cast<Entry>(library.Find(symbol));
}

} // namespace

std::string LibraryNotFoundText(const std::string& name) {
    return "InterBase-Bibliothek " + name +
           " im Pfad nicht gefunden. Bitte installieren Sie InterBase, um diese "
           "Funktionalität zu verwenden";
}

ClientLibrary::ClientLibrary(const std::string& name) : name_(name) {
    library_ = platform::SharedLibrary::Load(name);
    if (!library_) {
        throw ClientError(LibraryNotFoundText(name));
    }
    Resolve(*library_, "isc_attach_database", api_.attachDatabase);
    Resolve(*library_, "isc_database_info", api_.databaseInfo);
    Resolve(*library_, "isc_detach_database", api_.detachDatabase);
    Resolve(*library_, "isc_start_multiple", api_.startMultiple);
    Resolve(*library_, "isc_commit_transaction", api_.commitTransaction);
    Resolve(*library_, "isc_rollback_transaction", api_.rollbackTransaction);
    Resolve(*library_, "isc_dsql_allocate_statement", api_.allocateStatement);
    Resolve(*library_, "isc_dsql_prepare", api_.prepare);
    Resolve(*library_, "isc_dsql_describe", api_.describe);
    Resolve(*library_, "isc_dsql_execute", api_.execute);
    Resolve(*library_, "isc_dsql_fetch", api_.fetch);
    Resolve(*library_, "isc_dsql_free_statement", api_.freeStatement);
    Resolve(*library_, "isc_service_attach", api_.serviceAttach);
    Resolve(*library_, "isc_service_detach", api_.serviceDetach);
    Resolve(*library_, "fb_interpret", api_.interpret);
    Resolve(*library_, "isc_interprete", api_.interpreteUnbounded);

    const bool complete =
        api_.attachDatabase && api_.databaseInfo && api_.detachDatabase && api_.startMultiple &&
        api_.commitTransaction && api_.rollbackTransaction && api_.allocateStatement &&
        api_.prepare && api_.describe && api_.execute && api_.fetch && api_.freeStatement &&
        api_.serviceAttach && api_.serviceDetach && (api_.interpret || api_.interpreteUnbounded);
    if (!complete) {
        // A library of that name that is not a usable client library.
        library_.reset();
        throw ClientError(LibraryNotFoundText(name));
    }
}

ClientLibrary::~ClientLibrary() = default;

} // namespace tessaldrin::filetable
