#pragma once
// Finding the IPv4 address of a host text, bounded in time. A dotted
// address is taken as it is; a name is looked up through the system's
// resolver, which may take as long as its servers please, so the lookup
// runs asynchronously and is given up after the time-out.

#include <cstdint>
#include <netinet/in.h>
#include <string>

namespace sartel::tcp {

// False when the host has no IPv4 address or the lookup took longer than
// timeoutMs.
bool LookUpHost(const std::string& host, std::uint32_t timeoutMs, in_addr& address);

}  // namespace sartel::tcp
