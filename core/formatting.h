#pragma once
// Quantity formatting and unit conversion: the number-pattern engine, the
// formatters every window shows measured values with, the conversion of a
// measured voltage amplitude and phase into acceleration, velocity or
// displacement, the unit and mode labels, the frame shades and the pixel
// rounding rule.
//
// The functions here are pure and take the sensor they convert for; the
// TZelto members of the same names pick the sensor of a channel and forward.

#include <complex>
#include <cstdint>
#include <string>
#include <string_view>

#include "records.h"

// The decimal separator of every number shown on screen or paper. One
// project-wide setting, so every window reads the same place: the program
// sets it once at start from the user's locale; number text in files never
// uses it (it is locale-free). "." until then.
extern char16_t DecimalSeparator;

// Renders a value through a pattern: "0" a digit always written, "#" a digit
// written only when significant (trailing zeros after the point are dropped,
// and the point with them), "." the place of DecimalSeparator; every other
// character is copied as it stands. The value is rounded to the last
// placeholder after the point, halves away from zero on the value's shortest
// decimal form (so 0.125 with two decimals gives 0.13). A negative value gets
// "-" in front of the whole text, unless every printed digit is zero: no
// "-0". Not-a-number and infinities print "NaN", "INF" and "-INF" in place of
// the digits.
std::u16string FormatPattern(double value, std::u16string_view pattern);

// Time in seconds: "0 s", "2,5 ms" (with a decimal comma), "-2,5 ms",
// "12,25 s", and from 1000 s on "hh:mm:ss".
std::u16string FormatTime(double t);
// mode 0: speed in rpm from a frequency in Hz; mode 1: frequency with a unit
// prefix; any other mode "-".
std::u16string FormatFrequency(double f, uint8_t mode);
// Millivolts; withUnit 0 gives the bare number, otherwise "mV" or "V".
std::u16string FormatVoltage(double u, uint8_t withUnit);
// A level from its attenuation below the reference: "-3,5 dB" below it,
// "+6,02 dB" above it (a negative attenuation).
std::u16string FormatLevel(double attenuation);
// Plain number with decimals chosen by the magnitude.
std::u16string FormatNumber(double x);

// Quantities are those of AmplDisplayMode (0 voltage, 1 acceleration,
// 2 velocity, 3 displacement), modes those of VibValueType (0 peak, 1 RMS,
// 2 peak-to-peak).
// The sensor gives its channel a physical unit: it has a sensitivity and a
// known type. Without one, a channel has only its millivolts.
bool SensorKnown(const SensorInfo& sensor);
// A measured peak amplitude in mV at frequency f (Hz) as the given quantity
// for this sensor: mV, m/s², mm/s or µm, capped at 1e6. The millivolts
// need no sensor (its input gain only when it is known); a physical unit
// without a known sensor is 0.
double ConvertAmplitude(const SensorInfo& sensor, double amplitude, double f, uint8_t quantity);
// The one conversion of a sensor's millivolts into a physical quantity, for
// display and for comparing runs alike: a peak amplitude `a` in mV (its
// input gain already applied) of a sensor of type `sensorType` and
// sensitivity `s` as quantity 1 to 3 in m/s², mm/s or µm, integrated or
// differentiated at frequency f (Hz). Integrating without a frequency
// (f <= 0) gives 0, and so does a quantity or type outside.
double ConvertForSensor(uint8_t sensorType, double a, double s, double f, uint8_t quantity);
// The quantity a sensor of the given type measures itself (1 acceleration,
// 2 velocity, 3 displacement).
constexpr uint8_t OwnQuantity(uint8_t sensorType) { return static_cast<uint8_t>(sensorType + 1); }
// A measured phase (radians) shifted from the sensor's own quantity to the
// displayed one.
double ConvertPhase(const SensorInfo& sensor, double phase, uint8_t quantity);
// "-" for a quantity other than voltage without a known sensor.
std::u16string FormatAmplitude(const SensorInfo& sensor, double amplitude, double f,
                               uint8_t quantity, uint8_t mode);
std::u16string FormatPhase(const SensorInfo& sensor, double phase, uint8_t quantity);
// Whole degrees 0° to 360° of an angle in radians.
std::u16string FormatAngle(double angle);
// Where a weight of the amplitude-only method goes: the angle of its
// position vector, or "?" when the vector is zero (no position yet).
std::u16string PlacementText(std::complex<double> position);

// "[mV]", "[m/s²]", ... when bracketed, else " mV", " m/s²", ...
std::u16string AmplitudeUnitText(uint8_t quantity, uint8_t bracketed);
std::u16string AmplitudeModeText(uint8_t mode);         // "P-K", "RMS", "P-P"
std::u16string SensitivityUnitText(uint8_t sensorType);  // " mV/g", ...

// The lighter and darker shade of a colour (0x00BBGGRR) for 3-D frames.
void CalcShades(uint32_t colour, uint32_t& lighter, uint32_t& darker);

// Pixel rounding: halves go up (2.5 gives 3, -2.5 gives -2). Not-a-number
// gives 0 and values beyond int32 are clamped.
int32_t Round(double x);
