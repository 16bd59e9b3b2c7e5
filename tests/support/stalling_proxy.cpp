#include "tests/support/stalling_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace tessaldrin::testing {
namespace {

constexpr int kServer = 0;
constexpr int kClient = 1;

void SendAll(int to, const char* data, std::size_t size) {
    for (ssize_t sent = 0; size > 0; data += sent, size -= static_cast<std::size_t>(sent)) {
        if ((sent = ::send(to, data, size, MSG_NOSIGNAL)) <= 0) {
            return; // the peer is gone; the test sees it from its side
        }
    }
}

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

} // namespace

StallingProxy::StallingProxy(int serverPort, StallPoint stall)
    : serverPort_(serverPort), stall_(stall) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(wake_, O_CLOEXEC) != 0) {
        throw std::runtime_error("no listening socket for the proxy");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
}

StallingProxy::~StallingProxy() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    [[maybe_unused]] const ssize_t woken = ::write(wake_[1], "x", 1);
    thread_.join();
    for (const Connection& connection : connections_) {
        ::close(connection.ends[kServer]);
        ::close(connection.ends[kClient]);
    }
    for (const int fd : {listener_, wake_[0], wake_[1]}) {
        ::close(fd);
    }
}

std::size_t StallingProxy::Connections() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return connections_.size();
}

bool StallingProxy::Stalled() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return stalled_;
}

bool StallingProxy::ClientEnded() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return clientEnded_;
}

std::size_t StallingProxy::ClientBytesAfterResume() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return afterResume_;
}

void StallingProxy::Resume() {
    const std::lock_guard<std::mutex> lock(mutex_);
    resumed_ = true;
    if (connections_.size() > stall_.connection) {
        Connection& stalled = connections_[stall_.connection];
        for (const int side : {kServer, kClient}) {
            SendAll(stalled.ends[1 - side], stalled.held[side].data(), stalled.held[side].size());
        }
        if (!stalled.open[kClient]) {
            ::shutdown(stalled.ends[kServer], SHUT_WR);
        }
    }
}

void StallingProxy::Pass(Connection& connection, bool stalling, int from) {
    char buffer[65536];
    const ssize_t n = ::recv(connection.ends[from], buffer, sizeof buffer, 0);
    const std::lock_guard<std::mutex> lock(mutex_);
    const bool holding = stalling && !resumed_;
    if (n <= 0) {
        connection.open[from] = false;
        clientEnded_ = clientEnded_ || (stalling && from == kClient);
        if (!holding) {
            ::shutdown(connection.ends[1 - from], SHUT_WR);
        }
        return;
    }
    afterResume_ += stalling && resumed_ && from == kClient ? static_cast<std::size_t>(n) : 0;
    if (holding && stalled_) {
        connection.held[from].append(buffer, static_cast<std::size_t>(n));
        return;
    }
    const std::size_t limit = from == kClient ? stall_.clientRequests : stall_.serverAnswers;
    stalled_ = stalled_ || (holding && ++connection.forwarded[from] == limit);
    SendAll(connection.ends[1 - from], buffer, static_cast<std::size_t>(n));
}

void StallingProxy::Run() {
    for (;;) {
        std::vector<pollfd> waits{{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_) {
                return;
            }
            for (const Connection& connection : connections_) {
                for (const int side : {kServer, kClient}) {
                    waits.push_back(
                        {connection.open[side] ? connection.ends[side] : -1, POLLIN, 0});
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
        for (std::size_t i = 2; i < waits.size(); ++i) {
            if (waits[i].revents != 0) {
                const std::size_t index = (i - 2) / 2;
                const int side = static_cast<int>((i - 2) % 2);
                Pass(connections_[index], index == stall_.connection, side);
            }
        }
        if (waits[0].revents != 0) {
            Connection connection{};
            connection.ends[kClient] = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            connection.ends[kServer] = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_in server = Loopback(serverPort_);
            if (::connect(connection.ends[kServer], reinterpret_cast<const sockaddr*>(&server),
                          sizeof server) != 0) {
                throw std::runtime_error("the proxy cannot reach the server");
            }
            const std::lock_guard<std::mutex> lock(mutex_);
            stalled_ = stalled_ || (connections_.size() == stall_.connection &&
                                    (stall_.clientRequests == 0 || stall_.serverAnswers == 0));
            connections_.push_back(connection);
        }
    }
}

} // namespace tessaldrin::testing
