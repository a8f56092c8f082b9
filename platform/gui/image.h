#pragma once
// TImage: shows a picture on its parent, at its own size from the top-left
// corner, centred (Center) or stretched to the control (Stretch); a
// transparent image leaves out the picture's transparent colour.

#include "bitmap.h"
#include "graphiccontrol.h"

namespace gui {

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);

  const TBitmap& Picture() const { return FPicture; }
  // Copies the picture in and repaints; with AutoSize the control takes its
  // size.
  void SetPicture(const TBitmap& picture);
  // Change the picture in place, then call Invalidate.
  TBitmap& EditPicture() { return FPicture; }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool stretch);
  bool Center() const { return FCenter; }
  void SetCenter(bool center);
  bool Transparent() const { return FPicture.Transparent(); }
  void SetTransparent(bool transparent);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize);

 protected:
  void Paint() override;

 private:
  TBitmap FPicture;
  bool FStretch = false;
  bool FCenter = false;
  bool FAutoSize = false;
};

}  // namespace gui
