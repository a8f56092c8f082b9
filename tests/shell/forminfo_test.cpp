// The about box: device texts, the program's version, tool-tips, closing.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "answerhook.h"
#include "sanitizerslowdown.h"
#include "application.h"
#include "bitmapbutton.h"
#include "controlfixture.h"
#include "form.h"
#include "forminfo.h"
#include "inputsim.h"
#include "labelex.h"
#include "shelltestsupport.h"
#include "zelto.h"

namespace {

class AboutBox : public testing::Test {
 protected:
  void SetUp() override { TheCore = &core; }
  void TearDown() override { TheCore = nullptr; }
  TZelto core;
};

TEST_F(AboutBox, ShowsTheDeviceAndTheProgramVersion) {
  SetText(core.DeviceDescr, u"Kalvenor - DEMO");
  TfInfo box(nullptr);
  box.Show();
  gui::Application->ProcessMessages();
  EXPECT_EQ(box.leCaption->CaptionW(), u"About");
  EXPECT_EQ(box.leDevice->CaptionW(), u"Device:");
  EXPECT_EQ(box.leSerial->CaptionW(), u"Serial number:");
  EXPECT_EQ(box.leVersion->CaptionW(), u"Device version:");
  EXPECT_EQ(box.leReleaseVer->CaptionW(), u"Software version:");
  EXPECT_EQ(box.leDeviceName->CaptionW(), u"Kalvenor - DEMO");
  EXPECT_EQ(box.leSerialNumber->CaptionW(), u"");
  EXPECT_EQ(box.leVersionNumber->CaptionW(), u"");
  // Four numbers joined by dots, the build's version.
  const std::u16string version = box.leReleaseVerNumber->CaptionW();
  EXPECT_EQ(std::count(version.begin(), version.end(), u'.'), 3) << shelltest::Narrow(version);
  EXPECT_NE(version, u"?.?.?.?");
  EXPECT_EQ(box.bClose->CaptionW(), u"Close");
  EXPECT_TRUE(box.SaveScreenshot(shelltest::PicturePath("info.png")));
}

// The device's description is its own text: an "&" in it shows as an "&"
// (what a label draws from "&&"), while the row names keep the language
// file's "&&" rule.
TEST_F(AboutBox, AnAmpersandInTheDeviceDescriptionShows) {
  SetText(core.DeviceDescr, u"R&D rig");
  TfInfo box(nullptr);
  box.Show();
  gui::Application->ProcessMessages();
  TLabelEx& value = *box.leDeviceName;
  EXPECT_EQ(value.CaptionW(), u"R&D rig");
  const gui::TBitmap shown = Snap(value);
  value.SetShowAccelChar(true);
  value.SetCaptionW(u"R&&D rig");
  EXPECT_TRUE(SameImage(shown, Snap(value)));
  value.SetCaptionW(u"R&D rig");
  EXPECT_FALSE(SameImage(shown, Snap(value))) << "the D would be underlined, the & gone";
  EXPECT_TRUE(box.leDevice->ShowAccelChar());
}

TEST(AboutBoxVersion, NoVersionShowsQuestionMarks) {
  EXPECT_EQ(FileVersionText(u""), u"?.?.?.?");
  EXPECT_EQ(FileVersionText(u"1.2.3.4"), u"1.2.3.4");
}

TEST_F(AboutBox, OneToolTipPerControlAcrossShows) {
  TfInfo box(nullptr);
  box.Show();
  box.Hide();
  box.Show();
  gui::Application->ProcessMessages();
  EXPECT_TRUE(box.bCloseS->ShowHint());
  EXPECT_EQ(box.bCloseS->Hint(), u"Close");
  TLanguageService::AddToolTip(&box, box.bCloseS, u"Close [Esc]");
  EXPECT_EQ(box.bCloseS->Hint(), u"Close [Esc]");
  TLanguageService::InstallHintHandler();
  EXPECT_EQ(gui::Application->HintColor(), gui::clWhite);
}

TEST_F(AboutBox, EscAndTheButtonsClose) {
  for (int way = 0; way < 3; ++way) {
    TfInfo box(nullptr);
    gui::TAnswerScript script;
    script.ExpectAction(gui::dkModalForm, [&](const gui::TDialogRequest&) {
      if (way == 0) gui::SimKey(&box, gui::VK_ESCAPE, 27);
      if (way == 1) gui::SimClick(*box.bClose, 10, 10);
      if (way == 2) gui::SimClick(*box.bCloseS, 5, 5);
      return std::optional<gui::TDialogAnswer>();
    });
    box.ShowModal();
    EXPECT_FALSE(box.Visible()) << way;
    EXPECT_TRUE(script.Unexpected().empty());
  }
}

// A tool-tip shows when the mouse rests over a control, also while another
// window is the active one.
TEST_F(AboutBox, ToolTipShowsOverAnInactiveWindow) {
  TfInfo box(nullptr);
  box.SetBounds(20, 20, box.Width(), box.Height());
  box.Show();
  gui::TForm other(nullptr);
  other.SetBounds(600, 400, 100, 100);
  other.Show();
  gui::Application->ProcessMessages();
  ASSERT_FALSE(box.Active());
  gui::SimMouseMove(*box.bCloseS, 4, 4);
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(3) * testsupport::kSanitizerSlowdown;
  while (gui::ShownToolTip().empty() && std::chrono::steady_clock::now() < give_up) {
    gui::Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(gui::ShownToolTip(), u"Close");
  EXPECT_FALSE(box.Active());
}

}  // namespace
