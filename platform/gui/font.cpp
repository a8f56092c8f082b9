#include "font.h"

#include <algorithm>
#include <cctype>

#include "geometry.h"

namespace gui {

namespace {

// A height at another resolution: character heights keep their point size,
// cell heights scale.
int ConvertHeight(int height, int fromPpi, int toPpi) {
  if (fromPpi == toPpi) return height;
  if (height < 0) return -MulDiv(-MulDiv(height, 72, fromPpi), toPpi, 72);
  return MulDiv(height, toPpi, fromPpi);
}

}  // namespace

TFont::TFont() = default;

TFont::TFont(const TFont& other)
    : FName(other.FName),
      FHeight(other.FHeight),
      FStyle(other.FStyle),
      FColor(other.FColor),
      FPixelsPerInch(other.FPixelsPerInch) {}

TFont& TFont::operator=(const TFont& other) {
  if (this != &other) {
    FName = other.FName;
    FHeight = other.FHeight;
    FStyle = other.FStyle;
    FColor = other.FColor;
    FPixelsPerInch = other.FPixelsPerInch;
    Changed();
  }
  return *this;
}

void TFont::Assign(const TFont& other) {
  if (this == &other) return;
  FName = other.FName;
  FStyle = other.FStyle;
  FColor = other.FColor;
  FHeight = ConvertHeight(other.FHeight, other.FPixelsPerInch, FPixelsPerInch);
  Changed();
}

void TFont::SetName(const std::string& name) {
  if (name == FName) return;
  FName = name;
  Changed();
}

void TFont::SetHeight(int height) {
  if (height == FHeight) return;
  FHeight = height;
  Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, FPixelsPerInch, 72)); }

void TFont::SetStyle(TFontStyles style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TFont::SetPixelsPerInch(int ppi) {
  if (ppi <= 0 || ppi == FPixelsPerInch) return;
  FHeight = ConvertHeight(FHeight, FPixelsPerInch, ppi);
  FPixelsPerInch = ppi;
  Changed();
}

bool operator==(const TFont& a, const TFont& b) {
  return a.FName == b.FName && a.FHeight == b.FHeight && a.FStyle == b.FStyle && a.FColor == b.FColor &&
         a.FPixelsPerInch == b.FPixelsPerInch;
}

void TFont::Changed() {
  if (OnChange) OnChange();
}

namespace {

std::string Lower(const std::string& s) {
  std::string r = s;
  std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return r;
}

}  // namespace

std::vector<std::string> FontFamiliesFor(const std::string& name) {
  static const char* const Mapped[] = {"", "ms sans serif", "microsoft sans serif", "tahoma", "arial",
                                       "small fonts", "ms shell dlg", "ms shell dlg 2"};
  const std::string key = Lower(name);
  std::vector<std::string> families;
  if (std::find(std::begin(Mapped), std::end(Mapped), key) == std::end(Mapped)) families.push_back(name);
  families.push_back("Liberation Sans");
  families.push_back("DejaVu Sans");
  return families;
}

}  // namespace gui
