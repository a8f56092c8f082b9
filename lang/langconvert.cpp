// langconvert: writes a language source (readable UTF-8 XML, see
// langsource.h) as a language file in the store's format, through the store
// itself, so the bytes are exactly what XmlIniFile writes and reads.
//
//   langconvert <source.xml> <output.xml>
//
// Exit status 0 on success; 1 with "source: line N: what" on stderr when the
// source is faulty or the output can't be written; 2 on a wrong call.

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "langsource.h"
#include "textconv.h"
#include "xmlinifile.h"

namespace {

bool ReadFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  bytes = text.str();
  return !in.bad();
}

bool WriteLanguageFile(const TLangSource& source, const std::string& path) {
  XmlIniFile document;
  document.Open(rtl::Utf8ToUtf16(path), source.Root, false);
  for (const TLangSection& section : source.Sections) {
    for (const TLangKey& key : section.Keys)
      document.WriteString(section.Name, key.Name, key.Value);
  }
  return document.Save();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: langconvert <source.xml> <output.xml>\n";
    return 2;
  }
  const std::string sourcePath = argv[1];
  const std::string outputPath = argv[2];
  std::string bytes;
  if (!ReadFile(sourcePath, bytes)) {
    std::cerr << sourcePath << ": cannot be read\n";
    return 1;
  }
  TLangSource source;
  std::string error;
  if (!ParseLangSource(bytes, source, error)) {
    std::cerr << sourcePath << ": " << error << "\n";
    return 1;
  }
  if (!WriteLanguageFile(source, outputPath)) {
    std::cerr << outputPath << ": cannot be written\n";
    return 1;
  }
  return 0;
}
