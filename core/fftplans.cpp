#include "fftplans.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <list>
#include <mutex>

namespace {

// Transforms kept at once: the spectrum thread alternates between the buffer
// length and the cursor window of the current run; a few more cover runs of
// other lengths without keeping the twiddles of every length ever seen.
constexpr size_t kKeptPlans = 8;

std::mutex& PlannerLock() {
  static std::mutex lock;
  return lock;
}

// Most recently used first.
std::list<std::shared_ptr<const TRealFft>>& KeptPlans() {
  PlannerLock();  // constructed first, so it outlives the plans at exit
  static std::list<std::shared_ptr<const TRealFft>> plans;
  return plans;
}

// Flags of the plan for n: estimated, except that an out-of-place transform
// of a short length is measured. There the planner's guess runs a good deal
// slower than the best plan, and measuring takes a fraction of a second;
// at the lengths above, measuring takes seconds and gains little.
constexpr int32_t kLongestMeasured = 1 << 14;

unsigned PlannerFlags(int32_t n, TFftPlacement placement) {
  return placement == TFftPlacement::OutOfPlace && n <= kLongestMeasured ? FFTW_MEASURE : FFTW_ESTIMATE;
}

// Planned on scratch arrays of the same alignment as FftScratch gives: FFTW
// only runs a plan on arrays aligned as the ones it was made with. Called
// with the planner lock held.
std::shared_ptr<const TRealFft> MakePlan(int32_t n, TFftPlacement placement) {
  const bool inPlace = placement == TFftPlacement::InPlace;
  double* in = fftw_alloc_real(RealFftWorkSize(n));
  double* out = inPlace ? in : fftw_alloc_real(RealFftWorkSize(n));
  fftw_plan plan = nullptr;
  if (in && out) plan = fftw_plan_dft_r2c_1d(n, in, reinterpret_cast<fftw_complex*>(out), PlannerFlags(n, placement));
  if (!inPlace) fftw_free(out);
  fftw_free(in);
  if (!plan) return nullptr;
  // The plan dies under the lock too, whichever thread drops it last.
  return std::shared_ptr<const TRealFft>(new TRealFft(plan, n, placement), [](const TRealFft* p) {
    std::lock_guard<std::mutex> lock(PlannerLock());
    delete p;
  });
}

class TScratch {
 public:
  TScratch() = default;
  TScratch(const TScratch&) = delete;
  TScratch& operator=(const TScratch&) = delete;
  ~TScratch() { fftw_free(Data); }

  double* Reserve(size_t count) {
    if (count <= Size) return Data;
    fftw_free(Data);
    Data = fftw_alloc_real(count);
    Size = Data ? count : 0;
    return Data;
  }

 private:
  double* Data = nullptr;
  size_t Size = 0;
};

}  // namespace

TRealFft::~TRealFft() { fftw_destroy_plan(Plan); }

void TRealFft::Transform(double* data) const {
  fftw_execute_dft_r2c(Plan, data, reinterpret_cast<fftw_complex*>(data));
}

// FFTW's out-of-place real-input plans leave their input as it was; the
// interface merely lacks the const.
void TRealFft::Transform(const double* in, double* out) const {
  fftw_execute_dft_r2c(Plan, const_cast<double*>(in), reinterpret_cast<fftw_complex*>(out));
}

std::shared_ptr<const TRealFft> RealFft(int32_t n, TFftPlacement placement) {
  if (n < 1) return nullptr;
  // Declared before the lock: a plan pushed out is destroyed after the lock
  // is released, by its deleter, which takes the lock itself.
  std::shared_ptr<const TRealFft> evicted;
  std::lock_guard<std::mutex> lock(PlannerLock());
  auto& plans = KeptPlans();
  const auto found = std::find_if(plans.begin(), plans.end(), [n, placement](const auto& p) {
    return p->Length() == n && p->Placement() == placement;
  });
  if (found != plans.end()) {
    plans.splice(plans.begin(), plans, found);
    return plans.front();
  }
  std::shared_ptr<const TRealFft> plan = MakePlan(n, placement);
  if (!plan) return nullptr;
  plans.push_front(plan);
  if (plans.size() > kKeptPlans) {
    evicted = std::move(plans.back());
    plans.pop_back();
  }
  return plan;
}

bool FftAligned(const double* data) { return fftw_alignment_of(const_cast<double*>(data)) == 0; }

size_t RealFftWorkSize(int32_t n) { return n < 1 ? 0 : 2 * (static_cast<size_t>(n) / 2 + 1); }

double* FftScratch(int slot, size_t count) {
  thread_local std::array<TScratch, 3> scratch;
  if (slot < 0 || slot >= static_cast<int>(scratch.size())) return nullptr;
  return scratch[static_cast<size_t>(slot)].Reserve(count);
}
