#include "logentry.h"

#include <numbers>

#include "balancing.h"
#include "capturethreads.h"
#include "formatting.h"
#include "records.h"
#include "textconv.h"
#include "zelto.h"

namespace {

constexpr std::u16string_view Detail = u"\r\n\t";
constexpr std::u16string_view SubLine = u"\r\n\t\t";
constexpr std::u16string_view NoValue = u"-";

enum TPlane : uint8_t { PlaneA, PlaneB };

// The values of one run as the log writes them.
class TRunTexts {
 public:
  TRunTexts(const TZelto& core, int run) : Core(core), Run(run), Result(core.Results[static_cast<size_t>(run)]) {}

  std::u16string Amplitude(TPlane plane) const {
    const double ampl = plane == PlaneA ? Result.Meas.AmplA : Result.Meas.AmplB;
    return Core.FormatRunAmplitude(Run, ampl, Result.Freq, Core.AmplDisplayMode, Core.VibValueType, plane) +
           TZelto::AmplitudeUnitText(Core.AmplDisplayMode, 0);
  }
  std::u16string Phase(TPlane plane) const {
    return Core.FormatRunPhase(Run, plane == PlaneA ? Result.Meas.PhA : Result.Meas.PhB, Core.AmplDisplayMode, plane);
  }
  // The run's amplitude in percent of the initial run's, the two in one
  // unit; "-" when their sensors give them none.
  std::u16string Unbalance(TPlane plane) const {
    const std::optional<TComparedAmplitudes> a = Core.ComparedAmplitudes(Run, plane);
    if (!a) return std::u16string(NoValue);
    return FormatPattern(a->Run * 100 / a->Initial, u"0%");
  }
  std::u16string Speed() const { return TZelto::FormatFrequency(Result.Freq, Core.SpeedDisplayMode); }
  // Sign of adding or removing, the mass in the control mass's unit. A
  // correction that could not be computed is "-", as on the screen: its
  // stored zeros would read as "nothing to correct".
  std::u16string Mass(TPlane plane) const {
    const std::optional<TCorrection> c = StoredCorrection(Result);
    if (!c) return std::u16string(NoValue);
    const double mass = (plane == PlaneA ? c->MassA : c->MassB) * Core.CtrlMass.Value;
    return std::u16string(Core.MassAdd == 1 ? u"+" : u"-") + FormatPattern(mass, u"0.00") +
           rtl::Utf8ToUtf16(Core.CtrlMass.Unit);
  }
  // A mass that is added sits half a turn from the correction's angle.
  std::u16string Angle(TPlane plane) const {
    const std::optional<TCorrection> c = StoredCorrection(Result);
    if (!c) return std::u16string(NoValue);
    const double angle = plane == PlaneA ? c->AngleA : c->AngleB;
    return TZelto::FormatAngle(Core.MassAdd == 1 ? AngleDiff(angle, std::numbers::pi) : angle);
  }

 private:
  const TZelto& Core;
  const int Run;
  const MeasurementResult& Result;
};

std::u16string Number(int n) { return rtl::AsciiToUtf16(std::to_string(n)); }

std::u16string Line(std::u16string_view label, const std::u16string& value) {
  return std::u16string(Detail) + std::u16string(label) + value;
}

// The amplitude-only placements of a run: A and B, and C with three weights.
std::u16string Weights(const TZelto& core, TLogWorkspace* workspace, int run) {
  const TBalanceRunVectors vectors = workspace ? workspace->BalanceRunVectors(run) : TBalanceRunVectors{};
  const int count = core.GWB.Mode == 1 ? 3 : 2;
  std::u16string text = std::u16string(Detail) + u"Balance weights: ";
  for (int i = 0; i < count; ++i) {
    text += std::u16string(SubLine) + static_cast<char16_t>(u'A' + i) + u": ";
    text += PlacementText(vectors[static_cast<size_t>(i)]);
  }
  return text;
}

std::u16string MeasurementBody(const TZelto& core, TLogWorkspace* workspace, int run, bool twoPlanes) {
  const TRunTexts t(core, run);
  std::u16string body = u"Measurement " + Number(run + 1) + u":";
  if (twoPlanes) {
    body += Line(u"Amplitude A: ", t.Amplitude(PlaneA)) + Line(u"Phase A: ", t.Phase(PlaneA)) +
            Line(u"Unbalance A: ", t.Unbalance(PlaneA)) + Line(u"Amplitude B: ", t.Amplitude(PlaneB)) +
            Line(u"Phase B: ", t.Phase(PlaneB)) + Line(u"Unbalance B: ", t.Unbalance(PlaneB)) +
            Line(u"Speed: ", t.Speed());
    return body;
  }
  body += Line(u"Amplitude: ", t.Amplitude(PlaneA)) + Line(u"Phase: ", t.Phase(PlaneA)) +
          Line(u"Unbalance: ", t.Unbalance(PlaneA)) + Line(u"Speed: ", t.Speed());
  if (core.GWB.Enabled) body += Weights(core, workspace, run);
  return body;
}

std::u16string ResultBody(const TZelto& core, TLogWorkspace* workspace, bool twoPlanes) {
  const TRunTexts t(core, RunCorrection);
  std::u16string body = u"Result:";
  if (twoPlanes)
    return body + Line(u"Mass A: ", t.Mass(PlaneA)) + Line(u"Angle A: ", t.Angle(PlaneA)) +
           Line(u"Mass B: ", t.Mass(PlaneB)) + Line(u"Angle B: ", t.Angle(PlaneB));
  if (core.GWB.Enabled) return body + Weights(core, workspace, RunCorrection);
  return body + Line(u"Mass: ", t.Mass(PlaneA)) + Line(u"Angle: ", t.Angle(PlaneA));
}

std::u16string TrimBody(const TZelto& core, TLogWorkspace* workspace, int run, bool twoPlanes) {
  const TRunTexts t(core, run);
  std::u16string body = u"Tunning " + Number(run + 1) + u":";
  if (twoPlanes)
    return body + Line(u"Mass A: ", t.Mass(PlaneA)) + Line(u"Angle A: ", t.Angle(PlaneA)) +
           Line(u"Unbalance A: ", t.Unbalance(PlaneA)) + Line(u"Mass B: ", t.Mass(PlaneB)) +
           Line(u"Angle B: ", t.Angle(PlaneB)) + Line(u"Unbalance B: ", t.Unbalance(PlaneB)) +
           Line(u"Speed: ", t.Speed());
  if (core.GWB.Enabled)
    body += Weights(core, workspace, run);
  else
    body += Line(u"Mass: ", t.Mass(PlaneA)) + Line(u"Angle: ", t.Angle(PlaneA));
  return body + Line(u"Unbalance: ", t.Unbalance(PlaneA)) + Line(u"Speed: ", t.Speed());
}

}  // namespace

std::optional<std::u16string> LogEntryBody(TLogEntryKind kind, const TZelto& core, TLogWorkspace* workspace,
                                           bool& resultPending) {
  switch (kind) {
    case lekApplicationOpen: return u"Application open";
    case lekApplicationClose: return u"Application close\r\n";
    case lekNewSession: return u"New session (Reset)";
    case lekCaptureError: return TextOf(core.LastErrorText);
    case lekNoSpeedSignal: return u"No speed signal";
    case lekSpeedSignalBack: return u"Speed signal back";
    case lekCaptureLeft:
      return u"The capture did not stop within " + Number(CaptureStopLimitMs / 1000) +
             u" s: it is left to end on its own";
    default: break;
  }
  const int run = core.BalancingStep;
  // A step outside the runs has no values to write.
  if (run < 0 || run >= RunCount) return std::nullopt;
  // A run without a counted reading has no result to write, whatever its
  // record holds.
  const bool measured = core.Results[static_cast<size_t>(run)].Valid != 0;
  const TVector4& initial = core.Results[RunInitial].Meas;
  const bool hasA = measured && initial.AmplA != 0;
  const bool hasAB = hasA && initial.AmplB != 0;
  switch (kind) {
    case lekMeasurement1:
    case lekMeasurement2: {
      const bool twoPlanes = kind == lekMeasurement2;
      if (!(twoPlanes ? hasAB : hasA)) return std::nullopt;
      resultPending = true;
      return MeasurementBody(core, workspace, run, twoPlanes);
    }
    case lekResult1:
    case lekResult2:
      if (!resultPending) return std::nullopt;
      resultPending = false;
      return ResultBody(core, workspace, kind == lekResult2);
    case lekTrim1: return hasA ? std::optional(TrimBody(core, workspace, run, false)) : std::nullopt;
    case lekTrim2: return hasAB ? std::optional(TrimBody(core, workspace, run, true)) : std::nullopt;
    default: return std::nullopt;
  }
}

std::u16string LogTimeText(const TWallTime& time) {
  auto two = [](int v) {
    std::u16string s = Number(v);
    return s.size() < 2 ? u"0" + s : s;
  };
  return two(time.Hour) + u":" + two(time.Minute) + u":" + two(time.Second);
}

std::u16string LogEntryText(const TWallTime& time, std::u16string_view body) {
  return u"[" + LogTimeText(time) + u"] " + std::u16string(body);
}
