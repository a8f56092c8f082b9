#include "pairledger.h"

#include <algorithm>

#include "folders.h"

namespace datafile {

void TPairLedger::Remember(std::u16string_view documentPath, std::optional<std::string> bytes) {
  std::erase_if(Documents, [documentPath](const TDocument& known) { return rtl::SameFile(known.Path, documentPath); });
  Documents.push_back({std::u16string(documentPath), std::move(bytes)});
}

const std::optional<std::string>* TPairLedger::Recall(std::u16string_view documentPath) const {
  const auto found = std::find_if(Documents.rbegin(), Documents.rend(), [documentPath](const TDocument& known) {
    return rtl::SameFile(known.Path, documentPath);
  });
  return found == Documents.rend() ? nullptr : &found->Bytes;
}

bool TPairLedger::FirstWithoutLocks(std::u16string_view folder) {
  const bool known = std::any_of(FoldersWithoutLocks.begin(), FoldersWithoutLocks.end(),
                                 [folder](const std::u16string& known) { return rtl::SameFile(known, folder); });
  if (!known) FoldersWithoutLocks.emplace_back(folder);
  return !known;
}

}  // namespace datafile
