#pragma once

// Shared libraries loaded at run time and bound by name.

#include <string>

namespace rtl {

// dlopen with RTLD_NOW | RTLD_LOCAL: a name is searched the usual way
// (LD_LIBRARY_PATH, cache), a path containing '/' is taken as it is. Null on
// failure, with the reason in LastModuleError().
void* LoadModule(const std::string& pathOrName);
// Null when module is null or lacks the symbol (reason in LastModuleError()).
void* FindSymbol(void* module, const char* name);
// Null is ignored.
void FreeModule(void* module);
// Reason of the last failed call of this thread; empty after success.
std::string LastModuleError();

}  // namespace rtl
