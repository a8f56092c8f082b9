#pragma once
// TStrings: the item texts of lists, combo boxes and multi-line edits, each
// with an attached value (the "object" of an item, an integer or pointer
// stored as intptr_t).

#include <cstdint>
#include <string>

namespace gui {

class TStrings {
 public:
  virtual ~TStrings() = default;

  virtual int Count() const = 0;
  virtual std::u16string Strings(int index) const = 0;
  virtual intptr_t Objects(int index) const = 0;
  virtual void SetObjects(int index, intptr_t object) = 0;
  virtual void Insert(int index, const std::u16string& text, intptr_t object = 0) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  // Appends, or in a sorted list inserts before the first greater text;
  // returns the index.
  int AddObject(const std::u16string& text, intptr_t object);
  int Add(const std::u16string& text) { return AddObject(text, 0); }

  int IndexOf(const std::u16string& text) const;
  int IndexOfObject(intptr_t object) const;
  // The lines joined with line feeds.
  std::u16string Text() const;

 protected:
  // Whether AddObject keeps the texts in order (the owner's Sorted).
  virtual bool Sorted() const { return false; }
};

}  // namespace gui
