// The TCP link against the simulated network device: split and slow
// replies, an early close, a stall, a reset, a send to a closed peer, a
// reconnect, and the bounded connect.

#include "lodrastcodec.h"
#include "sanitizerslowdown.h"
#include "closedport.h"
#include "lodrastserver.h"
#include "tcplink.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

using namespace sartel;
using sartel::tcp::TConnectResult;
using sartel::tcp::TTcpLink;
using sartel::tcp::TTransfer;

namespace {

constexpr std::uint32_t TimeoutMs = 300;
// What a bounded wait may take beyond its time-out on a busy machine,
// stretched by a sanitizer's slowdown.
constexpr std::uint32_t SlackMs = 200 * testsupport::kSanitizerSlowdown;
// The link of a test that ends before its time-out: long, so an end that
// waited for it shows.
constexpr std::uint32_t LongTimeoutMs = 10000;
// Far beyond what the server's close of a connection takes.
constexpr std::uint32_t CloseLimitMs = 10000 * testsupport::kSanitizerSlowdown;

class TcpLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Server.Start(0)) << Server.Failure();
    Link = std::make_unique<TTcpLink>(TimeoutMs, Server.Port());
    ASSERT_EQ(Link->Connect("127.0.0.1"), TConnectResult::Connected);
  }

  // The fixture's link again, with the long time-out.
  void ReconnectWithTheLongTimeout() {
    Link = std::make_unique<TTcpLink>(LongTimeoutMs, Server.Port());
    ASSERT_EQ(Link->Connect("127.0.0.1"), TConnectResult::Connected);
  }

  TTransfer SendCommand(std::uint8_t opcode, std::uint8_t argument = lodrast::NoArgument) {
    const lodrast::TPacket packet = lodrast::Command(opcode, argument);
    return Link->Send(packet.data(), packet.size());
  }

  double ElapsedMs() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Started).count();
  }
  void StartClock() { Started = std::chrono::steady_clock::now(); }

  sim::TLodrastServer Server;
  std::unique_ptr<TTcpLink> Link;
  std::chrono::steady_clock::time_point Started;
};

}  // namespace

TEST_F(TcpLink, ExchangesCommandsAndReplies) {
  ASSERT_EQ(SendCommand(lodrast::OpAddress), TTransfer::Ok);
  std::array<std::uint8_t, 3> reply{};
  ASSERT_EQ(Link->Receive(reply.data(), reply.size()), TTransfer::Ok);
  EXPECT_EQ(Link->CheckIdle(), TTransfer::Ok);
  ASSERT_EQ(SendCommand(lodrast::OpStatus), TTransfer::Ok);
  std::uint8_t status[lodrast::StatusReceiveMax];
  std::size_t received = 0;
  ASSERT_EQ(Link->ReceiveSome(status, sizeof status, received), TTransfer::Ok);
  EXPECT_EQ(received, 1u);
  EXPECT_EQ(Server.CommandCount(lodrast::OpAddress), 1);
}

TEST_F(TcpLink, SplitRepliesAreCollected) {
  Server.SetSegments(60, 5);
  ASSERT_EQ(SendCommand(lodrast::OpTemperature, 16), TTransfer::Ok);
  std::array<std::uint8_t, lodrast::TemperatureReplySize> reply{};
  ASSERT_EQ(Link->Receive(reply.data(), reply.size()), TTransfer::Ok);
  EXPECT_EQ(Link->CheckIdle(), TTransfer::Ok);
  // The default temperature input of the simulated device.
  EXPECT_NEAR(*lodrast::DecodeTemperature(reply, 0), 250.0, 0.1);
}

TEST_F(TcpLink, SlowReplyBeyondTheTimeoutFailsInTime) {
  Server.SetSegments(1, 200);
  ASSERT_EQ(SendCommand(lodrast::OpAddress), TTransfer::Ok);
  std::array<std::uint8_t, 3> reply{};
  StartClock();
  EXPECT_EQ(Link->Receive(reply.data(), reply.size()), TTransfer::Timeout);
  EXPECT_LT(ElapsedMs(), TimeoutMs + SlackMs);
  EXPECT_FALSE(Link->IsOpen());
}

TEST_F(TcpLink, EarlyCloseEndsTheReceive) {
  ReconnectWithTheLongTimeout();
  Server.AddFault({sim::TLinkFault::Close, lodrast::OpTemperature, 0, 1});
  ASSERT_EQ(SendCommand(lodrast::OpTemperature, 16), TTransfer::Ok);
  std::array<std::uint8_t, lodrast::TemperatureReplySize> reply{};
  StartClock();
  EXPECT_EQ(Link->Receive(reply.data(), reply.size()), TTransfer::Closed);
  EXPECT_LT(ElapsedMs(), LongTimeoutMs / 2);
  EXPECT_FALSE(Link->IsOpen());
  EXPECT_EQ(SendCommand(lodrast::OpStatus), TTransfer::NotConnected);
}

TEST_F(TcpLink, StallEndsWithTheTimeout) {
  Server.AddFault({sim::TLinkFault::Stall, lodrast::OpStatus, 0, 1});
  ASSERT_EQ(SendCommand(lodrast::OpStatus), TTransfer::Ok);
  std::uint8_t status[8];
  std::size_t received = 0;
  StartClock();
  EXPECT_EQ(Link->ReceiveSome(status, sizeof status, received), TTransfer::Timeout);
  EXPECT_GE(ElapsedMs(), TimeoutMs - 5);
  EXPECT_LT(ElapsedMs(), TimeoutMs + SlackMs);
  EXPECT_EQ(received, 0u);
  EXPECT_FALSE(Link->IsOpen());
}

TEST_F(TcpLink, ResetIsAReceiveError) {
  ReconnectWithTheLongTimeout();
  Server.AddFault({sim::TLinkFault::Reset, lodrast::OpAddress, 0, 1});
  ASSERT_EQ(SendCommand(lodrast::OpAddress), TTransfer::Ok);
  std::array<std::uint8_t, 3> reply{};
  StartClock();
  EXPECT_EQ(Link->Receive(reply.data(), reply.size()), TTransfer::Failed);
  EXPECT_LT(ElapsedMs(), LongTimeoutMs / 2);
  EXPECT_FALSE(Link->IsOpen());
}

TEST_F(TcpLink, SendToAClosedPeerFailsWithoutSignal) {
  // SIGPIPE would end this test program at once.
  Server.AddFault({sim::TLinkFault::Reset, lodrast::OpEnd, 0, 1});
  ASSERT_EQ(SendCommand(lodrast::OpEnd), TTransfer::Ok);
  ASSERT_TRUE(Server.AwaitDisconnections(1, CloseLimitMs));
  TTransfer result = TTransfer::Ok;
  const std::vector<std::uint8_t> block(64 * 1024, 0x55);
  for (int i = 0; i < 4 && result == TTransfer::Ok; ++i) result = Link->Send(block.data(), block.size());
  EXPECT_EQ(result, TTransfer::Failed);
  EXPECT_FALSE(Link->IsOpen());
}

TEST_F(TcpLink, ClosedPeerShowsBeforeTheNextCommand) {
  Server.AddFault({sim::TLinkFault::Close, lodrast::OpEnd, 0, 1});
  EXPECT_EQ(Link->CheckIdle(), TTransfer::Ok) << "nothing has happened yet";
  ASSERT_EQ(SendCommand(lodrast::OpEnd), TTransfer::Ok);
  ASSERT_TRUE(Server.AwaitDisconnections(1, CloseLimitMs));
  EXPECT_EQ(Link->CheckIdle(), TTransfer::Closed);
  EXPECT_FALSE(Link->IsOpen());
}

TEST_F(TcpLink, UnaskedBytesPutTheLinkOutOfStep) {
  Server.AddFault({sim::TLinkFault::Extra, lodrast::OpAddress, 0, 1});
  ASSERT_EQ(SendCommand(lodrast::OpAddress), TTransfer::Ok);
  std::array<std::uint8_t, 3> reply{};
  // The reply and the bytes after it leave the server in one send, which
  // loopback delivers whole: they are there once the reply is.
  ASSERT_EQ(Link->Receive(reply.data(), reply.size()), TTransfer::Ok);
  EXPECT_EQ(Link->CheckIdle(), TTransfer::UnexpectedData);
  EXPECT_FALSE(Link->IsOpen());
}

TEST_F(TcpLink, ReconnectNeverReadsAnOldReply) {
  // The address reply comes too late for its receive; the new connection
  // must answer the status command with the status, not the old bytes.
  Server.SetSegments(1, TimeoutMs);
  ASSERT_EQ(SendCommand(lodrast::OpAddress), TTransfer::Ok);
  std::array<std::uint8_t, 3> reply{};
  EXPECT_EQ(Link->Receive(reply.data(), reply.size()), TTransfer::Timeout);
  Server.SetSegments(0, 0);
  ASSERT_EQ(Link->Reconnect(), TConnectResult::Connected);
  ASSERT_EQ(SendCommand(lodrast::OpStatus), TTransfer::Ok);
  std::uint8_t status[lodrast::StatusReceiveMax];
  std::size_t received = 0;
  ASSERT_EQ(Link->ReceiveSome(status, sizeof status, received), TTransfer::Ok);
  EXPECT_EQ(received, 1u);
  EXPECT_EQ(status[0], 0);
  EXPECT_EQ(Link->CheckIdle(), TTransfer::Ok);
  EXPECT_EQ(Server.Connections(), 2);
}

TEST(TcpLinkConnect, FailuresAreNamedAndBounded) {
  TTcpLink link(TimeoutMs, ClosedPort());
  EXPECT_EQ(link.Connect("127.0.0.1"), TConnectResult::NoConnection);
  EXPECT_EQ(link.Connect(""), TConnectResult::NoHost);
  EXPECT_EQ(link.Connect(std::string(64, 'a')), TConnectResult::NoHost);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(link.Connect("no-such-host.invalid"), TConnectResult::NoHost);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(TimeoutMs + 300 * testsupport::kSanitizerSlowdown));
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(link.Reconnect(), TConnectResult::NoHost);
}

TEST(TcpLinkConnect, NamesAreLookedUp) {
  sim::TLodrastServer server;
  ASSERT_TRUE(server.Start(0));
  TTcpLink link(TimeoutMs, server.Port());
  EXPECT_EQ(link.Connect("localhost"), TConnectResult::Connected);
}

TEST(TcpLinkConnect, UnansweredConnectEndsWithTheTimeout) {
  // A listener that never accepts and whose queue is full drops further
  // connection requests, so the connect is never answered.
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
  std::vector<std::unique_ptr<TTcpLink>> queued;
  TConnectResult result = TConnectResult::Connected;
  const auto started = std::chrono::steady_clock::now();
  for (int i = 0; i < 8 && result == TConnectResult::Connected; ++i) {
    queued.push_back(std::make_unique<TTcpLink>(TimeoutMs, ntohs(address.sin_port)));
    result = queued.back()->Connect("127.0.0.1");
  }
  EXPECT_EQ(result, TConnectResult::NoConnection);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(TimeoutMs + 300 * testsupport::kSanitizerSlowdown));
  close(listener);
}

// The time-out's rule is transfertimeout_test's; the port is the link's own.
TEST(TcpLinkEnvironment, Port) {
  unsetenv("SARTEL_TCP_PORT");
  EXPECT_EQ(TTcpLink::PortFromEnvironment(), 5000);
  setenv("SARTEL_TCP_PORT", "6123", 1);
  EXPECT_EQ(TTcpLink::PortFromEnvironment(), 6123);
  setenv("SARTEL_TCP_PORT", "65535", 1);
  EXPECT_EQ(TTcpLink::PortFromEnvironment(), 65535);
  for (const char* bad : {"0", "70000", "65536", "12x", "", "-1"}) {
    setenv("SARTEL_TCP_PORT", bad, 1);
    EXPECT_EQ(TTcpLink::PortFromEnvironment(), 5000) << bad;
  }
  unsetenv("SARTEL_TCP_PORT");
}
