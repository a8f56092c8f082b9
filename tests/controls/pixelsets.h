#pragma once
// Pixel sets of polylines as the canvas draws them, for geometry tests that
// need no display.

#include <set>
#include <utility>
#include <vector>

#include "geometry.h"
#include "rasterline.h"

using TPixelSet = std::set<std::pair<int, int>>;

inline TPixelSet PixelsOf(const std::vector<gui::TPoint>& polyline) {
  TPixelSet set;
  for (const gui::TPoint& p : gui::PolylinePixels(polyline, gui::psSolid)) set.insert({p.x, p.y});
  return set;
}

inline TPixelSet Union(const TPixelSet& a, const TPixelSet& b) {
  TPixelSet u = a;
  u.insert(b.begin(), b.end());
  return u;
}

inline bool Disjoint(const TPixelSet& a, const TPixelSet& b) {
  for (const auto& p : a) {
    if (b.count(p)) return false;
  }
  return true;
}

inline TPixelSet Shifted(const TPixelSet& s, int dx, int dy) {
  TPixelSet out;
  for (const auto& [x, y] : s) out.insert({x + dx, y + dy});
  return out;
}

namespace pixelsets_detail {

inline std::vector<std::pair<int, int>> Steps(bool diagonal) {
  std::vector<std::pair<int, int>> steps{{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  if (diagonal) steps.insert(steps.end(), {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}});
  return steps;
}

inline int Neighbours(const TPixelSet& s, std::pair<int, int> p, bool diagonal) {
  int n = 0;
  for (const auto& [dx, dy] : Steps(diagonal)) n += static_cast<int>(s.count({p.first + dx, p.second + dy}));
  return n;
}

inline bool Connected(const TPixelSet& s, bool diagonal) {
  if (s.empty()) return false;
  TPixelSet seen{*s.begin()};
  std::vector<std::pair<int, int>> todo{*s.begin()};
  while (!todo.empty()) {
    const auto [x, y] = todo.back();
    todo.pop_back();
    for (const auto& [dx, dy] : Steps(diagonal)) {
      const std::pair<int, int> q{x + dx, y + dy};
      if (s.count(q) && seen.insert(q).second) todo.push_back(q);
    }
  }
  return seen.size() == s.size();
}

}  // namespace pixelsets_detail

// True when the pixels form one closed line one pixel thick: every pixel has
// exactly two neighbours in the set (4-neighbours, or 8-neighbours when
// diagonal steps are allowed) and all of them hang together.
inline bool IsClosedRing(const TPixelSet& s, bool diagonal) {
  for (const auto& p : s) {
    if (pixelsets_detail::Neighbours(s, p, diagonal) != 2) return false;
  }
  return pixelsets_detail::Connected(s, diagonal);
}

// True when the pixels hang together (8-neighbours) without a loose end:
// a closed outline whose corners may be stepped.
inline bool IsClosedOutline(const TPixelSet& s) {
  for (const auto& p : s) {
    if (pixelsets_detail::Neighbours(s, p, true) < 2) return false;
  }
  return pixelsets_detail::Connected(s, true);
}

// The border ring of the rectangle (left, top) .. (right, bottom) inclusive.
inline TPixelSet RectRing(int left, int top, int right, int bottom) {
  TPixelSet s;
  for (int x = left; x <= right; ++x) s.insert({x, top}), s.insert({x, bottom});
  for (int y = top; y <= bottom; ++y) s.insert({left, y}), s.insert({right, y});
  return s;
}
