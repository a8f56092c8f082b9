#pragma once
// TCanvas: drawing with GDI semantics onto a bitmap, a control or a printer
// page. Rectangles, fills and ellipses leave out their right and bottom edge;
// LineTo and Polyline leave out their last point; text is placed by the text
// alignment flags; the background of text is opaque (BkColor) or
// transparent. On bitmaps and controls every pixel follows these rules (no
// antialiasing of shapes or text); on a printer page the same calls draw
// vectors in printer pixels.
//
// A canvas draws only while it has a target: a TBitmap's canvas always has
// one, a control's canvas during its paint and whenever the control lives
// (drawing outside a paint shows at once), a printer's canvas between
// BeginDoc and EndDoc.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "brush.h"
#include "font.h"
#include "geometry.h"
#include "pen.h"

namespace gui {

class TBitmap;
namespace detail {
struct QtAccess;
}

// Text alignment (SetTextAlign): one horizontal and one vertical flag.
constexpr unsigned TA_LEFT = 0;
constexpr unsigned TA_RIGHT = 2;
constexpr unsigned TA_CENTER = 6;
constexpr unsigned TA_TOP = 0;
constexpr unsigned TA_BOTTOM = 8;
constexpr unsigned TA_BASELINE = 24;

// DrawText format flags.
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;

enum TBkMode : uint8_t { bkTransparent = 1, bkOpaque = 2 };

// Text metrics of the selected font, in device pixels (GetTextMetrics).
struct TTextMetric {
  int Height = 0;  // Ascent + Descent
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
};

// A clip region: a rectangle or the ellipse inside a rectangle
// (CreateRectRgn, CreateEllipticRgn; right and bottom exclusive).
struct TRegion {
  enum TKind : uint8_t { rkRect, rkEllipse };
  TKind Kind = rkRect;
  TRect Bounds;
  static TRegion RectRgn(const TRect& r) { return {rkRect, r}; }
  static TRegion EllipticRgn(const TRect& r) { return {rkEllipse, r}; }
};

class TCanvas {
 public:
  TCanvas();
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The objects selected into the canvas; drawing reads them at each call.
  TPen& Pen();
  TBrush& Brush();
  TFont& Font();
  // Text colour is the font colour.
  void SetTextAlign(unsigned flags);
  unsigned TextAlign() const;
  void SetBkMode(TBkMode mode);
  TBkMode BkMode() const;
  void SetBkColor(TColor color);
  TColor BkColor() const;

  // Lines with the pen.
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  TPoint PenPos() const;
  void Polyline(const std::vector<TPoint>& points);
  void Polyline(std::initializer_list<TPoint> points);

  // Shapes: outline with the pen, inside with the brush.
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  // Alternate fill; the outline closes the figure.
  void Polygon(const std::vector<TPoint>& points);
  void Polygon(std::initializer_list<TPoint> points);
  // The part of the ellipse in the bounding rectangle from the ray through
  // (x1, y1) counter-clockwise to the ray through (x2, y2); the whole
  // ellipse when both rays coincide.
  void Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);

  // Brush only.
  void FillRect(const TRect& r);
  // A one-pixel frame in the brush colour.
  void FrameRect(const TRect& r);
  // The dotted focus frame: every other pixel of the rectangle's border
  // inverted, so that drawing it twice removes it.
  void DrawFocusRect(const TRect& r);

  // Text in the font colour at (x, y) by the text alignment.
  void TextOut(int x, int y, std::u16string_view text);
  void TextOut(int x, int y, std::string_view utf8) ;
  // Text in a rectangle by the DT_ flags; returns the height of the text.
  // With DT_CALCRECT nothing is drawn and r is widened or narrowed to the
  // text (right to the widest line, bottom to the last line).
  int DrawText(std::u16string_view text, TRect& r, unsigned format);
  int DrawText(std::string_view utf8, TRect& r, unsigned format);
  TSize TextExtent(std::u16string_view text);
  TSize TextExtent(std::string_view utf8);
  int TextWidth(std::u16string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::u16string_view text) { return TextExtent(text).cy; }
  TTextMetric GetTextMetrics();

  // Bitmaps, copied pixel for pixel (SRCCOPY); a transparent bitmap leaves
  // out its transparent colour.
  void Draw(int x, int y, const TBitmap& bitmap);
  void StretchDraw(const TRect& dest, const TBitmap& bitmap);
  // BitBlt of srcRect of another canvas (a bitmap's or a control's).
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& srcRect);

  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);

  // Clip to a region (a copy is kept); nullptr removes the clip.
  void SelectClipRgn(const TRegion* region);

  // Paths: between BeginPath and EndPath lines and shapes are collected
  // instead of drawn; then they are stroked with the pen and/or filled.
  void BeginPath();
  void EndPath();
  void CloseFigure();
  void StrokePath();
  void FillPath();
  void StrokeAndFillPath();

  // Device capabilities (GetDeviceCaps): LOGPIXELSX/Y, HORZRES, VERTRES.
  int PixelsPerInchX() const;
  int PixelsPerInchY() const;
  int HorzRes() const;
  int VertRes() const;
  bool IsPrinter() const;
  bool HasTarget() const;

 private:
  friend struct detail::QtAccess;
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

}  // namespace gui
