#include "iso1940.h"

#include <array>
#include <cmath>
#include <numbers>

#include "formatting.h"

namespace {

// Balance quality grades G in mm/s, by class index.
constexpr std::array<double, QualityGradeCount> Grades = {4000, 1600, 630, 250, 100, 40, 16, 6.3, 2.5, 1, 0.4};

bool HasGrade(int32_t classIndex) { return classIndex >= 0 && classIndex < QualityGradeCount; }

// A candidate over a zero denominator has no value; it is left out rather
// than let an infinity or NaN decide the minimum.
bool Candidate(double numerator, double denominator, double& value) {
  if (denominator == 0) return false;
  value = std::fabs(numerator / denominator);
  return std::isfinite(value);
}

// Rotor type C: the rotor's tolerance is allocated by the bearing distances
// and the mass-centre position; plane A takes the smallest of four
// candidates, plane B that times k.
double TypeC(const RotorDefinition& r, double u, uint8_t plane) {
  double k = 1, q = 0.5;
  if (r.MassCentreLocation != 0) {
    k = (r.s - r.a) / ((r.a + r.b) - r.s);
    q = 1 - r.s / r.l;
  }
  if (!std::isfinite(k) || !std::isfinite(q)) return 0;
  const double inner = r.l - r.a - r.b;
  const double nearA = q * r.l * u, nearB = (1 - q) * r.l * u;
  const std::array<std::array<double, 2>, 4> candidates = {{
      {nearA, inner * k + (r.l - r.a)},
      {nearA, (r.l - r.a) - inner * k},
      {nearB, r.a - (r.a + r.b) * k},
      {nearB, (r.a + r.b) * k + r.a},
  }};
  bool found = false;
  double smallest = 0;
  for (const auto& [numerator, denominator] : candidates) {
    double value;
    if (!Candidate(numerator, denominator, value)) continue;
    // Only a strictly smaller candidate replaces the current one.
    if (!found || value < smallest) smallest = value;
    found = true;
  }
  if (!found) return 0;
  return plane == 1 ? smallest * k : smallest;
}

}  // namespace

std::u16string QualityGradeName(int32_t classIndex) {
  return HasGrade(classIndex) ? FormatPattern(Grades[static_cast<size_t>(classIndex)], u"G0.#") : u"?";
}

double CalcPermissibleUnbalance(RotorDefinition rotor, uint8_t plane) {
  if (rotor.f == 0) return 0;
  if (!HasGrade(rotor.ClassIndex)) return 0;
  const double g = Grades[static_cast<size_t>(rotor.ClassIndex)];
  const double u = g * rotor.m * 1000 / (2 * std::numbers::pi * rotor.f);
  double result = 0;
  switch (rotor.Type) {
    case 4:
      result = u;
      break;
    case 1:
      result = u * 0.5;
      break;
    case 2:
      result = (rotor.l / rotor.b) * u * 0.5;
      break;
    case 3:
      result = TypeC(rotor, u, plane);
      break;
    default:
      break;
  }
  // A negative value (plane B with the mass centre outside the bearings) or
  // one without a finite value would give a verdict that means nothing.
  if (!std::isfinite(result) || result < 0) return 0;
  return result;
}

double PlaneUnbalance(const RotorDefinition& rotor, uint8_t plane, double grams) {
  return grams * (plane == 0 ? rotor.dA : rotor.dB) / 2;
}
