#pragma once
// The rules of the set-up dialog without its window: the lists of the
// sampling page, the speed range and duration read-outs, which controls may
// be used, the rotor-divisions field, the suggested control mass and the
// rotor summary, and the working copy of the settings, taken from the core
// object on show and written back only when the user confirms.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records.h"
#include "zelto.h"

class TSetupServices;

// ---- sampling page ----

// The speed tolerances in percent, stored as the position in this list.
inline constexpr std::array<double, 5> SpeedTolerancePercents = {0.1, 0.5, 1, 5, 10};
// The list's text of a position: "0,1%" or "0.1%" by DecimalSeparator.
std::u16string SpeedToleranceText(size_t position);

// An item of the buffer-length list; the single item of a device that
// can't change its buffer carries no value.
struct TBufferItem {
  int32_t Length = 0;
  bool HasValue = true;
};
// A device that always captures its whole memory keeps its buffer length
// (RamSize since the start-up): the list holds only the current length.
// Otherwise RamSize, halved while at least 512 (none when RamSize is below
// 512).
std::vector<TBufferItem> BufferLengthItems(int32_t ramSize, bool wholeMemory, int32_t buffLength);
// The first item of that length; -1 when none.
int BufferItemIndex(const std::vector<TBufferItem>& items, int32_t length);

// A driver item table through its query (count at 0x100, entry i at
// 0x200 + i): the entries, at most MaxDriverItems; none without the query.
constexpr int32_t MaxDriverItems = 64;
std::vector<int32_t> DriverItems(int32_t (*query)(int32_t));
std::vector<int32_t> DriverClockItems(const TZelto& core);  // sampling rates in Hz
std::vector<int32_t> DriverGainItems(const TZelto& core);   // input ranges in mV

// The list texts: rates as frequencies; input ranges (mV) times the sensor's
// input gain as voltages with their unit.
std::vector<std::u16string> SamplingRateTexts(const std::vector<int32_t>& ratesHz);
std::vector<std::u16string> InputRangeTexts(const std::vector<int32_t>& rangesMv, double inputGain);

// Speed range 2F/N to F/4 (at 2F/N one buffer spans two revolutions) in
// the speed mode (0 rpm, 1 Hz), and the duration of `averaging` buffers.
// Without a rate or a length both read "-".
struct TSamplingInfo {
  std::u16string SpeedRange;
  std::u16string Duration;
};
TSamplingInfo SamplingInfo(double rateHz, int32_t buffLength, int averaging, uint8_t speedMode);

// ---- enabling ----

// Fresh: no run of the session measured yet (BalancingStep and HighestStep
// 0). Once a run is measured, what would invalidate it is locked.
struct TConfigEnabling {
  bool Planes = false;         // rbOnePlane, rbTwoPlanes
  bool Capture = false;        // leAveraging, cbAveraging, cbSamplingRate, cbBuffSize
  bool Sensors = false;        // bSelectSensorA, bSelectSensorB, bSensorBase
  bool BalancingHead = false;  // cbBalancingHead
  bool GwbOptions = false;     // rbGWBTwoWeights, rbGWBThreeWeights, eShiftWeightBy
  bool CtrlMassValue = false;  // eCtrlMassValue
  bool CtrlMassUnit = false;   // eCtrlMassUnit
  bool DivideMass = false;     // cbDivideMass, eRotorDivs
  friend bool operator==(const TConfigEnabling&, const TConfigEnabling&) = default;
};
TConfigEnabling ConfigEnabling(bool fresh, bool onePlane, bool balancingHead, bool divideMass, uint8_t rotorType);
bool IsFreshSession(const TZelto& core);

// ---- correction-mass page ----

// The rotor-divisions field takes digits (after conversion to upper case)
// and Escape; everything else, Backspace included, is refused (key set to
// 0). True when the key passes.
bool RotorDivsKey(char16_t& key);
// The field's text when it is left: empty stays empty; below 3 becomes "3",
// above 32 "32".
std::u16string ClampRotorDivs(std::u16string_view text);

// ---- rotor and control-mass pages ----

// The suggested control mass in g: half the permissible residual unbalance
// of plane A over its diameter dA (with two planes the smaller of A and B).
// No value for rotor type 0 or when the rotor gives no finite positive mass.
std::optional<double> SuggestedControlMass(const RotorDefinition& rotor, bool twoPlanes);

// The rotor summary: hidden for type 0; the permissible residual unbalance
// per plane (" [g mm]") and per kg of rotor mass (" [(g mm)/kg]"); plane B
// only with two planes.
struct TRotorSummary {
  bool Shown = false;
  bool PlaneB = false;
  std::u16string UnbalanceA, UnbalanceB, SpecificA, SpecificB;
};
TRotorSummary RotorSummary(const RotorDefinition& rotor, bool twoPlanes);

// ---- the working copy ----

constexpr size_t SessionTextCount = 5;  // location, operator, machine owner, machine, object
// The session texts are 8-bit text of at most 29 characters in the files.
constexpr int SessionTextLength = 29;
// The control-mass unit field takes at most 6 characters.
constexpr int CtrlMassUnitLength = 6;

// Everything the dialog shows and writes back, in the units of the core.
struct TConfigSettings {
  int32_t BuffLength = 0;
  int32_t SamplingRate = 0;
  int AveragingIndex = 0;  // AvgSize - 1
  int SpeedTolerance = 0;
  int VibValueType = 0;
  int GainA = 0, GainB = 0;  // -1: the list was empty, the core's value stays
  bool OnePlane = true;
  RotorDefinition Rotor;
  double CtrlMassValue = 0;
  std::u16string CtrlMassUnit;
  bool MassAdd = true;
  bool DivideMass = false;
  std::u16string RotorDivs;  // the field's text
  bool GwbEnabled = false;
  int GwbMode = 0;  // -1: neither option checked, the core's value stays
  double GwbShift = 0;
  TSessionDate Date;
  std::array<std::u16string, SessionTextCount> SessionTexts;
  uint8_t AmplDisplayMode = 0;
  bool SpeedHz = false;
  std::u16string Owner;
};

// The settings of the core as the dialog shows them.
TConfigSettings SettingsFromCore(const TZelto& core);

// UTF-8 8-bit text of a field, as the session file keeps it: characters
// outside Windows-1252 become "?", and it is cut to `maxLength` characters.
std::string EightBitText(std::u16string_view text, size_t maxLength);

// The measured runs (a counted reading or samples; the correction step is
// no run) that taking `settings` over would clear: every one when the
// buffer length, the sampling rate or the number of planes changes, none
// otherwise. In step order.
std::vector<int> RunsClearedBy(const TZelto& core, const TConfigSettings& settings);
// The runs as the run table names them, separated by ", ": `run` and the
// number for the first three ("Run 1"), `trimRun` and the trim's number for
// the others ("Trim run 1").
std::u16string RunNames(const std::vector<int>& runs, std::u16string_view run, std::u16string_view trimRun);

// Takes the confirmed settings over into the core: a changed buffer length
// or sampling rate clears all runs and the live buffers, a changed number of
// planes starts a new session (through the workspace), a changed averaging
// count restarts the current run's averaging; then the other settings, the
// automatic session save, the display settings and the owner text; last the
// workspace refreshes its results and views. `services` may be null (no
// workspace).
void ApplySettings(TZelto& core, const TConfigSettings& settings, TSetupServices* services);

// Where the sensor the Sensors page shows for a channel comes from.
enum TSensorOrigin : uint8_t {
  soList,          // this PC's sensor list (or none)
  soJobNotListed,  // the job's own record; this PC's list lacks it
  soJobDiffers,    // the job's own record; this PC's list holds another under its name
};
struct TShownSensor {
  std::u16string Name;
  SensorInfo Sensor;
  TSensorOrigin Origin = soList;
};
// What the Sensors page shows for a channel named `name`. Until a sensor
// is chosen for the channel (`chosen`), a channel that names the job's
// sensor (`job`, the channel's sensor in the core, which the job's runs are
// measured with) shows that sensor's record as the job holds it, marked as
// the job's when this PC's list lacks it or holds another under its name.
// Otherwise this PC's sensor of that name; none (an empty name) when it
// can't be read.
TShownSensor ShownSensor(const TZelto& core, std::u16string_view name, const SensorInfo& job, bool chosen);

// The sensors chosen in the dialog into the channels of the core: each read
// from the sensor database under its name; a name without a readable file
// leaves the channel without a sensor. A channel that still shows the job's
// own sensor (`keepA`, `keepB`: a TShownSensor of the job's) keeps it.
void ApplySensorChoice(TZelto& core, std::u16string_view nameA, std::u16string_view nameB, bool keepA = false,
                       bool keepB = false);
