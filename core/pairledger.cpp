#include "pairledger.h"

namespace datafile {

void TPairLedger::Remember(std::u16string_view documentPath, std::optional<std::string> bytes) {
  Documents.insert_or_assign(std::u16string(documentPath), std::move(bytes));
}

const std::optional<std::string>* TPairLedger::Recall(std::u16string_view documentPath) const {
  const auto found = Documents.find(documentPath);
  return found == Documents.end() ? nullptr : &found->second;
}

bool TPairLedger::FirstWithoutLocks(std::u16string_view folder) {
  return FoldersWithoutLocks.emplace(folder).second;
}

}  // namespace datafile
