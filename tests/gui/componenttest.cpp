#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "answerhook.h"
#include "application.h"
#include "bitmap.h"
#include "dialogs.h"
#include "form.h"
#include "inputsim.h"
#include "label.h"
#include "panel.h"
#include "timer.h"

namespace gui {
namespace {

// A component that reports its destruction.
class TTracked : public TComponent {
 public:
  TTracked(TComponent* owner, std::vector<std::string>& log, std::string name)
      : TComponent(owner), FLog(log) {
    SetName(std::move(name));
  }
  ~TTracked() override { FLog.push_back(Name()); }

 private:
  std::vector<std::string>& FLog;
};

TEST(Component, OwnerFreesWhatItOwnsNewestFirst) {
  std::vector<std::string> log;
  auto* owner = new TTracked(nullptr, log, "owner");
  auto* a = new TTracked(owner, log, "a");
  new TTracked(owner, log, "b");
  new TTracked(a, log, "a1");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->FindComponent("b")->Name(), "b");
  EXPECT_EQ(owner->FindComponent("a1"), nullptr);  // only its own components
  delete owner;
  // Each destructor's own work comes first, then what it owns, newest first.
  EXPECT_EQ(log, (std::vector<std::string>{"owner", "b", "a", "a1"}));
}

TEST(Component, FreedEarlyLeavesItsOwner) {
  std::vector<std::string> log;
  TTracked owner(nullptr, log, "owner");
  auto* a = new TTracked(&owner, log, "a");
  a->SetTag(3);
  EXPECT_EQ(a->Tag(), 3);
  delete a;
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
}

TEST(Control, ParentFreesItsChildControls) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  auto* label = new TLabel(&form);  // owned by the form, shown on the panel
  label->SetParent(panel);
  EXPECT_EQ(panel->ControlCount(), 1);
  delete panel;
  EXPECT_EQ(form.ComponentCount(), 0);  // the label went with its parent
  EXPECT_EQ(form.ControlCount(), 0);
}

TEST(Control, ColourAndFontFollowTheParentUntilSet) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  auto* label = new TLabel(&form);
  label->SetParent(panel);
  panel->SetColor(0x9CDBDE);
  EXPECT_EQ(label->Color(), 0x9CDBDEu);  // labels take the parent's colour
  panel->Font().SetStyle(fsBold);
  EXPECT_TRUE(label->Font().Bold());
  label->Font().SetColor(clRed);  // a font of its own from now on
  EXPECT_FALSE(label->ParentFont());
  panel->Font().SetHeight(-20);
  EXPECT_NE(label->Font().Height(), -20);
  label->SetColor(clWhite);
  panel->SetColor(clGray);
  EXPECT_EQ(label->Color(), clWhite);
  label->SetParentColor(true);
  EXPECT_EQ(label->Color(), clGray);
}

TEST(Control, VisibilityShowingAndCoordinates) {
  TForm form(nullptr);
  form.SetOwnFrame(true);
  form.SetBorderStyle(bsNone);
  form.SetBounds(100, 120, 300, 200);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 20, 100, 50);
  EXPECT_TRUE(panel->Visible());
  EXPECT_FALSE(panel->Showing());  // its form is hidden
  form.Show();
  Application->ProcessMessages();
  EXPECT_TRUE(panel->Showing());
  panel->Hide();
  EXPECT_FALSE(panel->Showing());
  panel->Show();
  const TPoint origin = panel->ClientOrigin();
  EXPECT_EQ(origin, (TPoint{110, 140}));
  EXPECT_EQ(panel->ClientToScreen({5, 6}), (TPoint{115, 146}));
  EXPECT_EQ(panel->ScreenToClient({115, 146}), (TPoint{5, 6}));
  EXPECT_EQ(panel->ClientRect(), Rect(0, 0, 100, 50));
  EXPECT_EQ(panel->ParentForm(), &form);
}

TEST(Control, GraphicControlsLieBelowWindowedSiblings) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* panel = new TPanel(&form);  // windowed, placed first
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 100, 100);
  panel->SetColor(clLime);
  panel->SetBevelOuter(bvNone);
  auto* under = new TLabel(&form);
  under->SetParent(&form);
  under->SetAutoSize(false);
  under->SetBounds(50, 0, 100, 100);
  under->SetColor(clRed);
  auto* over = new TLabel(&form);  // a later graphic control covers an earlier one
  over->SetParent(&form);
  over->SetAutoSize(false);
  over->SetBounds(120, 0, 80, 100);
  over->SetColor(clBlue);
  form.Show();
  const std::string file = (std::filesystem::temp_directory_path() / ("gui_zorder_" + std::to_string(::getpid()) + ".png")).string();
  ASSERT_TRUE(form.SaveScreenshot(file));
  TBitmap shot;
  ASSERT_TRUE(shot.LoadFromFile(file));
  std::remove(file.c_str());
  EXPECT_EQ(shot.Pixel(75, 50), clLime);
  EXPECT_EQ(shot.Pixel(110, 50), clRed);
  EXPECT_EQ(shot.Pixel(130, 50), clBlue);
}

TEST(Control, HintsAndCaptionsAreKept) {
  TForm form(nullptr);
  auto* label = new TLabel(&form);
  label->SetHint(u"Zoom in [Ctrl + I]");
  label->SetShowHint(true);
  EXPECT_EQ(label->Hint(), u"Zoom in [Ctrl + I]");
  EXPECT_TRUE(label->ShowHint());
  form.SetCaption("Debug");
  EXPECT_EQ(form.Caption(), "Debug");
}

// Counts clicks and double clicks.
class TClickCounter : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  int Clicks = 0;
  int Doubles = 0;
  int Downs = 0;

 protected:
  void Click() override { ++Clicks; }
  void DblClick() override { ++Doubles; }
  void MouseDown(TMouseButton, TShiftState shift, int, int) override {
    ++Downs;
    if (shift & ssDouble) ++Doubles;
  }
};

TEST(Control, DoubleClicksFollowTheControlStyle) {
  TForm form(nullptr);
  form.SetBounds(50, 50, 200, 100);
  auto* c = new TClickCounter(&form);
  c->SetParent(&form);
  c->SetBounds(10, 10, 50, 30);
  form.Show();
  Application->ProcessMessages();
  SimDoubleClick(*c, 5, 5);
  // Press, release (a click), then the double click and its mouse-down.
  EXPECT_EQ(c->Clicks, 1);
  EXPECT_EQ(c->Doubles, 2);
  c->Clicks = c->Doubles = c->Downs = 0;
  c->SetControlStyle(c->ControlStyle() & ~csDoubleClicks);
  SimDoubleClick(*c, 5, 5);
  EXPECT_EQ(c->Clicks, 2);
  EXPECT_EQ(c->Doubles, 0);
  EXPECT_EQ(c->Downs, 2);
  SimMouseLeaveWindow(form);
}

TEST(Control, ExceptionFromAPaintIsShownNotThrownThroughTheLoop) {
  struct TBadPaint : TCustomControl {
    using TCustomControl::TCustomControl;
    int Paints = 0;
    void Paint() override {
      if (++Paints == 1) throw std::runtime_error("paint failed");
    }
  };
  TForm form(nullptr);
  auto* bad = new TBadPaint(&form);
  bad->SetParent(&form);
  bad->SetBounds(5, 5, 40, 40);
  TAnswerScript script;
  script.Expect(dkMessageBox, IDOK);
  form.Show();
  form.SaveScreenshot("/dev/null");
  EXPECT_GE(bad->Paints, 1);
  ASSERT_FALSE(script.Requests().empty());
  EXPECT_EQ(script.Requests()[0].Text, u"paint failed");
}

TEST(Form, WindowStatesAndMinimisingTheApplication) {
  TForm form(nullptr);
  form.SetBounds(20, 20, 200, 150);
  form.Show();
  Application->ProcessMessages();
  form.SetWindowState(wsMaximized);
  Application->ProcessMessages();
  EXPECT_EQ(form.WindowState(), wsMaximized);
  form.SetWindowState(wsNormal);
  Application->ProcessMessages();
  EXPECT_EQ(form.WindowState(), wsNormal);
  Application->Minimize();
  EXPECT_EQ(form.WindowState(), wsMinimized);
  Application->Restore();
  EXPECT_EQ(form.WindowState(), wsNormal);
}

TEST(Form, CaFreeReleasesTheFormAfterTheClose) {
  auto* form = new TForm(Application);
  form->Show();
  bool freed = false;
  auto* marker = new TTimer(form);
  marker->SetEnabled(false);
  form->OnClose = [](TComponent*, TCloseAction& action) { action = caFree; };
  struct TWatch : TComponent {
    TWatch(TComponent* owner, bool& flag) : TComponent(owner), Flag(flag) {}
    ~TWatch() override { Flag = true; }
    bool& Flag;
  };
  new TWatch(form, freed);
  form->Close();
  EXPECT_FALSE(freed);  // not while the close is under way
  EXPECT_FALSE(form->Visible());
  Application->ProcessMessages();
  EXPECT_TRUE(freed);
}

TEST(Form, OwnerFormCentring) {
  TForm owner(nullptr);
  owner.SetOwnFrame(true);
  owner.SetBounds(100, 100, 400, 300);
  owner.Show();
  TForm dialog(&owner);
  dialog.SetOwnFrame(true);
  dialog.SetBounds(0, 0, 100, 50);
  dialog.SetPosition(poOwnerFormCenter);
  dialog.Show();
  EXPECT_EQ(dialog.Left(), 100 + (400 - 100) / 2);
  EXPECT_EQ(dialog.Top(), 100 + (300 - 50) / 2);
}

}  // namespace
}  // namespace gui
