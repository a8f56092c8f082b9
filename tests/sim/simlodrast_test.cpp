// The simulated network device on its own: the streaming parser, the
// replies' exact sizes, the capture it runs, the fault rules and the
// control commands.

#include "commandparser.h"
#include "sanitizerslowdown.h"
#include "faultplan.h"
#include "lodrastserver.h"
#include "simcontrol.h"
#include "simlodrast.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

using namespace sim;

namespace {

TCommand Make(std::uint8_t opcode, std::uint8_t argument = 0x55, std::uint16_t length = 1) {
  TCommand command;
  command.Opcode = opcode;
  command.Argument = argument;
  command.Length = length;
  return command;
}

TCommand Program(std::uint8_t gain, std::uint16_t divider) {
  TCommand command;
  command.Opcode = 21;
  command.Length = 4;
  command.Parameters = {gain, static_cast<std::uint8_t>(divider & 0xFF), static_cast<std::uint8_t>(divider >> 8), 0};
  return command;
}

// Runs one capture to its end; the status values it read.
std::vector<std::uint8_t> Capture(TSimLodrast& device, std::uint8_t mode) {
  device.Execute(Make(22, 0x90));
  device.Execute(Make(18, mode));
  std::vector<std::uint8_t> statuses;
  for (int i = 0; i < 100; ++i) {
    statuses.push_back(device.Execute(Make(7))[0]);
    if (statuses.back() & 4) break;
  }
  device.Execute(Make(19, 0));
  device.Execute(Make(22, 0x80));
  return statuses;
}

std::int32_t Word(const std::vector<std::uint8_t>& bytes, std::size_t i) { return (bytes[2 * i] << 8) | bytes[2 * i + 1]; }

}  // namespace

TEST(SimCommandParser, CommandsInAnyPieces) {
  const std::vector<std::uint8_t> stream = {7, 0, 1, 0x55, 21, 0, 4, 0xFF, 7, 0, 0, 16, 0x80, 0, 0x55};
  for (std::size_t piece = 1; piece <= stream.size(); ++piece) {
    TCommandParser parser;
    std::vector<TCommand> commands;
    for (std::size_t at = 0; at < stream.size(); at += piece)
      parser.Feed(stream.data() + at, std::min(piece, stream.size() - at), commands);
    ASSERT_EQ(commands.size(), 3u) << piece;
    EXPECT_EQ(commands[0].Opcode, 7);
    EXPECT_EQ(commands[0].Argument, 0x55);
    EXPECT_EQ(commands[1].Opcode, 21);
    EXPECT_EQ(commands[1].Parameters, (std::array<std::uint8_t, 4>{0xFF, 7, 0, 0}));
    EXPECT_EQ(commands[2].Opcode, 16);
    EXPECT_EQ(commands[2].Length, 0x8000);
  }
}

TEST(SimLodrast, RepliesHaveTheProtocolSizes) {
  TRotor rotor;
  TSimLodrast device(rotor);
  EXPECT_EQ(device.Execute(Make(7)).size(), 1u);
  EXPECT_EQ(device.Execute(Make(8, 16)).size(), 512u);
  EXPECT_EQ(device.Execute(Make(9)).size(), 2u);
  EXPECT_EQ(device.Execute(Make(17)).size(), 3u);
  EXPECT_EQ(device.Execute(Make(16, 0x55, 0x8000)).size(), 0x8000u);
  EXPECT_EQ(device.Execute(Make(16, 0x55, 7)).size(), 7u);
  for (std::uint8_t opcode : {18, 19, 20, 22, 0, 99, 255}) EXPECT_TRUE(device.Execute(Make(opcode)).empty());
  EXPECT_TRUE(device.Execute(Program(0xFF, 7)).empty());
  EXPECT_DOUBLE_EQ(device.SamplingHz(), 50000.0);
}

TEST(SimLodrast, HaltedDeviceDoesNotStart) {
  TRotor rotor;
  TSimLodrast device(rotor);
  device.Execute(Make(18, 0));
  EXPECT_EQ(device.Execute(Make(7))[0], 0);
}

TEST(SimLodrast, BalancingCaptureSpansWholeRevolutions) {
  TRotor rotor;
  rotor.SetSpeed(3000);
  TSimLodrast device(rotor);
  device.Execute(Program(0x66, 39));
  const std::vector<std::uint8_t> statuses = Capture(device, 0);
  EXPECT_EQ(statuses, (std::vector<std::uint8_t>{1, 3, 3, 3, 7}));
  const TLodrastCapture& capture = device.LastCapture();
  ASSERT_TRUE(capture.Done);
  EXPECT_EQ(capture.Samples, TSimLodrast::MemorySamples);
  // 50 revolutions a second at 10 kHz: 200 samples each.
  EXPECT_EQ(capture.Revolutions, TSimLodrast::MemorySamples / 200);
  EXPECT_NEAR(capture.End, capture.Revolutions * 200, 1);

  const std::vector<std::uint8_t> address = device.Execute(Make(17));
  const std::vector<std::uint8_t> counter = device.Execute(Make(9));
  EXPECT_EQ(address[0] + (address[1] & 0x7F) * 256, capture.End);
  EXPECT_EQ(address[2] + (address[1] >> 7) * 256 + (((counter[0] << 8) | counter[1]) & 0x7FFF) * 512,
            capture.Revolutions);

  // The samples are the rotor's channel A from the reference pulse on, in
  // counts of the 1000 mV range with the converter's offset of 300.
  const std::vector<std::uint8_t> memory = device.Execute(Make(16, 0x55, 0x8000));
  std::vector<double> a(64), b(64);
  rotor.Generate(capture.Start, capture.Fs, a.size(), a.data(), b.data());
  for (std::size_t i = 0; i < a.size(); ++i)
    EXPECT_NEAR(Word(memory, i) - 300 - 32768, a[i] / 1000.0 * 32768, 0.51) << i;
  EXPECT_NEAR(std::fmod(capture.Start * rotor.RevolutionHz(), 1.0), 0.0, 1e-9);
}

TEST(SimLodrast, FreeRunningCaptureAndStopWhileSampling) {
  TRotor rotor;
  TSimLodrast device(rotor);
  device.SamplesPerPoll = 1000;
  device.Execute(Make(22, 0x90));
  device.Execute(Make(18, 1));
  EXPECT_EQ(device.Execute(Make(7))[0], 1);
  EXPECT_EQ(device.Execute(Make(7))[0], 3);
  const std::vector<std::uint8_t> address = device.Execute(Make(17));
  EXPECT_EQ(address[0] + (address[1] & 0x7F) * 256, 1000);
  device.Execute(Make(19, 0));
  EXPECT_EQ(device.LastCapture().Samples, 1000);
  EXPECT_FALSE(device.LastCapture().Balancing);
  device.Execute(Make(20, 0));
  EXPECT_EQ(device.Execute(Make(7))[0], 0);
}

TEST(SimLodrast, EachCaptureSeesTheRotorLater) {
  TRotor rotor;
  TSimLodrast device(rotor);
  Capture(device, 1);
  const double first = device.LastCapture().Start;
  Capture(device, 1);
  EXPECT_GT(device.LastCapture().Start, first);
}

TEST(SimLodrast, TemperatureWordsFollowTheRange) {
  TRotor rotor;
  TSimLodrast device(rotor);
  device.TemperatureMv = 500;
  device.Execute(Program(0x33, 39));
  const std::vector<std::uint8_t> reply = device.Execute(Make(8, 16));
  EXPECT_EQ(Word(reply, 0), 32768);
  EXPECT_EQ(Word(reply, 255), 32768);
}

TEST(SimFaultPlan, SkipCountAndOpcode) {
  TFaultPlan plan;
  plan.Add({TLinkFault::Stall, 7, 1, 2});
  plan.Add({TLinkFault::Garbage, -1, 4, 0});
  EXPECT_EQ(plan.OnCommand(7), TLinkFault::None);
  EXPECT_EQ(plan.OnCommand(17), TLinkFault::None);
  EXPECT_EQ(plan.OnCommand(7), TLinkFault::Stall);
  EXPECT_EQ(plan.OnCommand(7), TLinkFault::Stall);
  EXPECT_EQ(plan.OnCommand(7), TLinkFault::Garbage);
  EXPECT_EQ(plan.OnCommand(9), TLinkFault::Garbage);
  plan.Clear();
  EXPECT_EQ(plan.OnCommand(7), TLinkFault::None);
}

TEST(SimControl, TextCommands) {
  TLodrastServer server;
  EXPECT_EQ(ApplyControl(server, "speed 1500"), "ok");
  EXPECT_EQ(ApplyControl(server, "mass A 10.5 90"), "ok");
  EXPECT_EQ(ApplyControl(server, "mass B 5 0"), "ok");
  EXPECT_EQ(ApplyControl(server, "noise 0.5"), "ok");
  EXPECT_EQ(ApplyControl(server, "temperature 300"), "ok");
  EXPECT_EQ(ApplyControl(server, "poll 512"), "ok");
  EXPECT_EQ(ApplyControl(server, "segments 16 2"), "ok");
  EXPECT_EQ(ApplyControl(server, "split 3 1"), "ok");
  EXPECT_EQ(ApplyControl(server, "fault stall opcode 7 skip 2 count 1"), "ok");
  EXPECT_EQ(ApplyControl(server, "clear"), "ok");
  for (const char* bad : {"", "speed", "speed fast", "mass C 1 0", "poll 0", "fault melt", "fault close opcode",
                          "fault close when 3", "segments -1 2", "speed 1,5"})
    EXPECT_EQ(ApplyControl(server, bad).rfind("error: ", 0), 0u) << bad;

  // The masses move the 1x vector: plane A at 1500 rpm.
  TRotor reference;
  reference.SetSpeed(1500);
  reference.SetMass(0, 10.5, 90);
  reference.SetMass(1, 5, 0);
  EXPECT_NEAR(std::abs(server.Vector(0) - reference.Vector(0)), 0.0, 1e-12);
}

TEST(SimLodrastServerProgram, ServesDeviceAndControlPorts) {
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    execl(SIM_LODRAST_SERVER, SIM_LODRAST_SERVER, "--port", "0", "--control-port", "0", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  FILE* output = fdopen(out[0], "r");
  unsigned devicePort = 0;
  unsigned controlPort = 0;
  ASSERT_EQ(std::fscanf(output, "device port %u control port %u", &devicePort, &controlPort), 2);
  fclose(output);

  auto connectTo = [](unsigned port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval limit{2 * testsupport::kSanitizerSlowdown, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
  };
  const int control = connectTo(controlPort);
  const char command[] = "speed 1200\nspeed\n";
  ASSERT_EQ(write(control, command, sizeof command - 1), static_cast<ssize_t>(sizeof command - 1));
  std::string answers;
  char buffer[64];
  while (std::count(answers.begin(), answers.end(), '\n') < 2) {
    const ssize_t n = read(control, buffer, sizeof buffer);
    ASSERT_GT(n, 0);
    answers.append(buffer, static_cast<std::size_t>(n));
  }
  EXPECT_EQ(answers.substr(0, 3), "ok\n");
  EXPECT_EQ(answers.substr(3, 7), "error: ");

  const int device = connectTo(devicePort);
  const std::uint8_t status[] = {7, 0, 1, 0x55};
  ASSERT_EQ(write(device, status, sizeof status), 4);
  std::uint8_t reply = 0xEE;
  EXPECT_EQ(read(device, &reply, 1), 1);
  EXPECT_EQ(reply, 0);
  close(device);
  close(control);

  kill(child, SIGTERM);
  int exitStatus = -1;
  ASSERT_EQ(waitpid(child, &exitStatus, 0), child);
  EXPECT_TRUE(WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 0);
}
