#pragma once
// TPanelEx: the framed group box of the windows. It paints a face colour, an
// optional header band, a square or corner-cut outline that may leave one
// side open (two panels open towards each other join seamlessly), an
// optional centred picture and a caption placed by Alignment and AlignmentV,
// in that order. The 3-D look follows BevelOuter: bvNone hides the outline,
// bvSpace draws it flat, bvRaised and bvLowered add inner edges. A wide
// (UTF-16) caption wins over the 8-bit Caption; captions are drawn as they
// stand (no "&" accelerators). The inherited Color is not painted.

#include <string>
#include <vector>

#include "bitmap.h"
#include "panel.h"
#include "panelframe.h"

class TPanelEx : public gui::TPanel {
 public:
  explicit TPanelEx(gui::TComponent* owner);

  // Drawn centred when not empty.
  gui::TBitmap& Bitmap() { return FBitmap; }
  const gui::TBitmap& Bitmap() const { return FBitmap; }
  // Copies the picture in; nullptr empties it.
  void SetBitmap(const gui::TBitmap* bitmap);

  // The body below the header band.
  gui::TColor FaceColor() const { return FFaceColor; }
  void SetFaceColor(gui::TColor color);
  gui::TColor HeaderColor() const { return FHeaderColor; }
  void SetHeaderColor(gui::TColor color);
  // Height of the header band in pixels; 0: no header.
  int HeaderHeight() const { return FHeaderHeight; }
  void SetHeaderHeight(int height);
  // The outline and the line under the header band.
  gui::TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(gui::TColor color);
  TPanelBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TPanelBorderStyle style);
  TBorderOpen BorderOpen() const { return FBorderOpen; }
  void SetBorderOpen(TBorderOpen open);

  const std::u16string& CaptionW() const { return FCaptionW; }
  void SetCaptionW(const std::u16string& caption);
  // Distance of a top or bottom caption from its edge.
  int CaptionTop() const { return FCaptionTop; }
  void SetCaptionTop(int top);
  // Distance of a left or right justified caption from its edge.
  int CaptionPadding() const { return FCaptionPadding; }
  void SetCaptionPadding(int padding);
  TAlignmentV AlignmentV() const { return FAlignmentV; }
  void SetAlignmentV(TAlignmentV alignment);

  // The outline for the current style, open side and size (at most 21
  // points; none for pbsNone).
  std::vector<gui::TPoint> GetFrame() const;

 protected:
  void Paint() override;

 private:
  void PaintBody(gui::TCanvas& canvas);
  void PaintFrame(gui::TCanvas& canvas);
  void PaintCaption(gui::TCanvas& canvas);

  gui::TBitmap FBitmap;
  gui::TColor FFaceColor = 0xC8D0D4;
  gui::TColor FHeaderColor = 0;
  int FHeaderHeight = 0;
  gui::TColor FBorderColor = 0;
  TPanelBorderStyle FBorderStyle = pbsSharp;
  TBorderOpen FBorderOpen = boNone;
  std::u16string FCaptionW;
  int FCaptionTop = 0;
  int FCaptionPadding = 0;
  TAlignmentV FAlignmentV = tavTop;
};
