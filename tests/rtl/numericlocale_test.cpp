// The user's decimal separator, read from the environment without touching
// the C library's own locale.

#include "numericlocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

#include "commalocale.h"
#include "tempdir.h"

namespace {

class UserDecimalSeparator : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(testsupport::BuildCommaLocale(Folder.Path())); }

  TTempDir Folder;
  TScopedEnv LocPath{"LOCPATH", Folder.Path().c_str()};
  TScopedEnv All{"LC_ALL", nullptr};
  TScopedEnv Numeric{"LC_NUMERIC", nullptr};
  TScopedEnv Lang{"LANG", nullptr};
};

TEST_F(UserDecimalSeparator, FollowsTheNumericLocaleOfTheEnvironment) {
  setenv("LC_ALL", testsupport::CommaLocaleName, 1);
  EXPECT_EQ(rtl::UserDecimalSeparator(), u',');
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(rtl::UserDecimalSeparator(), u'.');
}

TEST_F(UserDecimalSeparator, LcAllBeforeLcNumericBeforeLang) {
  setenv("LANG", testsupport::CommaLocaleName, 1);
  EXPECT_EQ(rtl::UserDecimalSeparator(), u',');
  setenv("LC_NUMERIC", "C", 1);
  EXPECT_EQ(rtl::UserDecimalSeparator(), u'.');
  setenv("LC_ALL", testsupport::CommaLocaleName, 1);
  EXPECT_EQ(rtl::UserDecimalSeparator(), u',');
}

TEST_F(UserDecimalSeparator, ALocaleThatIsNotInstalledCountsAsTheCLocale) {
  setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
  EXPECT_EQ(rtl::UserDecimalSeparator(), u'.');
}

TEST_F(UserDecimalSeparator, TheCLibrarysNumbersStayLocaleFree) {
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  setenv("LC_ALL", testsupport::CommaLocaleName, 1);
  ASSERT_EQ(rtl::UserDecimalSeparator(), u',');
  EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), before);
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 2.5);
  EXPECT_STREQ(text, "2.5");
}

}  // namespace
