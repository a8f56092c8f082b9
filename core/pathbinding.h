#pragma once
// The path functions, bound by name at start-up and released at shutdown.
// Every path operation of the data files calls through `Shlwapi`, so a test
// can bind a table of its own and see the files use it.

#include <span>

#include "pathfunctions.h"

struct TPathFunctions {
  decltype(&rtl::PathAddBackslashW) PathAddBackslashW = &rtl::PathAddBackslashW;
  decltype(&rtl::PathAddExtensionW) PathAddExtensionW = &rtl::PathAddExtensionW;
  decltype(&rtl::PathAppendW) PathAppendW = &rtl::PathAppendW;
  decltype(&rtl::PathCombineW) PathCombineW = &rtl::PathCombineW;
  decltype(&rtl::PathCompactPathW) PathCompactPathW = &rtl::PathCompactPathW;
  decltype(&rtl::PathFindExtensionW) PathFindExtensionW = &rtl::PathFindExtensionW;
  decltype(&rtl::PathFindFileNameW) PathFindFileNameW = &rtl::PathFindFileNameW;
  decltype(&rtl::PathFileExistsW) PathFileExistsW = &rtl::PathFileExistsW;
  decltype(&rtl::PathIsDirectoryW) PathIsDirectoryW = &rtl::PathIsDirectoryW;
  decltype(&rtl::PathRemoveExtensionW) PathRemoveExtensionW = &rtl::PathRemoveExtensionW;
  decltype(&rtl::PathRemoveFileSpecW) PathRemoveFileSpecW = &rtl::PathRemoveFileSpecW;
  decltype(&rtl::PathRenameExtensionW) PathRenameExtensionW = &rtl::PathRenameExtensionW;
  decltype(&rtl::StrCmpIW) StrCmpIW = &rtl::StrCmpIW;
  decltype(&rtl::StrFormatByteSizeW) StrFormatByteSizeW = &rtl::StrFormatByteSizeW;
  decltype(&rtl::StrStrW) StrStrW = &rtl::StrStrW;
};

// The bound entry points. Until LoadShlwapi succeeds, and again after
// FreeShlwapi, they are the runtime layer's own functions, so no call ever
// goes through an unbound slot.
extern TPathFunctions Shlwapi;

// Looks up all fifteen names in `exports`, in the order of TPathFunctions. A
// missing name fails the binding, although the remaining names are still
// looked up; on failure nothing is bound. True when all fifteen are bound.
bool LoadShlwapi(std::span<const rtl::TPathFunctionExport> exports = rtl::PathFunctionExports());
// Releases the binding.
void FreeShlwapi();
// LoadShlwapi succeeded and FreeShlwapi has not run since.
bool ShlwapiLoaded();
