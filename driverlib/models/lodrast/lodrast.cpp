#include "lodrast.h"

namespace sartel::lodrast {

namespace {

using tcp::TTransfer;

constexpr std::int32_t CommunicationCode = 1;

const char* FailureText(TTransfer result, bool sending) {
  switch (result) {
    case TTransfer::NotConnected:
      return "Communication error, not connected";
    case TTransfer::Closed:
      return "Communication error, connection closed";
    case TTransfer::Timeout:
      return sending ? "Communication error, write timeout" : "Communication error, read timeout";
    case TTransfer::UnexpectedData:
      return "Communication error, unexpected data";
    case TTransfer::Failed:
    case TTransfer::Ok:
      break;
  }
  return sending ? "Communication error, write failed" : "Communication error, read failed";
}

}  // namespace

const char* ConnectFailureText(tcp::TConnectResult result) {
  switch (result) {
    case tcp::TConnectResult::NoSocket:
      return "socket";
    case tcp::TConnectResult::NoHost:
      return "gethostbyname";
    case tcp::TConnectResult::NoConnection:
    case tcp::TConnectResult::Connected:
      break;
  }
  return "connect";
}

TLodrast::TLodrast(TDAQLib& lib, tcp::TTcpLink& link) : Lib(lib), Link(link) {}

TItemTables TLodrast::Items() const { return frontend::ItemTables(); }

void TLodrast::Shutdown() { Link.Close(); }

bool TLodrast::Check(TTransfer result, bool sending) {
  if (result == TTransfer::Ok) return true;
  if (Lib.Error.ErrorCode() == 0) Lib.Error.Set(FailureText(result, sending), CommunicationCode);
  return false;
}

bool TLodrast::Send(const std::uint8_t* data, std::size_t length) { return Check(Link.Send(data, length), true); }

bool TLodrast::Order(const TPacket& packet) {
  return Check(Link.CheckIdle(), false) && Send(packet.data(), packet.size());
}

bool TLodrast::Receive(std::uint8_t* buffer, std::size_t length) {
  return Check(Link.Receive(buffer, length), false);
}

std::int32_t TLodrast::CaptureProgramming() {
  // A connection the device dropped since the last command, or one with
  // stray bytes waiting, is replaced here rather than failing this capture.
  if (Link.IsOpen()) Link.CheckIdle();
  if (!Link.IsOpen()) {
    const tcp::TConnectResult result = Link.Reconnect();
    if (result != tcp::TConnectResult::Connected) {
      Lib.Error.Set(ConnectFailureText(result), CommunicationCode);
      return 0;
    }
  }
  const auto header = ProgramHeader();
  const auto parameters = ProgramParameters(Lib.GainA, Lib.SamplingIndex, Selector);
  return Send(header.data(), header.size()) && Send(parameters.data(), parameters.size()) ? 1 : 0;
}

std::int32_t TLodrast::StartCapture() {
  const std::uint8_t trigger = Lib.CaptureMode != 0 ? TriggerFreeRunning : TriggerBalancing;
  return Order(Command(OpRunControl, RunArgument)) && Order(Command(OpStart, trigger)) ? 1 : 0;
}

std::int32_t TLodrast::StopCapture() {
  return Order(Command(OpStop, 0)) && Order(Command(OpRunControl, HaltArgument)) ? 1 : 0;
}

std::int32_t TLodrast::EndCapture() { return Order(Command(OpEnd, 0)) ? 1 : 0; }

std::uint8_t TLodrast::ReadStatus() {
  if (!Order(Command(OpStatus, NoArgument))) return 0;
  std::array<std::uint8_t, StatusReceiveMax> reply{};
  std::size_t received = 0;
  if (!Check(Link.ReceiveSome(reply.data(), reply.size(), received), false)) return 0;
  return reply[0];
}

bool TLodrast::ReadAddress(std::array<std::uint8_t, AddressReplySize>& reply) {
  return Order(Command(OpAddress, NoArgument)) && Receive(reply.data(), reply.size());
}

std::int32_t TLodrast::WriteAddress() {
  std::array<std::uint8_t, AddressReplySize> reply{};
  return ReadAddress(reply) ? DecodeAddress(reply) : 0;
}

void TLodrast::ReadSamples(std::int32_t* channelA, std::int32_t* /*channelB*/) {
  const std::int32_t bytes = ReadOutBytes(Lib.RamSize);
  if (!channelA || bytes == 0) return;
  ReadOutBuffer.resize(static_cast<std::size_t>(bytes));
  if (!Order(ReadOutCommand(Lib.RamSize)) || !Receive(ReadOutBuffer.data(), ReadOutBuffer.size())) return;
  DecodeSamples(ReadOutBuffer.data(), SamplesToDecode(Lib.BufferLength, ReadOutBuffer.size()), Lib.GainA, channelA);
}

std::int32_t TLodrast::CaptureParams(std::int32_t* start, std::int32_t* end, std::int32_t* revolutions) {
  std::array<std::uint8_t, AddressReplySize> address{};
  std::array<std::uint8_t, WordReplySize> counter{};
  if (!ReadAddress(address) || !Order(Command(OpRevolutions, NoArgument)) || !Receive(counter.data(), counter.size()))
    return 0;
  const std::int32_t turns = DecodeRevolutions(address, BigEndianWord(counter.data()));
  if (start) *start = 0;
  if (end) *end = DecodeAddress(address);
  if (revolutions) *revolutions = turns;
  return turns;
}

std::int32_t TLodrast::Temperature(double* a, double* /*b*/) {
  if (!a) return 0;
  std::array<std::uint8_t, TemperatureReplySize> reply{};
  if (!Order(TemperatureCommand(Selector)) || !Receive(reply.data(), reply.size())) return 0;
  if (const std::optional<double> mv = DecodeTemperature(reply, Lib.GainA)) *a = *mv;
  return 1;
}

}  // namespace sartel::lodrast
