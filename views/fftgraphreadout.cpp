// The spectrum window's read-out panel: three cursor rows (frequency,
// amplitude and phase at cursor X, Y or T for channel A or B), the band RMS,
// the spectrum and window type, and the popups of the rows and the band.
// The spectra are read under the core's signal lock; while a computation
// holds it, the values keep their captions until the thread hands the new
// spectra over (and refreshes the panel).
#include <algorithm>
#include <mutex>
#include <optional>

#include "formatting.h"
#include "formcursorpos.h"
#include "formfftgraph.h"
#include "spectrumreadout.h"
#include "viewpopup.h"
#include "zelto.h"

namespace {

size_t Row(gui::TComponent* sender) { return static_cast<size_t>(std::clamp(sender->Tag(), 1, 3) - 1); }

}  // namespace

double TfFFTGraph::SpectrumGain() const { return TheCore ? TheCore->SpectrumWindowGains.Coherent : 1.0; }

int32_t TfFFTGraph::FrequencyToBin(double f) const { return ::FrequencyToBin(f, BinScale()); }

int32_t TfFFTGraph::CursorBin(char cursor) const {
  if (cursor == 'X' || cursor == 'Y') {
    const int32_t placed = cursor == 'X' ? Plot->CursorX : Plot->CursorY;
    return std::clamp(placed, 0, std::max(BinScale().Bins - 1, 0));
  }
  if (!TheCore) return 0;
  const int32_t step = TheCore->BalancingStep;
  if (step < 0 || step >= RunCount) return 0;
  const CaptureRecord& run = TheCore->Captures[static_cast<size_t>(step)];
  rtl::TCriticalSectionGuard guard(TheCore->ResultsLock);  // a capture writes T, Start, End
  return CursorTBin(TheCore->AsyncMode != 0, TheCore->SpectrumInWindow != 0, run.T, run.Start, run.End,
                    TheCore->ShownConditions().Length);
}

std::u16string TfFFTGraph::CursorFrequencyText(char cursor) const {
  return ::CursorFrequencyText(CursorBin(cursor), TheCore->ShownConditions().SampleRate, TransformLength(),
                               TheCore->AsyncMode != 0);
}

std::u16string TfFFTGraph::CursorReadoutText(char cursor, char channel, char kind) const {
  const bool a = channel == 'A';
  const std::vector<std::complex<double>>& spectrum = a ? TheCore->SpectrumA : TheCore->SpectrumB;
  const int32_t k = CursorBin(cursor);
  // Only the bins of the present transform: above them lie its mirror, a
  // longer transform's stale values, or nothing written at all.
  const TBinScale bins = BinScale();
  const bool inside = k >= 0 && k < bins.Bins && static_cast<size_t>(k) < spectrum.size();
  // The spectrum is read with the conditions of the record it belongs to.
  const TRecordConditions conditions = TheCore->ShownConditions();
  const SensorInfo& sensor = conditions.Sensor(a ? 0 : 1);
  if (!SpectrumShown(a)) return u"-";
  if (kind == 'P') return inside ? PhaseText(spectrum[static_cast<size_t>(k)], sensor, TheCore->AmplDisplayMode) : u"-";
  if ((a ? DisplayA : DisplayB).empty() || !inside) return u"-";
  TAmplitudeScale scale;
  scale.Linear = LinearScale != 0;
  scale.InputRange = conditions.Range(a ? 0 : 1);
  scale.FullScale = conditions.FullScale;
  scale.BinFrequency = bins.Frequency(k);
  scale.Quantity = TheCore->AmplDisplayMode;
  scale.Mean = k == 0;
  return AmplitudeText(spectrum[static_cast<size_t>(k)] / SpectrumGain(), scale, sensor);
}

std::optional<double> TfFFTGraph::BandRms(uint8_t channel) const {
  const bool a = channel == 0;
  if (!SpectrumShown(a)) return std::nullopt;
  const TRecordConditions conditions = TheCore->ShownConditions();
  const uint8_t ch = a ? 0 : 1;
  const TBinScale scale = BinScale();
  const TBinRange bins = BandBins(RmsType, CursorBin('X'), CursorBin('Y'), scale);
  return ::BandRms(a ? TheCore->SpectrumA : TheCore->SpectrumB, bins, conditions.MillivoltsPerCount(ch), scale,
                   conditions.Sensor(ch), TheCore->AmplDisplayMode, TheCore->SpectrumWindowGains.Power);
}

void TfFFTGraph::RefreshInfoPanel() {
  if (!TheCore) return;
  const bool two = TheCore->Type == 1;
  if (!two) MeasCh = {'A', 'A', 'A'};
  std::unique_lock<std::mutex> lock(TheCore->SignalLock, std::try_to_lock);
  const bool spectraReadable = lock.owns_lock();
  for (size_t r = 0; r < 3; ++r) {
    ShowLetter(bMeasCur[r], MeasCur[r], CursorColour(MeasCur[r]));
    ShowLetter(bMeasCh[r], MeasCh[r], ChannelColour(MeasCh[r]));
    bFreq[r]->SetCaptionW(CursorFrequencyText(MeasCur[r]));
    bFreq[r]->SetFlat(MeasCur[r] == 'T');
    if (!spectraReadable) continue;
    bValue[r]->SetCaptionW(CursorReadoutText(MeasCur[r], MeasCh[r], 'A'));
    pePhase[r]->SetCaptionW(CursorReadoutText(MeasCur[r], MeasCh[r], 'P'));
  }
  bRmsType->SetCaptionW(BandNames()[std::min<size_t>(RmsType, BandCount - 1)]);
  const std::u16string unit = AmplitudeUnitText(TheCore->AmplDisplayMode, 0);
  const auto rmsText = [&](uint8_t channel) -> std::u16string {
    const std::optional<double> rms = BandRms(channel);
    return rms ? (channel == 0 ? u"A: " : u"B: ") + FormatNumber(*rms) + unit : u"-";
  };
  if (spectraReadable) {
    bRmsValueA->SetCaptionW(rmsText(0));
    if (two) bRmsValueB->SetCaptionW(rmsText(1));
  }
  // Without channel B there is nothing to wait for.
  if (!two) bRmsValueB->SetCaptionW(u"-");
  bRmsValueB->SetEnabled(two);
  bWindowType->SetCaption("");
  bWindowType->SetCaptionW(std::u16string(WindowTypeNames[std::min<size_t>(TheCore->WindowType, 7)]));
  bSpectrumType->SetCaptionW(TheCore->SpectrumInWindow ? u"DFT" : u"FFT");
}

void TfFFTGraph::bRmsTypeClick(gui::TComponent* sender) {
  if (!TheCore) return;
  const double fs = TheCore->ShownConditions().SampleRate;
  std::array<std::u16string, BandCount>& names = BandNames();
  names[5] = HalfRateBandName(fs);
  std::vector<TPopupItem> items;
  for (int band = 0; band < BandCount; ++band)
    items.push_back({names[static_cast<size_t>(band)], BandEnabled(band, fs) ? gui::MF_STRING : gui::MF_GRAYED});
  const int choice = PopupBelow(this, static_cast<gui::TControl*>(sender), items, RmsType + 1);
  if (choice == 0) return;
  RmsType = static_cast<uint8_t>(choice - 1);
  RefreshInfoPanel();
}

void TfFFTGraph::pMeasCurClick(gui::TComponent* sender) {
  if (PopupLetter(sender, MeasCur[Row(sender)], "XYT",
                  {{ViewText(vtCursorX)}, {ViewText(vtCursorY)}, {Text(ftCursorT)}}))
    RefreshInfoPanel();
}

void TfFFTGraph::pMeasChClick(gui::TComponent* sender) {
  if (PopupChannel(sender, MeasCh[Row(sender)], {&MeasCh[0], &MeasCh[1], &MeasCh[2]})) RefreshInfoPanel();
}

// Cursor T is not placed by hand.
void TfFFTGraph::bFreqClick(gui::TComponent* sender) {
  const char letter = MeasCur[Row(sender)];
  if (letter != 'T') PlaceCursor(letter, 0);
}

int32_t TfFFTGraph::AskCursorPosition(char letter, int32_t bin) {
  std::unique_ptr<TfCursorPos> dialog = std::make_unique<TfCursorPos>(this);
  dialog->CursorLetter = letter;
  dialog->CursorBin = bin;
  dialog->Scale = BinScale();
  dialog->ShowModal();
  return dialog->CloseResult == 1 ? dialog->CursorBin : -1;
}
