#include "tcplink.h"

#include "hostlookup.h"
#include "transfertimeout.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace sartel::tcp {

namespace {

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The port from SARTEL_TCP_PORT: a decimal number from 1 to 65535, else 0.
std::uint16_t EnvironmentPort() {
  const char* text = std::getenv("SARTEL_TCP_PORT");
  if (!text) return 0;
  std::uint16_t value = 0;
  const char* end = text + std::strlen(text);
  const auto [rest, failure] = std::from_chars(text, end, value);
  return failure == std::errc() && rest == end ? value : 0;
}

bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

}  // namespace

TTcpLink::TTcpLink() : FromEnvironment(true) {}

TTcpLink::TTcpLink(std::uint32_t timeoutMs, std::uint16_t port) : Timeout(timeoutMs), PortNumber(port) {}

TTcpLink::~TTcpLink() { Close(); }

std::uint16_t TTcpLink::PortFromEnvironment() {
  const std::uint16_t value = EnvironmentPort();
  return value ? value : DefaultPort;
}

TConnectResult TTcpLink::Connect(const std::string& host) {
  Close();
  Host = host;
  if (FromEnvironment) {
    Timeout = TransferTimeoutFromEnvironment();
    PortNumber = PortFromEnvironment();
  }
  return Reconnect();
}

TConnectResult TTcpLink::Reconnect() {
  Close();
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return TConnectResult::NoSocket;
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(PortNumber);
  if (Host.empty() || Host.size() > MaxHostLength || !LookUpHost(Host, Timeout, peer.sin_addr)) {
    close(fd);
    return TConnectResult::NoHost;
  }
  // Commands are a few bytes each and mostly answered: sending them at once
  // keeps a two-part command from waiting for the peer's delayed ACK.
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  Socket = fd;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return TConnectResult::Connected;
  if (errno != EINPROGRESS && errno != EINTR) {
    Close();
    return TConnectResult::NoConnection;
  }
  int error = 0;
  socklen_t size = sizeof error;
  if (WaitReady(POLLOUT, NowMs() + Timeout) != TTransfer::Ok || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 ||
      error != 0) {
    Close();
    return TConnectResult::NoConnection;
  }
  return TConnectResult::Connected;
}

void TTcpLink::Close() {
  if (Socket < 0) return;
  shutdown(Socket, SHUT_RDWR);
  close(Socket);
  Socket = -1;
}

TTransfer TTcpLink::Fail(TTransfer reason) {
  Close();
  return reason;
}

TTransfer TTcpLink::WaitReady(short events, std::int64_t deadlineMs) {
  for (;;) {
    const std::int64_t left = deadlineMs - NowMs();
    if (left <= 0) return TTransfer::Timeout;
    pollfd entry{Socket, events, 0};
    const int ready = poll(&entry, 1, static_cast<int>(std::min<std::int64_t>(left, MaxTransferTimeoutMs)));
    if (ready > 0) return TTransfer::Ok;
    if (ready == 0) return TTransfer::Timeout;
    if (errno != EINTR) return TTransfer::Failed;
  }
}

TTransfer TTcpLink::Send(const std::uint8_t* data, std::size_t length) {
  if (!IsOpen()) return TTransfer::NotConnected;
  const std::int64_t deadline = NowMs() + Timeout;
  std::size_t sent = 0;
  while (sent < length) {
    const ssize_t n = send(Socket, data + sent, length - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR && NowMs() < deadline) continue;
    if (n < 0 && WouldBlock(errno)) {
      const TTransfer ready = WaitReady(POLLOUT, deadline);
      if (ready != TTransfer::Ok) return Fail(ready);
      continue;
    }
    return Fail(TTransfer::Failed);
  }
  return TTransfer::Ok;
}

TTransfer TTcpLink::ReceiveSome(std::uint8_t* buffer, std::size_t capacity, std::size_t& received) {
  received = 0;
  if (!IsOpen()) return TTransfer::NotConnected;
  const std::int64_t deadline = NowMs() + Timeout;
  for (;;) {
    const ssize_t n = recv(Socket, buffer, capacity, MSG_DONTWAIT);
    if (n > 0) {
      received = static_cast<std::size_t>(n);
      return TTransfer::Ok;
    }
    if (n == 0) return Fail(TTransfer::Closed);
    if (errno == EINTR && NowMs() < deadline) continue;
    if (!WouldBlock(errno)) return Fail(TTransfer::Failed);
    const TTransfer ready = WaitReady(POLLIN, deadline);
    if (ready != TTransfer::Ok) return Fail(ready);
  }
}

TTransfer TTcpLink::Receive(std::uint8_t* buffer, std::size_t length) {
  if (!IsOpen()) return TTransfer::NotConnected;
  const std::int64_t deadline = NowMs() + Timeout;
  std::size_t got = 0;
  while (got < length) {
    const ssize_t n = recv(Socket, buffer + got, length - got, MSG_DONTWAIT);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      continue;
    }
    if (n == 0) return Fail(TTransfer::Closed);
    if (errno == EINTR && NowMs() < deadline) continue;
    if (!WouldBlock(errno)) return Fail(TTransfer::Failed);
    const TTransfer ready = WaitReady(POLLIN, deadline);
    if (ready != TTransfer::Ok) return Fail(ready);
  }
  return TTransfer::Ok;
}

TTransfer TTcpLink::CheckIdle() {
  if (!IsOpen()) return TTransfer::NotConnected;
  std::uint8_t probe = 0;
  ssize_t n = recv(Socket, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
  if (n < 0 && errno == EINTR) n = recv(Socket, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
  if (n > 0) return Fail(TTransfer::UnexpectedData);
  if (n == 0) return Fail(TTransfer::Closed);
  return WouldBlock(errno) ? TTransfer::Ok : Fail(TTransfer::Failed);
}

}  // namespace sartel::tcp
