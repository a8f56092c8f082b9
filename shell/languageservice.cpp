#include "languageservice.h"

#include <algorithm>
#include <cerrno>

#include "application.h"
#include "color.h"
#include "control.h"
#include "folders.h"
#include "regularfile.h"
#include "xmlinifile.h"

namespace {

TLanguageService* CurrentService = nullptr;

// Language files are a few kilobytes; anything far larger is not one, and
// is not read into memory.
constexpr uint64_t MaxLanguageFileBytes = 16 * 1024 * 1024;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

TLanguageService::TLanguageService() = default;

TLanguageService::~TLanguageService() {
  if (CurrentService == this) CurrentService = nullptr;
}

bool LoadLanguageDocument(std::u16string_view path, XmlIniFile& document) {
  // The document gets the root name but no file: it is parsed from the bytes
  // read here and can never be written back.
  document.Open(u"", u"Language", false);
  std::string bytes;
  int error = 0;
  // Without a file every text is missing, which the windows show as such;
  // a file that is there but can't be read (a pipe, no permission) is a
  // failure the caller reports.
  if (!rtl::ReadRegularFile(path, MaxLanguageFileBytes, bytes, error)) return error == ENOENT;
  return document.Parse(bytes);
}

bool TLanguageService::Open(std::u16string_view path) {
  FDocument = std::make_unique<XmlIniFile>();
  return LoadLanguageDocument(path, *FDocument);
}

void TLanguageService::Close() { FDocument.reset(); }

TLangText TLanguageService::GetLangText(std::u16string_view section, std::u16string_view key) const {
  if (!FDocument) return {std::u16string(LangMissingText), false};
  TLangText result{FDocument->ReadString(section, key, LangMissingText), true};
  if (result.Text == LangMissingText) {
    result.Found = false;
    return result;
  }
  std::replace(result.Text.begin(), result.Text.end(), u'|', u'\n');
  return result;
}

bool TLanguageService::GetLangText(gui::TForm*, std::span<char16_t> buffer, std::u16string_view section,
                                   std::u16string_view key) const {
  const TLangText text = GetLangText(section, key);
  if (buffer.empty()) return text.Found;
  size_t count = std::min(text.Text.size(), buffer.size() - 1);
  // A cut between the two units of a surrogate pair would leave half a
  // character.
  if (count < text.Text.size() && count > 0 && IsHighSurrogate(text.Text[count - 1])) --count;
  std::copy_n(text.Text.begin(), count, buffer.begin());
  buffer[count] = u'\0';
  return text.Found;
}

void TLanguageService::AddToolTip(gui::TForm*, gui::TControl* control, std::u16string_view text) {
  if (!control) return;
  control->SetHint(std::u16string(text));
  control->SetShowHint(true);
}

void TLanguageService::InstallHintHandler() {
  if (gui::Application) gui::Application->SetHintColor(gui::clWhite);
}

void SetLanguageService(TLanguageService* service) { CurrentService = service; }

TLanguageService* LanguageService() { return CurrentService; }

TLangText LangText(const TTextKey& key) {
  if (!CurrentService) return {std::u16string(LangMissingText), false};
  return CurrentService->GetLangText(key);
}
