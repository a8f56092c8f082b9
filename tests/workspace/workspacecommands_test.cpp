// The workspace's commands on the offscreen platform, every dialog and menu
// answered by the scripted hook: the session menu over real session files,
// the option menus, help and the keys (the report's in
// reportcommands_test.cpp).

#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "answerhook.h"
#include "application.h"
#include "balancingreport.h"
#include "commandsfixture.h"
#include "datafolder.h"
#include "demosensors.h"
#include "dialogs.h"
#include "drawnplanes.h"
#include "folders.h"
#include "formbalancing.h"
#include "formconfig.h"
#include "forminfo.h"
#include "formlog.h"
#include "formmessage.h"
#include "formselectsensor.h"
#include "inputsim.h"
#include "langindex.h"
#include "languageservice.h"
#include "listbox.h"
#include "messageanswer.h"
#include "popupmenu.h"
#include "printer.h"
#include "sessioncommands.h"
#include "sessionmenuscript.h"
#include "setupcommand.h"
#include "textconv.h"
#include "wallclock.h"
#include "workspacemenus.h"
#include "xmlinifile.h"
#include "zelto.h"

namespace {

namespace fs = std::filesystem;

using commandstest::Commands;
using commandstest::Forms;
using commandstest::MenuAnswer;
using commandstest::Narrow;
using testsupport::MessageAnswer;
using testsupport::ExpectOpenQuestion;
using testsupport::ExpectRestoreQuestion;
using testsupport::OpenDamagedSession;

}  // namespace

// --- start ---------------------------------------------------------------------------

// The very first start (no automatic pair) and the start after the demo's
// preparation (a pair with its sensors and no run measured) open at run 1,
// which draws nothing: no marker at the centre, no ray towards 0 degrees.
TEST_F(Commands, TheFirstStartAndTheStartAfterTheDemoPreparationDrawNoVector) {
  for (const bool prepared : {false, true}) {
    if (prepared) {
      TZelto preparation;
      TheCore = &preparation;
      ASSERT_EQ(preparation.LoadSession(), TZelto::sfrDone);
      ASSERT_TRUE(PrepareDemoSensors(preparation));
      TheCore = Core.get();
    }
    RestartFromTheAutomaticPair();
    ASSERT_EQ(Core->BalancingStep, RunInitial) << prepared;
    EXPECT_EQ(Core->Results[RunInitial].Valid, 0) << prepared;
    const auto drawn = [this](auto select) { return testsupport::DrawnOps(*Window, *Core, select); };
    EXPECT_EQ(drawn([](const TDrawOp& op) { return op.Kind == dkEllipse; }), Core->Type == 1 ? 2u : 1u) << prepared;
    EXPECT_EQ(drawn(testsupport::VectorLine), 0u) << prepared;
  }
}

// --- session menu --------------------------------------------------------------------

TEST_F(Commands, SessionMenuGreysCloseWhileTheCloseButtonIsDisabled) {
  for (bool enabled : {false, true}) {
    Window->bCloseC->SetEnabled(enabled);
    gui::TAnswerScript script;
    script.ExpectAction(gui::dkPopupMenu, MenuAnswer(0, [enabled](const gui::TPopupMenu& menu) {
                          ASSERT_EQ(menu.Items().size(), 8u);
                          EXPECT_TRUE(menu.Items()[1].Separator());
                          EXPECT_TRUE(menu.Items()[4].Separator());
                          EXPECT_TRUE(menu.Items()[6].Separator());
                          EXPECT_EQ(menu.FindItem(smNewSession)->Text, Forms(u"NewSession"));
                          EXPECT_EQ(menu.FindItem(smRestoreSession)->Text, Forms(u"RestoreSession"));
                          EXPECT_EQ(menu.FindItem(smClose)->Flags, enabled ? gui::MF_STRING : gui::MF_GRAYED);
                        }));
    Window->bSession->Click();
    EXPECT_EQ(script.Pending(), 0u);
  }
  // Close asks the exit question; No keeps the window.
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smClose);
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkQuestion, Forms(u"ExitMessage"), 7));
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(Window->Visible());
}

TEST_F(Commands, CaptureRefusedForItsWindowShowsItsOwnTextAndLogsTheWindow) {
  const std::u16string window = u"Impossible capture window: Start 0, End 31986, T 12 in 16384 samples.";
  Core->CaptureError = CaptureErrorWindow;
  SetText(Core->LastErrorText, window);
  const std::size_t logged = LogText().size();
  Window->SyncMeasurementDone();
  EXPECT_EQ(Caption("leError"), Forms(u"CaptureWindowError"));
  EXPECT_NE(LogText().find(Narrow(window), logged), std::string::npos);
}

TEST_F(Commands, NewSessionAnsweredNoChangesNothingYesClearsSavesAndLogs) {
  OnePlaneJob(1);
  const std::string before = LogText();
  {
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, smNewSession);
    script.ExpectAction(gui::dkModalForm, MessageAnswer(mkQuestion, Forms(u"ResetMeasurements"), 7));
    Window->bSession->Click();
    EXPECT_EQ(script.Pending(), 0u);
  }
  EXPECT_EQ(Core->BalancingStep, 4);
  EXPECT_EQ(Core->Results[0].Meas.AmplA, 200);
  EXPECT_EQ(LogText(), before);
  {
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, smNewSession);
    script.ExpectAction(gui::dkModalForm, MessageAnswer(mkQuestion, Forms(u"ResetMeasurements"), 6));
    Window->bSession->Click();
    EXPECT_EQ(script.Pending(), 0u);
  }
  EXPECT_EQ(Core->BalancingStep, 0);
  EXPECT_EQ(Core->HighestStep, 0);
  EXPECT_EQ(Core->Results[0].Meas.AmplA, 0);
  EXPECT_EQ(Window->FirstTrimRow, 1);
  const TSessionDate today = UtcToday();
  EXPECT_EQ(Core->Session.Date.Year, today.Year);
  EXPECT_EQ(Core->Session.Date.Day, today.Day);
  // The settings and the session texts stay.
  EXPECT_EQ(Core->Session.Machine, "Fan 7");
  EXPECT_EQ(Core->Rotor.Type, 1);
  EXPECT_NE(LogText().find("New session (Reset)"), std::string::npos);
  // The automatic pair holds the empty session.
  TZelto reader;
  ASSERT_EQ(reader.LoadSession(Core->AutoSessionFile), 0);
  EXPECT_EQ(reader.HighestStep, 0);
  EXPECT_EQ(reader.Results[0].Meas.AmplA, 0);
}

TEST_F(Commands, NewSessionFromTheSetupAsksNothing) {
  OnePlaneJob(0);
  gui::TAnswerScript script;
  TWorkspaceSetup services(*Window);
  services.NewSession();
  EXPECT_TRUE(script.Requests().empty());
  EXPECT_EQ(Core->HighestStep, 0);
  services.SetSetupPage(cpOwner);
  EXPECT_EQ(Window->SetupPage, cpOwner);
  EXPECT_EQ(services.SetupPage(), cpOwner);
}

// The stored step is the current one after an open (the stored highest
// step only bounds Next), and the run table scrolls to it.
TEST_F(Commands, OpenKeepsTheStoredStepAndScrollsTheTrimTable) {
  OnePlaneJob(4);
  Core->BalancingStep = 7;
  ASSERT_EQ(Core->SaveSession(), 0);
  ASSERT_EQ(Core->SaveSessionAs(File("job.daqsession")), TZelto::sfrDone);
  Core->BalancingStep = 5;
  ASSERT_EQ(Core->SaveSession(), 0);
  ASSERT_EQ(Core->SaveSessionAs(File("step5.daqsession")), TZelto::sfrDone);
  Core->ClearMeasurements();
  Window->FirstTrimRow = 1;
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, (Folder / "job").string());  // the extension is added
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(Core->BalancingStep, 7);
  EXPECT_EQ(Core->HighestStep, 7);
  EXPECT_EQ(Window->FirstTrimRow, 2);
  EXPECT_EQ(Caption("leOper1"), Forms(u"Tunning") + u" 2");
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, (Folder / "step5.daqsession").string());
  ExpectOpenQuestion(script, gui::mrYes);
  Window->bSession->Click();
  EXPECT_EQ(Core->BalancingStep, 5);
  EXPECT_EQ(Core->HighestStep, 7);
}

// An open at an early trim run scrolls a table left far down by the job
// before back to the top, so the current run is in it.
TEST_F(Commands, OpenAtAnEarlyTrimRunShowsItInTheRunTable) {
  OnePlaneJob(16);
  ASSERT_EQ(Core->SaveSession(), 0);
  ASSERT_EQ(Core->SaveSessionAs(File("late.daqsession")), TZelto::sfrDone);
  Core->BalancingStep = Core->HighestStep = 4;
  ASSERT_EQ(Core->SaveSession(), 0);
  ASSERT_EQ(Core->SaveSessionAs(File("early.daqsession")), TZelto::sfrDone);
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, (Folder / "late.daqsession").string());
  ExpectOpenQuestion(script, gui::mrYes);
  Window->bSession->Click();
  ASSERT_EQ(Core->BalancingStep, 19);
  EXPECT_EQ(Caption("leOper3"), Forms(u"Tunning") + u" 16");
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, (Folder / "early.daqsession").string());
  ExpectOpenQuestion(script, gui::mrYes);
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  ASSERT_EQ(Core->BalancingStep, 4);
  EXPECT_EQ(Window->FirstTrimRow, 1);
  EXPECT_EQ(Caption("leOper1"), Forms(u"Tunning") + u" 1");
  EXPECT_EQ(Window->RunTableRows[0].pHighlight->Color(), CurrentRowColor);
  EXPECT_TRUE(Window->RunTableRows[0].iMarker->Visible());
}

TEST_F(Commands, AFailedOpenKeepsTheJobAndSaysSo) {
  OnePlaneJob(1);
  const fs::path broken = Folder / "broken.daqsession";
  std::ofstream(broken) << "not a session";
  OpenDamagedSession(*Window, broken.string());
  EXPECT_EQ(Core->Results[0].Meas.AmplA, 200);
  EXPECT_EQ(Core->BalancingStep, 4);
  EXPECT_EQ(Core->HighestStep, 4);
  // A cancelled dialog changes nothing.
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 0);
  Window->bSession->Click();
  EXPECT_EQ(Core->Results[0].Meas.AmplA, 200);
  EXPECT_TRUE(script.Unexpected().empty());
}

TEST_F(Commands, RestoreReadsTheAutomaticPairAtItsStoredStep) {
  OnePlaneJob(3);
  Core->BalancingStep = 5;
  ASSERT_EQ(Core->SaveSession(), 0);
  Core->ClearMeasurements();
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smRestoreSession);
  Window->bSession->Click();
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(Core->BalancingStep, 5);
  EXPECT_EQ(Core->HighestStep, 6);
  EXPECT_NEAR(Core->Results[6].Meas.AmplA, 100.0 / 3, 1e-9);
  EXPECT_TRUE(Window->bNext->Enabled());
  // A missing automatic pair: the job stays and restore's own text shows.
  fs::remove(rtl::NativePath(Core->AutoSessionFile));
  Core->VibSensorA.Sensitivity = 42;
  script.Expect(gui::dkPopupMenu, smRestoreSession);
  ExpectRestoreQuestion(script, gui::mrYes);
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError,
                                                      u"Last session not restored. File error.\n" +
                                                          Core->AutoSessionFile + u": No such file or directory",
                                                      1));
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_EQ(Core->BalancingStep, 5);
  EXPECT_EQ(Core->HighestStep, 6);
  // The settings are not replaced by the defaults of an empty document.
  EXPECT_EQ(Core->VibSensorA.Sensitivity, 42);
}

// Save-as writes the job as it is in memory, even right after an open,
// under the chosen name with the raw samples beside it.
TEST_F(Commands, SaveAsWritesTheSessionInMemoryUnderTheChosenName) {
  OnePlaneJob(2);
  ASSERT_EQ(Core->SaveSession(), 0);
  ASSERT_EQ(Core->SaveSessionAs(File("other.daqsession")), TZelto::sfrDone);
  Core->Results[0].Meas.AmplA = 123;
  Core->RotationDir = 1;  // changed after the last automatic save
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smSaveSession);
  script.Expect(gui::dkSaveDialog, 1, (Folder / "job.daqsession").string());
  Window->bSession->Click();
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_TRUE(fs::exists(Folder / "job.daqsession"));
  EXPECT_TRUE(fs::exists(Folder / "job.daqdata"));
  TZelto reader;
  ASSERT_EQ(reader.LoadSession(File("job.daqsession")), 0);
  EXPECT_EQ(reader.Results[0].Meas.AmplA, 123);
  EXPECT_EQ(reader.RotationDir, 1);
  EXPECT_EQ(reader.HighestStep, 5);
}

// A name with a dot gets the document's extension like any other: "rotor
// 2.5kg" and "rotor 2.7kg" are two documents the open dialog shows, each
// with its own raw file. A document an earlier version stored under such a
// name still finds its raw file where that version put it.
TEST_F(Commands, SaveAsGivesANameWithADotItsOwnDocumentAndRawFile) {
  OnePlaneJob(0);
  const auto saveAs = [&](const char* name, int32_t firstSample) {
    Core->Results[0].Meas.AmplA = firstSample;
    Core->Captures[0].DataA.assign(static_cast<size_t>(Core->BuffLength), firstSample);
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, smSaveSession);
    script.Expect(gui::dkSaveDialog, 1, (Folder / name).string());
    Window->bSession->Click();
    EXPECT_TRUE(script.Unexpected().empty());
  };
  saveAs("rotor 2.5kg", 25);
  saveAs("rotor 2.7kg", 27);
  ASSERT_EQ(Core->SaveSession(), 0);
  ASSERT_EQ(Core->SaveSessionAs(File("old 2.5kg")), TZelto::sfrDone);
  ASSERT_TRUE(fs::exists(Folder / "old 2.daqdata"));
  for (const auto& [document, raw, value] : {std::tuple{"rotor 2.5kg.daqsession", "rotor 2.5kg.daqdata", 25},
                                             std::tuple{"rotor 2.7kg.daqsession", "rotor 2.7kg.daqdata", 27},
                                             std::tuple{"old 2.5kg", "old 2.daqdata", 27}}) {
    SCOPED_TRACE(document);
    EXPECT_TRUE(fs::exists(Folder / raw));
    TZelto reader;
    ASSERT_EQ(reader.LoadSession(File(document)), 0);
    EXPECT_EQ(reader.Results[0].Meas.AmplA, value);
    EXPECT_EQ(reader.Captures[0].DataA, std::vector<int32_t>(static_cast<size_t>(Core->BuffLength), value));
  }
  EXPECT_FALSE(fs::exists(Folder / "rotor 2.daqdata"));
}

// A dot typed at the end of the name is not doubled before the extension;
// a name that is only the extension would give files the open dialog hides,
// and is refused with why, writing nothing.
TEST_F(Commands, SaveAsDropsADotAtTheEndAndRefusesANameThatIsOnlyTheExtension) {
  OnePlaneJob(0);
  ASSERT_EQ(Core->SaveSession(), 0);
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smSaveSession);
  script.Expect(gui::dkSaveDialog, 1, (Folder / "pump.").string());
  Window->bSession->Click();
  script.Expect(gui::dkPopupMenu, smSaveSession);
  script.Expect(gui::dkSaveDialog, 1, (Folder / ".daqsession").string());
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, Forms(u"SaveNameOnlyExtension"), 1));
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(Folder))
    if (entry.is_regular_file()) files.insert(entry.path().filename().string());
  EXPECT_EQ(files, (std::set<std::string>{"pump.daqsession", "pump.daqdata"}));
  TZelto reader;
  ASSERT_EQ(reader.LoadSession(File("pump.daqsession")), TZelto::sfrDone);
  EXPECT_EQ(reader.Results[0].Meas.AmplA, 200);
  EXPECT_EQ(reader.Captures[0].DataA, Core->Captures[0].DataA);
}

TEST_F(Commands, SaveAsIntoAFolderThatDoesNotExistSaysSo) {
  OnePlaneJob(0);
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smSaveSession);
  script.Expect(gui::dkSaveDialog, 1, (Folder / "missing" / "job.daqsession").string());
  const std::u16string told =
      u"Couldn't save session file. File error.\n" + File("missing/job.daqsession") + u": No such file or directory";
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, told, 1));
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_FALSE(fs::exists(Folder / "missing"));
}

// Every failed open, restore and save says why, in the error box and in
// the log: a folder chosen as a session, an automatic session that is a
// link to itself, a chosen pair whose lock another program holds (the
// test's own hold on the lock file stands for it, and the save waits it
// out), and a folder that does not exist. A log that takes no more says why too, once.
TEST_F(Commands, AFailedLoadOrSaveSaysWhyInTheMessageAndTheLog) {
  const fs::path folder = Folder / "folder.daqsession";
  fs::create_directory(folder);
  const std::u16string automatic = Core->AutoSessionFile;
  const std::u16string held = File("held.daqsession");
  // A name the system takes, whose raw file's temporary names it does not.
  const std::u16string longName = File((std::string(240, 'x') + ".daqsession").c_str());
  const auto rawOf = [this](const std::u16string& document) {
    std::u16string raw;
    Core->SessionSaveTarget(document, raw);
    return raw;
  };
  // A lock file's name planted as a link is refused for what it is, not
  // taken for a lock another program holds.
  const std::u16string linked = File("linked.daqsession");
  fs::create_symlink(Folder / "elsewhere", rtl::NativePath(rawOf(linked) + u".lock"));
  const struct {
    int Command;
    std::u16string Chosen, Told;
  } cases[] = {
      {smOpenSession, folder.u16string(),
       u"Couldn't open session file. File error.\n" + folder.u16string() + u": Is a directory"},
      {smRestoreSession, {},
       u"Last session not restored. File error.\n" + automatic + u": Too many levels of symbolic links"},
      {smSaveSession, held, u"Couldn't save session file. File error.\n" + Forms(u"FileInUse") + u" " + held},
      {smSaveSession, linked,
       u"Couldn't save session file. File error.\n" + linked +
           u": The file name is a symbolic link, which is not followed here."},
      {smSaveSession, longName,
       u"Couldn't save session file. File error.\n" + rawOf(longName) + u": File name too long"},
      {smSaveSession, File("missing/job.daqsession"),
       u"Couldn't save session file. File error.\n" + File("missing/job.daqsession") +
           u": No such file or directory"},
  };
  for (const auto& c : cases) {
    const std::string lockFile = rtl::NativePath(rawOf(held) + u".lock");
    const int lock = c.Chosen == held ? ::open(lockFile.c_str(), O_RDWR | O_CREAT, 0600) : -1;
    if (lock >= 0) {
      ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    }
    if (c.Command == smRestoreSession) fs::create_symlink(rtl::NativePath(automatic), rtl::NativePath(automatic));
    const std::size_t logged = LogText().size();
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, c.Command);
    if (c.Command == smOpenSession) script.Expect(gui::dkOpenDialog, 1, rtl::Utf16ToUtf8(c.Chosen));
    if (c.Command == smSaveSession) script.Expect(gui::dkSaveDialog, 1, rtl::Utf16ToUtf8(c.Chosen));
    script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, c.Told, 1));
    Window->bSession->Click();
    if (lock >= 0) ::close(lock);
    if (c.Command == smRestoreSession) fs::remove(rtl::NativePath(automatic));
    EXPECT_EQ(script.Pending(), 0u) << rtl::Utf16ToUtf8(c.Told);
    EXPECT_TRUE(script.Unexpected().empty());
    const std::string log = LogText().substr(logged);
    const std::u16string reason = c.Told.substr(c.Told.find(u'\n') + 1);
    EXPECT_NE(log.find(rtl::Utf16ToUtf8(reason)), std::string::npos) << log;
  }
  EXPECT_FALSE(fs::exists(Folder / "held.daqsession"));
  EXPECT_FALSE(fs::exists(Folder / "linked.daqsession"));
  EXPECT_FALSE(fs::exists(Folder / "elsewhere"));
  EXPECT_FALSE(fs::exists(Folder / "missing"));
  EXPECT_FALSE(fs::exists(rtl::NativePath(longName)));

  // The process may write no file beyond the log's present end.
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlimit full = limit;
  limit.rlim_cur = LogText().size();
  std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  gui::TAnswerScript script;
  for (int attempt = 0; attempt < 2; ++attempt) {
    script.Expect(gui::dkPopupMenu, smOpenSession);
    script.Expect(gui::dkOpenDialog, 1, folder.string());
    if (attempt == 0) script.Expect(gui::dkMessageBox, gui::IDOK);
    script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, cases[0].Told, 1));
    Window->bSession->Click();
  }
  ::setrlimit(RLIMIT_FSIZE, &full);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  const auto boxes = script.Requests();
  const auto box = std::find_if(boxes.begin(), boxes.end(),
                                [](const gui::TDialogRequest& r) { return r.Kind == gui::dkMessageBox; });
  ASSERT_NE(box, boxes.end());
  EXPECT_EQ(box->Text, Forms(u"LogNotWritten") + u"\n" + Log->LogPath + u": File too large");
}

// A sensor file that is there but can't be read (larger than any sensor
// file may be: the tests may run with every permission) is named with why,
// in the message and the log, by each command that looks it up: an open of
// a session naming it, the set-up dialog showing the channel's sensor (which
// then shows none), and the sensor database listing the files.
TEST_F(Commands, ASensorFileThatCantBeReadIsNamedWithWhy) {
  SensorInfo probe;
  probe.Name = u"Probe";
  probe.Sensitivity = 100;
  ASSERT_EQ(Core->SaveSensor(probe.Name, probe, false), TZelto::ssrSaved);
  Core->ClearMeasurements();
  Core->VibSensorA = probe;
  ASSERT_EQ(Core->SaveSessionAs(File("job.daqsession")), TZelto::sfrDone);
  const fs::path file = fs::path(rtl::NativePath(Core->AppDataDir)) / "Sensors" / "Probe.xml";
  fs::resize_file(file, (uint64_t(512) << 20) + 1);
  const std::u16string told =
      LangText({u"Forms", u"SensorNotRead"}).Text + u"\n" + file.u16string() + u": File too large";
  const std::string reason = rtl::Utf16ToUtf8(file.u16string() + u": File too large");
  const auto loggedTimes = [&] {
    const std::string log = LogText();
    size_t count = 0;
    for (size_t at = log.find(reason); at != std::string::npos; at = log.find(reason, at + 1)) ++count;
    return count;
  };

  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, rtl::Utf16ToUtf8(File("job.daqsession")));
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, told, 1));
  Window->bSession->Click();
  ASSERT_EQ(script.Pending(), 0u);  // a message left waiting would hold the set-up dialog open
  // The session's own record of the sensor stands in for the file.
  EXPECT_EQ(Core->VibSensorA.Name, u"Probe");
  EXPECT_EQ(Core->VibSensorA.Sensitivity, 100);
  EXPECT_EQ(loggedTimes(), 1u);

  Core->VibSensorA.Name = probe.Name;
  Window->SetupPage = cpSensors;
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, told, 1));
  script.ExpectAction(gui::dkModalForm, [&](const gui::TDialogRequest& r) {
    auto* dialog = dynamic_cast<TfConfig*>(r.Form);
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return std::optional<gui::TDialogAnswer>();
    script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, told, 1));
    script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& list) {
      auto* database = dynamic_cast<TfSelectSensor*>(list.Form);
      EXPECT_NE(database, nullptr);
      if (database) {
        EXPECT_TRUE(database->SensorList().empty());
        database->bClose->Click();
      }
      return std::optional<gui::TDialogAnswer>();
    });
    dialog->bSensorBase->Click();
    dialog->bCancel->Click();
    return std::optional<gui::TDialogAnswer>();
  });
  Window->bSetup->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(loggedTimes(), 3u);
  EXPECT_TRUE(Core->SensorFailures.empty());
}

// --- option menus -------------------------------------------------------------------

TEST_F(Commands, SpeedUnitMenuMarksTheCurrentUnitAndRefreshesEvenWhenDismissed) {
  Core->SpeedDisplayMode = 1;
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkPopupMenu, MenuAnswer(1, [](const gui::TPopupMenu& menu) {
                        ASSERT_EQ(menu.Items().size(), 2u);
                        EXPECT_EQ(menu.Items()[0].Text, u"rpm");
                        EXPECT_TRUE(menu.Items()[0].RadioCheck);
                        EXPECT_FALSE(menu.Items()[0].Flags & gui::MF_CHECKED);
                        EXPECT_TRUE(menu.Items()[1].Flags & gui::MF_CHECKED);
                      }));
  Window->bFreqUnit->Click();
  EXPECT_EQ(Core->SpeedDisplayMode, 0);
  const std::u16string rpm = Window->bFreqUnit->CaptionW();
  // Dismissed: the panel is still recomputed (here after a change behind
  // the window's back).
  Core->SpeedDisplayMode = 1;
  script.Expect(gui::dkPopupMenu, 0);
  Window->bFreqUnit->Click();
  EXPECT_NE(Window->bFreqUnit->CaptionW(), rpm);
}

TEST_F(Commands, DirectionAndCorrectionMassMenus) {
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkPopupMenu, MenuAnswer(2, [](const gui::TPopupMenu& menu) {
                        EXPECT_EQ(menu.Items()[0].Text, Forms(u"Right"));
                        EXPECT_EQ(menu.Items()[1].Text, Forms(u"Left"));
                        EXPECT_TRUE(menu.Items()[0].Flags & gui::MF_CHECKED);
                      }));
  Window->bDirValue->Click();
  EXPECT_EQ(Core->RotationDir, 1);
  EXPECT_EQ(Window->bDirValue->CaptionW(), Forms(u"Left"));
  Core->MassAdd = 1;
  script.ExpectAction(gui::dkPopupMenu, MenuAnswer(2, [](const gui::TPopupMenu& menu) {
                        EXPECT_EQ(menu.Items()[0].Text, Forms(u"AddMass"));
                        EXPECT_TRUE(menu.Items()[0].Flags & gui::MF_CHECKED);
                      }));
  Window->bCorrectionMassValueClick(Window->bCorrectionMassValue);
  EXPECT_EQ(Core->MassAdd, 0);
  EXPECT_EQ(script.Pending(), 0u);
}

TEST_F(Commands, AmplitudeUnitMenuDismissedChangesAndRepaintsNothing) {
  Core->AmplDisplayMode = admAcceleration;
  Window->RefreshResults();
  const std::u16string unit = Window->bAmplUnit1D->CaptionW();
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkPopupMenu, MenuAnswer(0, [](const gui::TPopupMenu& menu) {
                        ASSERT_EQ(menu.Items().size(), 4u);
                        EXPECT_EQ(menu.Items()[0].Text, u" mV");
                        EXPECT_EQ(menu.Items()[3].Text, u" µm");
                        EXPECT_TRUE(menu.Items()[3].Flags & gui::MF_CHECKED);
                      }));
  Core->AmplDisplayMode = admDisplacement;  // behind the window's back
  Window->bAmplUnit1D->Click();
  EXPECT_EQ(Window->bAmplUnit1D->CaptionW(), unit);
  // The weight label B of the one-plane panel opens the same menu.
  auto* label = dynamic_cast<gui::TControl*>(Window->FindComponent("leGWBMassBD"));
  ASSERT_NE(label, nullptr);
  script.Expect(gui::dkPopupMenu, 0);
  ASSERT_TRUE(label->OnClick);
  label->OnClick(label);
  EXPECT_EQ(script.Pending(), 0u);
  script.Expect(gui::dkPopupMenu, 3);
  Window->bAmplUnit1D->Click();
  EXPECT_EQ(Core->AmplDisplayMode, admVelocity);
  EXPECT_NE(Window->bAmplUnit1D->CaptionW(), unit);
}

TEST_F(Commands, ResultTableAndTotalMassMenus) {
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkPopupMenu, MenuAnswer(2, [](const gui::TPopupMenu& menu) {
                        EXPECT_EQ(menu.Items()[0].Text, Forms(u"Mass") + u" / " + Forms(u"Angle"));
                        EXPECT_EQ(menu.Items()[1].Text, Forms(u"Vibration") + u" / " + Forms(u"Phase"));
                        EXPECT_TRUE(menu.Items()[0].Flags & gui::MF_CHECKED);
                      }));
  Window->bMassTClick(Window->bMass1T);
  EXPECT_EQ(Window->TrimShowsVibration, 1);
  // The total-mass menu opens only on its enabled button, and marks nothing.
  Window->bTotalMass->SetEnabled(false);
  Window->bTotalMassClick(Window->bTotalMass);
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  Window->bTotalMass->SetEnabled(true);
  script.ExpectAction(gui::dkPopupMenu, MenuAnswer(1, [](const gui::TPopupMenu& menu) {
                        EXPECT_EQ(menu.Items()[0].Text, Forms(u"Enable"));
                        EXPECT_EQ(menu.Items()[1].Text, Forms(u"Disable"));
                        for (const gui::TMenuItemInfo& item : menu.Items()) EXPECT_FALSE(item.Flags & gui::MF_CHECKED);
                      }));
  Window->bTotalMassClick(Window->bTotalMass);
  EXPECT_EQ(Window->ShowTotalMass, 1);
}

TEST_F(Commands, HelpMenuOpensTheAboutBoxAndWithoutAHelpFileSaysSo) {
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkPopupMenu, MenuAnswer(hmAbout, [](const gui::TPopupMenu& menu) {
                        ASSERT_EQ(menu.Items().size(), 3u);
                        EXPECT_TRUE(menu.Items()[1].Separator());
                        EXPECT_EQ(menu.Items()[2].Text, Forms(u"About"));
                      }));
  script.ExpectAction(gui::dkModalForm, [](const gui::TDialogRequest& r) {
    EXPECT_NE(dynamic_cast<TfInfo*>(r.Form), nullptr);
    return std::optional<gui::TDialogAnswer>(gui::TDialogAnswer{gui::mrOk, {}});
  });
  Window->bHelp->Click();
  EXPECT_EQ(script.Pending(), 0u);
  // The shipped English file names no help document: the box says so and
  // names the README.
  const std::u16string none = Forms(u"NoHelpDocument");
  EXPECT_NE(none.find(u"README.md"), std::u16string::npos);
  script.Expect(gui::dkPopupMenu, hmHelp);
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkInformation, none, gui::mrOk));
  Window->bHelp->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
}

TEST_F(Commands, HelpItemOpensTheDocumentOfTheLanguage) {
  // The English texts, with a help document named.
  const std::u16string path = File("Help.xml");
  fs::copy_file(ZELTO_LANGUAGE_FILE, Folder / "Help.xml");
  {
    XmlIniFile document;
    ASSERT_TRUE(document.Open(path, u"Language", true));
    document.WriteString(u"Help", u"File", u"manual.pdf");
    ASSERT_TRUE(document.Save());
  }
  TLanguageService language;
  language.Open(path);
  TLanguageService* shipped = LanguageService();
  SetLanguageService(&language);
  Core->ProgramDir = rtl::Utf8ToUtf16(Folder.string()) + u"/";
  const fs::path manual = Folder / "Help" / "manual.pdf";
  // Named but not installed: the user is told so.
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, hmHelp);
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkInformation, Forms(u"NoHelpDocument"), gui::mrOk));
  Window->bHelp->Click();
  EXPECT_EQ(script.Pending(), 0u);
  fs::create_directories(manual.parent_path());
  std::ofstream(manual) << "manual";
  script.Expect(gui::dkPopupMenu, hmHelp);
  script.Expect(gui::dkShellOpen, 1);
  Window->bHelp->Click();
  SetLanguageService(shipped);
  ASSERT_EQ(script.Requests().size(), 4u);
  EXPECT_EQ(script.Requests()[3].FileName, manual.string());
  EXPECT_TRUE(script.Unexpected().empty());
}

// --- keys ------------------------------------------------------------------------------

TEST_F(Commands, CtrlKeysOpenTheSessionAndUnitMenusAtTheirConditions) {
  gui::TVirtualKey key = 'S';
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkPopupMenu, MenuAnswer(0, [](const gui::TPopupMenu& menu) {
                        EXPECT_EQ(menu.FindItem(smNewSession)->Text, Forms(u"NewSession"));
                      }));
  Window->FormKeyDown(Window, key, gui::ssCtrl);
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_EQ(key, 'S');  // the key goes on to the focused control
  Window->bSession->SetEnabled(false);
  Window->FormKeyDown(Window, key, gui::ssCtrl);
  // Ctrl+U at the correction step does nothing; before it opens the units.
  Core->BalancingStep = 3;
  key = 'U';
  Window->FormKeyDown(Window, key, gui::ssCtrl | gui::ssShift);
  EXPECT_TRUE(script.Unexpected().empty());
  Core->BalancingStep = 1;
  script.ExpectAction(gui::dkPopupMenu,
                      MenuAnswer(0, [](const gui::TPopupMenu& menu) { EXPECT_EQ(menu.Items()[0].Text, u" mV"); }));
  Window->FormKeyDown(Window, key, gui::ssCtrl);
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
}

TEST_F(Commands, ZoomKeysZoomThePlaneDiagrams) {
  ASSERT_FLOAT_EQ(Window->PlaneZoom, 0.5f);
  const auto press = [this](gui::TVirtualKey key) { Window->FormKeyDown(Window, key, gui::ssCtrl); };
  press('I');
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 1.0f);
  press('O');
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 0.5f);
  press('A');
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 1.0f);
  press('P');
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 0.5f);
  press('P');
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 1.0f);
  // Through the window's own key handling.
  gui::SimKey(Window, 'I', 0, gui::ssCtrl);
  EXPECT_FLOAT_EQ(Window->PlaneZoom, 1.5f);
}

TEST_F(Commands, ViewKeysRunWhatTheButtonsRun) {
  std::vector<std::string> clicked;
  for (TBitmapButton* b : {Window->bOscilloscope, Window->bSpectrum})
    b->OnClick = [&clicked](gui::TComponent* sender) { clicked.push_back(sender->Name()); };
  for (gui::TVirtualKey key : {'A', 'F'}) Window->FormKeyDown(Window, key, 0);
  EXPECT_EQ(clicked, (std::vector<std::string>{"bOscilloscope", "bSpectrum"}));
  // Ctrl+Tab with neither view visible does nothing; a disabled button's
  // key does nothing.
  clicked.clear();
  gui::TVirtualKey tab = gui::VK_TAB;
  Window->FormKeyDown(Window, tab, gui::ssCtrl);
  Window->bSpectrum->SetEnabled(false);
  gui::TVirtualKey f = 'F';
  Window->FormKeyDown(Window, f, 0);
  EXPECT_TRUE(clicked.empty());
}

// --- set-up -----------------------------------------------------------------------------

namespace {

// Checks the page the set-up dialog starts on and cancels it.
gui::TAnswerScript::TAction CancelSetup(int page) {
  return [page](const gui::TDialogRequest& r) {
    auto* dialog = dynamic_cast<TfConfig*>(r.Form);
    EXPECT_NE(dialog, nullptr);
    if (dialog) {
      EXPECT_EQ(dialog->lbMenu->ItemIndex(), page);
      dialog->bCancel->Click();
    }
    return std::optional<gui::TDialogAnswer>();
  };
}

}  // namespace

TEST_F(Commands, SetupOpensTheDialogThenSavesTheSession) {
  Window->SetupPage = cpRotor;
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, CancelSetup(cpRotor));
  Window->bSetup->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(fs::exists(rtl::NativePath(Core->AutoSessionFile)));
  // The key S, and the control-mass button on its own page.
  script.ExpectAction(gui::dkModalForm, CancelSetup(cpRotor));
  gui::TVirtualKey s = 'S';
  Window->FormKeyDown(Window, s, 0);
  Window->bCtrlMassValue->SetEnabled(true);
  script.ExpectAction(gui::dkModalForm, CancelSetup(cpControlMass));
  Window->bCtrlMassValue->Click();
  EXPECT_EQ(script.Pending(), 0u);
  // Not while the set-up command is barred.
  Window->bSetup->SetEnabled(false);
  Window->bCtrlMassValue->Click();
  EXPECT_TRUE(script.Unexpected().empty());
}

// --- language keys ------------------------------------------------------------------

// Every key of the report, the session menu and the other menus is in the
// shipped English file, and its key index lists each: the report's under
// its own heading, exactly; the menus' among the workspace's.
TEST(CommandTexts, EveryKeyIsInTheEnglishFileAndItsIndex) {
  XmlIniFile document;
  ASSERT_TRUE(document.Open(u"" ZELTO_LANGUAGE_FILE, u"Language", true));
  std::vector<TTextKey> keys(ReportLangKeys.begin(), ReportLangKeys.end());
  keys.insert(keys.end(), SessionLangKeys.begin(), SessionLangKeys.end());
  keys.insert(keys.end(), MenuLangKeys.begin(), MenuLangKeys.end());
  for (const TTextKey& key : keys) {
    if (key.Section == u"Help") continue;  // no help document is shipped yet
    EXPECT_NE(document.ReadString(key.Section, key.Key, u"###"), u"###") << Narrow(key.Key);
  }
  std::ifstream in(fs::path(ZELTO_LANG_SOURCE_DIR) / "English.xml", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  TLangSource source;
  std::string error;
  ASSERT_TRUE(ParseLangSource(bytes.str(), source, error)) << error;
  std::set<std::u16string> report, workspace;
  for (const TLangUse& use : ReadLangIndex(source)) {
    if (use.Window == "TfBalancing report") report.insert(use.Section + u"/" + use.Key);
    if (use.Window == "TfBalancing") workspace.insert(use.Section + u"/" + use.Key);
  }
  std::set<std::u16string> expected;
  for (const TTextKey& key : ReportLangKeys)
    expected.insert(std::u16string(key.Section) + u"/" + std::u16string(key.Key));
  EXPECT_EQ(report, expected);
  for (const TTextKey& key : SessionLangKeys)
    EXPECT_TRUE(workspace.count(u"Forms/" + std::u16string(key.Key))) << Narrow(key.Key);
  for (const TTextKey& key : MenuLangKeys) {
    if (key.Section == u"Forms") {
      EXPECT_TRUE(workspace.count(u"Forms/" + std::u16string(key.Key))) << Narrow(key.Key);
    }
  }
}

int main(int argc, char** argv) {
  // ctest lists the tests without the environment it runs them with.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  gui::TApplication application(argc, argv);
  TLanguageService language;
  language.Open(u"" ZELTO_LANGUAGE_FILE);
  SetLanguageService(&language);
  const int result = RUN_ALL_TESTS();
  SetLanguageService(nullptr);
  return result;
}
