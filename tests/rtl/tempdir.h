#pragma once

#include <string>

// A fresh folder under /tmp for one test, removed with its contents on
// destruction, so tests running in parallel never share one.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

// Sets an environment variable for one scope and restores the old value.
class TScopedEnv {
 public:
  TScopedEnv(const char* name, const char* value);
  ~TScopedEnv();
  TScopedEnv(const TScopedEnv&) = delete;
  TScopedEnv& operator=(const TScopedEnv&) = delete;

 private:
  std::string FName;
  std::string FOld;
  bool FHadOld;
};
