#pragma once
// TfMessage: the program's own modal message box. Use: construct with the
// calling window as owner, set Kind and MessageText, ShowModal, read Answer,
// destroy. Answer is 1 (OK), 6 (Yes) or 7 (No); 0 when the box was closed
// without a button. Esc answers as the right button: OK for information
// and error, No for question and warning.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "languageservice.h"
#include "windowframe.h"

class TBitmapButton;
class TLabelEx;
class TPanelEx;

namespace gui {
class TImage;
}

enum TMessageKind : uint8_t { mkInformation = 0, mkQuestion = 1, mkWarning = 2, mkError = 3 };

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

// The text with line feeds added so that no line is wider than maxWidth by
// `measure`: breaks at blanks, a word wider than a line is cut between
// characters; line feeds of the text stay. The message label draws line
// feeds but does not wrap by itself.
std::u16string WrapMessageText(std::u16string_view text, int maxWidth,
                               const std::function<int(std::u16string_view)>& measure);

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
  void Answered(int answer);
};

// One box of `kind` with `text`, owned by `owner`, shown modally; the
// answer (IDOK, IDYES, IDNO, or 0 when closed otherwise).
int ShowMessageBox(gui::TComponent* owner, TMessageKind kind, const std::u16string& text);
