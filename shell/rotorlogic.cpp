#include "rotorlogic.h"

#include <optional>

#include "iso1940.h"
#include "numberfield.h"

namespace {

constexpr uint8_t OnePlaneTypeA = 4;
constexpr double SecondsPerMinute = 60;

// A dimension: its number when the field is used and not empty, else 0;
// no value when the text is no number.
std::optional<double> ReadValue(const TFieldNumber& field, bool used) {
  if (!used || field.empty()) return 0.0;
  return FieldNumberValue(field);
}

// The speed in Hz: a given value is one already; a typed one is in the
// unit the label shows.
std::optional<double> ReadSpeed(const TFieldNumber& field, bool rpm) {
  const std::optional<double> f = ReadValue(field, true);
  return f && !field.Given && rpm ? std::optional<double>(*f / SecondsPerMinute) : f;
}

bool Positive(double v) { return v > 0; }

}  // namespace

uint8_t RotorTypeOf(TRotorChoice choice, bool twoPlanes) {
  if (choice == rcNoISO) return 0;
  if (!twoPlanes) return choice == rcTypeA ? OnePlaneTypeA : 0;
  return static_cast<uint8_t>(choice);  // 1 A, 2 B, 3 C
}

TRotorChoice ChoiceOfType(uint8_t type, bool twoPlanes) {
  if (!twoPlanes) return type == OnePlaneTypeA ? rcTypeA : rcNoISO;
  return type >= 1 && type <= 3 ? static_cast<TRotorChoice>(type) : rcNoISO;
}

TRotorEnabling RotorEnabling(bool twoPlanes, TRotorChoice choice, bool massCentreChecked) {
  TRotorEnabling e;
  const bool iso = choice != rcNoISO;
  e.a = e.MassCentre = choice == rcTypeC;
  e.b = e.l = e.dB = twoPlanes && iso;
  e.s = e.MassCentre && massCentreChecked;
  e.dA = e.Others = iso;
  return e;
}

RotorDefinition ZeroRotor() {
  RotorDefinition rotor;
  rotor.ClassIndex = 0;
  return rotor;
}

TRotorReading ReadRotor(const TRotorFields& fields) {
  TRotorReading reading{ZeroRotor(), false};
  if (fields.Choice == rcNoISO) {
    reading.Valid = true;
    return reading;
  }
  const TRotorEnabling used = RotorEnabling(fields.TwoPlanes, fields.Choice, fields.MassCentre);
  const std::optional<double> a = ReadValue(fields.a, used.a), b = ReadValue(fields.b, used.b),
                              l = ReadValue(fields.l, used.l), s = ReadValue(fields.s, used.s),
                              dA = ReadValue(fields.dA, used.dA), dB = ReadValue(fields.dB, used.dB),
                              m = ReadValue(fields.m, true), f = ReadSpeed(fields.f, fields.SpeedInRpm);
  if (!a || !b || !l || !s || !dA || !dB || !m || !f) return reading;
  RotorDefinition& r = reading.Rotor;
  r.Type = RotorTypeOf(fields.Choice, fields.TwoPlanes);
  r.a = *a;
  r.b = *b;
  r.l = *l;
  r.s = *s;
  r.MassCentreLocation = fields.MassCentre ? 1 : 0;
  r.dA = *dA;
  r.dB = *dB;
  r.m = *m;
  r.f = *f;
  r.ClassIndex = fields.ClassIndex;
  reading.Valid = IsRotorValid(r);
  return reading;
}

bool IsRotorValid(const RotorDefinition& r) {
  // An ISO type is judged by its grade; without one there is nothing to judge.
  if (r.Type != 0 && (r.ClassIndex < 0 || r.ClassIndex >= QualityGradeCount))
    return false;
  switch (r.Type) {
    case 0: return true;
    case OnePlaneTypeA: return Positive(r.dA) && Positive(r.m) && Positive(r.f);
    case 1:
    case 2: return Positive(r.b) && Positive(r.l) && Positive(r.dA) && Positive(r.dB) && Positive(r.m) && Positive(r.f);
    case 3:
      return Positive(r.a) && Positive(r.b) && Positive(r.l) && Positive(r.dA) && Positive(r.dB) && Positive(r.m) &&
             Positive(r.f) && (!r.MassCentreLocation || Positive(r.s));
    default: return false;
  }
}

TRotorFields RotorFieldsOf(const RotorDefinition& rotor, bool twoPlanes, bool speedInRpm) {
  TRotorFields fields;
  fields.TwoPlanes = twoPlanes;
  fields.Choice = ChoiceOfType(rotor.Type, twoPlanes);
  fields.a = FieldNumberOf(rotor.a);
  fields.b = FieldNumberOf(rotor.b);
  fields.l = FieldNumberOf(rotor.l);
  fields.s = FieldNumberOf(rotor.s);
  fields.dA = FieldNumberOf(rotor.dA);
  fields.dB = FieldNumberOf(rotor.dB);
  fields.m = FieldNumberOf(rotor.m);
  fields.f = {FieldNumberText(speedInRpm ? rotor.f * SecondsPerMinute : rotor.f), rotor.f};
  fields.MassCentre = rotor.MassCentreLocation != 0;
  fields.ClassIndex = rotor.ClassIndex;
  fields.SpeedInRpm = speedInRpm;
  return fields;
}
