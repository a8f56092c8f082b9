#pragma once
// Conversions between the layer's vocabulary and Qt's. Internal to the layer.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <string>
#include <string_view>

#include "color.h"
#include "font.h"
#include "geometry.h"
#include "keys.h"

namespace gui::detail {

inline QColor ToQColor(TColor c) {
  const TColor rgb = ColorToRGB(c);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}
inline TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

inline QString ToQString(std::u16string_view s) {
  return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}
inline QString Utf8ToQString(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::u16string FromQString(const QString& s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<size_t>(s.size()));
}
inline std::u16string Utf8ToU16(std::string_view s) { return FromQString(Utf8ToQString(s)); }

inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }
inline TRect FromQRect(const QRect& r) { return Bounds(r.x(), r.y(), r.width(), r.height()); }
inline QPoint ToQPoint(TPoint p) { return QPoint(p.x, p.y); }
inline TPoint FromQPoint(const QPoint& p) { return {p.x(), p.y()}; }

// The Qt font that draws a TFont: mapped families, pixel size from the
// Windows height (negative: em size; positive: cell height), weight, style.
QFont ToQFont(const TFont& font);

// Shift state of Qt modifiers and buttons.
TShiftState ShiftStateOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);

// Virtual-key code of a Qt key (0 for keys without one).
TVirtualKey VirtualKeyOf(int qtKey, Qt::KeyboardModifiers mods);

// Image files go through the runtime layer's one open routine and one
// replacement routine rather than Qt's own file access, so a pipe named
// like an image is refused instead of waited on, and an image file is
// replaced only by a whole new one.
bool LoadImageFile(const std::string& path, QImage& image);
bool SaveImageFile(const QImage& image, const std::string& path, const char* format);

}  // namespace gui::detail
