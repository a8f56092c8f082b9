#include "systemerror.h"

#include <cstring>

#include "textconv.h"

namespace rtl {

std::u16string SystemErrorText(int error) {
  // The GNU form never fails: it returns the library's static text or
  // writes into the buffer, so it is safe on every thread.
  char buffer[256];
  return Utf8ToUtf16(strerror_r(error, buffer, sizeof buffer));
}

}  // namespace rtl
