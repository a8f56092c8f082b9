#include "fftplans.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <list>
#include <mutex>

namespace {

// Lengths kept at once: the spectrum thread alternates between the buffer
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

// Planned on a scratch array of the same alignment as FftScratch gives: FFTW
// only runs a plan on arrays aligned as the ones it was made with. Called
// with the planner lock held.
std::shared_ptr<const TRealFft> MakePlan(int32_t n) {
  double* data = fftw_alloc_real(RealFftWorkSize(n));
  if (!data) return nullptr;
  fftw_plan plan = fftw_plan_dft_r2c_1d(n, data, reinterpret_cast<fftw_complex*>(data), FFTW_ESTIMATE);
  fftw_free(data);
  if (!plan) return nullptr;
  // The plan dies under the lock too, whichever thread drops it last.
  return std::shared_ptr<const TRealFft>(new TRealFft(plan, n), [](const TRealFft* p) {
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

std::shared_ptr<const TRealFft> RealFft(int32_t n) {
  if (n < 1) return nullptr;
  // Declared before the lock: a plan pushed out is destroyed after the lock
  // is released, by its deleter, which takes the lock itself.
  std::shared_ptr<const TRealFft> evicted;
  std::lock_guard<std::mutex> lock(PlannerLock());
  auto& plans = KeptPlans();
  const auto found = std::find_if(plans.begin(), plans.end(), [n](const auto& p) { return p->Length() == n; });
  if (found != plans.end()) {
    plans.splice(plans.begin(), plans, found);
    return plans.front();
  }
  std::shared_ptr<const TRealFft> plan = MakePlan(n);
  if (!plan) return nullptr;
  plans.push_front(plan);
  if (plans.size() > kKeptPlans) {
    evicted = std::move(plans.back());
    plans.pop_back();
  }
  return plan;
}

size_t RealFftWorkSize(int32_t n) { return n < 1 ? 0 : 2 * (static_cast<size_t>(n) / 2 + 1); }

double* FftScratch(int slot, size_t count) {
  thread_local std::array<TScratch, 2> scratch;
  if (slot < 0 || slot >= static_cast<int>(scratch.size())) return nullptr;
  return scratch[static_cast<size_t>(slot)].Reserve(count);
}
