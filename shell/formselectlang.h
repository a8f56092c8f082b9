#pragma once
// TfSelectLang: the language choice, shown by start-up when no language file
// is configured, before any language file is open. It lists every language
// file of the language folder by the name the file gives itself ("About"/
// "Name"), numbered and sorted by name, and shows the four "About" lines of
// the selected one. There is no cancelling: Enter or OK closes it, and
// start-up takes ChosenPath, which is empty only when no file was listed
// (start-up then leaves the language unset, so the next start asks again).

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "languageservice.h"
#include "windowframe.h"

class TBitmapButton;
class TLabelEx;
class TPanelEx;

namespace gui {
class TListBox;
}

struct TLanguageEntry {
  std::u16string Name;
  std::array<std::u16string, 4> Lines;
  std::u16string Path;
};

// Ordinal order of UTF-16 units (case-sensitive, a prefix first): 1 when a
// sorts after b, 0 when equal, -1 otherwise.
int CompareLanguageEntries(const TLanguageEntry& a, const TLanguageEntry& b);

// At most this many files are looked at; more are left out.
constexpr size_t MaxLanguageFiles = 99;

// The language files of the folder ("*.xml"), those without a name left
// out, sorted by name. The files are only read. Missing folder: none.
std::vector<TLanguageEntry> ListLanguages(std::u16string_view folder);

class TfSelectLang : public TWindowFrame {
 public:
  // What the dialog reads of each file, through the store directly.
  static constexpr std::array<TTextKey, 5> LangKeys = {{
      {u"About", u"Name"},
      {u"About", u"Line1"},
      {u"About", u"Line2"},
      {u"About", u"Line3"},
      {u"About", u"Line4"},
  }};

  // Lists the language files of the folder ("Language" in the program's
  // folder).
  TfSelectLang(gui::TComponent* owner, std::u16string_view languageFolder);

  const std::vector<TLanguageEntry>& LanguageList() const { return FLanguageList; }
  // The full path of the selected entry; empty without one.
  std::u16string ChosenPath() const;

  TBitmapButton* bOK = nullptr;
  TPanelEx* peSelectLang = nullptr;
  gui::TListBox* lbLanguage = nullptr;
  TLabelEx* leName = nullptr;
  std::array<TLabelEx*, 4> leLines{};

  void bOKClick(gui::TComponent* sender);
  void lbLanguageClick(gui::TComponent* sender);
  void lbLanguageDrawItem(gui::TComponent* sender, int index, gui::TRect rect, uint8_t state);

 protected:
  void DoShow() override;

 private:
  TLabelEx* CreateInfoLabel(int top, bool bold);

  std::vector<TLanguageEntry> FLanguageList;
};
