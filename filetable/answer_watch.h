// The bound on every wait for the server. The client library bounds only the
// server's first answer of a connection; a server that falls silent later
// would keep a call waiting for ever. One server step (the server check, the
// rewrite of the file table) makes every call of the client library under a
// watch of its own: when a call has waited kServerAnswerSeconds for its
// answer, the watch shuts down the step's connections to the server, and the
// call returns with an error. From then on the step sends nothing more that
// could change the database, and the server, which sees the connection end,
// rolls back whatever the step had not committed: a server that wakes up
// later finds nothing left to carry out.
#pragma once

#include "filetable/client_error.h"
#include "platform/loopback_connections.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tessaldrin::filetable {

// How long the program waits for any answer of the server: the time-out of
// the connection's first answer, which the parameter blocks ask of the client
// library, and the bound of every later one, which the watch keeps.
inline constexpr std::uint32_t kServerAnswerSeconds = 15;

// A call that the watch ended, or refused to make after it ended one.
class NoAnswer : public ClientError {
public:
    using ClientError::ClientError;
};

class AnswerWatch {
public:
    // Watches the calls of one step that talks to the server at `port` of
    // this machine. Connections to that port that exist already are never
    // shut down: they are not the step's.
    explicit AnswerWatch(std::int32_t port);
    ~AnswerWatch();
    AnswerWatch(const AnswerWatch&) = delete;
    AnswerWatch& operator=(const AnswerWatch&) = delete;

    // Makes `call`, one call of the client library, within the bound. Throws
    // NoAnswer instead of making it once the watch has ended a call, and
    // after it when the call took the whole bound: the server did not answer.
    void Call(const std::function<void()>& call);
    // Makes `call`, which gives back what an earlier call opened (a rollback,
    // a detach, a statement's release), within the bound, also after the watch
    // ended a call: on a connection that was shut down it returns at once and
    // frees the library's handle, and it can commit nothing. False when the
    // watch has ended a call, this one or an earlier one.
    bool Release(const std::function<void()>& call);

    // Whether the watch has ended a call.
    bool Ended() const;

private:
    // Runs `call`, timed; whether the watch ended it or it took the bound.
    bool Timed(const std::function<void()>& call);
    void Watch();

    const std::uint16_t port_;
    const std::vector<platform::ConnectionIdentity> spared_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    bool ended_ = false;
    // The call under way: its number, so that the thread tells it from the
    // next, and when it started.
    bool calling_ = false;
    std::uint64_t call_ = 0;
    std::chrono::steady_clock::time_point started_;
    std::thread watcher_;
};

// The text of a call that the watch ended.
std::string NoAnswerText();

} // namespace tessaldrin::filetable
