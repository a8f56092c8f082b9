#pragma once
// A fresh data folder for one test. XDG_DATA_HOME points at it, so the
// settings and the automatic session the program writes land there and not
// in the user's own folder.

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace testsupport {

// The folder made under the system's temporary folder from `stem`; empty
// when it could not be made (XDG_DATA_HOME is then left alone).
inline std::string MakeDataFolder(const std::string& stem) {
  std::string pattern = (std::filesystem::temp_directory_path() / (stem + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) return {};
  setenv("XDG_DATA_HOME", pattern.c_str(), 1);
  return pattern;
}

inline void RemoveDataFolder(const std::filesystem::path& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace testsupport
