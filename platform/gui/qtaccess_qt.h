#pragma once
// The layer's door from its public classes to the Qt objects behind them.
// Public headers only name detail::QtAccess as a friend; what it opens is
// declared here, for the layer's own sources.

#include <QImage>

#include <functional>

#include "geometry.h"
#include "keys.h"

class QPainter;
class QPrinter;
class QWidget;

namespace gui {
class TApplication;
class TBitmap;
class TCanvas;
class TControl;
class TWinControl;
class TForm;
class TListBox;
class TPrinter;
}  // namespace gui

namespace gui::detail {

struct QtAccess {
  // Canvas targets. A raster target is an image the canvas paints with its
  // own painter (begun on first use, ended by ReleaseCanvas); `changed` runs
  // after every drawing call. A vector target is a painter someone else
  // owns (a printer page), with the device's resolution and page size.
  static void BindImage(TCanvas& canvas, QImage* image, std::function<void()> changed = {});
  static void BindPainter(TCanvas& canvas, QPainter* painter, int dpiX, int dpiY, int horzRes, int vertRes);
  static void Unbind(TCanvas& canvas);
  // Ends the canvas's own painter, so that its image may be read or resized.
  static void ReleaseCanvas(TCanvas& canvas);
  // Shifts the canvas origin: drawing at (0, 0) lands at (dx, dy).
  static void SetCanvasOrigin(TCanvas& canvas, int dx, int dy);
  // The image behind a raster canvas (nullptr for other canvases).
  static const QImage* CanvasImage(TCanvas& canvas);

  // The image of a bitmap, its painter released.
  static QImage& Image(TBitmap& bitmap);
  static const QImage& Image(const TBitmap& bitmap);
  // The image to draw: with the transparent colour cut out when the bitmap
  // is transparent.
  static QImage DrawableImage(const TBitmap& bitmap);

  // The widget of a control; the control of a widget or of its nearest
  // ancestor that has one (nullptr when none, or while it is destroyed).
  static QWidget* Widget(const TControl& control);
  static TControl* ControlOf(QWidget* widget);
  static void Register(QWidget* widget, TControl* control);
  // Connects a control that paints itself to its widget's backing image;
  // called once the control's canvas exists.
  static void Attach(TControl& control);
  static void Detach(TControl& control);
  static QWidget* ClientWidget(const TWinControl& control);

  // Notifications, delivered through the controls' protected virtuals.
  static void MousePress(TControl& c, TMouseButton button, TShiftState shift, int x, int y, bool doubleClick);
  static void MouseRelease(TControl& c, TMouseButton button, TShiftState shift, int x, int y);
  static void MouseMoved(TControl& c, TShiftState shift, int x, int y);
  static void MouseEntered(TControl& c);
  static void MouseLeft(TControl& c);
  static bool Wheel(TControl& c, TShiftState shift, int delta, TPoint screenPos);
  static bool ContextPopup(TControl& c, TPoint pos);
  static void KeyDown(TWinControl& c, TVirtualKey& key, TShiftState shift);
  static void KeyPress(TWinControl& c, char16_t& key);
  static void KeyUp(TWinControl& c, TVirtualKey& key, TShiftState shift);
  static void FocusIn(TWinControl& c);
  static void FocusOut(TWinControl& c);
  static void Click(TControl& c);
  static TCanvas* PaintCanvas(TControl& c);
  static void DoPaint(TControl& c);
  // The platform resized the widget (a form by the user or the window system).
  static void WidgetResized(TControl& c, int width, int height);
  static unsigned Style(const TControl& c);
  static bool KeyPreview(const TForm& form);
  // The top-level window of a form (frame included) and its hit test.
  static QWidget* FormWindow(const TForm& form);
  static int HitTest(TForm& form, int x, int y);
  static void FormWindowResized(TForm& form, int width, int height);
  static void FormWindowMoved(TForm& form, int x, int y);
  static void FormActivation(TForm& form, int state);
  static void SetMainForm(TForm* form);

  // Plain stores of a control's fields, without notifications.
  static void StoreBounds(TControl& c, int left, int top, int width, int height);
  static void StoreVisible(TControl& c, bool visible);
  static void ParentResized(TControl& c);

  static void ArmIdle(TApplication& app);
  static TPrinter& ApplicationPrinter(TApplication& app);
  static QPrinter& PrinterDevice(TPrinter& printer);
  // One item of an owner-drawn list, drawn through the list's canvas.
  static void PaintListItem(TListBox& list, QPainter* painter, const TRect& rect, int index, uint8_t state);
};

}  // namespace gui::detail
