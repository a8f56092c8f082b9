#include "faults.h"

namespace sim {

void TFaults::Inject(const std::string& function, TFault kind, int skip, int count) {
  Rules[function] = {kind, skip > 0 ? skip : 0, count};
}

void TFaults::Clear() { Rules.clear(); }

TFault TFaults::OnCall(const std::string& function) {
  ++Counts[function];
  const auto rule = Rules.find(function);
  if (rule == Rules.end()) return TFault::None;
  TRule& r = rule->second;
  if (r.Skip > 0) {
    --r.Skip;
    return TFault::None;
  }
  if (r.Count == 0) return TFault::None;
  if (r.Count > 0) --r.Count;
  return r.Kind;
}

int TFaults::CallCount(const std::string& function) const {
  const auto found = Counts.find(function);
  return found == Counts.end() ? 0 : found->second;
}

}  // namespace sim
