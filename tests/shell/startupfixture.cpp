#include "startupfixture.h"

#include <stdlib.h>

#include <filesystem>

#include "capturethreads.h"
#include "dynlib.h"
#include "folders.h"
#include "textconv.h"
#include "zelto.h"

void TRecordingHost::WriteLog(uint8_t kind) {
  Events.push_back("log " + std::to_string(kind));
  if (OnLog) OnLog(kind);
}

void TRecordingHost::CloseLanguage() {
  Events.push_back("close language");
  if (!Language) return;
  if (LanguageService() == Language) SetLanguageService(nullptr);
  Language->Close();
}

void TRecordingHost::ShowWorkspace(int32_t step) { Events.push_back("workspace " + std::to_string(step)); }

void StartupTest::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zelto-startup-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  DataFolder = pattern;
  setenv("XDG_DATA_HOME", DataFolder.c_str(), 1);
  Texts = {u"Found",       u"Demo", u"Ready",   u"Demo mode",  u"Identified:",
           u"No identity", u"Done", u"Started", u"Enter demo?"};
  Startup = std::make_unique<TStartup>(Host);
}

void StartupTest::TearDown() {
  StopCaptureAndWait();
  Startup->Abandon();
  Startup.reset();
  if (FakeModule) rtl::FreeModule(FakeModule);
  std::error_code ignored;
  std::filesystem::remove_all(DataFolder, ignored);
}

void StartupTest::CreateCore() {
  ASSERT_TRUE(Startup->CreateCore());
  ASSERT_NE(TheCore, nullptr);
  FakeModule = rtl::LoadModule(rtl::NativePath(TheCore->ProgramDir + u"" SARTEL_LIBRARY_NAME));
  ASSERT_NE(FakeModule, nullptr);
  auto state = reinterpret_cast<TFakeSartel* (*)()>(rtl::FindSymbol(FakeModule, "FakeSartelState"));
  ASSERT_NE(state, nullptr);
  Fake = state();
  Fake->Description = u"Kalvenor";
  Fake->Identity = u"Kalvenor";
  Fake->SerialNumber = u"1234";
  Fake->Version = u"2.1";
  Fake->RamSize = 0x8000;
}

bool StartupTest::DataFileExists(const std::u16string& name) const {
  return std::filesystem::exists(std::filesystem::path(DataFolder) / "Orvanteq/Kalvenor" / rtl::Utf16ToUtf8(name));
}
