#include "lodrastserver.h"

#include "simcontrol.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace sim {

namespace {

constexpr std::size_t ReceiveChunk = 4096;
constexpr std::size_t MaxControlLine = 256;
constexpr std::size_t MaxControlClients = 8;
constexpr std::size_t MaxGarbage = 16;

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A non-blocking listening socket on 127.0.0.1:port; -1 on failure.
int ListenLoopback(std::uint16_t port, std::uint16_t& bound, std::string& failure) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    failure = std::string("socket: ") + std::strerror(errno);
    return -1;
  }
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    failure = "port " + std::to_string(port) + ": " + std::strerror(errno);
    close(fd);
    return -1;
  }
  bound = ntohs(address.sin_port);
  return fd;
}

void CloseSocket(int& fd) {
  if (fd < 0) return;
  close(fd);
  fd = -1;
}

}  // namespace

TLodrastServer::TLodrastServer() : Device(Rotor) {}

TLodrastServer::~TLodrastServer() { Stop(); }

bool TLodrastServer::Start(std::uint16_t port, bool control, std::uint16_t controlPort) {
  if (Worker.joinable()) return true;
  Listener = ListenLoopback(port, DevicePort, StartFailure);
  if (Listener < 0) return false;
  if (control) {
    ControlListener = ListenLoopback(controlPort, ControlPortNumber, StartFailure);
    if (ControlListener < 0) {
      CloseSocket(Listener);
      return false;
    }
  }
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_NONBLOCK | O_CLOEXEC) != 0) {
    StartFailure = std::string("pipe: ") + std::strerror(errno);
    CloseSocket(Listener);
    CloseSocket(ControlListener);
    return false;
  }
  WakeRead = pipeEnds[0];
  WakeWrite = pipeEnds[1];
  Worker = std::thread([this] { Run(); });
  return true;
}

void TLodrastServer::Stop() {
  if (Worker.joinable()) {
    const char stop = 1;
    while (write(WakeWrite, &stop, 1) < 0 && errno == EINTR) {
    }
    Worker.join();
  }
  CloseDevice(false);
  for (TControlClient& client : ControlClients) CloseSocket(client.Socket);
  ControlClients.clear();
  CloseSocket(Listener);
  CloseSocket(ControlListener);
  CloseSocket(WakeRead);
  CloseSocket(WakeWrite);
}

void TLodrastServer::SetSpeed(double rpm) {
  const std::lock_guard<std::mutex> lock(Lock);
  Rotor.SetSpeed(rpm);
}

void TLodrastServer::SetMass(int plane, double grams, double angleDeg) {
  const std::lock_guard<std::mutex> lock(Lock);
  Rotor.SetMass(plane, grams, angleDeg);
}

void TLodrastServer::SetNoise(double mvRms) {
  const std::lock_guard<std::mutex> lock(Lock);
  Rotor.SetNoise(mvRms);
}

void TLodrastServer::SetTemperature(double mv) {
  const std::lock_guard<std::mutex> lock(Lock);
  Device.TemperatureMv = mv;
}

void TLodrastServer::SetSamplesPerPoll(std::int32_t samples) {
  const std::lock_guard<std::mutex> lock(Lock);
  Device.SamplesPerPoll = std::max(samples, 1);
}

void TLodrastServer::SetSegments(std::size_t segmentBytes, std::uint32_t delayMs) {
  const std::lock_guard<std::mutex> lock(Lock);
  SegmentBytes = segmentBytes;
  SegmentDelayMs = delayMs;
}

void TLodrastServer::SetSplit(std::size_t pieces, std::uint32_t delayMs) {
  const std::lock_guard<std::mutex> lock(Lock);
  SplitPieces = pieces;
  SplitDelayMs = delayMs;
}

void TLodrastServer::AddFault(const TFaultRule& rule) {
  const std::lock_guard<std::mutex> lock(Lock);
  Faults.Add(rule);
}

void TLodrastServer::ClearFaults() {
  const std::lock_guard<std::mutex> lock(Lock);
  Faults.Clear();
  Stalled = false;
}

TLodrastCapture TLodrastServer::LastCapture() const {
  const std::lock_guard<std::mutex> lock(Lock);
  return Device.LastCapture();
}

std::vector<double> TLodrastServer::LastSignal(std::size_t n) const {
  const std::lock_guard<std::mutex> lock(Lock);
  const std::vector<double>& signal = Device.LastSignal();
  return {signal.begin(), signal.begin() + static_cast<std::ptrdiff_t>(std::min(n, signal.size()))};
}

std::complex<double> TLodrastServer::Vector(int channel) const {
  const std::lock_guard<std::mutex> lock(Lock);
  return Rotor.Vector(channel);
}

double TLodrastServer::SamplingHz() const {
  const std::lock_guard<std::mutex> lock(Lock);
  return Device.SamplingHz();
}

bool TLodrastServer::AwaitDisconnections(int count, std::uint32_t limitMs) const {
  const std::int64_t end = NowMs() + limitMs;
  while (Closed < count && NowMs() < end) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return Closed >= count;
}

int TLodrastServer::Connections() const {
  const std::lock_guard<std::mutex> lock(Lock);
  return Accepted;
}

int TLodrastServer::CommandCount(std::uint8_t opcode) const {
  const std::lock_guard<std::mutex> lock(Lock);
  return Counts[opcode];
}

void TLodrastServer::Run() {
  for (;;) {
    std::vector<pollfd> entries{{WakeRead, POLLIN, 0}, {Listener, POLLIN, 0}};
    if (ControlListener >= 0) entries.push_back({ControlListener, POLLIN, 0});
    const std::size_t deviceAt = entries.size();
    if (Connection >= 0) {
      const bool due = !Outbound.empty() && Outbound.front().DueMs <= NowMs();
      entries.push_back({Connection, static_cast<short>(POLLIN | (due ? POLLOUT : 0)), 0});
    }
    const std::size_t clientsAt = entries.size();
    for (const TControlClient& client : ControlClients) entries.push_back({client.Socket, POLLIN, 0});

    if (poll(entries.data(), entries.size(), PollTimeout()) < 0 && errno != EINTR) return;
    if (entries[0].revents) return;
    if (entries[1].revents & POLLIN) Accept();
    if (ControlListener >= 0 && (entries[2].revents & POLLIN)) AcceptControl();
    if (deviceAt < clientsAt && entries[deviceAt].fd == Connection) {
      const short events = entries[deviceAt].revents;
      if (events & POLLOUT) WriteDevice();
      if (Connection >= 0 && (events & (POLLIN | POLLHUP | POLLERR))) ReadDevice();
      // Replies due now go out at once rather than after another poll.
      if (Connection >= 0 && !Outbound.empty() && Outbound.front().DueMs <= NowMs()) WriteDevice();
    }
    for (std::size_t i = clientsAt; i < entries.size(); ++i) {
      if (!entries[i].revents) continue;
      auto client = std::find_if(ControlClients.begin(), ControlClients.end(),
                                 [&](const TControlClient& c) { return c.Socket == entries[i].fd; });
      if (client != ControlClients.end() && !ServeControl(*client)) {
        CloseSocket(client->Socket);
        ControlClients.erase(client);
      }
    }
  }
}

int TLodrastServer::PollTimeout() const {
  if (Connection < 0 || Outbound.empty()) return -1;
  return static_cast<int>(std::clamp<std::int64_t>(Outbound.front().DueMs - NowMs(), 0, 1000));
}

void TLodrastServer::Accept() {
  const int fd = accept4(Listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) return;
  CloseDevice(false);
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  Connection = fd;
  Connected = true;
  const std::lock_guard<std::mutex> lock(Lock);
  ++Accepted;
}

void TLodrastServer::CloseDevice(bool reset) {
  if (Connection >= 0 && reset) {
    const linger abort{1, 0};
    setsockopt(Connection, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  }
  const bool open = Connection >= 0;
  CloseSocket(Connection);
  if (open) ++Closed;
  Connected = false;
  Parser.Reset();
  Outbound.clear();
}

void TLodrastServer::ReadDevice() {
  std::uint8_t buffer[ReceiveChunk];
  const ssize_t n = recv(Connection, buffer, sizeof buffer, 0);
  if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
    CloseDevice(false);
    return;
  }
  if (n < 0) return;
  std::vector<TCommand> commands;
  Parser.Feed(buffer, static_cast<std::size_t>(n), commands);
  for (const TCommand& command : commands) {
    if (Connection < 0) return;
    Answer(command);
  }
}

void TLodrastServer::Answer(const TCommand& command) {
  std::vector<std::uint8_t> reply;
  TLinkFault fault = TLinkFault::None;
  {
    const std::lock_guard<std::mutex> lock(Lock);
    if (Stalled) return;
    fault = Faults.OnCommand(command.Opcode);
    ++Counts[command.Opcode];
    reply = Device.Execute(command);
    if (fault == TLinkFault::Stall) Stalled = true;
  }
  switch (fault) {
    case TLinkFault::None:
      Queue(std::move(reply), TAfter::Nothing);
      break;
    case TLinkFault::Close:
      reply.resize(reply.size() / 2);
      Queue(std::move(reply), TAfter::Close);
      break;
    case TLinkFault::Reset:
      CloseDevice(true);
      break;
    case TLinkFault::Stall:
      break;
    case TLinkFault::Garbage:
      Queue(Garbage(reply.empty() ? 1 + Random() % MaxGarbage : reply.size()), TAfter::Nothing);
      break;
    case TLinkFault::Extra: {
      const std::vector<std::uint8_t> extra = Garbage(1 + Random() % MaxGarbage);
      reply.insert(reply.end(), extra.begin(), extra.end());
      Queue(std::move(reply), TAfter::Nothing);
      break;
    }
    case TLinkFault::Ones:
      Queue(std::vector<std::uint8_t>(reply.size(), 0xFF), TAfter::Nothing);
      break;
  }
}

std::vector<std::uint8_t> TLodrastServer::Garbage(std::size_t length) {
  std::vector<std::uint8_t> bytes(length);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(Random());
  return bytes;
}

void TLodrastServer::Queue(std::vector<std::uint8_t> bytes, TAfter after) {
  std::size_t pieceBytes = 0;
  std::uint32_t delay = 0;
  {
    const std::lock_guard<std::mutex> lock(Lock);
    pieceBytes = SegmentBytes;
    delay = SegmentDelayMs;
    if (pieceBytes == 0 && SplitPieces > 0) {
      pieceBytes = (bytes.size() + SplitPieces - 1) / SplitPieces;
      delay = SplitDelayMs;
    }
  }
  std::int64_t due = std::max(NowMs(), Outbound.empty() ? 0 : Outbound.back().DueMs);
  if (pieceBytes == 0) pieceBytes = std::max<std::size_t>(bytes.size(), 1);
  for (std::size_t at = 0; at < bytes.size(); at += pieceBytes) {
    const std::size_t end = std::min(bytes.size(), at + pieceBytes);
    TSegment segment;
    segment.Bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(end));
    segment.DueMs = due;
    Outbound.push_back(std::move(segment));
    due += delay;
  }
  if (after == TAfter::Nothing) return;
  TSegment marker;
  marker.DueMs = due;
  marker.After = after;
  Outbound.push_back(std::move(marker));
}

void TLodrastServer::WriteDevice() {
  while (Connection >= 0 && !Outbound.empty() && Outbound.front().DueMs <= NowMs()) {
    TSegment& head = Outbound.front();
    if (head.Sent < head.Bytes.size()) {
      const ssize_t n = send(Connection, head.Bytes.data() + head.Sent, head.Bytes.size() - head.Sent, MSG_NOSIGNAL);
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
      if (n <= 0) {
        CloseDevice(false);
        return;
      }
      head.Sent += static_cast<std::size_t>(n);
      if (head.Sent < head.Bytes.size()) return;
    }
    const TAfter after = head.After;
    Outbound.pop_front();
    if (after != TAfter::Nothing) CloseDevice(after == TAfter::Reset);
  }
}

void TLodrastServer::AcceptControl() {
  const int fd = accept4(ControlListener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) return;
  if (ControlClients.size() >= MaxControlClients) {
    close(fd);
    return;
  }
  ControlClients.push_back({fd, {}});
}

bool TLodrastServer::ServeControl(TControlClient& client) {
  char buffer[512];
  const ssize_t n = recv(client.Socket, buffer, sizeof buffer, 0);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return true;
  if (n <= 0) return false;
  client.Pending.append(buffer, static_cast<std::size_t>(n));
  for (std::size_t end; (end = client.Pending.find('\n')) != std::string::npos;) {
    std::string line = client.Pending.substr(0, end);
    client.Pending.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string answer = ApplyControl(*this, line) + "\n";
    // The answers are short; a client that does not read them is dropped.
    if (send(client.Socket, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT) !=
        static_cast<ssize_t>(answer.size()))
      return false;
  }
  return client.Pending.size() <= MaxControlLine;
}

}  // namespace sim
