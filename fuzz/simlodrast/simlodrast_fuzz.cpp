// Arbitrary bytes from a client into the simulated network device: the
// streaming parser in pieces of any size and the device logic behind it.
// Nothing may crash, and every reply has the size the protocol gives its
// command.

#include "commandparser.h"
#include "rotor.h"
#include "simlodrast.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::size_t ReplySize(const sim::TCommand& command, std::size_t fallback) {
  switch (command.Opcode) {
    case 7:
      return 1;
    case 8:
      return 512;
    case 9:
      return 2;
    case 16:
      return command.Length;
    case 17:
      return 3;
    default:
      return fallback;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte sets the size of the pieces the bytes arrive in.
  const std::size_t piece = 1 + data[0] % 16;
  sim::TRotor rotor;
  sim::TSimLodrast device(rotor);
  device.SamplesPerPoll = 4096;
  sim::TCommandParser parser;
  std::vector<sim::TCommand> commands;
  for (std::size_t at = 1; at < size; at += piece) {
    commands.clear();
    parser.Feed(data + at, std::min(piece, size - at), commands);
    for (const sim::TCommand& command : commands) {
      const std::vector<std::uint8_t> reply = device.Execute(command);
      Check(reply.size() == ReplySize(command, 0));
    }
  }
  return 0;
}
