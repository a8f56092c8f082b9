#include "lasterror.h"

#include <algorithm>

namespace sartel {

void TLastError::Set(std::string_view text, std::int32_t code) {
  // Error texts are fixed ASCII texts of this library.
  const std::size_t units = std::min(text.size(), TextUnits - 1);
  Message.assign(units, u'\0');
  for (std::size_t i = 0; i < units; ++i) Message[i] = static_cast<unsigned char>(text[i]);
  Code = code;
}

void TLastError::CopyText(char16_t* out) const {
  std::copy(Message.begin(), Message.end(), out);
  out[Message.size()] = u'\0';
}

}  // namespace sartel
