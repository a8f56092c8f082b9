#include "shelltestsupport.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "textconv.h"
#include "xmlinifile.h"

namespace shelltest {

namespace fs = std::filesystem;

TTempFolder::TTempFolder() {
  std::string pattern = (fs::temp_directory_path() / "shelltest-XXXXXX").string();
  const char* made = mkdtemp(pattern.data());
  FPath = made ? made : "";
}

TTempFolder::~TTempFolder() {
  std::error_code error;
  if (!FPath.empty()) fs::remove_all(FPath, error);
}

std::u16string TTempFolder::PathW() const { return rtl::Utf8ToUtf16(FPath); }

void WriteLanguageFile(const std::string& path, const std::vector<TKeyValue>& values) {
  XmlIniFile document;
  document.Open(rtl::Utf8ToUtf16(path), u"Language", false);
  for (const TKeyValue& v : values) document.WriteString(v.Section, v.Key, v.Value);
  document.Save();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string PicturePath(const std::string& name) { return std::string(SHELL_TEST_PICTURE_DIR) + "/" + name; }

std::string Narrow(const std::u16string& text) { return rtl::Utf16ToUtf8(text); }

}  // namespace shelltest
