#include "fftplans.h"

#include "fft.h"
#include "plainfft.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <list>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <vector>

namespace {

// Transforms kept at once: the spectrum thread alternates between the buffer
// length and the cursor window of the current run; a few more cover runs of
// other lengths without keeping the twiddles of every length ever seen.
constexpr size_t kKeptPlans = 8;

// An out-of-place transform of up to 2^16 values is measured: there the
// planner's estimate runs a good deal slower than the best plan, and
// measuring takes about a second. At the lengths above, measuring takes many
// seconds and gains little.
constexpr int32_t kLongestMeasured = 1 << 16;

// The most a measurement may take (FFTW's time limit); one that reaches it
// gives a plan no better than the estimate, which is then kept instead.
// While it lasts, the planner makes no estimate of another length: a
// spectrum of another length is computed by the stand-in meanwhile.
constexpr double kMeasureLimitSeconds = 3.0;

// How often a thread waiting for the planner asks whether it was stopped,
// and whether the estimate it waits behind has outrun the stand-in.
constexpr auto kStopPoll = std::chrono::milliseconds(2);

// The stand-in's time per m log2 m of its transform length m, for one
// spectrum of two channels: the chirp's preparation (its tables and one
// transform) and two transforms per channel, all of m values. Measured
// about 25 ns on a desktop machine at the run windows' lengths; the figure
// is on the high side of that, so a short estimate is rather waited for.
constexpr double kStandInNanosecondsPerStep = 30.0;

int64_t StandInTransformLength(int32_t n) {
  if (IsPowerOfTwo(n)) return n / 2;
  int64_t m = 1;
  while (m < 2 * static_cast<int64_t>(n) - 1) m *= 2;
  return m;
}

bool IsMeasured(int32_t n, TFftPlacement placement) {
  return placement == TFftPlacement::OutOfPlace && n <= kLongestMeasured;
}

struct TPlanKey {
  int32_t N;
  TFftPlacement Placement;
  bool operator==(const TPlanKey&) const = default;
};

// The kept plans and the planner thread. Lock order: PlannerLock before
// ListLock. A plan is never released while either is held by the releasing
// thread (its deleter may take PlannerLock), hence the locals declared
// before the locks below.
class TPlanStore {
 public:
  TPlanStore() = default;
  TPlanStore(const TPlanStore&) = delete;
  TPlanStore& operator=(const TPlanStore&) = delete;

  // At the program's end: nothing more is planned, and the planner thread,
  // idle or in a measurement, is let go to end with the process.
  void LetPlannerGo();

  std::shared_ptr<const TRealFft> Get(TPlanKey key, const std::function<bool()>& stopped);
  void AwaitIdle();
  void Forget();
  void SetHook(TPlanningHook hook);
  void SetClock(TPlannerClock clock);
  void WithPlannerLock(const std::function<void()>& calls);

 private:
  std::shared_ptr<const TRealFft> Kept(TPlanKey key);
  bool IsKept(TPlanKey key);
  std::list<std::shared_ptr<const TRealFft>>::iterator Find(TPlanKey key);
  // Keeps `plan` first, in place of a kept one of its key; returns the plan
  // that left the list (to be released by the caller outside the locks).
  std::shared_ptr<const TRealFft> Keep(std::shared_ptr<const TRealFft> plan);
  // The plan of `key` once the planner thread has made it; null when it
  // could not or the caller was stopped, and with `standIn` set when the
  // planner is busy with another length.
  std::shared_ptr<const TRealFft> AwaitPlan(TPlanKey key, const std::function<bool()>& stopped, bool& standIn);
  // With ListLock held: the planner makes another length's plan, and the
  // caller of `key` is better served by the stand-in.
  bool StandInSooner(TPlanKey key);
  std::chrono::steady_clock::time_point Now() const { return Clock ? Clock() : std::chrono::steady_clock::now(); }
  std::shared_ptr<const TRealFft> Make(TPlanKey key, bool measured);
  void Release(const TRealFft* plan);
  void BuryReleased();
  void PlanQueued();
  void Plan(TPlanKey key, bool measured);
  bool Idle() const { return Estimates.empty() && Measurements.empty() && !Busy; }

  std::mutex PlannerLock;  // FFTW's planner, and the plans' deaths
  std::mutex ListLock;     // everything below
  std::condition_variable Changed;
  std::list<std::shared_ptr<const TRealFft>> Plans;  // most recently used first
  std::deque<TPlanKey> Estimates;                    // asked for: made first
  std::deque<TPlanKey> Measurements;
  std::vector<TPlanKey> Refused;  // estimates FFTW could not make, until asked again
  std::optional<TPlanKey> Busy;   // what the planner thread plans now
  bool BusyMeasuring = false;     // and whether it measures it
  std::chrono::steady_clock::time_point BusySince;  // and since when
  bool Stopping = false;
  // Plans released while the planner was busy: destroyed by its next holder.
  std::vector<const TRealFft*> Released;
  TPlanningHook Hook;
  TPlannerClock Clock;
  std::thread Planner;  // started at the first plan asked for
};

// Lets the planner thread go when the program's statics end.
class TPlannerEnd {
 public:
  explicit TPlannerEnd(TPlanStore& store) : Store(store) {}
  TPlannerEnd(const TPlannerEnd&) = delete;
  TPlannerEnd& operator=(const TPlannerEnd&) = delete;
  ~TPlannerEnd() { Store.LetPlannerGo(); }

 private:
  TPlanStore& Store;
};

// Never destroyed: joining the planner thread at the program's end would
// hold the exit for a measurement under way, up to its time limit. The
// thread, let go, ends with the process; the store stays for it (and for
// plans released by statics that end later), and the system takes back the
// kept plans.
TPlanStore& Store() {
  static TPlanStore* const store = new TPlanStore;
  static const TPlannerEnd end(*store);
  return *store;
}

// Nothing queued is planned any more, and no caller waits for the planner;
// a thread that asks for a plan after this gets a kept one or none.
void TPlanStore::LetPlannerGo() {
  std::lock_guard<std::mutex> list(ListLock);
  Stopping = true;
  Estimates.clear();
  Measurements.clear();
  if (Planner.joinable()) Planner.detach();
  Changed.notify_all();
}

// With ListLock held.
std::list<std::shared_ptr<const TRealFft>>::iterator TPlanStore::Find(TPlanKey key) {
  return std::find_if(Plans.begin(), Plans.end(),
                      [key](const auto& p) { return p->Length() == key.N && p->Placement() == key.Placement; });
}

std::shared_ptr<const TRealFft> TPlanStore::Kept(TPlanKey key) {
  std::lock_guard<std::mutex> list(ListLock);
  const auto found = Find(key);
  if (found == Plans.end()) return nullptr;
  Plans.splice(Plans.begin(), Plans, found);
  return Plans.front();
}

std::shared_ptr<const TRealFft> TPlanStore::Keep(std::shared_ptr<const TRealFft> plan) {
  std::lock_guard<std::mutex> list(ListLock);
  std::shared_ptr<const TRealFft> gone;
  const auto same = Find({plan->Length(), plan->Placement()});
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

// A length not kept is queued for the planner thread and awaited; the
// stand-in is made here, outside the locks, when the planner is busy with
// another length.
std::shared_ptr<const TRealFft> TPlanStore::Get(TPlanKey key, const std::function<bool()>& stopped) {
  if (auto kept = Kept(key)) return kept;
  bool standIn = false;
  auto plan = AwaitPlan(key, stopped, standIn);
  if (!standIn || (stopped && stopped())) return plan;
  try {
    // A stop may be over by the time it is asked again: a preparation it
    // cut short gives no transform all the same.
    auto plain = std::make_unique<const TPlainFft>(key.N, stopped);
    if (!plain->Prepared() || (stopped && stopped())) return nullptr;
    return std::make_shared<const TRealFft>(std::move(plain), key.Placement);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// Asks `stopped` every few milliseconds while it waits. A plan made for the
// caller but dropped before it looked (evicted, forgotten) is asked for again.
std::shared_ptr<const TRealFft> TPlanStore::AwaitPlan(TPlanKey key, const std::function<bool()>& stopped,
                                                      bool& standIn) {
  std::unique_lock<std::mutex> list(ListLock);
  std::erase(Refused, key);
  if (!Planner.joinable() && !Stopping) Planner = std::thread([this] { PlanQueued(); });
  for (;;) {
    if (const auto found = Find(key); found != Plans.end()) {
      Plans.splice(Plans.begin(), Plans, found);
      return Plans.front();
    }
    if (Stopping || std::find(Refused.begin(), Refused.end(), key) != Refused.end()) return nullptr;
    const bool planning = Busy && *Busy == key;
    if (!planning && std::find(Estimates.begin(), Estimates.end(), key) == Estimates.end()) {
      Estimates.push_back(key);
      Changed.notify_all();
    }
    if (StandInSooner(key)) {
      standIn = true;
      return nullptr;
    }
    if (stopped && stopped()) return nullptr;
    // Behind another length's estimate the stand-in may become the sooner
    // way while nothing else changes.
    if (stopped || Busy) {
      Changed.wait_for(list, kStopPoll);
    } else {
      Changed.wait(list);
    }
  }
}

// The stand-in is taken only where it saves a long wait or costs little: a
// measurement of another length may take seconds, and a power of two goes
// through one half-length transform. Any other length goes through the
// chirp, three transforms of at least twice its length with tables made
// anew for each spectrum, several times slower than an estimate of a few
// milliseconds; but an estimate of a long prime length takes hundreds. So
// the caller waits for the estimate under way only as long as the stand-in
// would take: an estimate that has run longer than that is likely to run
// on, and the spectrum is then at most twice as late as the sooner way.
bool TPlanStore::StandInSooner(TPlanKey key) {
  if (!Busy || *Busy == key) return false;
  if (BusyMeasuring || IsPowerOfTwo(key.N)) return true;
  return Now() - BusySince >= StandInCost(key.N);
}

// Planned on scratch arrays of the same alignment as FftScratch gives: FFTW
// only runs a plan on arrays aligned as the ones it was made with. Called
// with the planner lock held. A measurement runs under FFTW's time limit;
// one that reaches it gives no plan (the estimate stays).
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
  const auto start = std::chrono::steady_clock::now();
  fftw_set_timelimit(measured ? kMeasureLimitSeconds : FFTW_NO_TIMELIMIT);
  if (in && out)
    plan = fftw_plan_dft_r2c_1d(key.N, in, reinterpret_cast<fftw_complex*>(out), measured ? FFTW_MEASURE : FFTW_ESTIMATE);
  fftw_set_timelimit(FFTW_NO_TIMELIMIT);
  if (!inPlace) fftw_free(out);
  fftw_free(in);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (plan && measured && took.count() >= kMeasureLimitSeconds) {
    fftw_destroy_plan(plan);
    plan = nullptr;
  }
  if (!plan) return nullptr;
  return std::shared_ptr<const TRealFft>(new TRealFft(plan, key.N, key.Placement),
                                         [](const TRealFft* p) { Store().Release(p); });
}

// The plan dies under the planner lock, whichever thread drops it last; one
// dropped while the planner plans waits for the planner's next holder, so
// that dropping a plan never waits for the planner.
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

// The planner thread: the estimates asked for first, then the measurements,
// one by one.
void TPlanStore::PlanQueued() {
  for (;;) {
    TPlanKey key{};
    bool measured = false;
    {
      std::unique_lock<std::mutex> list(ListLock);
      Changed.wait(list, [this] { return Stopping || !Estimates.empty() || !Measurements.empty(); });
      if (Stopping) return;
      measured = Estimates.empty();
      std::deque<TPlanKey>& queue = measured ? Measurements : Estimates;
      key = queue.front();
      queue.pop_front();
      Busy = key;
      BusyMeasuring = measured;
      BusySince = Now();
    }
    Plan(key, measured);
    {
      std::lock_guard<std::mutex> list(ListLock);
      Busy.reset();
    }
    Changed.notify_all();
  }
}

// The plans this makes or replaces are released before it returns, so the
// planner is done with FFTW when it says it is idle. A measured plan of a
// length no longer kept is dropped; an estimate to be measured queues its
// measurement.
void TPlanStore::Plan(TPlanKey key, bool measured) {
  std::shared_ptr<const TRealFft> plan, gone;
  {
    std::lock_guard<std::mutex> planner(PlannerLock);
    BuryReleased();
    if (!measured && IsKept(key)) return;
    plan = Make(key, measured);
  }
  if (!plan) {
    std::lock_guard<std::mutex> list(ListLock);
    if (!measured) Refused.push_back(key);
    return;
  }
  if (measured && !IsKept(key)) return;
  gone = Keep(plan);
  if (measured || !IsMeasured(key.N, key.Placement)) return;
  std::lock_guard<std::mutex> list(ListLock);
  if (std::find(Measurements.begin(), Measurements.end(), key) == Measurements.end()) Measurements.push_back(key);
}

bool TPlanStore::IsKept(TPlanKey key) {
  std::lock_guard<std::mutex> list(ListLock);
  return Find(key) != Plans.end();
}

void TPlanStore::AwaitIdle() {
  std::unique_lock<std::mutex> list(ListLock);
  Changed.wait(list, [this] { return Idle(); });
}

void TPlanStore::Forget() {
  std::list<std::shared_ptr<const TRealFft>> plans;
  {
    std::unique_lock<std::mutex> list(ListLock);
    Changed.wait(list, [this] { return Idle(); });
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

void TPlanStore::SetClock(TPlannerClock clock) {
  std::lock_guard<std::mutex> list(ListLock);
  Clock = std::move(clock);
}

void TPlanStore::WithPlannerLock(const std::function<void()>& calls) {
  std::lock_guard<std::mutex> planner(PlannerLock);
  BuryReleased();
  calls();
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

TRealFft::TRealFft(fftw_plan_s* plan, int32_t n, TFftPlacement placement) : Plan(plan), N(n), Where(placement) {}

TRealFft::TRealFft(std::unique_ptr<const TPlainFft> plain, TFftPlacement placement)
    : Plain(std::move(plain)), N(Plain->Length()), Where(placement) {}

TRealFft::~TRealFft() {
  if (Plan) fftw_destroy_plan(Plan);
}

bool TRealFft::Transform(double* data) const {
  if (Plain) return Plain->Transform(data, data);
  fftw_execute_dft_r2c(Plan, data, reinterpret_cast<fftw_complex*>(data));
  return true;
}

// FFTW's out-of-place real-input plans leave their input as it was; the
// interface merely lacks the const.
bool TRealFft::Transform(const double* in, double* out) const {
  if (Plain) return Plain->Transform(in, out);
  fftw_execute_dft_r2c(Plan, const_cast<double*>(in), reinterpret_cast<fftw_complex*>(out));
  return true;
}

std::shared_ptr<const TRealFft> RealFft(int32_t n, TFftPlacement placement, const std::function<bool()>& stopped) {
  if (n < 1) return nullptr;
  return Store().Get({n, placement}, stopped);
}

void AwaitMeasuredPlans() { Store().AwaitIdle(); }

void ForgetPlans() { Store().Forget(); }

void SetPlanningHook(TPlanningHook hook) { Store().SetHook(std::move(hook)); }

void SetPlannerClock(TPlannerClock clock) { Store().SetClock(std::move(clock)); }

std::chrono::nanoseconds StandInCost(int32_t n) {
  const double m = static_cast<double>(StandInTransformLength(std::max(n, 2)));
  return std::chrono::nanoseconds(static_cast<int64_t>(kStandInNanosecondsPerStep * m * std::log2(m)));
}

void WithPlannerLock(const std::function<void()>& calls) { Store().WithPlannerLock(calls); }

bool FftAligned(const double* data) { return fftw_alignment_of(const_cast<double*>(data)) == 0; }

size_t RealFftWorkSize(int32_t n) { return n < 1 ? 0 : 2 * (static_cast<size_t>(n) / 2 + 1); }

double* FftScratch(int slot, size_t count) {
  thread_local std::array<TScratch, 3> scratch;
  if (slot < 0 || slot >= static_cast<int>(scratch.size())) return nullptr;
  return scratch[static_cast<size_t>(slot)].Reserve(count);
}
