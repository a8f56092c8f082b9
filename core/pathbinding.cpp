#include "pathbinding.h"

#include <string_view>

TPathFunctions Shlwapi;

namespace {

// The table the functions were bound from; null while nothing is bound.
const rtl::TPathFunctionExport* BoundTable = nullptr;

template <typename F>
bool Bind(std::span<const rtl::TPathFunctionExport> exports, std::string_view name, F& slot) {
  for (const rtl::TPathFunctionExport& entry : exports) {
    if (entry.Name == name && entry.Address) {
      slot = reinterpret_cast<F>(entry.Address);
      return true;
    }
  }
  return false;
}

}  // namespace

bool LoadShlwapi(std::span<const rtl::TPathFunctionExport> exports) {
  TPathFunctions bound;
  bool ok = true;
  // Every name is looked up even after a failure, as a loader reports the
  // whole binding at once.
  ok = Bind(exports, "PathAddBackslashW", bound.PathAddBackslashW) && ok;
  ok = Bind(exports, "PathAddExtensionW", bound.PathAddExtensionW) && ok;
  ok = Bind(exports, "PathAppendW", bound.PathAppendW) && ok;
  ok = Bind(exports, "PathCombineW", bound.PathCombineW) && ok;
  ok = Bind(exports, "PathCompactPathW", bound.PathCompactPathW) && ok;
  ok = Bind(exports, "PathFindExtensionW", bound.PathFindExtensionW) && ok;
  ok = Bind(exports, "PathFindFileNameW", bound.PathFindFileNameW) && ok;
  ok = Bind(exports, "PathFileExistsW", bound.PathFileExistsW) && ok;
  ok = Bind(exports, "PathIsDirectoryW", bound.PathIsDirectoryW) && ok;
  ok = Bind(exports, "PathRemoveExtensionW", bound.PathRemoveExtensionW) && ok;
  ok = Bind(exports, "PathRemoveFileSpecW", bound.PathRemoveFileSpecW) && ok;
  ok = Bind(exports, "PathRenameExtensionW", bound.PathRenameExtensionW) && ok;
  ok = Bind(exports, "StrCmpIW", bound.StrCmpIW) && ok;
  ok = Bind(exports, "StrFormatByteSizeW", bound.StrFormatByteSizeW) && ok;
  ok = Bind(exports, "StrStrW", bound.StrStrW) && ok;
  if (!ok) {
    FreeShlwapi();
    return false;
  }
  Shlwapi = bound;
  BoundTable = exports.data();
  return true;
}

void FreeShlwapi() {
  Shlwapi = TPathFunctions{};
  BoundTable = nullptr;
}

bool ShlwapiLoaded() { return BoundTable != nullptr; }
