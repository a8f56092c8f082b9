#pragma once
// Per-call fault injection of the simulated D2XX library, and the call
// counts that tests read.

#include <map>
#include <string>

namespace sim {

enum class TFault { None = 0, Fail = 1, Short = 2, Hang = 3, Garbage = 4, Ones = 5 };

class TFaults {
 public:
  void Inject(const std::string& function, TFault kind, int skip, int count);
  void Clear();
  void ClearCounts() { Counts.clear(); }
  // Counts the call and answers the fault it gets, if any.
  TFault OnCall(const std::string& function);
  int CallCount(const std::string& function) const;

 private:
  struct TRule {
    TFault Kind = TFault::None;
    int Skip = 0;
    int Count = 0;
  };
  std::map<std::string, TRule> Rules;
  std::map<std::string, int> Counts;
};

}  // namespace sim
