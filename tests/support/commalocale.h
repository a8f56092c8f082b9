#pragma once
// A locale that writes numbers with a decimal comma, built for a test with
// the C library's own localedef into a folder of the test: with LOCPATH
// naming that folder, the tests need no installed locale.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

// The locale's name, to put into LC_ALL, LC_NUMERIC or LANG.
inline constexpr const char* CommaLocaleName = "zz_ZZ";

// Compiles the locale into `folder` (which becomes LOCPATH); false when
// localedef could not write it.
inline bool BuildCommaLocale(const std::filesystem::path& folder) {
  const std::filesystem::path source = folder / "comma.def";
  std::ofstream(source) << "LC_NUMERIC\n"
                           "decimal_point \"<U002C>\"\n"
                           "thousands_sep \"<U002E>\"\n"
                           "grouping 3;3\n"
                           "END LC_NUMERIC\n";
  // -c: the other categories are left to the C defaults, which localedef
  // warns about.
  const std::string command = "localedef -c -i '" + source.string() + "' '" + (folder / CommaLocaleName).string() +
                              "' >/dev/null 2>&1";
  [[maybe_unused]] const int status = std::system(command.c_str());
  return std::filesystem::exists(folder / CommaLocaleName / "LC_NUMERIC");
}

}  // namespace testsupport
