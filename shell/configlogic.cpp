#include "configlogic.h"

#include <algorithm>
#include <cmath>

#include "conditionkeys.h"
#include "formatting.h"
#include "iso1940.h"
#include "numberfield.h"
#include "sartel.h"
#include "sensorlist.h"
#include "setupservices.h"
#include "textconv.h"

namespace {

constexpr int32_t SmallestBuffer = 512;
constexpr int MinRotorDivs = 3;
constexpr int MaxRotorDivs = 32;
constexpr char16_t Escape = 27;

int Clamped(int value, int low, int high) { return std::clamp(value, low, high); }

}  // namespace

// ---- sampling page ----

std::u16string SpeedToleranceText(size_t position) {
  return position < SpeedTolerancePercents.size() ? FormatPattern(SpeedTolerancePercents[position], u"0.#%") : u"";
}

std::vector<TBufferItem> BufferLengthItems(int32_t ramSize, bool wholeMemory, int32_t buffLength) {
  if (wholeMemory) return {{buffLength, false}};
  std::vector<TBufferItem> items;
  for (int32_t n = ramSize; n >= SmallestBuffer; n /= 2) items.push_back({n, true});
  return items;
}

int BufferItemIndex(const std::vector<TBufferItem>& items, int32_t length) {
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].HasValue && items[i].Length == length) return static_cast<int>(i);
  return -1;
}

std::vector<int32_t> DriverItems(int32_t (*query)(int32_t)) {
  std::vector<int32_t> items;
  if (!query) return items;
  const int32_t count = std::clamp(query(SARTEL_SELECT_COUNT), 0, MaxDriverItems);
  for (int32_t i = 0; i < count; ++i) items.push_back(query(SARTEL_SELECT_ENTRY + i));
  return items;
}

std::vector<int32_t> DriverClockItems(const TZelto& core) {
  return core.DriverModule ? DriverItems(core.DriverApi.GetClockItems) : std::vector<int32_t>();
}

std::vector<int32_t> DriverGainItems(const TZelto& core) {
  return core.DriverModule ? DriverItems(core.DriverApi.GetGainItems) : std::vector<int32_t>();
}

std::vector<std::u16string> SamplingRateTexts(const std::vector<int32_t>& ratesHz) {
  std::vector<std::u16string> texts;
  for (int32_t rate : ratesHz) texts.push_back(FormatFrequency(rate, 1));
  return texts;
}

std::vector<std::u16string> InputRangeTexts(const std::vector<int32_t>& rangesMv, double inputGain) {
  std::vector<std::u16string> texts;
  for (int32_t range : rangesMv) texts.push_back(FormatVoltage(range * inputGain, 1));
  return texts;
}

TSamplingInfo SamplingInfo(double rateHz, int32_t buffLength, int averaging, uint8_t speedMode) {
  if (!(rateHz > 0) || buffLength <= 0) return {u"-", u"-"};
  const double n = buffLength;
  return {FormatFrequency(2 * rateHz / n, speedMode) + u" - " + FormatFrequency(0.25 * rateHz, speedMode),
          FormatTime(averaging * n / rateHz)};
}

// ---- enabling ----

TConfigEnabling ConfigEnabling(bool fresh, bool onePlane, bool balancingHead, bool divideMass, uint8_t rotorType) {
  TConfigEnabling e;
  e.Planes = e.Capture = e.Sensors = fresh;
  e.BalancingHead = fresh && onePlane && !divideMass;
  e.GwbOptions = fresh && balancingHead;
  e.CtrlMassValue = fresh && !balancingHead;
  e.CtrlMassUnit = e.CtrlMassValue && rotorType == 0;
  e.DivideMass = !balancingHead;
  return e;
}

bool IsFreshSession(const TZelto& core) { return core.BalancingStep == 0 && core.HighestStep == 0; }

// ---- correction-mass page ----

bool RotorDivsKey(char16_t& key) {
  if (key >= u'a' && key <= u'z') key = static_cast<char16_t>(key - u'a' + u'A');
  const bool passes = (key >= u'0' && key <= u'9') || key == Escape;
  if (!passes) key = 0;
  return passes;
}

std::u16string ClampRotorDivs(std::u16string_view text) {
  if (text.empty()) return {};
  // Text that is no number (pasted past the key filter) counts as too few.
  const int n = ParseFieldInteger(text, MaxRotorDivs + 1).value_or(0);
  if (n < MinRotorDivs) return rtl::AsciiToUtf16(std::to_string(MinRotorDivs));
  if (n > MaxRotorDivs) return rtl::AsciiToUtf16(std::to_string(MaxRotorDivs));
  return std::u16string(text);
}

// ---- rotor and control-mass pages ----

std::optional<double> SuggestedControlMass(const RotorDefinition& rotor, bool twoPlanes) {
  if (rotor.Type == 0) return std::nullopt;
  double s = 0.5 * CalcPermissibleUnbalance(rotor, 0) / rotor.dA;
  if (twoPlanes) s = std::min(s, 0.5 * CalcPermissibleUnbalance(rotor, 1) / rotor.dB);
  // A diameter of 0 (a rotor read from an old session) gives no mass.
  if (!std::isfinite(s)) return std::nullopt;
  return s;
}

TRotorSummary RotorSummary(const RotorDefinition& rotor, bool twoPlanes) {
  TRotorSummary summary;
  if (rotor.Type == 0) return summary;
  summary.Shown = true;
  summary.PlaneB = twoPlanes;
  auto texts = [&](uint8_t plane, std::u16string& unbalance, std::u16string& specific) {
    const double u = CalcPermissibleUnbalance(rotor, plane);
    unbalance = FormatNumber(u) + u" [g mm]";
    // Without a mass there is nothing to relate the unbalance to.
    specific = FormatNumber(rotor.m > 0 ? u / rotor.m : 0) + u" [(g mm)/kg]";
  };
  texts(0, summary.UnbalanceA, summary.SpecificA);
  if (twoPlanes) texts(1, summary.UnbalanceB, summary.SpecificB);
  return summary;
}

// ---- the working copy ----

TConfigSettings SettingsFromCore(const TZelto& core) {
  TConfigSettings s;
  s.BuffLength = core.BuffLength;
  s.SamplingRate = core.SamplingRate;
  s.AveragingIndex = Clamped(core.AvgSize - 1, 0, MaxAvgSize - 1);
  s.SpeedTolerance = Clamped(core.SpeedTolerance, 0, static_cast<int>(SpeedTolerancePercents.size()) - 1);
  s.VibValueType = Clamped(core.VibValueType, 0, 2);
  s.GainA = core.GainA;
  s.GainB = core.GainB;
  s.OnePlane = core.Type == 0;
  s.Rotor = core.Rotor;
  s.CtrlMassValue = core.CtrlMass.Value;
  s.CtrlMassUnit = rtl::Utf8ToUtf16(core.CtrlMass.Unit);
  s.MassAdd = core.MassAdd != 0;
  s.DivideMass = core.DivideMass != 0;
  s.RotorDivs = rtl::AsciiToUtf16(std::to_string(core.RotorDivCount));
  s.GwbEnabled = core.GWB.Enabled != 0;
  s.GwbMode = core.GWB.Mode;
  s.GwbShift = core.GWB.Shift;
  s.Date = core.Session.Date;
  const TSessionInfo& info = core.Session;
  const std::array<const std::string*, SessionTextCount> texts = {&info.Location, &info.Operator, &info.MachineOwner,
                                                                  &info.Machine, &info.Object};
  for (size_t i = 0; i < texts.size(); ++i) s.SessionTexts[i] = rtl::Utf8ToUtf16(*texts[i]);
  s.AmplDisplayMode = static_cast<uint8_t>(Clamped(core.AmplDisplayMode, 0, 3));
  s.SpeedHz = core.SpeedDisplayMode == 1;
  s.Owner = core.Owner;
  return s;
}

std::string EightBitText(std::u16string_view text, size_t maxLength) {
  std::string ansi = rtl::Utf16ToWindows1252(text);
  if (ansi.size() > maxLength) ansi.resize(maxLength);
  return rtl::Windows1252ToUtf8(ansi);
}

namespace {

// A field that still shows the stored text keeps it as it is; another text
// is taken as 8-bit text of at most `maxLength` characters.
std::string KeptOrEightBitText(const std::string& stored, std::u16string_view text, size_t maxLength) {
  return text == rtl::Utf8ToUtf16(stored) ? stored : EightBitText(text, maxLength);
}

// A field that still shows the stored count keeps it, in the range or not.
void ApplyRotorDivisions(TZelto& core, const TConfigSettings& s) {
  core.DivideMass = s.DivideMass ? 1 : 0;
  if (s.RotorDivs == rtl::AsciiToUtf16(std::to_string(core.RotorDivCount))) return;
  const std::u16string divs = ClampRotorDivs(s.RotorDivs);
  if (divs.empty()) {
    core.RotorDivCount = MinRotorDivs;
    core.DivideMass = 0;
    return;
  }
  core.RotorDivCount = ParseFieldInteger(divs, MaxRotorDivs).value_or(MinRotorDivs);
}

void ApplyCorrectionOptions(TZelto& core, const TConfigSettings& s) {
  core.MassAdd = s.MassAdd ? 1 : 0;
  ApplyRotorDivisions(core, s);
  core.GWB.Enabled = s.GwbEnabled ? 1 : 0;
  if (s.GwbMode == 0 || s.GwbMode == 1) core.GWB.Mode = static_cast<uint8_t>(s.GwbMode);
  core.GWB.Shift = s.GwbShift;
}

// The runs and the live buffers hold samples of the buffer length and the
// sampling rate they were captured with: a change of either clears them, so
// no record is drawn, read or stored under settings it was not captured
// with. Both settings are read by a spectrum computation that may be under
// way: written under SignalLock (zelto.h).
void ApplyCaptureSettings(TZelto& core, const TConfigSettings& s) {
  if (s.BuffLength == core.BuffLength && s.SamplingRate == core.SamplingRate) return;
  {
    const auto lock = core.LockSignalsForWriting();
    core.BuffLength = s.BuffLength;
    core.SamplingRate = s.SamplingRate;
  }
  core.ClearMeasurements();
}

void ApplySessionTexts(TZelto& core, const TConfigSettings& s) {
  core.Session.Date = s.Date;
  TSessionInfo& info = core.Session;
  const std::array<std::string*, SessionTextCount> texts = {&info.Location, &info.Operator, &info.MachineOwner,
                                                            &info.Machine, &info.Object};
  for (size_t i = 0; i < texts.size(); ++i)
    *texts[i] = KeptOrEightBitText(*texts[i], s.SessionTexts[i], SessionTextLength);
}

}  // namespace

std::vector<int> RunsClearedBy(const TZelto& core, const TConfigSettings& s) {
  const bool clears = s.BuffLength != core.BuffLength || s.SamplingRate != core.SamplingRate ||
                      s.OnePlane != (core.Type == 0);
  std::vector<int> runs;
  if (!clears) return runs;
  for (int run = 0; run < RunCount; ++run) {
    if (run == RunCorrection) continue;
    const size_t i = static_cast<size_t>(run);
    if (core.Results[i].Valid || !core.Captures[i].DataA.empty() || !core.Captures[i].DataB.empty())
      runs.push_back(run);
  }
  return runs;
}

std::u16string RunNames(const std::vector<int>& runs, std::u16string_view run, std::u16string_view trimRun) {
  std::u16string names;
  for (const int r : runs) {
    if (!names.empty()) names += u", ";
    const bool trim = r > RunCorrection;
    names += std::u16string(trim ? trimRun : run) + u" " +
             rtl::AsciiToUtf16(std::to_string(trim ? r - RunCorrection : r + 1));
  }
  return names;
}

void ApplySettings(TZelto& core, const TConfigSettings& s, TSetupServices* services) {
  ApplyCaptureSettings(core, s);
  core.SpeedTolerance = static_cast<uint8_t>(s.SpeedTolerance);
  if (s.OnePlane != (core.Type == 0)) {
    {
      // The planes, too, are read by a spectrum computation under way.
      const auto lock = core.LockSignalsForWriting();
      core.Type = s.OnePlane ? 0 : 1;
    }
    if (services) services->NewSession();
  }
  if (s.AveragingIndex + 1 != core.AvgSize) core.Readings = 0;
  core.AvgSize = s.AveragingIndex + 1;
  if (s.GainA >= 0) core.GainA = s.GainA;
  if (s.GainB >= 0) core.GainB = s.GainB;
  core.Rotor = s.Rotor;
  core.CtrlMass.Value = s.CtrlMassValue;
  core.CtrlMass.Unit = KeptOrEightBitText(core.CtrlMass.Unit, s.CtrlMassUnit, CtrlMassUnitLength);
  ApplyCorrectionOptions(core, s);
  ApplySessionTexts(core, s);
  SaveJob(core, services ? services->JobSaveReport() : TJobSaveReport{});
  core.VibValueType = static_cast<uint8_t>(s.VibValueType);
  core.AmplDisplayMode = s.AmplDisplayMode;
  core.SpeedDisplayMode = s.SpeedHz ? 1 : 0;
  core.Owner = s.Owner;
  if (services) {
    services->RefreshResults();
    services->RefreshViews();
  }
}

TShownSensor ShownSensor(const TZelto& core, std::u16string_view name, const SensorInfo& job, bool chosen) {
  TShownSensor shown{std::u16string(name), NoSensor(), soList};
  SensorInfo listed;
  const bool inList = !name.empty() && core.LoadSensor(name, listed);
  const bool jobs = !chosen && !name.empty() && name == job.Name && job.Sensitivity != 0;
  if (jobs && (!inList || !datafile::SameSensor(listed, job))) {
    shown.Sensor = job;
    shown.Origin = inList ? soJobDiffers : soJobNotListed;
  } else if (inList) {
    shown.Sensor = listed;
  } else {
    shown.Name.clear();
  }
  return shown;
}

void ApplySensorChoice(TZelto& core, std::u16string_view nameA, std::u16string_view nameB, bool keepA,
                       bool keepB) {
  auto apply = [&](std::u16string_view name, SensorInfo& channel, bool keep) {
    if (keep) return;
    SensorInfo sensor;
    if (!name.empty() && core.LoadSensor(name, sensor)) {
      // The channel keeps the name it was chosen by, so that the next set-up
      // finds the same file even when the name stored inside it differs.
      sensor.Name = name;
      channel = sensor;
    } else {
      channel = NoSensor();
    }
  };
  apply(nameA, core.VibSensorA, keepA);
  apply(nameB, core.VibSensorB, keepB);
}
