#pragma once
// The system's own text for an error number, as the user is shown it when a
// file or folder operation fails.

#include <string>

namespace rtl {

// The C library's message for an errno value, for example "Permission
// denied"; an unknown number gets the library's "Unknown error" text.
std::u16string SystemErrorText(int error);

}  // namespace rtl
