#pragma once
// The widget of the controls that paint themselves (custom and graphic
// controls, forms). It keeps a backing image that the control's canvas draws
// on, also outside paint events, and turns Qt's mouse, focus, resize and
// paint events into the control's notifications.

#include <QImage>
#include <QWidget>

namespace gui {
class TControl;
}

namespace gui::detail {

class TOwnWidget : public QWidget {
 public:
  // A graphic widget is transparent where its control does not paint.
  explicit TOwnWidget(bool graphic, QWidget* parent = nullptr);

  // Binds the control's canvas to the backing image.
  void Attach(TControl* control);
  void Detach();
  bool Graphic() const { return FGraphic; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void EnsureBacking();
  void CanvasChanged();

  TControl* FControl = nullptr;
  bool FGraphic;
  bool FInPaint = false;
  QImage FBacking;
};

// Mouse notifications of a Qt mouse event for a control.
void DeliverMousePress(TControl& control, QMouseEvent* event, bool doubleClick);
void DeliverMouseRelease(TControl& control, QMouseEvent* event);
void DeliverMouseMove(TControl& control, QMouseEvent* event);

}  // namespace gui::detail
