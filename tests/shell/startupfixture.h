#pragma once
// Fixture of the start-up tests: its own data folder, the fake driver
// library of the program folder loaded beside the core's binding (so the
// test scripts the same library state the start-up calls), and a host that
// records what the start-up showed and asked.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakesartel.h"
#include "startup.h"

class TRecordingHost : public TStartupHost {
 public:
  void EnableStep(int step) override { Events.push_back("step " + std::to_string(step)); }
  void ShowStepResult(int step, const std::u16string& text) override { Results[step] = text; }
  void ProcessMessages() override { ++Processed; }
  void Pause(uint32_t ms) override { Pauses.push_back(ms); }
  bool AskEnterDemo(const std::u16string& question) override {
    Questions.push_back(question);
    return AnswerYes;
  }
  void ShowError(const std::u16string& text) override { Errors.push_back(text); }
  void ShowWarning(const std::u16string& text) override { Warnings.push_back(text); }
  void ShowMessageError(const std::u16string& text) override { MessageErrors.push_back(text); }
  void ShowMessageInformation(const std::u16string& text) override { MessageInformation.push_back(text); }
  void ShowMessageWarning(const std::u16string& text) override { MessageWarnings.push_back(text); }
  void ShowDebugWindow() override { Events.push_back("debug"); }
  void WriteLog(uint8_t kind) override;
  void WriteLogNote(const std::u16string& text) override { LogNotes.push_back(text); }
  void ShowWorkspace(int32_t step) override;
  void CloseLanguage() override;

  bool AnswerYes = true;
  // The language the windows look their texts up in, closed by the shutdown
  // as the start-up window closes its own; none unless a test opens one.
  TLanguageService* Language = nullptr;
  std::function<void(uint8_t)> OnLog;  // runs inside WriteLog
  std::vector<std::string> Events;
  std::map<int, std::u16string> Results;
  std::vector<std::u16string> Questions, Errors, Warnings, MessageErrors, MessageInformation, MessageWarnings, LogNotes;
  std::vector<uint32_t> Pauses;
  int Processed = 0;
};

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the core through the start-up; the fake's state is reachable
  // from then on.
  void CreateCore();
  bool RunHardwareSteps() { return Startup->InitHardware(Texts); }
  bool DataFileExists(const std::u16string& name) const;

  TRecordingHost Host;
  std::unique_ptr<TStartup> Startup;
  TFakeSartel* Fake = nullptr;
  TStartupTexts Texts;
  std::string DataFolder;

 private:
  void* FakeModule = nullptr;
};
