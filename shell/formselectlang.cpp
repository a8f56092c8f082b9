#include "formselectlang.h"

#include <algorithm>
#include <filesystem>

#include "bitmapbutton.h"
#include "canvas.h"
#include "folders.h"
#include "labelex.h"
#include "listbox.h"
#include "panel.h"
#include "panelex.h"
#include "pathfunctions.h"
#include "textconv.h"
#include "xmlinifile.h"

namespace {

namespace fs = std::filesystem;

enum TAboutText : size_t { atName, atLine1 };

constexpr gui::TColor ListColor = 0xE1FFFF;
constexpr gui::TColor SelectedColor = 0x00FFFF;
// The "About" values are read into buffers of 199 units and a terminator.
constexpr size_t MaxAboutLength = 199;
constexpr int ItemHeight = 16;

std::u16string ReadAbout(const XmlIniFile& document, TAboutText text, size_t line = 0) {
  const TTextKey& key = TfSelectLang::LangKeys[text + line];
  return document.ReadString(key.Section, key.Key, u"", MaxAboutLength);
}

// The names of the "*.xml" files of the folder, in name order, at most
// MaxLanguageFiles of them.
std::vector<std::u16string> LanguageFileNames(std::u16string_view folder) {
  std::vector<std::u16string> names;
  std::error_code error;
  fs::directory_iterator it(rtl::NativePath(folder), error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    std::u16string name = rtl::Utf8ToUtf16(it->path().filename().string());
    if (rtl::StrCmpIW(rtl::PathFindExtensionW(name), u".xml") == 0) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  if (names.size() > MaxLanguageFiles) names.resize(MaxLanguageFiles);
  return names;
}

}  // namespace

int CompareLanguageEntries(const TLanguageEntry& a, const TLanguageEntry& b) {
  const int order = a.Name.compare(b.Name);
  return order > 0 ? 1 : order < 0 ? -1 : 0;
}

std::vector<TLanguageEntry> ListLanguages(std::u16string_view folder) {
  std::vector<TLanguageEntry> entries;
  for (const std::u16string& name : LanguageFileNames(folder)) {
    TLanguageEntry entry;
    entry.Path = folder;
    rtl::PathAppendW(entry.Path, name);
    XmlIniFile document;
    // A malformed file reads as far as it is sound; without a name it is
    // not listed.
    LoadLanguageDocument(entry.Path, document);
    entry.Name = ReadAbout(document, atName);
    if (entry.Name.empty()) continue;
    for (size_t i = 0; i < entry.Lines.size(); ++i) entry.Lines[i] = ReadAbout(document, atLine1, i);
    entries.push_back(std::move(entry));
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const TLanguageEntry& a, const TLanguageEntry& b) { return CompareLanguageEntries(a, b) < 0; });
  return entries;
}

TfSelectLang::TfSelectLang(gui::TComponent* owner, std::u16string_view languageFolder)
    : TWindowFrame(owner, FrameSelectLang), FLanguageList(ListLanguages(languageFolder)) {
  LayoutFrame(382, 170);
  SetPosition(gui::poDesktopCenter);

  peSelectLang = new TPanelEx(this);
  peSelectLang->SetParent(pWindow);
  peSelectLang->SetBounds(8, 8, 366, 121);
  peSelectLang->SetBorderStyle(pbsRounded);
  peSelectLang->SetFaceColor(WorkPanelColor);
  peSelectLang->SetBevelOuter(gui::bvNone);

  lbLanguage = new gui::TListBox(this);
  lbLanguage->SetParent(peSelectLang);
  lbLanguage->SetStyle(gui::lbOwnerDrawFixed);
  lbLanguage->SetItemHeight(ItemHeight);
  lbLanguage->SetIntegralHeight(true);
  lbLanguage->SetColor(ListColor);
  lbLanguage->SetBounds(10, 12, 133, 95);
  lbLanguage->SetTabStop(true);
  lbLanguage->OnClick = [this](gui::TComponent* sender) { lbLanguageClick(sender); };
  lbLanguage->OnDrawItem = [this](gui::TComponent* sender, int index, gui::TRect rect, gui::TOwnerDrawState state) {
    lbLanguageDrawItem(sender, index, rect, state);
  };

  leName = CreateInfoLabel(12, true);
  for (size_t i = 0; i < leLines.size(); ++i) leLines[i] = CreateInfoLabel(36 + 16 * static_cast<int>(i), false);

  bOK = new TBitmapButton(this);
  bOK->SetParent(pWindow);
  bOK->SetBounds(382 - 8 - 75, 170 - 8 - 25, 75, 25);
  bOK->SetCaption("OK");
  bOK->Font().SetStyle(gui::fsBold);
  bOK->Font().SetColor(gui::clBlack);
  bOK->SetBorderColor(gui::clGray);
  bOK->SetBorderOver(gui::clYellow);
  bOK->SetParentColor(true);
  bOK->OnClick = [this](gui::TComponent* sender) { bOKClick(sender); };

  // Enter chooses; Esc does nothing, as there is nothing to cancel to.
  EnterAction = [this] { bOKClick(this); };
}

TLabelEx* TfSelectLang::CreateInfoLabel(int top, bool bold) {
  auto* label = new TLabelEx(this);
  label->SetParent(peSelectLang);
  label->SetAutoSize(false);
  label->SetBounds(155, top, 366 - 155 - 8, 14);
  label->SetParentColor(false);
  label->SetColor(WorkPanelColor);
  // The language file's own name and lines, shown as the list shows them.
  label->SetShowAccelChar(false);
  label->Font().SetColor(gui::clBlack);
  if (bold) label->Font().SetStyle(gui::fsBold);
  return label;
}

std::u16string TfSelectLang::ChosenPath() const {
  const int index = lbLanguage->ItemIndex();
  if (index < 0 || static_cast<size_t>(index) >= FLanguageList.size()) return {};
  return FLanguageList[static_cast<size_t>(index)].Path;
}

void TfSelectLang::DoShow() {
  TWindowFrame::DoShow();
  leCaption->SetCaption("");
  leCaption->SetCaptionW(u"");
  lbLanguage->Items().Clear();
  for (size_t i = 0; i < FLanguageList.size(); ++i) lbLanguage->Items().Add(rtl::AsciiToUtf16(std::to_string(i + 1)));
  if (FLanguageList.empty()) return;
  lbLanguage->SetItemIndex(0);
  lbLanguageClick(lbLanguage);
  SetActiveControl(lbLanguage);
}

void TfSelectLang::bOKClick(gui::TComponent*) {
  if (Modal())
    SetModalResult(gui::mrOk);
  else
    Close();
}

void TfSelectLang::lbLanguageClick(gui::TComponent*) {
  const int index = lbLanguage->ItemIndex();
  if (index < 0 || static_cast<size_t>(index) >= FLanguageList.size()) return;
  const TLanguageEntry& entry = FLanguageList[static_cast<size_t>(index)];
  leName->SetCaptionW(entry.Name);
  for (size_t i = 0; i < leLines.size(); ++i) leLines[i]->SetCaptionW(entry.Lines[i]);
}

void TfSelectLang::lbLanguageDrawItem(gui::TComponent*, int index, gui::TRect rect, uint8_t state) {
  if (index < 0 || static_cast<size_t>(index) >= FLanguageList.size()) return;
  gui::TCanvas& c = lbLanguage->Canvas();
  const gui::TColor fill = (state & gui::odSelected) ? SelectedColor : ListColor;
  c.Brush() = {fill, gui::bsSolid};
  c.FillRect(rect);
  c.Font().SetColor(gui::clBlack);
  c.SetBkMode(gui::bkOpaque);
  c.SetBkColor(fill);
  c.SetTextAlign(gui::TA_LEFT | gui::TA_TOP);
  c.TextOut(rect.Left + 16, rect.Top + 1, std::u16string_view(FLanguageList[static_cast<size_t>(index)].Name));
  c.TextOut(rect.Left + 2, rect.Top + 1, rtl::AsciiToUtf16(std::to_string(index + 1) + ":"));
}
