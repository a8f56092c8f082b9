#pragma once
// TForm: a top-level window built in code. Forms are shown, hidden and
// closed (a close runs CloseQuery, then DoClose with an action that may
// refuse it); ShowModal runs a nested loop until ModalResult is set. With
// SetOwnFrame the window has no system frame: it draws a thin border (or a
// sizing border when BorderStyle is bsSizeable), and every press is first
// offered to HitTest, whose HTCAPTION answer moves the window and whose
// sizing answers resize it. Activation changes arrive as Activation.
//
// The first form created becomes the application's main form; closing the
// main form ends the program, closing any other window does not.

#include <memory>
#include <string>

#include "customcontrol.h"
#include "formframe.h"

namespace gui {

enum TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition : uint8_t { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TFormStyle : uint8_t { fsNormal, fsStayOnTop };
enum TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };

// Activation states (WM_ACTIVATE).
constexpr int WA_INACTIVE = 0;
constexpr int WA_ACTIVE = 1;
constexpr int WA_CLICKACTIVE = 2;

// Modal results; the answers of the message box use the same values.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

// The width of the frame an own-frame window draws.
constexpr int OwnFrameThin = 1;
constexpr int OwnFrameSizing = 4;

struct TSizeConstraints {
  int MinWidth = 0;
  int MinHeight = 0;
  int MaxWidth = 0;   // 0: no limit
  int MaxHeight = 0;  // 0: no limit
};

using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;

class TForm : public TCustomControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style);
  bool OwnFrame() const { return FOwnFrame; }
  void SetOwnFrame(bool ownFrame);
  // Width of the frame around the client area (0 with the system frame).
  int FrameWidth() const;

  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition position) { FPosition = position; }
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle style);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool preview) { FKeyPreview = preview; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);
  const TSizeConstraints& Constraints() const { return FConstraints; }
  void SetConstraints(const TSizeConstraints& constraints);

  void SetBounds(int left, int top, int width, int height) override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  void SetClientWidth(int width) override;
  void SetClientHeight(int height) override;

  void SetVisible(bool visible) override;
  void Close();
  // CloseQuery asks OnCloseQuery; false refuses the close.
  virtual bool CloseQuery();
  // Destroys the form once the events under way are handled.
  void Release();

  int ModalResult() const { return FModalResult; }
  // Setting a non-zero result closes a modal form.
  void SetModalResult(int result);
  // Shows the form modally and returns its ModalResult; the scripted-answer
  // hook (answerhook.h) is offered the form first.
  int ShowModal();
  bool Modal() const { return FModal; }

  bool Active() const;
  // Raises the form and makes it the active window.
  void BringToFront();
  TWinControl* ActiveControl() const;
  void SetActiveControl(TWinControl* control);

  // The form as it shows now, frame included, as a PNG file.
  bool SaveScreenshot(const std::string& pngPath);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  virtual void DoShow();
  virtual void DoHide();
  // The close action starts as caHide; OnClose may change it.
  virtual void DoClose(TCloseAction& action);
  // WA_ACTIVE, WA_CLICKACTIVE or WA_INACTIVE; fires OnActivate/OnDeactivate.
  virtual void Activation(int state);
  // Where a press at (x, y), relative to the window's outer top-left corner,
  // falls (FrameHitTest for the own frame; HTCLIENT inside).
  virtual int HitTest(int x, int y);
  // Fires OnPaint.
  void Paint() override;
  // The caption is the window's title.
  void TextChanged() override;
  QWidget* ClientWidget() const override;

 private:
  friend struct detail::QtAccess;
  struct Impl;
  void ApplyFrame();
  void ApplyPosition();
  void LayoutClient();
  void CloseModal();
  void WindowResized(int width, int height);

  std::unique_ptr<Impl> FImpl;
  TFormBorderStyle FBorderStyle = bsSizeable;
  bool FOwnFrame = false;
  TPosition FPosition = poDesigned;
  TFormStyle FFormStyle = fsNormal;
  bool FKeyPreview = false;
  TSizeConstraints FConstraints;
  int FModalResult = mrNone;
  bool FModal = false;
  bool FPositioned = false;
};

}  // namespace gui
