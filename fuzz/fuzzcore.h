#pragma once
// What the fuzz targets of the core's file readers share: one core object
// per process over a data folder of its own (under $TMPDIR, removed at exit),
// a way to split one input into a document and a raw file, and a check that
// stops the run where an expectation fails.

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "conditionlimits.h"
#include "zelto.h"

namespace fuzz {

inline void Require(bool condition) {
  if (!condition) std::abort();
}

// A sensor record as a reader may hand it on: a known type and gain, and a
// plausible sensitivity or none (0, a sensor only named).
inline bool PossibleSensor(const SensorInfo& s) {
  return conditionlimits::PossibleSensorOrNone(s.Type, s.Sensitivity, s.InputGain);
}

// A record's conditions are ones a device and a sensor can have; without a
// driver (as in the targets) a file's record may hold no scale at all.
inline void RequirePossibleConditions(const TRecordConditions& c) {
  using namespace conditionlimits;
  Require(PossibleLength(c.Length));
  Require(c.FullScale == 0 || (PossibleFullScale(c.FullScale) && PossibleInputRange(c.RangeA) &&
                               PossibleInputRange(c.RangeB) && PossibleSamplingFrequency(c.SampleRate)));
  Require(PossibleSensor(c.SensorA) && PossibleSensor(c.SensorB));
}

inline std::filesystem::path& DataFolder() {
  static std::filesystem::path folder;
  return folder;
}

inline TZelto& Core() {
  static TZelto* core = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelto-fuzz-XXXXXX").string();
    Require(::mkdtemp(pattern.data()) != nullptr);
    DataFolder() = pattern;
    ::setenv("XDG_DATA_HOME", pattern.c_str(), 1);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(DataFolder(), ignored);
    });
    return new TZelto();
  }();
  return *core;
}

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// An input is a document's file contents, optionally followed by the marker
// and the raw file's contents. The marker is ASCII, which never stands
// contiguous in the UTF-16 text of a document.
constexpr std::string_view RawMarker = "--raw--";

struct TPair {
  std::string_view Document;
  std::string_view Raw;
  bool HasRaw = false;
};

inline TPair SplitInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t marker = input.find(RawMarker);
  if (marker == std::string_view::npos) return {input, {}, false};
  return {input.substr(0, marker), input.substr(marker + RawMarker.size()), true};
}

}  // namespace fuzz
