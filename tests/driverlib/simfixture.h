#pragma once
// A driver library session against the simulated D2XX library: a fresh
// simulated bus, a temporary folder holding Lib/Harvik.lib as the driver's
// path, a short transfer time-out, and the driver initialised.

#include "sartel.h"
#include "simcontrol.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class SartelSim : public ::testing::Test {
 protected:
  static constexpr std::uint32_t TimeoutMs = 300;

  void SetUp() override;
  void TearDown() override;

  void WriteImage(const std::vector<std::uint8_t>& image);
  // Lists, describes and opens the one device; true when no error is left.
  bool Open();
  // Open, _InitDevice and _ConfigDevice with the upload.
  bool OpenAndConfigure();
  // The driver's last error code, and its text.
  std::int32_t LastError(std::string* text = nullptr);
  static std::uint32_t Milliseconds(const std::function<void()>& action);

  TSimControl Sim;
  std::filesystem::path Folder;
  std::vector<std::uint8_t> Image;
};
