#pragma once
// TBitmapButton: the push button of the windows: caption-strip buttons,
// command buttons, result cells that look like table cells, colour swatches.
// It paints itself completely, off screen and in one pass: background, face
// with a rounded or square outline, optional 3-D edges, caption, picture and
// focus mark, in that order. A wide (UTF-16) caption set by SetCaptionW wins
// over the 8-bit Caption; the caption is drawn as it stands (no "&"
// accelerators).
//
// Events: OnClick (left press and release on the enabled button, or Enter),
// OnMouseDown (left presses of the enabled button), OnMouseUp (only releases
// that end a shown press, so never for bsPanel), OnMouseEnter (enabled
// button only) and OnMouseLeave (always).

#include <string>

#include "bitmap.h"
#include "buttonlayout.h"
#include "buttonstate.h"
#include "customcontrol.h"
#include "font.h"

class TBitmapButton : public gui::TCustomControl {
 public:
  // 75 x 25 pixels, no tab stop.
  explicit TBitmapButton(gui::TComponent* owner);

  TBtnStyle Style() const { return FStyle; }
  void SetStyle(TBtnStyle style);
  TButtonShape Shape() const { return FShape; }
  void SetShape(TButtonShape shape);
  TFocusStyle FocusStyle() const { return FFocusStyle; }
  void SetFocusStyle(TFocusStyle style);
  // An outline in the border colour, with the 3-D edges one pixel inside it.
  bool DrawBorder() const { return FDrawBorder; }
  void SetDrawBorder(bool drawBorder);
  // No 3-D edges.
  bool Flat() const { return FFlat; }
  void SetFlat(bool flat);

  // The picture shown while enabled; its size places picture and caption.
  gui::TBitmap& Bitmap() { return FBitmap; }
  const gui::TBitmap& Bitmap() const { return FBitmap; }
  // Copies the picture in; nullptr empties it.
  void SetBitmap(const gui::TBitmap* bitmap);
  // The picture shown while disabled, at the place of Bitmap.
  gui::TBitmap& DisBitmap() { return FDisBitmap; }
  const gui::TBitmap& DisBitmap() const { return FDisBitmap; }
  void SetDisBitmap(const gui::TBitmap* bitmap);
  // Handed to the picture before it is drawn; the picture is still copied
  // pixel for pixel.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);

  const std::u16string& CaptionW() const { return FCaptionW; }
  void SetCaptionW(const std::u16string& caption);
  // The caption font, the button's own (not the parent's).
  gui::TFont& Font() { return FFont; }
  const gui::TFont& Font() const { return FFont; }
  // Copies the font in; nullptr is ignored.
  void SetFont(const gui::TFont* font);
  // Kept for the descriptions that set it; the button always draws with its
  // own font.
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool parentFont) { FParentFont = parentFont; }

  // Pixels between picture and caption.
  int Gap() const { return FGap; }
  void SetGap(int gap);
  // Added to the caption's baseline (positive moves the text down).
  int TextPaddingTop() const { return FTextPaddingTop; }
  void SetTextPaddingTop(int padding);

  // Around the face (the rounded corners); replaced by the parent's colour
  // at each paint while ParentColor is set.
  gui::TColor BackColor() const { return FBackColor; }
  void SetBackColor(gui::TColor color);
  // The face, and the base of the 3-D shades.
  gui::TColor ButtonColor() const { return FButtonColor; }
  void SetButtonColor(gui::TColor color);
  // The outline while not hovered, and the fsDefault focus marks.
  gui::TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(gui::TColor color);
  // The outline while the mouse is over the enabled button.
  gui::TColor BorderOver() const { return FBorderOver; }
  void SetBorderOver(gui::TColor color);

  // Fires OnClick, only while the button is enabled; windows call it to act
  // as if the user had clicked.
  void Click() override;

 protected:
  void Paint() override;
  void KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) override;
  void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
  void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void FocusReceived() override;
  void FocusLost() override;

 private:
  void DrawFace(gui::TCanvas& canvas, gui::TColor light, gui::TColor dark);
  void DrawCaptionAndPicture(gui::TCanvas& canvas, gui::TColor light, gui::TColor dark);
  void DrawFocusMark(gui::TCanvas& canvas);

  TBtnStyle FStyle = bsButton;
  TButtonShape FShape = bsRounded;
  TFocusStyle FFocusStyle = fsSystem;
  bool FDrawBorder = true;
  TButtonState FState;
  gui::TBitmap FBitmap;
  gui::TBitmap FDisBitmap;
  bool FTransparent = false;
  std::u16string FCaptionW;
  gui::TFont FFont;
  bool FFlat = false;
  int FGap = 0;
  int FTextPaddingTop = 0;
  gui::TColor FBackColor = 0;
  gui::TColor FButtonColor = 0xC8D0D4;
  gui::TColor FBorderColor = 0;
  gui::TColor FBorderOver = 0;
  bool FParentFont = false;
};
