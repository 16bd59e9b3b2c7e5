// Which socket addresses name a port of this machine itself: shared by the
// POSIX and the Windows search for the program's connections, each with its
// system's own socket address types.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace tessaldrin::platform {

// Whether `address`, its bytes in network order (4 of IPv4, 16 of IPv6), is
// a loopback address: 127.0.0.0/8, ::1, or 127.0.0.0/8 mapped into IPv6.
inline bool IsLoopbackAddress(const std::uint8_t* address, std::size_t length) {
    constexpr std::uint8_t kLoopbackNet = 127;
    constexpr std::size_t kIpv4 = 4;
    constexpr std::size_t kIpv6 = 16;
    constexpr std::array<std::uint8_t, kIpv6> kLoopbackIpv6{0, 0, 0, 0, 0, 0, 0, 0,
                                                            0, 0, 0, 0, 0, 0, 0, 1};
    constexpr std::array<std::uint8_t, kIpv6 - kIpv4> kMappedPrefix{0, 0, 0, 0, 0,    0,
                                                                    0, 0, 0, 0, 0xFF, 0xFF};
    if (length == kIpv4) {
        return address[0] == kLoopbackNet;
    }
    if (length != kIpv6) {
        return false;
    }
    return std::equal(kLoopbackIpv6.begin(), kLoopbackIpv6.end(), address) ||
           (std::equal(kMappedPrefix.begin(), kMappedPrefix.end(), address) &&
            address[kIpv6 - kIpv4] == kLoopbackNet);
}

// Whether `peer` (the system's sockaddr_storage) is `port` at a loopback
// address; `V4` and `V6` are the system's sockaddr_in and sockaddr_in6 with
// their family numbers.
template <typename V4, typename V6, typename Storage>
bool IsLoopbackPeer(const Storage& peer, int v4Family, int v6Family, std::uint16_t port) {
    // Ports and addresses in network order, read by their bytes.
    const auto portOf = [](const auto& field) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&field);
        return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
    };
    const auto loopback = [](const auto& address) {
        return IsLoopbackAddress(reinterpret_cast<const std::uint8_t*>(&address), sizeof address);
    };
    if (peer.ss_family == v4Family) {
        const auto& v4 = reinterpret_cast<const V4&>(peer);
        return portOf(v4.sin_port) == port && loopback(v4.sin_addr);
    }
    if (peer.ss_family == v6Family) {
        const auto& v6 = reinterpret_cast<const V6&>(peer);
        return portOf(v6.sin6_port) == port && loopback(v6.sin6_addr);
    }
    return false;
}

} // namespace tessaldrin::platform
