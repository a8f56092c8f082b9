// Pictures of every control in its states, written as PNG files into the
// build folder of tests/controls for a person to look at:
// gallery_bitmapbutton.png, gallery_labelex.png, ... Never into the folder
// the suite was started from, which may be the source tree.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "bitmapbutton.h"
#include "controlfixture.h"
#include "labelex.h"
#include "panelex.h"
#include "radiobuttonex.h"
#include "tabcontrolex.h"

namespace {

constexpr gui::TColor Work = 0x9CDBDE;  // the windows' work panel

std::string PicturePath(const std::string& name) { return std::string(CONTROLS_TEST_PICTURE_DIR) + "/" + name; }

// A sheet of named tiles, one below the other.
class TGallery {
 public:
  void Add(const std::string& name, gui::TBitmap tile) {
    const int height = std::max(tile.Height(), 16) + 8;
    FSheet.SetSize(Width, FBottom + height);
    gui::TCanvas& c = FSheet.Canvas();
    c.Brush() = {Work, gui::bsSolid};
    c.FillRect(gui::Rect(0, FBottom, Width, FBottom + height));
    c.SetBkMode(gui::bkTransparent);
    c.Font().SetColor(gui::clBlack);
    c.TextOut(6, FBottom + 4, name);
    c.CopyRect(gui::Bounds(170, FBottom + 4, tile.Width(), tile.Height()), tile.Canvas(),
               gui::Rect(0, 0, tile.Width(), tile.Height()));
    FBottom += height;
    FTiles.emplace(name, tile);
  }
  const gui::TBitmap& Tile(const std::string& name) const { return FTiles.at(name); }

  // Writes the sheet and reads it back.
  void Save(const std::string& name) {
    const std::string fileName = PicturePath(name);
    ASSERT_TRUE(FSheet.SaveToFile(fileName));
    gui::TBitmap back;
    ASSERT_TRUE(back.LoadFromFile(fileName));
    EXPECT_TRUE(SameImage(back, FSheet)) << fileName;
  }

  static constexpr int Width = 480;

 private:
  gui::TBitmap FSheet{Width, 1};
  int FBottom = 0;
  std::map<std::string, gui::TBitmap> FTiles;
};

struct ControlsGallery : ControlTest {
  void SetUp() override {
    ControlTest::SetUp();
    Form->SetBounds(50, 50, 560, 300);
    Form->SetColor(Work);
  }

  // A fresh control in a state, photographed and removed.
  template <class T>
  void Shoot(TGallery& gallery, const std::string& name, int width, int height,
             const std::function<void(T&)>& setup, const std::function<void(T&)>& act = {}) {
    T* control = Place(new T(Form), 10, 10, width, height);
    setup(*control);
    if (act) act(*control);
    gallery.Add(name, Snap(*control));
    gui::SimMouseLeaveWindow(*Form);
    delete control;
  }
};

void StyleButton(TBitmapButton& b, const std::u16string& caption) {
  b.SetButtonColor(0xC8D0D4);
  b.SetBackColor(Work);
  b.SetBorderColor(0x404040);
  b.SetBorderOver(0x0080FF);
  b.SetCaptionW(caption);
}

TEST_F(ControlsGallery, BitmapButton) {
  TGallery g;
  using B = TBitmapButton;
  auto plain = [](B& b) { StyleButton(b, u"Start"); };
  Shoot<B>(g, "normal", 75, 25, plain);
  Shoot<B>(g, "hover", 75, 25, plain, [](B& b) { gui::SimMouseMove(b, 30, 12); });
  Shoot<B>(g, "pressed", 75, 25, plain, [](B& b) {
    gui::SimMouseMove(b, 30, 12);
    gui::SimMouseDown(b, gui::mbLeft, 30, 12);
  });
  Shoot<B>(g, "focused", 75, 25, plain, [](B& b) {
    b.SetTabStop(true);
    b.SetFocus();
    gui::Application->ProcessMessages();
  });
  Shoot<B>(g, "focused, corner marks", 75, 25, plain, [](B& b) {
    b.SetFocusStyle(fsDefault);
    b.SetTabStop(true);
    b.SetFocus();
    gui::Application->ProcessMessages();
  });
  Shoot<B>(g, "disabled", 75, 25, [](B& b) {
    StyleButton(b, u"Start");
    b.SetEnabled(false);
  });
  Shoot<B>(g, "disabled, flat", 75, 25, [](B& b) {
    StyleButton(b, u"Start");
    b.SetFlat(true);
    b.SetEnabled(false);
  });
  Shoot<B>(g, "flat", 75, 25, [](B& b) {
    StyleButton(b, u"Start");
    b.SetFlat(true);
  });
  Shoot<B>(g, "square", 75, 25, [](B& b) {
    StyleButton(b, u"Next");
    b.SetShape(bsRect);
  });
  Shoot<B>(g, "square, no border", 75, 25, [](B& b) {
    StyleButton(b, u"Next");
    b.SetShape(bsRect);
    b.SetDrawBorder(false);
  });
  Shoot<B>(g, "square, focused corner marks", 75, 25, [](B& b) {
    StyleButton(b, u"Next");
    b.SetShape(bsRect);
    b.SetFocusStyle(fsDefault);
    b.SetTabStop(true);
    b.SetFocus();
    gui::Application->ProcessMessages();
  });
  Shoot<B>(g, "picture and caption", 100, 30, [](B& b) {
    StyleButton(b, u"Setup");
    gui::TBitmap picture = Solid(16, 16, 0x0000C0);
    picture.Canvas().Brush() = {gui::clYellow, gui::bsSolid};
    picture.Canvas().FillRect(gui::Rect(4, 4, 12, 12));
    b.SetBitmap(&picture);
    b.SetGap(4);
  });
  Shoot<B>(g, "panel style, held down", 75, 25, [](B& b) {
    StyleButton(b, u"1,25 mm/s");
    b.SetStyle(bsPanel);
    b.SetShape(bsRect);
  }, [](B& b) { gui::SimMouseDown(b, gui::mbLeft, 30, 12); });
  g.Save("gallery_bitmapbutton.png");
  for (const char* state : {"hover", "pressed", "focused", "focused, corner marks", "disabled"}) {
    EXPECT_FALSE(SameImage(g.Tile("normal"), g.Tile(state))) << state;
  }
  EXPECT_FALSE(SameImage(g.Tile("disabled"), g.Tile("disabled, flat")));
}

TEST_F(ControlsGallery, LabelEx) {
  TGallery g;
  using L = TLabelEx;
  auto text = [](gui::TAlignment alignment, const std::u16string& caption) {
    return [=](L& l) {
      l.SetAutoSize(false);
      l.SetColor(0xE1FFFF);
      l.Font().SetColor(0x466439);
      l.SetAlignment(alignment);
      l.SetCaptionW(caption);
    };
  };
  Shoot<L>(g, "left", 160, 18, text(gui::taLeftJustify, u"Rotor speed"));
  Shoot<L>(g, "centre", 160, 18, text(gui::taCenter, u"Rotor speed"));
  Shoot<L>(g, "right", 160, 18, text(gui::taRightJustify, u"1480 rpm"));
  Shoot<L>(g, "disabled", 160, 18, [&](L& l) {
    text(gui::taLeftJustify, u"Rotor speed")(l);
    l.SetEnabled(false);
  });
  Shoot<L>(g, "two lines", 160, 32, text(gui::taLeftJustify, u"Plane A\nPlane B"));
  Shoot<L>(g, "accelerator", 160, 18, text(gui::taLeftJustify, u"&File && folder"));
  g.Save("gallery_labelex.png");
  EXPECT_FALSE(SameImage(g.Tile("left"), g.Tile("disabled")));
  EXPECT_FALSE(SameImage(g.Tile("left"), g.Tile("centre")));
}

TEST_F(ControlsGallery, PanelEx) {
  TGallery g;
  using P = TPanelEx;
  auto panel = [](TPanelBorderStyle style, gui::TBevelCut bevel, TBorderOpen open = boNone) {
    return [=](P& p) {
      p.SetColor(Work);
      p.SetFaceColor(0xC8D0D4);
      p.SetHeaderColor(0x466439);
      p.SetBorderColor(0x404040);
      p.SetBorderStyle(style);
      p.SetBevelOuter(bevel);
      p.SetBorderOpen(open);
      p.SetAlignment(gui::taLeftJustify);
      p.SetCaptionPadding(6);
      p.SetCaptionTop(3);
      p.SetCaptionW(u"Plane A");
    };
  };
  Shoot<P>(g, "sharp, flat", 150, 40, panel(pbsSharp, gui::bvSpace));
  Shoot<P>(g, "rounded, flat", 150, 40, panel(pbsRounded, gui::bvSpace));
  Shoot<P>(g, "rounded, raised", 150, 40, panel(pbsRounded, gui::bvRaised));
  Shoot<P>(g, "rounded, lowered", 150, 40, panel(pbsRounded, gui::bvLowered));
  Shoot<P>(g, "rounded, no bevel", 150, 40, panel(pbsRounded, gui::bvNone));
  Shoot<P>(g, "no border, raised", 150, 40, panel(pbsNone, gui::bvRaised));
  Shoot<P>(g, "no border, lowered", 150, 40, panel(pbsNone, gui::bvLowered));
  for (auto [name, open] : {std::pair{"open left", boLeft}, {"open top", boTop}, {"open right", boRight},
                            {"open bottom", boBottom}}) {
    Shoot<P>(g, std::string("rounded, ") + name, 150, 40, panel(pbsRounded, gui::bvSpace, open));
  }
  Shoot<P>(g, "header, flat", 150, 60, [&](P& p) {
    panel(pbsRounded, gui::bvSpace)(p);
    p.SetHeaderHeight(18);
    p.Font().SetColor(gui::clYellow);
  });
  Shoot<P>(g, "header, raised", 150, 60, [&](P& p) {
    panel(pbsRounded, gui::bvRaised)(p);
    p.SetHeaderHeight(18);
    p.Font().SetColor(gui::clYellow);
  });
  Shoot<P>(g, "disabled, centred", 150, 40, [&](P& p) {
    panel(pbsSharp, gui::bvSpace)(p);
    p.SetAlignment(gui::taCenter);
    p.SetAlignmentV(tavMiddle);
    p.SetEnabled(false);
  });
  Shoot<P>(g, "disabled, left", 150, 40, [&](P& p) {
    panel(pbsSharp, gui::bvSpace)(p);
    p.SetAlignmentV(tavMiddle);
    p.SetEnabled(false);
  });
  Shoot<P>(g, "picture", 150, 40, [&](P& p) {
    panel(pbsSharp, gui::bvSpace)(p);
    p.SetCaptionW(u"");
    const gui::TBitmap picture = Solid(20, 12, 0x0000C0);
    p.SetBitmap(&picture);
  });
  g.Save("gallery_panelex.png");
  EXPECT_FALSE(SameImage(g.Tile("rounded, raised"), g.Tile("rounded, lowered")));
  EXPECT_FALSE(SameImage(g.Tile("disabled, centred"), g.Tile("disabled, left")));
}

TEST_F(ControlsGallery, TabControlEx) {
  TGallery g;
  using T = TTabControlEx;
  auto strip = [](const std::vector<std::string>& tabs) {
    return [=](T& t) {
      t.SetParentColor(true);
      t.SetTabColor1(0xC8D0D4);
      t.SetTabColor2(0xC8D0D4);
      t.SetTabColorU(0x9C9C9C);
      t.SetBorderColor(0x404040);
      t.SetTabs(tabs);
    };
  };
  const std::vector<std::string> few{"Time", "-", "Spectrum", "Orbit"};
  const std::vector<std::string> many{"Run 1", "Run 2", "Run 3", "Run 4", "Run 5", "Run 6", "Run 7"};
  Shoot<T>(g, "fitting", 240, 22, strip(few));
  Shoot<T>(g, "second tab active", 240, 22, strip(few), [](T& t) { t.ChangeTo(2, false); });
  Shoot<T>(g, "raised bevel", 240, 22, [&](T& t) {
    strip(few)(t);
    t.SetBevel(gui::bvRaised);
  });
  Shoot<T>(g, "focused", 240, 22, strip(few), [](T& t) {
    t.SetTabStop(true);
    t.SetFocus();
    gui::Application->ProcessMessages();
  });
  Shoot<T>(g, "disabled", 240, 22, [&](T& t) {
    strip(few)(t);
    t.SetEnabled(false);
  });
  Shoot<T>(g, "scrolling", 240, 22, strip(many));
  Shoot<T>(g, "scrolled right", 240, 22, strip(many), [](T& t) {
    t.Repaint();
    gui::SimClick(t, 240 - 22, 10);
  });
  Shoot<T>(g, "list button hovered", 240, 22, strip(many), [](T& t) {
    t.Repaint();
    gui::SimMouseMove(t, 235, 10);
  });
  g.Save("gallery_tabcontrolex.png");
  EXPECT_FALSE(SameImage(g.Tile("fitting"), g.Tile("second tab active")));
  EXPECT_FALSE(SameImage(g.Tile("fitting"), g.Tile("disabled")));
  EXPECT_FALSE(SameImage(g.Tile("scrolling"), g.Tile("scrolled right")));
  EXPECT_FALSE(SameImage(g.Tile("scrolling"), g.Tile("list button hovered")));
}

// The radio button is the platform's own: photographed on its form.
TEST_F(ControlsGallery, RadioButtonEx) {
  auto* off = Place(new TRadioButtonEx(Form), 10, 10, 200, 20);
  auto* on = Place(new TRadioButtonEx(Form), 10, 35, 200, 20);
  auto* disabled = Place(new TRadioButtonEx(Form), 10, 60, 200, 20);
  off->SetCaption("Not chosen");
  on->SetCaption("Chosen");
  on->SetChecked(true);
  disabled->SetCaption("Disabled (wide caption kept)");
  disabled->SetCaptionW(u"Wide caption");
  disabled->SetEnabled(false);
  gui::Application->ProcessMessages();
  const std::string fileName = PicturePath("gallery_radiobuttonex.png");
  ASSERT_TRUE(Form->SaveScreenshot(fileName));
  gui::TBitmap back;
  ASSERT_TRUE(back.LoadFromFile(fileName));
  EXPECT_GE(back.Width(), 200);
  EXPECT_GE(back.Height(), 80);
}

}  // namespace
