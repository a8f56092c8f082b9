#include "plotscale.h"

#include <algorithm>
#include <cmath>

#include "formatting.h"

namespace {

// Bounds the searches below: each pass scales by 10 or 1000, so far fewer
// passes reach any value a double holds.
constexpr int MaxSearchPasses = 64;

bool Positive(double v) { return std::isfinite(v) && v > 0; }

// Plots hold at least five steps at this number of units per second.
bool HoldsFiveSteps(double width, double pps, double units) { return width / (pps / units) >= 5; }

}  // namespace

int32_t RoundHalfUp(double x) { return Round(x); }

TGridStep NormaliseStep(double start, double low, double high) {
  TGridStep result{start, 1};
  if (result.Step < low) {
    double t = StepTable.back();
    for (double entry : StepTable)
      if (entry * start >= low) {
        t = entry;
        break;
      }
    result = {t * start, t};
  }
  if (result.Step > high) {
    const double from = result.Step;
    double t = StepTable.back();
    for (double entry : StepTable)
      if (from / entry <= high) {
        t = entry;
        break;
      }
    result.Step = from / t;
    result.Factor /= t;
  }
  return result;
}

bool UsableStep(double step) { return std::isfinite(step) && step >= 1; }

std::optional<TTimeSteps> TimeGridSteps(double pps, double width) {
  if (!Positive(pps) || !Positive(width)) return std::nullopt;
  double u = 1;
  double n = width / (pps / u);
  if (n > 20) {
    u *= 0.001;
    n = width / (pps / u);
  }
  for (int pass = 0; n < 5 && pass < MaxSearchPasses; ++pass) {
    if (HoldsFiveSteps(width, pps, 2 * u)) {
      u *= 2;
      break;
    }
    if (HoldsFiveSteps(width, pps, 5 * u)) {
      u *= 5;
      break;
    }
    u *= 10;
    n = width / (pps / u);
  }
  return TTimeSteps{u, pps / u};
}

std::optional<TTimeLabelSteps> TimeLabelSteps(double pps, double width) {
  if (!Positive(pps) || !Positive(width)) return std::nullopt;
  TTimeLabelSteps r;
  const int lastPrefix = static_cast<int>(TimePrefixes.size()) - 1;
  while (pps / r.Units >= 1000 && r.Prefix < lastPrefix) {
    r.Units *= 1000;
    ++r.Prefix;
  }
  double n = width / (pps / r.Units);
  if (n > 20) {
    r.Units *= 0.001;
    --r.Prefix;
    n = width / (pps / r.Units);
  }
  int decades = 0;
  for (int pass = 0; n < 5 && pass < MaxSearchPasses; ++pass) {
    if (HoldsFiveSteps(width, pps, 2 * r.Units)) {
      r.Units *= 2;
      r.Value *= 0.5;
      break;
    }
    if (HoldsFiveSteps(width, pps, 5 * r.Units)) {
      r.Units *= 5;
      r.Value *= 0.2;
      break;
    }
    r.Units *= 10;
    // The second decade changes the prefix: 0,01 s become 10 ms.
    if (++decades == 2 && r.Prefix < lastPrefix) {
      r.Value *= 100;
      ++r.Prefix;
    } else {
      r.Value *= 0.1;
    }
    n = width / (pps / r.Units);
  }
  r.Step = pps / r.Units;
  return r;
}

TTickRange TickRange(double origin, double step, double left, double right, double limit) {
  TTickRange r;
  if (!UsableStep(step) || !std::isfinite(origin) || !(limit > 0)) return r;
  const auto at = [&](int64_t k) { return origin + static_cast<double>(k) * step; };
  // Far beyond any plot; keeps the conversions below defined.
  const auto index = [](double k) { return static_cast<int64_t>(std::clamp(k, -1e15, 1e15)); };
  int64_t first = index(std::ceil((left - origin) / step)) - 1;
  while (at(first) < left) ++first;
  int64_t last = index(std::floor((right - origin) / step)) + 1;
  while (last >= first && at(last) > right) --last;
  // |k| < limit
  const double below = std::ceil(limit) - 1;
  if (below < static_cast<double>(last)) last = static_cast<int64_t>(below);
  if (-below > static_cast<double>(first)) first = static_cast<int64_t>(-below);
  r.First = first;
  r.Last = last;
  return r;
}

std::optional<TValueSteps> ValueSteps(double start, double low, double high) {
  if (!Positive(start)) return std::nullopt;
  const TGridStep g = NormaliseStep(start, low, high);
  if (!UsableStep(g.Step)) return std::nullopt;
  TValueSteps r{g.Step, g.Factor, g.Factor >= 1000};
  if (r.Thousands) r.Increment *= 0.001;
  return r;
}

std::optional<TFrequencySteps> FrequencySteps(double pxPerHz, double scaleX) {
  if (!Positive(pxPerHz)) return std::nullopt;
  static constexpr std::array<const char16_t*, 4> Units = {u"Hz", u"kHz", u"MHz", u"GHz"};
  double u = 1;
  size_t unit = 0;
  while (pxPerHz * u < 1 && unit + 1 < Units.size()) {
    u *= 1000;
    ++unit;
  }
  const TGridStep g = NormaliseStep(pxPerHz * u, 75 * scaleX, 100 * scaleX);
  if (!UsableStep(g.Step)) return std::nullopt;
  return TFrequencySteps{g.Step, g.Factor, Units[unit]};
}

std::optional<TValueSteps> DecibelSteps(double pxPerDb, double scaleY) {
  if (!Positive(pxPerDb)) return std::nullopt;
  double u = 1;
  for (int pass = 0; pxPerDb * u < 1 && pass < MaxSearchPasses; ++pass) u *= 1000;
  const TGridStep g = NormaliseStep(pxPerDb * u, 20 * scaleY, 100 * scaleY);
  if (!UsableStep(g.Step)) return std::nullopt;
  return TValueSteps{g.Step, u * g.Factor, false};
}

std::u16string TimeLabelText(double value, double valuePerStep, int prefix) {
  const char16_t* pattern = valuePerStep < 0.1 ? u"0.00" : valuePerStep < 1 ? u"0.0" : u"0";
  const int index = prefix < 0 ? 0 : prefix >= static_cast<int>(TimePrefixes.size()) ? 4 : prefix;
  return FormatPattern(value, pattern) + TimePrefixes[static_cast<size_t>(index)];
}

std::u16string ValueLabelText(double v) {
  const double magnitude = std::fabs(v);
  return FormatPattern(v, magnitude < 10 ? u"0.00" : magnitude < 100 ? u"0.0" : u"0");
}

std::u16string AmplitudeLabelText(double v) { return v == 0 ? u"0" : ValueLabelText(v); }

std::u16string DecibelLabelText(double v) {
  if (v == 0) return u"0";
  return FormatPattern(-v, v < 1 ? u"0.0" : u"0");
}

std::u16string FrequencyLabelText(double v, const char16_t* unit) { return FormatPattern(v, u"0.0") + unit; }
