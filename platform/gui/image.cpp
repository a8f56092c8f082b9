#include "image.h"

namespace gui {

TImage::TImage(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

void TImage::SetPicture(const TBitmap& picture) {
  const bool transparent = FPicture.Transparent();
  FPicture.Assign(picture);
  FPicture.SetTransparent(transparent || picture.Transparent());
  SetAutoSize(FAutoSize);
  Invalidate();
}

void TImage::SetStretch(bool stretch) {
  FStretch = stretch;
  Invalidate();
}

void TImage::SetCenter(bool center) {
  FCenter = center;
  Invalidate();
}

void TImage::SetTransparent(bool transparent) {
  FPicture.SetTransparent(transparent);
  Invalidate();
}

void TImage::SetAutoSize(bool autoSize) {
  FAutoSize = autoSize;
  if (autoSize && !FPicture.Empty()) SetBounds(Left(), Top(), FPicture.Width(), FPicture.Height());
}

void TImage::Paint() {
  if (FPicture.Empty()) return;
  if (FStretch) {
    Canvas().StretchDraw(ClientRect(), FPicture);
    return;
  }
  int x = 0, y = 0;
  if (FCenter) {
    x = (Width() - FPicture.Width()) / 2;
    y = (Height() - FPicture.Height()) / 2;
  }
  Canvas().Draw(x, y, FPicture);
}

}  // namespace gui
