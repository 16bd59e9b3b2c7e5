// The data module: the program's connection to the local Firebird/InterBase
// server. Toolkit-free; attaches only for the moment of a check or a rewrite.
#pragma once

#include "app/run_log.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessaldrin::filetable {

// The client library's name on this platform.
inline constexpr const char* kClientLibraryName = "libfbclient.so.2";

// A failure of the client library that the caller must see: the library cannot
// be loaded, or the moved database refused the attachment. what() is the text
// shown to the user.
class ClientError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TdmFiles {
public:
    // Loads the client library; throws ClientError with the text that names the
    // library sought when it cannot be loaded.
    explicit TdmFiles(const std::string& clientLibrary = kClientLibraryName);
    virtual ~TdmFiles();
    TdmFiles(const TdmFiles&) = delete;
    TdmFiles& operator=(const TdmFiles&) = delete;

    // The program's directory with its trailing separator; written by discovery.
    std::string DatabaseDir;
    // The server port of the current run; written before every run.
    std::int32_t Port = 0;

    // "localhost", with "/" and the port when it is not 3050.
    std::string ServerAddress() const;

    // Attaches to and detaches from the service manager. Logs 21005 or 21038
    // with the error text; `log` may be null.
    bool CheckServer(RunLog* log);

    // Rewrites every RDB$FILES row to its target name in one transaction.
    // Throws ClientError when the attachment to the database is refused.
    virtual bool ChangeFileTable(const std::vector<std::string>& files, RunLog* log);

    // The target naming rule; uses none of the data module's state.
    static std::string TargetFileName(const std::string& dir, const std::string& stored);

private:
    struct Impl;
    Impl* impl_; // owned; the loaded client library and its entry points
};

} // namespace tessaldrin::filetable
