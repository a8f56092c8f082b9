#include "faked2xx.h"
#include "sanitizerslowdown.h"
#include "ftdiframe.h"
#include "ftditransfer.h"
#include "usbftdi.h"

#include "clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace sartel::ftdi;
using Bytes = std::vector<std::uint8_t>;

std::string Text(const sartel::TLastError& error) { return std::string(error.Text().begin(), error.Text().end()); }

TEST(FtdiFrame, SingleWriteAndReadBytes) {
  const TWriteFrame write = EncodeWrite(63, 0xFF);
  EXPECT_EQ(Bytes(write.begin(), write.end()), (Bytes{0x41, 0x44, 0x43, 0xBF, 0x01, 0x00, 0x00, 0xFF}));
  const THeader read = EncodeRead(10);
  EXPECT_EQ(Bytes(read.begin(), read.end()), (Bytes{0x41, 0x44, 0x43, 0x0A, 0x01, 0x00, 0x00}));
}

TEST(FtdiFrame, BlockHeaderCarries24BitLength) {
  const THeader header = EncodeHeader(25, false, 0x0ABCDE);
  EXPECT_EQ(Bytes(header.begin(), header.end()), (Bytes{'A', 'D', 'C', 25, 0xDE, 0xBC, 0x0A}));
  EXPECT_TRUE(IsValidLength(0xFFFFFF));
  EXPECT_FALSE(IsValidLength(0x1000000));
  EXPECT_FALSE(IsValidRegister(128));
  EXPECT_FALSE(IsValidRegister(-1));
}

TEST(FtdiFrame, PiecesOfAtMost256KiB) {
  EXPECT_EQ(SplitPieces(600000), (std::vector<std::size_t>{262144, 262144, 75712}));
  EXPECT_EQ(SplitPieces(262144), (std::vector<std::size_t>{262144}));
  EXPECT_TRUE(SplitPieces(0).empty());
}

class FtdiTransfer : public ::testing::Test {
 protected:
  TFakeD2xx Fake;
  TD2xxCalls Calls{Fake.Table()};
  Bytes Buffer = Bytes(16);

  TTransferResult Read(std::uint32_t timeoutMs = 200) {
    return Transfer(Calls, FakeHandle(), TDirection::Read, Buffer.data(), 16, {timeoutMs, true});
  }
};

TEST_F(FtdiTransfer, ImmediateCompletionChecksTheCount) {
  EXPECT_EQ(Read(), TTransferResult::Done);
  Fake.ZerosWhenEmpty = false;
  Fake.ReadBytes = {1, 2, 3};
  EXPECT_EQ(Read(), TTransferResult::TimedOut);
}

TEST_F(FtdiTransfer, ImmediateErrorIsAFailure) {
  Fake.FailWrites = true;
  EXPECT_EQ(Transfer(Calls, FakeHandle(), TDirection::Write, Buffer.data(), 16, {}), TTransferResult::Failed);
}

TEST_F(FtdiTransfer, PendingTransferCompletesThroughItsEvent) {
  Fake.FailReads = true;
  Fake.Pending = true;
  Fake.ResultCount = 16;
  std::thread completion;
  Fake.OnPending = [&](d2xx::Overlapped* block) {
    ASSERT_NE(block, nullptr);
    completion = std::thread([block] {
      rtl::Sleep(20);
      static_cast<TTransferEvent*>(block->hEvent)->Set();
    });
  };
  EXPECT_EQ(Read(5000), TTransferResult::Done);
  completion.join();
  EXPECT_EQ(Fake.Calls.back(), "FT_W32_GetOverlappedResult");
}

TEST_F(FtdiTransfer, PendingTransferWithWrongCountOrFailedResult) {
  Fake.FailReads = true;
  Fake.Pending = true;
  Fake.OnPending = [](d2xx::Overlapped* block) { static_cast<TTransferEvent*>(block->hEvent)->Set(); };
  Fake.ResultCount = 3;
  EXPECT_EQ(Read(), TTransferResult::TimedOut);
  Fake.ResultOk = false;
  EXPECT_EQ(Read(), TTransferResult::Failed);
}

TEST_F(FtdiTransfer, PendingWaitIsBoundedAndAbortsTheTransfer) {
  Fake.FailReads = true;
  Fake.Pending = true;
  const std::uint32_t before = rtl::GetTickCount();
  EXPECT_EQ(Read(150), TTransferResult::TimedOut);
  const std::uint32_t elapsed = rtl::GetTickCount() - before;
  EXPECT_GE(elapsed, 140u);
  EXPECT_LT(elapsed, 2000u * testsupport::kSanitizerSlowdown);
  ASSERT_EQ(Fake.PurgeMasks.size(), 1u);
  EXPECT_EQ(Fake.PurgeMasks[0], 0x0Fu);
}

TEST_F(FtdiTransfer, WithoutOverlappedTheLibraryGetsNoBlock) {
  Fake.FailReads = true;
  Fake.Pending = true;
  d2xx::Overlapped* seen = reinterpret_cast<d2xx::Overlapped*>(1);
  Fake.OnPending = [&](d2xx::Overlapped* block) { seen = block; };
  EXPECT_EQ(Transfer(Calls, FakeHandle(), TDirection::Read, Buffer.data(), 16, {200, false}),
            TTransferResult::Failed);
  EXPECT_EQ(seen, nullptr);
}

class UsbFtdi : public ::testing::Test {
 protected:
  TFakeD2xx Fake;
  sartel::TLastError Error;
  TUSBFTDI Ftdi{Error, Fake.Table(), {200, false}};

  void SetUp() override { ASSERT_TRUE(Ftdi.OpenByDescription("Kalvenor")); }
};

TEST_F(UsbFtdi, SetupFailuresGiveTheirCodes) {
  const std::vector<std::tuple<std::string, std::string, int>> steps = {
      {"FT_SetUSBParameters", "Could not set USB in/out buffer parameters", 3},
      {"FT_ResetDevice", "Could not reset USB device", 4},
      {"FT_SetTimeouts", "Could not set USB timeouts", 5},
      {"FT_SetLatencyTimer", "Could not set USB latency time", 5}};
  for (const auto& [function, text, code] : steps) {
    Fake.Status = {{function, d2xx::IoError}};
    Error.Clear();
    EXPECT_FALSE(Ftdi.Setup()) << function;
    EXPECT_EQ(Text(Error), text);
    EXPECT_EQ(Error.ErrorCode(), code);
  }
  Fake.Status.clear();
  EXPECT_TRUE(Ftdi.Setup());
  EXPECT_EQ(Fake.TimeoutRead, 200u);
}

TEST_F(UsbFtdi, BlockWriteGoesAsHeaderAndPieces) {
  const Bytes data(600000, 0x5A);
  ASSERT_TRUE(Ftdi.WriteBlock(26, data.data(), data.size()));
  ASSERT_EQ(Fake.Writes.size(), 4u);
  EXPECT_EQ(Fake.Writes[0], (Bytes{'A', 'D', 'C', 26 | 0x80, 0xC0, 0x27, 0x09}));
  EXPECT_EQ(Fake.Writes[1].size(), 262144u);
  EXPECT_EQ(Fake.Writes[2].size(), 262144u);
  EXPECT_EQ(Fake.Writes[3].size(), 75712u);
  EXPECT_EQ(Fake.PurgeMasks, (std::vector<d2xx::Dword>{12}));
}

TEST_F(UsbFtdi, BlockReadStopsAtTheFirstFailure) {
  Fake.ZerosWhenEmpty = false;
  Fake.ReadBytes.assign(262144 + 10, 7);
  Bytes buffer(600000);
  EXPECT_FALSE(Ftdi.ReadBlock(25, buffer.data(), buffer.size()));
  EXPECT_EQ(Text(Error), "Communication error, read timeout");
  EXPECT_EQ(Error.ErrorCode(), 1);
}

TEST_F(UsbFtdi, RegisterReadAnswersOneByte) {
  Fake.ReadBytes = {0x83};
  std::uint8_t value = 0;
  ASSERT_TRUE(Ftdi.ReadRegister(10, value));
  EXPECT_EQ(value, 0x83);
  EXPECT_EQ(Fake.Writes.back(), (Bytes{0x41, 0x44, 0x43, 0x0A, 0x01, 0x00, 0x00}));
  EXPECT_FALSE(Ftdi.ReadRegister(128, value));
}

TEST_F(UsbFtdi, FailuresSetCommunicationTextsWithCodeOne) {
  Fake.FailWrites = true;
  EXPECT_FALSE(Ftdi.WriteRegister(63, 0xFF));
  EXPECT_EQ(Text(Error), "Communication error, write failed");
  EXPECT_EQ(Error.ErrorCode(), 1);
  Fake.FailWrites = false;
  Fake.FailReads = true;
  std::uint8_t value = 0x77;
  EXPECT_FALSE(Ftdi.ReadRegister(10, value));
  EXPECT_EQ(Text(Error), "Communication error, read failed");
  EXPECT_EQ(value, 0x77);
}

TEST_F(UsbFtdi, FailedPurgeStopsTheOperationVisibly) {
  Fake.PurgeCommOk = false;
  EXPECT_FALSE(Ftdi.WriteRegister(6, 1));
  EXPECT_TRUE(Fake.Writes.empty());
  EXPECT_EQ(Error.ErrorCode(), 1);
}

TEST_F(UsbFtdi, QueueHoldsThirtyOneFramesAndSendsThemAtOnce) {
  Ftdi.QueueClear();
  for (int i = 0; i < 31; ++i) EXPECT_TRUE(Ftdi.QueuePush(i, static_cast<std::uint8_t>(i)));
  EXPECT_FALSE(Ftdi.QueuePush(40, 1));
  ASSERT_TRUE(Ftdi.QueueSend());
  ASSERT_EQ(Fake.Writes.size(), 1u);
  EXPECT_EQ(Fake.Writes[0].size(), 248u);
  EXPECT_EQ(Bytes(Fake.Writes[0].end() - 8, Fake.Writes[0].end()), (Bytes{'A', 'D', 'C', 30 | 0x80, 1, 0, 0, 30}));
  // The queue is empty after sending, also after a failure.
  EXPECT_TRUE(Ftdi.QueuePush(1, 1));
  Fake.FailWrites = true;
  EXPECT_FALSE(Ftdi.QueueSend());
  Fake.FailWrites = false;
  ASSERT_TRUE(Ftdi.QueueSend());
  EXPECT_TRUE(Fake.Writes.back().empty());
}

TEST_F(UsbFtdi, CloseInvalidatesTheHandle) {
  EXPECT_EQ(Ftdi.Close(), 1);
  EXPECT_FALSE(Ftdi.IsOpen());
  EXPECT_EQ(Ftdi.Close(), 0);
  std::uint8_t value = 0;
  EXPECT_FALSE(Ftdi.ReadRegister(10, value));
  EXPECT_EQ(Error.ErrorCode(), 1);
}

TEST(UsbFtdiUnbound, MissingFunctionsAnswerLikeFailures) {
  sartel::TLastError error;
  TUSBFTDI ftdi(error);
  std::uint32_t count = 99;
  EXPECT_TRUE(ftdi.CountDevices(count));
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(ftdi.OpenByDescription("Kalvenor"));
  EXPECT_FALSE(ftdi.Setup());
  EXPECT_EQ(error.ErrorCode(), 3);
}

}  // namespace
