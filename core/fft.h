#pragma once
// Forward FFT of the whole-buffer spectrum.

#include <cstdint>
#include <functional>
#include <memory>

class TRealFft;

// True for 1, 2, 4, 8 ...; false for 0, negative numbers and everything else.
bool IsPowerOfTwo(int64_t n);

// In-place forward transform X_k = (1/n) sum x_m e^(-j 2 pi k m / n) on
// separate real and imaginary arrays of n values, computed through the kept
// real-input transforms of fftplans.h (a real signal, im all zero, takes one,
// a complex one two). Refuses (returns false and leaves the arrays untouched)
// when n is not a power of two, a length the capture settings offer, or the
// memory for the transform cannot be had.
bool CalcFFT(int32_t n, double* re, double* im);

// The kept transform of length n >= 1, planned now when none is kept, or
// the stand-in while the planner is busy with another length (RealFft,
// fftplans.h); null for n < 1 or when `stopped` turns true while it waits
// for the planner or the stand-in is made. Any length: a record keeps its
// own, and a device that captures its whole memory gives lengths that are
// no power of two.
std::shared_ptr<const TRealFft> FftPlanFor(int32_t n, const std::function<bool()>& stopped = {});

// The transform of CalcFFT above, of fft.Length() values (any length)
// through a transform from FftPlanFor: it plans nothing, so it may run
// where no plan may be made (under SignalLock).
// False, too, when `fft` is a stand-in whose caller was stopped during it:
// re is then left as it was for a real signal (im all zero), and neither
// array holds the transform of a complex one.
bool CalcFFT(const TRealFft& fft, double* re, double* im);
