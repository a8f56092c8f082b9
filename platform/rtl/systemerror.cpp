#include "systemerror.h"

#include <cstring>

#include "regularfile.h"
#include "textconv.h"

namespace rtl {

std::u16string SystemErrorText(int error) {
  if (error == NotRegularFileError) return u"The file is not a regular file (a folder, a pipe or a device).";
  if (error == LinkRefusedError) return u"The file name is a symbolic link, which is not followed here.";
  // The GNU form never fails: it returns the library's static text or
  // writes into the buffer, so it is safe on every thread.
  char buffer[256];
  return Utf8ToUtf16(strerror_r(error, buffer, sizeof buffer));
}

}  // namespace rtl
