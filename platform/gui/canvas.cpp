#include "canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "bitmap.h"
#include "qtaccess_qt.h"
#include "qtconvert_qt.h"
#include "rasterline.h"
#include "textlayout.h"

namespace gui {

struct TCanvas::Impl {
  QImage* Image = nullptr;
  QPainter* External = nullptr;
  std::unique_ptr<QPainter> Own;
  std::function<void()> Changed;
  int OriginX = 0;
  int OriginY = 0;
  int DpiX = 96;
  int DpiY = 96;
  int HorzRes = 0;
  int VertRes = 0;

  TPen Pen;
  TBrush Brush;
  TFont Font;
  TPoint Pos;
  unsigned Align = TA_LEFT | TA_TOP;
  TBkMode Bk = bkOpaque;
  TColor BkColor = clWhite;
  std::optional<TRegion> Clip;
  bool Recording = false;
  QPainterPath Path;

  bool Vector() const { return External != nullptr; }

  QPainter* P() {
    if (External) return External;
    if (!Image || Image->isNull()) return nullptr;
    if (!Own) {
      Own = std::make_unique<QPainter>(Image);
      Own->setRenderHint(QPainter::Antialiasing, false);
      Own->setRenderHint(QPainter::TextAntialiasing, false);
      Own->translate(OriginX, OriginY);
      ApplyClip(Own.get());
    }
    return Own.get();
  }

  void ApplyClip(QPainter* p) {
    if (!Clip) {
      p->setClipping(false);
      return;
    }
    const QRect r = detail::ToQRect(Clip->Bounds);
    p->setClipRegion(Clip->Kind == TRegion::rkEllipse ? QRegion(r, QRegion::Ellipse) : QRegion(r));
  }

  void Release() { Own.reset(); }
  void Touched() {
    if (Changed) Changed();
  }

  // A pen as Qt draws it: on bitmaps one pixel wide lines go through
  // PolylinePixels instead, so this serves shapes, wide lines and paper.
  QPen QtPen(const TPen& pen) const {
    if (pen.Style == psClear) return QPen(Qt::NoPen);
    QPen q(detail::ToQColor(pen.Color));
    const bool thin = pen.Width <= 1;
    q.setWidth(thin ? (Vector() ? std::max(1, DpiX / 300) : 0) : pen.Width);
    q.setCapStyle(Qt::RoundCap);
    q.setJoinStyle(Qt::RoundJoin);
    if (thin && pen.Style != psSolid && pen.Style != psInsideFrame) {
      QList<qreal> dashes;
      switch (pen.Style) {
        case psDash: dashes = {18, 6}; break;
        case psDot: dashes = {3, 3}; break;
        case psDashDot: dashes = {9, 6, 3, 6}; break;
        default: dashes = {9, 3, 3, 3, 3, 3}; break;
      }
      const double scale = Vector() ? std::max(1.0, DpiX / 96.0) / std::max(1, q.width()) : 1.0;
      for (qreal& d : dashes) d *= scale;
      q.setCapStyle(Qt::FlatCap);
      q.setDashPattern(dashes);
    }
    return q;
  }

  QBrush QtBrush(const TBrush& brush) const {
    if (brush.Style == bsClear || brush.Color == clNone) return QBrush(Qt::NoBrush);
    return QBrush(detail::ToQColor(brush.Color));
  }

  bool PixelPen() const { return !Vector() && Pen.Width <= 1; }

  // Lines through points with the pen; the last point left out.
  void StrokePolyline(const std::vector<TPoint>& points) {
    QPainter* p = P();
    if (!p || points.size() < 2 || Pen.Style == psClear) return;
    if (PixelPen() && !Clip && Image->isDetached() && Image->depth() == 32) {
      // Straight into the image: the painter on it draws into the same
      // memory at once, so both kinds of drawing keep their order.
      const QRgb rgb = detail::ToQColor(Pen.Color).rgba();
      const int w = Image->width();
      const int h = Image->height();
      WalkPolyline(points, Pen.Style, [&](int x, int y) {
        x += OriginX;
        y += OriginY;
        if (x >= 0 && y >= 0 && x < w && y < h) reinterpret_cast<QRgb*>(Image->scanLine(y))[x] = rgb;
      });
    } else if (PixelPen()) {
      const std::vector<TPoint> pixels = PolylinePixels(points, Pen.Style);
      QPolygon poly;
      poly.reserve(static_cast<qsizetype>(pixels.size()));
      for (const TPoint& px : pixels) poly << QPoint(px.x, px.y);
      p->setPen(QPen(detail::ToQColor(Pen.Color), 0));
      p->drawPoints(poly);
    } else {
      QPolygon poly;
      for (const TPoint& pt : points) poly << QPoint(pt.x, pt.y);
      p->setPen(QtPen(Pen));
      p->setBrush(Qt::NoBrush);
      p->drawPolyline(poly);
    }
    Touched();
  }

  // The painter box of a shape whose outline covers left..right-1 and
  // top..bottom-1: Qt's outline of a box (x, y, w, h) covers x..x+w.
  static QRect OutlineBox(int l, int t, int r, int b) { return QRect(l, t, r - l - 1, b - t - 1); }

  QFontMetrics Metrics() {
    const QFont f = detail::ToQFont(Font);
    if (QPainter* p = P()) {
      p->setFont(f);
      return p->fontMetrics();
    }
    return QFontMetrics(f);
  }

  int Advance(const QFontMetrics& m, std::u16string_view s) const {
    return m.horizontalAdvance(detail::ToQString(s));
  }

  // One line of text with its top-left cell corner at (x, y).
  void DrawTextCell(QPainter* p, const QFontMetrics& m, int x, int y, const TPrefixedText& line) {
    const QString text = detail::ToQString(line.Text);
    const int width = m.horizontalAdvance(text);
    const int height = m.ascent() + m.descent();
    if (Bk == bkOpaque) p->fillRect(QRect(x, y, width, height), detail::ToQColor(BkColor));
    const QColor color = detail::ToQColor(Font.Color());
    p->setPen(color);
    p->drawText(QPoint(x, y + m.ascent()), text);
    for (size_t index : line.Underlined) {
      if (index >= line.Text.size()) continue;
      const int x0 = x + m.horizontalAdvance(text.left(static_cast<qsizetype>(index)));
      const int x1 = x + m.horizontalAdvance(text.left(static_cast<qsizetype>(index + 1)));
      const int uy = y + m.ascent() + std::max(1, m.underlinePos());
      p->fillRect(QRect(x0, uy, std::max(1, x1 - x0), std::max(1, m.lineWidth())), color);
    }
  }

  void DrawPath(bool stroke, bool fill) {
    QPainter* p = P();
    if (!p) return;
    p->setPen(stroke ? QtPen(Pen) : QPen(Qt::NoPen));
    p->setBrush(fill ? QtBrush(Brush) : QBrush(Qt::NoBrush));
    p->drawPath(Path);
    Path = QPainterPath();
    Touched();
  }

  // XOR of the focus frame's pixels, straight on the image.
  void XorFocusFrame(const TRect& r) {
    Release();
    if (!Image) return;
    auto flip = [&](int x, int y) {
      const int ix = x + OriginX;
      const int iy = y + OriginY;
      if (((x + y) & 1) != 0 || ix < 0 || iy < 0 || ix >= Image->width() || iy >= Image->height()) return;
      QRgb* line = reinterpret_cast<QRgb*>(Image->scanLine(iy));
      line[ix] ^= 0x00FFFFFFu;
    };
    for (int x = r.Left; x < r.Right; ++x) {
      flip(x, r.Top);
      if (r.Bottom - 1 > r.Top) flip(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
      flip(r.Left, y);
      if (r.Right - 1 > r.Left) flip(r.Right - 1, y);
    }
    Touched();
  }
};

TCanvas::TCanvas() : FImpl(std::make_unique<Impl>()) {}
TCanvas::~TCanvas() = default;

TPen& TCanvas::Pen() { return FImpl->Pen; }
TBrush& TCanvas::Brush() { return FImpl->Brush; }
TFont& TCanvas::Font() { return FImpl->Font; }
void TCanvas::SetTextAlign(unsigned flags) { FImpl->Align = flags; }
unsigned TCanvas::TextAlign() const { return FImpl->Align; }
void TCanvas::SetBkMode(TBkMode mode) { FImpl->Bk = mode; }
TBkMode TCanvas::BkMode() const { return FImpl->Bk; }
void TCanvas::SetBkColor(TColor color) { FImpl->BkColor = color; }
TColor TCanvas::BkColor() const { return FImpl->BkColor; }

void TCanvas::MoveTo(int x, int y) {
  FImpl->Pos = {x, y};
  if (FImpl->Recording) FImpl->Path.moveTo(x, y);
}

void TCanvas::LineTo(int x, int y) {
  const TPoint from = FImpl->Pos;
  FImpl->Pos = {x, y};
  if (FImpl->Recording) {
    FImpl->Path.lineTo(x, y);
    return;
  }
  FImpl->StrokePolyline({from, {x, y}});
}

TPoint TCanvas::PenPos() const { return FImpl->Pos; }

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  if (FImpl->Recording) {
    FImpl->Path.moveTo(points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) FImpl->Path.lineTo(points[i].x, points[i].y);
    return;
  }
  FImpl->StrokePolyline(points);
}

void TCanvas::Polyline(std::initializer_list<TPoint> points) { Polyline(std::vector<TPoint>(points)); }

void TCanvas::Rectangle(int l, int t, int r, int b) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  if (FImpl->Recording) {
    FImpl->Path.addRect(QRectF(l, t, r - l - 1, b - t - 1));
    return;
  }
  QPainter* p = FImpl->P();
  if (!p || r == l || b == t) return;
  const QBrush brush = FImpl->QtBrush(FImpl->Brush);
  const bool noPen = FImpl->Pen.Style == psClear;
  if (FImpl->PixelPen() || noPen) {
    // Without a pen the platform fills one pixel less to the right and bottom.
    const QRect inside = noPen ? QRect(l, t, r - l - 1, b - t - 1) : QRect(l + 1, t + 1, r - l - 2, b - t - 2);
    if (brush.style() != Qt::NoBrush && inside.width() > 0 && inside.height() > 0) p->fillRect(inside, brush);
    if (!noPen) FImpl->StrokePolyline({{l, t}, {r - 1, t}, {r - 1, b - 1}, {l, b - 1}, {l, t}});
  } else {
    p->setPen(FImpl->QtPen(FImpl->Pen));
    p->setBrush(brush);
    p->drawRect(Impl::OutlineBox(l, t, r, b));
  }
  FImpl->Touched();
}

void TCanvas::RoundRect(int l, int t, int r, int b, int cw, int ch) {
  if (FImpl->Recording) {
    FImpl->Path.addRoundedRect(QRectF(l, t, r - l - 1, b - t - 1), cw / 2.0, ch / 2.0);
    return;
  }
  QPainter* p = FImpl->P();
  if (!p || r <= l || b <= t) return;
  p->setPen(FImpl->QtPen(FImpl->Pen));
  p->setBrush(FImpl->QtBrush(FImpl->Brush));
  p->drawRoundedRect(Impl::OutlineBox(l, t, r, b), cw / 2.0, ch / 2.0, Qt::AbsoluteSize);
  FImpl->Touched();
}

void TCanvas::Ellipse(int l, int t, int r, int b) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  if (FImpl->Recording) {
    FImpl->Path.addEllipse(QRectF(l, t, r - l - 1, b - t - 1));
    return;
  }
  QPainter* p = FImpl->P();
  if (!p || r == l || b == t) return;
  p->setPen(FImpl->QtPen(FImpl->Pen));
  p->setBrush(FImpl->QtBrush(FImpl->Brush));
  p->drawEllipse(Impl::OutlineBox(l, t, r, b));
  FImpl->Touched();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.empty()) return;
  QPolygon poly;
  for (const TPoint& pt : points) poly << QPoint(pt.x, pt.y);
  if (FImpl->Recording) {
    FImpl->Path.addPolygon(QPolygonF(poly));
    FImpl->Path.closeSubpath();
    return;
  }
  QPainter* p = FImpl->P();
  if (!p) return;
  const QBrush brush = FImpl->QtBrush(FImpl->Brush);
  if (FImpl->PixelPen()) {
    if (brush.style() != Qt::NoBrush) {
      p->setPen(Qt::NoPen);
      p->setBrush(brush);
      p->drawPolygon(poly, Qt::OddEvenFill);
    }
    // Closing at the first point draws every corner: the first point is
    // drawn by the first segment and only left out as the end of the last.
    std::vector<TPoint> closed = points;
    closed.push_back(points.front());
    FImpl->StrokePolyline(closed);
  } else {
    p->setPen(FImpl->QtPen(FImpl->Pen));
    p->setBrush(brush);
    p->drawPolygon(poly, Qt::OddEvenFill);
  }
  FImpl->Touched();
}

void TCanvas::Polygon(std::initializer_list<TPoint> points) { Polygon(std::vector<TPoint>(points)); }

namespace {

// Angle in degrees, counter-clockwise on screen from the positive x axis, of
// the ray from the centre through a point.
double RayAngle(double cx, double cy, int x, int y) {
  return std::atan2(-(y - cy), x - cx) * 180.0 / std::numbers::pi;
}

}  // namespace

void TCanvas::Arc(int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
  const double cx = (l + r - 1) / 2.0;
  const double cy = (t + b - 1) / 2.0;
  const double start = RayAngle(cx, cy, x1, y1);
  double span = RayAngle(cx, cy, x2, y2) - start;
  while (span <= 0) span += 360.0;
  if (span > 360.0) span -= 360.0;
  const QRect box = Impl::OutlineBox(l, t, r, b);
  if (FImpl->Recording) {
    FImpl->Path.arcMoveTo(box, start);
    FImpl->Path.arcTo(box, start, span);
    return;
  }
  QPainter* p = FImpl->P();
  if (!p || r <= l || b <= t) return;
  p->setPen(FImpl->QtPen(FImpl->Pen));
  p->setBrush(Qt::NoBrush);
  p->drawArc(box, static_cast<int>(std::lround(start * 16)), static_cast<int>(std::lround(span * 16)));
  FImpl->Touched();
}

void TCanvas::FillRect(const TRect& r) {
  QPainter* p = FImpl->P();
  const QBrush brush = FImpl->QtBrush(FImpl->Brush);
  if (!p || r.IsEmpty() || brush.style() == Qt::NoBrush) return;
  p->fillRect(detail::ToQRect(r), brush);
  FImpl->Touched();
}

void TCanvas::FrameRect(const TRect& r) {
  QPainter* p = FImpl->P();
  if (!p || r.IsEmpty() || FImpl->Brush.Style == bsClear) return;
  const QColor c = detail::ToQColor(FImpl->Brush.Color);
  p->fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
  p->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
  p->fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
  p->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
  FImpl->Touched();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  if (r.IsEmpty()) return;
  if (!FImpl->Vector()) {
    FImpl->XorFocusFrame(r);
    return;
  }
  QPainter* p = FImpl->P();
  QPen pen(Qt::black);
  pen.setStyle(Qt::DotLine);
  p->setPen(pen);
  p->setBrush(Qt::NoBrush);
  p->drawRect(Impl::OutlineBox(r.Left, r.Top, r.Right, r.Bottom));
}

void TCanvas::TextOut(int x, int y, std::u16string_view text) {
  QPainter* p = FImpl->P();
  if (!p) return;
  const QFontMetrics m = FImpl->Metrics();
  const int width = FImpl->Advance(m, text);
  const unsigned h = FImpl->Align & TA_CENTER;
  const unsigned v = FImpl->Align & TA_BASELINE;
  if (h == TA_CENTER)
    x -= width / 2;
  else if (h == TA_RIGHT)
    x -= width;
  if (v == TA_BASELINE)
    y -= m.ascent();
  else if (v == TA_BOTTOM)
    y -= m.ascent() + m.descent();
  FImpl->DrawTextCell(p, m, x, y, TPrefixedText{std::u16string(text), {}});
  FImpl->Touched();
}

void TCanvas::TextOut(int x, int y, std::string_view utf8) { TextOut(x, y, detail::Utf8ToU16(utf8)); }

int TCanvas::DrawText(std::u16string_view text, TRect& r, unsigned format) {
  const QFontMetrics m = FImpl->Metrics();
  const bool prefix = (format & DT_NOPREFIX) == 0;
  const TMeasure measure = [&](std::u16string_view s) {
    return prefix ? FImpl->Advance(m, ParsePrefix(s).Text) : FImpl->Advance(m, s);
  };
  const std::vector<std::u16string> lines =
      BreakTextLines(text, r.Width(), (format & DT_WORDBREAK) != 0, (format & DT_SINGLELINE) != 0, measure);
  const int lineHeight = m.ascent() + m.descent();
  const int total = lineHeight * static_cast<int>(lines.size());
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const std::u16string& line : lines) widest = std::max(widest, measure(line));
    r.Right = r.Left + widest;
    r.Bottom = r.Top + total;
    return total;
  }
  QPainter* p = FImpl->P();
  if (!p) return total;
  int y = r.Top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER)
      y = r.Top + (r.Height() - lineHeight) / 2;
    else if (format & DT_BOTTOM)
      y = r.Bottom - lineHeight;
  }
  const bool clip = (format & DT_NOCLIP) == 0;
  if (clip) {
    p->save();
    p->setClipRect(detail::ToQRect(r), FImpl->Clip ? Qt::IntersectClip : Qt::ReplaceClip);
  }
  for (const std::u16string& raw : lines) {
    const TPrefixedText line = prefix ? ParsePrefix(raw) : TPrefixedText{raw, {}};
    const int width = FImpl->Advance(m, line.Text);
    int x = r.Left;
    if (format & DT_CENTER)
      x = r.Left + (r.Width() - width) / 2;
    else if (format & DT_RIGHT)
      x = r.Right - width;
    FImpl->DrawTextCell(p, m, x, y, line);
    y += lineHeight;
  }
  if (clip) p->restore();
  FImpl->Touched();
  return (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)) ? y - r.Top : total;
}

int TCanvas::DrawText(std::string_view utf8, TRect& r, unsigned format) {
  return DrawText(detail::Utf8ToU16(utf8), r, format);
}

TSize TCanvas::TextExtent(std::u16string_view text) {
  const QFontMetrics m = FImpl->Metrics();
  return {FImpl->Advance(m, text), m.ascent() + m.descent()};
}

TSize TCanvas::TextExtent(std::string_view utf8) { return TextExtent(detail::Utf8ToU16(utf8)); }

TTextMetric TCanvas::GetTextMetrics() {
  const QFontMetrics m = FImpl->Metrics();
  const QFont f = detail::ToQFont(FImpl->Font);
  TTextMetric tm;
  tm.Ascent = m.ascent();
  tm.Descent = m.descent();
  tm.Height = tm.Ascent + tm.Descent;
  tm.InternalLeading = std::max(0, tm.Height - f.pixelSize());
  tm.ExternalLeading = std::max(0, m.leading());
  tm.AveCharWidth = m.averageCharWidth();
  tm.MaxCharWidth = m.maxWidth();
  return tm;
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  QPainter* p = FImpl->P();
  if (!p || bitmap.Empty()) return;
  p->drawImage(QPoint(x, y), detail::QtAccess::DrawableImage(bitmap));
  FImpl->Touched();
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bitmap) {
  QPainter* p = FImpl->P();
  if (!p || bitmap.Empty() || dest.IsEmpty()) return;
  p->drawImage(detail::ToQRect(dest), detail::QtAccess::DrawableImage(bitmap));
  FImpl->Touched();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& srcRect) {
  if (&source == this) return;
  source.FImpl->Release();
  const QImage* image = source.FImpl->Image;
  QPainter* p = FImpl->P();
  if (!p || !image || dest.IsEmpty() || srcRect.IsEmpty()) return;
  const QRect src = detail::ToQRect(srcRect.Offset(source.FImpl->OriginX, source.FImpl->OriginY));
  p->drawImage(detail::ToQRect(dest), *image, src);
  FImpl->Touched();
}

TColor TCanvas::Pixel(int x, int y) {
  FImpl->Release();
  const QImage* image = FImpl->Image;
  x += FImpl->OriginX;
  y += FImpl->OriginY;
  if (!image || x < 0 || y < 0 || x >= image->width() || y >= image->height()) return clNone;
  return detail::FromQColor(QColor::fromRgb(image->pixel(x, y)));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  QPainter* p = FImpl->P();
  if (!p) return;
  p->setPen(QPen(detail::ToQColor(color), 0));
  p->drawPoint(x, y);
  FImpl->Touched();
}

void TCanvas::SelectClipRgn(const TRegion* region) {
  if (region)
    FImpl->Clip = *region;
  else
    FImpl->Clip.reset();
  if (FImpl->Own)
    FImpl->ApplyClip(FImpl->Own.get());
  else if (FImpl->External)
    FImpl->ApplyClip(FImpl->External);
}

void TCanvas::BeginPath() {
  FImpl->Recording = true;
  FImpl->Path = QPainterPath();
  FImpl->Path.setFillRule(Qt::OddEvenFill);
}

void TCanvas::EndPath() { FImpl->Recording = false; }
void TCanvas::CloseFigure() { FImpl->Path.closeSubpath(); }

void TCanvas::StrokePath() { FImpl->DrawPath(true, false); }
void TCanvas::FillPath() { FImpl->DrawPath(false, true); }
void TCanvas::StrokeAndFillPath() { FImpl->DrawPath(true, true); }

int TCanvas::PixelsPerInchX() const { return FImpl->DpiX; }
int TCanvas::PixelsPerInchY() const { return FImpl->DpiY; }
int TCanvas::HorzRes() const {
  if (FImpl->External) return FImpl->HorzRes;
  return FImpl->Image ? FImpl->Image->width() : 0;
}
int TCanvas::VertRes() const {
  if (FImpl->External) return FImpl->VertRes;
  return FImpl->Image ? FImpl->Image->height() : 0;
}
bool TCanvas::IsPrinter() const { return FImpl->External != nullptr; }
bool TCanvas::HasTarget() const { return FImpl->External || (FImpl->Image && !FImpl->Image->isNull()); }

namespace detail {

void QtAccess::BindImage(TCanvas& canvas, QImage* image, std::function<void()> changed) {
  TCanvas::Impl& impl = *canvas.FImpl;
  impl.Release();
  impl.External = nullptr;
  impl.Image = image;
  impl.Changed = std::move(changed);
  impl.DpiX = impl.DpiY = 96;
  impl.Font.SetPixelsPerInch(96);
}

void QtAccess::BindPainter(TCanvas& canvas, QPainter* painter, int dpiX, int dpiY, int horzRes, int vertRes) {
  TCanvas::Impl& impl = *canvas.FImpl;
  impl.Release();
  impl.Image = nullptr;
  impl.External = painter;
  impl.DpiX = dpiX;
  impl.DpiY = dpiY;
  impl.HorzRes = horzRes;
  impl.VertRes = vertRes;
  impl.Font = TFont();
  impl.Font.SetPixelsPerInch(dpiY);
  impl.Font.SetSize(DefaultFontSize);
  if (painter) {
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    impl.ApplyClip(painter);
  }
}

void QtAccess::Unbind(TCanvas& canvas) {
  TCanvas::Impl& impl = *canvas.FImpl;
  impl.Release();
  impl.Image = nullptr;
  impl.External = nullptr;
}

void QtAccess::ReleaseCanvas(TCanvas& canvas) { canvas.FImpl->Release(); }

void QtAccess::SetCanvasOrigin(TCanvas& canvas, int dx, int dy) {
  TCanvas::Impl& impl = *canvas.FImpl;
  impl.Release();
  impl.OriginX = dx;
  impl.OriginY = dy;
}

const QImage* QtAccess::CanvasImage(TCanvas& canvas) {
  canvas.FImpl->Release();
  return canvas.FImpl->Image;
}

}  // namespace detail

}  // namespace gui
