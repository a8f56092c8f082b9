#pragma once
// The network device's side of its command stream: bytes arrive in whatever
// pieces TCP delivers, and complete commands come out. A command is four
// bytes (opcode, big-endian length, argument); capture programming is a
// three-byte header (opcode 21, length 4) followed by four parameter bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

struct TCommand {
  std::uint8_t Opcode = 0;
  std::uint16_t Length = 0;
  std::uint8_t Argument = 0;
  // Capture programming only: gain code, divider low, divider high, channel.
  std::array<std::uint8_t, 4> Parameters{};
};

class TCommandParser {
 public:
  static constexpr std::uint8_t ProgramOpcode = 21;

  // Appends every command the bytes complete to commands.
  void Feed(const std::uint8_t* data, std::size_t length, std::vector<TCommand>& commands);
  void Reset() { Count = 0; }

 private:
  std::size_t Needed() const;

  std::array<std::uint8_t, 7> Bytes{};
  std::size_t Count = 0;
};

}  // namespace sim
