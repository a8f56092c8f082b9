#include "dynlib.h"

#include <dlfcn.h>

namespace rtl {
namespace {

thread_local std::string LastError;

void SetErrorFromDl(const char* fallback) {
  const char* reason = dlerror();
  LastError = reason ? reason : fallback;
}

}  // namespace

void* LoadModule(const std::string& pathOrName) {
  // dlopen(nullptr) would hand back the program itself; an empty name is an
  // error here.
  if (pathOrName.empty()) {
    LastError = "No module name given";
    return nullptr;
  }
  dlerror();
  void* module = dlopen(pathOrName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module)
    LastError.clear();
  else
    SetErrorFromDl("Cannot load module");
  return module;
}

void* FindSymbol(void* module, const char* name) {
  if (!module || !name) {
    LastError = "No module or symbol name given";
    return nullptr;
  }
  dlerror();
  void* symbol = dlsym(module, name);
  if (symbol)
    LastError.clear();
  else
    SetErrorFromDl("Symbol not found");
  return symbol;
}

void FreeModule(void* module) {
  if (module) dlclose(module);
}

std::string LastModuleError() { return LastError; }

}  // namespace rtl
