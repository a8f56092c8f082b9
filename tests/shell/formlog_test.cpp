// The log window: entries in the day's file, the viewer's day list, entries
// written while the viewer is open, old code-page files, a second writer.
#include <gtest/gtest.h>

#include <filesystem>

#include "answerhook.h"
#include "dialogs.h"
#include "formlog.h"
#include "inputsim.h"
#include "labelex.h"
#include "languageservice.h"
#include "listbox.h"
#include "memo.h"
#include "shelltestsupport.h"
#include "zelto.h"

namespace {

using shelltest::TTempFolder;

TWallTime FixedTime() { return {2024, 3, 7, 10, 11, 12}; }

class LogWindow : public testing::Test {
 protected:
  void SetUp() override {
    core.AppDataDir = folder.PathW() + u"/";
    TheCore = &core;
    std::filesystem::create_directory(LogFolder());
  }
  void TearDown() override { TheCore = nullptr; }

  std::string LogFolder() const { return folder.File("Log"); }
  std::string DayFile(const std::string& name) const { return LogFolder() + "/" + name; }
  std::vector<std::u16string> ViewerLines(TfLog& log) const {
    std::vector<std::u16string> lines;
    for (int i = 0; i < log.reLog->Lines().Count(); ++i) lines.push_back(log.reLog->Lines().Strings(i));
    return lines;
  }
  std::vector<std::u16string> DayList(TfLog& log) const {
    std::vector<std::u16string> days;
    for (int i = 0; i < log.lbLogDays->Items().Count(); ++i) days.push_back(log.lbLogDays->Items().Strings(i));
    return days;
  }
  // Shows the viewer modally and runs `act` on it while it is open.
  void WhileShown(TfLog& log, const std::function<void()>& act) {
    gui::TAnswerScript script;
    script.ExpectAction(gui::dkModalForm, [&](const gui::TDialogRequest&) {
      act();
      log.Close();
      return std::optional<gui::TDialogAnswer>();
    });
    log.ShowModal();
    EXPECT_TRUE(script.Unexpected().empty());
  }

  TTempFolder folder;
  TZelto core;
};

TEST_F(LogWindow, EntriesGoToTheDayFile) {
  TfLog log(nullptr, FixedTime);
  EXPECT_EQ(log.LogPath, folder.PathW() + u"/Log/20240307.txt");
  ASSERT_TRUE(log.LogFileOpen());
  log.WriteEntry(lekApplicationOpen);
  // No initial run: a measurement writes nothing at all.
  log.WriteEntry(lekMeasurement1);
  log.WriteEntry(lekApplicationClose);
  EXPECT_EQ(shelltest::ReadBytes(DayFile("20240307.txt")),
            "[10:11:12] Application open\r\n[10:11:12] Application close\r\n\r\n");
}

TEST_F(LogWindow, ViewerListsDaysByDateAndOpensOnTheNewest) {
  shelltest::WriteBytes(DayFile("20240110.txt"), "[08:00:00] Application open\r\n");
  shelltest::WriteBytes(DayFile("20231231.txt"), "[09:00:00] Application open\r\n");
  shelltest::WriteBytes(DayFile("20240109.txt"), "");
  shelltest::WriteBytes(DayFile("notes.txt"), "not a day");
  TfLog log(nullptr, FixedTime);
  log.WriteEntry(lekApplicationOpen);
  WhileShown(log, [&] {
    EXPECT_EQ(DayList(log), (std::vector<std::u16string>{u"2023-12-31", u"2024-01-09", u"2024-01-10", u"2024-03-07"}));
    EXPECT_EQ(log.lbLogDays->ItemIndex(), 3);
    EXPECT_EQ(ViewerLines(log), (std::vector<std::u16string>{u"[10:11:12] Application open"}));
    EXPECT_EQ(log.leCaption->CaptionW(), u"Measurement log");
    EXPECT_TRUE(log.SaveScreenshot(shelltest::PicturePath("log_viewer.png")));
    log.lbLogDays->SetItemIndex(0);
    log.lbLogDaysClick(log.lbLogDays);
    EXPECT_EQ(ViewerLines(log), (std::vector<std::u16string>{u"[09:00:00] Application open"}));
  });
}

TEST_F(LogWindow, EntriesWrittenWhileTheViewerIsOpenReachTheFile) {
  shelltest::WriteBytes(DayFile("20240101.txt"), "old\r\n");
  TfLog log(nullptr, FixedTime);
  log.WriteEntry(lekApplicationOpen);
  WhileShown(log, [&] {
    log.WriteEntry(lekNewSession);
    log.WriteEntry(lekApplicationClose);
    EXPECT_EQ(ViewerLines(log), (std::vector<std::u16string>{u"[10:11:12] Application open",
                                                            u"[10:11:12] New session (Reset)",
                                                            u"[10:11:12] Application close", u""}));
    // With another day shown the entry goes to the file only.
    log.lbLogDays->SetItemIndex(0);
    log.lbLogDaysClick(log.lbLogDays);
    log.WriteEntry(lekNewSession);
    EXPECT_EQ(ViewerLines(log), (std::vector<std::u16string>{u"old"}));
  });
  log.WriteEntry(lekApplicationOpen);
  EXPECT_EQ(shelltest::ReadBytes(DayFile("20240307.txt")),
            "[10:11:12] Application open\r\n[10:11:12] New session (Reset)\r\n"
            "[10:11:12] Application close\r\n\r\n[10:11:12] New session (Reset)\r\n"
            "[10:11:12] Application open\r\n");
}

TEST_F(LogWindow, OldCodePageDayFileIsShown) {
  shelltest::WriteBytes(DayFile("20240101.txt"), "[08:00:00] Measurement 1:\r\n\tPhase: 90\xB0\r\n");
  TfLog log(nullptr, FixedTime);
  WhileShown(log, [&] {
    ASSERT_EQ(log.lbLogDays->Items().Count(), 2);
    log.lbLogDays->SetItemIndex(0);
    log.lbLogDaysClick(log.lbLogDays);
    EXPECT_EQ(ViewerLines(log), (std::vector<std::u16string>{u"[08:00:00] Measurement 1:", u"\tPhase: 90°"}));
  });
}

TEST_F(LogWindow, EscClosesTheViewer) {
  TfLog log(nullptr, FixedTime);
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [&](const gui::TDialogRequest&) {
    gui::SimKey(&log, gui::VK_ESCAPE, 27);
    return std::optional<gui::TDialogAnswer>();
  });
  log.ShowModal();
  EXPECT_FALSE(log.Visible());
  EXPECT_TRUE(script.Unexpected().empty());
}

TEST_F(LogWindow, SecondWriterOfTheDayIsRefusedAndToldSo) {
  TfLog first(nullptr, FixedTime);
  gui::TAnswerScript script;
  script.Expect(gui::dkMessageBox, gui::IDOK);
  TfLog second(nullptr, FixedTime);
  ASSERT_EQ(script.Requests().size(), 1u);
  EXPECT_EQ(script.Requests()[0].Title, u"Error");
  EXPECT_FALSE(second.LogFileOpen());
  second.WriteEntry(lekApplicationOpen);
  first.WriteEntry(lekApplicationClose);
  EXPECT_EQ(shelltest::ReadBytes(DayFile("20240307.txt")), "[10:11:12] Application close\r\n\r\n");
}

// Every failure of the log names its file and why: a day's file another
// writer holds, and a day's file the viewer can't read (larger than any
// day's log may be).
TEST_F(LogWindow, ADayFileThatCantBeOpenedOrReadIsNamedWithWhy) {
  const std::string large = DayFile("20240101.txt");
  shelltest::WriteBytes(large, "");
  std::filesystem::resize_file(large, 65 << 20);
  TfLog first(nullptr, FixedTime);
  gui::TAnswerScript script;
  script.Expect(gui::dkMessageBox, gui::IDOK).Expect(gui::dkMessageBox, gui::IDOK);
  TfLog second(nullptr, FixedTime);
  first.FormShow(&first);
  first.lbLogDays->SetItemIndex(0);
  first.lbLogDaysClick(first.lbLogDays);
  ASSERT_EQ(script.Requests().size(), 2u);
  EXPECT_EQ(script.Requests()[0].Text, LangText({u"Forms", u"LogNotWritten"}).Text + u"\n" + second.LogPath +
                                           u": The process cannot access the file because it is being used by "
                                           u"another process.");
  EXPECT_EQ(script.Requests()[1].Text, LangText({u"Forms", u"LogDayNotRead"}).Text + u"\n" + folder.PathW() +
                                           u"/Log/20240101.txt: File too large");
  EXPECT_TRUE(script.Unexpected().empty());
}

}  // namespace
