#pragma once
// Why a file of the system could not be read or written, and which file:
// the one value the core's readers and writers hand out, so that whoever
// tells the user can name both.

#include <string>

struct TFileReason {
  std::u16string File;
  // The system's error number, rtl::NotRegularFileError,
  // datafile::PairInUseError or RateNotListedError; 0 for a file that was
  // read but is damaged or of another kind.
  int Error = 0;
};

// A data file whose samples were captured at a sampling rate the device
// does not list: read at another rate they would be relabelled.
// Beside the system's error numbers and the other reasons above, and
// distinct from each (checked where they all meet, in datafilepair.cpp).
inline constexpr int RateNotListedError = 0x10003;
