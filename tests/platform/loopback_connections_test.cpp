// The program's own connections to a port of this machine, on real sockets:
// a call blocked on one returns once it is shut down, and connections that
// were there before, or that go to another port, keep working.
#include "platform/loopback_connections.h"

#include <arpa/inet.h>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using tessaldrin::platform::LoopbackConnectionsTo;
using tessaldrin::platform::ShutDownLoopbackConnectionsTo;

class Listener {
public:
    Listener() : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        EXPECT_EQ(::bind(socket_, reinterpret_cast<sockaddr*>(&address), length), 0);
        EXPECT_EQ(::listen(socket_, 4), 0);
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~Listener() { ::close(socket_); }
    std::uint16_t port() const { return port_; }

    // A connection to this listener: the client's end and the accepted one.
    std::pair<int, int> Connect() const {
        const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port_);
        EXPECT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return {client, ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC)};
    }

private:
    int socket_;
    std::uint16_t port_ = 0;
};

// Whether a byte sent from `from` arrives at `to`.
bool Carries(int from, int to) {
    char byte = 'x';
    return ::send(from, &byte, 1, MSG_NOSIGNAL) == 1 && ::recv(to, &byte, 1, 0) == 1;
}

} // namespace

TEST(LoopbackConnections, AShutDownEndsTheCallBlockedOnItAndSparesEveryOtherConnection) {
    const Listener server;
    const Listener elsewhere;
    const auto [earlier, earlierAccepted] = server.Connect();
    const auto spared = LoopbackConnectionsTo(server.port());
    ASSERT_EQ(spared.size(), 1u);
    const auto [waiting, accepted] = server.Connect();
    const auto [other, otherAccepted] = elsewhere.Connect();
    EXPECT_EQ(LoopbackConnectionsTo(server.port()).size(), 2u);

    auto blocked = std::async(std::launch::async, [client = waiting] {
        char byte = 0;
        return ::recv(client, &byte, 1, 0);
    });
    EXPECT_EQ(blocked.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    EXPECT_EQ(ShutDownLoopbackConnectionsTo(server.port(), spared), 1u);
    const bool returned = blocked.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!returned) {
        ::shutdown(waiting, SHUT_RDWR); // so that the test ends
    }
    ASSERT_TRUE(returned);
    EXPECT_EQ(blocked.get(), 0);

    EXPECT_TRUE(Carries(earlierAccepted, earlier));
    EXPECT_TRUE(Carries(otherAccepted, other));
    for (const int socket : {earlier, earlierAccepted, waiting, accepted, other, otherAccepted}) {
        ::close(socket);
    }
}
