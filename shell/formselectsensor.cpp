#include "formselectsensor.h"

#include "bitmapbutton.h"
#include "canvas.h"
#include "dialogcontrols.h"
#include "drawgrid.h"
#include "filefailure.h"
#include "formeditsensor.h"
#include "dialogs.h"
#include "formmessage.h"
#include "labelex.h"
#include "panelex.h"
#include "textconv.h"
#include "zelto.h"

namespace {

enum TSelectSensorText : size_t {
  ssZeltoSensorBase,
  ssClose,
  ssEdit,
  ssAdd,
  ssDelete,
  ssName,
  ssType,
  ssSensitivity,
  ssFreqRange,
  ssAcceleration,
  ssVelocity,
  ssDisplacement,
  ssTemperature,
  ssYes,
  ssNo,
  ssUpdateSensor,
  ssRemoveSensor,
  ssSensorNotDeleted,
};

std::u16string Text(size_t text) { return LangText(TfSelectSensor::LangKeys[text]).Text; }

constexpr int PanelWidth = 723;
constexpr int PanelHeight = 475;
constexpr int RowHeight = 17;
constexpr int LastColumn = 6;
constexpr int TextInset = 2;

}  // namespace

TfSelectSensor::TfSelectSensor(gui::TComponent* owner) : TWindowFrame(owner, FrameSelectSensor) {
  LayoutFrame(PanelWidth, PanelHeight);
  SetPosition(gui::poOwnerFormCenter);
  bCloseS = CreateStripCloseButton();
  bCloseS->OnClick = [this](gui::TComponent* sender) { bCloseClick(sender); };

  const TDialogParent onPanel{this, pWindow};
  bClose = NewButton(onPanel, gui::Bounds(PanelWidth - 8 - 75, PanelHeight - 8 - 25, 75, 25));
  bClose->SetAnchors(gui::akRight | gui::akBottom);
  bClose->OnClick = [this](gui::TComponent* sender) { bCloseClick(sender); };

  peSelect = NewGroup(onPanel, gui::Bounds(8, 8, PanelWidth - 16, PanelHeight - 16 - 25 - 8), false);
  peSelect->SetBevelOuter(gui::bvSpace);
  peSelect->SetBorderColor(gui::clGray);
  peSelect->SetAnchors(gui::akLeft | gui::akTop | gui::akRight | gui::akBottom);

  dgSensors = new gui::TDrawGrid(this);
  dgSensors->SetParent(peSelect);
  dgSensors->SetBounds(8, 8, peSelect->Width() - 16, peSelect->Height() - 16 - 25 - 8);
  dgSensors->SetAnchors(gui::akLeft | gui::akTop | gui::akRight | gui::akBottom);
  UsePlainFont(dgSensors);
  dgSensors->SetColCount(static_cast<int>(ColumnWidths.size()));
  dgSensors->SetFixedCols(0);
  dgSensors->SetDefaultRowHeight(RowHeight);
  dgSensors->SetColor(FieldColor);
  dgSensors->SetFixedColor(FieldColor);
  dgSensors->SetDefaultDrawing(false);
  dgSensors->SetScrollBars(gui::ssVertical);
  dgSensors->SetOptions(gui::goFixedVertLine | gui::goFixedHorzLine | gui::goVertLine | gui::goHorzLine |
                        gui::goRowSelect | gui::goThumbTracking);
  dgSensors->SetTabStop(true);
  dgSensors->OnDrawCell = [this](gui::TComponent*, int col, int row, gui::TRect rect, gui::TGridDrawState state) {
    dgSensorsDrawCell(col, row, rect, state);
  };
  dgSensors->OnSelectCell = [this](gui::TComponent*, int col, int row, bool&) { dgSensorsSelectCell(col, row); };

  const TDialogParent inPanel{this, peSelect};
  const int buttonTop = peSelect->Height() - 8 - 25;
  bEdit = NewButton(inPanel, gui::Bounds(8, buttonTop, 75, 25));
  bAdd = NewButton(inPanel, gui::Bounds(8 + 83, buttonTop, 75, 25));
  bDelete = NewButton(inPanel, gui::Bounds(8 + 2 * 83, buttonTop, 75, 25));
  for (TBitmapButton* b : {bEdit, bAdd, bDelete}) b->SetAnchors(gui::akLeft | gui::akBottom);
  bEdit->OnClick = [this](gui::TComponent* sender) { bEditClick(sender); };
  bAdd->OnClick = [this](gui::TComponent* sender) { bAddClick(sender); };
  bDelete->OnClick = [this](gui::TComponent* sender) { bDeleteClick(sender); };

  // The window can grow but not shrink below its first size.
  SetConstraints({Width(), Height(), 0, 0});
  Resize();
  EscapeAction = [this] { bCloseClick(this); };
}

void TfSelectSensor::DoShow() {
  TWindowFrame::DoShow();
  leCaption->SetCaptionW(Text(ssZeltoSensorBase));
  const std::u16string close = Text(ssClose);
  bClose->SetCaptionW(close);
  TLanguageService::AddToolTip(this, bCloseS, close);
  bEdit->SetCaptionW(Text(ssEdit));
  bAdd->SetCaptionW(Text(ssAdd));
  bDelete->SetCaptionW(Text(ssDelete));
  for (size_t i = 0; i < 4; ++i) FHeaderTexts[i] = Text(ssName + i);
  FHeaderTexts[4] = Text(ssTemperature);
  for (size_t i = 0; i < FTexts.Types.size(); ++i) FTexts.Types[i] = Text(ssAcceleration + i);
  FTexts.Yes = Text(ssYes);
  FTexts.No = Text(ssNo);
  SelectedIndex = -1;
  FillGrid();
  // Said once as the list opens; what a later refill finds is said when the
  // set-up dialog looks its sensors up again.
  if (TheCore)
    TellSensorFailures(
        *TheCore, [this](const std::u16string& text) { ShowMessageBox(this, mkError, text); }, WriteLog);
  SetActiveControl(dgSensors);
}

void TfSelectSensor::FillGrid() {
  FSensorList = TheCore ? LoadSensorEntries(*TheCore) : std::vector<TSensorEntry>();
  const int count = static_cast<int>(FSensorList.size());
  if (count == 0) {
    // Only the header row: it can't stay a fixed row without rows below it.
    dgSensors->SetFixedRows(0);
    dgSensors->SetRowCount(1);
    dgSensors->SetEnabled(false);
    dgSensors->Invalidate();
    return;
  }
  dgSensors->SetRowCount(count + 1);
  dgSensors->SetFixedRows(1);
  dgSensors->SetEnabled(true);
  if (SelectedIndex >= count) SelectedIndex = 0;
  SelectRow(SelectedIndex + 1);
  dgSensors->Invalidate();
}

void TfSelectSensor::SelectRow(int row) {
  // Row 0 is the header: no sensor is selected, and the grid's own current
  // cell stays where it is.
  if (row >= 1) dgSensors->SetSelection({1, row, LastColumn, row});
  dgSensorsSelectCell(1, row);
}

bool TfSelectSensor::HasSelection() const {
  return SelectedIndex >= 0 && SelectedIndex < static_cast<int32_t>(FSensorList.size());
}

void TfSelectSensor::dgSensorsSelectCell(int, int row) { SelectedIndex = row - 1; }

std::u16string TfSelectSensor::CellText(int col, int row) const {
  if (row == 0) {
    const bool titled = col >= 1 && col <= static_cast<int>(FHeaderTexts.size());
    return titled ? FHeaderTexts[static_cast<size_t>(col - 1)] : u"";
  }
  if (row < 1 || row > static_cast<int>(FSensorList.size())) return {};
  const TSensorEntry& entry = FSensorList[static_cast<size_t>(row - 1)];
  switch (col) {
    case 1: return entry.FileName;
    case 2: return SensorTypeText(entry.Sensor, FTexts);
    case 3: return SensitivityText(entry.Sensor);
    case 4: return FrequencyRangeText(entry.Sensor);
    case 5: return TemperatureText(entry.Sensor, FTexts);
    default: return {};
  }
}

void TfSelectSensor::dgSensorsDrawCell(int col, int row, gui::TRect rect, uint8_t) {
  gui::TCanvas& c = dgSensors->Canvas();
  c.Font().SetStyle(0);
  c.Font().SetColor(gui::clBlack);
  c.SetTextAlign(gui::TA_LEFT | gui::TA_TOP);
  c.SetBkMode(gui::bkTransparent);
  // The selected sensor's row is highlighted; before the user picks one, no
  // row is, although the grid has a current cell.
  const bool highlighted = row >= 1 && col >= 1 && row - 1 == SelectedIndex;
  c.Brush() = {highlighted ? SelectedFieldColor : FieldColor, gui::bsSolid};
  c.FillRect(rect);
  if (col == 0) {
    if (row == 0) return;
    c.Font().SetStyle(gui::fsBold);
    c.TextOut(rect.Left + TextInset, rect.Top + TextInset, rtl::AsciiToUtf16(std::to_string(row)));
    return;
  }
  const std::u16string text = CellText(col, row);
  if (row == 0) {
    c.SetTextAlign(gui::TA_CENTER | gui::TA_TOP);
    c.TextOut(rect.Left + (rect.Right - rect.Left) / 2, rect.Top + TextInset, std::u16string_view(text));
    return;
  }
  if (col != 1) {
    c.TextOut(rect.Left + TextInset, rect.Top + TextInset, std::u16string_view(text));
    return;
  }
  // The name stays inside its cell.
  const gui::TRegion clip = gui::TRegion::RectRgn(rect);
  c.SelectClipRgn(&clip);
  c.TextOut(rect.Left + TextInset, rect.Top + TextInset, std::u16string_view(text));
  c.SelectClipRgn(nullptr);
}

void TfSelectSensor::Resize() {
  TWindowFrame::Resize();
  if (!dgSensors) return;
  for (size_t i = 0; i < ColumnWidths.size(); ++i) dgSensors->SetColWidths(static_cast<int>(i), ColumnWidths[i]);
  Invalidate();
}

bool TfSelectSensor::Ask(size_t question) {
  TfMessage box(this);
  box.Kind = mkQuestion;
  box.MessageText = Text(question);
  box.ShowModal();
  return box.Answer == gui::IDYES;
}

void TfSelectSensor::bAddClick(gui::TComponent*) {
  TfEditSensor editor(this);
  editor.AddMode = 1;
  editor.ShowModal();
  // The highlighted row keeps its place, even when the new sensor sorts in
  // before it.
  if (editor.EditResult == 1) FillGrid();
}

void TfSelectSensor::bEditClick(gui::TComponent*) {
  if (!HasSelection() || !Ask(ssUpdateSensor)) return;
  TfEditSensor editor(this);
  editor.AddMode = 0;
  editor.EditName = FSensorList[static_cast<size_t>(SelectedIndex)].FileName;
  editor.ShowModal();
  FillGrid();
}

void TfSelectSensor::bDeleteClick(gui::TComponent*) {
  if (!HasSelection() || !Ask(ssRemoveSensor)) return;
  if (TheCore && !TheCore->DeleteSensor(FSensorList[static_cast<size_t>(SelectedIndex)].FileName)) {
    const std::u16string text = Text(ssSensorNotDeleted) + u"\n" + FileFailureText(TheCore->FileFailure);
    if (WriteLog) WriteLog(text);
    ShowMessageBox(this, mkError, text);
  }
  FillGrid();
  if (FSensorList.empty()) return;
  SelectedIndex = 0;
  SelectRow(1);
  dgSensors->Repaint();
}

void TfSelectSensor::bCloseClick(gui::TComponent*) {
  if (Modal())
    SetModalResult(gui::mrCancel);
  else
    Close();
}

void TfSelectSensor::DoClose(gui::TCloseAction& action) {
  TWindowFrame::DoClose(action);
  FSensorList.clear();
}
