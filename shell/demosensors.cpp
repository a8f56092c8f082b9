#include "demosensors.h"

#include "zelto.h"

const std::u16string DemoSensorNameA = u"Demo sensor A";
const std::u16string DemoSensorNameB = u"Demo sensor B";

SensorInfo DemoSensor(const std::u16string& name) {
  SensorInfo sensor;
  sensor.Name = name;
  sensor.Type = stAcceleration;
  sensor.Sensitivity = 100.0;
  sensor.RangeLow = 0.5;
  sensor.RangeHigh = 10000.0;
  sensor.InputGain = 1.0;
  return sensor;
}

bool PrepareDemoSensors(TZelto& core) {
  const SensorInfo a = DemoSensor(DemoSensorNameA);
  const SensorInfo b = DemoSensor(DemoSensorNameB);
  if (core.SaveSensor(a.Name, a, false) != TZelto::ssrSaved) return false;
  if (core.SaveSensor(b.Name, b, false) != TZelto::ssrSaved) return false;
  core.VibSensorA = a;
  core.VibSensorB = b;
  return core.SaveSession() == TZelto::sfrDone;
}
