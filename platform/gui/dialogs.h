#pragma once
// The system message box, the open, save and print dialogs and the shell's
// "open" of a document. Each asks the scripted-answer hook first
// (answerhook.h).

#include <string>
#include <string_view>

#include "component.h"

namespace gui {

class TForm;

// MessageBox buttons and icons.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_OKCANCEL = 0x01;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x02;
constexpr unsigned MB_YESNOCANCEL = 0x03;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_RETRYCANCEL = 0x05;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

// MessageBox answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// A modal system message box over `owner` (nullptr: no owner); returns the
// answer. Closing it otherwise answers IDCANCEL, or IDOK for MB_OK. It
// shows its whole text as MessageBoxLayout lays it out.
int MessageBox(TForm* owner, const std::u16string& text, const std::u16string& caption, unsigned flags);

// How the system message box shows `text`, which may name the longest
// paths (no blank in thousands of characters): wrapped at TextWidth by the
// box's own font (WrapText: a word wider than a line is cut anywhere), and
// growing with its text up to most of the work area, beyond which the text
// scrolls in a view of ViewHeight beside its buttons (GrowingTextView).
constexpr int MessageBoxTextWidth = 480;
struct TMessageBoxLayout {
  std::u16string Text;  // the text with the line feeds of its wrapping
  int TextHeight = 0;
  int ViewHeight = 0;
  bool Scrolls = false;
};
TMessageBoxLayout MessageBoxLayout(const std::u16string& text);
// A line's width in the box's font, as its wrapping measures it.
int MessageBoxLineWidth(std::u16string_view line);

// Options of the file dialogs.
using TOpenOptions = uint32_t;
constexpr TOpenOptions ofOverwritePrompt = 0x01;
constexpr TOpenOptions ofHideReadOnly = 0x02;
constexpr TOpenOptions ofPathMustExist = 0x04;
constexpr TOpenOptions ofFileMustExist = 0x08;

// The standard open dialog. Filter lists "description|pattern" pairs
// separated by "|" ("Data files (*.asd)|*.asd"); DefaultExt (without the
// dot) is added to a chosen name without extension, and by the save dialog
// to every name that doesn't end with it. Paths are UTF-8.
class TOpenDialog : public TComponent {
 public:
  explicit TOpenDialog(TComponent* owner);

  std::string Filter;
  int FilterIndex = 1;
  std::string DefaultExt;
  std::string FileName;
  std::string InitialDir;
  std::u16string Title;
  TOpenOptions Options = ofHideReadOnly;

  // True with FileName set when the user chose a file.
  virtual bool Execute(TForm* owner = nullptr);

 protected:
  bool Run(TForm* owner, bool save);
};

class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(TComponent* owner);
  bool Execute(TForm* owner = nullptr) override;
};

// The print dialog: chooses the printer of Printer() or a PDF file to print
// into. False when cancelled.
class TPrintDialog : public TComponent {
 public:
  explicit TPrintDialog(TComponent* owner);
  bool Execute(TForm* owner = nullptr);
};

// Opens a document with the program the desktop associates with it (the
// shell's "open" verb). False when that could not start.
bool ShellOpen(const std::string& path);

// The name with `defaultExt` added when its last path part has no extension.
std::string WithDefaultExtension(const std::string& name, const std::string& defaultExt);
// The name a save dialog gives: `defaultExt` added unless the last path
// part already ends with it (in any case). A save writes a document whose
// companion files are named by replacing its extension, so a name like
// "rotor 2.5kg" must not count ".5kg" as the extension: it would save a
// document the open dialog's filter hides, beside companions that
// "rotor 2.7kg" shares. Dots that end the name are dropped before the
// extension is added; a name that is only the extension (".daqsession")
// comes back as it is, for the save to refuse.
std::string WithSaveExtension(const std::string& name, const std::string& defaultExt);

}  // namespace gui
