#include "filetable/client_library.h"

#include "filetable/client_error.h"

#include <dlfcn.h>

namespace tessaldrin::filetable {
namespace {

template <typename Entry> void Resolve(void* handle, const char* symbol, Entry& entry) {
    entry = reinterpret_cast<Entry>(dlsym(handle, symbol));
}

} // namespace

std::string LibraryNotFoundText(const std::string& name) {
    return "InterBase-Bibliothek " + name +
           " im Pfad nicht gefunden. Bitte installieren Sie InterBase, um diese "
           "Funktionalität zu verwenden";
}

ClientLibrary::ClientLibrary(const std::string& name) : name_(name) {
    handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        throw ClientError(LibraryNotFoundText(name));
    }
    Resolve(handle_, "isc_attach_database", api_.attachDatabase);
    Resolve(handle_, "isc_database_info", api_.databaseInfo);
    Resolve(handle_, "isc_detach_database", api_.detachDatabase);
    Resolve(handle_, "isc_start_multiple", api_.startMultiple);
    Resolve(handle_, "isc_commit_transaction", api_.commitTransaction);
    Resolve(handle_, "isc_rollback_transaction", api_.rollbackTransaction);
    Resolve(handle_, "isc_dsql_allocate_statement", api_.allocateStatement);
    Resolve(handle_, "isc_dsql_prepare", api_.prepare);
    Resolve(handle_, "isc_dsql_describe", api_.describe);
    Resolve(handle_, "isc_dsql_execute", api_.execute);
    Resolve(handle_, "isc_dsql_fetch", api_.fetch);
    Resolve(handle_, "isc_dsql_free_statement", api_.freeStatement);
    Resolve(handle_, "isc_service_attach", api_.serviceAttach);
    Resolve(handle_, "isc_service_detach", api_.serviceDetach);
    Resolve(handle_, "fb_interpret", api_.interpret);
    Resolve(handle_, "isc_interprete", api_.interpreteUnbounded);

    const bool complete =
        api_.attachDatabase && api_.databaseInfo && api_.detachDatabase && api_.startMultiple &&
        api_.commitTransaction && api_.rollbackTransaction && api_.allocateStatement &&
        api_.prepare && api_.describe && api_.execute && api_.fetch && api_.freeStatement &&
        api_.serviceAttach && api_.serviceDetach && (api_.interpret || api_.interpreteUnbounded);
    if (!complete) {
        // A library of that name that is not a usable client library.
        dlclose(handle_);
        handle_ = nullptr;
        throw ClientError(LibraryNotFoundText(name));
    }
}

ClientLibrary::~ClientLibrary() {
    if (handle_ != nullptr) {
        dlclose(handle_);
    }
}

} // namespace tessaldrin::filetable
