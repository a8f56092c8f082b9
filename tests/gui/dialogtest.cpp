#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "answerhook.h"
#include "dialogs.h"
#include "form.h"
#include "screen.h"
#include "textlayout.h"

namespace gui {
namespace {

TEST(Dialogs, DefaultExtensionOnlyWithoutOne) {
  EXPECT_EQ(WithDefaultExtension("/data/run", "asd"), "/data/run.asd");
  EXPECT_EQ(WithDefaultExtension("/data/run.bin", "asd"), "/data/run.bin");
  EXPECT_EQ(WithDefaultExtension("/data.v2/run", "asd"), "/data.v2/run.asd");
  EXPECT_EQ(WithDefaultExtension("run", ""), "run");
  EXPECT_EQ(WithDefaultExtension("", "asd"), "");
}

// A save dialog's name ends with the default extension: a dot in the name
// ("rotor 2.5kg") or another extension doesn't stand in for it, since the
// companion files are named by replacing it. Dots at the end of the name
// go; a name that is only the extension stays so, for the save to refuse.
TEST(Dialogs, SaveDialogNamesEndWithTheDefaultExtension) {
  TSaveDialog dialog(nullptr);
  dialog.DefaultExt = "daqsession";
  TAnswerScript script;
  for (const auto& [typed, saved] : std::initializer_list<std::pair<std::string, std::string>>{
           {"/data/rotor 2.5kg", "/data/rotor 2.5kg.daqsession"},
           {"/data/job.txt", "/data/job.txt.daqsession"},
           {"/data/pump.daqdata", "/data/pump.daqdata.daqsession"},
           {"/data/job", "/data/job.daqsession"},
           {"/data/job.daqsession", "/data/job.daqsession"},
           {"/data/Pump.DAQSESSION", "/data/Pump.DAQSESSION"},
           {"/data/.daqsession", "/data/.daqsession"},
           {"/data/pump.", "/data/pump.daqsession"},
           {"/data/pump..", "/data/pump.daqsession"},
           {"/data/pump.daqsession.", "/data/pump.daqsession"},
           {"/data/.", "/data/.daqsession"},
           {"/data.v2/run", "/data.v2/run.daqsession"}}) {
    script.Expect(dkSaveDialog, 1, typed);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, saved);
  }
}

TEST(Dialogs, SaveDialogAnsweredByTheHookAddsTheExtension) {
  TSaveDialog dialog(nullptr);
  dialog.Filter = "Asynchronous data files (*.asd)|*.asd";
  dialog.DefaultExt = "asd";
  TAnswerScript script;
  script.Expect(dkSaveDialog, 1, "/tmp/capture").Expect(dkSaveDialog, 0);
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "/tmp/capture.asd");
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "/tmp/capture.asd");  // a cancel keeps the name
}

TEST(Dialogs, OpenDialogWantsAnExistingFileWhenAsked) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("gui_open_" + std::to_string(::getpid()) + ".asd");
  std::ofstream(file) << "x";
  TOpenDialog dialog(nullptr);
  dialog.DefaultExt = "asd";
  dialog.Options = ofFileMustExist | ofHideReadOnly;
  TAnswerScript script;
  script.Expect(dkOpenDialog, 1, file.string()).Expect(dkOpenDialog, 1, "/no/such/file");
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, file.string());
  EXPECT_FALSE(dialog.Execute());
  std::filesystem::remove(file);
}

TEST(Dialogs, MessageBoxAndShellOpenAskTheHook) {
  TForm owner(nullptr);
  TAnswerScript script;
  script.Expect(dkMessageBox, IDNO).Expect(dkShellOpen, 1);
  EXPECT_EQ(MessageBox(&owner, u"Continue without hardware?", u"", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_TRUE(ShellOpen("/opt/zelto/Help/manual.pdf"));
  ASSERT_EQ(script.Requests().size(), 2u);
  EXPECT_EQ(script.Requests()[0].Form, &owner);
  EXPECT_EQ(script.Requests()[0].Flags, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(script.Requests()[1].FileName, "/opt/zelto/Help/manual.pdf");
}

// The system box, shown before any window and at shutdown, names the
// longest path the data folder or Save As can produce (no blank in nearly
// four thousand characters of the widest letter) whole: every wrapped line
// fits its width in the box's font, no character is lost, and the text
// scrolls in a view that keeps the box on most of the work area. A short
// text is shown at its own height.
TEST(Dialogs, TheSystemMessageBoxShowsTheLongestPathWhole) {
  std::u16string path;
  for (int folder = 0; folder < 14; ++folder) path += u"/" + std::u16string(255, u'W');
  path += u"/" + std::u16string(244, u'W') + u".daqsession";
  const std::u16string text = u"The session could not be saved.\n" + path + u": No space left on device";
  const TMessageBoxLayout layout = MessageBoxLayout(text);
  std::u16string letters;
  size_t lines = 0;
  for (size_t start = 0; start <= layout.Text.size(); ++lines) {
    const size_t end = std::min(layout.Text.find(u'\n', start), layout.Text.size());
    const std::u16string_view line = std::u16string_view(layout.Text).substr(start, end - start);
    EXPECT_LE(MessageBoxLineWidth(line), MessageBoxTextWidth) << lines;
    letters += line;
    start = end + 1;
  }
  // A break at a blank takes the blank; every other character stays.
  std::u16string expected = text;
  std::erase(expected, u'\n');
  std::erase(expected, u' ');
  std::erase(letters, u' ');
  EXPECT_TRUE(letters == expected);
  EXPECT_GT(lines, 20u);
  EXPECT_TRUE(layout.Scrolls);
  EXPECT_LT(layout.ViewHeight, layout.TextHeight);
  EXPECT_LE(layout.ViewHeight, ScreenWorkArea().Height() * MessageScreenPercent / 100);

  const TMessageBoxLayout shortText = MessageBoxLayout(u"Could not load 'libSartel.so'.");
  EXPECT_EQ(shortText.Text, u"Could not load 'libSartel.so'.");
  EXPECT_FALSE(shortText.Scrolls);
  EXPECT_EQ(shortText.ViewHeight, shortText.TextHeight);
}

TEST(AnswerScript, UnexpectedQuestionsAreRecordedAndAnsweredNo) {
  TAnswerScript script;
  script.Expect(dkOpenDialog, 1, "/x");
  EXPECT_EQ(MessageBox(nullptr, u"?", u"", MB_YESNO), 0);
  TForm form(nullptr);
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_EQ(script.Unexpected().size(), 2u);
  EXPECT_EQ(script.Pending(), 1u);
}

}  // namespace
}  // namespace gui
