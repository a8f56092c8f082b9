#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "application.h"
#include "bitmap.h"
#include "form.h"
#include "inputsim.h"
#include "label.h"
#include "panel.h"

namespace gui {
namespace {

// A custom control that logs its notifications.
class TProbe : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::vector<std::string> Log;
  std::u16string Typed;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    Canvas().Brush().Color = clLime;
    Canvas().FillRect(ClientRect());
  }
  void MouseEnter() override { Log.push_back("enter"); }
  void MouseLeave() override { Log.push_back("leave"); }
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    Log.push_back(b == mbLeft ? "down" : "rdown");
    TCustomControl::MouseDown(b, s, x, y);
  }
  void MouseUp(TMouseButton, TShiftState, int, int) override { Log.push_back("up"); }
  void Click() override { Log.push_back("click"); }
  void KeyPress(char16_t& key) override { Typed.push_back(key); }
  void FocusReceived() override { Log.push_back("focus"); }
};

struct FormTest : testing::Test {
  TForm* Form = nullptr;
  TProbe* Probe = nullptr;
  void SetUp() override {
    Form = new TForm(Application);
    Form->SetBounds(100, 100, 300, 200);
    Probe = new TProbe(Form);
    Probe->SetParent(Form);
    Probe->SetBounds(10, 10, 50, 30);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    SimMouseLeaveWindow(*Form);
    delete Form;
  }
  bool Logged(const std::string& what) const {
    return std::find(Probe->Log.begin(), Probe->Log.end(), what) != Probe->Log.end();
  }
};

TEST_F(FormTest, ClickIsPressAndReleaseOverTheControlBeforeMouseUp) {
  SimClick(*Probe, 5, 5);
  EXPECT_EQ(Probe->Log, (std::vector<std::string>{"enter", "down", "click", "up"}));
  Probe->Log.clear();
  SimMouseDown(*Probe, mbLeft, 5, 5);
  SimMouseMove(*Probe, 80, 5, ssLeft);
  SimMouseUp(*Probe, mbLeft, 80, 5);
  EXPECT_FALSE(Logged("click"));
  EXPECT_TRUE(Logged("up"));
  EXPECT_TRUE(Logged("leave"));
}

TEST_F(FormTest, RightButtonMakesNoClick) {
  SimMouseMove(*Probe, 5, 5);
  SimMouseDown(*Probe, mbRight, 5, 5);
  SimMouseUp(*Probe, mbRight, 5, 5);
  EXPECT_TRUE(Logged("rdown"));
  EXPECT_FALSE(Logged("click"));
}

TEST_F(FormTest, DisabledControlGetsNoPressButStillMouseLeave) {
  SimMouseMove(*Probe, 5, 5);
  EXPECT_EQ(Probe->Log, (std::vector<std::string>{"enter"}));
  Probe->SetEnabled(false);
  SimClick(*Probe, 6, 6);
  EXPECT_FALSE(Logged("down"));
  EXPECT_FALSE(Logged("click"));
  SimMouseMove(*Form, 200, 150);
  EXPECT_EQ(Probe->Log.back(), "leave");
  // And entering a disabled control is reported too.
  SimMouseMove(*Probe, 5, 5);
  EXPECT_EQ(Probe->Log.back(), "enter");
  SimMouseLeaveWindow(*Form);
  EXPECT_EQ(Probe->Log.back(), "leave");
}

TEST_F(FormTest, KeyPreviewSeesKeysFirstAndMayChangeTheCharacter) {
  Probe->SetTabStop(true);
  Probe->SetFocus();
  Application->ProcessMessages();
  Form->SetKeyPreview(true);
  std::vector<TVirtualKey> formKeys;
  Form->OnKeyDown = [&](TComponent*, TVirtualKey& key, TShiftState) {
    formKeys.push_back(key);
    if (key == VK_ESCAPE) key = 0;
  };
  Form->OnKeyPress = [](TComponent*, char16_t& key) {
    if (key == u'.') key = u',';
    if (key == u'x') key = 0;
  };
  SimKey(Form, VK_OEM_PERIOD, u'.');
  SimKey(Form, 'X', u'x');
  SimKey(Form, 'A', u'a');
  SimKey(Form, VK_RETURN, u'\r');
  EXPECT_EQ(Probe->Typed, u",a\r");
  EXPECT_EQ(formKeys, (std::vector<TVirtualKey>{VK_OEM_PERIOD, 'X', 'A', VK_RETURN}));
  Form->SetKeyPreview(false);
  SimKey(Form, 'B', u'b');
  EXPECT_EQ(Probe->Typed, u",a\rb");
  EXPECT_EQ(formKeys.size(), 4u);
}

TEST_F(FormTest, AnchorsKeepDistancesToTheParentsEdges) {
  auto* panel = new TPanel(Form);
  panel->SetParent(Form);
  panel->SetBounds(7, 20, 200, 100);
  panel->SetAnchors(akLeft | akTop | akRight | akBottom);
  auto* corner = new TPanel(Form);
  corner->SetParent(Form);
  corner->SetBounds(250, 150, 20, 20);
  corner->SetAnchors(akRight | akBottom);
  Form->SetBounds(Form->Left(), Form->Top(), 400, 260);
  EXPECT_EQ(panel->BoundsRect(), Bounds(7, 20, 300, 160));
  EXPECT_EQ(corner->BoundsRect(), Bounds(350, 210, 20, 20));
}

TEST_F(FormTest, PaintedControlShowsInTheScreenshot) {
  Form->SetColor(clBlue);
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("gui_shot_" + std::to_string(::getpid()) + ".png");
  ASSERT_TRUE(Form->SaveScreenshot(file.string()));
  TBitmap shot;
  ASSERT_TRUE(shot.LoadFromFile(file.string()));
  std::filesystem::remove(file);
  EXPECT_EQ(shot.Width(), 300);
  EXPECT_EQ(shot.Pixel(30, 20), clLime);
  EXPECT_EQ(shot.Pixel(150, 150), clBlue);
  EXPECT_GT(Probe->Paints, 0);
}

TEST_F(FormTest, LabelAutoSizesToItsCaption) {
  auto* label = new TLabel(Form);
  label->SetParent(Form);
  label->SetLeft(5);
  label->SetCaption("A longer caption");
  const int wide = label->Width();
  label->SetCaption("A");
  EXPECT_LT(label->Width(), wide);
  EXPECT_GT(label->Height(), 8);
  label->SetAutoSize(false);
  label->SetBounds(5, 5, 120, 13);
  label->SetCaption("Something else entirely");
  EXPECT_EQ(label->Width(), 120);
}

}  // namespace
}  // namespace gui

namespace gui {
namespace {

// A focusable control whose wheel handling can be switched.
class TWheelProbe : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  bool Handles = false;
  int Seen = 0;

 protected:
  bool DoMouseWheel(TShiftState shift, int delta, TPoint pos) override {
    ++Seen;
    return Handles || TCustomControl::DoMouseWheel(shift, delta, pos);
  }
};

TEST_F(FormTest, WheelRunsFromTheFocusedControlUpToTheForm) {
  auto* focused = new TWheelProbe(Form);
  focused->SetParent(Form);
  focused->SetBounds(100, 10, 50, 30);
  focused->SetTabStop(true);
  focused->SetFocus();
  Application->ProcessMessages();
  std::vector<int> deltas;
  TShiftState lastShift = 0;
  Form->OnMouseWheel = [&](TComponent*, TShiftState shift, int delta, TPoint, bool& handled) {
    deltas.push_back(delta);
    lastShift = shift;
    handled = true;
  };
  // The wheel turns over the probe, while the other control has the focus.
  SimWheel(*Probe, 5, 5, 120);
  SimWheel(*Probe, 5, 5, -120, ssShift);
  EXPECT_EQ(deltas, (std::vector<int>{120, -120}));
  EXPECT_EQ(lastShift & ssShift, ssShift);
  EXPECT_EQ(focused->Seen, 2);
  focused->Handles = true;
  SimWheel(*Probe, 5, 5, 120);
  EXPECT_EQ(deltas.size(), 2u);
}

TEST_F(FormTest, TabOrderFollowsTheControlsOrder) {
  auto* a = new TProbe(Form);
  auto* b = new TProbe(Form);
  for (TProbe* p : {a, b}) {
    p->SetParent(Form);
    p->SetTabStop(true);
  }
  EXPECT_EQ(a->TabOrder(), 1);
  EXPECT_EQ(b->TabOrder(), 2);
  b->SetTabOrder(0);
  EXPECT_EQ(b->TabOrder(), 0);
  EXPECT_EQ(Probe->TabOrder(), 1);
  b->SetFocus();
  Application->ProcessMessages();
  SimKey(Form, VK_TAB);
  EXPECT_TRUE(a->Focused() || Probe->Focused());
  EXPECT_FALSE(b->Focused());
}

}  // namespace
}  // namespace gui
