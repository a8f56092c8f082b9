#pragma once
// The driver's last-error record: a UTF-16 text of at most 99 characters
// plus terminator, and a code (0: no error). Transports and models write it;
// _GetLastErrorStr reads it.

#include <cstdint>
#include <string>
#include <string_view>

namespace sartel {

class TLastError {
 public:
  static constexpr std::size_t TextUnits = 100;

  void Set(std::string_view text, std::int32_t code);
  void Clear() { Set("", 0); }
  void SetCode(std::int32_t code) { Code = code; }

  const std::u16string& Text() const { return Message; }
  std::int32_t ErrorCode() const { return Code; }

  // Copies the text with its terminator into out (TextUnits units).
  void CopyText(char16_t* out) const;

 private:
  std::u16string Message;
  std::int32_t Code = 0;
};

}  // namespace sartel
