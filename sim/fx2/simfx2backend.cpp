#include "simfx2world.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

namespace sim {

namespace {

using fx2port::TTransferKind;
using fx2port::TTransferStatus;
using fx2port::TUsbTransfer;

// How long an abort waits for the transfers it cancels to come back.
constexpr auto AbortWait = std::chrono::seconds(5);
constexpr std::uint8_t BulkOutEndpoint = 0x02;
constexpr std::uint8_t BulkInEndpoint = 0x86;

std::string Hex(const std::uint8_t* data, std::uint32_t length) {
  std::string text = "[";
  char byte[4];
  for (std::uint32_t i = 0; i < length; ++i) {
    std::snprintf(byte, sizeof byte, i ? " %02X" : "%02X", data[i]);
    text += byte;
  }
  return text + "]";
}

std::string LogText(const TUsbTransfer& t, const std::uint8_t* data) {
  char head[64];
  if (t.kind == TTransferKind::Control)
    std::snprintf(head, sizeof head, "ctl %02X %s v=%04X i=%04X ", t.setup.request, t.in ? "in" : "out",
                  t.setup.value, t.setup.index);
  else
    std::snprintf(head, sizeof head, "bulk %02X %s ", t.endpoint, t.in ? "in" : "out");
  return head + (t.in ? "n=" + std::to_string(t.length) : Hex(data, t.length));
}

std::string KindName(const TUsbTransfer& t) {
  return std::string(t.kind == TTransferKind::Control ? "control" : "bulk") + (t.in ? "-in" : "-out");
}

std::string RequestName(const TUsbTransfer& t) {
  if (t.kind != TTransferKind::Control || (t.setup.requestType & 0x60) != 0x40)
    return {};
  char name[4];
  std::snprintf(name, sizeof name, "%02X", t.setup.request);
  return name;
}

class TSimFx2Device : public fx2port::TFx2BackendDevice {
public:
  TSimFx2Device(int index, std::shared_ptr<TSimFx2Unit> unit) : Index(index), Unit(std::move(unit)) {}

  TTransferStatus Transfer(const TUsbTransfer& t, std::uint8_t* data, std::uint32_t& transferred) override {
    TSimFx2World& w = World();
    std::unique_lock lock(w.Mutex);
    transferred = 0;
    w.Log.push_back(LogText(t, data));
    const TFx2Fault fault = w.Faults.OnCall(KindName(t), RequestName(t));
    if (fault == TFx2Fault::Hang)
      return WaitForAbort(lock, t.timeoutMs);
    if (fault == TFx2Fault::Fail)
      return TTransferStatus::Stall;
    if (fault == TFx2Fault::Short && !t.in) {
      // Half the bytes went out; the device waits for the rest in vain.
      transferred = t.length / 2;
      return TTransferStatus::Ok;
    }
    bool nak = false;
    if (!Run(t, data, transferred, nak))
      return nak ? WaitForAbort(lock, t.timeoutMs) : TTransferStatus::Stall;
    if (fault == TFx2Fault::Short)
      transferred /= 2;
    if (fault == TFx2Fault::Garbage && t.in)
      Scramble(data, transferred);
    if (fault == TFx2Fault::Ones && t.in)
      std::fill_n(data, transferred, std::uint8_t{0xFF});
    return TTransferStatus::Ok;
  }

  void Abort(std::uint8_t) override {
    TSimFx2World& w = World();
    std::unique_lock lock(w.Mutex);
    ++Unit->Aborts;
    w.Changed.notify_all();
    w.Changed.wait_for(lock, AbortWait, [&] { return Unit->Waiting == 0; });
  }

  fx2port::TDeviceInfo Info() override {
    std::lock_guard lock(World().Mutex);
    fx2port::TDeviceInfo info;
    info.address = static_cast<std::uint8_t>(2 + Index);
    info.speed = Unit->Device.HighSpeed ? fx2port::SpeedHigh : fx2port::SpeedFull;
    info.deviceName = "sim-fx2-" + std::to_string(Index);
    info.friendlyName = "Simulated FX2 device";
    info.driverVersion = Unit->DriverVersion;
    return info;
  }

  bool AlternateSetting(std::uint8_t, std::uint8_t& setting) override {
    std::lock_guard lock(World().Mutex);
    setting = Unit->AlternateSetting;
    return true;
  }

private:
  bool Run(const TUsbTransfer& t, std::uint8_t* data, std::uint32_t& transferred, bool& nak) {
    TSimKalvenor2& device = Unit->Device;
    if (t.kind == TTransferKind::Control)
      return t.length == t.setup.length && device.Control(t.setup, data, transferred);
    if (t.endpoint == BulkOutEndpoint) {
      transferred = t.length;
      return device.BulkOut(data, t.length);
    }
    if (t.endpoint == BulkInEndpoint) {
      nak = !device.BulkIn(data, t.length, transferred);
      return !nak;
    }
    return false;
  }

  // A transfer the device does not answer ends only by an abort, or by its
  // own time-out when it has one.
  TTransferStatus WaitForAbort(std::unique_lock<std::mutex>& lock, std::uint32_t timeoutMs) {
    TSimFx2World& w = World();
    const std::uint64_t aborts = Unit->Aborts;
    ++Unit->Waiting;
    const auto aborted = [&] { return Unit->Aborts != aborts; };
    bool ended = true;
    if (timeoutMs > 0)
      ended = w.Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), aborted);
    else
      w.Changed.wait(lock, aborted);
    --Unit->Waiting;
    w.Changed.notify_all();
    return ended ? TTransferStatus::Cancelled : TTransferStatus::Timeout;
  }

  void Scramble(std::uint8_t* data, std::uint32_t length) {
    for (std::uint32_t i = 0; i < length; ++i)
      data[i] = static_cast<std::uint8_t>(Random());
  }

  int Index;
  std::shared_ptr<TSimFx2Unit> Unit;
  std::minstd_rand Random{12345};
};

class TSimFx2Backend : public fx2port::TFx2Backend {
public:
  int DeviceCount() override {
    std::lock_guard lock(World().Mutex);
    return static_cast<int>(World().Units.size());
  }

  std::unique_ptr<fx2port::TFx2BackendDevice> Open(int index) override {
    std::lock_guard lock(World().Mutex);
    std::shared_ptr<TSimFx2Unit> unit = World().Unit(index);
    return unit ? std::make_unique<TSimFx2Device>(index, std::move(unit)) : nullptr;
  }
};

} // namespace

std::unique_ptr<fx2port::TFx2Backend> CreateSimFx2Backend() { return std::make_unique<TSimFx2Backend>(); }

} // namespace sim
