#include "textout.h"

#include <algorithm>
#include <cstring>

namespace sartel {

std::string_view BoundedText(const unsigned char* data, std::size_t size) {
  const auto* begin = reinterpret_cast<const char*>(data);
  const auto* end = static_cast<const char*>(std::memchr(begin, 0, size));
  return {begin, end ? static_cast<std::size_t>(end - begin) : size};
}

void WriteWidened(std::string_view text, char16_t* out) {
  const std::size_t units = std::min(text.size(), MaxTextUnits - 1);
  for (std::size_t i = 0; i < units; ++i) out[i] = static_cast<unsigned char>(text[i]);
  out[units] = u'\0';
}

}  // namespace sartel
