#pragma once
// The user's numeric conventions, read from the environment (LC_ALL,
// LC_NUMERIC, LANG) through a locale object of its own: the C library's
// global locale is never switched, so number text in files stays
// locale-free.

namespace rtl {

// The decimal separator of the user's numeric locale: "," for a locale that
// writes "2,5", "." for one that writes "2.5". A locale that is not installed
// or not valid counts as the C locale ("."), and so does a separator that is
// not a single UTF-16 unit.
char16_t UserDecimalSeparator();

}  // namespace rtl
