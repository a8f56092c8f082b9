#pragma once
// The readable source of a language file: UTF-8 XML of one simple shape,
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <Language>
//     <Forms>
//       <Close value="Close"/>
//     </Forms>
//   </Language>
//
// a root element, section elements and empty key elements whose one
// attribute "value" holds the text. Comments may stand anywhere between
// elements; the five predefined entities (&amp; &quot; &lt; &gt; &apos;) are
// decoded in values. Nothing else of XML is accepted.
//
// The reader also checks what the store (XmlIniFile) can hold: it writes
// names and values unescaped, reads a value up to the next double quote,
// finds a section's end by its closing tag and holds 256 sections of 256
// keys. A source that the store could not read back is rejected with the
// line of the fault, so a broken text fails the build instead of showing
// "###" to a user.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct TLangKey {
  std::u16string Name;
  std::u16string Value;  // entities decoded; "|" kept (the lookup turns it into a line break)
  int Line = 0;
};

struct TLangSection {
  std::u16string Name;
  std::vector<TLangKey> Keys;
  int Line = 0;
};

struct TLangComment {
  std::string Text;  // UTF-8, between "<!--" and "-->"
  int Line = 0;      // line of "<!--"
};

struct TLangSource {
  std::u16string Root;
  std::vector<TLangSection> Sections;
  std::vector<TLangComment> Comments;

  const TLangSection* FindSection(std::u16string_view name) const;
  const TLangKey* FindKey(std::u16string_view section, std::u16string_view key) const;
  size_t KeyCount() const;
};

// The store's capacity per document and per section.
inline constexpr size_t MaxLangSections = 256;
inline constexpr size_t MaxLangKeysPerSection = 256;

// A section or key name: ASCII letters, digits, "_", "." and "-", not
// starting with a digit, "." or "-". No blank: the store ends a key's name at
// the first blank.
bool IsLangName(std::string_view name);

// Reads `utf8` into `out`. On a fault returns false with "line N: what" in
// `error`; `out` is then unspecified.
bool ParseLangSource(std::string_view utf8, TLangSource& out, std::string& error);
