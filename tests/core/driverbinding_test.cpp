#include "pipelinefixture.h"

#include <algorithm>

using DriverBinding = PipelineTest;

TEST_F(DriverBinding, BindsEveryEntryPointOfTheLibraryInTheProgramFolder) {
  ASSERT_TRUE(Core->LoadDriver());
  ASSERT_NE(Core->DriverModule, nullptr);
  const auto* slots = reinterpret_cast<void* const*>(&Core->DriverApi);
  const size_t count = sizeof(TDriverApi) / sizeof(void*);
  EXPECT_EQ(count, 41u);
  for (size_t i = 0; i < count; ++i) EXPECT_NE(slots[i], nullptr) << "slot " << i;
}

TEST_F(DriverBinding, LibraryWithoutLastErrorFailsAfterLookingUpEveryName) {
  Core->DriverFolder = Core->ProgramDir + u"no-lasterror/";
  EXPECT_FALSE(Core->LoadDriver());
  EXPECT_NE(Core->DriverModule, nullptr);  // stays loaded until shutdown
  EXPECT_EQ(Core->DriverApi.GetLastErrorStr, nullptr);
  EXPECT_NE(Core->DriverApi.ARPJ9457, nullptr);
  EXPECT_NE(Core->DriverApi.QPRE4902, nullptr);
  // Nothing reads an error through the missing slot.
  EXPECT_EQ(Core->ReadDriverError(), 0);
}

TEST_F(DriverBinding, LibraryWithoutCalibrationStillBinds) {
  Core->DriverFolder = Core->ProgramDir + u"no-calibration/";
  EXPECT_TRUE(Core->LoadDriver());
}

TEST_F(DriverBinding, MissingLibraryFailsAndUnloadThenDoesNothing) {
  Core->DriverFolder = Core->ProgramDir + u"nowhere/";
  EXPECT_FALSE(Core->LoadDriver());
  EXPECT_EQ(Core->DriverModule, nullptr);
  Core->UnloadDriver();
  Core->ReleaseDriver();
  EXPECT_EQ(Core->DriverModule, nullptr);
  EXPECT_EQ(Core->DriverFullScale(), 0);
}

TEST_F(DriverBinding, UnloadForgetsTheModule) {
  LoadFake();
  Core->UnloadDriver();
  EXPECT_EQ(Core->DriverModule, nullptr);
  // The slots are stale now; item queries must not call through them.
  EXPECT_EQ(Core->DriverSamplingFrequency(), 0);
}

TEST_F(DriverBinding, ReleaseCallsFreeDeviceThenFreeDriverOnlyThroughBoundSlots) {
  TFakeSartel& fake = LoadFake();
  Core->ReleaseDriver();
  EXPECT_EQ(fake.Calls, (std::vector<std::string>{"_FreeDevice", "_FreeDriver"}));
  fake.Calls.clear();
  Core->DriverApi.FreeDevice = nullptr;
  Core->ReleaseDriver();
  EXPECT_EQ(fake.Calls, (std::vector<std::string>{"_FreeDriver"}));
}

TEST_F(DriverBinding, LastErrorTextIsCopiedBoundedAndTerminated) {
  TFakeSartel& fake = LoadFake();
  fake.ErrorCode = 4;
  fake.ErrorText = std::u16string(300, u'x');
  Core->LastErrorText.fill(u'?');
  EXPECT_EQ(Core->ReadDriverError(), 4);
  EXPECT_EQ(TextOf(Core->LastErrorText), std::u16string(99, u'x'));
  EXPECT_EQ(Core->LastErrorText.back(), 0);
  fake.ErrorCode = 0;
  fake.ErrorText = u"";
  EXPECT_EQ(Core->ReadDriverError(), 0);
  EXPECT_EQ(TextOf(Core->LastErrorText), u"");
}

TEST_F(DriverBinding, ItemTablesThroughTheBinding) {
  LoadFake();
  Core->SamplingRate = 4;
  EXPECT_EQ(Core->DriverFullScale(), 0x8000);
  EXPECT_EQ(Core->DriverSamplingFrequency(), 10000);
  EXPECT_EQ(Core->DriverInputRange(1), 1000);
  EXPECT_EQ(Core->DriverInputRange(-1), 0);
  Core->SamplingRate = -0x100;  // would otherwise ask for the count
  EXPECT_EQ(Core->DriverSamplingFrequency(), 0);
}
