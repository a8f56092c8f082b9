#include "formlog.h"

#include "bitmapbutton.h"
#include "dialogs.h"
#include "folders.h"
#include "labelex.h"
#include "listbox.h"
#include "memo.h"
#include "panel.h"
#include "pathfunctions.h"
#include "systemerror.h"
#include "zelto.h"

namespace {

enum TLogText : size_t { ltLog, ltClose, ltLogNotWritten, ltLogDayNotRead };

const TTextKey& Key(TLogText text) { return TfLog::LangKeys[text]; }

constexpr gui::TColor ListColor = 0xE1FFFF;
constexpr int PanelWidth = 600;
constexpr int PanelHeight = 380;
constexpr int Margin = 8;
constexpr int DayListWidth = 121;

// The lines of a text whose lines end in CR LF (a lone LF counts too). The
// piece after the last line end is a line of its own when `lastOpen`, even
// an empty one: an entry that ends in a line end leaves an empty line.
std::vector<std::u16string> SplitLines(std::u16string_view text, bool lastOpen) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = text.find(u'\n', start);
    if (end == std::u16string_view::npos) {
      if (lastOpen || start < text.size()) lines.emplace_back(text.substr(start));
      break;
    }
    size_t cut = end;
    if (cut > start && text[cut - 1] == u'\r') --cut;
    lines.emplace_back(text.substr(start, cut - start));
    start = end + 1;
  }
  return lines;
}

TLogDay DayOf(const TWallTime& time) {
  return {static_cast<int16_t>(time.Year), static_cast<int16_t>(time.Month), static_cast<int16_t>(time.Day)};
}

}  // namespace

TfLog::TfLog(gui::TComponent* owner, TWallClock clock) : TWindowFrame(owner, FrameLog), FClock(std::move(clock)) {
  LayoutFrame(PanelWidth, PanelHeight);
  SetConstraints({300, 200, 0, 0});
  CreateControls();
  EscapeAction = [this] { Close(); };
  FNotWrittenText = LangText(Key(ltLogNotWritten)).Text;

  if (TheCore && !TheCore->AppDataDir.empty()) {
    FFolder = TheCore->AppDataDir;
    rtl::PathAppendW(FFolder, u"Log");
  }
  FLogDay = DayOf(FClock());
  LogPath = FFolder;
  rtl::PathAppendW(LogPath, LogDayFileName(FLogDay));
  // A log that can't be kept doesn't keep the job from being measured and
  // saved elsewhere.
  int error = 0;
  if (!rtl::ForceDirectories(FFolder, &error)) {
    TellNotWritten(FFolder, rtl::SystemErrorText(error));
    return;
  }
  OpenLogFile();
}

TfLog::~TfLog() { FLogFile.Close(); }

void TfLog::CreateControls() {
  bCloseS = CreateStripCloseButton();
  bCloseS->OnClick = [this](gui::TComponent* sender) { bCloseSClick(sender); };

  bClose = new TBitmapButton(this);
  bClose->SetParent(pWindow);
  bClose->SetBounds(PanelWidth - Margin - 75, PanelHeight - Margin - 25, 75, 25);
  bClose->Font().SetStyle(gui::fsBold);
  bClose->Font().SetColor(gui::clBlack);
  bClose->SetBorderColor(gui::clGray);
  bClose->SetBorderOver(gui::clYellow);
  bClose->SetParentColor(true);
  bClose->SetAnchors(gui::akRight | gui::akBottom);
  bClose->OnClick = [this](gui::TComponent* sender) { bCloseSClick(sender); };

  const int listHeight = PanelHeight - 3 * Margin - 25;
  lbLogDays = new gui::TListBox(this);
  lbLogDays->SetParent(pWindow);
  lbLogDays->SetBounds(Margin, Margin, DayListWidth, listHeight);
  lbLogDays->SetColor(ListColor);
  lbLogDays->SetAnchors(gui::akLeft | gui::akTop | gui::akBottom);
  lbLogDays->OnClick = [this](gui::TComponent* sender) { lbLogDaysClick(sender); };

  reLog = new gui::TRichEdit(this);
  reLog->SetParent(pWindow);
  reLog->SetBounds(2 * Margin + DayListWidth, Margin, PanelWidth - 3 * Margin - DayListWidth, listHeight);
  reLog->SetColor(ListColor);
  reLog->SetReadOnly(true);
  reLog->SetWordWrap(false);
  reLog->SetScrollBars(gui::ssVertical);
  reLog->SetAnchors(gui::akLeft | gui::akTop | gui::akRight | gui::akBottom);
}

bool TfLog::OpenLogFile() {
  const std::u16string error = FLogFile.Open(LogPath);
  if (error.empty()) return true;
  TellNotWritten(LogPath, error);
  return false;
}

// In the system's box, which needs no other window; once, as every later
// entry would fail alike.
void TfLog::TellNotWritten(const std::u16string& file, const std::u16string& reason) {
  if (FWriteFailureShown) return;
  FWriteFailureShown = true;
  if (const TLangText heading = LangText(Key(ltLogNotWritten))) FNotWrittenText = heading.Text;
  gui::MessageBox(nullptr, FNotWrittenText + u"\n" + file + u": " + reason, u"Error", gui::MB_OK | gui::MB_ICONERROR);
}

void TfLog::WriteEntry(TLogEntryKind kind) {
  if (!TheCore) return;
  const std::optional<std::u16string> body = LogEntryBody(kind, *TheCore, Workspace, ResultPending);
  if (!body) return;
  const std::u16string entry = LogEntryText(FClock(), *body);
  if (FShownDay == FLogDay) AppendToViewer(entry);
  AppendToFile(entry);
}

void TfLog::WriteNote(std::u16string_view text) {
  // Each further line of the text becomes a detail line of the entry.
  std::u16string body;
  for (const char16_t c : text) body += c == u'\n' ? std::u16string(u"\r\n\t") : std::u16string(1, c);
  const std::u16string entry = LogEntryText(FClock(), body);
  if (FShownDay == FLogDay) AppendToViewer(entry);
  AppendToFile(entry);
}

// The entry still shows in the viewer; a file that takes no more is told
// once, with why, in the system's box, which needs no other window.
void TfLog::AppendToFile(const std::u16string& entry) {
  const int error = FLogFile.Append(entry + u"\r\n");
  if (error != 0) TellNotWritten(LogPath, rtl::SystemErrorText(error));
}

void TfLog::AppendToViewer(std::u16string_view entry) {
  for (const std::u16string& line : SplitLines(entry, true)) reLog->Lines().Add(line);
}

void TfLog::DoShow() {
  TWindowFrame::DoShow();
  FormShow(this);
}

void TfLog::FormShow(gui::TComponent* sender) {
  ApplyActivation(gui::WA_ACTIVE);
  pWindow->SetColor(WorkPanelColor);
  const std::u16string close = LangText(Key(ltClose)).Text;
  bClose->SetCaptionW(close);
  TLanguageService::AddToolTip(this, bCloseS, close);
  leCaption->SetCaptionW(LangText(Key(ltLog)).Text);
  if (!sender) return;

  reLog->Lines().Clear();
  FShownDay.reset();
  FDays = ListLogDays(FFolder);
  lbLogDays->Items().Clear();
  for (size_t i = 0; i < FDays.size(); ++i)
    lbLogDays->Items().AddObject(LogDayText(FDays[i]), static_cast<intptr_t>(i));
  if (FDays.empty()) return;
  lbLogDays->SetItemIndex(lbLogDays->Items().Count() - 1);
  lbLogDaysClick(lbLogDays);
}

void TfLog::lbLogDaysClick(gui::TComponent*) {
  const int index = lbLogDays->ItemIndex();
  if (index < 0) return;
  const auto day = static_cast<size_t>(lbLogDays->Items().Objects(index));
  if (day >= FDays.size()) return;
  ShowDay(FDays[day]);
}

void TfLog::ShowDay(const TLogDay& day) {
  reLog->Lines().Clear();
  FShownDay = day;
  std::u16string path = FFolder;
  rtl::PathAppendW(path, LogDayFileName(day));
  int error = 0;
  const std::optional<std::u16string> text = ReadLogDayFile(path, &error);
  if (!text) {
    FShownDay.reset();
    gui::MessageBox(this, LangText(Key(ltLogDayNotRead)).Text + u"\n" + path + u": " + rtl::SystemErrorText(error),
                    u"Error", gui::MB_OK | gui::MB_ICONERROR);
    return;
  }
  const std::vector<std::u16string> lines = SplitLines(*text, false);
  std::u16string shown;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) shown += u'\n';
    shown += lines[i];
  }
  reLog->SetText(shown);
}

void TfLog::bCloseSClick(gui::TComponent*) { Close(); }
