#pragma once
// Which commands of the simulated network device go wrong, and how. A rule
// names a fault, the opcode it waits for (any command when negative), how
// many matching commands pass first and how many are hit (0: all that
// follow).

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class TLinkFault {
  None,
  // Half of the reply, then the connection is closed.
  Close,
  // The connection is aborted (reset) instead of answering.
  Reset,
  // No answer, and none to any later command until the faults are cleared.
  Stall,
  // Random bytes in place of the reply (or unasked-for bytes where there is
  // none).
  Garbage,
  // The reply followed by bytes nobody asked for.
  Extra,
  // Bytes 0xFF in place of the reply, as from an undriven bus.
  Ones,
};

struct TFaultRule {
  TLinkFault Kind = TLinkFault::None;
  int Opcode = -1;
  int Skip = 0;
  int Count = 1;
};

class TFaultPlan {
 public:
  void Add(const TFaultRule& rule) { Rules.push_back({rule, 0, 0}); }
  void Clear() { Rules.clear(); }
  // The fault a command with this opcode meets; the first rule that hits
  // wins.
  TLinkFault OnCommand(std::uint8_t opcode);

 private:
  struct TActive {
    TFaultRule Rule;
    int Seen = 0;
    int Hit = 0;
  };
  std::vector<TActive> Rules;
};

// "close", "reset", "stall", "garbage", "extra", "ones", "none".
bool ParseFault(const std::string& name, TLinkFault& fault);

}  // namespace sim
