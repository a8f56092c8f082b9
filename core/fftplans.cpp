#include "fftplans.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Transforms kept at once: the spectrum thread alternates between the buffer
// length and the cursor window of the current run; a few more cover runs of
// other lengths without keeping the twiddles of every length ever seen.
constexpr size_t kKeptPlans = 8;

// An out-of-place transform of up to 2^16 values is measured: there the
// planner's estimate runs a good deal slower than the best plan, and
// measuring takes about a second at most. At the lengths above, measuring
// takes many seconds and gains little.
constexpr int32_t kLongestMeasured = 1 << 16;

// How often a thread waiting for the planner asks whether it was stopped.
constexpr auto kStopPoll = std::chrono::milliseconds(2);

bool IsMeasured(int32_t n, TFftPlacement placement) {
  return placement == TFftPlacement::OutOfPlace && n <= kLongestMeasured;
}

struct TPlanKey {
  int32_t N;
  TFftPlacement Placement;
  bool operator==(const TPlanKey&) const = default;
};

// The kept plans and the background planner. Lock order: PlannerLock before
// ListLock. A plan is never released while either is held by the releasing
// thread (its deleter may take PlannerLock), hence the locals declared
// before the locks below.
class TPlanStore {
 public:
  TPlanStore() = default;
  TPlanStore(const TPlanStore&) = delete;
  TPlanStore& operator=(const TPlanStore&) = delete;
  // At the program's end: waits for a measurement under way, drops the rest.
  ~TPlanStore();

  std::shared_ptr<const TRealFft> Get(TPlanKey key, const std::function<bool()>& stopped);
  void AwaitMeasured();
  void Forget();
  void SetHook(TPlanningHook hook);

 private:
  std::shared_ptr<const TRealFft> Kept(TPlanKey key);
  // Keeps `plan` first, in place of a kept one of its key; returns the plan
  // that left the list (to be released by the caller outside the locks).
  std::shared_ptr<const TRealFft> Keep(std::shared_ptr<const TRealFft> plan);
  std::shared_ptr<const TRealFft> Make(TPlanKey key, bool measured);
  void Release(const TRealFft* plan);
  void BuryReleased();
  void QueueMeasurement(TPlanKey key);
  void MeasureQueued();

  std::mutex PlannerLock;  // FFTW's planner, and the plans' deaths
  std::mutex ListLock;           // everything below
  std::condition_variable Changed;
  std::list<std::shared_ptr<const TRealFft>> Plans;  // most recently used first
  std::deque<TPlanKey> Queue;
  bool Measuring = false;
  bool Stopping = false;
  // Plans released while the planner was busy: destroyed by its next holder.
  std::vector<const TRealFft*> Released;
  TPlanningHook Hook;
  std::thread Planner;  // started at the first measurement
};

TPlanStore& Store() {
  static TPlanStore store;
  return store;
}

TPlanStore::~TPlanStore() {
  {
    std::lock_guard<std::mutex> list(ListLock);
    Stopping = true;
    Queue.clear();
  }
  Changed.notify_all();
  if (Planner.joinable()) Planner.join();
  std::list<std::shared_ptr<const TRealFft>> plans;
  {
    std::lock_guard<std::mutex> list(ListLock);
    plans.swap(Plans);
  }
  plans.clear();
  std::lock_guard<std::mutex> planner(PlannerLock);
  BuryReleased();
}

std::shared_ptr<const TRealFft> TPlanStore::Kept(TPlanKey key) {
  std::lock_guard<std::mutex> list(ListLock);
  const auto found = std::find_if(Plans.begin(), Plans.end(), [key](const auto& p) {
    return p->Length() == key.N && p->Placement() == key.Placement;
  });
  if (found == Plans.end()) return nullptr;
  Plans.splice(Plans.begin(), Plans, found);
  return Plans.front();
}

std::shared_ptr<const TRealFft> TPlanStore::Keep(std::shared_ptr<const TRealFft> plan) {
  std::lock_guard<std::mutex> list(ListLock);
  std::shared_ptr<const TRealFft> gone;
  const auto same = std::find_if(Plans.begin(), Plans.end(), [&plan](const auto& p) {
    return p->Length() == plan->Length() && p->Placement() == plan->Placement();
  });
  if (same != Plans.end()) {
    gone = std::move(*same);
    Plans.erase(same);
  }
  Plans.push_front(std::move(plan));
  if (Plans.size() > kKeptPlans) {
    gone = std::move(Plans.back());
    Plans.pop_back();
  }
  return gone;
}

// Waits for the planner while it measures, asking `stopped` meanwhile: a
// stop request ends the caller's computation within milliseconds.
std::shared_ptr<const TRealFft> TPlanStore::Get(TPlanKey key, const std::function<bool()>& stopped) {
  if (auto kept = Kept(key)) return kept;
  std::shared_ptr<const TRealFft> plan, gone;
  {
    std::unique_lock<std::mutex> planner(PlannerLock, std::defer_lock);
    if (!stopped) planner.lock();
    while (!planner.owns_lock() && !planner.try_lock()) {
      if (stopped()) return nullptr;
      std::this_thread::sleep_for(kStopPoll);
    }
    BuryReleased();
    plan = Kept(key);  // made by another thread while this one waited
    if (plan) return plan;
    plan = Make(key, false);
  }
  if (!plan) return nullptr;
  gone = Keep(plan);
  if (IsMeasured(key.N, key.Placement)) QueueMeasurement(key);
  return plan;
}

// Planned on scratch arrays of the same alignment as FftScratch gives: FFTW
// only runs a plan on arrays aligned as the ones it was made with. Called
// with the planner lock held.
std::shared_ptr<const TRealFft> TPlanStore::Make(TPlanKey key, bool measured) {
  TPlanningHook hook;
  {
    std::lock_guard<std::mutex> list(ListLock);
    hook = Hook;
  }
  if (hook) hook(key.N, key.Placement, measured);
  const bool inPlace = key.Placement == TFftPlacement::InPlace;
  double* in = fftw_alloc_real(RealFftWorkSize(key.N));
  double* out = inPlace ? in : fftw_alloc_real(RealFftWorkSize(key.N));
  fftw_plan plan = nullptr;
  if (in && out)
    plan = fftw_plan_dft_r2c_1d(key.N, in, reinterpret_cast<fftw_complex*>(out), measured ? FFTW_MEASURE : FFTW_ESTIMATE);
  if (!inPlace) fftw_free(out);
  fftw_free(in);
  if (!plan) return nullptr;
  return std::shared_ptr<const TRealFft>(new TRealFft(plan, key.N, key.Placement),
                                         [](const TRealFft* p) { Store().Release(p); });
}

// The plan dies under the planner lock, whichever thread drops it last; one
// dropped while the planner measures waits for the planner's next holder,
// so that dropping a plan never waits for a measurement.
void TPlanStore::Release(const TRealFft* plan) {
  std::unique_lock<std::mutex> planner(PlannerLock, std::try_to_lock);
  if (planner.owns_lock()) {
    delete plan;
    return;
  }
  std::lock_guard<std::mutex> list(ListLock);
  Released.push_back(plan);
}

// With the planner lock held.
void TPlanStore::BuryReleased() {
  std::vector<const TRealFft*> released;
  {
    std::lock_guard<std::mutex> list(ListLock);
    released.swap(Released);
  }
  for (const TRealFft* plan : released) delete plan;
}

void TPlanStore::QueueMeasurement(TPlanKey key) {
  {
    std::lock_guard<std::mutex> list(ListLock);
    if (Stopping || std::find(Queue.begin(), Queue.end(), key) != Queue.end()) return;
    Queue.push_back(key);
    if (!Planner.joinable()) Planner = std::thread([this] { MeasureQueued(); });
  }
  Changed.notify_all();
}

// The background planner: measures the queued lengths one by one. A plan of
// a length no longer kept when its measurement ends is dropped.
void TPlanStore::MeasureQueued() {
  for (;;) {
    TPlanKey key{};
    {
      std::unique_lock<std::mutex> list(ListLock);
      Changed.wait(list, [this] { return Stopping || !Queue.empty(); });
      if (Stopping) return;
      key = Queue.front();
      Queue.pop_front();
      Measuring = true;
    }
    std::shared_ptr<const TRealFft> measured, gone;
    {
      std::lock_guard<std::mutex> planner(PlannerLock);
      BuryReleased();
      measured = Make(key, true);
    }
    if (measured && Kept(key)) gone = Keep(measured);
    {
      std::lock_guard<std::mutex> list(ListLock);
      Measuring = false;
    }
    Changed.notify_all();
  }
}

void TPlanStore::AwaitMeasured() {
  std::unique_lock<std::mutex> list(ListLock);
  Changed.wait(list, [this] { return Queue.empty() && !Measuring; });
}

void TPlanStore::Forget() {
  std::list<std::shared_ptr<const TRealFft>> plans;
  {
    std::unique_lock<std::mutex> list(ListLock);
    Changed.wait(list, [this] { return Queue.empty() && !Measuring; });
    plans.swap(Plans);
  }
  plans.clear();
  std::lock_guard<std::mutex> planner(PlannerLock);
  BuryReleased();
  fftw_forget_wisdom();
}

void TPlanStore::SetHook(TPlanningHook hook) {
  std::lock_guard<std::mutex> list(ListLock);
  Hook = std::move(hook);
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

std::shared_ptr<const TRealFft> RealFft(int32_t n, TFftPlacement placement, const std::function<bool()>& stopped) {
  if (n < 1) return nullptr;
  return Store().Get({n, placement}, stopped);
}

void AwaitMeasuredPlans() { Store().AwaitMeasured(); }

void ForgetPlans() { Store().Forget(); }

void SetPlanningHook(TPlanningHook hook) { Store().SetHook(std::move(hook)); }

bool FftAligned(const double* data) { return fftw_alignment_of(const_cast<double*>(data)) == 0; }

size_t RealFftWorkSize(int32_t n) { return n < 1 ? 0 : 2 * (static_cast<size_t>(n) / 2 + 1); }

double* FftScratch(int slot, size_t count) {
  thread_local std::array<TScratch, 3> scratch;
  if (slot < 0 || slot >= static_cast<int>(scratch.size())) return nullptr;
  return scratch[static_cast<size_t>(slot)].Reserve(count);
}
