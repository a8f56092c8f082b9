#pragma once
// Permissible residual unbalance of a correction plane after ISO 1940.

#include <cstdint>
#include <string>

#include "records.h"

// The balance quality grades G4000 ... G0.4, by class index 0 ... 10.
inline constexpr int32_t QualityGradeCount = 11;
// The grade of a class index as the grade list and the report show it:
// "G6,3" or "G6.3" by DecimalSeparator; "?" for an index without a grade.
std::u16string QualityGradeName(int32_t classIndex);

// Permissible residual unbalance in g*mm of plane A (plane 0) or plane B
// (plane 1) for the rotor's grade, mass, speed, type and geometry. 0 means
// no tolerance applies: no ISO type, no speed, no grade for the class index,
// or a geometry that yields no finite, non-negative value.
double CalcPermissibleUnbalance(RotorDefinition rotor, uint8_t plane);

// The unbalance in g*mm of `grams` on the correction plane of plane A
// (plane 0) or plane B (plane 1). The rotor holds the planes' diameters as
// the user measures them; a mass unbalances the rotor by its distance from
// the axis, which is half the diameter.
double PlaneUnbalance(const RotorDefinition& rotor, uint8_t plane, double grams);
