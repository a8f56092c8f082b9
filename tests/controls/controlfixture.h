#pragma once
// A shown form to place controls on, and pixel probes of what they painted.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "application.h"
#include "bitmap.h"
#include "canvas.h"
#include "form.h"
#include "inputsim.h"

// The form's colour: whatever shows it was not painted by a control.
constexpr gui::TColor FormColor = 0x3C5A78;

struct ControlTest : testing::Test {
  gui::TForm* Form = nullptr;

  void SetUp() override {
    Form = new gui::TForm(gui::Application);
    Form->SetBounds(50, 50, 420, 300);
    Form->SetColor(FormColor);
    Form->Show();
    gui::Application->ProcessMessages();
  }
  void TearDown() override {
    gui::SimMouseLeaveWindow(*Form);
    delete Form;
  }

  template <class T>
  T* Place(T* control, int left, int top, int width, int height) {
    control->SetParent(Form);
    control->SetBounds(left, top, width, height);
    gui::Application->ProcessMessages();
    return control;
  }
};

// Paints the control now and copies what it painted into a bitmap.
template <class T>
gui::TBitmap Snap(T& control) {
  control.Repaint();
  gui::TBitmap image(control.Width(), control.Height());
  image.Canvas().CopyRect(gui::Rect(0, 0, control.Width(), control.Height()), control.Canvas(),
                          gui::Rect(0, 0, control.Width(), control.Height()));
  return image;
}

inline std::string Hex(gui::TColor c) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", c);
  return text;
}

#define EXPECT_PIXEL(image, x, y, color) \
  EXPECT_EQ(Hex((image).Pixel((x), (y))), Hex(color)) << "at (" << (x) << ", " << (y) << ")"

// The pixels of a rectangle (right and bottom exclusive) that have `color`.
inline std::vector<gui::TPoint> PixelsOfColor(const gui::TBitmap& image, const gui::TRect& r, gui::TColor color) {
  std::vector<gui::TPoint> found;
  for (int y = r.Top; y < r.Bottom; ++y) {
    for (int x = r.Left; x < r.Right; ++x) {
      if (image.Pixel(x, y) == color) found.push_back({x, y});
    }
  }
  return found;
}

// The pixels of a rectangle that differ from `background`.
inline std::vector<gui::TPoint> PixelsOtherThan(const gui::TBitmap& image, const gui::TRect& r,
                                                gui::TColor background) {
  std::vector<gui::TPoint> found;
  for (int y = r.Top; y < r.Bottom; ++y) {
    for (int x = r.Left; x < r.Right; ++x) {
      if (image.Pixel(x, y) != background) found.push_back({x, y});
    }
  }
  return found;
}

// Pixels of a rectangle lighter and darker than `face` (by their summed
// channels): etched text shows its highlight among the lighter ones.
struct InkSplit {
  std::vector<gui::TPoint> Lighter;
  std::vector<gui::TPoint> Darker;
};
inline int Brightness(gui::TColor c) { return gui::GetRValue(c) + gui::GetGValue(c) + gui::GetBValue(c); }
inline InkSplit SplitInk(const gui::TBitmap& image, const gui::TRect& r, gui::TColor face) {
  InkSplit split;
  for (int y = r.Top; y < r.Bottom; ++y) {
    for (int x = r.Left; x < r.Right; ++x) {
      const int b = Brightness(image.Pixel(x, y));
      if (b > Brightness(face)) split.Lighter.push_back({x, y});
      if (b < Brightness(face)) split.Darker.push_back({x, y});
    }
  }
  return split;
}

// The smallest rectangle holding all points (right and bottom exclusive).
inline gui::TRect BoundsOf(const std::vector<gui::TPoint>& points) {
  if (points.empty()) return {};
  gui::TRect r{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
  for (const gui::TPoint& p : points) {
    r.Left = std::min(r.Left, p.x);
    r.Top = std::min(r.Top, p.y);
    r.Right = std::max(r.Right, p.x + 1);
    r.Bottom = std::max(r.Bottom, p.y + 1);
  }
  return r;
}

inline bool SameImage(const gui::TBitmap& a, const gui::TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    }
  }
  return true;
}

// A bitmap of one colour.
inline gui::TBitmap Solid(int width, int height, gui::TColor color) {
  gui::TBitmap b(width, height);
  b.Canvas().Brush() = {color, gui::bsSolid};
  b.Canvas().FillRect(gui::Rect(0, 0, width, height));
  return b;
}
