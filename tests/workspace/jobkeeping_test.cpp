// The workspace never loses a measured job or replaces a run unasked,
// through the window with scripted answers: a session that fails to open
// or restore leaves the job and the automatic pair as they were; Start asks
// about the run it will really capture; the two-/three-weight positions
// come back the same after a restart or an open.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "answerhook.h"
#include "capturethreads.h"
#include "folders.h"
#include "formbalancing.h"
#include "formlog.h"
#include "formmessage.h"
#include "formtimegraph.h"
#include "jobguard.h"
#include "jobsnapshot.h"
#include "labelex.h"
#include "messageanswer.h"
#include "languageservice.h"
#include "polardiagram.h"
#include "sessioncommands.h"
#include "sessionmenuscript.h"
#include "textconv.h"
#include "wallclock.h"
#include "windowfixture.h"
#include "xmlinifile.h"
#include "zelto.h"

namespace {

namespace fs = std::filesystem;

std::string Bytes(const std::u16string& path) {
  std::ifstream in(rtl::NativePath(path), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The text of a box of `kind`, answered with its button: an error box for
// what failed, a warning note for what a save that went on found.
void ExpectBox(gui::TAnswerScript& script, std::u16string& told, TMessageKind kind) {
  script.ExpectAction(gui::dkModalForm, [&told, kind](const gui::TDialogRequest& r) {
    auto* box = dynamic_cast<TfMessage*>(r.Form);
    EXPECT_TRUE(box && box->Kind == kind);
    if (box) {
      told = box->MessageText;
      box->bButton1->Click();
    }
    return std::optional<gui::TDialogAnswer>();
  });
}

void ExpectErrorBox(gui::TAnswerScript& script, std::u16string& told) { ExpectBox(script, told, mkError); }
void ExpectNoticeBox(gui::TAnswerScript& script, std::u16string& told) { ExpectBox(script, told, mkWarningNote); }

// `told` is `heading`, then the names of a raw file and a document, which
// hold `data` and `session`; the document's name is returned.
std::string ExpectKeptPairNamed(const std::u16string& told, const std::u16string& heading, const std::string& session,
                                const std::string& data) {
  EXPECT_EQ(rtl::Utf16ToUtf8(told.substr(0, heading.size() + 1)), rtl::Utf16ToUtf8(heading + u"\n"));
  std::istringstream lines(rtl::Utf16ToUtf8(told.substr(std::min(told.size(), heading.size() + 1))));
  std::string keptData, keptSession;
  std::getline(lines, keptData);
  std::getline(lines, keptSession);
  EXPECT_TRUE(Bytes(rtl::Utf8ToUtf16(keptData)) == data) << keptData;
  EXPECT_TRUE(Bytes(rtl::Utf8ToUtf16(keptSession)) == session) << keptSession;
  return keptSession;
}

// `told` says the last session was moved aside and names its raw file and
// its document, which hold `data` and `session` as they were; the document's
// new name is returned.
std::string ExpectPairKeptAsideAsTold(const std::u16string& told, const std::string& session,
                                      const std::string& data) {
  return ExpectKeptPairNamed(told, KeptAsideTexts().Moved, session, data);
}

using testsupport::MessageAnswer;
using testsupport::ExpectOpenQuestion;
using testsupport::ExpectRestoreQuestion;
using testsupport::DamagedFileLine;
using testsupport::OpenDamagedSession;

// A weight marker of the plane diagram: its letter and where it is drawn.
struct TMarker {
  std::u16string Letter;
  int X = 0, Y = 0;
  friend bool operator==(const TMarker&, const TMarker&) = default;
};

class JobKeeping : public WorkspaceWindowTest {
 protected:
  void PrepareCore() override { Core->DeviceReady = 0; }

  // What the start-up does with the automatic pair.
  void RestartFromTheAutomaticPair() {
    StopProgram();
    StartProgram();
    ASSERT_EQ(Core->LoadSession(), TZelto::sfrDone);
    Window->ShowAfterStart(Core->BalancingStep);
  }

  void Measure(int run, double amplA, double phA) {
    MeasurementResult& r = Core->Results[run];
    r.Meas = {amplA, phA, 0, 0};
    r.Slots[0] = r.Meas;
    r.Freq = 25.0;
    r.Valid = 1;
    CaptureRecord& c = Core->Captures[run];
    c.DataA.assign(static_cast<size_t>(Core->BuffLength), 0);
    for (size_t i = 0; i < c.DataA.size(); ++i) c.DataA[i] = static_cast<int32_t>(1000 * std::sin(0.01 * i + run));
    c.T = 10;
    c.Start = 100;
    c.End = 4100;
  }

  // A one-plane job with runs 0 and 1 measured, at the trial run.
  // The trial runs saved as the automatic pair and held there (a move aside
  // fails, as at a start that could not move it); run 0 measured anew.
  struct THeldPair {
    std::string Session, Data;
    std::vector<fs::path> Blocks;
  };
  THeldPair HoldSavedJobAndMeasureAgain();

  void TrialRunsMeasured() {
    Core->VibSensorA = {u"Probe A", 100, stAcceleration, 2, 10000};
    Core->VibSensorB = {u"Probe B", 100, stAcceleration, 2, 10000};
    // The sensors of the job are in this PC's sensor list.
    for (const SensorInfo* sensor : {&Core->VibSensorA, &Core->VibSensorB})
      ASSERT_EQ(Core->SaveSensor(sensor->Name, *sensor, false), TZelto::ssrSaved);
    Core->Session = {{2024, 6, 1}, "Hall 2", "Jane Roe", "Acme", "Fan 7", "Impeller"};
    Measure(0, 200, 1.0);
    Measure(1, 300, 2.0);
    Core->BalancingStep = 1;
    Window->RefreshResults();
  }

  std::vector<std::u16string> Placements(const std::array<TValueRow, 3>& rows, size_t row) const {
    std::vector<std::u16string> texts;
    for (size_t slot = 3; slot < 6; ++slot) texts.push_back(rows[row].Slots[slot]->CaptionW());
    return texts;
  }

  // The weight markers the window's diagram draws for the current run.
  std::vector<TMarker> Markers() const {
    const TDiagramView view{Window->PlaneZoom, Window->ShowTotalMass, Window->TotalCorrection, Window->PanelSplit,
                            Window->ComputeGwbVectors()};
    std::vector<TMarker> markers;
    for (const TDrawOp& op : DiagramScene(*Core, view, 400, 300, 13))
      if (op.Kind == dkText && op.Font == frPositionLetter && !op.Points.empty())
        markers.push_back({op.Text, op.Points[0].x, op.Points[0].y});
    return markers;
  }
};

}  // namespace

// --- a failed open or restore -------------------------------------------------

// The job at run 3 is saved by Next; back at run 1 an open of a damaged
// file and a restore of a damaged automatic pair fail, and the job, the
// step and the trim table stay. Next and the shutdown's save then write
// exactly the pair of before.
TEST_F(JobKeeping, FailedOpenAndRestoreLeaveTheJobAndTheAutomaticPair) {
  TrialRunsMeasured();
  Window->bNext->Click();
  ASSERT_EQ(Core->BalancingStep, RunCorrection);
  const std::string session = Bytes(Core->AutoSessionFile);
  const std::string data = Bytes(Core->AutoDataFile);
  ASSERT_FALSE(data.empty());
  Window->bPrev->Click();
  ASSERT_EQ(Core->BalancingStep, RunTrialA);
  const TJobSnapshot before = TakeJobSnapshot(*Core);

  const fs::path broken = fs::path(Folder) / "broken.daqsession";
  std::ofstream(broken) << "<SessionFile><Other><Index value=\"zz";
  OpenDamagedSession(*Window, broken.string());
  EXPECT_EQ(Core->BalancingStep, RunTrialA);
  EXPECT_EQ(Core->HighestStep, RunCorrection);
  EXPECT_EQ(Core->Results[1].Meas.AmplA, 300);
  EXPECT_EQ(Core->Captures[1].DataA, before.Captures[1].DataA);
  EXPECT_EQ(Core->Session.Machine, "Fan 7");

  // Restore reads the automatic pair; damaged, it fails with its own text,
  // and the pair is moved aside as at the start, where the message says.
  { std::ofstream(rtl::NativePath(Core->AutoSessionFile), std::ios::binary) << "garbage"; }
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smRestoreSession);
  ExpectRestoreQuestion(script, gui::mrYes);
  std::u16string told;
  ExpectErrorBox(script, told);
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  const std::u16string why =
      u"Last session not restored. File error.\n" + DamagedFileLine(rtl::Utf16ToUtf8(Core->AutoSessionFile)) + u"\n";
  ASSERT_EQ(rtl::Utf16ToUtf8(told.substr(0, why.size())), rtl::Utf16ToUtf8(why));
  ExpectPairKeptAsideAsTold(told.substr(why.size()), "garbage", data);
  EXPECT_EQ(Core->BalancingStep, RunTrialA);
  EXPECT_EQ(Core->Results[0].Meas.PhA, 1.0);
  EXPECT_EQ(Core->SignalA, before.SignalA);
  EXPECT_TRUE(Window->bNext->Enabled());

  Window->bNext->Click();
  ASSERT_EQ(Core->BalancingStep, RunCorrection);
  EXPECT_EQ(Bytes(Core->AutoSessionFile), session);
  EXPECT_EQ(Bytes(Core->AutoDataFile), data);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);  // as at shutdown
  EXPECT_EQ(Bytes(Core->AutoSessionFile), session);
  EXPECT_EQ(Bytes(Core->AutoDataFile), data);
}

// A session another program made unreadable: a failed Open leaves what
// this program remembers of it as it was, so Save As onto it keeps it
// aside and says so in a warning rather than replacing it unasked. A failed Restore
// moves the automatic pair aside as the start does and names where it
// went; the job stays, and Next then saves it without a word.
TEST_F(JobKeeping, AFailedOpenOrRestoreLeavesTheUnloadablePairGuarded) {
  TrialRunsMeasured();
  const fs::path other = fs::path(Folder) / "other.daqsession";
  const std::u16string otherData = (fs::path(Folder) / "other.daqdata").u16string();
  ASSERT_EQ(Core->SaveSessionAs(other.u16string()), TZelto::sfrDone);
  const std::string damaged = "<SessionFile><Other><Index value=\"zz";
  std::ofstream(other, std::ios::binary) << damaged;
  const std::string samples = Bytes(otherData);
  OpenDamagedSession(*Window, other.string());

  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smSaveSession);
  script.Expect(gui::dkSaveDialog, 1, other.string());
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkQuestion, LangText({u"Forms", u"ReplaceSampleFile"}).Text + u"\n" + otherData,
                                    gui::mrYes));
  std::u16string told;
  ExpectNoticeBox(script, told);
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  ExpectKeptPairNamed(told, LangText({u"Forms", u"ChangedPairKeptAside"}).Text, damaged, samples);

  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string data = Bytes(Core->AutoDataFile);
  std::ofstream(rtl::NativePath(Core->AutoSessionFile), std::ios::binary) << damaged;
  script.Expect(gui::dkPopupMenu, smRestoreSession);
  ExpectRestoreQuestion(script, gui::mrYes);
  ExpectErrorBox(script, told);
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  const std::u16string why =
      u"Last session not restored. File error.\n" + DamagedFileLine(rtl::Utf16ToUtf8(Core->AutoSessionFile)) + u"\n";
  ASSERT_EQ(rtl::Utf16ToUtf8(told.substr(0, why.size())), rtl::Utf16ToUtf8(why));
  ExpectPairKeptAsideAsTold(told.substr(why.size()), damaged, data);
  EXPECT_EQ(Core->Results[1].Meas.AmplA, 300);
  Window->bNext->Click();
  EXPECT_TRUE(script.Unexpected().empty());
  TZelto reader;
  ASSERT_EQ(reader.LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(reader.Results[1].Meas.AmplA, 300);
}

// A session saved at a sampling rate this device does not list is refused,
// and the error box says why: read at another rate, its runs would show
// speeds and spectra they were not measured with. The job stays.
TEST_F(JobKeeping, OpeningASessionOfARateTheDeviceDoesNotListSaysSoAndKeepsTheJob) {
  TrialRunsMeasured();
  const int32_t rate = Core->SamplingRate;
  const std::string other = (fs::path(Folder) / "other.daqsession").string();
  ASSERT_EQ(Core->SaveSessionAs(rtl::Utf8ToUtf16(other)), TZelto::sfrDone);
  {
    XmlIniFile document;
    ASSERT_TRUE(document.Open(rtl::Utf8ToUtf16(other), u"SessionFile", true));
    document.WriteInteger(u"Options", u"SamplingRate", Core->DriverClockCount());
    // As a file written before the rate was kept in Hz: the position is
    // then the only record of it.
    document.WriteFloat(u"Options", u"SamplingFrequency", 0);
    ASSERT_TRUE(document.Save());
  }
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, other);
  ExpectOpenQuestion(script, gui::mrYes);
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkError,
                                    u"Couldn't open session file. File error.\n" + rtl::Utf8ToUtf16(other) + u": " +
                                        LangText({u"Forms", u"FileRateNotListed"}).Text,
                                    1));
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(Core->SamplingRate, rate);
  EXPECT_EQ(Core->BalancingStep, 1);
  EXPECT_EQ(Core->Results[1].Meas.AmplA, 300);
}

// Open and Restore over a measured job ask first; No changes neither the
// job nor the automatic pair.
TEST_F(JobKeeping, OpenAndRestoreOverAMeasuredJobAnsweredNoChangeNothing) {
  TrialRunsMeasured();
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::u16string other = rtl::Utf8ToUtf16((fs::path(Folder) / "other.daqsession").string());
  ASSERT_EQ(Core->SaveSessionAs(other), TZelto::sfrDone);
  Core->Results[1].Meas.AmplA = 310;  // measured since the last save
  const TJobSnapshot before = TakeJobSnapshot(*Core);
  const std::string session = Bytes(Core->AutoSessionFile);
  const std::string data = Bytes(Core->AutoDataFile);

  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, rtl::Utf16ToUtf8(other));
  ExpectOpenQuestion(script, gui::mrNo);
  Window->bSession->Click();
  script.Expect(gui::dkPopupMenu, smRestoreSession);
  ExpectRestoreQuestion(script, gui::mrNo);
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(Core->Results[1].Meas.AmplA, 310);
  EXPECT_EQ(Core->BalancingStep, before.BalancingStep);
  EXPECT_EQ(Core->Captures[1].DataA, before.Captures[1].DataA);
  EXPECT_EQ(Core->Session.Machine, "Fan 7");
  EXPECT_EQ(Bytes(Core->AutoSessionFile), session);
  EXPECT_EQ(Bytes(Core->AutoDataFile), data);
}

// Each command that replaces a measured job asks its own question, which
// names what goes: Open and Restore do not ask whether to start a new
// session. Answered No, the job stays.
TEST_F(JobKeeping, OpenAndRestoreOverAMeasuredJobAskTheirOwnQuestion) {
  TrialRunsMeasured();
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::u16string other = rtl::Utf8ToUtf16((fs::path(Folder) / "other.daqsession").string());
  ASSERT_EQ(Core->SaveSessionAs(other), TZelto::sfrDone);
  std::vector<std::u16string> asked;
  const auto answerNo = [&asked](const gui::TDialogRequest& r) {
    auto* box = dynamic_cast<TfMessage*>(r.Form);
    EXPECT_TRUE(box && box->Kind == mkQuestion);
    if (box) {
      asked.push_back(box->MessageText);
      box->bButton1->Click();
    }
    return std::optional<gui::TDialogAnswer>();
  };
  gui::TAnswerScript script;
  for (const int command : {smNewSession, smOpenSession, smRestoreSession}) {
    script.Expect(gui::dkPopupMenu, command);
    if (command == smOpenSession) script.Expect(gui::dkOpenDialog, 1, rtl::Utf16ToUtf8(other));
    script.ExpectAction(gui::dkModalForm, answerNo);
    Window->bSession->Click();
  }
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(rtl::Utf16ToUtf8(asked[0]),
            "All runs of the current session will be deleted.\nDo you want to start a new session?");
  EXPECT_EQ(rtl::Utf16ToUtf8(asked[1]),
            "Opening a session replaces the current session: all its runs and their measurements are deleted.\n"
            "Do you want to open the session?");
  EXPECT_EQ(rtl::Utf16ToUtf8(asked[2]),
            "Restoring the last session replaces all runs of the current session and their measurements with "
            "those last saved.\nDo you want to restore the last session?");
  EXPECT_EQ(Core->Results[1].Meas.AmplA, 300);
  EXPECT_EQ(Core->BalancingStep, RunTrialA);
}

// A session copied without its raw file opens with every run's values and
// without samples, and says so once.
TEST_F(JobKeeping, ASessionWithoutItsRawFileOpensWithItsValuesAndSaysSoOnce) {
  TrialRunsMeasured();
  Core->HighestStep = 1;
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const fs::path copy = fs::path(Folder) / "copied.daqsession";
  fs::copy_file(rtl::NativePath(Core->AutoSessionFile), copy);
  Core->ClearMeasurements();
  Window->RefreshResults();

  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, copy.string());
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkInformation, LangText({u"Forms", u"SamplesNotFound"}).Text, gui::mrOk));
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(Core->BalancingStep, 1);
  EXPECT_EQ(Core->Results[0].Meas.AmplA, 200);
  EXPECT_EQ(Core->Results[1].Meas.PhA, 2.0);
  EXPECT_TRUE(Core->Captures[1].DataA.empty());
}

// --- saves of the job -----------------------------------------------------------

// Save-as never makes a name's raw file the document itself, even where the
// two names differ and the file system makes them one file (a FAT stick
// ignores case; a hard link stands in for it here), and never replaces the
// raw file of another document unasked: No leaves every file as it was.
TEST_F(JobKeeping, SaveAsRefusesItsOwnRawFileAndAsksBeforeAnotherDocumentsOne) {
  TrialRunsMeasured();
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const fs::path pump = fs::path(Folder) / "pump.daqsession";
  ASSERT_EQ(Core->SaveSessionAs(pump.u16string()), TZelto::sfrDone);
  const std::u16string pumpData = (fs::path(Folder) / "pump.daqdata").u16string();
  const fs::path twin = fs::path(Folder) / "twin.daqsession";
  fs::copy_file(pump, twin);
  fs::create_hard_link(twin, fs::path(Folder) / "twin.daqdata");
  const fs::path loose = fs::path(Folder) / "loose.daqdata";
  std::ofstream(loose) << "samples of no document";
  const std::string session = Bytes(pump.u16string());
  const std::string data = Bytes(pumpData);
  const std::string twinBytes = Bytes(twin.u16string());
  gui::TAnswerScript script;
  for (const fs::path& oneFile : {fs::path(Folder) / "twin", twin}) {
    script.Expect(gui::dkPopupMenu, smSaveSession);
    script.Expect(gui::dkSaveDialog, 1, oneFile.string());
    script.ExpectAction(gui::dkModalForm,
                        MessageAnswer(mkError, LangText({u"Forms", u"SampleFileIsDocument"}).Text, gui::mrOk));
    Window->bSession->Click();
  }
  script.Expect(gui::dkPopupMenu, smSaveSession);
  script.Expect(gui::dkSaveDialog, 1, (fs::path(Folder) / "loose").string());
  const std::u16string question = LangText({u"Forms", u"ReplaceSampleFile"}).Text + u"\n" + loose.u16string();
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkQuestion, question, gui::mrNo));
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(Bytes(pump.u16string()), session);
  EXPECT_EQ(Bytes(pumpData), data);
  EXPECT_EQ(Bytes(twin.u16string()), twinBytes);
  EXPECT_EQ(fs::hard_link_count(twin), 2u);
  EXPECT_EQ(Bytes(loose.u16string()), "samples of no document");
  EXPECT_FALSE(fs::exists(fs::path(Folder) / "loose.daqsession"));
  TZelto reader;
  EXPECT_EQ(reader.LoadSession(pump.u16string()), TZelto::sfrDone);
  EXPECT_EQ(reader.LoadSession(twin.u16string()), TZelto::sfrDocumentFailed);
}

// A save of the job that fails is told the first time, and again only
// after a save that succeeded; the log has a line for every failure. The
// data folder here is a file, which stops any writer.
TEST_F(JobKeeping, AFailedSaveOfTheJobIsToldOnceUntilASaveSucceeds) {
  TfLog log(nullptr);
  Window->Log = &log;
  TrialRunsMeasured();
  Core->BalancingStep = 0;
  Window->RefreshResults();
  const std::u16string session = Core->AutoSessionFile, data = Core->AutoDataFile;
  const fs::path blocked = fs::path(Folder) / "blocked";
  std::ofstream(blocked) << "a file where the folder should be";
  const auto block = [&](bool on) {
    Core->AutoSessionFile = on ? (blocked / "!session.daqsession").u16string() : session;
    Core->AutoDataFile = on ? (blocked / "!session.daqdata").u16string() : data;
  };
  // The pair's lock can't be made: the folder it is in is a file.
  const auto toldOfTheFailure = [&](gui::TAnswerScript& script) {
    script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError,
                                                        LangText({u"Forms", u"SessionNotSaved"}).Text + u"\n" +
                                                            Core->AutoSessionFile + u": Not a directory",
                                                        gui::mrOk));
  };
  gui::TAnswerScript script;
  block(true);
  toldOfTheFailure(script);
  Window->bNext->Click();  // the trial run
  EXPECT_EQ(script.Pending(), 0u);
  Window->bNext->Click();  // the correction: failed again, told already
  EXPECT_TRUE(script.Unexpected().empty());
  block(false);
  Window->bPrev->Click();
  Window->bNext->Click();  // saved
  EXPECT_TRUE(fs::exists(rtl::NativePath(session)));
  block(true);
  toldOfTheFailure(script);
  Window->bPrev->Click();
  Window->bNext->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  const std::string logged = Bytes(log.LogPath);
  size_t lines = 0;
  for (size_t at = logged.find("Session not saved"); at != std::string::npos;
       at = logged.find("Session not saved", at + 1))
    ++lines;
  EXPECT_EQ(lines, 3u);
  Window->Log = nullptr;
}

namespace {

// Files no larger than this many bytes, as on a full disk: a larger write
// fails (EFBIG) instead of stopping the process.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &Before);
    SignalBefore = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, Before.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &Before);
    std::signal(SIGXFSZ, SignalBefore);
  }

 private:
  rlimit Before{};
  void (*SignalBefore)(int) = SIG_DFL;
};

// What the folder-sync stand-in below removes, and when: the files whose
// names begin with `Prefix`, once the automatic document no longer holds
// `Until` (the new document is in place); at once when `Until` is empty.
struct TLostFile {
  std::string Folder, Prefix, Until;
};
TLostFile LostFile;

// Stands in for a share unplugged in the middle of a save: a file of the
// save is gone when the next step needs it.
void LoseFileAtFolderSync(const std::string&) {
  if (!LostFile.Until.empty() &&
      Bytes(rtl::Utf8ToUtf16(LostFile.Folder + "/!session.daqsession")) == LostFile.Until)
    return;
  for (const auto& entry : fs::directory_iterator(LostFile.Folder))
    if (entry.path().filename().string().rfind(LostFile.Prefix, 0) == 0) fs::remove(entry.path());
}

struct TFolderSyncStandIn {
  explicit TFolderSyncStandIn(TLostFile lost) {
    LostFile = std::move(lost);
    rtl::SetFolderSyncObserver(LoseFileAtFolderSync);
  }
  ~TFolderSyncStandIn() { rtl::SetFolderSyncObserver(nullptr); }
};

}  // namespace

// Another program wrote the automatic pair since this one saved it. A save
// that fails before its document is in place (the disk full; the new
// document lost on the way, as on a share unplugged) leaves that program's
// pair in place byte for byte, under no other name, with no pending file,
// and tells only its own failure. The save that succeeds keeps that pair
// aside and says the job was saved in its place; one that fails once its
// document is in place names the kept pair without saying so. The kept
// pair is told in a warning, its failure in an error.
TEST_F(JobKeeping, AKeepAsideSaveThatFailsLeavesTheOtherProgramsPairAndSaysSavedOnlyWhenSaved) {
  TrialRunsMeasured();
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string folder = fs::path(rtl::NativePath(Core->AutoSessionFile)).parent_path().string();
  const auto anotherProgramSaves = [this](double amplitude) {
    TZelto other;
    other.BuffLength = Core->BuffLength;
    EXPECT_EQ(other.LoadSession(), TZelto::sfrDone);
    other.Results[0].Meas.AmplA = amplitude;
    EXPECT_EQ(other.SaveSession(), TZelto::sfrDone);
  };
  anotherProgramSaves(700);
  const std::string session = Bytes(Core->AutoSessionFile), data = Bytes(Core->AutoDataFile);
  const auto expectTheOtherPairInPlaceAlone = [&] {
    EXPECT_TRUE(Bytes(Core->AutoSessionFile) == session);
    EXPECT_TRUE(Bytes(Core->AutoDataFile) == data);
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      EXPECT_EQ(name.find("(changed elsewhere"), std::string::npos) << name;
      EXPECT_EQ(name.find(".pending"), std::string::npos) << name;
    }
  };
  ASSERT_GT(data.size(), 1024u);

  gui::TAnswerScript script;
  std::u16string told;
  ExpectErrorBox(script, told);
  {
    const TFileSizeLimit full(1024);
    Window->bNext->Click();
  }
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_EQ(told, LangText({u"Forms", u"SessionNotSaved"}).Text + u"\n" + Core->AutoDataFile + u": File too large");
  expectTheOtherPairInPlaceAlone();
  {
    // Told once already: this failure is only logged.
    const TFolderSyncStandIn unplugged({folder, "!session.daqsession.tmp", ""});
    Window->bPrev->Click();
    Window->bNext->Click();
  }
  EXPECT_TRUE(script.Unexpected().empty());
  expectTheOtherPairInPlaceAlone();

  ExpectNoticeBox(script, told);
  Window->bPrev->Click();
  Window->bNext->Click();
  EXPECT_EQ(script.Pending(), 0u);
  ExpectKeptPairNamed(told, LangText({u"Forms", u"ChangedPairKeptAside"}).Text, session, data);
  TZelto reader;
  ASSERT_EQ(reader.LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(reader.Results[0].Meas.AmplA, 200);

  anotherProgramSaves(800);
  const std::string otherSession = Bytes(Core->AutoSessionFile), otherData = Bytes(Core->AutoDataFile);
  std::u16string failure;
  ExpectNoticeBox(script, told);
  ExpectErrorBox(script, failure);
  {
    const TFolderSyncStandIn unplugged({folder, "!session.daqdata.pending", otherSession});
    Window->bPrev->Click();
    Window->bNext->Click();
  }
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  ExpectKeptPairNamed(told, LangText({u"Forms", u"ChangedPairKeptAsideNotSaved"}).Text, otherSession, otherData);
  EXPECT_EQ(failure.rfind(LangText({u"Forms", u"SessionNotSaved"}).Text + u"\n", 0), 0u);
}

// With a data folder that takes no save (a file stands where it should
// be), save-as still puts the job in memory onto a disk that takes it: the
// chosen pair holds, byte for byte, what the automatic pair holds once the
// data folder takes saves again, and the failed automatic save is told.
TEST_F(JobKeeping, SaveAsFromADataFolderThatTakesNoSaveStoresTheJob) {
  TrialRunsMeasured();
  const std::u16string session = Core->AutoSessionFile, data = Core->AutoDataFile;
  const fs::path blocked = fs::path(Folder) / "blocked";
  std::ofstream(blocked) << "a file where the folder should be";
  Core->AutoSessionFile = (blocked / "!session.daqsession").u16string();
  Core->AutoDataFile = (blocked / "!session.daqdata").u16string();
  const fs::path rescued = fs::path(Folder) / "rescued.daqsession";
  const fs::path rescuedData = fs::path(Folder) / "rescued.daqdata";
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smSaveSession);
  script.Expect(gui::dkSaveDialog, 1, (fs::path(Folder) / "rescued").string());
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkError,
                                    LangText({u"Forms", u"SessionNotSaved"}).Text + u"\n" +
                                        (blocked / "!session.daqsession").u16string() + u": Not a directory",
                                    gui::mrOk));
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  Core->AutoSessionFile = session;
  Core->AutoDataFile = data;
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  EXPECT_EQ(Bytes(rescued.u16string()), Bytes(session));
  EXPECT_EQ(Bytes(rescuedData.u16string()), Bytes(data));
  TZelto reader;
  ASSERT_EQ(reader.LoadSession(rescued.u16string()), TZelto::sfrDone);
  EXPECT_EQ(reader.Results[0].Meas.AmplA, 200);
  EXPECT_EQ(reader.Captures[0].DataA, Core->Captures[0].DataA);
}

// Folders under the names the automatic raw file would be kept aside under
// in the next two minutes: a move onto them fails, as in a folder that can't
// be written (the tests may run with every permission).
std::vector<fs::path> BlockKeptAsideNames(const std::u16string& raw) {
  const fs::path path = rtl::NativePath(raw);
  std::vector<fs::path> blocks;
  const std::time_t now = std::time(nullptr);
  for (std::time_t t = now - 2; t <= now + 120; ++t) {
    std::tm local{};
    localtime_r(&t, &local);
    char tag[64];
    std::strftime(tag, sizeof tag, " (not restored %Y-%m-%d %H-%M-%S)", &local);
    blocks.push_back(path.parent_path() / (path.stem().string() + tag + path.extension().string()));
    fs::create_directory(blocks.back());
  }
  return blocks;
}

JobKeeping::THeldPair JobKeeping::HoldSavedJobAndMeasureAgain() {
  TrialRunsMeasured();
  Core->HighestStep = 1;
  EXPECT_EQ(Core->SaveSession(), TZelto::sfrDone);
  THeldPair held{Bytes(Core->AutoSessionFile), Bytes(Core->AutoDataFile), BlockKeptAsideNames(Core->AutoDataFile)};
  EXPECT_FALSE(KeepAutomaticPairAside(*Core, LocalWallTime()).Moved);
  Core->ClearMeasurements();
  Measure(0, 50, 0.5);
  return held;
}

// A last session the start could not move aside is held: Next saves nothing
// over it and says so while it still can't be moved, and once the folder
// lets it move, Next moves it aside, names where it went (a warning: the
// save went on) and saves the job beside it. The long job of before is intact under the names told.
TEST_F(JobKeeping, AHeldLastSessionSurvivesNextUntilItIsMovedAside) {
  const auto [session, data, blocks] = HoldSavedJobAndMeasureAgain();
  ASSERT_FALSE(HasFailure());
  Window->RefreshResults();

  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, KeptAsideTexts().NotMoved, gui::mrOk));
  Window->bNext->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(Bytes(Core->AutoSessionFile) == session) << "the document was saved over";
  EXPECT_TRUE(Bytes(Core->AutoDataFile) == data) << "the raw file was saved over";

  for (const fs::path& block : blocks) fs::remove(block);
  std::u16string told;
  ExpectNoticeBox(script, told);
  Window->bPrev->Click();
  Window->bNext->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  ExpectPairKeptAsideAsTold(told, session, data);
  EXPECT_FALSE(Core->AutomaticPairHeld);
  TZelto reader;
  ASSERT_EQ(reader.LoadSession(), TZelto::sfrDone);
  EXPECT_EQ(reader.Results[0].Meas.AmplA, 50);
  EXPECT_EQ(reader.Results[1].Meas.AmplA, 0);
}

// Save As that names the held last session itself is a save of the
// automatic pair: it saves nothing over the pair and says so, every time.
// Once the pair can move, Save As under another name stores the job there,
// moves the held pair aside and names where it went.
TEST_F(JobKeeping, SaveAsOntoAHeldLastSessionSavesNothingOverIt) {
  const auto [session, data, blocks] = HoldSavedJobAndMeasureAgain();
  ASSERT_FALSE(HasFailure());
  Window->RefreshResults();

  gui::TAnswerScript script;
  for (int attempt = 0; attempt < 2; ++attempt) {
    script.Expect(gui::dkPopupMenu, smSaveSession);
    script.Expect(gui::dkSaveDialog, 1, rtl::Utf16ToUtf8(Core->AutoSessionFile));
    script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, KeptAsideTexts().NotMoved, gui::mrOk));
    Window->bSession->Click();
    EXPECT_EQ(script.Pending(), 0u) << attempt;
    EXPECT_TRUE(Bytes(Core->AutoSessionFile) == session) << "the document was saved over";
    EXPECT_TRUE(Bytes(Core->AutoDataFile) == data) << "the raw file was saved over";
  }
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_TRUE(Core->AutomaticPairHeld);

  for (const fs::path& block : blocks) fs::remove(block);
  TfLog log(nullptr);
  Window->Log = &log;
  const fs::path chosen = fs::path(Folder) / "rescued.daqsession";
  std::u16string told;
  script.Expect(gui::dkPopupMenu, smSaveSession);
  script.Expect(gui::dkSaveDialog, 1, chosen.string());
  ExpectNoticeBox(script, told);
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  const std::string keptSession = ExpectPairKeptAsideAsTold(told, session, data);
  EXPECT_NE(Bytes(log.LogPath).find(keptSession), std::string::npos);
  Window->Log = nullptr;
  EXPECT_FALSE(Core->AutomaticPairHeld);
  for (const std::u16string& stored : {chosen.u16string(), std::u16string()}) {
    TZelto reader;
    ASSERT_EQ(reader.LoadSession(stored), TZelto::sfrDone);
    EXPECT_EQ(reader.Results[0].Meas.AmplA, 50);
  }
}

// --- a job that is not saved ------------------------------------------------------

// A folder whose file system is full: a small file system in memory when
// this process may mount one (as root), filled up to a few kilobytes. Where
// it may not, a file stands where the folder should be, which stops every
// save as well.
class TFullFolder {
 public:
  explicit TFullFolder(const fs::path& path) : Path(path) {
    fs::create_directory(Path);
    Mounted = ::mount("tmpfs", Path.c_str(), "tmpfs", 0, "size=700k") == 0;
    if (!Mounted) {
      fs::remove(Path);
      std::ofstream(Path) << "a file where the folder should be";
      return;
    }
    // Filled up with one block after another until the file system refuses.
    std::ofstream filler(Path / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), block.size())) filler.flush();
  }
  ~TFullFolder() {
    if (Mounted) ::umount2(Path.c_str(), MNT_DETACH);
  }
  fs::path Path;
  bool Mounted = false;
};

// The unsaved mark after the device's caption.
std::u16string UnsavedMark() { return u" - " + LangText({u"Forms", u"SessionNotSavedMark"}).Text; }

bool CaptionMarked(const TfBalancing& window) {
  const std::u16string caption = window.leCaption->CaptionW();
  return caption.size() > UnsavedMark().size() &&
         caption.compare(caption.size() - UnsavedMark().size(), UnsavedMark().size(), UnsavedMark()) == 0;
}

// The close question of a job that is not saved, answered Yes (Save As)
// or No (back to the program).
void ExpectUnsavedCloseQuestion(gui::TAnswerScript& script, int answer) {
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkWarning, LangText({u"Forms", u"ExitSessionNotSaved"}).Text, answer));
}

// A data folder that takes no save (its file system is full): the first
// failure is told, and from then on the caption marks the job unsaved,
// through later failures that are only logged and a step back. The close
// says the job is not saved: No keeps the program open; Yes runs Save As,
// which stores the job byte for byte as the data folder would have, and
// the close goes on. A Save As given up asks once more before the job is
// lost.
TEST_F(JobKeeping, AJobAFullFolderTakesNoSaveOfStaysMarkedAndTheCloseOffersSaveAs) {
  TfLog log(nullptr);
  Window->Log = &log;
  TrialRunsMeasured();
  Core->BalancingStep = 0;
  Window->RefreshResults();
  const std::u16string session = Core->AutoSessionFile, data = Core->AutoDataFile;
  const TFullFolder full(fs::path(Folder) / "full");
  Core->AutoSessionFile = (full.Path / "!session.daqsession").u16string();
  Core->AutoDataFile = (full.Path / "!session.daqdata").u16string();
  EXPECT_FALSE(CaptionMarked(*Window));

  gui::TAnswerScript script;
  std::u16string told;
  ExpectErrorBox(script, told);
  Window->bNext->Click();  // the trial run
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_EQ(told.rfind(LangText({u"Forms", u"SessionNotSaved"}).Text + u"\n", 0), 0u);
  if (full.Mounted) {
    EXPECT_NE(told.find(u": No space left on device"), std::u16string::npos) << rtl::Utf16ToUtf8(told);
  }
  EXPECT_TRUE(CaptionMarked(*Window));
  Window->bNext->Click();  // the correction: failed again, told already
  Window->bPrev->Click();
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_TRUE(CaptionMarked(*Window));

  // The close goes on as far as taking the views down; the oscilloscope
  // shows whether it did.
  Window->bOscilloscope->Click();
  ASSERT_NE(fTimeGraph, nullptr);
  ExpectUnsavedCloseQuestion(script, gui::mrNo);
  Window->Close();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_NE(fTimeGraph, nullptr);
  EXPECT_TRUE(CaptionMarked(*Window));

  // Save As given up: the last question's No keeps the program open.
  ExpectUnsavedCloseQuestion(script, gui::mrYes);
  script.Expect(gui::dkSaveDialog, 0);
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkWarning, LangText({u"Forms", u"ExitWithoutSaving"}).Text, gui::mrNo));
  Window->Close();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_NE(fTimeGraph, nullptr);
  EXPECT_TRUE(CaptionMarked(*Window));

  const fs::path rescued = fs::path(Folder) / "rescued";
  ExpectUnsavedCloseQuestion(script, gui::mrYes);
  script.Expect(gui::dkSaveDialog, 1, rescued.string());
  Window->Close();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(fTimeGraph, nullptr);
  EXPECT_FALSE(CaptionMarked(*Window));
  // Should the shutdown's save fail too, it names where the job is kept.
  EXPECT_EQ(ShutdownNotSavedText(*Core).rfind(LangText({u"Forms", u"SessionKeptInChosenFile"}).Text + u"\n" +
                                                  rescued.u16string(), 0),
            0u)
      << rtl::Utf16ToUtf8(ShutdownNotSavedText(*Core));
  Core->AutoSessionFile = session;
  Core->AutoDataFile = data;
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  EXPECT_TRUE(Bytes(rescued.u16string() + u".daqsession") == Bytes(session));
  EXPECT_TRUE(Bytes(rescued.u16string() + u".daqdata") == Bytes(data));
  Window->Log = nullptr;
}

// While the job is marked unsaved its error line says why the last save
// failed, in the workspace and in the views, as the caption marks it; the
// save that succeeds clears both.
TEST_F(JobKeeping, TheErrorLineSaysWhyTheJobIsNotSavedUntilASaveSucceeds) {
  TrialRunsMeasured();
  Core->BalancingStep = 0;
  Window->RefreshResults();
  const fs::path blocked = fs::path(Folder) / "blocked";
  fs::create_directories(blocked / "!session.daqsession");  // a folder in the document's place
  Core->AutoSessionFile = (blocked / "!session.daqsession").u16string();
  Core->AutoDataFile = (blocked / "!session.daqdata").u16string();
  Window->bOscilloscope->Click();
  ASSERT_NE(fTimeGraph, nullptr);
  const std::u16string noError = LangText({u"Forms", u"NoError"}).Text;
  EXPECT_EQ(Window->leError->CaptionW(), noError);

  gui::TAnswerScript script;
  std::u16string told;
  ExpectErrorBox(script, told);
  Window->bNext->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(CaptionMarked(*Window));
  const std::u16string why = LangText({u"Forms", u"LastSaveFailed"}).Text + u" !session.daqsession: ";
  EXPECT_EQ(Window->leError->CaptionW().rfind(why, 0), 0u) << rtl::Utf16ToUtf8(Window->leError->CaptionW());
  EXPECT_EQ(Window->leError->Font().Color(), ErrorTextColor);
  EXPECT_EQ(fTimeGraph->leError->CaptionW(), Window->leError->CaptionW());
  Window->bPrev->Click();  // a step back saves nothing: still unsaved, still said
  EXPECT_EQ(Window->leError->CaptionW().rfind(why, 0), 0u);

  fs::remove(blocked / "!session.daqsession");
  Window->bNext->Click();
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_FALSE(CaptionMarked(*Window));
  EXPECT_EQ(Window->leError->CaptionW(), noError);
  EXPECT_EQ(fTimeGraph->leError->CaptionW(), noError);
}

// A last session that is held (it could not be moved aside, so nothing is
// saved over it) marks the job unsaved from the first message, which names
// Save As; Save As from the close stores the job, and the held pair stays
// as it was.
TEST_F(JobKeeping, AHeldLastSessionMarksTheJobUnsavedAndTheCloseOffersSaveAs) {
  const auto [session, data, blocks] = HoldSavedJobAndMeasureAgain();
  ASSERT_FALSE(HasFailure());
  Window->Hide();
  Window->ShowAfterStart(0);
  EXPECT_TRUE(CaptionMarked(*Window));
  EXPECT_NE(KeptAsideTexts().NotMoved.find(u"Save As"), std::u16string::npos);

  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, KeptAsideTexts().NotMoved, gui::mrOk));
  Window->bNext->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(CaptionMarked(*Window));

  const fs::path rescued = fs::path(Folder) / "rescued.daqsession";
  Window->bOscilloscope->Click();
  ASSERT_NE(fTimeGraph, nullptr);
  ExpectUnsavedCloseQuestion(script, gui::mrYes);
  script.Expect(gui::dkSaveDialog, 1, rescued.string());
  Window->Close();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(fTimeGraph, nullptr) << "the close went on";
  EXPECT_FALSE(CaptionMarked(*Window));
  EXPECT_TRUE(Bytes(Core->AutoSessionFile) == session) << "the held document was saved over";
  EXPECT_TRUE(Bytes(Core->AutoDataFile) == data) << "the held raw file was saved over";
  TZelto reader;
  ASSERT_EQ(reader.LoadSession(rescued.u16string()), TZelto::sfrDone);
  EXPECT_EQ(reader.Results[0].Meas.AmplA, 50);
  EXPECT_EQ(reader.BalancingStep, 1);
  EXPECT_EQ(reader.Captures[0].DataA, Core->Captures[0].DataA);
  for (const fs::path& block : blocks) fs::remove(block);
}

// A Restore whose automatic pair can't be read moves the pair aside and
// puts the job back, which then is in no file: it is saved in the pair's
// place at once, byte for byte as a save of it writes, before the failure
// is told. Where the data folder takes no save (a full disk), that save's
// failure is told as well, and the caption and the error line mark the job.
TEST_F(JobKeeping, AFailedRestoreSavesTheJobPutBackOrMarksItUnsaved) {
  TrialRunsMeasured();
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  const std::string session = Bytes(Core->AutoSessionFile), data = Bytes(Core->AutoDataFile);
  ASSERT_GT(data.size(), 1024u);
  const std::u16string why =
      u"Last session not restored. File error.\n" + DamagedFileLine(rtl::Utf16ToUtf8(Core->AutoSessionFile)) + u"\n";
  // The automatic document damaged, then Restore; `told` gets the failure,
  // `notSaved` the failure of the save first when one is expected.
  const auto restoreDamaged = [&](std::u16string& told, std::u16string* notSaved) {
    { std::ofstream(rtl::NativePath(Core->AutoSessionFile), std::ios::binary) << "garbage"; }
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, smRestoreSession);
    ExpectRestoreQuestion(script, gui::mrYes);
    if (notSaved) ExpectErrorBox(script, *notSaved);
    ExpectErrorBox(script, told);
    Window->bSession->Click();
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_TRUE(script.Unexpected().empty());
    ASSERT_EQ(rtl::Utf16ToUtf8(told.substr(0, why.size())), rtl::Utf16ToUtf8(why));
    ExpectPairKeptAsideAsTold(told.substr(why.size()), "garbage", data);
    EXPECT_EQ(Core->Results[1].Meas.AmplA, 300);
  };

  std::u16string told, notSaved;
  restoreDamaged(told, nullptr);
  EXPECT_TRUE(Bytes(Core->AutoSessionFile) == session);
  EXPECT_TRUE(Bytes(Core->AutoDataFile) == data);
  EXPECT_FALSE(CaptionMarked(*Window));
  EXPECT_EQ(Window->leError->CaptionW(), LangText({u"Forms", u"NoError"}).Text);

  {
    const TFileSizeLimit full(1024);
    restoreDamaged(told, &notSaved);
  }
  EXPECT_EQ(notSaved, LangText({u"Forms", u"SessionNotSaved"}).Text + u"\n" + Core->AutoDataFile + u": File too large");
  EXPECT_FALSE(fs::exists(rtl::NativePath(Core->AutoSessionFile)));
  EXPECT_TRUE(CaptionMarked(*Window));
  EXPECT_EQ(Window->leError->CaptionW().rfind(LangText({u"Forms", u"LastSaveFailed"}).Text + u" !session.daqdata: ", 0),
            0u)
      << rtl::Utf16ToUtf8(Window->leError->CaptionW());
}

// A free-running data file opened over the job takes the place of its runs
// and its capture settings; the rest of the job stays, in no file. It is
// saved at once as a new session is, so what the window and the close tell
// follows the job shown: not the file Save As kept the job that went in.
// Where the data folder takes no save, the caption marks it.
TEST_F(JobKeeping, AFreeRunningFileOpenedSavesTheJobItLeavesOrMarksItUnsaved) {
  TrialRunsMeasured();
  const fs::path record = fs::path(Folder) / "record.asd";
  Core->LiveDataA.assign(static_cast<size_t>(Core->BuffLength), 0);
  for (size_t i = 0; i < Core->LiveDataA.size(); ++i)
    Core->LiveDataA[i] = static_cast<int32_t>(2000 * std::sin(0.05 * static_cast<double>(i)));
  ASSERT_TRUE(Core->SaveAsyncData(record.u16string()));
  Core->LiveDataA.clear();
  const std::u16string session = Core->AutoSessionFile, data = Core->AutoDataFile;
  const fs::path blocked = fs::path(Folder) / "blocked";
  std::ofstream(blocked) << "a file where the folder should be";
  Core->AutoSessionFile = (blocked / "!session.daqsession").u16string();
  Core->AutoDataFile = (blocked / "!session.daqdata").u16string();

  // Save As keeps the measured job, whose automatic save fails.
  const fs::path chosen = fs::path(Folder) / "chosen.daqsession";
  gui::TAnswerScript script;
  std::u16string told;
  script.Expect(gui::dkPopupMenu, smSaveSession);
  script.Expect(gui::dkSaveDialog, 1, chosen.string());
  ExpectErrorBox(script, told);
  Window->bSession->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_FALSE(CaptionMarked(*Window));
  EXPECT_EQ(ShutdownNotSavedText(*Core),
            LangText({u"Forms", u"SessionKeptInChosenFile"}).Text + u"\n" + chosen.u16string());

  const auto openRecord = [&](bool asked) {
    script.Expect(gui::dkPopupMenu, 1).Expect(gui::dkOpenDialog, 1, record.string());
    if (asked)
      script.ExpectAction(gui::dkModalForm,
                          MessageAnswer(mkQuestion, LangText({u"Forms", u"OpenAsyncFileReplacesRuns"}).Text, gui::mrYes));
    fTimeGraph->bAsyncFile->Click();
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_TRUE(script.Unexpected().empty());
    EXPECT_EQ(Core->AsyncMode, 1);
  };
  Window->bOscilloscope->Click();
  ASSERT_NE(fTimeGraph, nullptr);
  openRecord(true);  // the save's failure was told already
  EXPECT_EQ(Core->Results[1].Meas.AmplA, 0);
  EXPECT_TRUE(CaptionMarked(*Window));
  EXPECT_EQ(ShutdownNotSavedText(*Core), LangText({u"Forms", u"SessionLeftUnsaved"}).Text);

  // The data folder takes saves again: the automatic pair holds the job
  // shown, as its next save writes it.
  Core->AutoSessionFile = session;
  Core->AutoDataFile = data;
  openRecord(false);
  EXPECT_FALSE(CaptionMarked(*Window));
  EXPECT_EQ(ShutdownNotSavedText(*Core), LangText({u"Forms", u"SessionNotSavedAtClose"}).Text);
  const std::string opened = Bytes(session) + Bytes(data);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  EXPECT_TRUE(Bytes(session) + Bytes(data) == opened);
  TZelto reader;
  EXPECT_TRUE(TZelto::SessionLoaded(reader.LoadSession()));
  EXPECT_EQ(reader.Results[1].Meas.AmplA, 0);
  EXPECT_EQ(reader.Session.Machine, "Fan 7");
}

// A snapshot put back gives every field of the job as it was, the samples
// and the converted signals included.
TEST_F(JobKeeping, SnapshotPutsTheWholeJobBack) {
  TrialRunsMeasured();
  Core->GWB = {1, 0, 30.0};
  Core->CtrlMass = {2.5, "kg"};
  Core->ConvertSamples();
  const TJobSnapshot job = TakeJobSnapshot(*Core);
  ASSERT_FALSE(job.SignalA.empty());
  Core->ClearMeasurements();
  Core->GWB = {};
  Core->CtrlMass = {};
  Core->Session = {};
  RestoreJobSnapshot(*Core, job);
  EXPECT_EQ(Core->BalancingStep, 1);
  EXPECT_EQ(Core->Captures[0].DataA, job.Captures[0].DataA);
  EXPECT_EQ(Core->Results[1].Meas.AmplA, 300);
  EXPECT_EQ(Core->SignalA, job.SignalA);
  EXPECT_EQ(Core->GWB.Shift, 30.0);
  EXPECT_EQ(Core->CtrlMass.Unit, "kg");
  EXPECT_EQ(Core->Session.Operator, "Jane Roe");
}

// --- Start's question -------------------------------------------------------------

// At run 3 of a job whose last run is measured, Start would capture into
// run 19: it asks about that run, and No captures nothing.
TEST_F(JobKeeping, StartAsksAboutTheRunItWouldReplaceAndNoCapturesNothing) {
  TrialRunsMeasured();
  Core->Results[RunCorrection].Result = {0.5, 1.0, 0, 0};
  for (int run = RunFirstTrim; run < RunCount; ++run) Measure(run, 100 + run, 0.5);
  Core->BalancingStep = RunCorrection;
  Core->HighestStep = RunCount - 1;
  Window->RefreshResults();
  const MeasurementResult last = Core->Results[RunCount - 1];

  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkWarning, LangText({u"Forms", u"ReplyMeasurement"}).Text, gui::mrNo));
  Window->bStartStop->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_FALSE(Core->Measuring);
  EXPECT_EQ(BalThread, nullptr);
  EXPECT_EQ(Core->BalancingStep, RunCorrection);
  EXPECT_EQ(Core->Results[RunCount - 1].Meas.AmplA, last.Meas.AmplA);

  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkWarning, LangText({u"Forms", u"ReplyMeasurement"}).Text, gui::mrYes));
  Window->bStartStop->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(Core->Measuring);
  EXPECT_EQ(Core->BalancingStep, RunCount - 1);
  Window->bStartStop->Click();  // Stop
  EXPECT_TRUE(ServeUntilIdle());
}

// A measured check run below the highest, whose next run is free: Start
// goes there without a question, since nothing is replaced.
TEST_F(JobKeeping, StartOnAMeasuredRunBelowTheHighestCapturesTheNextFreeRunUnasked) {
  TrialRunsMeasured();
  Core->Results[RunCorrection].Result = {0.5, 1.0, 0, 0};
  for (int run = RunFirstTrim; run <= 7; ++run) Measure(run, 100 + run, 0.5);
  Core->BalancingStep = 5;
  Core->HighestStep = 7;
  Window->RefreshResults();
  gui::TAnswerScript script;
  Window->bStartStop->Click();
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_TRUE(Core->Measuring);
  EXPECT_EQ(Core->BalancingStep, 8);
  EXPECT_EQ(Core->Results[7].Meas.AmplA, 107);
  Window->bStartStop->Click();  // Stop
  EXPECT_TRUE(ServeUntilIdle());
}

// --- the two-/three-weight positions -----------------------------------------

// A three-weight job walked through in the window, saved at run 3 and at
// run 5, shows the same angles and markers after a restart (the automatic
// pair) and after an open (a pair saved under a name).
TEST_F(JobKeeping, ThreeWeightPositionsSurviveARestartAndAnOpen) {
  Core->GWB = {1, 1, 90.0};
  Window->RefreshResults();
  TrialRunsMeasured();
  Window->bNext->Click();  // the correction of run 3, evaluated from runs 0 and 1
  ASSERT_EQ(Core->BalancingStep, RunCorrection);
  const std::vector<std::u16string> atRun3 = Placements(Window->Panel1RRows, 0);
  const std::vector<TMarker> markers3 = Markers();
  for (const std::u16string& angle : atRun3) EXPECT_NE(angle, u"?");
  ASSERT_EQ(markers3.size(), 3u);
  EXPECT_FALSE(markers3[0] == markers3[1]);
  const std::u16string job3 = rtl::Utf8ToUtf16((fs::path(Folder) / "run3.daqsession").string());
  ASSERT_EQ(Core->SaveSessionAs(job3), TZelto::sfrDone);

  // Two trim runs with their corrections, then the step of run 5.
  Measure(4, 120, 0.7);
  Core->Results[4].Result = {0.2, 3.5, 0, 0};
  Measure(5, 60, 0.2);
  Core->Results[5].Result = {0.1, 0.17, 0, 0};
  Core->BalancingStep = Core->HighestStep = 5;
  Window->RefreshResults();
  const std::vector<std::u16string> trim4 = Placements(Window->Panel1TRows, 0);
  const std::vector<std::u16string> trim5 = Placements(Window->Panel1TRows, 1);
  const std::vector<TMarker> markers5 = Markers();
  for (const std::u16string& angle : trim5) EXPECT_NE(angle, u"?");
  // With three weights A stays where run 3 put it.
  EXPECT_EQ(trim5[0], atRun3[0]);
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);

  RestartFromTheAutomaticPair();
  ASSERT_EQ(Core->BalancingStep, 5);
  EXPECT_EQ(Placements(Window->Panel1TRows, 0), trim4);
  EXPECT_EQ(Placements(Window->Panel1TRows, 1), trim5);
  EXPECT_EQ(Markers(), markers5);

  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, smOpenSession);
  script.Expect(gui::dkOpenDialog, 1, rtl::Utf16ToUtf8(job3));
  ExpectOpenQuestion(script, gui::mrYes);
  Window->bSession->Click();
  EXPECT_TRUE(script.Unexpected().empty());
  ASSERT_EQ(Core->BalancingStep, RunCorrection);
  EXPECT_EQ(Placements(Window->Panel1RRows, 0), atRun3);
  EXPECT_EQ(Markers(), markers3);

  // And a restart straight into run 3.
  ASSERT_EQ(Core->SaveSession(), TZelto::sfrDone);
  RestartFromTheAutomaticPair();
  EXPECT_EQ(Placements(Window->Panel1RRows, 0), atRun3);
  EXPECT_EQ(Markers(), markers3);
}
