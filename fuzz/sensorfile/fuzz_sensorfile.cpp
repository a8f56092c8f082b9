// Feeds arbitrary bytes to the sensor reader as a sensor file, then writes
// the record under another name and reads it back: the name and type come
// back as they were, every number to the writer's sixteen decimals. A file
// with figures no sensor can have is refused as damaged, and says which.
#include <cmath>
#include <cstdint>

#include "../fuzzcore.h"

namespace {

// The writer keeps sixteen decimals: a number comes back within half a unit
// of the last one, plus the rounding of reading it.
bool SameNumber(double a, double b) {
  return std::fabs(a - b) <= 1e-16 + std::fabs(a) * 4e-16;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TZelto& core = fuzz::Core();
  const std::filesystem::path folder = fuzz::DataFolder() / "Orvanteq" / "Kalvenor" / "Sensors";
  std::filesystem::create_directories(folder);
  fuzz::WriteFile(folder / "Fuzz.xml", std::string_view(reinterpret_cast<const char*>(data), size));

  SensorInfo sensor;
  core.SensorFailures.clear();
  std::filesystem::remove(folder / "Copy.xml");
  if (!core.LoadSensor(u"Fuzz", sensor)) {
    fuzz::Require(core.SensorFailures.size() == 1 && core.SensorFailures[0].Error == 0);
    return 0;
  }
  fuzz::Require(sensor.Name.size() <= 21);
  fuzz::Require(fuzz::PossibleSensor(sensor));
  fuzz::Require(core.SaveSensor(u"Copy", sensor, false) == TZelto::ssrSaved);

  SensorInfo copy;
  fuzz::Require(core.LoadSensor(u"Copy", copy));
  fuzz::Require(copy.Name == sensor.Name && copy.Type == sensor.Type && copy.Temperature == sensor.Temperature);
  fuzz::Require(SameNumber(copy.Sensitivity, sensor.Sensitivity) && SameNumber(copy.RangeLow, sensor.RangeLow) &&
                SameNumber(copy.RangeHigh, sensor.RangeHigh) && SameNumber(copy.InputGain, sensor.InputGain) &&
                SameNumber(copy.TemperatureGain, sensor.TemperatureGain) &&
                SameNumber(copy.TemperatureOffset, sensor.TemperatureOffset));
  fuzz::Require(core.FindSensorFile(nullptr, false) == 2);
  return 0;
}
