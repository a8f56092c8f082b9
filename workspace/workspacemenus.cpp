#include "workspacemenus.h"

#include <cmath>


#include "balancingreport.h"
#include "dialogs.h"
#include "folders.h"
#include "formbalancing.h"
#include "formfftgraph.h"
#include "forminfo.h"
#include "formlog.h"
#include "formmessage.h"
#include "formtimegraph.h"
#include "pathfunctions.h"
#include "popupmenu.h"
#include "printer.h"
#include "sessioncommands.h"
#include "textconv.h"
#include "wallclock.h"

const std::array<TTextKey, 8> MenuLangKeys = {{
    {u"Forms", u"Report"},
    {u"Forms", u"Log"},
    {u"Forms", u"Help"},
    {u"Forms", u"About"},
    {u"Forms", u"Enable"},
    {u"Forms", u"Disable"},
    {u"Help", u"File"},
    {u"Forms", u"NoHelpDocument"},
}};

namespace {

std::u16string FormsText(std::u16string_view key) { return LangText({u"Forms", key}).Text; }

// The clicked control, or `fallback` when the sender is none.
const gui::TControl* AnchorOf(gui::TComponent* sender, const gui::TControl* fallback) {
  const auto* control = dynamic_cast<const gui::TControl*>(sender);
  return control ? control : fallback;
}

}  // namespace

int TrackMenuBelow(gui::TPopupMenu& menu, const gui::TControl* anchor, gui::TForm* owner) {
  const gui::TPoint origin = anchor->ClientOrigin();
  return menu.Track(origin.x, origin.y + anchor->Height(), gui::TPM_LEFTALIGN | gui::TPM_TOPALIGN | gui::TPM_RETURNCMD,
                    owner);
}

int ChooseFromMenu(std::initializer_list<std::u16string> items, int checked, const gui::TControl* anchor,
                   gui::TForm* owner) {
  gui::TPopupMenu menu(nullptr);
  int id = 0;
  for (const std::u16string& item : items) menu.Append(++id, item);
  if (checked > 0) menu.CheckRadioItem(1, id, checked);
  return TrackMenuBelow(menu, anchor, owner);
}

// --- the window's handlers ---------------------------------------------------------

void TfBalancing::BindCommands() {
  pdReport = new gui::TPrintDialog(this);
  const auto bind = [this](gui::TComponent* component, void (TfBalancing::*handler)(gui::TComponent*)) {
    if (auto* control = dynamic_cast<gui::TControl*>(component))
      control->OnClick = [this, handler](gui::TComponent* sender) { (this->*handler)(sender); };
  };
  bind(bReport, &TfBalancing::bReportClick);
  bind(bSession, &TfBalancing::bSessionClick);
  bind(bHelp, &TfBalancing::bHelpClick);
  bind(bFreqUnit, &TfBalancing::bRotSpeedValueClick);
  bind(bDirValue, &TfBalancing::bDirValueClick);
  bind(bCorrectionMassValue, &TfBalancing::bCorrectionMassValueClick);
  for (gui::TComponent* unit : {static_cast<gui::TComponent*>(bAmplUnit1D), static_cast<gui::TComponent*>(bAmplUnit2DA),
                                static_cast<gui::TComponent*>(bAmplUnit2DB), FindComponent("leGWBMassBD")})
    bind(unit, &TfBalancing::bAmplUnitClick);
  for (TBitmapButton* mass : {bMass1T, bMass2TA, bMass2TB}) bind(mass, &TfBalancing::bMassTClick);
  bind(bTotalMass, &TfBalancing::bTotalMassClick);
  bind(bCtrlMassValue, &TfBalancing::bCtrlMassValueClick);
  bind(bSetup, &TfBalancing::bSetupClick);
}

void TfBalancing::bReportClick(gui::TComponent*) {
  if (!TheCore) return;
  gui::TPopupMenu menu(nullptr);
  // The report needs at least the correction; until then it is greyed, so
  // that it looks as it acts.
  menu.Append(rmReport, FormsText(u"Report"), TheCore->HighestStep < RunCorrection ? gui::MF_GRAYED : gui::MF_STRING);
  menu.Append(rmLog, FormsText(u"Log"));
  switch (TrackMenuBelow(menu, bReport, this)) {
    case rmReport:
      PrintReportDocument();
      break;
    case rmLog:
      if (Log) Log->ShowModal();
      break;
    default:
      break;
  }
}

void TfBalancing::PrintReportDocument() {
  if (!pdReport->Execute(this)) return;
  gui::TPrinter& printer = gui::Printer();
  printer.SetTitle(std::u16string(ReportDocumentTitle));
  printer.SetOrientation(gui::poPortrait);
  // A failure ends the document, so that the next report can begin one; the
  // application shows the error (a file that could not be written, and why),
  // and the log keeps it.
  try {
    printer.BeginDoc();
    try {
      PrintReport(printer);
      printer.EndDoc();
    } catch (...) {
      printer.Abort();
      throw;
    }
  } catch (const std::exception& error) {
    if (Log) Log->WriteNote(rtl::Utf8ToUtf16(error.what()));
    throw;
  }
}

void TfBalancing::PrintReport(gui::TPrinter& printer) {
  TReportSources sources;
  sources.Lookup = [](std::u16string_view key) { return FormsText(key); };
  sources.Tunning = Texts.Tunning;
  sources.Today = UtcToday();
  sources.SamplingFrequency = static_cast<int32_t>(std::lround(TheCore->JobConditions().SampleRate));
  PrintBalancingReport(printer, BuildReportContent(*TheCore, sources));
}

void TfBalancing::bHelpClick(gui::TComponent*) {
  gui::TPopupMenu menu(nullptr);
  menu.Append(hmHelp, FormsText(u"Help"));
  menu.AppendSeparator();
  menu.Append(hmAbout, FormsText(u"About"));
  switch (TrackMenuBelow(menu, bHelp, this)) {
    case hmHelp:
      OpenHelpDocument();
      break;
    case hmAbout: {
      TfInfo about(this);
      about.ShowModal();
      break;
    }
    default:
      break;
  }
}

// The document named by the language file, in the program's "Help" folder.
// The program ships none: without one, or when it cannot be opened, the
// user is told so and pointed to the README rather than left wondering
// why the command did nothing.
void TfBalancing::OpenHelpDocument() {
  if (const TLangText file = LangText({u"Help", u"File"})) {
    std::u16string path = TheCore ? TheCore->ProgramDir : rtl::ProgramDir();
    rtl::PathAppendW(path, u"Help");
    rtl::PathAppendW(path, file.Text);
    if (rtl::FileExists(path) && gui::ShellOpen(rtl::NativePath(path))) return;
  }
  AskMessage(mkInformation, FormsText(u"NoHelpDocument"));
}

void TfBalancing::bRotSpeedValueClick(gui::TComponent* sender) {
  if (!TheCore) return;
  const int id = ChooseFromMenu({u"rpm", u"Hz"}, TheCore->SpeedDisplayMode + 1, AnchorOf(sender, bFreqUnit), this);
  if (id) TheCore->SpeedDisplayMode = static_cast<uint8_t>(id - 1);
  RefreshResults();
}

void TfBalancing::bDirValueClick(gui::TComponent* sender) {
  if (!TheCore) return;
  const int id = ChooseFromMenu({Texts.Right, Texts.Left}, TheCore->RotationDir + 1, AnchorOf(sender, bDirValue), this);
  if (id) TheCore->RotationDir = static_cast<uint8_t>(id - 1);
  RefreshResults();
}

void TfBalancing::bCorrectionMassValueClick(gui::TComponent* sender) {
  if (!TheCore) return;
  const int id = ChooseFromMenu({Texts.AddMass, Texts.RemoveMass}, TheCore->MassAdd ? 1 : 2,
                                AnchorOf(sender, bCorrectionMassValue), this);
  if (id) TheCore->MassAdd = id == 1 ? 1 : 0;
  RefreshResults();
}

void TfBalancing::bAmplUnitClick(gui::TComponent* sender) {
  if (!TheCore) return;
  const int id =
      ChooseFromMenu({TZelto::AmplitudeUnitText(admVoltage, 0), TZelto::AmplitudeUnitText(admAcceleration, 0),
                      TZelto::AmplitudeUnitText(admVelocity, 0), TZelto::AmplitudeUnitText(admDisplacement, 0)},
                     TheCore->AmplDisplayMode + 1, AnchorOf(sender, bAmplUnit1D), this);
  if (!id) return;
  TheCore->AmplDisplayMode = static_cast<uint8_t>(id - 1);
  RefreshResults();
  if (fFFTGraph && fFFTGraph->WindowVisible()) {
    fFFTGraph->PlotSpectrum(true);
    fFFTGraph->RefreshInfoPanel();
    fFFTGraph->MirrorStatus();
    fFFTGraph->UpdateButtonStates();
    fFFTGraph->SyncScrollBars();
  }
}

void TfBalancing::bMassTClick(gui::TComponent* sender) {
  if (!TheCore) return;
  const int id = ChooseFromMenu({Texts.Mass + u" / " + Texts.Angle, Texts.Vibration + u" / " + Texts.Phase},
                                TrimShowsVibration + 1, AnchorOf(sender, bMass1T), this);
  if (id) TrimShowsVibration = static_cast<uint8_t>(id - 1);
  RefreshResults();
}

void TfBalancing::bTotalMassClick(gui::TComponent*) {
  if (!TheCore || !bTotalMass->Enabled()) return;
  const int id = ChooseFromMenu({FormsText(u"Enable"), FormsText(u"Disable")}, 0, bTotalMass, this);
  if (id) ShowTotalMass = id == 1 ? 1 : 0;
  RefreshResults();
}

// The control mass is edited in the set-up dialog.
void TfBalancing::bCtrlMassValueClick(gui::TComponent*) {
  if (bSetup->Enabled()) bSetupClick(bCtrlMassValue);
}
