// The language choice: listing, drawing, Enter chooses, Esc does nothing.
#include <gtest/gtest.h>

#include "answerhook.h"
#include "bitmapbutton.h"
#include "bitmap.h"
#include "controlfixture.h"
#include "formselectlang.h"
#include "inputsim.h"
#include "labelex.h"
#include "listbox.h"
#include "shelltestsupport.h"

namespace {

using shelltest::TTempFolder;

void WriteLanguage(const TTempFolder& folder, const std::string& file, const std::u16string& name) {
  shelltest::WriteLanguageFile(folder.File(file), {{u"About", u"Name", name},
                                                   {u"About", u"Line1", name + u" texts"},
                                                   {u"About", u"Line2", u"Second"},
                                                   {u"About", u"Line3", u"Third"},
                                                   {u"About", u"Line4", u"Fourth"}});
}

// Shows the dialog modally and runs `act` while it is open.
void WhileShown(TfSelectLang& dialog, const std::function<void()>& act) {
  gui::TAnswerScript script;
  script.ExpectAction(gui::dkModalForm, [&](const gui::TDialogRequest&) {
    act();
    return std::optional<gui::TDialogAnswer>();
  });
  dialog.ShowModal();
  EXPECT_TRUE(script.Unexpected().empty());
}

TEST(SelectLanguage, ListsNumberedSelectsTheFirstAndEnterChoosesIt) {
  TTempFolder folder;
  WriteLanguage(folder, "English.xml", u"English");
  WriteLanguage(folder, "Deutsch.xml", u"Deutsch");
  TfSelectLang dialog(nullptr, folder.PathW());
  WhileShown(dialog, [&] {
    EXPECT_EQ(dialog.lbLanguage->Items().Count(), 2);
    EXPECT_EQ(dialog.lbLanguage->Items().Strings(1), u"2");
    EXPECT_EQ(dialog.lbLanguage->ItemIndex(), 0);
    EXPECT_EQ(dialog.leName->CaptionW(), u"Deutsch");
    EXPECT_EQ(dialog.leLines[0]->CaptionW(), u"Deutsch texts");
    EXPECT_EQ(dialog.leLines[3]->CaptionW(), u"Fourth");
    EXPECT_EQ(dialog.leCaption->CaptionW(), u"");
    // Esc leaves the window open.
    gui::SimKey(&dialog, gui::VK_ESCAPE, 27);
    EXPECT_TRUE(dialog.Visible());
    const std::string path = shelltest::PicturePath("selectlang.png");
    ASSERT_TRUE(dialog.SaveScreenshot(path));
    gui::TBitmap picture;
    ASSERT_TRUE(picture.LoadFromFile(path));
    // The selected row is yellow, the next one pale yellow; the row starts
    // with the number (x = 2), the name at x = 16.
    const gui::TPoint list = dialog.lbLanguage->ClientOrigin();
    const gui::TPoint window = {dialog.Left(), dialog.Top()};
    const int x = list.x - window.x + 12, y = list.y - window.y;
    EXPECT_EQ(picture.Pixel(x, y + 8), 0x00FFFFu);
    EXPECT_EQ(picture.Pixel(x, y + 16 + 8), 0xE1FFFFu);
    gui::SimKey(&dialog, gui::VK_RETURN, 13);
  });
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(dialog.ChosenPath(), folder.PathW() + u"/Deutsch.xml");
}

TEST(SelectLanguage, ClickingAnotherEntryShowsIt) {
  TTempFolder folder;
  WriteLanguage(folder, "English.xml", u"English");
  WriteLanguage(folder, "Deutsch.xml", u"Deutsch");
  TfSelectLang dialog(nullptr, folder.PathW());
  WhileShown(dialog, [&] {
    const gui::TRect second = dialog.lbLanguage->ItemRect(1);
    gui::SimClick(*dialog.lbLanguage, second.Left + 20, second.Top + 5);
    EXPECT_EQ(dialog.leName->CaptionW(), u"English");
    gui::SimClick(*dialog.bOK, 10, 10);
  });
  EXPECT_EQ(dialog.ChosenPath(), folder.PathW() + u"/English.xml");
}

// A language's name and lines are the file's own text: an "&" in them shows
// as an "&" (what a label draws from "&&"), not an underlined letter.
TEST(SelectLanguage, AnAmpersandInTheLanguageNameShows) {
  TTempFolder folder;
  WriteLanguage(folder, "Rd.xml", u"R&D");
  TfSelectLang dialog(nullptr, folder.PathW());
  dialog.Show();
  gui::Application->ProcessMessages();
  ASSERT_EQ(dialog.lbLanguage->Items().Count(), 1);
  ASSERT_EQ(dialog.leName->CaptionW(), u"R&D");
  const gui::TBitmap name = Snap(*dialog.leName);
  const gui::TBitmap line = Snap(*dialog.leLines[0]);
  dialog.leName->SetShowAccelChar(true);
  dialog.leName->SetCaptionW(u"R&&D");
  dialog.leLines[0]->SetShowAccelChar(true);
  dialog.leLines[0]->SetCaptionW(u"R&&D texts");
  EXPECT_TRUE(SameImage(name, Snap(*dialog.leName)));
  EXPECT_TRUE(SameImage(line, Snap(*dialog.leLines[0])));
  dialog.leName->SetCaptionW(u"R&D");
  EXPECT_FALSE(SameImage(name, Snap(*dialog.leName)));
}

TEST(SelectLanguage, NoLanguageFilesLeaveNothingToChoose) {
  TTempFolder folder;
  TfSelectLang dialog(nullptr, folder.PathW() + u"/Language");
  WhileShown(dialog, [&] {
    EXPECT_EQ(dialog.lbLanguage->Items().Count(), 0);
    gui::SimKey(&dialog, gui::VK_RETURN, 13);
  });
  EXPECT_FALSE(dialog.Visible());
  EXPECT_EQ(dialog.ChosenPath(), u"");
}

}  // namespace
