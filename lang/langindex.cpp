#include "langindex.h"

#include <sstream>

#include "textconv.h"

namespace {

std::string Trim(std::string_view s) {
  size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  size_t last = s.find_last_not_of(" \t\r");
  return std::string(s.substr(first, last - first + 1));
}

// "window Name: what" gives Name; any other line gives nothing.
bool ReadWindowLine(std::string_view line, std::string& window) {
  constexpr std::string_view Prefix = "window ";
  if (line.substr(0, Prefix.size()) != Prefix) return false;
  size_t colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  std::string name = Trim(line.substr(Prefix.size(), colon - Prefix.size()));
  // Several words may name a window; the first starts like a key name.
  if (name.empty() || !IsLangName(name.substr(0, 1))) return false;
  window = name;
  return true;
}

// "Section/Key rest" gives a use; any other line gives nothing.
bool ReadUseLine(std::string_view line, TLangUse& use) {
  size_t end = line.find_first_of(" \t");
  std::string_view word = line.substr(0, end);
  size_t slash = word.find('/');
  if (slash == std::string_view::npos) return false;
  std::string_view section = word.substr(0, slash);
  std::string_view key = word.substr(slash + 1);
  if (!IsLangName(section) || !IsLangName(key)) return false;
  use.Section = rtl::Utf8ToUtf16(section);
  use.Key = rtl::Utf8ToUtf16(key);
  use.Component = end == std::string_view::npos ? std::string() : Trim(line.substr(end));
  return true;
}

}  // namespace

std::vector<TLangUse> ReadLangIndex(const TLangSource& source) {
  std::vector<TLangUse> uses;
  std::string window;
  for (const TLangComment& comment : source.Comments) {
    std::istringstream lines(comment.Text);
    std::string raw;
    for (int offset = 0; std::getline(lines, raw); ++offset) {
      std::string line = Trim(raw);
      if (ReadWindowLine(line, window)) continue;
      TLangUse use;
      if (!ReadUseLine(line, use)) continue;
      use.Window = window;
      use.Line = comment.Line + offset;
      uses.push_back(std::move(use));
    }
  }
  return uses;
}
