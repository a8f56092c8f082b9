#pragma once
// TFont: face, height, style and colour of text. The height follows the
// Windows convention in pixels: negative for the character (em) height,
// positive for the cell height (ascent + descent). Size is the same height in
// points at the font's PixelsPerInch (96 on screen, the printer's resolution
// on a printer canvas). Face names of the windows' descriptions are mapped to
// installed metric-compatible faces when drawn (FontFamiliesFor).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "color.h"

namespace gui {

using TFontStyles = uint8_t;
constexpr TFontStyles fsBold = 0x01;
constexpr TFontStyles fsItalic = 0x02;
constexpr TFontStyles fsUnderline = 0x04;
constexpr TFontStyles fsStrikeOut = 0x08;

// The toolkit's default font: 8 pt of the sans-serif face.
inline constexpr const char* DefaultFontName = "MS Sans Serif";
constexpr int DefaultFontSize = 8;

class TFont {
 public:
  TFont();
  TFont(const TFont& other);
  TFont& operator=(const TFont& other);

  // Copies face, height, style and colour (not PixelsPerInch or OnChange),
  // converting the height so that the point size stays the same.
  void Assign(const TFont& other);

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name);
  int Height() const { return FHeight; }
  void SetHeight(int height);
  // Points, from the height and PixelsPerInch; setting it stores a negative
  // (character) height.
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style);
  bool Bold() const { return (FStyle & fsBold) != 0; }
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  // Weight as CreateFont takes it: 700 for bold, 400 otherwise.
  int Weight() const { return Bold() ? 700 : 400; }
  int PixelsPerInch() const { return FPixelsPerInch; }
  // Keeps the point size: the height is converted to the new resolution.
  void SetPixelsPerInch(int ppi);

  friend bool operator==(const TFont& a, const TFont& b);

  // Called after every change (controls repaint).
  std::function<void()> OnChange;

 private:
  void Changed();

  std::string FName = DefaultFontName;
  int FHeight = -11;
  TFontStyles FStyle = 0;
  TColor FColor = clWindowText;
  int FPixelsPerInch = 96;
};

// Installed faces to try, in order, for a face name of the descriptions.
// "MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "Arial", "Small Fonts"
// and empty names map to Liberation Sans, then DejaVu Sans; any other name is
// tried first and falls back to the same pair.
std::vector<std::string> FontFamiliesFor(const std::string& name);

}  // namespace gui
