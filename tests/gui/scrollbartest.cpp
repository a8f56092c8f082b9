#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "application.h"
#include "form.h"
#include "inputsim.h"
#include "scrollbar.h"

namespace gui {
namespace {

TEST(ScrollRange, PositionStaysWithinTheRange) {
  EXPECT_EQ(ScrollMaxPosition(0, 100, 0), 100);
  EXPECT_EQ(ScrollMaxPosition(0, 100, 10), 91);
  EXPECT_EQ(ScrollMaxPosition(5, 6, 10), 5);
  EXPECT_EQ(ClampScrollPosition(150, 0, 100, 0), 100);
  EXPECT_EQ(ClampScrollPosition(-3, 0, 100, 0), 0);
  EXPECT_EQ(ClampScrollPosition(95, 0, 100, 10), 91);
}

struct ScrollBarTest : testing::Test {
  TForm* Form = nullptr;
  TScrollBar* Bar = nullptr;
  std::vector<int> Changes;
  void SetUp() override {
    Form = new TForm(Application);
    Bar = new TScrollBar(Form);
    Bar->SetParent(Form);
    Bar->SetBounds(10, 10, 200, 16);
    Bar->OnChange = [this](TComponent*) { Changes.push_back(Bar->Position()); };
  }
  void TearDown() override { delete Form; }
};

TEST_F(ScrollBarTest, ProgrammaticChangesAndClampsNotify) {
  Bar->SetPosition(40);
  Bar->SetPosition(40);  // no change, no notification
  Bar->SetPosition(500);
  EXPECT_EQ(Bar->Position(), 100);
  Bar->SetMax(60);  // the position follows the lowered maximum
  EXPECT_EQ(Bar->Position(), 60);
  Bar->SetPosition(10);
  Bar->SetMin(20);  // and the raised minimum
  EXPECT_EQ(Bar->Position(), 20);
  EXPECT_EQ(Changes, (std::vector<int>{40, 100, 60, 10, 20}));
}

TEST_F(ScrollBarTest, SetParamsChangesOnceAndKeepsAValidPosition) {
  Bar->SetParams(30, 10, 50);
  EXPECT_EQ(Changes, (std::vector<int>{30}));
  Bar->SetParams(30, 0, 200);
  EXPECT_EQ(Changes.size(), 1u);
  Bar->SetPageSize(50);
  Bar->SetPosition(190);
  EXPECT_EQ(Bar->Position(), 151);
  EXPECT_THROW(Bar->SetParams(0, 10, 5), std::out_of_range);
  EXPECT_EQ(Bar->Min(), 0);  // a refused range changes nothing
}

TEST_F(ScrollBarTest, UserMovesNotifyToo) {
  Bar->SetParams(5, 0, 10);
  Changes.clear();
  Form->Show();
  Bar->SetFocus();
  Application->ProcessMessages();
  SimKey(Form, VK_RIGHT);
  EXPECT_EQ(Bar->Position(), 6) << "focus " << Bar->Focused();
  SimKey(Form, VK_END);
  EXPECT_EQ(Bar->Position(), 10);
  EXPECT_EQ(Changes, (std::vector<int>{6, 10}));
}

}  // namespace
}  // namespace gui
