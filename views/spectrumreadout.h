#pragma once
// The spectrum read-out: the bin of a frequency, the transform length and
// the bin of cursor T, the texts of a cursor's frequency, amplitude and
// phase, and the RMS over a frequency band. Pure functions of the numbers the
// spectrum window gathers from the core, its plot and the driver's item
// lists.

#include <array>
#include <complex>
#include <cstdint>
#include <span>
#include <string>

#include "records.h"

// The frequency of bin k of a transform of `length` samples taken at
// sampleRate: k x sampleRate / length, 0 for a transform without samples.
// The read-out, the band RMS, the cursor dialog and the plot's frequency
// axis all take a bin's frequency from here, so an odd transform length
// (a DFT over a run's window) reads the same everywhere.
double BinFrequency(double bin, double sampleRate, int32_t length);

// The frequency scale of the spectrum shown: Bins bins (half the transform
// length, rounded down) of a transform of Length samples at SampleRate Hz.
struct TBinScale {
  int32_t Bins = 0;
  int32_t Length = 0;
  double SampleRate = 0;
  double Frequency(double bin) const { return BinFrequency(bin, SampleRate, Length); }
};

// The nearest bin of frequency f, never beyond the last bin: a tie goes to
// the upper bin, 0 Hz is bin 0, and a frequency nearer to the last bin's
// upper neighbour than to the last bin, or above it, gives the last bin, so
// the mapping never falls as f rises. A negative frequency or not a number
// gives the last bin too; a spectrum without bins gives 0.
int32_t FrequencyToBin(double f, const TBinScale& scale);

// The samples transformed: the run's window End - Start in DFT mode outside
// free-running mode, else the buffer length.
int32_t TransformLength(bool dftMode, bool asyncMode, int32_t start, int32_t end, int32_t buffLength);

// The bin of the rotation frequency: 0 in free-running mode, the run's
// revolutions T in DFT mode, else T x buffLength / (End - Start) rounded
// half up (0 when End equals Start).
int32_t CursorTBin(bool asyncMode, bool dftMode, int32_t revolutions, int32_t start, int32_t end, int32_t buffLength);

// The frequency of a bin: "0Hz" when the transform has no samples (outside
// free-running mode), else the frequency text of bin x fs / n.
std::u16string CursorFrequencyText(int32_t bin, double fs, int32_t n, bool asyncMode);

// The amplitude text of spectrum entry x: 2|x| counts, on the decibel axis
// the level below full scale ("?dB" for 0), on the linear axis the peak value
// in the displayed quantity at the bin's frequency with its spaced unit. At
// bin 0 (Mean) x is the record's mean: the linear axis shows it with its
// sign, the decibel axis the level of its magnitude.
struct TAmplitudeScale {
  bool Linear = true;
  int32_t InputRange = 0;   // mV of the channel's gain
  int32_t FullScale = 0;    // ADC counts
  double BinFrequency = 0;  // Hz
  uint8_t Quantity = 0;
  bool Mean = false;        // x is bin 0
};
std::u16string AmplitudeText(std::complex<double> x, const TAmplitudeScale& scale, const SensorInfo& sensor);
// "?" for a zero entry, else the phase shifted to the displayed quantity.
std::u16string PhaseText(std::complex<double> x, const SensorInfo& sensor, uint8_t quantity);

// The six bands of the band RMS. Entry 5 names the band up to half the
// sampling rate; the band popup rewrites it each time it opens, and the text
// stays for the rest of the program run.
constexpr int BandCount = 6;
std::array<std::u16string, BandCount>& BandNames();
std::u16string HalfRateBandName(double fs);
// Bands 2 to 4 need fs above 1 kHz, band 5 above 10 kHz (menu items 2-5).
bool BandEnabled(int band, double fs);

// Bins summed: lo inclusive, hi exclusive.
struct TBinRange {
  int32_t Lo = 0;
  int32_t Hi = 0;
};
TBinRange BandBins(int band, int32_t cursorX, int32_t cursorY, const TBinScale& scale);

// sqrt(0.5 x sum of x_i² / powerGain) over the bins of the range except
// bin 0, with x_i the amplitude 2|X_i| x mvPerCount converted to the
// quantity at the bin's own frequency and powerGain the mean squared weight
// of the window the spectrum was computed with (a band's power is scaled by
// it), so a sine or noise reads the same RMS through every window. Bins at
// or beyond scale.Bins are never read: the transform did not write them, or
// wrote their mirror above half the sampling rate.
double BandRms(std::span<const std::complex<double>> spectrum, TBinRange bins, double mvPerCount,
               const TBinScale& scale, const SensorInfo& sensor, uint8_t quantity, double powerGain);
