#include "stringlist.h"

namespace gui {

int TStrings::AddObject(const std::u16string& text, intptr_t object) {
  int index = Count();
  if (Sorted()) {
    index = 0;
    while (index < Count() && Strings(index) < text) ++index;
  }
  Insert(index, text, object);
  return index;
}

int TStrings::IndexOf(const std::u16string& text) const {
  for (int i = 0; i < Count(); ++i)
    if (Strings(i) == text) return i;
  return -1;
}

int TStrings::IndexOfObject(intptr_t object) const {
  for (int i = 0; i < Count(); ++i)
    if (Objects(i) == object) return i;
  return -1;
}

std::u16string TStrings::Text() const {
  std::u16string text;
  for (int i = 0; i < Count(); ++i) {
    if (i > 0) text += u'\n';
    text += Strings(i);
  }
  return text;
}

}  // namespace gui
