#pragma once
// A sensor pair for trying a demo capture before the set-up dialog can
// assign sensors: two acceleration sensors, written as sensor files and
// named by the automatic session, so the next start restores them on
// channels A and B.

#include <string>

#include "records.h"

class TZelto;

extern const std::u16string DemoSensorNameA;
extern const std::u16string DemoSensorNameB;

// An acceleration sensor of 100 mV/g at input gain 1.
SensorInfo DemoSensor(const std::u16string& name);

// Writes both sensor files, assigns them to the channels and saves the
// automatic session; the runs of the session in the core are kept. False
// when a file could not be written.
bool PrepareDemoSensors(TZelto& core);
