// Feeds arbitrary bytes to the XmlIniFile parser as a document file's
// contents, reads and writes what came out, and checks that whatever was
// read survives the writer: the saved text parses again to the same text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "xmlinifile.h"

namespace {

// Opened without a file name: a save of the changed document fails, so the
// fuzzer never writes a file.
constexpr std::u16string_view Root = u"Root";

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XmlIniFile document;
  document.Open(u"", Root, false);
  document.Parse(std::string_view(reinterpret_cast<const char*>(data), size));

  document.ReadInteger(u"S", u"A", 0);
  document.ReadFloat(u"S", u"A", 0.0);
  document.ReadString(u"S", u"A", u"", 5);
  document.ReadStringA(u"S", u"A", "", 5);

  const std::string saved = document.Serialize();
  XmlIniFile reread;
  reread.Open(u"", Root, false);
  Require(reread.Parse(saved));
  Require(reread.Serialize() == saved);

  // A value holding every character the writer must escape.
  const std::u16string value = reread.ReadString(u"S", u"A", u"\"&<>&amp;");
  reread.WriteString(u"S", u"A", value + u"\"&<");
  XmlIniFile written;
  written.Open(u"", Root, false);
  Require(written.Parse(reread.Serialize()));
  Require(written.ReadString(u"S", u"A", u"") == value + u"\"&<");
  return 0;
}
