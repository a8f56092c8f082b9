#include "ownwidget_qt.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

#include "canvas.h"
#include "control.h"
#include "qtaccess_qt.h"
#include "qtconvert_qt.h"
#include "safecall_qt.h"

namespace gui::detail {

namespace {

TMouseButton ButtonOf(Qt::MouseButton b) {
  if (b == Qt::RightButton) return mbRight;
  if (b == Qt::MiddleButton) return mbMiddle;
  return mbLeft;
}

bool KnownButton(Qt::MouseButton b) { return b == Qt::LeftButton || b == Qt::RightButton || b == Qt::MiddleButton; }

}  // namespace

TOwnWidget::TOwnWidget(bool graphic, QWidget* parent) : QWidget(parent), FGraphic(graphic) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent, !graphic);
  setFocusPolicy(Qt::NoFocus);
}

void TOwnWidget::Attach(TControl* control) {
  FControl = control;
  if (TCanvas* canvas = QtAccess::PaintCanvas(*control)) {
    EnsureBacking();
    QtAccess::BindImage(*canvas, &FBacking, [this] { CanvasChanged(); });
  }
}

void TOwnWidget::Detach() {
  if (FControl)
    if (TCanvas* canvas = QtAccess::PaintCanvas(*FControl)) QtAccess::Unbind(*canvas);
  FControl = nullptr;
}

void TOwnWidget::CanvasChanged() {
  if (!FInPaint) update();
}

void TOwnWidget::EnsureBacking() {
  const QSize size(std::max(1, width()), std::max(1, height()));
  if (FBacking.size() == size) return;
  if (FControl)
    if (TCanvas* canvas = QtAccess::PaintCanvas(*FControl)) QtAccess::ReleaseCanvas(*canvas);
  QImage fresh(size, FGraphic ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  fresh.fill(FGraphic ? QColor(Qt::transparent) : QColor(Qt::white));
  FBacking.swap(fresh);
}

void TOwnWidget::paintEvent(QPaintEvent*) {
  if (!FControl) return;
  TCanvas* canvas = QtAccess::PaintCanvas(*FControl);
  if (canvas) {
    EnsureBacking();
    QtAccess::ReleaseCanvas(*canvas);
    if ((QtAccess::Style(*FControl) & csOpaque) == 0)
      FBacking.fill(FGraphic ? QColor(Qt::transparent) : ToQColor(FControl->Color()));
    FInPaint = true;
    TControl* control = FControl;
    SafeCall([control] { QtAccess::DoPaint(*control); });
    FInPaint = false;
    if (FControl) QtAccess::ReleaseCanvas(*canvas);
  } else if (!FGraphic) {
    FBacking.fill(ToQColor(FControl->Color()));
  }
  QPainter p(this);
  p.drawImage(0, 0, FBacking);
}

void TOwnWidget::resizeEvent(QResizeEvent* event) {
  EnsureBacking();
  QWidget::resizeEvent(event);
  if (FControl) QtAccess::WidgetResized(*FControl, width(), height());
}

void DeliverMousePress(TControl& control, QMouseEvent* event, bool doubleClick) {
  if (!KnownButton(event->button())) return;
  const QPoint p = event->position().toPoint();
  const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
  QtAccess::MousePress(control, ButtonOf(event->button()), shift, p.x(), p.y(), doubleClick);
}

void DeliverMouseRelease(TControl& control, QMouseEvent* event) {
  if (!KnownButton(event->button())) return;
  const QPoint p = event->position().toPoint();
  const TShiftState shift = ShiftStateOf(event->modifiers(), event->buttons());
  QtAccess::MouseRelease(control, ButtonOf(event->button()), shift, p.x(), p.y());
}

void DeliverMouseMove(TControl& control, QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  QtAccess::MouseMoved(control, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TOwnWidget::mousePressEvent(QMouseEvent* event) {
  if (FControl) DeliverMousePress(*FControl, event, false);
}

void TOwnWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (FControl) DeliverMouseRelease(*FControl, event);
}

void TOwnWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (FControl) DeliverMousePress(*FControl, event, true);
}

void TOwnWidget::mouseMoveEvent(QMouseEvent* event) {
  if (FControl) DeliverMouseMove(*FControl, event);
}

}  // namespace gui::detail
