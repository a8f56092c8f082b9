#include "qtconvert_qt.h"

#include <QBuffer>
#include <QFontMetricsF>

#include <cmath>
#include <cstdint>
#include <map>
#include <mutex>
#include <tuple>

#include "regularfile.h"
#include "replacementfile.h"
#include "textconv.h"

namespace gui::detail {

namespace {

QFont BaseFont(const TFont& font) {
  QFont q;
  QStringList families;
  for (const std::string& f : FontFamiliesFor(font.Name())) families << QString::fromStdString(f);
  q.setFamilies(families);
  q.setWeight(font.Bold() ? QFont::Bold : QFont::Normal);
  q.setItalic((font.Style() & fsItalic) != 0);
  q.setUnderline((font.Style() & fsUnderline) != 0);
  q.setStrikeOut((font.Style() & fsStrikeOut) != 0);
  q.setHintingPreference(QFont::PreferFullHinting);
  // Text is drawn without smoothing, as shapes are: every pixel is either
  // the text colour or untouched.
  q.setStyleStrategy(QFont::NoAntialias);
  return q;
}

// Em size per cell height of a face: cell heights (positive font heights)
// are converted through it.
double EmPerCell(const QFont& base) {
  static std::mutex lock;
  static std::map<std::tuple<QString, int, bool>, double> cache;
  const auto key = std::make_tuple(base.families().join(','), static_cast<int>(base.weight()), base.italic());
  std::lock_guard<std::mutex> guard(lock);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  QFont probe = base;
  probe.setPixelSize(1000);
  QFontMetricsF m(probe);
  const double cell = m.ascent() + m.descent();
  const double ratio = cell > 0 ? 1000.0 / cell : 1.0;
  cache.emplace(key, ratio);
  return ratio;
}

}  // namespace

QFont ToQFont(const TFont& font) {
  QFont q = BaseFont(font);
  int height = font.Height();
  if (height == 0) height = -MulDiv(DefaultFontSize, font.PixelsPerInch(), 72);
  int em = height < 0 ? -height : static_cast<int>(std::lround(height * EmPerCell(q)));
  q.setPixelSize(em < 1 ? 1 : em);
  return q;
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
  TShiftState s = 0;
  if (mods & Qt::ShiftModifier) s |= ssShift;
  if (mods & Qt::AltModifier) s |= ssAlt;
  if (mods & Qt::ControlModifier) s |= ssCtrl;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

TVirtualKey VirtualKeyOf(int key, Qt::KeyboardModifiers mods) {
  const bool keypad = (mods & Qt::KeypadModifier) != 0;
  if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<TVirtualKey>(VK_NUMPAD0 + (key - Qt::Key_0));
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<TVirtualKey>(key);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<TVirtualKey>(key);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return static_cast<TVirtualKey>(VK_F1 + (key - Qt::Key_F1));
  switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : TVirtualKey('8');
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK_OEM_7;
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default: return 0;
  }
}

// An image file is a few megabytes at most; a far larger one is not read.
constexpr uint64_t MaxImageFileBytes = uint64_t(256) << 20;

bool LoadImageFile(const std::string& path, QImage& image) {
  std::string bytes;
  int error = 0;
  if (!rtl::ReadRegularFile(rtl::Utf8ToUtf16(path), MaxImageFileBytes, bytes, error)) return false;
  return image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
}

bool SaveImageFile(const QImage& image, const std::string& path, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format)) return false;
  TReplacementFile file(rtl::Utf8ToUtf16(path));
  file.Write(bytes.constData(), static_cast<size_t>(bytes.size()));
  return file.Finish() && file.Commit();
}

}  // namespace gui::detail
