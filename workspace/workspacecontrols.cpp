#include "workspacecontrols.h"

#include <optional>
#include <string>
#include <string_view>

#include "form.h"
#include "resultpanel.h"
#include "workspaceimages.h"

namespace {

constexpr gui::TColor PanelFace = 0x9CDBDE;
constexpr gui::TColor GroupFace = 0xC8E4E6;
constexpr gui::TColor CellFace = 0xE1FFFF;
constexpr const char* LabelFont = "Microsoft Sans Serif";

// Geometry of the groups (pixels).
constexpr int GroupWidth = 764;
constexpr int MeasHeight = 104;
constexpr int ButtonsHeight = 36;
constexpr int StatusHeight = 26;
constexpr int InfoHeight = 48;
constexpr int RowHeight = 20;
constexpr int FirstRowTop = 40;
constexpr int ValuePanelLeft = 268;
constexpr int ValuePanelWidth = 492;
constexpr int ColumnWidth = 78;
constexpr int ColumnStep = 81;

struct TMaker {
  gui::TForm* Owner;

  void Name(gui::TComponent* c, const std::string& name) const { c->SetName(name); }

  TLabelEx* Label(gui::TWinControl* parent, const std::string& name, gui::TRect r, bool bold = false) const {
    auto* label = new TLabelEx(Owner);
    Name(label, name);
    label->SetParent(parent);
    label->SetAutoSize(false);
    label->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    label->SetParentColor(true);
    label->Font().SetName(LabelFont);
    label->Font().SetHeight(-11);
    if (bold) label->Font().SetStyle(gui::fsBold);
    return label;
  }

  TBitmapButton* Button(gui::TWinControl* parent, const std::string& name, gui::TRect r) const {
    auto* button = new TBitmapButton(Owner);
    Name(button, name);
    button->SetParent(parent);
    button->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    button->SetParentColor(true);
    button->SetBorderColor(0x808080);
    button->SetBorderOver(0x00FFFF);
    button->Font().SetName(LabelFont);
    button->Font().SetHeight(-11);
    return button;
  }

  TBitmapButton* CellButton(gui::TWinControl* parent, const std::string& name, gui::TRect r) const {
    TBitmapButton* button = Button(parent, name, r);
    button->SetShape(bsRect);
    button->SetFlat(true);
    button->SetButtonColor(CellFace);
    return button;
  }

  gui::TPanel* Panel(gui::TWinControl* parent, const std::string& name, gui::TRect r, gui::TColor color) const {
    auto* panel = new gui::TPanel(Owner);
    Name(panel, name);
    panel->SetParent(parent);
    panel->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    panel->SetBevelOuter(gui::bvNone);
    panel->SetColor(color);
    return panel;
  }

  TPanelEx* GroupLabel(gui::TWinControl* parent, const std::string& name, gui::TRect r) const {
    auto* panel = new TPanelEx(Owner);
    Name(panel, name);
    panel->SetParent(parent);
    panel->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    panel->SetFaceColor(GroupFace);
    panel->SetBorderColor(0x808080);
    panel->Font().SetName(LabelFont);
    panel->Font().SetHeight(-11);
    panel->Font().SetStyle(gui::fsBold);
    return panel;
  }

  gui::TImage* Image(gui::TWinControl* parent, const std::string& name, int left, int top,
                     const gui::TBitmap& picture) const {
    auto* image = new gui::TImage(Owner);
    Name(image, name);
    image->SetParent(parent);
    image->SetBounds(left, top, picture.Width(), picture.Height());
    image->SetPicture(picture);
    return image;
  }
};

std::string Numbered(std::string_view pattern, int row) {
  const size_t at = pattern.find("%d");
  if (at == std::string_view::npos) return std::string(pattern);
  std::string name(pattern.substr(0, at));
  name += std::to_string(row);
  name += pattern.substr(at + 2);
  return name;
}

gui::TRect Cell(int column, int top, int height) {
  return gui::Bounds(4 + column * ColumnStep, top, ColumnWidth, height);
}

// A header takes the gap to its right neighbour as well: "Vibration: RMS"
// needs the whole of it.
gui::TRect HeaderCell(int column, int top, int height) {
  return gui::Bounds(4 + column * ColumnStep, top, ColumnStep - 1, height);
}

// --- caption strip and pictures -----------------------------------------------

void BuildStrip(TBalancingControls& c, const TMaker& make, gui::TForm* form) {
  const auto strip = [&](const char* name, TFrameGlyph glyph) {
    TBitmapButton* b = make.Button(form, name, gui::Bounds(0, 2, 18, 16));
    b->SetShape(bsRect);
    b->SetButtonColor(PanelFace);
    const gui::TBitmap picture = FrameGlyph(glyph, gui::clBlack, PanelFace);
    b->SetBitmap(&picture);
    return b;
  };
  c.bCloseC = strip("bCloseC", fgClose);
  c.bMaximize = strip("bMaximize", fgMaximize);
  c.bMinimize = strip("bMinimize", fgMinimize);
  c.bInfoC = strip("bInfoC", fgInfo);
  c.ilCaption = new gui::TImageList(form);
  c.ilCaption->SetName("ilCaption");
  c.ilCaption->SetSize(StripGlyphSize, StripGlyphSize);
  c.ilCaption->Add(FrameGlyph(fgRestore, gui::clBlack, PanelFace));
  c.ilCaption->Add(FrameGlyph(fgMaximize, gui::clBlack, PanelFace));
}

void BuildPictures(TBalancingControls& c, const TMaker& make, gui::TPanel* panel) {
  const auto lamp = [&](const char* name, TLamp l) {
    gui::TImage* image = make.Image(panel, name, 0, 0, LampPicture(l, PanelFace));
    image->Hide();
    return image;
  };
  c.iGLedOn = lamp("iGLedOn", lpGreen);
  c.iYLedOn = lamp("iYLedOn", lpYellow);
  c.iRLedOn = lamp("iRLedOn", lpRed);
  c.iLedOff = lamp("iLedOff", lpOff);
  c.ilStartStop = new gui::TImageList(make.Owner);
  c.ilStartStop->SetName("ilStartStop");
  c.ilStartStop->SetSize(StartStopGlyphSize, StartStopGlyphSize);
  c.ilStartStop->Add(StartStopGlyph(GlyphStop, GroupFace));
  c.ilStartStop->Add(StartStopGlyph(GlyphStart, GroupFace));
}

// --- result panel -----------------------------------------------------------

void BuildRunTable(TBalancingControls& c, const TMaker& make) {
  c.leSpeed = make.Label(c.pMeas, "leSpeed", gui::Bounds(190, 4, 70, 14), true);
  c.bFreqUnit = make.CellButton(c.pMeas, "bFreqUnit", gui::Bounds(190, 21, 70, 17));
  c.iMarker = make.Image(c.pMeas, "iMarker", 0, 0, MarkerPicture(CellFace));
  c.iError = make.Image(c.pMeas, "iError", 0, 0, ErrorPicture(CellFace));
  c.iMarker->Hide();
  c.iError->Hide();
  for (int i = 0; i < 3; ++i) {
    TRunTableRow& row = c.RunTableRows[i];
    const int n = i + 1;
    row.pHighlight = make.Panel(c.pMeas, Numbered("pHighlight%d", n),
                                gui::Bounds(4, FirstRowTop + i * RowHeight, 260, RowHeight - 1), OtherRowColor);
    // The row's pictures are copies of the two templates.
    row.iMarker = make.Image(row.pHighlight, Numbered("iMarker%d", n), 3, 5, c.iMarker->Picture());
    row.leOper = make.Label(row.pHighlight, Numbered("leOper%d", n), gui::Bounds(16, 3, 150, 14));
    row.iError = make.Image(row.pHighlight, Numbered("iError%d", n), 168, 3, c.iError->Picture());
    row.leFreq = make.Label(row.pHighlight, Numbered("leFreq%d", n), gui::Bounds(186, 3, 70, 14));
    row.leFreq->SetAlignment(gui::taRightJustify);
    row.iMarker->Hide();
    row.iError->Hide();
  }
}

struct TPanelSpec {
  const char* Name;
  std::array<const char*, 6> Headers;
  std::array<const char*, 6> Units;
  const char* GwbLabel;
  std::array<const char*, 6> FirstRow;
  std::array<const char*, 6> OtherRows;
};

// Units that always show degrees.
bool IsAngleUnit(std::string_view name) { return name.starts_with("lePhaseUnit") || name.starts_with("leAngleUnit"); }

gui::TControl* HeaderControl(const TMaker& make, gui::TPanel* panel, std::string_view name, gui::TRect r, bool bold) {
  if (name.empty()) return nullptr;
  if (name.starts_with("b")) return make.CellButton(panel, std::string(name), r);
  TLabelEx* label = make.Label(panel, std::string(name), r, bold);
  label->SetAlignment(gui::taCenter);
  if (IsAngleUnit(name)) label->SetCaptionW(u"[deg]");
  return label;
}

template <size_t N>
void BuildValuePanel(const TMaker& make, gui::TPanel* pMeas, const TPanelSpec& spec, TValuePanelControls& p,
                     std::array<TValueRow, N>& rows) {
  p.Panel = make.Panel(pMeas, spec.Name, gui::Bounds(ValuePanelLeft, 2, ValuePanelWidth, MeasHeight - 4), PanelFace);
  for (int k = 0; k < 6; ++k) {
    p.Headers[k] = HeaderControl(make, p.Panel, spec.Headers[k], HeaderCell(k, 2, 16), true);
    p.Units[k] = HeaderControl(make, p.Panel, spec.Units[k], Cell(k, 19, 17), false);
  }
  if (*spec.GwbLabel) {
    p.GwbLabel = make.Label(p.Panel, spec.GwbLabel, gui::Bounds(4 + 3 * ColumnStep, 2, 3 * ColumnStep - 3, 16), true);
    p.GwbLabel->SetAlignment(gui::taCenter);
  }
  for (size_t i = 0; i < N; ++i) {
    const int n = static_cast<int>(i) + 1;
    rows[i].pHighlight =
        make.Panel(p.Panel, Numbered(std::string("pHighlight") + (spec.Name + 5) + "%d", n),
                   gui::Bounds(4, 38 + static_cast<int>(i) * RowHeight, 484, RowHeight - 1), OtherRowColor);
    const auto& slots = i == 0 ? spec.FirstRow : spec.OtherRows;
    for (int k = 0; k < 6; ++k) {
      if (!*slots[k]) continue;
      TLabelEx* label =
          make.Label(rows[i].pHighlight, Numbered(slots[k], n), gui::Bounds(k * ColumnStep, 3, ColumnWidth, 14));
      label->SetAlignment(gui::taCenter);
      rows[i].Slots[k] = label;
    }
  }
  p.Panel->Hide();
}

constexpr TPanelSpec Spec1D{
    "Panel1D",
    {"leAmplitude1D", "lePhase1D", "leUnbalance1D", "", "", ""},
    {"bAmplUnit1D", "lePhaseUnit1D", "leUnbalanceUnit1D", "leGWBMassAD", "leGWBMassBD", "leGWBMassCD"},
    "leGWBMassLabelD",
    {"leAmplitude1D%d", "lePhase1D%d", "leUnbalance1D%d", "leAngleM1D%d", "leAngleM2D%d", "leAngleM3D%d"},
    {"leAmplitude1D%d", "lePhase1D%d", "leUnbalance1D%d", "leAngleM1D%d", "leAngleM2D%d", "leAngleM3D%d"}};
constexpr TPanelSpec Spec1R{
    "Panel1R",
    {"leMass1R", "leAngle1R", "leUnbalance1R", "", "", ""},
    {"leMassUnit1R", "leAngleUnit1R", "leUnbalanceUnit1R", "leGWBMassAR", "leGWBMassBR", "leGWBMassCR"},
    "leGWBMassLabelR",
    {"leMass1R%d", "leAngle1R%d", "leUnbalance1R%d", "leAngleM1R%d", "leAngleM2R%d", "leAngleM3R%d"},
    {"leMass1R%d", "leAngle1R%d", "", "", "", ""}};
constexpr TPanelSpec Spec1T{
    "Panel1T",
    {"bMass1T", "leAngle1T", "leUnbalance1T", "", "", ""},
    {"leMassUnit1T", "leAngleUnit1T", "leUnbalanceUnit1T", "leGWBMassAT", "leGWBMassBT", "leGWBMassCT"},
    "leGWBMassLabelT",
    {"leMass1T%d", "leAngle1T%d", "leUnbalance1T%d", "leAngleM1T%d", "leAngleM2T%d", "leAngleM3T%d"},
    {"leMass1T%d", "leAngle1T%d", "leUnbalance1T%d", "leAngleM1T%d", "leAngleM2T%d", "leAngleM3T%d"}};
constexpr TPanelSpec Spec2D{
    "Panel2D",
    {"leAmplitude2DA", "lePhase2DA", "leUnbalance2DA", "leAmplitude2DB", "lePhase2DB", "leUnbalance2DB"},
    {"bAmplUnit2DA", "lePhaseUnit2DA", "leUnbalanceUnit2DA", "bAmplUnit2DB", "lePhaseUnit2DB", "leUnbalanceUnit2DB"},
    "",
    {"leAmplitude2D%dA", "lePhase2D%dA", "leUnbalance2D%dA", "leAmplitude2D%dB", "lePhase2D%dB", "leUnbalance2D%dB"},
    {"leAmplitude2D%dA", "lePhase2D%dA", "leUnbalance2D%dA", "leAmplitude2D%dB", "lePhase2D%dB", "leUnbalance2D%dB"}};
constexpr TPanelSpec Spec2R{
    "Panel2R",
    {"leMass2RA", "leAngle2RA", "leUnbalance2RA", "leMass2RB", "leAngle2RB", "leUnbalance2RB"},
    {"leMassUnit2RA", "leAngleUnit2RA", "leUnbalanceUnit2RA", "leMassUnit2RB", "leAngleUnit2RB", "leUnbalanceUnit2RB"},
    "",
    {"leMass2R%dA", "leAngle2R%dA", "leUnbalance2R%dA", "leMass2R%dB", "leAngle2R%dB", "leUnbalance2R%dB"},
    {"leMass2R%dA", "leAngle2R%dA", "", "leMass2R%dB", "leAngle2R%dB", ""}};
constexpr TPanelSpec Spec2T{
    "Panel2T",
    {"bMass2TA", "leAngle2TA", "leUnbalance2TA", "bMass2TB", "leAngle2TB", "leUnbalance2TB"},
    {"leMassUnit2TA", "leAngleUnit2TA", "leUnbalanceUnit2TA", "leMassUnit2TB", "leAngleUnit2TB", "leUnbalanceUnit2TB"},
    "",
    {"leMass2T%dA", "leAngle2T%dA", "leUnbalance2T%dA", "leMass2T%dB", "leAngle2T%dB", "leUnbalance2T%dB"},
    {"leMass2T%dA", "leAngle2T%dA", "leUnbalance2T%dA", "leMass2T%dB", "leAngle2T%dB", "leUnbalance2T%dB"}};

void BuildResultPanel(TBalancingControls& c, const TMaker& make, gui::TPanel* panel) {
  c.pMeas = make.Panel(panel, "pMeas", gui::Bounds(8, 0, GroupWidth, MeasHeight), PanelFace);
  BuildRunTable(c, make);
  BuildValuePanel(make, c.pMeas, Spec1D, c.Panel1D, c.Panel1DRows);
  BuildValuePanel(make, c.pMeas, Spec1R, c.Panel1R, c.Panel1RRows);
  BuildValuePanel(make, c.pMeas, Spec1T, c.Panel1T, c.Panel1TRows);
  BuildValuePanel(make, c.pMeas, Spec2D, c.Panel2D, c.Panel2DRows);
  BuildValuePanel(make, c.pMeas, Spec2R, c.Panel2R, c.Panel2RRows);
  BuildValuePanel(make, c.pMeas, Spec2T, c.Panel2T, c.Panel2TRows);
  const auto button = [](gui::TControl* control) { return static_cast<TBitmapButton*>(control); };
  c.bAmplUnit1D = button(c.Panel1D.Units[0]);
  c.bAmplUnit2DA = button(c.Panel2D.Units[0]);
  c.bAmplUnit2DB = button(c.Panel2D.Units[3]);
  c.bMass1T = button(c.Panel1T.Headers[0]);
  c.bMass2TA = button(c.Panel2T.Headers[0]);
  c.bMass2TB = button(c.Panel2T.Headers[3]);
}

// --- commands, status line and run parameters -------------------------------

void BuildCommands(TBalancingControls& c, const TMaker& make, gui::TPanel* panel) {
  c.peButtons = make.Panel(panel, "peButtons", gui::Bounds(8, 0, GroupWidth, ButtonsHeight), GroupFace);
  int left = 4;
  const auto command = [&](const char* name, int width, std::optional<TCommandGlyph> glyph) {
    TBitmapButton* b = make.Button(c.peButtons, name, gui::Bounds(left, 3, width, ButtonsHeight - 6));
    b->SetButtonColor(0xD8ECEE);
    b->Font().SetStyle(gui::fsBold);
    if (glyph) {
      const gui::TBitmap picture = CommandGlyph(*glyph, 0xD8ECEE);
      const gui::TBitmap disabled = CommandGlyph(*glyph, 0xD8ECEE, DisabledGlyphColor);
      b->SetBitmap(&picture);
      b->SetDisBitmap(&disabled);
    }
    left += width + 4;
    return b;
  };
  c.bStartStop = command("bStartStop", 100, std::nullopt);
  c.bStartStop->SetGap(6);
  c.bPrev = command("bPrev", 36, cgPrevious);
  c.bNext = command("bNext", 80, cgNext);
  c.bNext->SetGap(6);
  left += 12;
  c.bSession = command("bSession", 36, cgSession);
  c.bSetup = command("bSetup", 36, cgSetup);
  c.bReport = command("bReport", 36, cgReport);
  c.bSpectrum = command("bSpectrum", 36, cgSpectrum);
  c.bOscilloscope = command("bOscilloscope", 36, cgOscilloscope);
  c.bTotalMass = command("bTotalMass", 36, cgTotalMass);
  left += 12;
  c.bZoomIn = command("bZoomIn", 36, cgZoomIn);
  c.bZoomOut = command("bZoomOut", 36, cgZoomOut);
  c.bZoomAll = command("bZoomAll", 36, cgZoomAll);
  c.bZoomPrev = command("bZoomPrev", 36, cgZoomPrevious);
  left += 12;
  c.bHelp = command("bHelp", 36, cgHelp);
}

// The widths leave room for the longest state, step and error texts in the
// wider fallback font and in a screen font hinted to whole pixels.
void BuildStatusLine(TBalancingControls& c, const TMaker& make, gui::TPanel* panel) {
  c.peStatus = make.Panel(panel, "peStatus", gui::Bounds(8, 0, GroupWidth, StatusHeight), GroupFace);
  c.iStatusLed = make.Image(c.peStatus, "iStatusLed", 6, 6, c.iLedOff->Picture());
  c.leStatus = make.Label(c.peStatus, "leStatus", gui::Bounds(24, 6, 174, 14), true);
  c.leSamplingProgress = make.Label(c.peStatus, "leSamplingProgress", gui::Bounds(200, 6, 36, 14));
  c.leOperation = make.Label(c.peStatus, "leOperation", gui::Bounds(238, 6, 80, 14));
  c.leCurrentOperation = make.Label(c.peStatus, "leCurrentOperation", gui::Bounds(320, 6, 212, 14), true);
  c.iErrorLed = make.Image(c.peStatus, "iErrorLed", 534, 6, c.iLedOff->Picture());
  c.leError = make.Label(c.peStatus, "leError", gui::Bounds(550, 6, 208, 14), true);
}

void BuildRunParameters(TBalancingControls& c, const TMaker& make, gui::TPanel* panel) {
  c.peInfo = make.Panel(panel, "peInfo", gui::Bounds(8, 0, GroupWidth, InfoHeight), PanelFace);
  const auto left = [](int k) { return 4 + k * 190; };
  c.peDirLabel = make.GroupLabel(c.peInfo, "peDirLabel", gui::Bounds(left(0), 2, 186, 20));
  c.bDirValue = make.CellButton(c.peInfo, "bDirValue", gui::Bounds(left(0), 24, 186, 22));
  c.pePeriodsLabel = make.GroupLabel(c.peInfo, "pePeriodsLabel", gui::Bounds(left(1), 2, 186, 20));
  c.pePeriodsValue = make.GroupLabel(c.peInfo, "pePeriodsValue", gui::Bounds(left(1), 24, 186, 22));
  // The revolutions are shown, not chosen, but their box looks like the
  // value buttons beside it: a flat outline and the text in the middle.
  c.pePeriodsValue->SetFaceColor(CellFace);
  c.pePeriodsValue->SetBevelOuter(gui::bvSpace);
  c.pePeriodsValue->SetAlignmentV(tavMiddle);
  c.peCtrlMassLabel = make.GroupLabel(c.peInfo, "peCtrlMassLabel", gui::Bounds(left(2), 2, 186, 20));
  c.bCtrlMassValue = make.CellButton(c.peInfo, "bCtrlMassValue", gui::Bounds(left(2), 24, 186, 22));
  c.peCorrectionMassLabel = make.GroupLabel(c.peInfo, "peCorrectionMassLabel", gui::Bounds(left(3), 2, 186, 20));
  c.bCorrectionMassValue = make.CellButton(c.peInfo, "bCorrectionMassValue", gui::Bounds(left(3), 24, 186, 22));
  for (TPanelEx* p : {c.peDirLabel, c.pePeriodsLabel, c.peCtrlMassLabel, c.peCorrectionMassLabel, c.pePeriodsValue})
    p->SetAlignment(gui::taCenter);
}

}  // namespace

void BuildWorkspaceControls(TBalancingControls& c, gui::TForm* form, gui::TPanel* panel) {
  const TMaker make{form};
  BuildStrip(c, make, form);
  BuildPictures(c, make, panel);
  c.pbPlanes = new gui::TPaintBox(form);
  c.pbPlanes->SetName("pbPlanes");
  c.pbPlanes->SetParent(panel);
  BuildResultPanel(c, make, panel);
  BuildCommands(c, make, panel);
  BuildStatusLine(c, make, panel);
  BuildRunParameters(c, make, panel);
}

void LayoutWorkspace(TBalancingControls& c, gui::TPanel* panel) {
  const int width = panel->Width();
  const int height = panel->Height();
  c.peInfo->SetTop(height - c.peInfo->Height() - 5);
  c.peStatus->SetTop(c.peInfo->Top() - c.peStatus->Height() - 4);
  c.peButtons->SetTop(c.peStatus->Top() - c.peButtons->Height() - 4);
  const int left = width / 2 - c.peInfo->Width() / 2;
  for (gui::TControl* group : {static_cast<gui::TControl*>(c.peInfo), static_cast<gui::TControl*>(c.peStatus),
                               static_cast<gui::TControl*>(c.peButtons)})
    group->SetLeft(left);
  c.pMeas->SetTop(c.peButtons->Top() - c.pMeas->Height() - 4);
  c.pMeas->SetLeft(left);
  c.pbPlanes->SetBounds(5, 5, width - 10, c.pMeas->Top() - 5);
  panel->Invalidate();
}
