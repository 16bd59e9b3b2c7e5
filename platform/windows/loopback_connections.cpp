#include "platform/windows/windows_api.h"

#include "platform/loopback_connections.h"

#include "platform/loopback_address.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstdint>
#include <functional>

namespace tessaldrin::platform {
namespace {

// Windows has no list of a process's sockets; a socket is a handle, and
// handle values are multiples of 4 counted up from 4. A process with a few
// hundred handles, as this program, uses the lowest of them.
constexpr UINT_PTR kFirstHandle = 4;
constexpr UINT_PTR kHandleStep = 4;
constexpr UINT_PTR kLastProbedHandle = 0x10000;

// Winsock, started for the time of one search (the client library keeps
// its own start; the starts are counted).
class WinsockStarted {
public:
    WinsockStarted() : started_(WSAStartup(MAKEWORD(2, 2), &data_) == 0) {}
    ~WinsockStarted() {
        if (started_) {
            WSACleanup();
        }
    }
    WinsockStarted(const WinsockStarted&) = delete;
    WinsockStarted& operator=(const WinsockStarted&) = delete;
    bool started() const { return started_; }

private:
    WSADATA data_{};
    bool started_;
};

// Calls `found` with every stream socket of this process connected to
// `port` at a loopback address; any other handle value answers WSAENOTSOCK.
void ForEachConnection(std::uint16_t port, const std::function<void(SOCKET)>& found) {
    const WinsockStarted winsock;
    if (!winsock.started()) {
        return;
    }
    for (UINT_PTR handle = kFirstHandle; handle <= kLastProbedHandle; handle += kHandleStep) {
        const auto socket = static_cast<SOCKET>(handle);
        int type = 0;
        int typeLength = sizeof type;
        sockaddr_storage peer{};
        int peerLength = sizeof peer;
        if (getsockopt(socket, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &typeLength) ==
                0 &&
            type == SOCK_STREAM &&
            getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0 &&
            IsLoopbackPeer<sockaddr_in, sockaddr_in6>(peer, AF_INET, AF_INET6, port)) {
            found(socket);
        }
    }
}

} // namespace

std::vector<ConnectionIdentity> LoopbackConnectionsTo(std::uint16_t port) {
    std::vector<ConnectionIdentity> connections;
    ForEachConnection(port, [&](SOCKET socket) { connections.push_back(socket); });
    return connections;
}

std::size_t ShutDownLoopbackConnectionsTo(std::uint16_t port,
                                          const std::vector<ConnectionIdentity>& spared) {
    std::size_t shut = 0;
    ForEachConnection(port, [&](SOCKET socket) {
        if (std::find(spared.begin(), spared.end(), socket) != spared.end() ||
            shutdown(socket, SD_BOTH) != 0) {
            return;
        }
        // A shutdown ends the connection but not a receive already waiting on
        // it, as it does elsewhere; cancelling the socket's pending I/O does.
        CancelIoEx(reinterpret_cast<HANDLE>(socket), nullptr);
        ++shut;
    });
    return shut;
}

} // namespace tessaldrin::platform
