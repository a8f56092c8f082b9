#include "numericlocale.h"

#include <langinfo.h>
#include <locale.h>

#include <string>

#include "textconv.h"

namespace rtl {

char16_t UserDecimalSeparator() {
  // An empty name asks for the locale the environment names, as setlocale
  // would, without making it the process's locale.
  const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (user == static_cast<locale_t>(0)) return u'.';
  const std::u16string radix = Utf8ToUtf16(nl_langinfo_l(RADIXCHAR, user));
  freelocale(user);
  // U+FFFD: the locale's own character set was not UTF-8.
  return radix.size() == 1 && radix[0] != u'\uFFFD' ? radix[0] : u'.';
}

}  // namespace rtl
