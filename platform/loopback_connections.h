// The program's own TCP connections to a port of this machine, found among
// the process's own descriptors (sockets on Windows), and their shutdown: a
// call of the client library that waits on one of them for an answer that
// never comes returns once its connection is shut down. Toolkit-free.
#pragma once

#include <cstdint>
#include <vector>

namespace tessaldrin::platform {

// Tells one connection from every other open at the same time: the socket's
// inode here, its handle on Windows.
using ConnectionIdentity = std::uint64_t;

// The connections of this process whose far end is a loopback address
// (127.0.0.0/8, ::1 or an IPv4-mapped 127 address) at `port`.
std::vector<ConnectionIdentity> LoopbackConnectionsTo(std::uint16_t port);

// Shuts down, both ways, each connection of LoopbackConnectionsTo(port) that
// is not among `spared`, and ends a receive that waits on it; the number shut
// down. The descriptors stay open, so
// that their number can go to no other file while the client library still
// holds it: the library closes them itself when its calls have returned.
std::size_t ShutDownLoopbackConnectionsTo(std::uint16_t port,
                                          const std::vector<ConnectionIdentity>& spared);

} // namespace tessaldrin::platform
