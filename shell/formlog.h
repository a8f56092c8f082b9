#pragma once
// TfLog: the daily log, writer and viewer in one window. Created at start-up
// and kept for the whole run; every entry goes to the day's file in the log
// folder (AppDataDir "Log/") and, while the viewer shows that day, to the
// viewer. The workspace opens the viewer modally to browse the log of any
// day; the file keeps receiving entries meanwhile.
//
// The file is the one of the day the program started: a run past midnight
// keeps writing into it.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "languageservice.h"
#include "logentry.h"
#include "logfile.h"
#include "wallclock.h"
#include "windowframe.h"

class TBitmapButton;

namespace gui {
class TListBox;
class TRichEdit;
}  // namespace gui

class TfLog : public TWindowFrame {
 public:
  static constexpr std::array<TTextKey, 4> LangKeys = {{
      {u"Forms", u"Log"},
      {u"Forms", u"Close"},
      {u"Forms", u"LogNotWritten"},
      {u"Forms", u"LogDayNotRead"},
  }};

  // Opens today's file (by the clock) in the log folder of TheCore. When
  // the folder can't be made or the file can't be opened (a read-only data
  // folder), the program runs on without its log: an error box names the
  // folder or file and why, once, and entries reach only the viewer.
  explicit TfLog(gui::TComponent* owner, TWallClock clock = LocalWallTime);
  ~TfLog() override;

  // Builds the entry from TheCore and the workspace and appends it.
  void WriteEntry(TLogEntryKind kind);
  // Appends an entry of the given text, for what no entry kind covers (a
  // save of the job that failed, files kept aside); a line break in the
  // text starts a detail line.
  void WriteNote(std::u16string_view text);

  // The workspace the amplitude-only weights are read from; null until the
  // workspace registers.
  TLogWorkspace* Workspace = nullptr;
  // A measurement entry was written since the last result entry.
  bool ResultPending = false;
  // The day's file, and whether it is open.
  std::u16string LogPath;
  bool LogFileOpen() const { return FLogFile.IsOpen(); }

  TBitmapButton* bCloseS = nullptr;
  TBitmapButton* bClose = nullptr;
  gui::TListBox* lbLogDays = nullptr;
  gui::TRichEdit* reLog = nullptr;

  // Colours and texts; with a sender also the day list, opened on the
  // newest day. The set-up dialog calls it with nullptr after a colour
  // change.
  void FormShow(gui::TComponent* sender);
  void lbLogDaysClick(gui::TComponent* sender);
  void bCloseSClick(gui::TComponent* sender);

  // The days listed by the last show, oldest first.
  const std::vector<TLogDay>& Days() const { return FDays; }

 protected:
  void DoShow() override;

 private:
  void CreateControls();
  bool OpenLogFile();
  void TellNotWritten(const std::u16string& file, const std::u16string& reason);
  void ShowDay(const TLogDay& day);
  void AppendToViewer(std::u16string_view entry);
  void AppendToFile(const std::u16string& entry);

  TWallClock FClock;
  std::u16string FFolder;
  TLogDay FLogDay;
  TLogFile FLogFile;
  std::vector<TLogDay> FDays;
  std::optional<TLogDay> FShownDay;
  // A failed write of the log was told; once is enough, as every later
  // entry would fail alike.
  bool FWriteFailureShown = false;
  // The heading of that message, as last looked up: the shutdown's entries
  // come after the language has closed.
  std::u16string FNotWrittenText;
};
