#include "simfx2faults.h"

namespace sim {

void TFx2Faults::Inject(const std::string& transfer, TFx2Fault kind, int skip, int count) {
  Rules[transfer] = {kind, CallCount(transfer) + (skip < 0 ? 0 : skip), count};
}

TFx2Fault TFx2Faults::Count(const std::string& name) {
  const int call = Counts[name]++;
  const auto rule = Rules.find(name);
  if (rule == Rules.end())
    return TFx2Fault::None;
  const TRule& r = rule->second;
  const bool applies = call >= r.Skip && (r.Count < 0 || call < r.Skip + r.Count);
  return applies ? r.Kind : TFx2Fault::None;
}

TFx2Fault TFx2Faults::OnCall(const std::string& kind, const std::string& request) {
  const TFx2Fault byRequest = request.empty() ? TFx2Fault::None : Count(request);
  const TFx2Fault byKind = Count(kind);
  return byRequest != TFx2Fault::None ? byRequest : byKind;
}

int TFx2Faults::CallCount(const std::string& transfer) const {
  const auto it = Counts.find(transfer);
  return it == Counts.end() ? 0 : it->second;
}

} // namespace sim
