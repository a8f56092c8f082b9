// The start-up window's creation: the language choice only without a
// configured language, the step labels from the language file, and a
// window freed before its start finished leaving nothing behind.

#include "init.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <sys/stat.h>

#include <filesystem>

#include "answerhook.h"
#include "application.h"
#include "labelex.h"
#include "pathbinding.h"
#include "shelltestsupport.h"
#include "zelto.h"

namespace {

// A configuration naming `language`, by default the English language file.
void ConfigureLanguage(std::u16string language = {}) {
  ASSERT_TRUE(LoadShlwapi());
  {
    TZelto core;
    core.Language = language.empty() ? core.ProgramDir + u"Language/English.xml" : language;
    ASSERT_TRUE(core.SaveConfig());
  }
  FreeShlwapi();
}

// The start asks for a language (answered with the first entry) and labels
// its steps from the file chosen.
void ExpectTheLanguageChoice() {
  gui::TAnswerScript script;
  script.Expect(gui::dkModalForm, gui::mrOk);
  auto* init = new TfInit(nullptr);
  EXPECT_EQ(script.Pending(), 0u);
  ASSERT_NE(TheCore, nullptr);
  EXPECT_EQ(TheCore->Language, TheCore->ProgramDir + u"Language/English.xml");
  EXPECT_EQ(init->leInit[1]->CaptionW(), u"Initializing the device");
  delete init;
}

}  // namespace

TEST(StartupWindow, ConfiguredLanguageSkipsTheChoiceAndLabelsTheSteps) {
  shelltest::TTempFolder data;
  setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
  ConfigureLanguage();
  gui::TAnswerScript script;
  auto* init = new TfInit(nullptr);
  EXPECT_TRUE(script.Requests().empty());
  ASSERT_NE(TheCore, nullptr);
  EXPECT_EQ(init->leInit[0]->CaptionW(), u"Searching for the device");
  EXPECT_EQ(init->leInit[4]->CaptionW(), u"Starting the program");
  for (TLabelEx* label : init->leInit) EXPECT_FALSE(label->Enabled());
  for (TLabelEx* label : init->leInitRes) EXPECT_EQ(label->CaptionW(), u"");
  EXPECT_EQ(init->StepTexts.Init1Fail, u"No device, demo mode");
  EXPECT_FALSE(init->StepTexts.EnterDemo.empty());
  EXPECT_TRUE(static_cast<bool>(gui::Application->OnIdle));
  delete init;
  EXPECT_EQ(TheCore, nullptr);
  EXPECT_FALSE(ShlwapiLoaded());
  EXPECT_FALSE(static_cast<bool>(gui::Application->OnIdle));
}

TEST(StartupWindow, EmptyLanguageAsksForOneFirst) {
  shelltest::TTempFolder data;
  setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
  ExpectTheLanguageChoice();
}

TEST(StartupWindow, ALanguageFileThatCannotBeReadIsChosenAgain) {
  shelltest::TTempFolder data;
  setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
  const std::filesystem::path pipe = std::filesystem::path(data.Path()) / "English.xml";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  ConfigureLanguage(pipe.u16string());
  ExpectTheLanguageChoice();
}
