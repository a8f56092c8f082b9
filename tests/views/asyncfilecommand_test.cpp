// The asynchronous data file command through both views, every dialog and
// box answered by the scripted hook: opening a file over a measured job
// asks first and any answer but Yes changes nothing (the session the
// shutdown would save stays byte for byte the same); a save that fails
// says so.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "answerhook.h"
#include "bitmapbutton.h"
#include "formfftgraph.h"
#include "formmessage.h"
#include "formtimegraph.h"
#include "languageservice.h"
#include "messageanswer.h"
#include "textconv.h"
#include "viewfixture.h"
#include "viewwindows.h"

namespace viewstest {
namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::u16string Forms(std::u16string_view key) { return LangText({u"Forms", key}).Text; }

using testsupport::MessageAnswer;

class AsyncFile : public ViewWindows {
 protected:
  void SetUp() override {
    ViewWindows::SetUp();
    Core->AutoSessionFile = rtl::Utf8ToUtf16(TempFile("!session.daqsession"));
    Core->AutoDataFile = rtl::Utf8ToUtf16(TempFile("!session.daqdata"));
  }

  // A free-running record saved as a file, then back to the balancing job.
  std::string SavedRecord() {
    const std::string path = TempFile("record.asd");
    Core->LiveDataA = Sine(16384, 40, 7000);
    Core->LiveDataB = Sine(16384, 20, 3000);
    SetAsyncMode(1);
    EXPECT_TRUE(Core->SaveAsyncData(rtl::Utf8ToUtf16(path)));
    SetAsyncMode(0);
    Core->LiveDataA.clear();
    Core->LiveDataB.clear();
    return path;
  }

  // An open spectrum window's thread reads the mode under the signal lock.
  void SetAsyncMode(uint8_t on) {
    ChangeSignals([this, on] { Core->AsyncMode = on; });
  }

  // Run 0 measured, the job at the trial run.
  void MeasuredJob() {
    Core->Results[0].Meas = {120.5, 1.25, 80.0, 2.5};
    Core->Results[0].Freq = 25;
    Core->Results[0].Valid = 1;
    Core->BalancingStep = Core->HighestStep = 1;
  }

  // Open from a view's button, the question (when `answer` is given)
  // answered; every box and dialog is the one expected.
  void OpenThrough(TBitmapButton* button, const std::string& record, std::optional<int> answer) {
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, 1).Expect(gui::dkOpenDialog, 1, record);
    if (answer) script.ExpectAction(gui::dkModalForm, MessageAnswer(mkQuestion, Forms(u"OpenAsyncFileReplacesRuns"), *answer));
    button->Click();
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_TRUE(script.Unexpected().empty());
  }

  // The automatic pair the shutdown would write now.
  std::string AutomaticPair() {
    EXPECT_EQ(Core->SaveSession(), TZelto::sfrDone);
    return Bytes(TempFile("!session.daqsession")) + Bytes(TempFile("!session.daqdata"));
  }
};

TEST_F(AsyncFile, OpeningOverAMeasuredJobAsksAndNoChangesNothing) {
  TfTimeGraph* w = ShowTimeGraph(Workspace->Form, *Workspace);
  const std::string record = SavedRecord();
  MeasuredJob();
  const std::string pair = AutomaticPair();
  Workspace->Calls.clear();
  OpenThrough(w->bAsyncFile, record, gui::mrNo);
  EXPECT_TRUE(Workspace->Calls.empty());
  EXPECT_EQ(Core->AsyncMode, 0);
  EXPECT_TRUE(Core->LiveDataA.empty());
  EXPECT_EQ(Core->BalancingStep, 1);
  EXPECT_EQ(Core->Results[0].Meas.AmplA, 120.5);
  EXPECT_EQ(Core->Captures[0].DataA, Sine(4096, 100, 10000));
  EXPECT_EQ(AutomaticPair(), pair);

  // Yes: the record replaces the job, as a new session would.
  OpenThrough(w->bAsyncFile, record, gui::mrYes);
  EXPECT_EQ(Core->AsyncMode, 1);
  EXPECT_EQ(Core->Results[0].Meas.AmplA, 0);
  EXPECT_EQ(Core->BalancingStep, 0);
  EXPECT_EQ(w->ChannelBufferA[5], static_cast<float>(Sine(16384, 40, 7000)[5]));
}

// Only the averaged values count: a job with runs but none measured opens
// without a question, from the spectrum window as well.
TEST_F(AsyncFile, OpeningWithoutAMeasuredRunAsksNothing) {
  TfFFTGraph* w = ShowFFTGraph(Workspace->Form, *Workspace);
  const std::string record = SavedRecord();
  Core->BalancingStep = Core->HighestStep = 4;
  OpenThrough(w->bAsyncFile, record, std::nullopt);
  EXPECT_EQ(Core->AsyncMode, 1);
  EXPECT_EQ(Core->BalancingStep, 0);
}

// A phase alone is a measurement too; the spectrum window asks the same.
TEST_F(AsyncFile, TheSpectrumWindowAsksTooAndNoKeepsTheJob) {
  TfFFTGraph* w = ShowFFTGraph(Workspace->Form, *Workspace);
  const std::string record = SavedRecord();
  Core->Results[6].Meas.PhB = 0.75;
  Core->BalancingStep = Core->HighestStep = 6;
  OpenThrough(w->bAsyncFile, record, gui::mrNo);
  EXPECT_EQ(Core->AsyncMode, 0);
  EXPECT_EQ(Core->Results[6].Meas.PhB, 0.75);
  EXPECT_EQ(Core->BalancingStep, 6);
}

// The error box and the log say why: the folder is missing.
TEST_F(AsyncFile, AFailedSaveShowsAnErrorAndASavedOneNothing) {
  TfTimeGraph* w = ShowTimeGraph(Workspace->Form, *Workspace);
  Core->LiveDataA = Sine(16384, 40, 7000);
  Core->AsyncMode = 1;
  const std::string nowhere = TempFile("missing/folder/record.asd");
  {
    const std::u16string told =
        Forms(u"AsyncDataNotSaved") + u"\n" + rtl::Utf8ToUtf16(nowhere) + u": No such file or directory";
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, 2).Expect(gui::dkSaveDialog, 1, nowhere);
    script.ExpectAction(gui::dkModalForm, MessageAnswer(mkError, told, gui::mrOk));
    w->bAsyncFile->Click();
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_TRUE(script.Unexpected().empty());
    EXPECT_EQ(Workspace->LogNotes, std::vector<std::u16string>{told});
  }
  EXPECT_FALSE(std::filesystem::exists(nowhere));
  EXPECT_EQ(Core->AsyncMode, 1);
  const std::string saved = TempFile("record.asd");
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, 2).Expect(gui::dkSaveDialog, 1, saved);
  w->bAsyncFile->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_TRUE(std::filesystem::exists(saved));
}

// A save whose raw file would replace one that belongs to no document of
// that name asks, naming it; No writes nothing.
TEST_F(AsyncFile, SavingOverAnUnrelatedRawFileAsksAndNoWritesNothing) {
  TfTimeGraph* w = ShowTimeGraph(Workspace->Form, *Workspace);
  Core->LiveDataA = Sine(16384, 40, 7000);
  Core->AsyncMode = 1;
  const std::string unrelated = TempFile("trace.bin");
  std::ofstream(unrelated, std::ios::binary) << "someone else's samples";
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, 2).Expect(gui::dkSaveDialog, 1, TempFile("trace.asd"));
  script.ExpectAction(gui::dkModalForm,
                      MessageAnswer(mkQuestion, Forms(u"ReplaceSampleFile") + u"\n" + rtl::Utf8ToUtf16(unrelated),
                                    gui::mrNo));
  w->bAsyncFile->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(Bytes(unrelated), "someone else's samples");
  EXPECT_FALSE(std::filesystem::exists(TempFile("trace.asd")));
}

}  // namespace
}  // namespace viewstest
