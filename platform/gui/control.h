#pragma once
// TControl: what every control has: a place in its parent, size, anchors,
// colour, font, visibility, its own enabled flag, caption, tool-tip, and the
// Windows-style notifications. Notifications arrive as the protected virtual
// methods below, translated from the platform's events; each default fires
// the matching On... event, so a subclass that overrides one and still wants
// the event calls the inherited method.
//
// Mouse enter and leave are tracked by the layer itself from the cursor
// position, for disabled controls too. A click is a press and a release of
// the left button over the control while it is enabled, whatever the control
// does in its mouse-up; the click comes before the mouse-up notification.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "color.h"
#include "component.h"
#include "font.h"
#include "geometry.h"
#include "keys.h"

class QWidget;

namespace gui {

class TWinControl;
class TForm;
class TCanvas;

using TAnchors = uint8_t;
constexpr TAnchors akLeft = 0x01;
constexpr TAnchors akTop = 0x02;
constexpr TAnchors akRight = 0x04;
constexpr TAnchors akBottom = 0x08;

using TControlStyle = uint32_t;
// The control paints its whole area: nothing is erased before Paint.
constexpr TControlStyle csOpaque = 0x01;
// Kept for the descriptions that set it; it has no visible effect.
constexpr TControlStyle csFramed = 0x02;
// A second press in quick succession is a double click (DblClick, then
// MouseDown with ssDouble, and no click on its release); without the flag
// it is an ordinary press.
constexpr TControlStyle csDoubleClicks = 0x04;
// Presses and releases make clicks.
constexpr TControlStyle csClickEvents = 0x08;
constexpr TControlStyle csCaptureMouse = 0x10;

using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;
using TMouseWheelEvent =
    std::function<void(TComponent* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)>;
using TContextPopupEvent = std::function<void(TComponent* sender, TPoint mousePos, bool& handled)>;

class TControl : public TComponent {
 public:
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);
  // The form the control sits on (itself for a form), or nullptr.
  TForm* ParentForm() const;

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  // (0, 0, ClientWidth, ClientHeight).
  TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
  virtual int ClientWidth() const { return FWidth; }
  virtual int ClientHeight() const { return FHeight; }
  virtual void SetClientWidth(int v) { SetWidth(v); }
  virtual void SetClientHeight(int v) { SetHeight(v); }

  TAnchors Anchors() const { return FAnchors; }
  // The distances to the parent's edges are taken when the anchors are set
  // and when the control is moved or sized; a resize of the parent keeps
  // them.
  void SetAnchors(TAnchors anchors);

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent visible up to a shown form.
  bool Showing() const;

  // The control's own enabled flag.
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool enabled);

  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool parentColor);
  // The font; changing it repaints the control. SetFont copies a font in.
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& font) { FFont.Assign(font); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool parentFont);

  // The 8-bit caption (UTF-8).
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption);

  // Tool-tip text, shown while ShowHint is set.
  const std::u16string& Hint() const { return FHint; }
  void SetHint(const std::u16string& hint);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool show);

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle style) { FControlStyle = style; }

  TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  // Repaint requests: Invalidate paints at the next chance, Repaint and
  // Refresh at once, Update paints what is pending.
  void Invalidate();
  void Repaint();
  void Refresh() { Repaint(); }
  void Update();
  void BringToFront();
  void SendToBack();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TMouseWheelEvent OnMouseWheel;
  TContextPopupEvent OnContextPopup;

 protected:
  // For the layer's own controls: the widget that shows the control.
  TControl(TComponent* owner, QWidget* widget);

  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Wheel turned while the control has the focus (or, for a form, while
  // nothing under it handled it); true when handled.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  virtual void Resize();
  virtual void EnabledChanged();
  virtual void FontChanged();
  virtual void ColorChanged();
  virtual void TextChanged();
  virtual void VisibleChanged();
  // The parent's client area changed size: anchored controls follow.
  void ParentResized();
  // The canvas of a control that paints itself (nullptr for the others) and
  // its paint routine; the layer calls them whenever the control is painted.
  virtual TCanvas* PaintCanvas() { return nullptr; }
  virtual void DoPaint() {}

 private:
  friend struct detail::QtAccess;
  friend class TWinControl;
  void ApplyGeometry();
  void StackBelowWindowedSiblings();
  void RecordAnchorDistances();
  void ApplyParentFont();
  void FontWasChanged();
  void ApplyParentColor();

  QWidget* FWidget = nullptr;
  TWinControl* FParent = nullptr;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  TAnchors FAnchors = akLeft | akTop;
  int FAnchorRight = 0;
  int FAnchorBottom = 0;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clBtnFace;
  bool FParentColor = false;
  TFont FFont;
  bool FParentFont = true;
  std::string FCaption;
  std::u16string FHint;
  bool FShowHint = false;
  TControlStyle FControlStyle = csClickEvents | csCaptureMouse | csDoubleClicks;
  bool FClicked = false;
  bool FDestroying = false;
};

}  // namespace gui
