#pragma once
// Permissible residual unbalance of a correction plane after ISO 1940.

#include <cstdint>

#include "records.h"

// Permissible residual unbalance in g*mm of plane A (plane 0) or plane B
// (plane 1) for the rotor's grade, mass, speed, type and geometry. 0 means
// no tolerance applies: no ISO type, no speed, no grade for the class index,
// or a geometry that yields no finite, non-negative value.
double CalcPermissibleUnbalance(RotorDefinition rotor, uint8_t plane);
