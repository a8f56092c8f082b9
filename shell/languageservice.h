#pragma once
// The language service: every text a window shows is looked up in the
// language file the user chose. The start-up window owns the one service of
// the program and makes it current (SetLanguageService); the windows look
// their texts up through LangText, which answers "###" and not found while
// no service is current, so a lookup before start-up or after shutdown never
// touches a closed document.
//
// The lookup has one signature, (section, key) -> text and whether it was
// found. The window-and-buffer call form writes into a caller's fixed buffer
// and returns only whether it was found; callers of the shared-buffer form
// take the returned text instead of reading (and appending to) a shared
// buffer.

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

class XmlIniFile;

namespace gui {
class TControl;
class TForm;
}  // namespace gui

// The answer of a lookup. As a bool it says whether the key was found.
struct TLangText {
  std::u16string Text;
  bool Found = false;
  explicit operator bool() const { return Found; }
};

// One (section, key) a window looks up. Each window keeps its keys in one
// table of these, so that the set of keys the program needs can be checked
// against every shipped language file.
struct TTextKey {
  std::u16string_view Section;
  std::u16string_view Key;
};

// The text of a key the language file lacks.
inline constexpr std::u16string_view LangMissingText = u"###";
// The buffer the window-and-buffer form is usually given: 199 units and the
// terminator.
constexpr size_t LangBufferSize = 200;

class TLanguageService {
 public:
  TLanguageService();
  ~TLanguageService();
  TLanguageService(const TLanguageService&) = delete;
  TLanguageService& operator=(const TLanguageService&) = delete;

  // Reads the language file (root element "Language"); the file itself is
  // never changed. A missing or unreadable file gives an empty document, in
  // which every lookup misses. False when the file is malformed; the sections
  // read before the fault stay readable.
  bool Open(std::u16string_view path);
  // Drops the document; later lookups miss.
  void Close();
  bool IsOpen() const { return FDocument != nullptr; }

  // The text of key in section, every "|" turned into a line feed. A missing
  // section or key, or the value "###", gives "###" and not found. Names are
  // compared case-sensitively.
  TLangText GetLangText(std::u16string_view section, std::u16string_view key) const;
  TLangText GetLangText(const TTextKey& key) const { return GetLangText(key.Section, key.Key); }
  // The window-and-buffer form: the text of the lookup above, cut at the
  // buffer's end (never inside a surrogate pair) and always terminated; the
  // result is whether the key was found. The window is not used. An empty
  // buffer receives nothing.
  bool GetLangText(gui::TForm* window, std::span<char16_t> buffer, std::u16string_view section,
                   std::u16string_view key) const;

  // Shows `text` whenever the mouse rests over the control. A control has at
  // most one tool-tip: a second call (a window shown again) replaces its
  // text. The window is not used.
  static void AddToolTip(gui::TForm* window, gui::TControl* control, std::u16string_view text);
  // The application's hint handler: every tool-tip on white.
  static void InstallHintHandler();

 private:
  std::unique_ptr<XmlIniFile> FDocument;
};

// Reads a language file into the document without changing the file (the
// store's own Open would make a read-only file writable). A missing or
// unreadable file leaves the document empty and gives true; false when the
// file is malformed.
bool LoadLanguageDocument(std::u16string_view path, XmlIniFile& document);

// The service the windows use; nullptr clears it. The owner clears it before
// it destroys the service.
void SetLanguageService(TLanguageService* service);
TLanguageService* LanguageService();

// The lookup through the current service; "###" and not found without one.
TLangText LangText(const TTextKey& key);
