#pragma once
// TTcpLink: the one TCP connection to the network device, over POSIX
// sockets. Every step is bounded by the transfer time-out: resolving the
// host, connecting, each send and each reply. Sends never raise SIGPIPE and
// loop over short writes; receives ask only for what is still missing and
// stop as soon as the peer closes or fails.
//
// Any failure closes the socket, so late bytes of an abandoned reply can
// never be read as the answer to a later command. Reconnect opens a new
// connection to the host and port of the last Connect.

#include "transfertimeout.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace sartel::tcp {

enum class TConnectResult { Connected, NoSocket, NoHost, NoConnection };

enum class TTransfer { Ok, NotConnected, Closed, Timeout, Failed, UnexpectedData };

class TTcpLink {
 public:
  static constexpr std::uint16_t DefaultPort = 5000;
  // Host texts are at most this many characters.
  static constexpr std::size_t MaxHostLength = 63;

  // The time-out (transfertimeout.h) and the port (SARTEL_TCP_PORT when it
  // holds a number from 1 to 65535) come from the environment as it is at
  // each Connect.
  TTcpLink();
  TTcpLink(std::uint32_t timeoutMs, std::uint16_t port);
  ~TTcpLink();
  TTcpLink(const TTcpLink&) = delete;
  TTcpLink& operator=(const TTcpLink&) = delete;

  static std::uint16_t PortFromEnvironment();

  // Closes any open connection, then connects to host at the port. Host
  // texts longer than MaxHostLength name no host.
  TConnectResult Connect(const std::string& host);
  // Connects again to the host of the last Connect; NoHost when there was
  // none.
  TConnectResult Reconnect();
  bool IsOpen() const { return Socket >= 0; }
  // Shuts the connection down in both directions and closes it.
  void Close();

  TTransfer Send(const std::uint8_t* data, std::size_t length);
  // Receives exactly length bytes.
  TTransfer Receive(std::uint8_t* buffer, std::size_t length);
  // One receive of at least one and at most capacity bytes.
  TTransfer ReceiveSome(std::uint8_t* buffer, std::size_t capacity, std::size_t& received);
  // Before a command: Ok when nothing is waiting to be read. Bytes that
  // arrived without being asked for mean the link is out of step
  // (UnexpectedData); a closed or failed peer shows here too. Anything but
  // Ok closes the socket.
  TTransfer CheckIdle();

  std::uint32_t TimeoutMs() const { return Timeout; }
  std::uint16_t Port() const { return PortNumber; }

 private:
  TTransfer Fail(TTransfer reason);
  // Waits until the socket is ready for events or the deadline passes.
  TTransfer WaitReady(short events, std::int64_t deadlineMs);

  int Socket = -1;
  bool FromEnvironment = false;
  std::uint32_t Timeout = DefaultTransferTimeoutMs;
  std::uint16_t PortNumber = DefaultPort;
  std::string Host;
};

}  // namespace sartel::tcp
