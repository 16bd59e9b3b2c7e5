#include "platform/loopback_connections.h"

#include "platform/loopback_address.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

namespace tessaldrin::platform {
namespace {

// Calls `found` with the descriptor and identity of every stream socket of
// this process connected to `port` at a loopback address.
void ForEachConnection(std::uint16_t port,
                       const std::function<void(int descriptor, ConnectionIdentity)>& found) {
    DIR* descriptors = ::opendir("/proc/self/fd");
    if (descriptors == nullptr) {
        return;
    }
    const int listing = ::dirfd(descriptors);
    while (const dirent* entry = ::readdir(descriptors)) {
        char* end = nullptr;
        const long number = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || number == listing) {
            continue;
        }
        const int descriptor = static_cast<int>(number);
        struct stat status {};
        int type = 0;
        socklen_t typeLength = sizeof type;
        sockaddr_storage peer{};
        socklen_t peerLength = sizeof peer;
        if (::fstat(descriptor, &status) == 0 && S_ISSOCK(status.st_mode) &&
            ::getsockopt(descriptor, SOL_SOCKET, SO_TYPE, &type, &typeLength) == 0 &&
            type == SOCK_STREAM &&
            ::getpeername(descriptor, reinterpret_cast<sockaddr*>(&peer), &peerLength) == 0 &&
            IsLoopbackPeer<sockaddr_in, sockaddr_in6>(peer, AF_INET, AF_INET6, port)) {
            found(descriptor, status.st_ino);
        }
    }
    ::closedir(descriptors);
}

} // namespace

std::vector<ConnectionIdentity> LoopbackConnectionsTo(std::uint16_t port) {
    std::vector<ConnectionIdentity> connections;
    ForEachConnection(port,
                      [&](int, ConnectionIdentity identity) { connections.push_back(identity); });
    return connections;
}

std::size_t ShutDownLoopbackConnectionsTo(std::uint16_t port,
                                          const std::vector<ConnectionIdentity>& spared) {
    std::size_t shut = 0;
    ForEachConnection(port, [&](int descriptor, ConnectionIdentity identity) {
        if (std::find(spared.begin(), spared.end(), identity) == spared.end() &&
            ::shutdown(descriptor, SHUT_RDWR) == 0) {
            ++shut;
        }
    });
    return shut;
}

} // namespace tessaldrin::platform
