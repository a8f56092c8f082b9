#include <gtest/gtest.h>

#include <vector>

#include "application.h"
#include "checkbox.h"
#include "combobox.h"
#include "datetimepicker.h"
#include "drawgrid.h"
#include "edit.h"
#include "form.h"
#include "gridlayout.h"
#include "imagelist.h"
#include "inputsim.h"
#include "listbox.h"
#include "memo.h"
#include "progressbar.h"
#include "radiobutton.h"
#include "timer.h"
#include "treeview.h"

namespace gui {
namespace {

struct ControlsTest : testing::Test {
  TForm* Form = nullptr;
  void SetUp() override {
    Form = new TForm(Application);
    Form->SetBounds(40, 40, 400, 300);
    Form->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    SimMouseLeaveWindow(*Form);
    delete Form;
  }
  template <class T>
  T* Make(int left, int top, int width, int height) {
    auto* c = new T(Form);
    c->SetParent(Form);
    c->SetBounds(left, top, width, height);
    return c;
  }
  void Type(std::u16string_view text) {
    for (char16_t ch : text) {
      const TVirtualKey vk = ch >= u'a' && ch <= u'z' ? TVirtualKey(ch - u'a' + 'A')
                             : ch == u'.'              ? VK_OEM_PERIOD
                             : ch == u','              ? VK_OEM_COMMA
                             : ch == u'\b'             ? VK_BACK
                                                       : TVirtualKey(ch);
      SimKey(Form, vk, ch);
    }
  }
};

TEST_F(ControlsTest, EditKeyFilterChangesAndRefusesCharacters) {
  auto* edit = Make<TEdit>(10, 10, 100, 21);
  int changes = 0;
  edit->OnChange = [&](TComponent*) { ++changes; };
  // The decimal filter of the windows: "." becomes ",", one comma only,
  // digits and backspace pass.
  edit->OnKeyPress = [edit](TComponent*, char16_t& key) {
    if (key == u'.') key = u',';
    const bool digit = key >= u'0' && key <= u'9';
    if (!digit && key != 8 && key != u',') key = 0;
    if (key == u',' && edit->Text().find(u',') != std::u16string::npos) key = 0;
  };
  edit->SetFocus();
  Application->ProcessMessages();
  Type(u"12.5.x6");
  EXPECT_EQ(edit->Text(), u"12,56");
  Type(u"\b");
  EXPECT_EQ(edit->Text(), u"12,5");
  EXPECT_EQ(changes, 6);
  edit->SetText(u"7");
  EXPECT_EQ(changes, 7);  // programmatic changes notify too
}

// Ctrl+A selects the field, also where a key filter refuses the control
// character it types, so that typing replaces the old text.
TEST_F(ControlsTest, CtrlASelectsAllInEveryTextField) {
  auto* edit = Make<TEdit>(10, 10, 100, 21);
  edit->OnKeyPress = [](TComponent*, char16_t& key) {
    if ((key < u'0' || key > u'9') && key != 8) key = 0;
  };
  edit->SetText(u"0");
  auto* memo = Make<TMemo>(10, 40, 100, 60);
  memo->SetText(u"old\ntext");
  edit->SetFocus();
  Application->ProcessMessages();
  SimKey(Form, 'A', 1, ssCtrl);
  Type(u"300");
  EXPECT_EQ(edit->Text(), u"300");
  memo->SetFocus();
  Application->ProcessMessages();
  SimKey(Form, 'A', 1, ssCtrl);
  Type(u"new");
  EXPECT_EQ(memo->Text(), u"new");
}

TEST_F(ControlsTest, EditMaxLengthStopsTyping) {
  auto* edit = Make<TEdit>(10, 10, 100, 21);
  edit->SetMaxLength(4);
  edit->SetFocus();
  Application->ProcessMessages();
  Type(u"123456");
  EXPECT_EQ(edit->Text(), u"1234");
}

// A text the program sets is shown whole, however long; the user can
// shorten it but not make it longer, and within the limit types as usual.
// Only the user's edits mark the field modified.
TEST_F(ControlsTest, EditMaxLengthBoundsTheUserNotTheProgram) {
  auto* edit = Make<TEdit>(10, 10, 100, 21);
  edit->SetMaxLength(4);
  edit->SetText(u"123456789");
  EXPECT_EQ(edit->Text(), u"123456789");
  EXPECT_FALSE(edit->Modified());
  edit->SetFocus();
  Application->ProcessMessages();
  edit->SetSelStart(9);
  Type(u"0");
  EXPECT_EQ(edit->Text(), u"123456789");
  Type(u"\b\b");
  EXPECT_EQ(edit->Text(), u"1234567");
  EXPECT_TRUE(edit->Modified());
  // Typed in the middle: the typed character goes, the rest stays.
  edit->SetSelStart(2);
  Type(u"x");
  EXPECT_EQ(edit->Text(), u"1234567");
  edit->SelectAll();
  Type(u"abcdef");
  EXPECT_EQ(edit->Text(), u"abcd");
  edit->SetText(u"9");
  EXPECT_FALSE(edit->Modified());
  edit->SetModified(true);
  EXPECT_TRUE(edit->Modified());
}

TEST_F(ControlsTest, MemoKeepsAProgramTextBeyondItsLimit) {
  auto* memo = Make<TMemo>(10, 10, 200, 100);
  memo->SetMaxLength(5);
  memo->SetText(u"abcdefgh");
  EXPECT_EQ(memo->Text(), u"abcdefgh");
  memo->SetMaxLength(3);
  EXPECT_EQ(memo->Text(), u"abcdefgh");
  memo->SetFocus();
  Application->ProcessMessages();
  Type(u"x");
  EXPECT_EQ(memo->Text().size(), 8u);
  EXPECT_EQ(memo->Text().find(u'x'), std::u16string::npos);
}

TEST_F(ControlsTest, MemoLinesAndMaxLength) {
  auto* memo = Make<TMemo>(10, 10, 200, 100);
  EXPECT_EQ(memo->Lines().Count(), 0);
  memo->Lines().Add(u"first");
  memo->Lines().Add(u"second");
  memo->Lines().Insert(1, u"middle");
  EXPECT_EQ(memo->Lines().Count(), 3);
  EXPECT_EQ(memo->Lines().Strings(1), u"middle");
  memo->Lines().Delete(0);
  EXPECT_EQ(memo->Text(), u"middle\nsecond");
  memo->Lines().Clear();
  memo->SetMaxLength(5);
  memo->SetFocus();
  Application->ProcessMessages();
  Type(u"abcdefgh");
  EXPECT_EQ(memo->Text(), u"abcde");
}

TEST_F(ControlsTest, ComboItemsCarryValuesAndOnlyUserChoicesNotify) {
  auto* combo = Make<TComboBox>(10, 10, 120, 21);
  combo->SetStyle(csDropDownList);
  int changes = 0;
  combo->OnChange = [&](TComponent*) { ++changes; };
  for (int n = 16384; n >= 512; n /= 2) combo->Items().AddObject(std::u16string(u"x") + char16_t(u'0' + n % 10), n);
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetItemIndex(combo->Items().IndexOfObject(2048));
  EXPECT_EQ(combo->ItemIndex(), 3);
  EXPECT_EQ(combo->Items().Objects(combo->ItemIndex()), 2048);
  EXPECT_EQ(changes, 0);
  combo->SetFocus();
  Application->ProcessMessages();
  SimKey(Form, VK_DOWN);
  EXPECT_EQ(combo->ItemIndex(), 4);
  EXPECT_EQ(changes, 1);
}

// Sorted lists insert before the first greater text, keeping each value
// with its text; unsorted ones (and a memo's lines) append.
TEST_F(ControlsTest, SortedItemsGoInOrderUnsortedOnesAtTheEnd) {
  auto* combo = Make<TComboBox>(10, 10, 120, 21);
  auto* list = Make<TListBox>(10, 40, 120, 80);
  auto* memo = Make<TMemo>(140, 10, 120, 80);
  for (TStrings* items : {&combo->Items(), &list->Items(), &memo->Lines()}) {
    for (const char16_t* s : {u"b", u"d"}) items->Add(s);
    EXPECT_EQ(items->AddObject(u"a", 7), 2);
    EXPECT_EQ(items->Text(), u"b\nd\na");
    items->Clear();
  }
  combo->SetSorted(true);
  list->SetSorted(true);
  for (TStrings* items : {&combo->Items(), &list->Items()}) {
    for (const char16_t* s : {u"b", u"d"}) items->Add(s);
    EXPECT_EQ(items->AddObject(u"c", 7), 1);
    EXPECT_EQ(items->AddObject(u"a", 9), 0);
    EXPECT_EQ(items->AddObject(u"e", 11), 4);
    EXPECT_EQ(items->AddObject(u"b", 13), 1) << "an equal text goes before the one there";
    EXPECT_EQ(items->Text(), u"a\nb\nb\nc\nd\ne");
    EXPECT_EQ(items->Objects(items->IndexOf(u"c")), 7);
    EXPECT_EQ(items->Objects(0), 9);
  }
}

TEST_F(ControlsTest, EditableComboNotifiesOncePerTypedCharacter) {
  auto* combo = Make<TComboBox>(10, 10, 120, 21);
  combo->SetStyle(csDropDown);
  combo->SetStyle(csDropDown);
  int changes = 0;
  combo->OnChange = [&](TComponent*) { ++changes; };
  combo->SetText(u"5");
  EXPECT_EQ(changes, 0);
  combo->SetFocus();
  Application->ProcessMessages();
  Type(u"ab");
  EXPECT_EQ(changes, 2);
  EXPECT_NE(combo->Text().find(u"ab"), std::u16string::npos);
}

TEST_F(ControlsTest, ProgressBarHoldsItsPositionInTheRange) {
  auto* bar = Make<TProgressBar>(10, 10, 100, 16);
  bar->SetPosition(150);
  EXPECT_EQ(bar->Position(), 100);
  bar->SetRange(10, 50);
  EXPECT_EQ(bar->Position(), 50);
  bar->SetPosition(-1);
  EXPECT_EQ(bar->Position(), 10);
}

TEST_F(ControlsTest, OwnerDrawnListDrawsItsItemsAndUserSelectionClicks) {
  auto* list = Make<TListBox>(10, 10, 133, 95);
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(16);
  list->SetSorted(true);
  for (const char16_t* s : {u"b", u"c", u"a"}) list->Items().Add(s);
  EXPECT_EQ(list->Items().Strings(0), u"a");
  std::vector<int> drawn;
  std::vector<TRect> rects;
  TOwnerDrawState selectedState = 0;
  list->OnDrawItem = [&](TComponent*, int index, TRect rect, TOwnerDrawState state) {
    drawn.push_back(index);
    rects.push_back(rect);
    if (index == 1) selectedState = state;
    list->Canvas().Brush().Color = (state & odSelected) ? clYellow : 0xE1FFFF;
    list->Canvas().FillRect(rect);
  };
  int clicks = 0;
  list->OnClick = [&](TComponent*) { ++clicks; };
  list->SetItemIndex(1);
  EXPECT_EQ(clicks, 0);
  Form->Repaint();
  list->Repaint();
  Application->ProcessMessages();
  ASSERT_GE(drawn.size(), 3u);
  EXPECT_TRUE(selectedState & odSelected);
  EXPECT_EQ(rects[0].Height(), 16);
  EXPECT_EQ(list->ItemRect(2).Top, list->ItemRect(1).Top + 16);
  const TRect third = list->ItemRect(2);
  SimClick(*list, third.Left + 5, third.Top + 5 + (list->Height() - list->ClientHeight()) / 2);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, CheckAndRadioButtonsClickWhenChecked) {
  auto* a = Make<TRadioButton>(10, 10, 80, 17);
  auto* b = Make<TRadioButton>(10, 30, 80, 17);
  auto* box = Make<TCheckBox>(10, 50, 80, 17);
  std::vector<std::string> clicks;
  a->OnClick = [&](TComponent*) { clicks.push_back("a"); };
  b->OnClick = [&](TComponent*) { clicks.push_back("b"); };
  box->OnClick = [&](TComponent*) { clicks.push_back("box"); };
  a->SetChecked(true);
  b->SetChecked(true);  // unchecks a without a click of a
  EXPECT_FALSE(a->Checked());
  box->SetChecked(true);
  box->SetChecked(true);
  box->SetChecked(false);
  EXPECT_EQ(clicks, (std::vector<std::string>{"a", "b", "box", "box"}));
  SimClick(*a, 5, 8);
  EXPECT_TRUE(a->Checked());
  EXPECT_EQ(clicks.back(), "a");
}

TEST(GridLayout, SpansHitsAndScrollRange) {
  TGridAxis axis{{20, 130, 130, 130}, 1, 1, 1};
  const std::vector<TGridSpan> spans = VisibleSpans(axis, 300);
  ASSERT_EQ(spans.size(), 4u);  // the last one shows in part
  EXPECT_EQ(spans[1].Start, 21);
  EXPECT_EQ(spans[2].Start, 152);
  EXPECT_EQ(spans[3].Start, 283);
  EXPECT_EQ(CellAtPixel(axis, 300, 20), 0);  // the line belongs to the cell before it
  EXPECT_EQ(CellAtPixel(axis, 300, 21), 1);
  EXPECT_EQ(CellAtPixel(axis, 300, 300), -1);
  EXPECT_EQ(FullyVisibleCount(axis, 300, 1), 2);
  EXPECT_EQ(MaxFirst(axis, 300), 2);
  axis.First = 2;
  EXPECT_EQ(VisibleSpans(axis, 300)[1].Index, 2);
}

TEST_F(ControlsTest, DrawGridSelectsRowsWhenAllowedAndDrawsCells) {
  auto* grid = Make<TDrawGrid>(10, 10, 300, 120);
  grid->SetColCount(3);
  grid->SetRowCount(10);
  grid->SetFixedCols(0);
  grid->SetDefaultRowHeight(17);
  grid->SetOptions(grid->Options() | goRowSelect);
  std::vector<int> asked;
  bool allow = true;
  grid->OnSelectCell = [&](TComponent*, int, int row, bool& canSelect) {
    asked.push_back(row);
    canSelect = allow;
  };
  int cells = 0;
  grid->OnDrawCell = [&](TComponent*, int, int, TRect, TGridDrawState) { ++cells; };
  grid->Repaint();
  EXPECT_GT(cells, 0);
  const TRect r3 = grid->CellRect(1, 3);
  SimClick(*grid, r3.Left + 3, r3.Top + 3);
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_EQ(grid->Selection(), (TGridRect{0, 3, 2, 3}));
  allow = false;
  SimKey(Form, VK_DOWN);
  EXPECT_EQ(grid->Row(), 3);
  allow = true;
  SimKey(Form, VK_END);
  EXPECT_EQ(grid->Row(), 9);
  EXPECT_GT(grid->TopRow(), 1);  // scrolled into view
  EXPECT_EQ(asked, (std::vector<int>{3, 4, 9}));
}

TEST_F(ControlsTest, TimerImageListTreeAndDatePicker) {
  TTimer timer(Form);
  timer.SetInterval(5);
  int ticks = 0;
  timer.OnTimer = [&](TComponent*) {
    if (++ticks == 3) timer.SetEnabled(false);
  };
  while (ticks < 3) Application->ProcessMessages();
  EXPECT_EQ(ticks, 3);

  TImageList images(Form);
  images.SetSize(4, 4);
  TBitmap red(8, 8);
  red.Canvas().Brush().Color = clRed;
  red.Canvas().FillRect(Rect(0, 0, 8, 8));
  EXPECT_EQ(images.Add(red), 0);
  TBitmap out;
  EXPECT_TRUE(images.GetBitmap(0, out));
  EXPECT_EQ(out.Width(), 4);
  EXPECT_EQ(out.Pixel(3, 3), clRed);
  EXPECT_FALSE(images.GetBitmap(1, out));

  auto* tree = Make<TTreeView>(10, 10, 150, 100);
  TTreeNode* root = tree->Add(nullptr, u"Sensors", 7);
  TTreeNode* child = tree->Add(root, u"Probe1");
  EXPECT_EQ(root->Count(), 1);
  EXPECT_EQ(root->Item(0), child);
  EXPECT_EQ(child->Parent(), root);
  EXPECT_EQ(root->Data(), 7);
  tree->SetSelected(child);
  EXPECT_EQ(tree->Selected(), child);

  auto* date = Make<TDateTimePicker>(10, 120, 150, 21);
  date->SetDate({2024, 2, 29});
  EXPECT_EQ(date->Date(), (TCalendarDate{2024, 2, 29}));
  date->SetDate({2023, 2, 29});  // no such day: ignored
  EXPECT_EQ(date->Date(), (TCalendarDate{2024, 2, 29}));
}

}  // namespace
}  // namespace gui
