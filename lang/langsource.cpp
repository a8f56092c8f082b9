#include "langsource.h"

#include <algorithm>

#include "textconv.h"

namespace {

// Thrown only inside this unit: the recursive-descent steps report a fault
// by throwing, ParseLangSource turns it into its false result.
struct TSourceFault {
  size_t Pos;
  std::string What;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-'; }

}  // namespace

bool IsLangName(std::string_view name) {
  if (name.empty() || !IsNameStart(name[0])) return false;
  return std::all_of(name.begin(), name.end(), IsNameChar);
}

namespace {

class TSourceReader {
 public:
  explicit TSourceReader(std::string_view text) : Text(text) {}

  void Read(TLangSource& out) {
    SkipBom();
    SkipMisc(out, true);
    ReadRoot(out);
    SkipMisc(out, false);
    if (Pos < Text.size()) Fail("text after the closing root tag");
  }

  int LineAt(size_t pos) const {
    pos = std::min(pos, Text.size());
    return 1 + static_cast<int>(std::count(Text.begin(), Text.begin() + pos, '\n'));
  }

 private:
  [[noreturn]] void Fail(std::string what) const { throw TSourceFault{Pos, std::move(what)}; }

  bool At(std::string_view s) const { return Text.substr(Pos, s.size()) == s; }

  void Expect(std::string_view s) {
    if (!At(s)) Fail("expected \"" + std::string(s) + "\"");
    Pos += s.size();
  }

  void SkipSpace() {
    while (Pos < Text.size() && IsSpace(Text[Pos])) ++Pos;
  }

  void SkipBom() {
    if (At("\xEF\xBB\xBF")) Pos += 3;
  }

  // White space, comments and (before the root only) the declaration.
  void SkipMisc(TLangSource& out, bool prolog) {
    for (;;) {
      SkipSpace();
      if (At("<!--")) {
        ReadComment(out);
      } else if (prolog && At("<?")) {
        size_t end = Text.find("?>", Pos);
        if (end == std::string_view::npos) Fail("unterminated declaration");
        Pos = end + 2;
      } else {
        return;
      }
    }
  }

  void ReadComment(TLangSource& out) {
    size_t start = Pos;
    size_t end = Text.find("-->", Pos + 4);
    if (end == std::string_view::npos) Fail("unterminated comment");
    out.Comments.push_back({std::string(Text.substr(start + 4, end - start - 4)), LineAt(start)});
    Pos = end + 3;
  }

  std::u16string ReadName() {
    size_t start = Pos;
    if (Pos >= Text.size() || !IsNameStart(Text[Pos])) Fail("expected a name");
    while (Pos < Text.size() && IsNameChar(Text[Pos])) ++Pos;
    return rtl::Utf8ToUtf16(Text.substr(start, Pos - start));
  }

  // "<Name>" with nothing else inside the tag.
  std::u16string ReadStartTag() {
    Expect("<");
    std::u16string name = ReadName();
    SkipSpace();
    if (!At(">")) Fail("a section or root tag takes no attributes");
    ++Pos;
    return name;
  }

  void ReadEndTag(const std::u16string& name) {
    std::string expected = "</" + rtl::Utf16ToUtf8(name) + ">";
    if (!At(expected)) Fail("expected \"" + expected + "\"");
    Pos += expected.size();
  }

  // Comments and white space inside an element; anything else but a tag is
  // stray text, which the store would silently skip.
  void SkipContent(TLangSource& out) {
    for (;;) {
      SkipSpace();
      if (!At("<!--")) break;
      ReadComment(out);
    }
    if (Pos < Text.size() && Text[Pos] != '<') Fail("text outside a value");
    if (Pos >= Text.size()) Fail("unexpected end of the file");
  }

  void ReadRoot(TLangSource& out) {
    if (!At("<") || At("</")) Fail("expected the root element");
    out.Root = ReadStartTag();
    for (;;) {
      SkipContent(out);
      if (At("</")) break;
      ReadSection(out);
    }
    ReadEndTag(out.Root);
  }

  void ReadSection(TLangSource& out) {
    TLangSection section;
    section.Line = LineAt(Pos);
    section.Name = ReadStartTag();
    for (;;) {
      SkipContent(out);
      if (At("</")) break;
      section.Keys.push_back(ReadKey());
    }
    ReadEndTag(section.Name);
    out.Sections.push_back(std::move(section));
  }

  TLangKey ReadKey() {
    TLangKey key;
    key.Line = LineAt(Pos);
    Expect("<");
    key.Name = ReadName();
    if (Pos < Text.size() && !IsSpace(Text[Pos])) Fail("expected the attribute \"value\"");
    SkipSpace();
    if (ReadName() != u"value") Fail("the only attribute of a key is \"value\"");
    SkipSpace();
    Expect("=");
    SkipSpace();
    key.Value = ReadQuoted();
    SkipSpace();
    if (At(">")) Fail("a key element must be empty (\"/>\")");
    Expect("/>");
    return key;
  }

  std::u16string ReadQuoted() {
    if (Pos >= Text.size() || (Text[Pos] != '"' && Text[Pos] != '\''))
      Fail("expected a quoted value");
    char quote = Text[Pos++];
    std::string value;
    while (Pos < Text.size() && Text[Pos] != quote) {
      if (Text[Pos] == '<') Fail("\"<\" in a value");
      if (Text[Pos] == '&') {
        value += ReadEntity();
      } else {
        value += Text[Pos++];
      }
    }
    if (Pos >= Text.size()) Fail("unterminated value");
    ++Pos;
    std::u16string wide = rtl::Utf8ToUtf16(value);
    if (rtl::Utf16ToUtf8(wide) != value) Fail("the value is not valid UTF-8");
    return wide;
  }

  char ReadEntity() {
    static constexpr std::pair<std::string_view, char> Entities[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}};
    for (const auto& [name, c] : Entities) {
      if (At(name)) {
        Pos += name.size();
        return c;
      }
    }
    Fail("unknown entity (use &amp; &quot; &lt; &gt; &apos;)");
  }

  std::string_view Text;
  size_t Pos = 0;
};

// What the store can read back, and what a user should never see.
std::string ValueFault(std::u16string_view value) {
  if (value.empty()) return "empty value";
  if (value == u"###") return "the value \"###\" reads as a missing key";
  for (char16_t c : value) {
    if (c == u'"') return "a double quote in a value cannot be read back";
    if (c == u'<' || c == u'>') return "\"<\" or \">\" in a value would break the store's layout";
    if (c < 0x20) return "a control character in a value (write \"|\" for a line break)";
  }
  return {};
}

std::string KeyFault(const TLangSection& section, size_t index) {
  const TLangKey& key = section.Keys[index];
  for (size_t i = 0; i < index; ++i) {
    if (section.Keys[i].Name == key.Name) {
      return "key \"" + rtl::Utf16ToUtf8(key.Name) + "\" defined twice in section \"" +
             rtl::Utf16ToUtf8(section.Name) + "\" (first on line " +
             std::to_string(section.Keys[i].Line) + ")";
    }
  }
  std::string fault = ValueFault(key.Value);
  if (!fault.empty()) fault = "key \"" + rtl::Utf16ToUtf8(key.Name) + "\": " + fault;
  return fault;
}

std::string SectionFault(const TLangSource& source, size_t index) {
  const TLangSection& section = source.Sections[index];
  std::string name = rtl::Utf16ToUtf8(section.Name);
  if (section.Name == source.Root) {
    return "section \"" + name + "\" has the root's name; the store would end the root there";
  }
  for (size_t i = 0; i < index; ++i) {
    if (source.Sections[i].Name == section.Name) {
      return "section \"" + name + "\" defined twice (first on line " +
             std::to_string(source.Sections[i].Line) + ")";
    }
  }
  if (section.Keys.empty()) return "section \"" + name + "\" has no keys; the store drops it";
  if (section.Keys.size() > MaxLangKeysPerSection) {
    return "section \"" + name + "\" has more than 256 keys";
  }
  return {};
}

// Faults of the document as a whole; line 0 when no single line is to blame.
bool CheckSource(const TLangSource& source, std::string& error) {
  if (source.Sections.size() > MaxLangSections) {
    error = "line 0: more than 256 sections";
    return false;
  }
  for (size_t s = 0; s < source.Sections.size(); ++s) {
    const TLangSection& section = source.Sections[s];
    if (std::string fault = SectionFault(source, s); !fault.empty()) {
      error = "line " + std::to_string(section.Line) + ": " + fault;
      return false;
    }
    for (size_t k = 0; k < section.Keys.size(); ++k) {
      if (std::string fault = KeyFault(section, k); !fault.empty()) {
        error = "line " + std::to_string(section.Keys[k].Line) + ": " + fault;
        return false;
      }
    }
  }
  return true;
}

}  // namespace

const TLangSection* TLangSource::FindSection(std::u16string_view name) const {
  for (const TLangSection& section : Sections) {
    if (section.Name == name) return &section;
  }
  return nullptr;
}

const TLangKey* TLangSource::FindKey(std::u16string_view section, std::u16string_view key) const {
  const TLangSection* found = FindSection(section);
  if (!found) return nullptr;
  for (const TLangKey& k : found->Keys) {
    if (k.Name == key) return &k;
  }
  return nullptr;
}

size_t TLangSource::KeyCount() const {
  size_t count = 0;
  for (const TLangSection& section : Sections) count += section.Keys.size();
  return count;
}

bool ParseLangSource(std::string_view utf8, TLangSource& out, std::string& error) {
  out = TLangSource{};
  TSourceReader reader(utf8);
  try {
    reader.Read(out);
  } catch (const TSourceFault& fault) {
    error = "line " + std::to_string(reader.LineAt(fault.Pos)) + ": " + fault.What;
    return false;
  }
  return CheckSource(out, error);
}
