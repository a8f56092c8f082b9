#pragma once
// Text rules of DrawText, kept pure: accelerator prefixes and line breaking.
// Widths come from a measuring function, so the rules are tested with any
// font, or with none.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace gui {

struct TPrefixedText {
  std::u16string Text;              // the text as shown
  std::vector<size_t> Underlined;   // indexes into Text of underlined characters
};

// "&" underlines the character after it and is not shown; "&&" shows one "&";
// a lone "&" at the end is dropped.
TPrefixedText ParsePrefix(std::u16string_view text);

using TMeasure = std::function<int(std::u16string_view)>;

// The lines of a text as DrawText lays them out. Single-line: one line, line
// breaks removed. Otherwise a line feed (with or without a carriage return
// before it) starts a new line; with wordBreak, words (split at blanks) that
// would cross `width` move to the next line and a word wider than `width`
// stands alone on its line. Blanks at a break are dropped.
std::vector<std::u16string> BreakTextLines(std::u16string_view text, int width, bool wordBreak, bool singleLine,
                                           const TMeasure& measure);

// The text with line feeds added so that no line is wider than maxWidth by
// `measure`: breaks at blanks, and a word wider than a line (a long path)
// is cut between characters, never inside a surrogate pair; line feeds of
// the text stay. Every character of the text is kept, so a label that
// draws line feeds but does not wrap by itself shows the whole text.
std::u16string WrapText(std::u16string_view text, int maxWidth, const TMeasure& measure);

// How much of a text `textHeight` pixels high a message box shows: the box
// grows with its text from `minHeight` until the whole box (its text and
// `chrome`, everything else of its height) takes MessageScreenPercent of a
// work area `workAreaHeight` high; a taller text scrolls in that view.
constexpr int MessageScreenPercent = 80;
struct TTextView {
  int ViewHeight = 0;
  bool Scrolls = false;
};
TTextView GrowingTextView(int textHeight, int minHeight, int chrome, int workAreaHeight);

}  // namespace gui
