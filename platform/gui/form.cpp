#include "form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "answerhook.h"
#include "application.h"
#include "dispatcher_qt.h"
#include "qtaccess_qt.h"
#include "qtconvert_qt.h"
#include "safecall_qt.h"

namespace gui {

namespace detail {

// The top-level window of a form: it holds the client widget inside the
// frame the form draws for itself, and reports resizes, moves, activation
// and close requests to the form.
class TFormWindow : public QWidget {
 public:
  explicit TFormWindow(TForm* form) : FForm(form) {}
  void Detach() { FForm = nullptr; }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!FForm) return;
    const int border = FForm->FrameWidth();
    if (border == 0) return;
    QPainter p(this);
    const QRect r = rect();
    if (border == OwnFrameThin) {
      p.setPen(QColor(0, 0, 0));
      p.drawRect(r.adjusted(0, 0, -1, -1));
      return;
    }
    p.fillRect(r, ToQColor(clBtnFace));
    p.setPen(ToQColor(clBtnHighlight));
    p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    p.setPen(ToQColor(clBtnShadow));
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
  }
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (FForm) QtAccess::FormWindowResized(*FForm, width(), height());
  }
  void moveEvent(QMoveEvent* event) override {
    QWidget::moveEvent(event);
    if (FForm) QtAccess::FormWindowMoved(*FForm, x(), y());
  }
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (FForm) {
      TForm* form = FForm;
      SafeCall([form] { form->Close(); });
    }
  }
  void changeEvent(QEvent* event) override {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !FForm) return;
    int state = WA_INACTIVE;
    if (isActiveWindow()) {
      TDispatcher* d = TDispatcher::Instance();
      const bool byClick = (d && d->TakeClickActivation(this)) || QGuiApplication::mouseButtons() != Qt::NoButton;
      state = byClick ? WA_CLICKACTIVE : WA_ACTIVE;
    }
    QtAccess::FormActivation(*FForm, state);
  }

 private:
  TForm* FForm;
};

}  // namespace detail

struct TForm::Impl {
  detail::TFormWindow* Window = nullptr;
  QEventLoop* ModalLoop = nullptr;
  TWinControl* ActiveControl = nullptr;
};

TForm::TForm(TComponent* owner) : TCustomControl(owner), FImpl(std::make_unique<Impl>()) {
  FImpl->Window = new detail::TFormWindow(this);
  // Tool-tips show over every window, not only over the active one.
  FImpl->Window->setAttribute(Qt::WA_AlwaysShowToolTips);
  detail::QtAccess::Register(FImpl->Window, this);
  QWidget* client = detail::QtAccess::Widget(*this);
  client->setParent(FImpl->Window);
  client->show();
  SetParentFont(false);
  SetVisible(false);
  if (Application && !Application->MainForm()) detail::QtAccess::SetMainForm(this);
  ApplyFrame();
  SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
  if (FImpl->ModalLoop) FImpl->ModalLoop->quit();
  FImpl->Window->Detach();
  detail::QtAccess::Register(FImpl->Window, nullptr);
  if (Application && Application->MainForm() == this) detail::QtAccess::SetMainForm(nullptr);
  // The client widget and its children go with the window.
  while (ControlCount() > 0) delete Controls(ControlCount() - 1);
  detail::ForgetControl(this);
  QWidget* client = detail::QtAccess::Widget(*this);
  client->setParent(nullptr);
  delete FImpl->Window;
}

QWidget* TForm::ClientWidget() const { return detail::QtAccess::Widget(*this); }

int TForm::FrameWidth() const {
  if (!FOwnFrame || FBorderStyle == bsNone) return 0;
  return (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin) ? OwnFrameSizing : OwnFrameThin;
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  FBorderStyle = style;
  ApplyFrame();
}

void TForm::SetOwnFrame(bool ownFrame) {
  FOwnFrame = ownFrame;
  ApplyFrame();
}

void TForm::SetFormStyle(TFormStyle style) {
  FFormStyle = style;
  ApplyFrame();
}

void TForm::ApplyFrame() {
  QWidget* w = FImpl->Window;
  const bool shown = w->isVisible();
  Qt::WindowFlags flags = Qt::Window;
  if (FOwnFrame || FBorderStyle == bsNone) flags |= Qt::FramelessWindowHint;
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) flags |= Qt::Tool;
  if (FFormStyle == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
  if (w->windowFlags() != flags) {
    w->setWindowFlags(flags);
    if (shown) w->show();
  }
  LayoutClient();
  w->update();
}

void TForm::LayoutClient() {
  const int b = FrameWidth();
  QWidget* client = detail::QtAccess::Widget(*this);
  client->setGeometry(b, b, std::max(0, Width() - 2 * b), std::max(0, Height() - 2 * b));
}

void TForm::SetBounds(int left, int top, int width, int height) {
  const int b = FrameWidth();
  width = std::max(width, std::max(FConstraints.MinWidth, 2 * b));
  height = std::max(height, std::max(FConstraints.MinHeight, 2 * b));
  if (FConstraints.MaxWidth > 0) width = std::min(width, FConstraints.MaxWidth);
  if (FConstraints.MaxHeight > 0) height = std::min(height, FConstraints.MaxHeight);
  const int oldClientW = ClientWidth();
  const int oldClientH = ClientHeight();
  detail::QtAccess::StoreBounds(*this, left, top, width, height);
  // Left and Top place the whole window, frame included.
  FImpl->Window->move(left, top);
  FImpl->Window->resize(width, height);
  LayoutClient();
  if (oldClientW != ClientWidth() || oldClientH != ClientHeight()) {
    for (int i = 0; i < ControlCount(); ++i) detail::QtAccess::ParentResized(*Controls(i));
    Resize();
  }
}

void TForm::WindowResized(int width, int height) {
  if (width == Width() && height == Height()) return;
  const int oldClientW = ClientWidth();
  const int oldClientH = ClientHeight();
  detail::QtAccess::StoreBounds(*this, Left(), Top(), width, height);
  LayoutClient();
  if (oldClientW != ClientWidth() || oldClientH != ClientHeight()) {
    for (int i = 0; i < ControlCount(); ++i) detail::QtAccess::ParentResized(*Controls(i));
    Resize();
  }
}

int TForm::ClientWidth() const { return std::max(0, Width() - 2 * FrameWidth()); }
int TForm::ClientHeight() const { return std::max(0, Height() - 2 * FrameWidth()); }
void TForm::SetClientWidth(int width) { SetWidth(width + 2 * FrameWidth()); }
void TForm::SetClientHeight(int height) { SetHeight(height + 2 * FrameWidth()); }

void TForm::SetConstraints(const TSizeConstraints& constraints) {
  FConstraints = constraints;
  FImpl->Window->setMinimumSize(constraints.MinWidth, constraints.MinHeight);
  FImpl->Window->setMaximumSize(constraints.MaxWidth > 0 ? constraints.MaxWidth : QWIDGETSIZE_MAX,
                                constraints.MaxHeight > 0 ? constraints.MaxHeight : QWIDGETSIZE_MAX);
  SetBounds(Left(), Top(), Width(), Height());
}

TWindowState TForm::WindowState() const {
  const Qt::WindowStates s = FImpl->Window->windowState();
  if (s & Qt::WindowMinimized) return wsMinimized;
  if (s & Qt::WindowMaximized) return wsMaximized;
  return wsNormal;
}

void TForm::SetWindowState(TWindowState state) {
  QWidget* w = FImpl->Window;
  const Qt::WindowStates s = state == wsMaximized   ? Qt::WindowMaximized
                             : state == wsMinimized ? Qt::WindowMinimized
                                                    : Qt::WindowNoState;
  if (Visible()) {
    if (state == wsMaximized)
      w->showMaximized();
    else if (state == wsMinimized)
      w->showMinimized();
    else
      w->showNormal();
  } else {
    w->setWindowState(s);
  }
}

void TForm::ApplyPosition() {
  if (FPosition == poDesigned || FPosition == poDefault) return;
  QRect area;
  if (FPosition == poOwnerFormCenter || FPosition == poMainFormCenter) {
    TForm* anchor = nullptr;
    if (FPosition == poOwnerFormCenter)
      if (auto* ownerControl = dynamic_cast<TControl*>(Owner())) anchor = ownerControl->ParentForm();
    if (!anchor && Application) anchor = Application->MainForm();
    if (anchor && anchor != this && anchor->Visible()) area = anchor->BoundsRect().Width() > 0
                                                                  ? detail::ToQRect(anchor->BoundsRect())
                                                                  : QRect();
  }
  if (area.isEmpty())
    if (QScreen* screen = QGuiApplication::primaryScreen()) area = screen->availableGeometry();
  if (area.isEmpty()) return;
  SetBounds(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2, Width(), Height());
}

void TForm::SetVisible(bool visible) {
  if (visible == Visible() && visible == FImpl->Window->isVisible()) return;
  if (visible) {
    if (!FPositioned) {
      FPositioned = true;
      ApplyPosition();
    }
    detail::QtAccess::StoreVisible(*this, true);
    DoShow();
    if (!Visible()) return;
    if (auto* ownerControl = dynamic_cast<TControl*>(Owner()))
      if (TForm* ownerForm = ownerControl->ParentForm(); ownerForm && ownerForm != this) {
        FImpl->Window->winId();
        if (QWindow* handle = FImpl->Window->windowHandle())
          handle->setTransientParent(detail::QtAccess::FormWindow(*ownerForm)->windowHandle());
      }
    FImpl->Window->show();
    FImpl->Window->raise();
    FImpl->Window->activateWindow();
  } else {
    detail::QtAccess::StoreVisible(*this, false);
    DoHide();
    FImpl->Window->hide();
  }
  VisibleChanged();
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::DoHide() {
  if (OnHide) OnHide(this);
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TForm::Close() {
  if (FModal) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TForm::Release() {
  Hide();
  QMetaObject::invokeMethod(FImpl->Window, [this] { delete this; }, Qt::QueuedConnection);
}

void TForm::SetModalResult(int result) {
  FModalResult = result;
  if (FModal && result != mrNone && FImpl->ModalLoop) FImpl->ModalLoop->quit();
}

void TForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone) FModalResult = mrNone;
}

int TForm::ShowModal() {
  FModal = true;
  FModalResult = mrNone;
  FImpl->Window->setWindowModality(Qt::ApplicationModal);
  Show();
  QPointer<QWidget> alive(FImpl->Window);
  TDialogRequest request;
  request.Kind = dkModalForm;
  request.Form = this;
  request.Title = detail::Utf8ToU16(Caption());
  if (std::optional<TDialogAnswer> answer = AskAnswerHook(request); answer && alive && answer->Result != mrNone)
    SetModalResult(answer->Result);
  while (alive) {
    if (Application && Application->Terminated()) FModalResult = mrCancel;
    if (FModalResult != mrNone) {
      detail::SafeCall([this] { CloseModal(); });
      if (!alive || FModalResult != mrNone) break;
    }
    QEventLoop loop;
    FImpl->ModalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    if (alive) FImpl->ModalLoop = nullptr;
  }
  if (!alive) return mrCancel;
  FModal = false;
  Hide();
  FImpl->Window->setWindowModality(Qt::NonModal);
  return FModalResult;
}

bool TForm::Active() const { return FImpl->Window->isActiveWindow(); }

void TForm::BringToFront() {
  FImpl->Window->raise();
  FImpl->Window->activateWindow();
}

TWinControl* TForm::ActiveControl() const {
  QWidget* focus = QApplication::focusWidget();
  if (!focus || focus->window() != FImpl->Window) return FImpl->ActiveControl;
  TControl* c = detail::QtAccess::ControlOf(focus);
  while (c && dynamic_cast<TWinControl*>(c) == nullptr) c = c->Parent();
  return static_cast<TWinControl*>(c);
}

void TForm::SetActiveControl(TWinControl* control) {
  FImpl->ActiveControl = control;
  if (control) control->SetFocus();
}

bool TForm::SaveScreenshot(const std::string& pngPath) {
  const QPixmap shot = FImpl->Window->grab();
  return !shot.isNull() && detail::SaveImageFile(shot.toImage(), pngPath, "PNG");
}

void TForm::Activation(int state) {
  if (state == WA_INACTIVE) {
    if (OnDeactivate) OnDeactivate(this);
  } else if (OnActivate) {
    OnActivate(this);
  }
}

int TForm::HitTest(int x, int y) {
  return FrameHitTest(x, y, Width(), Height(), FrameWidth(), FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin);
}

void TForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TForm::TextChanged() {
  FImpl->Window->setWindowTitle(detail::Utf8ToQString(Caption()));
  TCustomControl::TextChanged();
}

namespace detail {

QWidget* QtAccess::FormWindow(const TForm& form) { return form.FImpl->Window; }

}  // namespace detail

}  // namespace gui
