#pragma once
// Tests of the FX2 transport and model against the simulated FX2 device in
// this process: the port gets the simulator's backend directly, and the
// tests reach the simulator's state under its lock.

#include "simfx2world.h"
#include "usbfx2.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class Fx2SimTest : public ::testing::Test {
protected:
  void SetUp() override;

  // A transport on the simulated devices, its device closed.
  std::unique_ptr<sartel::fx2::TUSBFX2> Transport(uint32_t timeOutMs = 2000);
  // Runs f on the simulator's state under its lock.
  void Sim(const std::function<void(sim::TSimFx2World&)>& f);
  void Unit(const std::function<void(sim::TSimFx2Unit&)>& f, int device = 0);
  void Fault(const std::string& transfer, sim::TFx2Fault kind, int skip = 0, int count = -1);
  // The log since the last call, and clears it.
  std::vector<std::string> TakeLog();
  // Only the entries of vendor requests and bulk transfers.
  std::vector<std::string> TakeDeviceLog();
};
