#include "tests/support/stalling_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace tessaldrin::testing {

struct StallingProxy::Connection {
    int client = -1;
    int server = -1;
    bool clientOpen = true;
    bool serverOpen = true;
    // The reads forwarded so far, and the bytes held back, each way.
    std::size_t forwarded[2] = {0, 0}; // [0]: from the server, [1]: from the client
    std::string held[2];
    std::vector<Chunk> trace;
};

namespace {

void SendAll(int to, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(to, data, size, MSG_NOSIGNAL);
        if (sent <= 0) {
            return; // the peer is gone; the test sees it from its side
        }
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
}

int ConnectTo(int port) {
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (server < 0 ||
        ::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        throw std::runtime_error("the proxy cannot reach the server on port " +
                                 std::to_string(port));
    }
    return server;
}

} // namespace

StallingProxy::StallingProxy(int serverPort, StallPoint stall)
    : serverPort_(serverPort), stall_(stall) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(wake_, O_CLOEXEC) != 0) {
        throw std::runtime_error("no listening socket for the proxy");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

StallingProxy::~StallingProxy() {
    stopping_ = true;
    [[maybe_unused]] const ssize_t woken = ::write(wake_[1], "x", 1);
    thread_.join();
    for (Connection* connection : connections_) {
        ::close(connection->client);
        ::close(connection->server);
        delete connection;
    }
    ::close(listener_);
    ::close(wake_[0]);
    ::close(wake_[1]);
}

bool StallingProxy::Stalled() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return stalled_;
}

bool StallingProxy::ClientEnded() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return clientEnded_;
}

void StallingProxy::Resume() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        resumed_ = true;
    }
    [[maybe_unused]] const ssize_t woken = ::write(wake_[1], "r", 1);
}

std::size_t StallingProxy::ClientBytesAfterResume() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return afterResume_;
}

std::vector<std::vector<Chunk>> StallingProxy::Trace() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::vector<Chunk>> trace;
    for (const Connection* connection : connections_) {
        trace.push_back(connection->trace);
    }
    return trace;
}

void StallingProxy::Accept() {
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) {
        return;
    }
    auto* connection = new Connection;
    connection->client = client;
    connection->server = ConnectTo(serverPort_);
    const std::lock_guard<std::mutex> lock(mutex_);
    if (connections_.size() == stall_.connection &&
        (stall_.clientRequests == 0 || stall_.serverAnswers == 0)) {
        stalled_ = true;
    }
    connections_.push_back(connection);
}

bool StallingProxy::Pass(Connection& connection, bool fromClient) {
    char buffer[65536];
    const int from = fromClient ? connection.client : connection.server;
    const int to = fromClient ? connection.server : connection.client;
    const ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
    const std::lock_guard<std::mutex> lock(mutex_);
    const bool stalling =
        connections_.size() > stall_.connection && connections_[stall_.connection] == &connection;
    const bool holding = stalling && !resumed_;
    if (n <= 0) {
        if (fromClient && stalling) {
            clientEnded_ = true;
        }
        if (!holding) {
            ::shutdown(to, SHUT_WR);
        }
        return false;
    }
    const auto size = static_cast<std::size_t>(n);
    connection.trace.push_back({fromClient, size});
    if (stalling && resumed_ && fromClient) {
        afterResume_ += size;
    }
    if (holding && stalled_) {
        connection.held[fromClient].append(buffer, size);
        return true;
    }
    if (holding && ++connection.forwarded[fromClient] ==
                       (fromClient ? stall_.clientRequests : stall_.serverAnswers)) {
        stalled_ = true;
    }
    SendAll(to, buffer, size);
    return true;
}

void StallingProxy::Run() {
    bool resumedHere = false;
    while (!stopping_) {
        std::vector<pollfd> waits{{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        std::vector<std::pair<Connection*, bool>> sides;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (resumed_ && !resumedHere) {
                // What the stalled connection held goes on, and so does its end.
                resumedHere = true;
                if (connections_.size() > stall_.connection) {
                    Connection& stalled = *connections_[stall_.connection];
                    SendAll(stalled.server, stalled.held[1].data(), stalled.held[1].size());
                    SendAll(stalled.client, stalled.held[0].data(), stalled.held[0].size());
                    if (!stalled.clientOpen) {
                        ::shutdown(stalled.server, SHUT_WR);
                    }
                }
            }
            for (Connection* connection : connections_) {
                if (connection->clientOpen) {
                    waits.push_back({connection->client, POLLIN, 0});
                    sides.emplace_back(connection, true);
                }
                if (connection->serverOpen) {
                    waits.push_back({connection->server, POLLIN, 0});
                    sides.emplace_back(connection, false);
                }
            }
        }
        if (::poll(waits.data(), waits.size(), -1) < 0) {
            continue;
        }
        if (waits[1].revents != 0) {
            char drained[16];
            [[maybe_unused]] const ssize_t read = ::read(wake_[0], drained, sizeof drained);
        }
        if (waits[0].revents != 0) {
            Accept();
        }
        for (std::size_t i = 0; i < sides.size(); ++i) {
            if (waits[i + 2].revents == 0) {
                continue;
            }
            auto& [connection, fromClient] = sides[i];
            if (!Pass(*connection, fromClient)) {
                (fromClient ? connection->clientOpen : connection->serverOpen) = false;
            }
        }
    }
}

} // namespace tessaldrin::testing
