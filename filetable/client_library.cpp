#include "filetable/client_library.h"

#include "filetable/client_error.h"
#include "platform/shared_library.h"

#include <clocale>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace tessaldrin::filetable {
namespace {

// Present in every glibc since 2.35 (and in Debian's long before).
constexpr const char* kBytePreservingLocale = "C.UTF-8";

template <typename Entry>
void Resolve(const platform::SharedLibrary& library, const char* symbol, Entry& entry) {
    entry = reinterpret_cast<Entry>(library.Find(symbol));
}

// Once the library has attached anything it catches SIGINT and SIGTERM and, on
// one, shuts itself down from a thread of its own at any moment, even while
// the program writes a header page. The program ends on those signals itself
// (platform/termination_signals.h), so the library's own reaction is refused.
int RefuseShutdownOnSignal(const int reason, const int /*mask*/, void* /*arg*/) {
    return reason == fb_shutrsn_signal ? 1 : 0;
}

} // namespace

std::string LibraryNotFoundText(const std::string& name) {
    return "InterBase-Bibliothek " + name +
           " im Pfad nicht gefunden. Bitte installieren Sie InterBase, um diese "
           "Funktionalität zu verwenden";
}

ClientLibrary::ClientLibrary(const std::string& name) : name_(name) {
    // The library converts every connection string between the process's
    // character set and UTF-8 on its way to the server. The path in it is the
    // bytes on disk, so that set must be UTF-8, where the conversion leaves
    // the bytes as they are, whatever the environment says: without any locale
    // variable (a service, cron) it would be ASCII, and every name with an
    // umlaut would fail "Cannot transliterate character between character sets".
    std::setlocale(LC_CTYPE, kBytePreservingLocale);
    // (A Windows runtime knows no such locale and leaves its own, whose code
    // page is the one the library there converts from.)
    std::optional<platform::SharedLibrary> library = platform::SharedLibrary::Load(name);
    if (!library) {
        throw ClientError(LibraryNotFoundText(name));
    }
    Resolve(*library, "isc_attach_database", api_.attachDatabase);
    Resolve(*library, "isc_database_info", api_.databaseInfo);
    Resolve(*library, "isc_detach_database", api_.detachDatabase);
    Resolve(*library, "isc_start_multiple", api_.startMultiple);
    Resolve(*library, "isc_commit_transaction", api_.commitTransaction);
    Resolve(*library, "isc_rollback_transaction", api_.rollbackTransaction);
    Resolve(*library, "isc_dsql_allocate_statement", api_.allocateStatement);
    Resolve(*library, "isc_dsql_prepare", api_.prepare);
    Resolve(*library, "isc_dsql_describe", api_.describe);
    Resolve(*library, "isc_dsql_execute", api_.execute);
    Resolve(*library, "isc_dsql_fetch", api_.fetch);
    Resolve(*library, "isc_dsql_free_statement", api_.freeStatement);
    Resolve(*library, "isc_service_attach", api_.serviceAttach);
    Resolve(*library, "isc_service_detach", api_.serviceDetach);
    Resolve(*library, "fb_interpret", api_.interpret);
    Resolve(*library, "isc_interprete", api_.interpreteUnbounded);
    Resolve(*library, "fb_shutdown", api_.shutdown);
    Resolve(*library, "fb_shutdown_callback", api_.shutdownCallback);

    const bool complete =
        api_.attachDatabase && api_.databaseInfo && api_.detachDatabase && api_.startMultiple &&
        api_.commitTransaction && api_.rollbackTransaction && api_.allocateStatement &&
        api_.prepare && api_.describe && api_.execute && api_.fetch && api_.freeStatement &&
        api_.serviceAttach && api_.serviceDetach && (api_.interpret || api_.interpreteUnbounded);
    if (!complete) {
        // A library of that name that is not a usable client library: it
        // goes with `library`.
        throw ClientError(LibraryNotFoundText(name));
    }
    library->KeepLoaded();
    if (api_.shutdownCallback != nullptr) {
        ISC_STATUS_ARRAY status{};
        api_.shutdownCallback(status, RefuseShutdownOnSignal, fb_shut_confirmation, nullptr);
    }
}

ClientLibrary::~ClientLibrary() {
    Shutdown();
}

bool ClientLibrary::Shutdown() const {
    return OpenAttachments() == 0 || ShutdownNow();
}

bool ClientLibrary::ShutdownNow() const {
    if (api_.shutdown == nullptr) {
        return OpenAttachments() == 0;
    }
    constexpr int kShutdownSucceeded = 0; // FB_SUCCESS of the library's own headers
    return api_.shutdown(kShutdownTimeoutMs, fb_shutrsn_app_stopped) == kShutdownSucceeded;
}

} // namespace tessaldrin::filetable

namespace tessaldrin::filetable {

bool ClientLibrary::ShutdownWithin(std::chrono::milliseconds limit) const {
    struct Outcome {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        bool succeeded = false;
    };
    const auto outcome = std::make_shared<Outcome>();
    std::thread([this, outcome] {
        const bool succeeded = ShutdownNow();
        const std::lock_guard<std::mutex> lock(outcome->mutex);
        outcome->done = true;
        outcome->succeeded = succeeded;
        outcome->ended.notify_all();
    }).detach();
    std::unique_lock<std::mutex> lock(outcome->mutex);
    return outcome->ended.wait_for(lock, limit, [&] { return outcome->done; }) &&
           outcome->succeeded;
}

} // namespace tessaldrin::filetable
