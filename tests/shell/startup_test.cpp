// The hardware start-up against the fake driver library: device listing,
// the demo question, opening, configuration, identity and the early exits.

#include <algorithm>
#include <array>

#include "pathbinding.h"
#include "startupfixture.h"
#include "zelto.h"

namespace {

bool Called(const TFakeSartel& fake, const char* name) {
  return std::find(fake.Calls.begin(), fake.Calls.end(), name) != fake.Calls.end();
}

}  // namespace

TEST_F(StartupTest, OneDeviceIsOpenedAndIdentifiedWithoutQuestion) {
  CreateCore();
  Fake->ListedIndices = {3};
  ASSERT_TRUE(RunHardwareSteps());
  EXPECT_TRUE(Host.Questions.empty());
  EXPECT_TRUE(Host.Errors.empty());
  EXPECT_EQ(Fake->DescribedIndex, 3);
  EXPECT_EQ(Fake->OpenedIndex, 3);
  EXPECT_FALSE(Fake->HostGiven);
  EXPECT_EQ(Fake->PathSet, TheCore->ProgramDir);
  EXPECT_EQ(Fake->ConfigSkipUpload, 0);
  EXPECT_EQ(TheCore->DeviceReady, 1);
  EXPECT_EQ(Host.Results[1], u"Found: Kalvenor");
  EXPECT_EQ(Host.Results[2], u"Ready");
  EXPECT_EQ(Host.Results[3], u"Identified: Kalvenor, #1234");
  EXPECT_EQ(Host.Results[4], u"Done");
  EXPECT_EQ(TextOf(TheCore->DeviceVer), u"2.1");
  EXPECT_EQ(Host.Events, (std::vector<std::string>{"step 1", "step 2", "step 3", "step 4"}));
  // The status lamp blinks twice around the identity.
  EXPECT_EQ(Fake->StatusLamp, (std::vector<int32_t>{0, 1, 0, 1}));
  EXPECT_EQ(Host.Pauses, (std::vector<uint32_t>{200, 200, 200}));
  EXPECT_EQ(TheCore->RamSize, 0x8000);
  EXPECT_GT(Host.Processed, 0);
}

// No device and several devices lead to the same question; Yes gives the
// demo mode, skips the identity and still reads the memory size.
class DemoQuestion : public StartupTest, public ::testing::WithParamInterface<int> {};

TEST_P(DemoQuestion, YesEntersDemoMode) {
  CreateCore();
  Fake->ListedIndices.assign(GetParam(), 7);
  Fake->RamSize = 0x2000;
  TheCore->BuffLength = 0x4000;
  ASSERT_TRUE(RunHardwareSteps());
  EXPECT_EQ(Host.Questions, std::vector<std::u16string>{u"Enter demo?"});
  EXPECT_EQ(TheCore->DeviceReady, 0);
  EXPECT_EQ(TextOf(TheCore->DeviceDescr), u"Kalvenor - DEMO");
  EXPECT_EQ(Host.Results[1], u"Demo");
  EXPECT_EQ(Host.Results[2], u"Demo mode");
  EXPECT_EQ(Host.Results.count(3), 0u);
  EXPECT_EQ(Fake->ConfigSkipUpload, 1);
  EXPECT_FALSE(Called(*Fake, "_OpenDevice"));
  EXPECT_FALSE(Called(*Fake, "_GetDeviceID"));
  EXPECT_TRUE(Called(*Fake, "_GetDeviceRamSize"));
  EXPECT_EQ(TheCore->RamSize, 0x2000);
  EXPECT_EQ(TheCore->BuffLength, 0x2000);
}

// 256 listed devices fill the whole index array the start-up passes.
INSTANTIATE_TEST_SUITE_P(DeviceCounts, DemoQuestion, ::testing::Values(0, 2, 256));

TEST_F(StartupTest, SoftErrorAfterSetPathAsksWithoutListing) {
  CreateCore();
  Fake->ErrorAfter["_SetPath"] = {1, u"No FTDI library"};
  ASSERT_TRUE(RunHardwareSteps());
  EXPECT_EQ(Host.Questions.size(), 1u);
  EXPECT_FALSE(Called(*Fake, "_ListDevices"));
  EXPECT_EQ(TheCore->DeviceReady, 0);
  EXPECT_TRUE(Host.Errors.empty());
}

TEST_F(StartupTest, HardErrorAfterSetPathEndsWithTheDriverText) {
  CreateCore();
  Fake->ErrorAfter["_SetPath"] = {4, u"Driver state lost"};
  EXPECT_FALSE(RunHardwareSteps());
  EXPECT_TRUE(Host.Questions.empty());
  EXPECT_EQ(Host.Errors, std::vector<std::u16string>{u"Driver state lost"});
  EXPECT_FALSE(Called(*Fake, "_ListDevices"));
}

TEST_F(StartupTest, ListingAndDescriptionErrorsEndTheStart) {
  CreateCore();
  Fake->ErrorAfter["_ListDevices"] = {1, u"Could not list USB devices"};
  EXPECT_FALSE(RunHardwareSteps());
  EXPECT_EQ(Host.Errors, std::vector<std::u16string>{u"Could not list USB devices"});
  EXPECT_TRUE(Host.Questions.empty());
}

TEST_F(StartupTest, DescriptionErrorEndsBeforeOpening) {
  CreateCore();
  Fake->ErrorAfter["_GetDeviceDescr"] = {1, u"Could not get device descriptor"};
  EXPECT_FALSE(RunHardwareSteps());
  EXPECT_EQ(Host.Errors, std::vector<std::u16string>{u"Could not get device descriptor"});
  EXPECT_FALSE(Called(*Fake, "_OpenDevice"));
}

// A failed open still runs the device step in demo form, then reports the
// opening error; leaving releases the driver and writes nothing.
TEST_F(StartupTest, OpenFailureReportsAfterDemoConfigurationAndReleases) {
  CreateCore();
  Fake->ErrorAfter["_OpenDevice"] = {2, u"Could not open USB channel."};
  EXPECT_FALSE(RunHardwareSteps());
  EXPECT_EQ(Fake->ConfigSkipUpload, 1);
  EXPECT_EQ(Host.Results[2], u"Demo mode");
  EXPECT_EQ(Host.Errors, std::vector<std::u16string>{u"Could not open USB channel."});
  EXPECT_FALSE(Called(*Fake, "_GetDeviceID"));
  Fake->Calls.clear();
  Startup->Abandon();
  EXPECT_EQ(Fake->Calls, (std::vector<std::string>{"_FreeDevice", "_FreeDriver"}));
  EXPECT_EQ(TheCore, nullptr);
  EXPECT_FALSE(ShlwapiLoaded());
  EXPECT_FALSE(DataFileExists(u"Kalvenor.ini"));
  EXPECT_FALSE(DataFileExists(u"!session.daqsession"));
}

TEST_F(StartupTest, NoToTheDemoQuestionEndsQuietlyAndReleases) {
  CreateCore();
  Fake->ListedIndices.clear();
  Host.AnswerYes = false;
  EXPECT_FALSE(RunHardwareSteps());
  EXPECT_TRUE(Host.Errors.empty());
  EXPECT_FALSE(Called(*Fake, "_InitDevice"));
  Fake->Calls.clear();
  Startup->Abandon();
  EXPECT_EQ(Fake->Calls, (std::vector<std::string>{"_FreeDevice", "_FreeDriver"}));
  EXPECT_FALSE(DataFileExists(u"Kalvenor.ini"));
  EXPECT_FALSE(DataFileExists(u"Log"));
}

TEST_F(StartupTest, ConfigurationFailureShowsTheDriverText) {
  CreateCore();
  Fake->ConfigResult = false;
  Fake->ErrorAfter["_ConfigDevice"] = {3, u"Configuration image missing"};
  EXPECT_FALSE(RunHardwareSteps());
  EXPECT_EQ(Host.Errors, std::vector<std::u16string>{u"Configuration image missing"});
  EXPECT_EQ(Host.Results.count(2), 0u);
}

TEST_F(StartupTest, IdentityDifferingByOneCharacterFailsTheSignature) {
  CreateCore();
  Fake->Identity = u"Kalvenos";
  EXPECT_FALSE(RunHardwareSteps());
  EXPECT_EQ(Host.Results[3], u"Identified: Kalvenos, #1234");
  EXPECT_EQ(Host.Errors, std::vector<std::u16string>{u"Hardware initialization error.\nIncorrect device signature."});
  EXPECT_EQ(TheCore->DeviceReady, 0);
}

// A first unit of 0 or with the low byte 0xFF is no identity: the failure
// text, no serial number, and the signature check fails.
class MissingIdentity : public StartupTest, public ::testing::WithParamInterface<std::u16string> {};

TEST_P(MissingIdentity, ShowsFailTextThenFailsTheSignature) {
  CreateCore();
  Fake->Identity = GetParam();
  EXPECT_FALSE(RunHardwareSteps());
  EXPECT_EQ(Host.Results[3], u"No identity");
  EXPECT_FALSE(Called(*Fake, "_GetDeviceSN"));
  EXPECT_EQ(Host.Errors, std::vector<std::u16string>{SignatureFailedText});
}

INSTANTIATE_TEST_SUITE_P(Identities, MissingIdentity,
                         ::testing::Values(std::u16string(), std::u16string(u"\u01FFKalvenor")));

TEST_F(StartupTest, ErrorAfterTheIdentityEndsTheStart) {
  CreateCore();
  Fake->ErrorAfter["_GetDeviceVer"] = {5, u"Device did not answer"};
  EXPECT_FALSE(RunHardwareSteps());
  EXPECT_EQ(Host.Errors, std::vector<std::u16string>{u"Device did not answer"});
}

TEST_F(StartupTest, MissingDriverLibraryNamesItsFile) {
  CreateCore();
  TheCore->DriverFolder = TheCore->ProgramDir + u"no-such-folder/";
  EXPECT_FALSE(RunHardwareSteps());
  EXPECT_EQ(Host.Errors, std::vector<std::u16string>{u"Could not load 'libSartel.so'."});
  Startup->Abandon();
  EXPECT_EQ(TheCore, nullptr);
}

TEST_F(StartupTest, FailedPathBindingCreatesNothing) {
  std::vector<rtl::TPathFunctionExport> exports(rtl::PathFunctionExports().begin(), rtl::PathFunctionExports().end());
  exports.erase(exports.begin() + 2);
  EXPECT_FALSE(Startup->CreateCore(exports));
  EXPECT_EQ(Host.Errors, std::vector<std::u16string>{u"Could not load 'shlwapi.dll'."});
  EXPECT_EQ(TheCore, nullptr);
  EXPECT_FALSE(ShlwapiLoaded());
}

TEST(DebugOption, RecognisedInAnyCaseOnly) {
  EXPECT_TRUE(HasDebugOption({"-DeBuG"}));
  EXPECT_TRUE(HasDebugOption({"file.daqsession", "-debug"}));
  EXPECT_FALSE(HasDebugOption({"debug", "-debugx", "--debug"}));
  EXPECT_FALSE(HasDebugOption({}));
}
