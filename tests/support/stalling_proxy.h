// A loopback proxy in front of a real server, for the tests of a server that
// falls silent in the middle of an exchange: the real server cannot be made
// to stop answering at a chosen point, so the proxy stops forwarding there.
// It forwards every connection both ways, counted in the order they come,
// until the stall point of one of them; on that connection it then forwards
// nothing more, in either direction, and keeps what it reads, as a server
// that stopped answering without closing. It never ends a connection itself.
#pragma once

#include <atomic>
#include <cstddef>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace tessaldrin::testing {

inline constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// Where the stalled connection falls silent: after the proxy forwarded this
// many of the client's requests to the server, or of the server's answers to
// the client, whichever comes first. Client and server take turns, so each
// read of the proxy is one request or one answer.
struct StallPoint {
    std::size_t connection = kNoLimit; // counted from 0; kNoLimit: none stalls
    std::size_t clientRequests = kNoLimit;
    std::size_t serverAnswers = kNoLimit;
};

// Firebird 3's client opens every connection with op_connect, the second
// step of its authentication and op_crypt; op_attach follows them. The file
// table step then asks for the dialect, starts the transaction, prepares the
// select and the update, executes and fetches the select, and, where there
// is no row to update (a database of one file), commits.
inline constexpr std::size_t kHandshakeRequests = 3;
inline constexpr std::size_t kRequestsBeforeTheCommit = kHandshakeRequests + 7;

// What one side sent in one read of the proxy.
struct Chunk {
    bool fromClient;
    std::size_t bytes;
};

class StallingProxy {
public:
    StallingProxy(int serverPort, StallPoint stall);
    ~StallingProxy();
    StallingProxy(const StallingProxy&) = delete;
    StallingProxy& operator=(const StallingProxy&) = delete;

    int port() const { return port_; }
    // Whether the stalled connection has reached its stall point.
    bool Stalled() const;
    // Whether the client has ended the stalled connection (shut it down or
    // closed it).
    bool ClientEnded() const;
    // Forwarding goes on on the stalled connection, both ways, with what it
    // held: a server that wakes up again.
    void Resume();
    // The client's bytes that the proxy read on the stalled connection after
    // Resume: what a client that had kept waiting would send next.
    std::size_t ClientBytesAfterResume() const;
    // Every connection's chunks so far, in the order they came.
    std::vector<std::vector<Chunk>> Trace() const;

private:
    struct Connection;
    void Run();
    void Accept();
    // Moves what `from` has to read towards `to`; false once `from` has ended.
    bool Pass(Connection& connection, bool fromClient);

    int serverPort_;
    StallPoint stall_;
    int listener_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<Connection*> connections_;
    bool stalled_ = false;
    bool resumed_ = false;
    bool clientEnded_ = false;
    std::size_t afterResume_ = 0;
    std::thread thread_;
};

} // namespace tessaldrin::testing
