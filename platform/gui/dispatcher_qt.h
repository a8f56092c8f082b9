#pragma once
// The application-wide event filter that turns Qt's events into the
// notifications that no single widget can produce: key preview and key
// filtering (for every control, standard ones included), mouse enter and
// leave tracked from the cursor position (for disabled controls too), the
// wheel chain from the focused control up to its form, focus changes, context
// pop-ups, and the frame answers of forms (caption drag, sizing border).

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

namespace gui {
class TControl;
class TForm;
}  // namespace gui

namespace gui::detail {

class TDispatcher : public QObject {
 public:
  // The one dispatcher, while the application object lives (else nullptr).
  static TDispatcher* Instance();
  TDispatcher();
  ~TDispatcher() override;

  bool eventFilter(QObject* watched, QEvent* event) override;

  // A press at a global point on a form's own area: asks the form's hit
  // test and starts a move or resize for frame answers. True when taken.
  bool OfferFramePress(TForm& form, QPoint global);
  void ForgetControl(TControl* control);
  TControl* Hovered() const { return FHover; }
  // Something happened that may make the application busy again.
  void Activity();
  // Whether the window is being activated by a press on it (and forgets it).
  bool TakeClickActivation(QWidget* window);

 private:
  bool KeyEvent(QObject* watched, QEvent* event);
  bool WheelEvent(QObject* watched, QEvent* event);
  bool MouseEvent(QObject* watched, QEvent* event);
  void UpdateHover(TControl* now);
  void ActivateByClick(QWidget* window);
  bool DragStep(QPoint global);
  void EndDrag();

  TControl* FHover = nullptr;
  QPointer<QWidget> FClickActivated;
  bool FReplaying = false;
  // A move or resize of a form by the layer (when the window system can't).
  struct TDrag {
    QPointer<QWidget> Window;
    TForm* Form = nullptr;
    int Hit = 0;
    QPoint StartGlobal;
    QRect StartGeometry;
  };
  TDrag FDrag;
};

void ForgetControl(TControl* control);
// Input arrived: the application's idle hook may run again when the queue
// next runs dry.
void NoteActivity();

}  // namespace gui::detail
