#include "daqlib.h"

namespace sartel {

void TDAQLib::SetPath(const char16_t* folder) {
  Folder.clear();
  if (!folder) return;
  for (std::size_t i = 0; i < PathUnits - 1 && folder[i] != u'\0'; ++i) Folder.push_back(folder[i]);
}

}  // namespace sartel
