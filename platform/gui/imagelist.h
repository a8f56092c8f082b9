#pragma once
// TImageList: numbered pictures of one size (16 x 16 unless set), as the
// windows keep their button glyphs.

#include <vector>

#include "bitmap.h"
#include "component.h"

namespace gui {

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* owner);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Changing the size empties the list.
  void SetSize(int width, int height);
  int Count() const { return static_cast<int>(FImages.size()); }
  // Adds a copy of the picture's top-left Width x Height part; returns its
  // index.
  int Add(const TBitmap& picture);
  void Clear() { FImages.clear(); }
  // Copies image `index` into `dest`; false (dest unchanged) when there is
  // no such image.
  bool GetBitmap(int index, TBitmap& dest) const;
  void Draw(TCanvas& canvas, int x, int y, int index) const;

 private:
  int FWidth = 16;
  int FHeight = 16;
  std::vector<TBitmap> FImages;
};

}  // namespace gui
