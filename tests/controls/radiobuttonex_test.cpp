#include "radiobuttonex.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "controlfixture.h"

namespace {

struct RadioTest : ControlTest {
  std::filesystem::path Folder;
  void SetUp() override {
    ControlTest::SetUp();
    char name[] = "/tmp/zelto-radio-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    Folder = name;
  }
  void TearDown() override {
    std::filesystem::remove_all(Folder);
    ControlTest::TearDown();
  }
  gui::TBitmap Screenshot(const std::string& name) {
    gui::Application->ProcessMessages();
    const std::string path = (Folder / name).string();
    EXPECT_TRUE(Form->SaveScreenshot(path));
    gui::TBitmap image;
    EXPECT_TRUE(image.LoadFromFile(path));
    return image;
  }
};

TEST_F(RadioTest, WideCaptionIsKeptButTheButtonShowsTheNarrowOne) {
  auto* radio = Place(new TRadioButtonEx(Form), 20, 20, 150, 20);
  radio->SetCaption("Narrow");
  EXPECT_TRUE(radio->CaptionW().empty());
  const gui::TBitmap before = Screenshot("before.png");
  radio->SetCaptionW(u"Wide text");
  EXPECT_EQ(radio->CaptionW(), u"Wide text");
  EXPECT_EQ(radio->Caption(), "Narrow");
  EXPECT_TRUE(SameImage(Screenshot("after.png"), before));
  radio->SetCaption("Other");
  EXPECT_FALSE(SameImage(Screenshot("other.png"), before));
}

TEST_F(RadioTest, BehavesAsThePlatformsRadioButton) {
  auto* first = Place(new TRadioButtonEx(Form), 20, 20, 150, 20);
  auto* second = Place(new TRadioButtonEx(Form), 20, 50, 150, 20);
  int clicks = 0;
  second->OnClick = [&](gui::TComponent*) { ++clicks; };
  first->SetChecked(true);
  gui::SimClick(*second, 8, 10);
  EXPECT_TRUE(second->Checked());
  EXPECT_FALSE(first->Checked());
  EXPECT_EQ(clicks, 1);
}

}  // namespace
