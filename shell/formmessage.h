#pragma once
// TfMessage: the program's own modal message box. Use: construct with the
// calling window as owner, set Kind and MessageText, ShowModal, read Answer,
// destroy. Answer is 1 (OK), 6 (Yes) or 7 (No); 0 when the box was closed
// without a button. Esc answers as the right button: OK for information,
// error and warning note, No for question and warning.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "geometry.h"
#include "languageservice.h"
#include "windowframe.h"

class TBitmapButton;
class TLabelEx;
class TPanelEx;

namespace gui {
class TImage;
class TPanel;
class TScrollBar;
}  // namespace gui

// A warning asks Yes or No; a warning note tells what a command assumed or
// found on the way though it did what it was asked (a job that opened with
// stated assumptions), with the warning's title and picture and one OK.
enum TMessageKind : uint8_t { mkInformation = 0, mkQuestion = 1, mkWarning = 2, mkError = 3, mkWarningNote = 4 };

// What each kind shows and answers, kept apart from the window.
struct TMessageLayout {
  TTextKey Title;
  bool HasButton2;  // the left button (Yes)
  TTextKey Button2;
  TTextKey Button1;  // the right button (OK or No)
  bool FocusButton2;
  int Answer1;  // the answer of the right button and of Esc
  int Answer2;  // the answer of the left button
};
TMessageLayout MessageLayoutFor(TMessageKind kind);

// Where the box puts its text and buttons for a text `textHeight` pixels
// high (its wrapped lines, measured with the box's font), on a screen whose
// work area is `workAreaHeight` pixels high. The box grows downwards with
// its text from its designed size up to gui::MessageScreenPercent of the
// work area (gui::GrowingTextView); a taller text scrolls, and the box then
// grows wider by the scroll bar, so the wrapping (gui::WrapText) stays as
// it is and the buttons stay in view.
struct TMessageGeometry {
  int PanelWidth = 0, PanelHeight = 0;  // the work panel
  int InnerWidth = 0, InnerHeight = 0;  // the panel of picture and text
  int ViewHeight = 0;                   // the part of the text in view
  int TextHeight = 0;                   // the text label: the whole text
  bool Scrolls = false;
  int ButtonTop = 0;
  int ButtonShift = 0;  // to the right of the designed places
};
TMessageGeometry MessageGeometry(int textHeight, int workAreaHeight);

// The box's top-left corner once its size changed from `placed` to `size`:
// the same centre, moved inside `workArea` (its top-left corner kept in
// view when it is larger).
gui::TPoint MessageBoxOrigin(const gui::TRect& placed, gui::TSize size, const gui::TRect& workArea);

class TfMessage : public TWindowFrame {
 public:
  // Every text the box looks up.
  static constexpr std::array<TTextKey, 7> LangKeys = {{
      {u"Forms", u"Warning"},
      {u"Forms", u"Information"},
      {u"Forms", u"Question"},
      {u"Forms", u"Error"},
      {u"Forms", u"OK"},
      {u"Forms", u"Yes"},
      {u"Forms", u"No"},
  }};

  explicit TfMessage(gui::TComponent* owner);

  int Answer = 0;
  TMessageKind Kind = mkInformation;
  std::u16string MessageText;

  TBitmapButton* bButton2 = nullptr;
  TBitmapButton* bButton1 = nullptr;
  TPanelEx* PanelEx1 = nullptr;
  // The part of the text in view, and the scroll bar beside it for a text
  // taller than the box can grow.
  gui::TPanel* pMessageView = nullptr;
  gui::TScrollBar* sbMessage = nullptr;
  TLabelEx* leMessage = nullptr;
  gui::TImage* iQuestion = nullptr;
  gui::TImage* iWarning = nullptr;
  gui::TImage* iError = nullptr;
  gui::TImage* iInformation = nullptr;

  void bButton1Click(gui::TComponent* sender);
  void bButton2Click(gui::TComponent* sender);

 protected:
  void DoShow() override;

 private:
  TBitmapButton* CreateButton(int left);
  gui::TImage* CreateIcon(int icon);
  gui::TImage* IconOf(TMessageKind kind) const;
  void ShowText();
  void LayOut(const TMessageGeometry& geometry);
  void Answered(int answer);
};

// One box of `kind` with `text`, owned by `owner`, shown modally; the
// answer (IDOK, IDYES, IDNO, or 0 when closed otherwise).
int ShowMessageBox(gui::TComponent* owner, TMessageKind kind, const std::u16string& text);
