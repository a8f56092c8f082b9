#pragma once
// TLodrastServer: the simulated network device as a TCP server on loopback.
// It serves one device connection at a time (a new connection replaces the
// old one; the device keeps its state across them), answers through
// TSimLodrast, and on request splits replies into delayed segments (a split
// or slow link) and injects the faults of TFaultPlan. An optional control
// port takes the text commands of ApplyControl, one per line; tests in the
// same process call the methods directly.
//
// All of it runs on the server's own thread; the methods may be called from
// any thread.

#include "faultplan.h"
#include "rotor.h"
#include "simlodrast.h"

#include <array>
#include <atomic>
#include <complex>
#include <cstdint>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace sim {

class TLodrastServer {
 public:
  TLodrastServer();
  ~TLodrastServer();
  TLodrastServer(const TLodrastServer&) = delete;
  TLodrastServer& operator=(const TLodrastServer&) = delete;

  // Listens on 127.0.0.1 at port (0: a free port the system picks) and,
  // with control, at controlPort (0 likewise). False with a reason in
  // Failure() when a port cannot be had.
  bool Start(std::uint16_t port, bool control = false, std::uint16_t controlPort = 0);
  void Stop();
  std::uint16_t Port() const { return DevicePort; }
  std::uint16_t ControlPort() const { return ControlPortNumber; }
  const std::string& Failure() const { return StartFailure; }

  void SetSpeed(double rpm);
  void SetMass(int plane, double grams, double angleDeg);
  void SetNoise(double mvRms);
  void SetTemperature(double mv);
  void SetSamplesPerPoll(std::int32_t samples);
  // A slow link: replies go out in pieces of segmentBytes, delayMs apart;
  // 0 bytes sends each reply whole.
  void SetSegments(std::size_t segmentBytes, std::uint32_t delayMs);
  // A split link: each reply goes out in (up to) pieces parts, delayMs
  // apart, whatever its size; 0 pieces sends each reply whole. Segments
  // set by SetSegments take precedence.
  void SetSplit(std::size_t pieces, std::uint32_t delayMs);
  void AddFault(const TFaultRule& rule);
  // Also ends a stall.
  void ClearFaults();

  TLodrastCapture LastCapture() const;
  // Channel A of the last capture in millivolts, its first n samples.
  std::vector<double> LastSignal(std::size_t n) const;
  std::complex<double> Vector(int channel) const;
  double SamplingHz() const;
  int Connections() const;
  bool HasConnection() const { return Connected; }
  // Device connections the server has closed since the start (a fault's
  // close or reset, a peer that left, a newer connection).
  int Disconnections() const { return Closed; }
  // Waits until Disconnections() reaches `count`, at most `limitMs`; false
  // when it does not. On loopback the closing packet has reached the peer's
  // socket by then.
  bool AwaitDisconnections(int count, std::uint32_t limitMs) const;
  // Commands executed with this opcode since the start.
  int CommandCount(std::uint8_t opcode) const;

 private:
  enum class TAfter { Nothing, Close, Reset };
  struct TSegment {
    std::vector<std::uint8_t> Bytes;
    std::size_t Sent = 0;
    std::int64_t DueMs = 0;
    TAfter After = TAfter::Nothing;
  };
  struct TControlClient {
    int Socket = -1;
    std::string Pending;
  };

  void Run();
  int PollTimeout() const;
  void Accept();
  void ReadDevice();
  void Answer(const TCommand& command);
  void Queue(std::vector<std::uint8_t> bytes, TAfter after);
  void WriteDevice();
  void CloseDevice(bool reset);
  void AcceptControl();
  bool ServeControl(TControlClient& client);
  std::vector<std::uint8_t> Garbage(std::size_t length);

  mutable std::mutex Lock;
  TRotor Rotor;
  TSimLodrast Device;
  TFaultPlan Faults;
  bool Stalled = false;
  std::size_t SegmentBytes = 0;
  std::uint32_t SegmentDelayMs = 0;
  std::size_t SplitPieces = 0;
  std::uint32_t SplitDelayMs = 0;
  int Accepted = 0;
  std::array<int, 256> Counts{};
  std::mt19937 Random{12345};

  std::thread Worker;
  int WakeRead = -1;
  int WakeWrite = -1;
  int Listener = -1;
  int ControlListener = -1;
  int Connection = -1;
  std::atomic<bool> Connected{false};
  std::atomic<int> Closed{0};
  std::uint16_t DevicePort = 0;
  std::uint16_t ControlPortNumber = 0;
  std::string StartFailure;
  TCommandParser Parser;
  std::deque<TSegment> Outbound;
  std::vector<TControlClient> ControlClients;
};

}  // namespace sim
