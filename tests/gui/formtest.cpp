#include <gtest/gtest.h>

#include "answerhook.h"
#include "application.h"
#include "customcontrol.h"
#include "form.h"
#include "formframe.h"
#include "inputsim.h"
#include "screen.h"

namespace gui {
namespace {

TEST(FrameHitTest, ClientBorderAndSizingEdges) {
  // A sizeable frame of 4 pixels around a 200 x 100 window.
  EXPECT_EQ(FrameHitTest(100, 50, 200, 100, 4, true), HTCLIENT);
  EXPECT_EQ(FrameHitTest(0, 50, 200, 100, 4, true), HTLEFT);
  EXPECT_EQ(FrameHitTest(199, 50, 200, 100, 4, true), HTRIGHT);
  EXPECT_EQ(FrameHitTest(100, 3, 200, 100, 4, true), HTTOP);
  EXPECT_EQ(FrameHitTest(100, 96, 200, 100, 4, true), HTBOTTOM);
  EXPECT_EQ(FrameHitTest(1, 1, 200, 100, 4, true), HTTOPLEFT);
  EXPECT_EQ(FrameHitTest(10, 2, 200, 100, 4, true), HTTOPLEFT);  // along the edge near the corner
  EXPECT_EQ(FrameHitTest(198, 98, 200, 100, 4, true), HTBOTTOMRIGHT);
  EXPECT_EQ(FrameHitTest(200, 50, 200, 100, 4, true), HTNOWHERE);
  // A fixed frame only answers "border".
  EXPECT_EQ(FrameHitTest(0, 50, 200, 100, 1, false), HTBORDER);
  EXPECT_EQ(FrameHitTest(1, 50, 200, 100, 1, false), HTCLIENT);
}

TEST(FrameHitTest, CaptionBandIsStrictOnEveryEdge) {
  const int w = 500;  // a window with a 72 x 23 band
  EXPECT_EQ(CaptionBandHitTest(HTCLIENT, w - 73, 10, w, 72, 23), HTCAPTION);
  EXPECT_EQ(CaptionBandHitTest(HTCLIENT, w - 72, 10, w, 72, 23), HTCLIENT);
  EXPECT_EQ(CaptionBandHitTest(HTCLIENT, 100, 22, w, 72, 23), HTCAPTION);
  EXPECT_EQ(CaptionBandHitTest(HTCLIENT, 100, 23, w, 72, 23), HTCLIENT);
  EXPECT_EQ(CaptionBandHitTest(HTCLIENT, 0, 10, w, 72, 23), HTCLIENT);
  EXPECT_EQ(CaptionBandHitTest(HTCLIENT, 1, 1, w, 72, 23), HTCAPTION);
  EXPECT_EQ(CaptionBandHitTest(HTCLIENT, 100, 0, w, 72, 23), HTCLIENT);
  // The sizing border keeps its own answer.
  EXPECT_EQ(CaptionBandHitTest(HTTOP, 100, 2, w, 72, 23), HTTOP);
}

TEST(ResizeBounds, OppositeEdgesStayAndTheMinimumHolds) {
  const TRect r = Rect(100, 100, 300, 200);
  EXPECT_EQ(ResizeBounds(r, HTRIGHT, 40, 99, 50, 50), Rect(100, 100, 340, 200));
  EXPECT_EQ(ResizeBounds(r, HTTOPLEFT, 10, 20, 50, 50), Rect(110, 120, 300, 200));
  EXPECT_EQ(ResizeBounds(r, HTLEFT, 190, 0, 50, 50), Rect(250, 100, 300, 200));
  EXPECT_EQ(ResizeBounds(r, HTBOTTOM, 0, -90, 50, 50), Rect(100, 100, 300, 150));
  EXPECT_TRUE(IsSizingHit(HTBOTTOMLEFT));
  EXPECT_FALSE(IsSizingHit(HTCAPTION));
}

// A window with the own frame and a drag band, as the program's windows have.
class TBandForm : public TForm {
 public:
  explicit TBandForm(TComponent* owner) : TForm(owner) {
    SetOwnFrame(true);
    SetBorderStyle(bsSizeable);
    SetBounds(50, 60, 300, 200);
  }
  std::vector<int> Activations;

 protected:
  int HitTest(int x, int y) override { return CaptionBandHitTest(TForm::HitTest(x, y), x, y, Width(), 72, 23); }
  void Activation(int state) override {
    Activations.push_back(state);
    TForm::Activation(state);
  }
};

struct BandFormTest : testing::Test {
  TBandForm* Form = nullptr;
  void SetUp() override {
    Form = new TBandForm(Application);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    SimMouseLeaveWindow(*Form);
    delete Form;
  }
};

TEST_F(BandFormTest, PressInTheBandDragsTheWindow) {
  const int b = Form->FrameWidth();
  SimMouseDown(*Form, mbLeft, 20 - b, 10 - b);
  SimMouseMove(*Form, 50 - b, 30 - b, ssLeft);
  // The button is let go where it is: at the same place of the moved window.
  SimMouseUp(*Form, mbLeft, 20 - b, 10 - b);
  EXPECT_EQ(Form->Left(), 80);
  EXPECT_EQ(Form->Top(), 80);
  EXPECT_EQ(Form->Width(), 300);
}

TEST_F(BandFormTest, PressBelowTheBandDoesNotDrag) {
  const int b = Form->FrameWidth();
  int downs = 0;
  Form->OnMouseDown = [&](TComponent*, TMouseButton, TShiftState, int, int) { ++downs; };
  SimMouseDown(*Form, mbLeft, 20 - b, 40 - b);
  SimMouseMove(*Form, 50 - b, 70 - b, ssLeft);
  SimMouseUp(*Form, mbLeft, 50 - b, 70 - b);
  EXPECT_EQ(Form->Left(), 50);
  EXPECT_EQ(downs, 1);  // the press went to the form itself
}

TEST_F(BandFormTest, SizingBorderResizesTheWindow) {
  const int b = Form->FrameWidth();
  ASSERT_EQ(b, OwnFrameSizing);
  // The right border, half-way down, in client coordinates.
  const int x = Form->ClientWidth() + 1;
  SimMouseDown(*Form, mbLeft, x, 90);
  SimMouseMove(*Form, x + 40, 95, ssLeft);
  SimMouseUp(*Form, mbLeft, x + 40, 95);
  EXPECT_EQ(Form->Width(), 340);
  EXPECT_EQ(Form->Height(), 200);
  EXPECT_EQ(Form->Left(), 50);
  EXPECT_EQ(Form->ClientWidth(), 340 - 2 * b);
}

TEST_F(BandFormTest, ActivationNotifiesBothWindows) {
  auto* other = new TBandForm(Application);
  other->Show();
  Application->ProcessMessages();
  Form->BringToFront();
  Application->ProcessMessages();
  ASSERT_FALSE(Form->Activations.empty());
  EXPECT_NE(Form->Activations.back(), WA_INACTIVE);
  EXPECT_EQ(other->Activations.back(), WA_INACTIVE);
  delete other;
}

TEST_F(BandFormTest, ClickOnAnInactiveWindowActivatesItByClick) {
  auto* other = new TBandForm(Application);
  other->SetBounds(500, 400, 100, 100);
  other->Show();
  Application->ProcessMessages();
  ASSERT_FALSE(Form->Active());
  ASSERT_EQ(Form->Activations.back(), WA_INACTIVE);
  SimClick(*Form, 100, 100);
  EXPECT_TRUE(Form->Active());
  EXPECT_EQ(Form->Activations.back(), WA_CLICKACTIVE);
  EXPECT_EQ(other->Activations.back(), WA_INACTIVE);
  delete other;
}

TEST(Form, ModalResultAnsweredByTheHook) {
  TForm form(nullptr);
  TAnswerScript script;
  script.Expect(dkModalForm, mrOk);
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(form.Modal());
  EXPECT_EQ(script.Requests().at(0).Form, &form);
}

// A button of the test: a click sets its form's modal result.
class TResultButton : public TCustomControl {
 public:
  TResultButton(TForm* form, int result) : TCustomControl(form), FResult(result) {
    SetParent(form);
    SetBounds(10, 10, 60, 20);
  }

 protected:
  void Click() override { ParentForm()->SetModalResult(FResult); }

 private:
  int FResult;
};

TEST(Form, HookActsOnTheModalFormThroughItsControls) {
  TForm form(nullptr);
  auto* yes = new TResultButton(&form, mrYes);
  int closes = 0;
  form.OnClose = [&](TComponent*, TCloseAction&) { ++closes; };
  TAnswerScript script;
  script.ExpectAction(dkModalForm, [&](const TDialogRequest&) {
    SimClick(*yes, 5, 5);
    return std::optional<TDialogAnswer>();
  });
  EXPECT_EQ(form.ShowModal(), mrYes);
  EXPECT_EQ(closes, 1);
}

TEST(Form, ModalCloseCanBeRefusedUntilAllowed) {
  TForm form(nullptr);
  int asks = 0;
  form.OnCloseQuery = [&](TComponent*, bool& canClose) { canClose = ++asks > 1; };
  TAnswerScript script;
  script.ExpectAction(dkModalForm, [&](const TDialogRequest&) {
    // The first close is refused; a second one, from the loop, goes through.
    TApplication::Queue([&] { form.SetModalResult(mrNo); });
    return std::optional<TDialogAnswer>(TDialogAnswer{mrOk, {}});
  });
  EXPECT_EQ(form.ShowModal(), mrNo);
  EXPECT_EQ(asks, 2);
}

TEST(Form, CloseActionsHideRefuseOrFree) {
  auto* form = new TForm(Application);
  form->Show();
  TCloseAction next = caNone;
  form->OnClose = [&](TComponent*, TCloseAction& action) { action = next; };
  form->Close();
  EXPECT_TRUE(form->Visible());
  next = caHide;
  form->Close();
  EXPECT_FALSE(form->Visible());
  bool refused = true;
  form->OnCloseQuery = [&](TComponent*, bool& canClose) { canClose = !refused; };
  form->Show();
  form->Close();
  EXPECT_TRUE(form->Visible());
  delete form;
}

TEST(Form, PositionConstraintsAndClientSize) {
  TForm form(nullptr);
  form.SetOwnFrame(true);
  form.SetBorderStyle(bsDialog);
  form.SetClientWidth(396);
  form.SetClientHeight(197);
  EXPECT_EQ(form.Width(), 398);
  EXPECT_EQ(form.ClientWidth(), 396);
  form.SetConstraints({300, 200, 0, 0});
  form.SetBounds(0, 0, 100, 100);
  EXPECT_EQ(form.Width(), 300);
  EXPECT_EQ(form.Height(), 200);
  form.SetPosition(poScreenCenter);
  form.Show();
  const TRect screen = ScreenWorkArea();
  EXPECT_EQ(form.Left(), screen.Left + (screen.Width() - 300) / 2);
  EXPECT_EQ(form.Top(), screen.Top + (screen.Height() - 200) / 2);
}

}  // namespace
}  // namespace gui
