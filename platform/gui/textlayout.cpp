#include "textlayout.h"

namespace gui {

TPrefixedText ParsePrefix(std::u16string_view text) {
  TPrefixedText result;
  result.Text.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'&') {
      result.Text.push_back(text[i]);
      continue;
    }
    if (i + 1 >= text.size()) break;
    ++i;
    if (text[i] != u'&') result.Underlined.push_back(result.Text.size());
    result.Text.push_back(text[i]);
  }
  return result;
}

namespace {

std::u16string TrimBlanks(std::u16string s) {
  while (!s.empty() && s.back() == u' ') s.pop_back();
  return s;
}

void BreakParagraph(std::u16string_view para, int width, const TMeasure& measure,
                    std::vector<std::u16string>& lines) {
  std::u16string line;
  size_t pos = 0;
  while (pos < para.size()) {
    // One word with the blanks that precede it.
    size_t end = pos;
    while (end < para.size() && para[end] == u' ') ++end;
    while (end < para.size() && para[end] != u' ') ++end;
    std::u16string_view word = para.substr(pos, end - pos);
    std::u16string candidate = line + std::u16string(word);
    if (!line.empty() && measure(TrimBlanks(candidate)) > width) {
      lines.push_back(TrimBlanks(line));
      size_t first = word.find_first_not_of(u' ');
      line = first == std::u16string_view::npos ? std::u16string() : std::u16string(word.substr(first));
    } else {
      line = std::move(candidate);
    }
    pos = end;
  }
  lines.push_back(TrimBlanks(line));
}

}  // namespace

std::vector<std::u16string> BreakTextLines(std::u16string_view text, int width, bool wordBreak, bool singleLine,
                                           const TMeasure& measure) {
  std::vector<std::u16string> lines;
  if (singleLine) {
    std::u16string one;
    for (char16_t c : text)
      if (c != u'\r' && c != u'\n') one.push_back(c);
    lines.push_back(std::move(one));
    return lines;
  }
  size_t start = 0;
  while (true) {
    size_t nl = text.find(u'\n', start);
    std::u16string_view para = text.substr(start, nl == std::u16string_view::npos ? text.npos : nl - start);
    if (!para.empty() && para.back() == u'\r') para.remove_suffix(1);
    if (wordBreak)
      BreakParagraph(para, width, measure, lines);
    else
      lines.emplace_back(para);
    if (nl == std::u16string_view::npos) break;
    start = nl + 1;
  }
  return lines;
}

}  // namespace gui
