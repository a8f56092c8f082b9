#include "textlayout.h"

#include <algorithm>

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


namespace {

// Greedy wrapping of one line without line feeds.
void WrapLine(std::u16string_view line, int maxWidth, const TMeasure& measure,
              std::u16string& out) {
  std::u16string current;
  size_t pos = 0;
  while (pos < line.size()) {
    const size_t blank = line.find(u' ', pos);
    const size_t end = blank == std::u16string_view::npos ? line.size() : blank;
    const std::u16string_view word = line.substr(pos, end - pos);
    std::u16string candidate = current.empty() ? std::u16string(word) : current + u" " + std::u16string(word);
    if (measure(candidate) <= maxWidth || candidate.empty()) {
      current = std::move(candidate);
    } else {
      if (!current.empty()) out += current + u"\n";
      current.clear();
      // A word wider than the line is cut where it stops fitting.
      for (size_t i = 0; i < word.size();) {
        // One character: a surrogate pair is never cut.
        const bool pair = word[i] >= 0xD800 && word[i] <= 0xDBFF && i + 1 < word.size();
        const std::u16string_view piece = word.substr(i, pair ? 2 : 1);
        if (!current.empty() && measure(current + std::u16string(piece)) > maxWidth) {
          out += current + u"\n";
          current.clear();
        }
        current += piece;
        i += piece.size();
      }
    }
    pos = end + 1;
  }
  out += current;
}

}  // namespace

std::u16string WrapText(std::u16string_view text, int maxWidth, const TMeasure& measure) {
  std::u16string out;
  size_t start = 0;
  for (;;) {
    const size_t feed = text.find(u'\n', start);
    WrapLine(text.substr(start, feed == std::u16string_view::npos ? std::u16string_view::npos : feed - start),
             maxWidth, measure, out);
    if (feed == std::u16string_view::npos) return out;
    out += u'\n';
    start = feed + 1;
  }
}

TTextView GrowingTextView(int textHeight, int minHeight, int chrome, int workAreaHeight) {
  const int fitting = std::max(minHeight, workAreaHeight * MessageScreenPercent / 100 - chrome);
  TTextView view;
  view.ViewHeight = std::min(std::max(textHeight, minHeight), fitting);
  view.Scrolls = textHeight > view.ViewHeight;
  return view;
}

}  // namespace gui
