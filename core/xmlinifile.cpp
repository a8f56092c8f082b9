#include "xmlinifile.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <optional>

#include "folders.h"
#include "regularfile.h"
#include "replacementfile.h"
#include "textconv.h"

namespace {

constexpr std::u16string_view Declaration = u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>";
constexpr std::u16string_view LineEnd = u"\r\n";

// ---- text ----

std::u16string UnitsOf(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                     static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
  return units;
}

std::string BytesOf(std::u16string_view units) {
  std::string bytes(units.size() * 2, '\0');
  for (size_t i = 0; i < units.size(); ++i) {
    bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
  return bytes;
}

// Values may hold any text: "&", the quote that ends the attribute and the
// "<" that would end the section early are written as XML entities.
void AppendEscaped(std::u16string& out, std::u16string_view value) {
  for (const char16_t c : value) {
    if (c == u'&') out += u"&amp;";
    else if (c == u'"') out += u"&quot;";
    else if (c == u'<') out += u"&lt;";
    else out += c;
  }
}

// Decodes only the three entities the writer produces; any other "&" is
// text (older files and hand-written language files hold it as such).
std::u16string Unescape(std::u16string_view value) {
  static constexpr std::array<std::pair<std::u16string_view, char16_t>, 3> Entities = {{
      {u"&amp;", u'&'}, {u"&quot;", u'"'}, {u"&lt;", u'<'}}};
  std::u16string out;
  out.reserve(value.size());
  size_t i = 0;
  while (i < value.size()) {
    const size_t amp = value.find(u'&', i);
    out.append(value.substr(i, amp - i));
    if (amp == std::u16string_view::npos) break;
    i = amp + 1;
    char16_t decoded = u'&';
    for (const auto& [entity, c] : Entities) {
      if (value.substr(amp).starts_with(entity)) {
        decoded = c;
        i = amp + entity.size();
        break;
      }
    }
    out += decoded;
  }
  return out;
}

bool IsCSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

std::optional<unsigned> HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return std::nullopt;
}

// The C library's unsigned hexadecimal conversion on a 32-bit unsigned long:
// white space, an optional sign and "0x" prefix, then digits up to the first
// other character. Overflow gives 0xFFFFFFFF whatever the sign.
int32_t HexValue(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  if (i + 2 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
      HexDigit(text[i + 2]))
    i += 2;
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const auto digit = HexDigit(text[i]);
    if (!digit) break;
    value = value * 16 + *digit;
    if (value > 0xFFFFFFFFu) return -1;
  }
  const uint32_t magnitude = static_cast<uint32_t>(value);
  return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Appends the run of decimal digits at text[i] to `out`; returns how many.
size_t TakeDigits(std::u16string_view text, size_t& i, std::string& out) {
  const size_t start = i;
  for (; i < text.size() && IsDigit(text[i]); ++i) out += static_cast<char>(text[i]);
  return i - start;
}

// A finite decimal number at the start of the text (after white space):
// [sign] digits [. digits] [e [sign] digits]. Anything else, and a number
// beyond the range of a double, gives 0.0.
double DecimalValue(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  std::string number;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    if (text[i] == u'-') number += '-';
    ++i;
  }
  size_t digits = TakeDigits(text, i, number);
  if (i < text.size() && text[i] == u'.') {
    number += '.';
    ++i;
    digits += TakeDigits(text, i, number);
  }
  if (digits == 0) return 0.0;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    std::string exponent = "e";
    size_t j = i + 1;
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) exponent += static_cast<char>(text[j++]);
    if (TakeDigits(text, j, exponent) > 0) number += exponent;
  }
  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  return result.ec == std::errc() ? value : 0.0;
}

std::u16string IntegerText(int32_t value) {
  std::array<char, 16> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                    static_cast<uint32_t>(value), 16);
  return rtl::AsciiToUtf16(std::string_view(buffer.data(), result.ptr - buffer.data()));
}

std::u16string FloatText(double value) {
  // Fixed notation: up to 309 integer digits, a sign, a point and 16 decimals.
  std::array<char, 400> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, 16);
  return rtl::AsciiToUtf16(std::string_view(buffer.data(), result.ptr - buffer.data()));
}

// The first maxLength units (all with 0), without a high surrogate whose
// partner falls outside.
std::u16string Truncated(std::u16string_view text, size_t maxLength) {
  if (maxLength == 0 || text.size() <= maxLength) return std::u16string(text);
  size_t length = maxLength;
  if (text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
  return std::u16string(text.substr(0, length));
}

// The first maxLength characters of UTF-8 text (all with 0).
std::string TruncatedUtf8(std::string_view text, size_t maxLength) {
  if (maxLength == 0) return std::string(text);
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool continuation = (static_cast<uint8_t>(text[i]) & 0xC0) == 0x80;
    if (!continuation && characters++ == maxLength) return std::string(text.substr(0, i));
  }
  return std::string(text);
}

}  // namespace

XmlIniFile::~XmlIniFile() {
  if (Dirty) Save();
}

bool XmlIniFile::Open(std::u16string_view fileName, std::u16string_view rootName, bool load) {
  Path = fileName;
  OpenTag = u"<" + std::u16string(rootName) + u">";
  CloseTag = u"</" + std::u16string(rootName) + u">";
  LoadError = 0;
  if (!load) return true;
  std::string bytes;
  int error = 0;
  if (!rtl::ReadRegularFile(Path, MaxFileBytes, bytes, error)) {
    // Only a file that isn't there is an empty document; one that is there
    // but can't be read is not, or its first save would replace it.
    if (error == ENOENT) return true;
    LoadError = error;
    return false;
  }
  return Parse(bytes);
}

bool XmlIniFile::Save() {
  // A file that is there but couldn't be read holds what this document
  // lacks; it is never replaced by it.
  SaveError = Path.empty() ? ENOENT : LoadError;
  if (SaveError != 0) return false;
  if (!ReplaceFile(Path, Serialize(), SaveError)) return false;
  Dirty = false;
  return true;
}

std::string XmlIniFile::Serialize() const {
  std::u16string text;
  text.append(Declaration).append(LineEnd).append(OpenTag).append(LineEnd);
  for (const TSection& section : Sections) {
    // A section without keys vanishes on saving.
    if (section.Keys.empty()) continue;
    text.append(u"<").append(section.Name).append(u">").append(LineEnd);
    for (const TKey& key : section.Keys) {
      text.append(u" <").append(key.Name).append(u" value = \"");
      AppendEscaped(text, key.Value);
      text.append(u"\"/>").append(LineEnd);
    }
    text.append(u"</").append(section.Name).append(u">").append(LineEnd);
  }
  text.append(CloseTag);
  return BytesOf(text);
}

bool XmlIniFile::Parse(std::string_view fileBytes) {
  // An empty file is malformed: it has no root element.
  const std::u16string units = UnitsOf(fileBytes);
  const std::u16string_view text = units;
  if (OpenTag.empty()) return false;
  const size_t open = text.find(OpenTag);
  if (open == std::u16string_view::npos) return false;
  const size_t start = open + OpenTag.size();
  const size_t close = text.find(CloseTag, start);
  if (close == std::u16string_view::npos) return false;
  return ParseSections(text.substr(start, close - start));
}

// Each section is "<name>", key elements, "</name>". The name is taken as it
// stands up to ">" (white space and attributes included); its end is the
// first closing tag of that name.
bool XmlIniFile::ParseSections(std::u16string_view content) {
  size_t pos = 0;
  for (;;) {
    const size_t lt = content.find(u'<', pos);
    if (lt == std::u16string_view::npos) return true;
    const size_t gt = content.find(u'>', lt + 1);
    if (gt == std::u16string_view::npos) return false;
    // A name holding "<" is no section of ours; refusing it also keeps the
    // search for its closing tag linear in the text.
    if (content.substr(lt + 1, gt - lt - 1).find(u'<') != std::u16string_view::npos) return false;
    TSection& section = Sections.emplace_back();
    section.Name = content.substr(lt + 1, gt - lt - 1);
    const std::u16string endTag = u"</" + section.Name + u">";
    pos = gt + 1;
    const size_t sectionEnd = content.find(endTag, pos);
    if (sectionEnd == std::u16string_view::npos) return false;
    if (!ParseKeys(content.substr(0, sectionEnd), pos, section)) return false;
    pos = sectionEnd + endTag.size();
  }
}

// Each key is "<name", a space or tab, anything up to the first
// double-quoted text (the value), then anything up to ">". Every scan stops
// at the section's closing tag, the end of `keys`.
bool XmlIniFile::ParseKeys(std::u16string_view keys, size_t& pos, TSection& section) {
  for (;;) {
    const size_t lt = keys.find(u'<', pos);
    if (lt == std::u16string_view::npos) return true;
    const size_t nameEnd = keys.find_first_of(u" \t", lt + 1);
    if (nameEnd == std::u16string_view::npos) return false;
    const size_t valueStart = keys.find(u'"', nameEnd);
    if (valueStart == std::u16string_view::npos) return false;
    const size_t valueEnd = keys.find(u'"', valueStart + 1);
    if (valueEnd == std::u16string_view::npos) return false;
    const size_t gt = keys.find(u'>', valueEnd + 1);
    if (gt == std::u16string_view::npos) return false;
    section.Keys.push_back({std::u16string(keys.substr(lt + 1, nameEnd - lt - 1)),
                            Unescape(keys.substr(valueStart + 1, valueEnd - valueStart - 1))});
    pos = gt + 1;
  }
}

const std::u16string* XmlIniFile::FindValue(std::u16string_view section,
                                            std::u16string_view key) const {
  // A section name may occur more than once in a file; every occurrence is
  // searched, in file order.
  for (const TSection& s : Sections) {
    if (s.Name != section) continue;
    for (const TKey& k : s.Keys)
      if (k.Name == key) return &k.Value;
  }
  return nullptr;
}

void XmlIniFile::SetValue(std::u16string_view section, std::u16string_view key,
                          std::u16string value) {
  Dirty = true;
  TSection* target = nullptr;
  for (TSection& s : Sections) {
    if (s.Name == section) {
      target = &s;
      break;
    }
  }
  if (!target) {
    target = &Sections.emplace_back();
    target->Name = section;
  }
  for (TKey& k : target->Keys) {
    if (k.Name == key) {
      k.Value = std::move(value);
      return;
    }
  }
  target->Keys.push_back({std::u16string(key), std::move(value)});
}

int32_t XmlIniFile::ReadInteger(std::u16string_view section, std::u16string_view key,
                                int32_t defaultValue) const {
  const std::u16string* value = FindValue(section, key);
  return value ? HexValue(*value) : defaultValue;
}

void XmlIniFile::WriteInteger(std::u16string_view section, std::u16string_view key, int32_t value) {
  SetValue(section, key, IntegerText(value));
}

double XmlIniFile::ReadFloat(std::u16string_view section, std::u16string_view key,
                             double defaultValue) const {
  const std::u16string* value = FindValue(section, key);
  return value ? DecimalValue(*value) : defaultValue;
}

void XmlIniFile::WriteFloat(std::u16string_view section, std::u16string_view key, double value) {
  SetValue(section, key, FloatText(value));
}

std::u16string XmlIniFile::ReadString(std::u16string_view section, std::u16string_view key,
                                      std::u16string_view defaultValue, size_t maxLength) const {
  const std::u16string* value = FindValue(section, key);
  return Truncated(value ? *value : defaultValue, maxLength);
}

void XmlIniFile::WriteString(std::u16string_view section, std::u16string_view key,
                             std::u16string_view text) {
  SetValue(section, key, std::u16string(text));
}

std::string XmlIniFile::ReadStringA(std::u16string_view section, std::u16string_view key,
                                    std::string_view defaultValue, size_t maxLength) const {
  const std::u16string* value = FindValue(section, key);
  if (!value) return TruncatedUtf8(defaultValue, maxLength);
  std::string ansi = rtl::Utf16ToWindows1252(*value);
  if (maxLength != 0 && ansi.size() > maxLength) ansi.resize(maxLength);
  return rtl::Windows1252ToUtf8(ansi);
}

void XmlIniFile::WriteStringA(std::u16string_view section, std::u16string_view key,
                              std::string_view text) {
  SetValue(section, key, rtl::Windows1252ToUtf16(rtl::Utf8ToWindows1252(text)));
}
