#include "faultplan.h"

namespace sim {

TLinkFault TFaultPlan::OnCommand(std::uint8_t opcode) {
  TLinkFault fault = TLinkFault::None;
  for (TActive& active : Rules) {
    if (active.Rule.Opcode >= 0 && active.Rule.Opcode != opcode) continue;
    if (active.Seen++ < active.Rule.Skip) continue;
    if (active.Rule.Count > 0 && active.Hit >= active.Rule.Count) continue;
    ++active.Hit;
    if (fault == TLinkFault::None) fault = active.Rule.Kind;
  }
  return fault;
}

bool ParseFault(const std::string& name, TLinkFault& fault) {
  static constexpr struct {
    const char* Name;
    TLinkFault Fault;
  } Names[] = {{"none", TLinkFault::None},   {"close", TLinkFault::Close},     {"reset", TLinkFault::Reset},
               {"stall", TLinkFault::Stall}, {"garbage", TLinkFault::Garbage}, {"extra", TLinkFault::Extra},
               {"ones", TLinkFault::Ones}};
  for (const auto& entry : Names) {
    if (name != entry.Name) continue;
    fault = entry.Fault;
    return true;
  }
  return false;
}

}  // namespace sim
