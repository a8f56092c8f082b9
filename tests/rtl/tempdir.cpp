#include "tempdir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

TTempDir::TTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "rtl_test_XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  FPath = pattern;
}

TTempDir::~TTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(FPath, ignored);
}

TScopedEnv::TScopedEnv(const char* name, const char* value) : FName(name) {
  const char* old = std::getenv(name);
  FHadOld = old != nullptr;
  if (FHadOld) FOld = old;
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

TScopedEnv::~TScopedEnv() {
  if (FHadOld)
    setenv(FName.c_str(), FOld.c_str(), 1);
  else
    unsetenv(FName.c_str());
}
