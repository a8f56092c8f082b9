#include "dynlib.h"

#include <gtest/gtest.h>

namespace {

TEST(DynLib, FindsExportedSymbolAndReportsMissingOne) {
  void* module = rtl::LoadModule(RTL_TEST_MODULE);
  ASSERT_NE(module, nullptr) << rtl::LastModuleError();
  EXPECT_EQ(rtl::LastModuleError(), "");

  auto answer = reinterpret_cast<int (*)()>(rtl::FindSymbol(module, "rtl_test_answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);

  EXPECT_EQ(rtl::FindSymbol(module, "rtl_test_hidden"), nullptr) << "not exported";
  EXPECT_EQ(rtl::FindSymbol(module, "rtl_test_missing"), nullptr);
  EXPECT_NE(rtl::LastModuleError().find("rtl_test_missing"), std::string::npos) << rtl::LastModuleError();
  rtl::FreeModule(module);
}

TEST(DynLib, LoadFailuresGiveNullAndAReason) {
  EXPECT_EQ(rtl::LoadModule("/nonexistent/libNothing.so"), nullptr);
  EXPECT_NE(rtl::LastModuleError().find("libNothing"), std::string::npos) << rtl::LastModuleError();
  EXPECT_EQ(rtl::LoadModule(""), nullptr);
  EXPECT_FALSE(rtl::LastModuleError().empty());
  EXPECT_EQ(rtl::FindSymbol(nullptr, "rtl_test_answer"), nullptr);
  rtl::FreeModule(nullptr);
}

}  // namespace
