#pragma once
// The scripted-answer hook: every dialog, message box, popup menu, modal form
// and shell "open" of the layer asks it first. A hook that answers stands in
// for the user (and nothing is shown); one that returns nothing lets the real
// window appear. Tests install one (directly, or through TAnswerScript) so
// that start-up questions and every later question are answered headless.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gui {

class TForm;
class TPopupMenu;

enum TDialogKind : uint8_t {
  dkMessageBox,
  dkModalForm,
  dkPopupMenu,
  dkOpenDialog,
  dkSaveDialog,
  dkPrintDialog,
  dkShellOpen,
};

struct TDialogRequest {
  TDialogKind Kind = dkMessageBox;
  std::u16string Title;
  std::u16string Text;       // message box text
  unsigned Flags = 0;        // message box flags (MB_...)
  TForm* Form = nullptr;     // the modal form, or the owner of the dialog
  const TPopupMenu* Menu = nullptr;
  std::string FileName;      // file dialogs: the proposed name; shell open: the document
};

struct TDialogAnswer {
  // Message box: IDOK, IDYES, ...; modal form: the modal result; popup menu:
  // the chosen id (0 dismisses); file and print dialogs: 1 done, 0 cancelled;
  // shell open: 1 opened.
  int Result = 0;
  // File dialogs: the chosen file. Print dialog: a PDF file to print into
  // (empty: the chosen printer).
  std::string FileName;
};

using TAnswerHook = std::function<std::optional<TDialogAnswer>(const TDialogRequest& request)>;

// Installs a hook (an empty function removes it); returns the previous one.
TAnswerHook SetAnswerHook(TAnswerHook hook);
// What the hook answers to a request (nullopt when none is installed or it
// lets the real window appear).
std::optional<TDialogAnswer> AskAnswerHook(const TDialogRequest& request);

// A queue of expected questions and their answers, installed as the hook for
// its lifetime. Each request takes the next entry: when its kind matches,
// its action runs (it may act on the modal form) and its answer is given.
// A request that finds no entry, or one of another kind, is recorded as
// unexpected and answered 0 (dismiss, no, cancel; a modal form gets
// mrCancel) without showing anything.
class TAnswerScript {
 public:
  TAnswerScript();
  ~TAnswerScript();
  TAnswerScript(const TAnswerScript&) = delete;
  TAnswerScript& operator=(const TAnswerScript&) = delete;

  using TAction = std::function<std::optional<TDialogAnswer>(const TDialogRequest&)>;
  TAnswerScript& Expect(TDialogKind kind, int result, const std::string& fileName = {});
  TAnswerScript& ExpectAction(TDialogKind kind, TAction action);

  // Every request seen, in order.
  const std::vector<TDialogRequest>& Requests() const { return FRequests; }
  // Requests that found no matching entry.
  const std::vector<TDialogRequest>& Unexpected() const { return FUnexpected; }
  // Entries never used.
  size_t Pending() const { return FEntries.size(); }

 private:
  struct TEntry {
    TDialogKind Kind;
    TAction Action;
  };
  std::optional<TDialogAnswer> Answer(const TDialogRequest& request);

  std::deque<TEntry> FEntries;
  std::vector<TDialogRequest> FRequests;
  std::vector<TDialogRequest> FUnexpected;
  TAnswerHook FPrevious;
};

}  // namespace gui
