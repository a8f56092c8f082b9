#pragma once
// The scale arithmetic of both plots: the pixel rounding, the 1-2-5 step
// table and how a grid step is brought into its pixel interval, the time
// steps of the oscilloscope's time axis, the frequency and decibel steps of
// the spectrum, tick positions and the label texts. Numbers in, numbers and
// texts out; the renderers only draw what these return.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// Pixel rounding of both plots: halves go up (2.5 gives 3, -2.5 gives -2).
int32_t RoundHalfUp(double x);

// Multipliers tried, in order, when a step is too fine or too coarse.
constexpr std::array<double, 24> StepTable = {2,   5,   10,  20,  50,  100, 200, 500, 1e3, 2e3, 5e3, 1e4,
                                              2e4, 5e4, 1e5, 2e5, 5e5, 1e6, 2e6, 5e6, 1e7, 2e7, 5e7, 1e8};

// A grid step in pixels and the factor the label increment was scaled by.
struct TGridStep {
  double Step = 0;
  double Factor = 1;
};

// Brings a step of `start` pixels into [low, high]: below low it takes the
// first table entry t with t x start >= low (the last when none reaches);
// then, above high, the first t with step / t <= high (the last when none).
// Each search scales the value it started from. The first search may
// overshoot and the second bring the step back below low; that stands.
TGridStep NormaliseStep(double start, double low, double high);

// A step that draws a sensible grid: finite and at least one pixel. Anything
// finer would fill the plot (and a loop over its lines would not end).
bool UsableStep(double step);

// The step of the oscilloscope's time lines: Units steps per second, Step
// pixels apart. pps is the plot's pixels per second, width its width in
// pixels; no value without both positive.
struct TTimeSteps {
  double Units = 1;
  double Step = 0;
};
std::optional<TTimeSteps> TimeGridSteps(double pps, double width);

// The step of the oscilloscope's time labels, with the label value per step
// (in the unit of Prefix) and the prefix index into TimePrefixes.
struct TTimeLabelSteps {
  double Units = 1;
  double Step = 0;
  double Value = 1;
  int Prefix = 1;
};
std::optional<TTimeLabelSteps> TimeLabelSteps(double pps, double width);
constexpr std::array<const char16_t*, 5> TimePrefixes = {u"ks", u"s", u"ms", u"\u00B5s", u"ns"};

// The integers k whose positions origin + k x step lie in [left, right] and
// with |k| < limit; empty (First > Last) when there are none.
struct TTickRange {
  int64_t First = 0;
  int64_t Last = -1;
  bool Empty() const { return First > Last; }
};
TTickRange TickRange(double origin, double step, double left, double right, double limit);

// The value axis: the step in pixels, the label increment and whether the
// labels were divided by 1000 (the unit box then shows "x10 ³"). start is
// the pixels of one label unit; low/high the pixel interval.
struct TValueSteps {
  double Step = 0;
  double Increment = 1;
  bool Thousands = false;
};
std::optional<TValueSteps> ValueSteps(double start, double low, double high);

// The spectrum's frequency axis: pixels per label step, the label value per
// step and the unit text. pxPerHz is the plot's pixels per hertz.
struct TFrequencySteps {
  double Step = 0;
  double Increment = 1;
  const char16_t* Unit = u"Hz";
};
std::optional<TFrequencySteps> FrequencySteps(double pxPerHz, double scaleX);

// The spectrum's decibel axis: pxPerDb pixels per decibel.
std::optional<TValueSteps> DecibelSteps(double pxPerDb, double scaleY);

// Label texts, with the screen's decimal separator.
// Time label: k x step value with "%1.2f", "%1.1f" or "%1.0f" by the value
// per step, followed by the prefix.
std::u16string TimeLabelText(double value, double valuePerStep, int prefix);
// Value label of the oscilloscope: two decimals below 10, one below 100,
// none from 100 on (judged by the magnitude), a minus sign below the zero line.
std::u16string ValueLabelText(double v);
// Linear amplitude label of the spectrum: "0" for 0, else as ValueLabelText.
std::u16string AmplitudeLabelText(double v);
// Decibel label: "0" for 0, else -v with one decimal below 1 and none from 1.
std::u16string DecibelLabelText(double v);
// Frequency label: one decimal and the unit ("12,5kHz").
std::u16string FrequencyLabelText(double v, const char16_t* unit);

// The text of the second unit box when the labels are thousands.
inline constexpr const char16_t* ThousandsText = u"x10 \u00B3";
