#pragma once
// TBitmap: an off-screen picture of 24-bit colour with a canvas. Its canvas
// draws with GDI semantics at 96 pixels per inch. A transparent bitmap is
// drawn without its transparent colour (by default the colour of its
// bottom-left pixel).

#include <memory>
#include <string>

#include "canvas.h"
#include "color.h"

namespace gui {

class TBitmap {
 public:
  TBitmap();
  TBitmap(int width, int height);
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap& other);
  ~TBitmap();

  // Copies the picture and the transparency settings.
  void Assign(const TBitmap& other);
  int Width() const;
  int Height() const;
  // Keeps the picture's top-left part; new pixels are white.
  void SetSize(int width, int height);
  void SetWidth(int width) { SetSize(width, Height()); }
  void SetHeight(int height) { SetSize(Width(), height); }
  bool Empty() const;
  void Clear();  // no picture at all (Empty)

  TCanvas& Canvas();

  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent) { FTransparent = transparent; }
  // clNone: the colour of the bottom-left pixel.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor color) { FTransparentColor = color; }

  // BMP or PNG by the file's content (loading) or extension (saving, PNG
  // unless the name ends in ".bmp"). False when the file can't be read or
  // written.
  bool LoadFromFile(const std::string& path);
  bool SaveToFile(const std::string& path) const;

  TColor Pixel(int x, int y) const;

 private:
  friend struct detail::QtAccess;
  struct Impl;
  std::unique_ptr<Impl> FImpl;
  bool FTransparent = false;
  TColor FTransparentColor = clNone;
};

}  // namespace gui
