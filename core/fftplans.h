#pragma once
// Forward real-input FFTs of any length through FFTW, planned once per length
// and kept. FFTW's planner is not thread-safe, so every planner call of the
// program (making, destroying, forgetting plans) is made under one lock;
// running a kept plan on other arrays is safe from any number of threads at
// once.
//
// One planner thread makes every plan. A length asked for the first time is
// estimated (FFTW_ESTIMATE: a few milliseconds as a rule, some lengths a few
// hundred) ahead of any measurement; the caller waits for it while asking
// whether it was stopped, so a stop never waits for the planner. A caller
// whose length would wait behind the planner's measurement of another
// length gets a stand-in transform that needs no planner (plainfft.h)
// instead, and so does a power of two behind an estimate (its stand-in is
// cheap); any other length waits for another length's estimate under way
// only until that has run as long as its stand-in would take. An
// out-of-place transform of up to 2^16 values, where the estimate runs a good
// deal slower than the best plan, is then measured (FFTW_MEASURE, bounded by
// a time limit of FFTW's) and replaces the estimated one for the next
// transform. So no transform waits for a plan of another length, and no
// thread that holds a lock others wait for waits for the planner. Nor does
// the program's end: the planner thread is let go with a measurement under
// way, and ends with the process.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

struct fftw_plan_s;
class TPlainFft;

// Where a transform leaves its bins: over its input, or in a separate array
// (the input is then left as it was).
enum class TFftPlacement { InPlace, OutOfPlace };

// A transform of one length n >= 1.
class TRealFft {
 public:
  TRealFft(fftw_plan_s* plan, int32_t n, TFftPlacement placement);
  // The stand-in of length plain->Length(): no plan, any alignment, for the
  // one caller it was made for.
  TRealFft(std::unique_ptr<const TPlainFft> plain, TFftPlacement placement);
  ~TRealFft();
  TRealFft(const TRealFft&) = delete;
  TRealFft& operator=(const TRealFft&) = delete;

  int32_t Length() const { return N; }
  TFftPlacement Placement() const { return Where; }
  // False for the stand-in, which is never kept.
  bool Planned() const { return Plan != nullptr; }
  // The n real values data[0 .. n - 1] become the unscaled bins
  // X_k = sum x_m e^(-j 2 pi k m / n), k = 0 ... n / 2, real and imaginary
  // part interleaved in data[0 .. 2 (n / 2) + 1]. An in-place transform only.
  // `data` must be aligned as FftScratch gives (FftAligned). False only for
  // a stand-in whose caller was stopped during it: data then holds no
  // transform.
  bool Transform(double* data) const;
  // The same bins of in[0 .. n - 1] into out[0 .. 2 (n / 2) + 1], in left
  // as it was. An out-of-place transform only; both arrays FftAligned.
  // False as above.
  bool Transform(const double* in, double* out) const;

 private:
  fftw_plan_s* Plan = nullptr;
  std::unique_ptr<const TPlainFft> Plain;
  int32_t N;
  TFftPlacement Where;
};

// The kept transform of length n and that placement, planned now when none
// is kept; the stand-in (Planned() false) when the planner measures another
// length, or estimates another and n is a power of two or the estimate has
// run for StandInCost(n); null for n < 1, when planning failed, or when `stopped`
// turns true while the caller waits for the planner (it is asked every few
// milliseconds) or while the stand-in is made. The stand-in asks `stopped`
// between the steps of its transforms too, so it must not outlive what
// `stopped` refers to. The most recently used transforms are kept; one
// still held by a caller outlives its eviction.
std::shared_ptr<const TRealFft> RealFft(int32_t n, TFftPlacement placement = TFftPlacement::InPlace,
                                        const std::function<bool()>& stopped = {});

// Blocks until the planner thread has made and measured every plan asked
// for so far (benchmarks and tests; never on the window's thread).
void AwaitMeasuredPlans();

// Drops the kept transforms and what FFTW's planner has learnt, once the
// planner thread is idle: the next transform of any length is planned
// anew, as at the program's start (benchmarks of a first spectrum).
void ForgetPlans();

// Called by the planner thread just before FFTW plans, with the length, the
// placement and whether the plan is measured; with the planner lock held.
// Empty: nothing is called. For tests that look at what else may happen
// while a plan is made.
using TPlanningHook = std::function<void(int32_t n, TFftPlacement placement, bool measured)>;
void SetPlanningHook(TPlanningHook hook);

// How long the stand-in of length n is expected to take for a spectrum of
// two channels, preparation included: a model in n log n, not a timing.
std::chrono::nanoseconds StandInCost(int32_t n);

// The clock the planner times its estimates with. Empty: the steady clock.
// For tests that hold an estimate and move its age on without waiting.
using TPlannerClock = std::function<std::chrono::steady_clock::time_point()>;
void SetPlannerClock(TPlannerClock clock);

// Runs `calls` with the planner lock held: FFTW planner calls made outside
// this unit (benchmarks' reference plans, their destruction) go through it,
// so that no two planner calls of the program ever overlap.
void WithPlannerLock(const std::function<void()>& calls);

// True when `data` has the alignment the plans were made for, that of
// FftScratch: a kept plan runs only on arrays aligned like those.
bool FftAligned(const double* data);

// Doubles a real transform of length n works on in place: n + 2 for even n,
// n + 1 for odd n.
size_t RealFftWorkSize(int32_t n);

// Working array `slot` (0, 1 or 2) of the calling thread with room for `count`
// doubles, aligned as FFTW's vector code needs it. Kept for the thread's
// next transform, so a spectrum of the same length again allocates nothing.
// Null when the memory cannot be had.
double* FftScratch(int slot, size_t count);
