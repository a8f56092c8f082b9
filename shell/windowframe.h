#pragma once
// TWindowFrame: the frame every own window draws instead of the system's.
// A borderless window with a dark green caption strip that carries the
// caption label and the strip buttons, a beige work panel inset into it with
// a thin raised edge, dragged by a band along the top of the strip, grey
// while another window is active. Every own window derives from it:
//
//   class TfInfo : public TWindowFrame {
//     TfInfo(gui::TComponent* owner) : TWindowFrame(owner, FrameInfo) {
//       LayoutFrame(398, 250);               // the work panel's size
//       bCloseS = CreateStripCloseButton();  // when the window has one
//       EscapeAction = [this] { Close(); };  // its row of the key table
//     }
//     void DoShow() override {
//       TWindowFrame::DoShow();              // colours first
//       ...texts and tool-tips...
//     }
//   };
//
// The frame's geometry and colours are pure functions, so they are tested
// without a window.

#include <functional>
#include <optional>
#include <string_view>

#include "color.h"
#include "form.h"
#include "geometry.h"
#include "languageservice.h"

class TBitmapButton;
class TLabelEx;

namespace gui {
class TPanel;
}

// The drag band of a window: the band is BandHeight pixels high and leaves
// out the RightKeep pixels at the strip's right end (where the strip buttons
// are). A sizeable window has a sizing border, a dialog a thin one.
struct TFrameStyle {
  int RightKeep = 20;
  int BandHeight = 23;
  bool Sizeable = false;
};

constexpr TFrameStyle FrameBalancing{72, 23, true};
constexpr TFrameStyle FrameTimeGraph{72, 23, true};
constexpr TFrameStyle FrameFFTGraph{72, 23, true};
constexpr TFrameStyle FrameLog{23, 23, true};
constexpr TFrameStyle FrameSelectSensor{21, 21, true};
constexpr TFrameStyle FrameConfig{21, 21, false};
constexpr TFrameStyle FrameRotorDef{21, 21, false};
constexpr TFrameStyle FrameEditSensor{21, 21, false};
constexpr TFrameStyle FrameSelectLang{20, 23, false};
constexpr TFrameStyle FrameCursorPos{20, 23, false};
constexpr TFrameStyle FrameMessage{20, 23, false};
constexpr TFrameStyle FrameInfo{20, 23, false};

// Colours of the frame (0x00BBGGRR).
constexpr gui::TColor FrameActiveColor = 0x466439;
constexpr gui::TColor FrameInactiveColor = 0x4F4F4F;
constexpr gui::TColor CaptionActiveText = 0x00FFFF;
constexpr gui::TColor CaptionInactiveText = 0x9CDBDE;
constexpr gui::TColor WorkPanelColor = 0x9CDBDE;

// Where the work panel sits in the client area, and how much strip shows
// around it.
constexpr int PanelLeft = 7;
constexpr int PanelTop = 20;
constexpr int StripMarginX = 14;  // 7 left and 7 right
constexpr int StripMarginY = 27;  // 20 above, 7 below

// The width of the border a window of this style draws round its client area.
int FrameBorderWidth(const TFrameStyle& style);

// Where a press at (x, y), relative to the window's outer top-left corner,
// falls in a window of that outer size: the border's answer on the border,
// HTCAPTION in the drag band (0 < x < width - RightKeep and
// 0 < y < BandHeight, all strict), else HTCLIENT.
int WindowFrameHitTest(int x, int y, int width, int height, const TFrameStyle& style);

// The colours of an activation state: window and caption label background,
// and caption text.
struct TFrameColors {
  gui::TColor Window = FrameActiveColor;
  gui::TColor CaptionText = CaptionActiveText;
  friend bool operator==(const TFrameColors&, const TFrameColors&) = default;
};
// WA_ACTIVE and WA_CLICKACTIVE: green with yellow text; WA_INACTIVE: grey
// with beige text; any other state changes nothing (no value).
std::optional<TFrameColors> FrameColorsFor(int activationState);

// The raised edge round the work panel: one pixel outside its bounds, light
// on top and left, dark on bottom and right, in the shades of the panel
// colour.
struct TPanelEdge {
  gui::TRect Bounds;  // the edge's outer rectangle (right and bottom exclusive)
  gui::TColor Light = 0;
  gui::TColor Dark = 0;
};
TPanelEdge PanelEdgeFor(const gui::TRect& panelBounds, gui::TColor panelColor);

class TWindowFrame : public gui::TForm {
 public:
  TWindowFrame(gui::TComponent* owner, const TFrameStyle& style);

  const TFrameStyle& FrameStyle() const { return FStyle; }

  // Takes the colours of an activation state (the window's activation
  // handler; FrameColorsFor says which).
  void ApplyActivation(int state);

  TLabelEx* leCaption = nullptr;
  gui::TPanel* pWindow = nullptr;

 protected:
  // The layout: pWindow at (7, 20) with the given size and the client area
  // round it; a sizeable window's panel grows with the window.
  void LayoutFrame(int panelWidth, int panelHeight);
  // A strip button of a window with a single one: top 3, 6 pixels from the
  // right end of the strip.
  void PlaceStripButton(TBitmapButton* button);
  // The three strip buttons of the workspace and the signal windows: close
  // at the right end, maximise 2 pixels left of it, minimise directly left
  // of that.
  void PlaceCaptionButtons(TBitmapButton* close, TBitmapButton* maximize, TBitmapButton* minimize);
  // The small close button of the strip (bCloseS), placed; clicking it
  // closes the window.
  TBitmapButton* CreateStripCloseButton();

  // The window's row of the key table: what Esc and Enter do (nothing while
  // empty). Enter is left to a focused control that takes Enter itself.
  std::function<void()> EscapeAction;
  std::function<void()> EnterAction;
  virtual bool FocusTakesEnter() const;

  // The show handler: the active colours again. Windows take their texts
  // after it.
  void DoShow() override;
  void Activation(int state) override;
  int HitTest(int x, int y) override;
  // The panel edge, then OnPaint.
  void Paint() override;
  // Esc at its character, Enter at its key-down (before a focused button).
  void KeyPress(char16_t& key) override;
  void KeyDown(gui::TVirtualKey& key, gui::TShiftState shift) override;

 private:
  TFrameStyle FStyle;
};
