#pragma once
// TLabelEx: the text label of the windows. Beside the 8-bit Caption it keeps
// a wide (UTF-16) caption that wins when not empty, and it reports the mouse
// entering and leaving through OnMouseOver and OnMouseOut (OnMouseEnter and
// OnMouseLeave stay silent). It always fills its whole rectangle with Color,
// also when Transparent, then draws the text from the top by Alignment, with
// line breaks and "&" accelerators; a disabled label draws it etched, white
// one pixel down and right, then grey. With ShowAccelChar off an "&" is drawn
// as it stands: labels that show a device's or a file's text turn it off.
// Layout and WordWrap do not change the painting (a caption that must wrap
// is broken into lines before it is set).

#include <string>

#include "label.h"

class TLabelEx : public gui::TLabel {
 public:
  explicit TLabelEx(gui::TComponent* owner);

  const std::u16string& CaptionW() const { return FCaptionW; }
  // Worker threads call it only through Synchronize.
  void SetCaptionW(const std::u16string& caption);

  gui::TNotifyEvent OnMouseOver;
  gui::TNotifyEvent OnMouseOut;

 protected:
  void Paint() override;
  void MouseEnter() override;
  void MouseLeave() override;

 private:
  std::u16string FCaptionW;
};
