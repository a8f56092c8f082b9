// Linked into the suites whose expected texts write numbers with a decimal
// comma: DecimalSeparator is pinned to "," before any test runs, so they
// pass whatever the program's default or the machine's locale. A test that
// needs a point sets it and puts the comma back.

#include <gtest/gtest.h>

#include "formatting.h"

namespace {

class TDecimalComma : public testing::Environment {
 public:
  void SetUp() override { DecimalSeparator = u','; }
};

[[maybe_unused]] testing::Environment* const Pinned = testing::AddGlobalTestEnvironment(new TDecimalComma);

}  // namespace
