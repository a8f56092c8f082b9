#pragma once
// Per-transfer fault injection of the simulated FX2 device, and the call
// counts that tests read. Transfers are named by kind ("bulk-in") and, for
// vendor requests, by the request in hexadecimal ("B5").

#include <map>
#include <string>

namespace sim {

enum class TFx2Fault { None = 0, Fail = 1, Short = 2, Hang = 3, Garbage = 4, Ones = 5 };

class TFx2Faults {
public:
  void Inject(const std::string& transfer, TFx2Fault kind, int skip, int count);
  void Clear() { Rules.clear(); }
  void ClearCounts() { Counts.clear(); }
  // Counts one call under each name and answers the first fault that applies.
  TFx2Fault OnCall(const std::string& kind, const std::string& request);
  int CallCount(const std::string& transfer) const;

private:
  struct TRule {
    TFx2Fault Kind = TFx2Fault::None;
    int Skip = 0; // calls since the last reset before the fault applies
    int Count = 0;
  };
  TFx2Fault Count(const std::string& name);

  std::map<std::string, TRule> Rules;
  std::map<std::string, int> Counts;
};

} // namespace sim
