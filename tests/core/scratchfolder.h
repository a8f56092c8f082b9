#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards, and small file helpers for the tests of
// the data files.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "textconv.h"

class TScratchFolder {
 public:
  TScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelto-core-XXXXXX").string();
    if (::mkdtemp(pattern.data())) Path = pattern;
  }
  ~TScratchFolder() {
    std::error_code ignored;
    // Restore write permission first: some tests make entries read-only.
    std::filesystem::permissions(Path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(Path, ignored);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  // The folder as the program's paths have it: "/" separated, trailing "/".
  std::u16string Folder() const { return rtl::Utf8ToUtf16(Path.string()) + u"/"; }
  std::u16string File(std::u16string_view name) const { return Folder() + std::u16string(name); }
  std::filesystem::path Native(std::u16string_view name) const {
    return Path / rtl::Utf16ToUtf8(name);
  }

  std::filesystem::path Path;
};

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A document's text as its file holds it: UTF-16 little-endian units.
inline std::string Utf16LeBytes(std::u16string_view text) {
  std::string bytes;
  for (const char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

inline std::u16string Utf16LeText(std::string_view bytes) {
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    text += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
  return text;
}
