#include "fx2simfixture.h"

#include <algorithm>
#include <mutex>

void Fx2SimTest::SetUp() {
  Sim([](sim::TSimFx2World& w) { w.Reset(); });
}

std::unique_ptr<sartel::fx2::TUSBFX2> Fx2SimTest::Transport(uint32_t timeOutMs) {
  return std::make_unique<sartel::fx2::TUSBFX2>(std::make_unique<fx2port::TFx2Port>(sim::CreateSimFx2Backend()),
                                                timeOutMs);
}

void Fx2SimTest::Sim(const std::function<void(sim::TSimFx2World&)>& f) {
  std::lock_guard lock(sim::World().Mutex);
  f(sim::World());
}

void Fx2SimTest::Unit(const std::function<void(sim::TSimFx2Unit&)>& f, int device) {
  Sim([&](sim::TSimFx2World& w) { f(*w.Unit(device)); });
}

void Fx2SimTest::Fault(const std::string& transfer, sim::TFx2Fault kind, int skip, int count) {
  Sim([&](sim::TSimFx2World& w) { w.Faults.Inject(transfer, kind, skip, count); });
}

std::vector<std::string> Fx2SimTest::TakeLog() {
  std::vector<std::string> log;
  Sim([&](sim::TSimFx2World& w) { log.swap(w.Log); });
  return log;
}

std::vector<std::string> Fx2SimTest::TakeDeviceLog() {
  std::vector<std::string> log = TakeLog();
  log.erase(std::remove_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("ctl 06 ", 0) == 0; }),
            log.end());
  return log;
}
