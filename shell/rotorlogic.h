#pragma once
// The rules of the rotor definition dialog without its window: which fields
// a rotor type uses, reading the fields into a rotor definition, and when a
// definition is complete enough for the ISO 1940 judgement.
//
// Rotor types (RotorDefinition::Type): 0 none ("Undefined"); two planes:
// 1 type A, 2 type B, 3 type C; one plane: 4 type A.

#include <cstdint>
#include <string>

#include "numberfield.h"
#include "records.h"

// The type radio button that is checked.
enum TRotorChoice : uint8_t { rcNoISO, rcTypeA, rcTypeB, rcTypeC };

// The stored type of a choice (one plane offers only type A, stored as 4),
// and the choice that shows a stored type. A type that does not fit the
// number of planes (a rotor of an older session) shows as "Undefined".
uint8_t RotorTypeOf(TRotorChoice choice, bool twoPlanes);
TRotorChoice ChoiceOfType(uint8_t type, bool twoPlanes);

struct TRotorEnabling {
  bool a = false, b = false, l = false, s = false, dA = false, dB = false;
  bool MassCentre = false;  // cbMassCentreLocation
  bool Others = false;      // mass, speed, grade, plane labels, Calculate
  friend bool operator==(const TRotorEnabling&, const TRotorEnabling&) = default;
};
// a and the mass-centre box belong to type C; b, l and dB to two-plane
// ISO types; s is given only when the box is enabled and checked.
TRotorEnabling RotorEnabling(bool twoPlanes, TRotorChoice choice, bool massCentreChecked);

// The fields of the dialog: the texts, and the values the number fields
// were given, in the record's units (f in Hz, whatever unit its text is in).
struct TRotorFields {
  bool TwoPlanes = false;
  TRotorChoice Choice = rcNoISO;
  TFieldNumber a, b, l, s, dA, dB, m, f;
  bool MassCentre = false;
  int ClassIndex = 0;
  bool SpeedInRpm = false;  // a typed f is read in rpm and stored in Hz
};

// The definition the fields describe and whether it is valid. "Undefined"
// is always valid and stores type 0 with every value 0. A disabled or empty
// dimension field reads as 0, a field that kept its given value reads that
// value; a text that is no number makes the whole record zero and invalid.
struct TRotorReading {
  RotorDefinition Rotor;
  bool Valid = false;
};
TRotorReading ReadRotor(const TRotorFields& fields);

// Every value the type needs is greater than 0: type 4 dA, m, f; types 1
// and 2 also b, l, dB; type 3 also a, and s when the mass centre is given.
// An ISO type also needs a grade of the list.
bool IsRotorValid(const RotorDefinition& rotor);

// A rotor with every field zero (type 0, class index 0).
RotorDefinition ZeroRotor();

// The fields of a definition, each keeping its value; the speed's text in
// rpm when `speedInRpm`.
TRotorFields RotorFieldsOf(const RotorDefinition& rotor, bool twoPlanes, bool speedInRpm);
