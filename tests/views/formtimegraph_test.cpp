// The oscilloscope window on the offscreen platform: refresh from the core,
// read-out, navigation with the scroll bar's rules, popups, closing in
// asynchronous mode, the file command and the printed page.
#include "formtimegraph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "answerhook.h"
#include "bitmap.h"
#include "formatting.h"
#include "formfftgraph.h"
#include "inputsim.h"
#include "languageservice.h"
#include "messageanswer.h"
#include "rendertest.h"
#include "textconv.h"
#include "viewfixture.h"
#include "viewwindows.h"

namespace viewstest {
namespace {

class TimeGraph : public ViewWindows {
 protected:
  TfTimeGraph* Open() { return ShowTimeGraph(Workspace->Form, *Workspace); }
};

TEST_F(TimeGraph, ShowsTheCurrentRunsRecord) {
  TfTimeGraph* w = Open();
  ASSERT_EQ(w, fTimeGraph);
  EXPECT_TRUE(w->TSignalViewServices::Visible);
  const TDisplayA& plot = *w->Plot;
  EXPECT_EQ(plot.TotalSamples, 4096);
  EXPECT_EQ(plot.ViewWidth, 4096);
  EXPECT_EQ(plot.SpanY, 2 * FullScale);
  EXPECT_EQ(plot.SampleRate, 10000);
  EXPECT_EQ(plot.RangeA, 2500);
  EXPECT_EQ(plot.UnitA, u"[mV]");
  EXPECT_EQ(plot.ShowB, 1);
  ASSERT_NE(plot.DataA, nullptr);
  EXPECT_EQ(w->ChannelBufferA.size(), 16384u);
  EXPECT_EQ(w->ChannelBufferA[1], static_cast<float>(Core->Captures[0].DataA[1]));
  EXPECT_EQ(w->ChannelBufferB[7], static_cast<float>(Core->Captures[0].DataB[7]));
  EXPECT_TRUE(w->bDisplayChannels->Enabled());
  ASSERT_TRUE(w->SaveScreenshot(PicturePath("timegraph.png")));
  gui::TBitmap shot;
  ASSERT_TRUE(shot.LoadFromFile(PicturePath("timegraph.png")));
  EXPECT_GT(CountColour(shot, gui::Rect(0, 0, shot.Width(), shot.Height()), Core->WorkColors[wcWorkChA]), 500);
}

TEST_F(TimeGraph, OneChannel) {
  Core->Type = 0;
  TfTimeGraph* w = Open();
  // A view of B alone from a two-channel job falls back to channel A.
  w->ChannelsShown = 2;
  w->RefreshGraph();
  EXPECT_EQ(w->ChannelsShown, 0);
  EXPECT_NE(w->Plot->DataA, nullptr);
  EXPECT_FALSE(w->bDisplayChannels->Enabled());
  EXPECT_EQ(w->Plot->ShowB, 0);
  EXPECT_EQ(w->bMeasValB->CaptionW(), u"-");
  EXPECT_FALSE(w->bMeasValB->Enabled());
  EXPECT_EQ(w->bVoltCh1->CaptionW(), u"A");
  // The channel letter's button opens no menu with one channel.
  gui::TAnswerScript script;
  w->bVoltDistCh->Click();
  w->bVoltCh2->Click();
  EXPECT_TRUE(script.Requests().empty());
  EXPECT_EQ(w->VoltDistCh, 'A');
}

TEST_F(TimeGraph, ReadoutBeforeAnyPress) {
  TfTimeGraph* w = Open();
  EXPECT_EQ(w->bCurPos1Value->CaptionW(), FormatTime(0));
  EXPECT_EQ(w->bDist1Value->CaptionW(), FormatTime(0));
  EXPECT_EQ(w->bDist2Value->CaptionW(), u"\u221E Hz");
  EXPECT_EQ(w->bVoltValue1->CaptionW(), u"0 mV");
  EXPECT_EQ(w->bMeasType->CaptionW(), u"RMS");
  // No evaluation yet: the measurement is that of the record drawn.
  double squares = 0;
  for (const int32_t x : Core->Captures[0].DataA) squares += double(x) * x;
  const double rms = std::sqrt(squares / 4096);
  EXPECT_EQ(w->bMeasValA->CaptionW(), u"A: " + FormatNumber(rms * 2500 / FullScale) + u" mV");
}

// A press sets cursor X (left) or Y (right) at the sample under the mouse.
TEST_F(TimeGraph, PressesPlaceTheCursors) {
  TfTimeGraph* w = Open();
  TDisplayA& plot = *w->Plot;
  const int y = plot.MarginTop + plot.PlotHeight() / 2 - 40;
  gui::SimMouseDown(*w->pbAnalog, gui::mbLeft, plot.MarginLeft + 100, y);
  gui::SimMouseUp(*w->pbAnalog, gui::mbLeft, plot.MarginLeft + 100, y);
  EXPECT_EQ(plot.ShowCursorX, 1);
  EXPECT_EQ(plot.CursorXIndex, Round(100 / plot.PxPerSample));
  EXPECT_GT(plot.CursorXValue, 0);
  gui::SimMouseDown(*w->pbAnalog, gui::mbRight, plot.MarginLeft + 300, y + 80);
  gui::SimMouseUp(*w->pbAnalog, gui::mbRight, plot.MarginLeft + 300, y + 80);
  EXPECT_EQ(plot.ShowCursorY, 1);
  EXPECT_LT(plot.CursorYValue, 0);
  const int32_t d = plot.CursorYIndex - plot.CursorXIndex;
  EXPECT_EQ(w->bDist1Value->CaptionW(), FormatTime(d / 10000.0));
  EXPECT_EQ(w->bDist2Value->CaptionW(), FormatFrequency(10000.0 / d, 1));
  // A level below the zero line reads negative; the difference never does.
  EXPECT_EQ(w->bVoltValue2->CaptionW()[0], u'-');
  EXPECT_NE(w->bVoltDistValue->CaptionW()[0], u'-');
}

TEST_F(TimeGraph, ZoomAndTheScrollBarsLimit) {
  TfTimeGraph* w = Open();
  TDisplayA& plot = *w->Plot;
  w->bZoomInX->Click();
  EXPECT_EQ(plot.ViewStart, 1024);
  EXPECT_EQ(plot.ViewWidth, 2048);
  EXPECT_TRUE(w->sbScroll->Enabled());
  EXPECT_EQ(w->sbScroll->Max(), 4096 - 2048 - 1);
  // Zoom out at the end of the record: the view ends one sample early.
  w->sbScroll->SetPosition(w->sbScroll->Max());
  w->bZoomInX->Click();
  w->sbScroll->SetPosition(w->sbScroll->Max());
  w->bZoomOutX->Click();
  EXPECT_EQ(plot.ViewWidth, 2048);
  EXPECT_EQ(plot.ViewStart + plot.ViewWidth, 4095);
  // Zoom out from more than half the record: the whole record, bar disabled.
  w->bZoomOutX->Click();
  EXPECT_EQ(plot.ViewStart, 0);
  EXPECT_EQ(plot.ViewWidth, 4096);
  EXPECT_FALSE(w->sbScroll->Enabled());
}

TEST_F(TimeGraph, HistoryKeepsTenViews) {
  TfTimeGraph* w = Open();
  for (int i = 0; i < 11; ++i) w->bZoomInY->Click();
  EXPECT_EQ(w->ZoomHistory.Count(), 10u);
  EXPECT_EQ(w->Plot->SpanY, FullScale / 4);
  for (int i = 0; i < 10; ++i) w->bZoomPrev->Click();
  EXPECT_FALSE(w->bZoomPrev->Enabled());
  // Previous restores horizontal views only: the span stays.
  EXPECT_EQ(w->Plot->SpanY, FullScale / 4);
  w->bZoomAll->Click();
  EXPECT_EQ(w->Plot->SpanY, 2 * FullScale);
}

TEST_F(TimeGraph, KeysAndWheel) {
  TfTimeGraph* w = Open();
  gui::SimKey(w, 'I', 0, gui::ssCtrl);
  EXPECT_EQ(w->Plot->ViewWidth, 2048);
  gui::SimKey(w, 'O', 0, gui::ssCtrl | gui::ssShift);
  EXPECT_EQ(w->Plot->SpanY, 4 * FullScale);
  gui::SimWheel(*w->pbAnalog, 200, 100, 120);
  EXPECT_EQ(w->Plot->ViewWidth, 1024);
  gui::SimWheel(*w->peButtons, 200, 10, 120);
  EXPECT_EQ(w->Plot->ViewWidth, 1024);
  gui::SimKey(w, 'B');
  EXPECT_EQ(w->Plot->ViewWidth, 1024);
  gui::SimKey(w, 'S');
  EXPECT_TRUE(Workspace->Has("Setup"));
  w->bSetup->SetEnabled(false);
  Workspace->Calls.clear();
  gui::SimKey(w, 'S');
  EXPECT_FALSE(Workspace->Has("Setup"));
}

TEST_F(TimeGraph, ChannelViewAndUnitPopups) {
  TfTimeGraph* w = Open();
  {
    gui::TAnswerScript script;
    std::vector<gui::TMenuItemInfo> items;
    ExpectMenu(script, 2, items);
    w->bDisplayChannels->Click();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].Text, u"A+B");
    EXPECT_TRUE(items[0].Flags & gui::MF_CHECKED);
  }
  EXPECT_EQ(w->ChannelsShown, 1);
  EXPECT_EQ(w->Plot->DataB, nullptr);
  {
    gui::TAnswerScript script;
    std::vector<gui::TMenuItemInfo> items;
    ExpectMenu(script, 2, items);
    w->bVoltValue1->Click();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].Text, u" m/s\u00B2");
  }
  EXPECT_EQ(Core->AmplDispModeOscmV, 0);
  EXPECT_EQ(w->Plot->UnitA, u"[m/s\u00B2]");
  EXPECT_NE(w->bVoltValue1->CaptionW().find(u"m/s"), std::u16string::npos);
}

// The value buttons of channel B offer the unit of B's sensor, those of
// channel A the unit of A's.
TEST_F(TimeGraph, UnitPopupNamesTheSensorOfTheButtonsChannel) {
  Core->VibSensorB.Type = stVelocity;
  TfTimeGraph* w = Open();
  w->VoltCh2 = 'B';
  const auto secondItem = [w](TBitmapButton* button) {
    gui::TAnswerScript script;
    std::vector<gui::TMenuItemInfo> items;
    ExpectMenu(script, 0, items);
    button->Click();
    EXPECT_EQ(items.size(), 2u);
    return items.size() == 2 ? items[1].Text : std::u16string();
  };
  EXPECT_EQ(secondItem(w->bMeasValB), u" mm/s");
  EXPECT_EQ(secondItem(w->bVoltValue2), u" mm/s");
  EXPECT_EQ(secondItem(w->bMeasValA), u" m/s\u00B2");
  EXPECT_EQ(secondItem(w->bVoltValue1), u" m/s\u00B2");
  EXPECT_EQ(secondItem(w->bVoltDistValue), u" m/s\u00B2");
  w->VoltDistCh = 'B';
  EXPECT_EQ(secondItem(w->bVoltDistValue), u" mm/s");
}

// A run that was not measured shows no trace, not the record of the run
// shown before it; back on the measured run the traces return.
TEST_F(TimeGraph, RunWithoutSamplesShowsNoTrace) {
  TfTimeGraph* w = Open();
  const auto traceA = [this, w]() {
    EXPECT_TRUE(w->SaveScreenshot(PicturePath("timegraph-run.png")));
    gui::TBitmap shot;
    EXPECT_TRUE(shot.LoadFromFile(PicturePath("timegraph-run.png")));
    const gui::TPoint box = w->pbAnalog->ClientToScreen({0, 0});
    const gui::TPoint form = w->ClientToScreen({0, 0});
    const gui::TPoint origin{box.x - form.x, box.y - form.y};
    const gui::TRect plot = gui::Rect(origin.x + w->Plot->MarginLeft, origin.y + w->Plot->MarginTop,
                                      origin.x + w->pbAnalog->Width() - w->Plot->MarginRight,
                                      origin.y + w->pbAnalog->Height() - w->Plot->MarginBottom);
    return CountColour(shot, plot, Core->WorkColors[wcWorkChA]);
  };
  ASSERT_NE(w->Plot->DataA, nullptr);
  EXPECT_GT(traceA(), 500);
  Core->BalancingStep = 1;
  w->RefreshGraph();
  EXPECT_EQ(w->Plot->DataA, nullptr);
  EXPECT_EQ(w->Plot->DataB, nullptr);
  EXPECT_EQ(traceA(), 0);
  // Channel A alone measured: only its trace.
  Core->Captures[1].DataA = Sine(4096, 20, 8000);
  w->RefreshGraph();
  EXPECT_NE(w->Plot->DataA, nullptr);
  EXPECT_EQ(w->Plot->DataB, nullptr);
  Core->BalancingStep = 0;
  w->RefreshGraph();
  EXPECT_NE(w->Plot->DataA, nullptr);
  EXPECT_NE(w->Plot->DataB, nullptr);
}

// Previous after the record got shorter: the saved view is fitted into the
// new record, and the traces are drawn (not a blank plot until Zoom All).
TEST_F(TimeGraph, PreviousAfterAShorterRecordStaysInsideIt) {
  TfTimeGraph* w = Open();
  w->bZoomInX->Click();
  w->bZoomInX->Click();
  ASSERT_EQ(w->Plot->ViewStart, 1536);
  ASSERT_EQ(w->Plot->ViewWidth, 1024);
  Core->BuffLength = 1024;
  w->RefreshGraph();
  ASSERT_EQ(w->Plot->TotalSamples, 1024);
  w->bZoomPrev->Click();
  EXPECT_EQ(w->Plot->ViewStart, 0);
  EXPECT_EQ(w->Plot->ViewWidth, 1024);
  EXPECT_FALSE(w->sbScroll->Enabled());
  w->bZoomPrev->Click();
  EXPECT_EQ(w->Plot->ViewStart, 0);
  EXPECT_EQ(w->Plot->ViewWidth, 1024);
  ASSERT_TRUE(w->SaveScreenshot(PicturePath("timegraph-shorter.png")));
  gui::TBitmap shot;
  ASSERT_TRUE(shot.LoadFromFile(PicturePath("timegraph-shorter.png")));
  EXPECT_GT(CountColour(shot, gui::Rect(0, 0, shot.Width(), shot.Height()), Core->WorkColors[wcWorkChA]), 500);
}

TEST_F(TimeGraph, ReadoutPopups) {
  TfTimeGraph* w = Open();
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, 3).Expect(gui::dkPopupMenu, 0).Expect(gui::dkPopupMenu, 1);
  w->bMeasType->Click();
  EXPECT_EQ(w->MeasType, 'P');
  EXPECT_EQ(w->bMeasType->CaptionW(), u"P-P");
  w->bDist2Value->Click();
  EXPECT_EQ(w->Dist2Type, 'f');
  w->bDist2Value->Click();
  EXPECT_EQ(w->Dist2Type, 't');
  EXPECT_EQ(script.Pending(), 0u);
}

// Closing while the free-running capture feeds this window alone stops it
// and keeps the window.
TEST_F(TimeGraph, CloseDuringAnAsynchronousCapture) {
  TfTimeGraph* w = Open();
  Core->AsyncMode = 1;
  Core->Measuring = 1;
  w->Close();
  EXPECT_TRUE(w->WindowVisible());
  EXPECT_TRUE(Workspace->Has("StartStopAsync"));
  EXPECT_FALSE(w->ChannelBufferA.empty());
  Core->Measuring = 0;
  w->Close();
  EXPECT_FALSE(w->WindowVisible());
  EXPECT_FALSE(w->TSignalViewServices::Visible);
  EXPECT_TRUE(w->ChannelBufferA.empty());
  // The spectrum window was never opened: asynchronous mode stays on.
  EXPECT_FALSE(Workspace->Has("SetAsyncMode(0)"));
}

TEST_F(TimeGraph, CloseLeavesAsynchronousModeWhenTheSpectrumIsHidden) {
  TfTimeGraph* w = Open();
  ShowFFTGraph(Workspace->Form, *Workspace)->Close();
  ChangeSignals([this] { Core->AsyncMode = 1; });
  w->Close();
  EXPECT_TRUE(Workspace->Has("SetAsyncMode(0)"));
  EXPECT_EQ(Core->AsyncMode, 0);
}

TEST_F(TimeGraph, ShowAgainReplacesTheBuffersAndShowsTheWholeRecord) {
  TfTimeGraph* w = Open();
  w->bZoomInX->Click();
  w->Close();
  w = Open();
  EXPECT_EQ(w->Plot->ViewWidth, 4096);
  EXPECT_EQ(w->ZoomHistory.Count(), 1u);
  w->FormShow();
  EXPECT_EQ(w->ChannelBufferA.size(), 16384u);
}

TEST_F(TimeGraph, OpenAndSaveAsynchronousDataFiles) {
  TfTimeGraph* w = Open();
  const std::string saved = TempFile("record.asd");
  {
    // Outside asynchronous mode Save cannot be chosen.
    gui::TAnswerScript script;
    std::vector<gui::TMenuItemInfo> items;
    ExpectMenu(script, 2, items);
    w->bAsyncFile->Click();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_TRUE(items[0].Choosable());
    EXPECT_FALSE(items[1].Choosable());
  }
  Core->LiveDataA = Sine(16384, 40, 7000);
  Core->LiveDataB = Sine(16384, 20, 3000);
  Core->AsyncMode = 1;
  {
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, 2).Expect(gui::dkSaveDialog, 1, saved);
    w->bAsyncFile->Click();
    EXPECT_EQ(script.Pending(), 0u);
  }
  ASSERT_TRUE(std::filesystem::exists(saved));
  Core->AsyncMode = 0;
  Core->LiveDataA.clear();
  {
    gui::TAnswerScript script;
    script.Expect(gui::dkPopupMenu, 1).Expect(gui::dkOpenDialog, 1, saved);
    w->bAsyncFile->Click();
  }
  EXPECT_TRUE(Workspace->Has("SetAsyncMode(1)"));
  EXPECT_TRUE(Workspace->Has("RefreshResults"));
  EXPECT_EQ(Core->AsyncMode, 1);
  EXPECT_EQ(w->ChannelBufferA[5], static_cast<float>(Sine(16384, 40, 7000)[5]));
  EXPECT_NE(w->bMeasValA->CaptionW(), u"A: 0 mV");
}

TEST_F(TimeGraph, OpeningAFileWithoutItsSamplesChangesNothing) {
  TfTimeGraph* w = Open();
  Core->LiveDataA = Sine(16384, 40, 7000);
  Core->AsyncMode = 1;
  const std::string saved = TempFile("lonely.asd");
  ASSERT_TRUE(Core->SaveAsyncData(rtl::Utf8ToUtf16(saved)));
  std::filesystem::remove(TempFile("lonely.bin"));
  Core->AsyncMode = 0;
  Workspace->Calls.clear();
  gui::TAnswerScript script;
  script.Expect(gui::dkPopupMenu, 1).Expect(gui::dkOpenDialog, 1, saved);
  // Refused, and the error box says which file is missing.
  const std::u16string told = LangText({u"Forms", u"AsyncDataNotRead"}).Text + u"\n" +
                              rtl::Utf8ToUtf16(TempFile("lonely.bin")) + u": No such file or directory";
  script.ExpectAction(gui::dkModalForm, testsupport::MessageAnswer(mkError, told, gui::mrOk));
  w->bAsyncFile->Click();
  EXPECT_EQ(script.Pending(), 0u);
  EXPECT_TRUE(Workspace->Calls.empty());
  EXPECT_EQ(Core->AsyncMode, 0);
  EXPECT_EQ(script.Unexpected().size(), 0u);
}

TEST_F(TimeGraph, PrintsOneChannelPage) {
  TfTimeGraph* w = Open();
  const std::string pdf = PicturePath("timegraph-page.pdf");
  gui::TAnswerScript script;
  // The pages show the input channels, also in a balancing run.
  script.ExpectAction(gui::dkPopupMenu, [](const gui::TDialogRequest& r) {
    EXPECT_TRUE(r.Menu && r.Menu->Items().size() == 2 && r.Menu->Items()[0].Text == u"Channel A" &&
                r.Menu->Items()[1].Text == u"Channel B");
    return std::optional<gui::TDialogAnswer>(gui::TDialogAnswer{2, {}});
  });
  script.Expect(gui::dkPrintDialog, 1, pdf);
  w->bPrint->Click();
  EXPECT_EQ(script.Pending(), 0u);
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("Initial run"), std::string::npos) << text;
  EXPECT_NE(text.find("Channel B"), std::string::npos) << text;
  EXPECT_EQ(text.find("Plane"), std::string::npos) << text;
  EXPECT_NE(text.find("Sampling rate:"), std::string::npos) << text;
  EXPECT_NE(text.find("4096"), std::string::npos) << text;
  EXPECT_NE(text.find("RMS"), std::string::npos) << text;
  EXPECT_NE(text.find("XY"), std::string::npos) << text;  // the fixed "X Y" boxes
  EXPECT_NE(text.find("Orvanteq, Kalvenor"), std::string::npos) << text;
  EXPECT_NE(PdfInfo(pdf).find("Kalvenor Analog Print (B)"), std::string::npos);
  EXPECT_EQ(w->Plot->Suppress, 0);
}

TEST_F(TimeGraph, OneChannelPrintsWithoutAMenu) {
  Core->Type = 0;
  Core->AsyncMode = 1;
  TfTimeGraph* w = Open();
  const std::string pdf = TempFile("one.pdf");
  gui::TAnswerScript script;
  script.Expect(gui::dkPrintDialog, 1, pdf);
  w->bPrint->Click();
  EXPECT_EQ(script.Unexpected().size(), 0u);
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("Free-running analysis"), std::string::npos) << text;
  EXPECT_EQ(text.find("Channel A"), std::string::npos) << text;
  EXPECT_NE(PdfInfo(pdf).find("Kalvenor Analog Print"), std::string::npos);
}

}  // namespace
}  // namespace viewstest
