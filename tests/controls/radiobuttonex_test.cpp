#include "radiobuttonex.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "controlfixture.h"

namespace {

struct RadioButtonExTest : ControlTest {
  std::filesystem::path Folder;
  void SetUp() override {
    ControlTest::SetUp();
    std::string name = (std::filesystem::temp_directory_path() / "zelto-radio-XXXXXX").string();
    ASSERT_NE(mkdtemp(name.data()), nullptr);
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

TEST_F(RadioButtonExTest, WideCaptionIsKeptButTheButtonShowsTheNarrowOne) {
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

}  // namespace
