#include "commandparser.h"

namespace sim {

std::size_t TCommandParser::Needed() const {
  return Count > 0 && Bytes[0] == ProgramOpcode ? 7 : 4;
}

void TCommandParser::Feed(const std::uint8_t* data, std::size_t length, std::vector<TCommand>& commands) {
  for (std::size_t i = 0; i < length; ++i) {
    Bytes[Count++] = data[i];
    if (Count < Needed()) continue;
    TCommand command;
    command.Opcode = Bytes[0];
    command.Length = static_cast<std::uint16_t>((Bytes[1] << 8) | Bytes[2]);
    if (command.Opcode == ProgramOpcode)
      for (std::size_t p = 0; p < command.Parameters.size(); ++p) command.Parameters[p] = Bytes[3 + p];
    else
      command.Argument = Bytes[3];
    commands.push_back(command);
    Count = 0;
  }
}

}  // namespace sim
