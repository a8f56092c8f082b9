#include "imagelist.h"

namespace gui {

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

void TImageList::SetSize(int width, int height) {
  FWidth = width;
  FHeight = height;
  FImages.clear();
}

int TImageList::Add(const TBitmap& picture) {
  TBitmap image(FWidth, FHeight);
  image.Canvas().Draw(0, 0, picture);
  image.SetTransparent(picture.Transparent());
  image.SetTransparentColor(picture.TransparentColor());
  FImages.push_back(std::move(image));
  return Count() - 1;
}

bool TImageList::GetBitmap(int index, TBitmap& dest) const {
  if (index < 0 || index >= Count()) return false;
  dest.Assign(FImages[static_cast<size_t>(index)]);
  return true;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const {
  if (index < 0 || index >= Count()) return;
  canvas.Draw(x, y, FImages[static_cast<size_t>(index)]);
}

}  // namespace gui
