#include "fx2/fx2port.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

using namespace fx2port;

namespace {

// A backend device that answers IN transfers with a counting pattern, or
// blocks until aborted when told to.
struct TFakeState {
  std::mutex mutex;
  std::condition_variable changed;
  bool hang = false;
  bool aborted = false;
  TTransferStatus status = TTransferStatus::Ok;
  uint32_t shortBy = 0;
  std::vector<TUsbTransfer> seen;
  std::vector<uint8_t> lastOut;
  bool alternateKnown = true;
};

class TFakeDevice : public TFx2BackendDevice {
public:
  explicit TFakeDevice(TFakeState& state) : FState(state) {}
  TTransferStatus Transfer(const TUsbTransfer& t, uint8_t* data, uint32_t& transferred) override {
    std::unique_lock lock(FState.mutex);
    FState.seen.push_back(t);
    if (FState.hang) {
      FState.changed.wait(lock, [&] { return FState.aborted; });
      transferred = 0;
      return TTransferStatus::Cancelled;
    }
    transferred = t.length - std::min(FState.shortBy, t.length);
    if (t.in)
      for (uint32_t i = 0; i < transferred; ++i)
        data[i] = static_cast<uint8_t>(i + 1);
    else
      FState.lastOut.assign(data, data + t.length);
    return FState.status;
  }
  void Abort(uint8_t) override {
    std::lock_guard lock(FState.mutex);
    FState.aborted = true;
    FState.changed.notify_all();
  }
  TDeviceInfo Info() override {
    TDeviceInfo info;
    info.address = 7;
    info.speed = SpeedHigh;
    info.deviceName = "fake-device";
    info.friendlyName = std::string(300, 'x');
    return info;
  }
  bool AlternateSetting(uint8_t, uint8_t& setting) override {
    setting = 1;
    return FState.alternateKnown;
  }

private:
  TFakeState& FState;
};

class TFakeBackend : public TFx2Backend {
public:
  explicit TFakeBackend(TFakeState& state) : FState(state) {}
  int DeviceCount() override { return 2; }
  std::unique_ptr<TFx2BackendDevice> Open(int index) override {
    return index < 2 ? std::make_unique<TFakeDevice>(FState) : nullptr;
  }

private:
  TFakeState& FState;
};

std::vector<uint8_t> DirectRecord(uint8_t endpoint) {
  TRequestRecord r;
  r.endpoint = endpoint;
  std::vector<uint8_t> b(RequestRecordSize);
  EncodeRecord(r, std::span<uint8_t, RequestRecordSize>(b.data(), RequestRecordSize));
  return b;
}

TRequestRecord RecordOf(const std::vector<uint8_t>& b) {
  return DecodeRecord(std::span<const uint8_t, RequestRecordSize>(b.data(), RequestRecordSize));
}

class Fx2PortTest : public ::testing::Test {
protected:
  TFakeState state;
  TFx2Port port{std::make_unique<TFakeBackend>(state)};
};

} // namespace

TEST_F(Fx2PortTest, OpensListedDevicesAndRefusesOthers) {
  EXPECT_EQ(port.DeviceCount(), 2);
  const TPortHandle a = port.Open(0);
  EXPECT_NE(a, InvalidPortHandle);
  EXPECT_EQ(port.Open(2), InvalidPortHandle);
  EXPECT_EQ(port.Open(-1), InvalidPortHandle);
  EXPECT_TRUE(port.Close(a));
  EXPECT_FALSE(port.Close(a));
  uint8_t address = 0;
  uint32_t returned = 0;
  EXPECT_EQ(port.IoControl(a, IoctlAddress, &address, 1, &address, 1, returned, nullptr), ErrorInvalidHandle);
}

TEST_F(Fx2PortTest, QueriesAnswerWithExactlyTheirSize) {
  const TPortHandle h = port.Open(0);
  uint32_t returned = 0;
  uint8_t byte = 0;
  EXPECT_EQ(port.IoControl(h, IoctlAddress, &byte, 1, &byte, 1, returned, nullptr), ErrorSuccess);
  EXPECT_EQ(returned, 1u);
  EXPECT_EQ(byte, 7);
  uint32_t speed = 0;
  EXPECT_EQ(port.IoControl(h, IoctlSpeed, &speed, 4, &speed, 4, returned, nullptr), ErrorSuccess);
  EXPECT_EQ(speed, HighSpeed);
  EXPECT_EQ(port.IoControl(h, IoctlSpeed, &speed, 2, &speed, 2, returned, nullptr), ErrorInvalidParameter);

  char name[DeviceNameSize];
  std::memset(name, 'z', sizeof name);
  EXPECT_EQ(port.IoControl(h, IoctlFriendlyName, name, sizeof name, name, sizeof name, returned, nullptr),
            ErrorSuccess);
  EXPECT_EQ(returned, DeviceNameSize);
  EXPECT_EQ(std::strlen(name), DeviceNameSize - 1);
  EXPECT_EQ(port.IoControl(h, IoctlDeviceName, name, sizeof name, name, sizeof name, returned, nullptr),
            ErrorSuccess);
  EXPECT_STREQ(name, "fake-device");

  byte = 0;
  EXPECT_EQ(port.IoControl(h, IoctlAlternateSetting, &byte, 1, &byte, 1, returned, nullptr), ErrorSuccess);
  EXPECT_EQ(byte, 1);
  state.alternateKnown = false;
  EXPECT_EQ(port.IoControl(h, IoctlAlternateSetting, &byte, 1, &byte, 1, returned, nullptr), ErrorGenFailure);
  EXPECT_EQ(port.IoControl(h, 0x2200FF, &byte, 1, &byte, 1, returned, nullptr), ErrorInvalidParameter);
}

TEST_F(Fx2PortTest, ControlTransferReturnsRecordAndDataInOneBuffer) {
  const TPortHandle h = port.Open(0);
  TRequestRecord r;
  r.requestType = 0xC0;
  r.request = 0xB5;
  r.length = 4;
  r.timeoutSeconds = 2;
  r.bufferOffset = 38;
  r.bufferLength = 4;
  std::vector<uint8_t> buffer(RequestRecordSize + 4, 0);
  EncodeRecord(r, std::span<uint8_t, RequestRecordSize>(buffer.data(), RequestRecordSize));
  uint32_t returned = 0;
  EXPECT_EQ(port.IoControl(h, IoctlControlTransfer, buffer.data(), 42, buffer.data(), 42, returned, nullptr),
            ErrorSuccess);
  EXPECT_EQ(returned, 42u);
  EXPECT_EQ(buffer[38], 1);
  EXPECT_EQ(buffer[41], 4);
  ASSERT_EQ(state.seen.size(), 1u);
  EXPECT_EQ(state.seen[0].timeoutMs, 2000u);
  EXPECT_EQ(state.seen[0].setup.request, 0xB5);
}

TEST_F(Fx2PortTest, PendingTransferDeliversOnlyWhenCollected) {
  const TPortHandle h = port.Open(0);
  std::vector<uint8_t> record = DirectRecord(0x86);
  std::vector<uint8_t> data(8, 0xEE);
  TFx2Overlapped overlapped;
  uint32_t returned = 0;
  state.shortBy = 3;
  ASSERT_EQ(port.IoControl(h, IoctlDirectTransfer, record.data(), 38, data.data(), 8, returned, &overlapped),
            ErrorIoPending);
  ASSERT_TRUE(overlapped.Wait(5000));
  EXPECT_EQ(data[0], 0xEE) << "the caller's buffer changes only when the result is collected";
  uint32_t error = 0;
  ASSERT_TRUE(port.GetOverlappedResult(overlapped, returned, error));
  EXPECT_EQ(returned, 5u);
  EXPECT_EQ(data[0], 1);
  EXPECT_EQ(data[4], 5);
  EXPECT_EQ(data[5], 0xEE);
}

TEST_F(Fx2PortTest, AbortEndsAHangingTransferWhichThenFails) {
  const TPortHandle h = port.Open(0);
  state.hang = true;
  std::vector<uint8_t> record = DirectRecord(0x86);
  std::vector<uint8_t> data(8, 0xEE);
  TFx2Overlapped overlapped;
  uint32_t returned = 0;
  uint32_t error = 0;
  ASSERT_EQ(port.IoControl(h, IoctlDirectTransfer, record.data(), 38, data.data(), 8, returned, &overlapped),
            ErrorIoPending);
  EXPECT_FALSE(overlapped.Wait(30));
  EXPECT_FALSE(port.GetOverlappedResult(overlapped, returned, error));
  EXPECT_EQ(error, ErrorIoIncomplete);

  uint8_t endpoint = 0x86;
  EXPECT_EQ(port.IoControl(h, IoctlAbortPipe, &endpoint, 1, nullptr, 0, returned, nullptr), ErrorSuccess);
  ASSERT_TRUE(overlapped.Wait(5000));
  EXPECT_FALSE(port.GetOverlappedResult(overlapped, returned, error));
  EXPECT_EQ(error, ErrorOperationAborted);
  EXPECT_EQ(RecordOf(record).ntStatus, NtCancelled);
  EXPECT_EQ(RecordOf(record).usbdStatus, UsbdCanceled);
  EXPECT_EQ(data[0], 0xEE);
}

TEST_F(Fx2PortTest, BufferedOutSendsTheBytesBehindTheRecordAndReportsFailure) {
  const TPortHandle h = port.Open(0);
  TRequestRecord r;
  r.endpoint = 0x02;
  r.bufferOffset = 38;
  r.bufferLength = 3;
  std::vector<uint8_t> buffer(41, 0);
  EncodeRecord(r, std::span<uint8_t, RequestRecordSize>(buffer.data(), RequestRecordSize));
  buffer[38] = 0x02;
  buffer[39] = 0x00;
  buffer[40] = 0x01;
  state.status = TTransferStatus::Stall;
  uint32_t returned = 0;
  EXPECT_EQ(port.IoControl(h, IoctlBufferedTransfer, buffer.data(), 41, buffer.data(), 41, returned, nullptr),
            ErrorGenFailure);
  EXPECT_EQ(state.lastOut, (std::vector<uint8_t>{0x02, 0x00, 0x01}));
  EXPECT_EQ(RecordOf(buffer).usbdStatus, UsbdStall);
}

TEST(Fx2PortWithoutBackend, ListsNothing) {
  TFx2Port port(nullptr);
  EXPECT_EQ(port.DeviceCount(), 0);
  EXPECT_EQ(port.Open(0), InvalidPortHandle);
}
