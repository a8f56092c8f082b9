#pragma once
// Fixture of the session and asynchronous-data file suites: a core with its
// own data folder, and helpers to write documents by hand and to look into
// the files the core wrote.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

#include "scratchfolder.h"
#include "xmlinifile.h"
#include "zelto.h"

class DataFileTest : public ::testing::Test {
 protected:
  DataFileTest() {
    ::setenv("XDG_DATA_HOME", Dir.Path.c_str(), 1);
    Core = std::make_unique<TZelto>();
  }

  // A second core over the same data folder, as after a restart.
  std::unique_ptr<TZelto> Restarted() const { return std::make_unique<TZelto>(); }

  std::filesystem::path AppData() const { return Dir.Path / "Orvanteq" / "Kalvenor"; }

  // A document written with the store itself, as any earlier version of
  // the program would have written it.
  static void WriteDocument(const std::u16string& path, std::u16string_view root,
                            const std::function<void(XmlIniFile&)>& fill) {
    XmlIniFile d;
    d.Open(path, root, false);
    fill(d);
    ASSERT_TRUE(d.Save());
  }
  static std::unique_ptr<XmlIniFile> ReadDocument(const std::u16string& path, std::u16string_view root) {
    auto d = std::make_unique<XmlIniFile>();
    EXPECT_TRUE(d->Open(path, root, true));
    return d;
  }

  static std::vector<int32_t> Ramp(size_t n, int32_t first) {
    std::vector<int32_t> v(n);
    std::iota(v.begin(), v.end(), first);
    return v;
  }
  static std::string SampleBytes(const std::vector<int32_t>& samples) {
    std::string bytes(samples.size() * 4, '\0');
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
  }
  static std::vector<int32_t> SamplesOf(std::string_view bytes) {
    std::vector<int32_t> samples(bytes.size() / 4);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 4);
    return samples;
  }

  TScratchFolder Dir;
  std::unique_ptr<TZelto> Core;
};
