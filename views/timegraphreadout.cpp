// The oscilloscope's read-out panel: the captions of the values at and
// between the cursors and of the measurement over the record, and the
// popups that choose what each read-out shows.
#include <cstdlib>

#include "formatting.h"
#include "formtimegraph.h"
#include "timereadout.h"
#include "viewpopup.h"
#include "zelto.h"

int32_t TfTimeGraph::CursorIndex(char cursor) const { return cursor == 'X' ? Plot->CursorXIndex : Plot->CursorYIndex; }

int32_t TfTimeGraph::CursorLevel(char cursor) const { return cursor == 'X' ? Plot->CursorXValue : Plot->CursorYValue; }

// Every level and measurement is read with the conditions the record was
// captured under, not the device's or set-up's of now.
std::u16string TfTimeGraph::LevelTextOf(double counts, char channel) const {
  const uint8_t ch = channel == 'A' ? 0 : 1;
  const TRecordConditions conditions = TheCore->ShownConditions();
  const SensorInfo& sensor = conditions.Sensor(ch);
  return LevelText(counts, conditions.Range(ch), conditions.FullScale, sensor,
                   DisplayQuantity(sensor, TheCore->AmplDispModeOscmV));
}

std::u16string TfTimeGraph::CursorValueText(char cursor, char channel) const {
  return LevelTextOf(CursorLevel(cursor), channel);
}

std::u16string TfTimeGraph::CursorDifferenceText(char cursor1, char cursor2, char channel) const {
  return LevelTextOf(std::llabs(static_cast<int64_t>(CursorLevel(cursor1)) - CursorLevel(cursor2)), channel);
}

std::u16string TfTimeGraph::CursorDistanceText(char cursor1, char cursor2, char type) const {
  const int64_t d = std::llabs(static_cast<int64_t>(CursorIndex(cursor1)) - CursorIndex(cursor2));
  return DistanceText(static_cast<int32_t>(d), TheCore->ShownConditions().SampleRate, type);
}

void TfTimeGraph::RefreshReadout() {
  if (!TheCore) return;
  const TRecordConditions conditions = TheCore->ShownConditions();
  const double fs = conditions.SampleRate;
  const bool two = TheCore->Type == 1;
  ShowLetter(bCurPos1Label, CurPos1, CursorColour(CurPos1));
  bCurPos1Value->SetCaptionW(CursorTimeText(CursorIndex(CurPos1), fs));
  ShowLetter(bCurPos2Label, CurPos2, CursorColour(CurPos2));
  bCurPos2Value->SetCaptionW(CursorTimeText(CursorIndex(CurPos2), fs));
  bDist1Value->SetCaptionW(CursorDistanceText('X', 'Y', Dist1Type));
  bDist2Value->SetCaptionW(CursorDistanceText('X', 'Y', Dist2Type));
  for (TLabelEx* l : {lDist1CurX, lDist2CurX, lVoltCurX}) l->Font().SetColor(CursorColour('X'));
  for (TLabelEx* l : {lDist1CurY, lDist2CurY, lVoltCurY}) l->Font().SetColor(CursorColour('Y'));
  ShowLetter(bVoltCur1, VoltCur1, CursorColour(VoltCur1));
  ShowLetter(bVoltCur2, VoltCur2, CursorColour(VoltCur2));
  if (!two) VoltCh1 = VoltCh2 = VoltDistCh = 'A';
  bVoltValue1->SetCaptionW(CursorValueText(VoltCur1, VoltCh1));
  bVoltValue2->SetCaptionW(CursorValueText(VoltCur2, VoltCh2));
  ShowLetter(bVoltCh1, VoltCh1, ChannelColour(VoltCh1));
  ShowLetter(bVoltCh2, VoltCh2, ChannelColour(VoltCh2));
  ShowLetter(bVoltDistCh, VoltDistCh, ChannelColour(VoltDistCh));
  bVoltDistValue->SetCaptionW(CursorDifferenceText('X', 'Y', VoltDistCh));
  bMeasType->SetCaptionW(MeasTypeText(MeasType));
  // The statistics of the record drawn, "-" for a channel it lacks.
  const auto measurement = [&](bool a) -> std::u16string {
    const std::optional<TChannelStats>& stats = a ? FStatsA : FStatsB;
    if (!stats) return u"-";
    const uint8_t ch = a ? 0 : 1;
    const SensorInfo& sensor = conditions.Sensor(ch);
    return MeasurementText(a ? u"A: " : u"B: ", MeasType, *stats, conditions.Range(ch), conditions.FullScale, sensor,
                           DisplayQuantity(sensor, TheCore->AmplDispModeOscmV));
  };
  bMeasValA->SetCaptionW(measurement(true));
  bMeasValB->SetCaptionW(two ? measurement(false) : u"-");
  bMeasValB->SetEnabled(two);
}

// The cursor menus: "CursorX", "CursorY".
void TfTimeGraph::bCurPos1LabelClick(gui::TComponent* sender) {
  char& letter = sender->Tag() == 2 ? CurPos2 : CurPos1;
  if (PopupLetter(sender, letter, "XY", {{ViewText(vtCursorX)}, {ViewText(vtCursorY)}})) RefreshReadout();
}

void TfTimeGraph::bVoltCur1Click(gui::TComponent* sender) {
  char& letter = sender->Tag() == 2 ? VoltCur2 : VoltCur1;
  if (PopupLetter(sender, letter, "XY", {{ViewText(vtCursorX)}, {ViewText(vtCursorY)}})) RefreshReadout();
}

void TfTimeGraph::pDistValueClick(gui::TComponent* sender) {
  char& type = sender->Tag() == 2 ? Dist2Type : Dist1Type;
  if (PopupLetter(sender, type, "tf", {{Text(ttTime)}, {Text(ttFrequency)}})) RefreshReadout();
}

// The measurement and channel menus refresh also when dismissed.
void TfTimeGraph::bMeasTypeClick(gui::TComponent* sender) {
  PopupLetter(sender, MeasType, "RAP", {{Text(ttRMSValue)}, {Text(ttAVGValue)}, {Text(ttPkPkValue)}});
  RefreshReadout();
}

void TfTimeGraph::pVoltDistChClick(gui::TComponent* sender) {
  if (PopupChannel(sender, VoltDistCh, {&VoltDistCh})) RefreshReadout();
}

void TfTimeGraph::bVoltCh1Click(gui::TComponent* sender) {
  if (PopupChannel(sender, sender->Tag() == 2 ? VoltCh2 : VoltCh1, {&VoltCh1, &VoltCh2})) RefreshReadout();
}
