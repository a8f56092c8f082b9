#include "printlayout.h"

#include <initializer_list>
#include <utility>

namespace {

constexpr double CmPerInch = 0.39370078740157477;

int Trunc(double v) { return static_cast<int>(v); }

// One row of abutting boxes, d cm above B, from x0; widths in cm.
void AddRow(std::vector<TPrintBox>& boxes, const TPageMetrics& m, double d, int x0,
            std::initializer_list<std::pair<double, TPrintCell>> cells) {
  const int top = Trunc(m.Bottom - d * m.CmY);
  const int bottom = top + Trunc(0.5 * m.CmY);
  int left = x0;
  for (const auto& [width, cell] : cells) {
    const int right = left + Trunc(width * m.CmY);
    boxes.push_back({gui::Rect(left, top, right, bottom), cell});
    left = right;
  }
}

}  // namespace

TPageMetrics PageMetrics(int horzRes, int vertRes, int dpiX, int dpiY, int lineHeight) {
  TPageMetrics m;
  m.CmX = dpiX * CmPerInch;
  m.CmY = dpiY * CmPerInch;
  m.Left = Trunc(m.CmX);
  m.Top = Trunc(m.CmY);
  m.Right = horzRes - m.Left;
  m.Bottom = vertRes - m.Top;
  m.LineHeight = lineHeight;
  return m;
}

gui::TPoint TitlePoint(const TPageMetrics& m) { return {m.Left + (m.Right - m.Left) / 2, m.Top}; }

gui::TPoint ChannelNamePoint(const TPageMetrics& m) { return {m.Right, m.Top}; }

gui::TRect PrintPlotArea(const TPageMetrics& m) {
  return gui::Rect(m.Left, Trunc(m.Top + m.CmY), m.Right, Trunc(m.Bottom - 3 * m.CmY));
}

gui::TPoint SettingsLabelPoint(const TPageMetrics& m, int line) {
  return {m.Left, Trunc(m.Bottom - 2.5 * m.CmY) + line * m.LineHeight};
}

gui::TPoint SettingsValuePoint(const TPageMetrics& m, int line) {
  return {m.Left + (m.Right - m.Left) / 4, SettingsLabelPoint(m, line).y};
}

std::vector<TPrintBox> TimePrintGrid(const TPageMetrics& m) {
  std::vector<TPrintBox> boxes;
  const int left = Trunc(m.Right - 12.5 * m.CmY);
  const int right = Trunc(m.Right - 7 * m.CmY);
  AddRow(boxes, m, 2.5, left, {{1, pcCurPos1Label}, {4, pcCurPos1Value}});
  AddRow(boxes, m, 2.0, left, {{1, pcVoltCur1}, {1, pcVoltCh1}, {3, pcVoltValue1}});
  AddRow(boxes, m, 1.5, left, {{1, pcCurPos2Label}, {4, pcCurPos2Value}});
  AddRow(boxes, m, 1.0, left, {{1, pcVoltCur2}, {1, pcVoltCh2}, {3, pcVoltValue2}});
  AddRow(boxes, m, 2.5, right, {{1, pcMeasType}, {3, pcMeasValA}, {3, pcMeasValB}});
  AddRow(boxes, m, 2.0, right, {{1, pcCursorLetters}, {4, pcDist1Value}});
  AddRow(boxes, m, 1.5, right, {{1, pcCursorLetters}, {4, pcDist2Value}});
  AddRow(boxes, m, 1.0, right, {{1, pcCursorLetters}, {1, pcVoltDistCh}, {3, pcVoltDistValue}});
  return boxes;
}

std::vector<TPrintBox> SpectrumPrintGrid(const TPageMetrics& m) {
  std::vector<TPrintBox> boxes;
  const int left = Trunc(m.Right - 11 * m.CmY);
  AddRow(boxes, m, 2.5, left, {{1, pcMeasCur1}, {1, pcMeasCh1}, {3, pcFreq1}, {3, pcValue1}, {3, pcPhase1}});
  AddRow(boxes, m, 2.0, left, {{1, pcMeasCur2}, {1, pcMeasCh2}, {3, pcFreq2}, {3, pcValue2}, {3, pcPhase2}});
  AddRow(boxes, m, 1.5, left, {{1, pcMeasCur3}, {1, pcMeasCh3}, {3, pcFreq3}, {3, pcValue3}, {3, pcPhase3}});
  return boxes;
}

TFooterLayout FooterLayout(const TPageMetrics& m) {
  const int y = Trunc(m.Bottom - 0.4 * m.CmY);
  return {{m.Left, y}, {m.Right / 2, y}, {m.Left, m.Bottom}};
}
