#pragma once
// The key index that a language source keeps in its comments: for every
// window, which (section, key) it looks up and which component shows the
// text. Written as
//
//   window TfMessage: message box
//     Forms/Warning      leCaption: title of kind 2
//
// inside "<!-- -->". A line whose first word is "Section/Key" is a use of the
// window named by the last "window Name:" line before it (in the same or an
// earlier comment). Other comment lines are free text.

#include <string>
#include <vector>

#include "langsource.h"

struct TLangUse {
  std::string Window;  // as written after "window", up to ":"; empty before the first
  std::u16string Section;
  std::u16string Key;
  std::string Component;  // the rest of the line, trimmed
  int Line = 0;
};

std::vector<TLangUse> ReadLangIndex(const TLangSource& source);
