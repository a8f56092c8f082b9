#pragma once
// The building blocks both view windows are made of: tool-bar buttons,
// read-out buttons and panels, the strip buttons of the caption, and the
// status line mirrored from the workspace. Components are named as the
// windows' descriptions name them, so tests find them with FindComponent.

#include <initializer_list>

#include "bitmapbutton.h"
#include "image.h"
#include "labelex.h"
#include "paintbox.h"
#include "panelex.h"
#include "scrollbar.h"
#include "viewimages.h"
#include "viewworkspace.h"

namespace gui {
class TForm;
class TPanel;
class TWinControl;
}  // namespace gui

// Colours of the views' panels and buttons.
constexpr gui::TColor ToolBarFace = 0x7EAFA1;
constexpr gui::TColor ToolBarBorder = 0x466439;
constexpr gui::TColor StatusFace = 0xE1FFFF;
constexpr gui::TColor ToolButtonFace = 0xC8D0D4;
constexpr gui::TColor LetterButtonFace = 0xE1FFFF;
constexpr gui::TColor ValueButtonFace = 0xC8D0D4;

// A 27 x 27 tool-bar button with a glyph; a grey border that turns yellow
// under the mouse.
TBitmapButton* CreateToolButton(gui::TForm* owner, gui::TWinControl* parent, const char* name, int left,
                                TViewGlyph glyph);
// Replaces a button's glyph (enabled and disabled pictures).
void SetToolGlyph(TBitmapButton* button, TViewGlyph glyph);
// A read-out button 20 pixels high with a 13-pixel font: a letter button
// (light face) or a value button (grey face).
TBitmapButton* CreateReadoutButton(gui::TForm* owner, gui::TWinControl* parent, const char* name, int left, int top,
                                   int width, bool letter);
// A rounded panel of the tool bar's or the read-out's kind.
TPanelEx* CreateViewPanel(gui::TForm* owner, gui::TWinControl* parent, const char* name, int width, int height,
                          gui::TColor face, gui::TColor border);
// A small panel of the read-out (flat, light face) with a centred caption.
TPanelEx* CreateReadoutPanel(gui::TForm* owner, gui::TWinControl* parent, const char* name, int left, int top,
                             int width);
// A label of a read-out panel ("X", "Y").
TLabelEx* CreateReadoutLabel(gui::TForm* owner, gui::TWinControl* parent, const char* name, int left,
                             const char16_t* text);
// A 16 x 15 button of the caption strip.
TBitmapButton* CreateCaptionButton(gui::TForm* owner, const char* name, TStripGlyph glyph);

struct TViewStatusControls {
  TPanelEx* peStatus = nullptr;
  gui::TImage* iStatusLed = nullptr;
  TLabelEx* leStatus = nullptr;
  gui::TImage* iErrorLed = nullptr;
  TLabelEx* leError = nullptr;
};
void BuildStatusLine(TViewStatusControls& s, gui::TForm* owner, gui::TWinControl* parent);
// Copies the workspace's status line (MirrorStatus).
void ApplyStatusLine(TViewStatusControls& s, const TViewStatusLine& line);

// The components both signal windows have under the same names: the
// caption's buttons, the tool bar with the buttons of commands they share,
// the status line and the read-out panel. Each window adds its own (its
// paint box, scroll bars, zoom buttons, read-outs).
struct TSignalViewControls : TViewStatusControls {
  TBitmapButton* bCloseC = nullptr;
  TBitmapButton* bMaximize = nullptr;
  TBitmapButton* bMinimize = nullptr;
  TPanelEx* peButtons = nullptr;
  TBitmapButton* bZoomXY = nullptr;
  TBitmapButton* bZoomPrev = nullptr;
  TBitmapButton* bZoomAll = nullptr;
  TBitmapButton* bGotoX = nullptr;
  TBitmapButton* bGotoY = nullptr;
  TBitmapButton* bDisplayChannels = nullptr;
  TBitmapButton* bAsyncFile = nullptr;
  TBitmapButton* bPrint = nullptr;
  TBitmapButton* bSetup = nullptr;
  TBitmapButton* bBalancing = nullptr;
  TBitmapButton* bStartStop = nullptr;
  TPanelEx* peInfo = nullptr;
};

// The work panel's size as designed, in both windows.
constexpr int SignalViewPanelWidth = 780;
constexpr int SignalViewPanelHeight = 537;

// A tool-bar button of a window's own: its name, glyph, Tag and where the
// window keeps it.
struct TToolButtonSpec {
  const char* Name;
  TViewGlyph Glyph;
  TBitmapButton** Button;
  int Tag = 0;
};
// The tool bar peButtons: the window's buttons `left` from the left edge,
// 28 pixels apart; at the right end bAsyncFile, bPrint, bSetup, bBalancing,
// the button of the other window (`other`) and bStartStop (70 wide, bold).
void BuildSignalToolBar(TSignalViewControls& c, gui::TForm* form, gui::TPanel* panel,
                        std::initializer_list<TToolButtonSpec> left, const TToolButtonSpec& other);
// The read-out panel peInfo, empty.
void BuildReadoutPanel(TSignalViewControls& c, gui::TForm* form, gui::TPanel* panel);
// The plot's paint box and a scroll bar of a window (16 pixels across, no
// tab stop).
gui::TPaintBox* CreatePlotBox(gui::TForm* form, gui::TPanel* panel, const char* name);
gui::TScrollBar* CreateViewScrollBar(gui::TForm* form, gui::TPanel* panel, const char* name, bool vertical);
// From the bottom of the work panel up: the read-out, the status line and
// the tool bar, 5 pixels from the left; the tool bar's top.
int LayoutSignalPanels(TSignalViewControls& c, gui::TPanel* panel);
