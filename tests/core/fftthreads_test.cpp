#include "fft.h"
#include "fftplans.h"
#include "fftreference.h"
#include "planninggate.h"
#include "serveuntil.h"

#include <fftw3.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// FFTW calls these around every planner call (making and destroying a
// plan); exported by the library, not declared in its header.
extern "C" void fftw_set_planner_hooks(void (*before)(), void (*after)());

// Several threads at once, over more lengths than are kept: plans are made,
// shared and dropped under other threads' transforms.
TEST(Fft, ThreadsTransformingManyLengthsAtOnceGetTheSameBins) {
  std::vector<std::pair<TSignal, TSignal>> cases;  // input, expected
  for (int32_t n = 2; n <= 1 << 13; n *= 2) {
    TSignal in = Signal(n, n % 8 == 0, 9), expected = in;
    Radix2(expected.Re, expected.Im);
    cases.emplace_back(std::move(in), std::move(expected));
  }
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 20; ++round)
        for (size_t c = 0; c < cases.size(); ++c) {
          const auto& [in, expected] = cases[(c + static_cast<size_t>(t) * 3) % cases.size()];
          TSignal s = in;
          const int32_t n = static_cast<int32_t>(s.Re.size());
          if (!CalcFFT(n, s.Re.data(), s.Im.data()) || RelativeDistance(s, expected) > 1e-12) ++wrong;
        }
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(wrong, 0);
}

namespace {

// Threads inside the planner at once, and the most seen. FFTW nests the
// calls of one thread (a plan made of plans).
std::atomic<int> PlannerCalls{0}, MostPlannerCalls{0};
thread_local int Depth = 0;

void EnterPlanner() {
  if (Depth++ > 0) return;
  const int now = ++PlannerCalls;
  int most = MostPlannerCalls;
  while (now > most && !MostPlannerCalls.compare_exchange_weak(most, now)) {
  }
}

void LeavePlanner() {
  if (--Depth == 0) --PlannerCalls;
}

}  // namespace

// A benchmark's pattern: its own FFTW plans made and destroyed through the
// planner lock, first spectra after ForgetPlans, warm ones after
// AwaitMeasuredPlans, while other threads' transforms keep the planner
// thread estimating, measuring and replacing plans: no two planner calls
// ever overlap.
TEST(Fft, NoTwoPlannerCallsOverlapBesideABenchmarksOwnPlans) {
  AwaitMeasuredPlans();  // every planner call is then seen from its start
  fftw_set_planner_hooks(EnterPlanner, LeavePlanner);
  std::atomic<bool> done{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> spectra;
  for (int t = 0; t < 2; ++t)
    spectra.emplace_back([&, t] {
      for (int32_t n = 2 << t; !done; n = n >= 1 << 10 ? 2 << t : n * 2) {
        TSignal s = Signal(n, false, 5);
        if (!CalcFFT(n, s.Re.data(), s.Im.data())) ++wrong;
      }
    });
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  for (int round = 0; std::chrono::steady_clock::now() < end; ++round) {
    const int32_t n = 64 << (round % 6);
    double* in = fftw_alloc_real(static_cast<size_t>(n));
    fftw_complex* out = fftw_alloc_complex(static_cast<size_t>(n) / 2 + 1);
    fftw_plan reference = nullptr;
    WithPlannerLock([&] { reference = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE); });
    TSignal s = Signal(n, false, 6);
    if (!CalcFFT(n, s.Re.data(), s.Im.data())) ++wrong;
    if (round % 3 == 0) AwaitMeasuredPlans();
    if (round % 7 == 0) ForgetPlans();
    WithPlannerLock([&] { fftw_destroy_plan(reference); });
    fftw_free(out);
    fftw_free(in);
  }
  done = true;
  for (std::thread& t : spectra) t.join();
  AwaitMeasuredPlans();
  fftw_set_planner_hooks(nullptr, nullptr);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(MostPlannerCalls, 1);
}

// The program ends while the planner measures a transform (held in the
// planner for the gate's ten seconds, well past the measurement's time
// limit): the end does not wait for it. The child process exits cleanly,
// under the sanitizers too, before the gate would have let the measurement
// go on.
TEST(FftDeathTest, TheProgramsEndDoesNotWaitForAMeasurementUnderWay) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EXIT(
      {
        testsupport::TPlanningGate gate(1 << 12, TFftPlacement::OutOfPlace, true);
        if (!RealFft(1 << 12, TFftPlacement::OutOfPlace)) std::exit(1);
        while (!gate.Entered) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(9) * testsupport::kSanitizerSlowdown);
}

namespace {

// The planner's clock, moved on only by the test: an estimate held on the
// gate is as old as the test says, however slow the machine is.
class TTestPlannerClock {
 public:
  TTestPlannerClock() {
    SetPlannerClock([this] { return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(Ns.load())); });
  }
  ~TTestPlannerClock() { SetPlannerClock({}); }
  TTestPlannerClock(const TTestPlannerClock&) = delete;
  TTestPlannerClock& operator=(const TTestPlannerClock&) = delete;

  void Advance(std::chrono::nanoseconds by) { Ns += by.count(); }

 private:
  std::atomic<int64_t> Ns{0};
};

}  // namespace

// What a first transform gets while the planner works on another length:
// behind a measurement (up to seconds) the stand-in at once; behind an
// estimate (a few milliseconds as a rule) the stand-in at once only at a
// power of two, where it is cheap. Any other length goes through the chirp,
// several times slower than a short estimate it would save: behind an
// estimate younger than the stand-in's cost it waits, asking its stop, and
// gets a plan of its own.
TEST(Fft, BehindAnotherLengthOnlyAMeasurementOrAPowerOfTwoTakesTheStandIn) {
  const TTestPlannerClock clock;
  struct TCase {
    int32_t Held;
    TFftPlacement HeldWhere;
    bool Measured;
    int32_t Asked;
    bool StandIn;
  };
  for (const TCase c : {TCase{3003, TFftPlacement::InPlace, false, 65537, false},
                        TCase{3003, TFftPlacement::InPlace, false, 1 << 16, true},
                        TCase{1 << 12, TFftPlacement::OutOfPlace, true, 131073, true}}) {
    const std::string what = std::to_string(c.Asked) + (c.Measured ? " behind a measurement" : " behind an estimate");
    ForgetPlans();
    testsupport::TPlanningGate gate(c.Held, c.HeldWhere, c.Measured);
    std::thread holder([&c] { RealFft(c.Held, c.HeldWhere); });
    ASSERT_TRUE(testsupport::ServeUntil([&gate] { return gate.Entered.load(); })) << what;
    std::atomic<int> asked{0};
    std::atomic<bool> done{false};
    std::shared_ptr<const TRealFft> got;
    std::thread caller([&] {
      got = RealFft(c.Asked, TFftPlacement::InPlace, [&asked] { return ++asked < 0; });
      done = true;
    });
    if (c.StandIn) {
      EXPECT_TRUE(testsupport::ServeUntil([&done] { return done.load(); })) << what;
      EXPECT_FALSE(gate.Left) << what;
    } else {
      EXPECT_TRUE(testsupport::ServeUntil([&asked] { return asked > 2; })) << what;
      EXPECT_FALSE(done) << what;
    }
    gate.Open();
    caller.join();
    holder.join();
    ASSERT_NE(got, nullptr) << what;
    EXPECT_EQ(got->Planned(), !c.StandIn) << what;
    AwaitMeasuredPlans();
  }
}

// Behind an estimate of another length that has run as long as the stand-in
// would take, the chirp's stand-in is taken: an estimate that long is likely
// to run on (a long prime length's takes hundreds of milliseconds), and the
// first spectrum is then at most the stand-in's time late. The estimate is
// held on the gate throughout; its age is the test's clock.
TEST(Fft, BehindAnEstimateOlderThanTheStandInTheStandInIsTaken) {
  constexpr int32_t Held = 3003, Asked = 65537;
  TTestPlannerClock clock;
  ForgetPlans();
  testsupport::TPlanningGate gate(Held, TFftPlacement::InPlace);
  std::thread holder([] { RealFft(Held); });
  ASSERT_TRUE(testsupport::ServeUntil([&gate] { return gate.Entered.load(); }));
  clock.Advance(StandInCost(Asked) - std::chrono::nanoseconds(1));
  std::atomic<int> asked{0};
  std::atomic<bool> done{false};
  std::shared_ptr<const TRealFft> got;
  std::thread caller([&] {
    got = RealFft(Asked, TFftPlacement::InPlace, [&asked] { return ++asked < 0; });
    done = true;
  });
  EXPECT_TRUE(testsupport::ServeUntil([&asked] { return asked > 2; }));
  EXPECT_FALSE(done) << "the estimate is younger than the stand-in's cost";
  clock.Advance(std::chrono::nanoseconds(1));
  EXPECT_TRUE(testsupport::ServeUntil([&done] { return done.load(); }));
  EXPECT_FALSE(gate.Left);
  gate.Open();
  caller.join();
  holder.join();
  ASSERT_NE(got, nullptr);
  EXPECT_FALSE(got->Planned());
  AwaitMeasuredPlans();
}
