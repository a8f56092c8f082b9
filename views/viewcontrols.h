#pragma once
// The building blocks both view windows are made of: tool-bar buttons,
// read-out buttons and panels, the strip buttons of the caption, and the
// status line mirrored from the workspace. Components are named as the
// windows' descriptions name them, so tests find them with FindComponent.

#include "bitmapbutton.h"
#include "image.h"
#include "labelex.h"
#include "panelex.h"
#include "viewimages.h"
#include "viewworkspace.h"

namespace gui {
class TForm;
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
