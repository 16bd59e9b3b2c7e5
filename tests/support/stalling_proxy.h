// A loopback proxy in front of a real server, for the tests of a server that
// falls silent in the middle of an exchange: the real server cannot be made
// to stop answering at a chosen point, so the proxy stops forwarding there.
// It forwards every connection both ways, counted in the order they come,
// until the stall point of one of them; that connection then forwards
// nothing more in either direction and keeps what it reads, as a server that
// stopped answering without closing. It never ends a connection itself.
#pragma once

#include <cstddef>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tessaldrin::testing {

inline constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// Where the stalled connection falls silent: after the proxy forwarded this
// many of the client's requests, or of the server's answers, whichever comes
// first. Client and server take turns, so each read is one of them.
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

class StallingProxy {
public:
    StallingProxy(int serverPort, StallPoint stall);
    ~StallingProxy();
    StallingProxy(const StallingProxy&) = delete;
    StallingProxy& operator=(const StallingProxy&) = delete;

    int port() const { return port_; }
    std::size_t Connections() const;
    bool Stalled() const;
    // Whether the client has ended the stalled connection.
    bool ClientEnded() const;
    // The stalled connection goes on, both ways, with what it held: a server
    // that wakes up again.
    void Resume();
    // What the client sent on the stalled connection after Resume: what a
    // client that had kept waiting would send next.
    std::size_t ClientBytesAfterResume() const;

private:
    struct Connection {
        int ends[2]; // [0]: the server's side, [1]: the client's
        bool open[2] = {true, true};
        std::size_t forwarded[2] = {0, 0};
        std::string held[2];
    };
    void Run();
    // Moves one read from the side `from` on, or marks that side ended.
    void Pass(Connection& connection, bool stalling, int from);

    int serverPort_;
    StallPoint stall_;
    int listener_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    mutable std::mutex mutex_;
    std::vector<Connection> connections_;
    bool stopping_ = false;
    bool stalled_ = false;
    bool resumed_ = false;
    bool clientEnded_ = false;
    std::size_t afterResume_ = 0;
    std::thread thread_;
};

} // namespace tessaldrin::testing
