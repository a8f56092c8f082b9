#pragma once
// XmlIniFile: the key/value store behind every data file of the system
// (configuration, language files, sessions, asynchronous data, sensors).
//
// A document is a UTF-16LE text file with a byte-order mark, an XML
// declaration, one root element named by the caller, one element per section
// and one empty element per key whose single attribute holds the value:
//
//   <?xml version="1.0" encoding="UTF-16"?>
//   <ConfigFile>
//   <Config>
//    <AmplDisplayMode value = "1"/>
//   </Config>
//   </ConfigFile>
//
// It behaves like an INI file: sections and keys keep the order in which
// they were first read or written, names are compared case-sensitively, and
// every value is held as text that the typed accessors convert (integers as
// lowercase hexadecimal of the unsigned 32-bit value, doubles as "%.16f").
// Reading a missing key gives the caller's default.
//
// Not shared between threads. The file is touched only by Open and Save;
// destroying a changed document saves it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class XmlIniFile {
 public:
  XmlIniFile() = default;
  // Saves the document when a write changed it since the last save.
  ~XmlIniFile();
  XmlIniFile(const XmlIniFile&) = delete;
  XmlIniFile& operator=(const XmlIniFile&) = delete;

  // A document larger than this is not one of ours; refusing it keeps a
  // damaged or wrong file from exhausting memory.
  static constexpr uint64_t MaxFileBytes = uint64_t(512) << 20;

  // Names the file and the root element and, with `load`, reads the file.
  // Returns false when a loaded file is malformed, is no regular file (a
  // folder, a pipe: it is refused at once, never waited on), or exists but
  // can't be read (LoadErrorNumber tells why); only a missing file gives an
  // empty document and true. After a false result the sections read before
  // the fault stay readable. The file itself is never changed by Open.
  bool Open(std::u16string_view fileName, std::u16string_view rootName, bool load);
  // Why the file of the last Open could not be read: the system's error
  // number, rtl::NotRegularFileError, or 0 when it was read (a malformed
  // file is read, and its fault is in the result of Open).
  int LoadErrorNumber() const { return LoadError; }

  // Writes the whole document to the file named by Open as a replacement of
  // the old file (TReplacementFile), so the file is always either the old or
  // the new document. True when the file was written; never after an Open
  // that found the file but could not read it.
  bool Save();
  // Why the last Save failed: the system's error number (the load's for a
  // file that could not be read), or 0 after a save that succeeded.
  int SaveErrorNumber() const { return SaveError; }

  // The default when the section or key is absent. The text is read as
  // hexadecimal with the C library's rules: "ffffffff" gives -1, "10" gives
  // 16, a text without digits 0, a number beyond 32 bits 0xFFFFFFFF.
  int32_t ReadInteger(std::u16string_view section, std::u16string_view key,
                      int32_t defaultValue) const;
  void WriteInteger(std::u16string_view section, std::u16string_view key, int32_t value);

  // The default when absent; a finite decimal number otherwise, and 0.0 for
  // a text that holds none ("abc", "nan", "inf", hexadecimal, out of range).
  double ReadFloat(std::u16string_view section, std::u16string_view key,
                   double defaultValue) const;
  void WriteFloat(std::u16string_view section, std::u16string_view key, double value);

  // The value, or the default when absent; with a nonzero maxLength at most
  // that many UTF-16 units (a surrogate pair is never split).
  std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view defaultValue, size_t maxLength = 0) const;
  void WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view text);

  // 8-bit texts: UTF-8 in the program, stored as Windows-1252 text would be
  // (a character that code page lacks becomes "?"). maxLength counts
  // Windows-1252 characters.
  std::string ReadStringA(std::u16string_view section, std::u16string_view key,
                          std::string_view defaultValue, size_t maxLength = 0) const;
  void WriteStringA(std::u16string_view section, std::u16string_view key, std::string_view text);

  // Reads a document's file contents (UTF-16LE bytes) into this document,
  // after the sections it already holds. Open calls it; public so that
  // damaged input can be fed to it directly.
  bool Parse(std::string_view fileBytes);
  // The file contents Save writes.
  std::string Serialize() const;

  // A write changed the document since it was opened or last saved.
  bool Modified() const { return Dirty; }
  const std::u16string& FileName() const { return Path; }

 private:
  struct TKey {
    std::u16string Name, Value;
  };
  struct TSection {
    std::u16string Name;
    std::vector<TKey> Keys;
  };

  const std::u16string* FindValue(std::u16string_view section, std::u16string_view key) const;
  void SetValue(std::u16string_view section, std::u16string_view key, std::u16string value);
  bool ParseSections(std::u16string_view content);
  bool ParseKeys(std::u16string_view keys, size_t& pos, TSection& section);

  std::u16string Path;
  std::u16string OpenTag, CloseTag;  // "<Root>", "</Root>"
  bool Dirty = false;
  int LoadError = 0;
  int SaveError = 0;
  std::vector<TSection> Sections;
};
