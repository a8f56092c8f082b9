// The demo sensor pair reaches the next start through the automatic session.

#include "demosensors.h"

#include "startupfixture.h"
#include "zelto.h"

TEST_F(StartupTest, DemoSensorsAreRestoredWithTheSessionAndKeepItsRuns) {
  CreateCore();
  TheCore->Results[0].Meas.AmplA = 12.5;
  TheCore->Results[0].Valid = 1;
  ASSERT_TRUE(PrepareDemoSensors(*TheCore));
  TheCore->ClearMeasurements();
  TheCore->VibSensorA = TheCore->VibSensorB = SensorInfo{};
  ASSERT_EQ(TheCore->LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(TheCore->VibSensorA.Name, DemoSensorNameA);
  EXPECT_EQ(TheCore->VibSensorB.Name, DemoSensorNameB);
  EXPECT_DOUBLE_EQ(TheCore->VibSensorA.Sensitivity, 100.0);
  EXPECT_DOUBLE_EQ(TheCore->VibSensorB.InputGain, 1.0);
  EXPECT_DOUBLE_EQ(TheCore->Results[0].Meas.AmplA, 12.5);
}
