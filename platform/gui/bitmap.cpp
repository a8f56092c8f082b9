#include "bitmap.h"

#include <QImage>
#include <QPainter>

#include "qtaccess_qt.h"
#include "qtconvert_qt.h"

namespace gui {

struct TBitmap::Impl {
  QImage Image;
  TCanvas Canvas;

  void Bind() { detail::QtAccess::BindImage(Canvas, &Image); }
  void Release() { detail::QtAccess::ReleaseCanvas(Canvas); }
};

TBitmap::TBitmap() : FImpl(std::make_unique<Impl>()) { FImpl->Bind(); }

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::TBitmap(const TBitmap& other) : TBitmap() { Assign(other); }

TBitmap& TBitmap::operator=(const TBitmap& other) {
  Assign(other);
  return *this;
}

TBitmap::~TBitmap() { FImpl->Release(); }

void TBitmap::Assign(const TBitmap& other) {
  if (this == &other) return;
  other.FImpl->Release();
  FImpl->Release();
  FImpl->Image = other.FImpl->Image.copy();
  FTransparent = other.FTransparent;
  FTransparentColor = other.FTransparentColor;
}

int TBitmap::Width() const { return FImpl->Image.width(); }
int TBitmap::Height() const { return FImpl->Image.height(); }

void TBitmap::SetSize(int width, int height) {
  if (width == Width() && height == Height()) return;
  FImpl->Release();
  if (width <= 0 || height <= 0) {
    FImpl->Image = QImage();
    return;
  }
  QImage resized(width, height, QImage::Format_RGB32);
  resized.fill(Qt::white);
  if (!FImpl->Image.isNull()) {
    QPainter p(&resized);
    p.drawImage(0, 0, FImpl->Image);
  }
  FImpl->Image = resized;
}

bool TBitmap::Empty() const { return FImpl->Image.isNull(); }

void TBitmap::Clear() {
  FImpl->Release();
  FImpl->Image = QImage();
}

TCanvas& TBitmap::Canvas() { return FImpl->Canvas; }

TColor TBitmap::TransparentColor() const {
  if (FTransparentColor != clNone || Empty()) return FTransparentColor;
  return Pixel(0, Height() - 1);
}

bool TBitmap::LoadFromFile(const std::string& path) {
  QImage loaded;
  if (!detail::LoadImageFile(path, loaded)) return false;
  FImpl->Release();
  FImpl->Image = loaded.convertToFormat(QImage::Format_RGB32);
  return true;
}

bool TBitmap::SaveToFile(const std::string& path) const {
  FImpl->Release();
  const QString name = QString::fromStdString(path);
  const char* format = name.endsWith(".bmp", Qt::CaseInsensitive) ? "BMP" : "PNG";
  return detail::SaveImageFile(FImpl->Image, path, format);
}

TColor TBitmap::Pixel(int x, int y) const {
  FImpl->Release();
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return clNone;
  return detail::FromQColor(QColor::fromRgb(FImpl->Image.pixel(x, y)));
}

namespace detail {

QImage& QtAccess::Image(TBitmap& bitmap) {
  bitmap.FImpl->Release();
  return bitmap.FImpl->Image;
}

const QImage& QtAccess::Image(const TBitmap& bitmap) {
  bitmap.FImpl->Release();
  return bitmap.FImpl->Image;
}

QImage QtAccess::DrawableImage(const TBitmap& bitmap) {
  const QImage& image = Image(bitmap);
  if (!bitmap.Transparent() || image.isNull()) return image;
  const QRgb key = ToQColor(bitmap.TransparentColor()).rgb();
  QImage cut = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < cut.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(cut.scanLine(y));
    for (int x = 0; x < cut.width(); ++x)
      if ((line[x] & 0x00FFFFFFu) == (key & 0x00FFFFFFu)) line[x] = 0;
  }
  return cut;
}

}  // namespace detail

}  // namespace gui
