#pragma once
// What saving a document and its raw file under a chosen name would do to
// the files already there. A document is saved with its raw file beside it
// (the same name, another extension), so a name can make the raw file the
// document itself, or replace the raw file of another document.

#include <cstdint>
#include <functional>
#include <string_view>

class XmlIniFile;

enum class TSaveTarget {
  Free,           // no raw file of that name yet
  OwnPair,        // the raw file there belongs to the document there
  RawIsDocument,  // the raw file would be written over the document
  ForeignRaw,     // the raw file there belongs to another document, or to none
  NoName,         // the name is only the extension: a hidden file, listed by no open dialog
};

// `root` and `section` name the document's kind and the section that
// records its raw file; `layoutBytes` gives the raw file's size a document
// of that kind asks for.
TSaveTarget SaveTargetOf(std::u16string_view documentPath, std::u16string_view rawPath, std::u16string_view root,
                         std::u16string_view section,
                         const std::function<uint64_t(const XmlIniFile&)>& layoutBytes);
