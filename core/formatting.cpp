#include "formatting.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "balancing.h"
#include "colorshades.h"
#include "zelto.h"

// The C locale's point until the program reads the user's at start.
char16_t DecimalSeparator = u'.';

namespace {

// The parts of a pattern: literal text before the number, the number's
// placeholders, literal text after it.
struct TPattern {
  std::u16string_view Prefix, Suffix;
  int IntZeros = 0;     // "0" before the point: integer digits always written
  int MinDecimals = 0;  // up to the last "0" after the point
  int MaxDecimals = 0;  // every placeholder after the point
  bool HasNumber = false;
};

bool IsPlaceholder(char16_t c) { return c == u'0' || c == u'#' || c == u'.'; }

TPattern SplitPattern(std::u16string_view pattern) {
  TPattern p;
  const size_t first = pattern.find_first_of(u"0#.");
  if (first == std::u16string_view::npos) {
    p.Prefix = pattern;
    return p;
  }
  p.HasNumber = true;
  p.Prefix = pattern.substr(0, first);
  size_t i = first;
  bool afterPoint = false;
  for (; i < pattern.size() && IsPlaceholder(pattern[i]); ++i) {
    const char16_t c = pattern[i];
    if (c == u'.') {
      if (afterPoint) break;  // a second point is literal text
      afterPoint = true;
    } else if (afterPoint) {
      ++p.MaxDecimals;
      if (c == u'0') p.MinDecimals = p.MaxDecimals;
    } else if (c == u'0') {
      ++p.IntZeros;
    }
  }
  p.Suffix = pattern.substr(i);
  return p;
}

// The digits of a non-negative finite value, its shortest decimal form
// rounded to `decimals` places, halves away from zero.
struct TDigits {
  std::string Int, Frac;
};

void IncrementDigits(TDigits& d) {
  for (size_t i = d.Frac.size(); i-- > 0;) {
    if (d.Frac[i] != '9') {
      ++d.Frac[i];
      return;
    }
    d.Frac[i] = '0';
  }
  for (size_t i = d.Int.size(); i-- > 0;) {
    if (d.Int[i] != '9') {
      ++d.Int[i];
      return;
    }
    d.Int[i] = '0';
  }
  d.Int.insert(d.Int.begin(), '1');
}

TDigits RoundedDigits(double magnitude, int decimals) {
  // Fixed notation of a double needs at most 309 integer and 767 fraction
  // digits (the shortest form of the smallest subnormal has 324).
  std::array<char, 1100> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                    std::chars_format::fixed);
  const std::string_view text(buffer.data(), result.ptr - buffer.data());
  const size_t point = text.find('.');
  TDigits d;
  d.Int = std::string(text.substr(0, point));
  if (point == std::string_view::npos) {
    d.Frac.assign(decimals, '0');
    return d;
  }
  const std::string_view frac = text.substr(point + 1);
  const bool roundUp = frac.size() > static_cast<size_t>(decimals) && frac[decimals] >= '5';
  d.Frac = std::string(frac.substr(0, std::min<size_t>(frac.size(), decimals)));
  d.Frac.resize(decimals, '0');
  if (roundUp) IncrementDigits(d);
  return d;
}

bool AnyNonZero(const std::string& digits) {
  return digits.find_first_not_of('0') != std::string::npos;
}

std::u16string Widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string NumberText(double value, const TPattern& p, bool& negative) {
  if (std::isnan(value)) {
    negative = false;
    return u"NaN";
  }
  if (std::isinf(value)) {
    negative = value < 0;
    return u"INF";
  }
  TDigits d = RoundedDigits(std::fabs(value), p.MaxDecimals);
  negative = std::signbit(value) && (AnyNonZero(d.Int) || AnyNonZero(d.Frac));
  while (static_cast<int>(d.Frac.size()) > p.MinDecimals && d.Frac.back() == '0') d.Frac.pop_back();
  // The integer digits without leading zeros, then as many zeros in front
  // as the pattern's "0" placeholders ask for.
  const std::string_view digits = std::string_view(d.Int).substr(
      std::min(d.Int.find_first_not_of('0'), d.Int.size()));
  const size_t zeros = std::max<size_t>(p.IntZeros, d.Frac.empty() ? 1 : 0);
  std::u16string text(zeros > digits.size() ? zeros - digits.size() : 0, u'0');
  text.append(Widen(digits));
  if (!d.Frac.empty()) text.append(1, DecimalSeparator).append(Widen(d.Frac));
  return text;
}

// One row of a decade table: values below Limit take this scale and pattern.
struct TRow {
  double Limit;
  double Scale;
  std::u16string_view Pattern;
};

constexpr std::array<TRow, 12> TimeRows = {{
    {1e-8, 1e9, u"0.#### ns"},
    {1e-7, 1e9, u"0.### ns"},
    {1e-6, 1e9, u"0.## ns"},
    {1e-5, 1e6, u"0.#### µs"},
    {1e-4, 1e6, u"0.### µs"},
    {1e-3, 1e6, u"0.## µs"},
    {0.01, 1000, u"0.#### ms"},
    {0.1, 1000, u"0.### ms"},
    {1, 1000, u"0.## ms"},
    {10, 1, u"0.### s"},
    {100, 1, u"0.## s"},
    {1000, 1, u"0.# s"},
}};

// Frequency rows: values from Low to below the next row's Low.
struct TBand {
  double Low, High, Scale;
  std::u16string_view Pattern;
};

constexpr std::array<TBand, 14> FrequencyBands = {{
    {1e-6, 1e-5, 1e6, u"0.000 µHz"},
    {1e-5, 1e-4, 1e6, u"0.00 µHz"},
    {1e-4, 1e-3, 1e6, u"0.0 µHz"},
    {1e-3, 0.01, 1000, u"0.### mHz"},
    {0.01, 0.1, 1000, u"0.## mHz"},
    {0.1, 1, 1, u"0.#### Hz"},
    {1, 10, 1, u"0.### Hz"},
    {10, 100, 1, u"0.## Hz"},
    {100, 1000, 1, u"0.# Hz"},
    {1000, 1e4, 0.001, u"0.### kHz"},
    {1e4, 1e5, 0.001, u"0.## kHz"},
    {1e5, 1e6, 0.001, u"0.# kHz"},
    {1e6, 1e7, 1e-6, u"0.### MHz"},
    {1e7, 1e8, 1e-6, u"0.## MHz"},
}};

constexpr std::array<TRow, 8> VoltageUnitRows = {{
    {1, 1, u"0.### mV"},
    {10, 1, u"0.## mV"},
    {100, 1, u"0.# mV"},
    {1000, 1, u"0 mV"},
    {1e4, 0.001, u"0.### V"},
    {1e5, 0.001, u"0.## V"},
    {1e6, 0.001, u"0.# V"},
    {std::numeric_limits<double>::infinity(), 0.001, u"0 V"},
}};

template <size_t N>
const TRow* FindRow(const std::array<TRow, N>& rows, double magnitude) {
  for (const TRow& row : rows)
    if (magnitude < row.Limit) return &row;
  return nullptr;
}

std::u16string TwoDigits(int64_t n) {
  std::u16string text = Widen(std::to_string(n));
  if (text.size() < 2) text.insert(0, 1, u'0');
  return text;
}

// hh:mm:ss of a magnitude of 1000 s or more. Clamped so the conversion to an
// integer is defined for every double.
std::u16string ClockText(double magnitude) {
  const double clamped = std::min(magnitude, double(std::numeric_limits<int32_t>::max()));
  const int64_t total = static_cast<int64_t>(clamped);
  return TwoDigits(total / 3600) + u":" + TwoDigits(total % 3600 / 60) + u":" +
         TwoDigits(total % 60);
}

// 1/9.80665: the standard gravity enters every conversion as a division by
// its reciprocal.
constexpr double InvGravity = 1 / 9.80665;
constexpr double TwoPi = 6.283185307179586;
constexpr double TwoPiSquared = 39.47841760435743;
constexpr double MaxConverted = 1e6;

constexpr double Pi = 3.141592653589793;

std::u16string DegreesText(double radians) {
  double d = RadToDeg(radians);
  if (d < 0) d += 360;
  return FormatPattern(d, u"0°");
}

template <size_t N>
std::u16string Label(const std::array<std::u16string_view, N>& texts, uint8_t index) {
  return index < N ? std::u16string(texts[index]) : std::u16string();
}

}  // namespace

std::u16string FormatPattern(double value, std::u16string_view pattern) {
  const TPattern p = SplitPattern(pattern);
  if (!p.HasNumber) return std::u16string(pattern);
  bool negative = false;
  const std::u16string number = NumberText(value, p, negative);
  std::u16string text = negative ? u"-" : u"";
  return text.append(p.Prefix).append(number).append(p.Suffix);
}

std::u16string FormatTime(double t) {
  if (t == 0) return u"0 s";
  if (!std::isfinite(t)) return FormatPattern(t, u"0 s");
  const double magnitude = std::fabs(t);
  if (const TRow* row = FindRow(TimeRows, magnitude)) return FormatPattern(t * row->Scale, row->Pattern);
  std::u16string text = t < 0 ? u"-" : u"";
  return text.append(ClockText(magnitude));
}

std::u16string FormatFrequency(double f, uint8_t mode) {
  if (mode == 0) {
    if (f == 0) return u"0 rpm";
    // The rows test the signed speed: a negative one gets no decimals.
    const double n = 60 * f;
    std::u16string_view pattern = u"0";
    if (n >= 1 && n < 10) pattern = u"0.000";
    else if (n >= 10 && n < 100) pattern = u"0.00";
    else if (n >= 100 && n < 1000) pattern = u"0.0";
    return FormatPattern(n, pattern) + u" rpm";
  }
  if (mode != 1) return u"-";
  if (f == 0) return u"0 Hz";
  for (const TBand& band : FrequencyBands)
    if (f >= band.Low && f < band.High) return FormatPattern(f * band.Scale, band.Pattern);
  return FormatPattern(f * 1e-6, u"0.# MHz");
}

std::u16string FormatVoltage(double u, uint8_t withUnit) {
  const double magnitude = std::fabs(u);
  if (withUnit == 0) {
    if (u == 0) return u"0";
    std::u16string_view pattern = u"0";
    if (magnitude < 1) pattern = u"0.000";
    else if (magnitude < 10) pattern = u"0.00";
    else if (magnitude < 100) pattern = u"0.0";
    return FormatPattern(u, pattern);
  }
  if (u == 0) return u"0 V";
  const TRow* row = FindRow(VoltageUnitRows, magnitude);
  if (!row) row = &VoltageUnitRows.back();  // not a number
  return FormatPattern(u * row->Scale, row->Pattern);
}

std::u16string FormatLevel(double attenuation) {
  // A level above the reference (a negative attenuation) carries its own
  // sign; the pattern's minus would stand in front of the number's.
  if (attenuation < 0) {
    const std::u16string above = FormatPattern(-attenuation, u"0.## dB");
    if (above != u"0 dB") return u"+" + above;
  }
  return FormatPattern(attenuation, u"-0.## dB");
}

std::u16string FormatNumber(double x) {
  if (x == 0) return u"0";
  // Negative values take the decimals of their magnitude.
  const double magnitude = std::fabs(x);
  std::u16string_view pattern = u"0";
  if (magnitude >= 0.001 && magnitude < 10) pattern = u"0.000";
  else if (magnitude >= 10 && magnitude < 100) pattern = u"0.00";
  else if (magnitude >= 100 && magnitude < 1000) pattern = u"0.0";
  return FormatPattern(x, pattern);
}

double ConvertForSensor(uint8_t sensorType, double a, double s, double f, uint8_t quantity) {
  const double w = TwoPi * f;
  const double w2 = TwoPiSquared * f * f;
  switch (quantity * 3 + sensorType) {
    case 3: return a / InvGravity / s;
    case 4: return a * w / s * 0.001;
    case 5: return a * w2 / s * 1e-6;
    case 6: return f > 0 ? a * 1000 / InvGravity / s / w : 0;
    case 7: return a / s;
    case 8: return a * w / s * 0.001;
    case 9: return f > 0 ? a * 1e6 / InvGravity / s / w2 : 0;
    case 10: return f > 0 ? a * 1000 / s / w : 0;
    case 11: return a / s;
    default: return 0;
  }
}

bool SensorKnown(const SensorInfo& sensor) { return sensor.Sensitivity > 0 && sensor.Type <= stDisplacement; }

double ConvertAmplitude(const SensorInfo& sensor, double amplitude, double f, uint8_t quantity) {
  const bool known = SensorKnown(sensor);
  // A channel without a known sensor still measured its millivolts; an
  // unknown sensor's input gain (0 in an unassigned record) says nothing.
  const double a = known && sensor.InputGain > 0 ? amplitude * sensor.InputGain : amplitude;
  const double value = quantity == 0 ? a : known ? ConvertForSensor(sensor.Type, a, sensor.Sensitivity, f, quantity) : 0;
  return value > MaxConverted ? MaxConverted : value;
}

double ConvertPhase(const SensorInfo& sensor, double phase, uint8_t quantity) {
  if (quantity == 0) return phase;
  if (quantity > 3 || sensor.Type > 2) return 0;
  // Each step from acceleration to velocity to displacement turns the phase
  // back by a quarter turn; the shift is the number of steps between the
  // sensor's own quantity (type + 1) and the displayed one.
  const int steps = quantity - (sensor.Type + 1);
  if (steps > 0) return AngleDiff(phase, steps * Pi / 2);
  if (steps < 0) return AngleSum(phase, -steps * Pi / 2);
  return phase;
}

std::u16string FormatAmplitude(const SensorInfo& sensor, double amplitude, double f,
                               uint8_t quantity, uint8_t mode) {
  // Without a sensitivity a measured amplitude has no value in a unit; it
  // is never shown as 0.
  if (quantity != 0 && !SensorKnown(sensor)) return u"-";
  double v = ConvertAmplitude(sensor, amplitude, f, quantity);
  if (mode == 1) v *= 0.7071067811865475;
  else if (mode == 2) v *= 2;
  return FormatNumber(v);
}

std::u16string FormatPhase(const SensorInfo& sensor, double phase, uint8_t quantity) {
  return DegreesText(ConvertPhase(sensor, phase, quantity));
}

std::u16string FormatAngle(double angle) { return DegreesText(angle); }

std::u16string PlacementText(std::complex<double> position) {
  return std::abs(position) == 0 ? std::u16string(u"?") : FormatAngle(std::arg(position));
}

std::u16string AmplitudeUnitText(uint8_t quantity, uint8_t bracketed) {
  static constexpr std::array<std::u16string_view, 4> Bracketed = {u"[mV]", u"[m/s²]", u"[mm/s]",
                                                                   u"[µm]"};
  static constexpr std::array<std::u16string_view, 4> Appended = {u" mV", u" m/s²", u" mm/s",
                                                                  u" µm"};
  return Label(bracketed ? Bracketed : Appended, quantity);
}

std::u16string AmplitudeModeText(uint8_t mode) {
  static constexpr std::array<std::u16string_view, 3> Texts = {u"P-K", u"RMS", u"P-P"};
  return Label(Texts, mode);
}

std::u16string SensitivityUnitText(uint8_t sensorType) {
  static constexpr std::array<std::u16string_view, 3> Texts = {u" mV/g", u" mV/(mm/s)", u" mV/µm"};
  return Label(Texts, sensorType);
}

void CalcShades(uint32_t colour, uint32_t& lighter, uint32_t& darker) {
  rtl::TColor light = 0, dark = 0;
  rtl::CalcColors3D(colour, light, dark);
  lighter = light;
  darker = dark;
}

int32_t Round(double x) {
  if (std::isnan(x)) return 0;
  constexpr double Low = std::numeric_limits<int32_t>::min();
  constexpr double High = std::numeric_limits<int32_t>::max();
  const double clamped = std::clamp(x, Low, High);
  const double below = std::floor(clamped);
  return static_cast<int32_t>(clamped - below >= 0.5 ? std::ceil(clamped) : below);
}

// ---- the core object's formatters: the sensors are those of the channels ----

const SensorInfo& TZelto::ChannelSensor(uint8_t channel) const {
  return channel == 0 ? VibSensorA : VibSensorB;
}

std::u16string TZelto::FormatTime(double t) { return ::FormatTime(t); }
std::u16string TZelto::FormatFrequency(double f, uint8_t mode) { return ::FormatFrequency(f, mode); }
std::u16string TZelto::FormatVoltage(double u, uint8_t withUnit) { return ::FormatVoltage(u, withUnit); }
std::u16string TZelto::FormatLevel(double attenuation) { return ::FormatLevel(attenuation); }
std::u16string TZelto::FormatNumber(double x) { return ::FormatNumber(x); }

std::u16string TZelto::FormatAmplitude(double amplitude, double f, uint8_t quantity, uint8_t mode,
                                       uint8_t channel) const {
  return ::FormatAmplitude(ChannelSensor(channel), amplitude, f, quantity, mode);
}

std::u16string TZelto::FormatPhase(double phase, uint8_t quantity, uint8_t channel) const {
  return ::FormatPhase(ChannelSensor(channel), phase, quantity);
}

std::u16string TZelto::FormatAngle(double angle) { return ::FormatAngle(angle); }

std::u16string TZelto::AmplitudeUnitText(uint8_t quantity, uint8_t bracketed) {
  return ::AmplitudeUnitText(quantity, bracketed);
}

std::u16string TZelto::AmplitudeModeText(uint8_t mode) { return ::AmplitudeModeText(mode); }
std::u16string TZelto::SensitivityUnitText(uint8_t sensorType) { return ::SensitivityUnitText(sensorType); }

double TZelto::ConvertAmplitude(double amplitude, double f, uint8_t quantity, uint8_t channel) const {
  return ::ConvertAmplitude(ChannelSensor(channel), amplitude, f, quantity);
}

double TZelto::ConvertPhase(double phase, uint8_t quantity, uint8_t channel) const {
  return ::ConvertPhase(ChannelSensor(channel), phase, quantity);
}

std::u16string TZelto::FormatRunAmplitude(int32_t run, double amplitude, double f, uint8_t quantity, uint8_t mode,
                                          uint8_t channel) const {
  return ::FormatAmplitude(RunSensor(run, channel), amplitude, f, quantity, mode);
}

std::u16string TZelto::FormatRunPhase(int32_t run, double phase, uint8_t quantity, uint8_t channel) const {
  return ::FormatPhase(RunSensor(run, channel), phase, quantity);
}

double TZelto::ConvertRunPhase(int32_t run, double phase, uint8_t quantity, uint8_t channel) const {
  return ::ConvertPhase(RunSensor(run, channel), phase, quantity);
}

void TZelto::CalcShades(uint32_t colour, uint32_t& lighter, uint32_t& darker) {
  ::CalcShades(colour, lighter, darker);
}

int32_t TZelto::Round(double x) { return ::Round(x); }
