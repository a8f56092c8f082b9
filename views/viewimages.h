#pragma once
// The pictures of the views' buttons, drawn in code: the tool-bar glyphs,
// the channel-view glyphs ("A+B", "A", "B"), the caption strip's glyphs and
// the start glyph of the free-running capture. Each is drawn on its
// background colour and marked transparent.

#include <cstdint>

#include "bitmap.h"

enum TViewGlyph : uint8_t {
  vgZoomInX,
  vgZoomOutX,
  vgZoomInY,
  vgZoomOutY,
  vgZoomPrev,
  vgZoomAll,
  vgZoomXY,
  vgGotoX,
  vgGotoY,
  vgGotoT,
  vgGotoTAndZoom,
  vgLogLin,
  vgChannelsAB,
  vgChannelsA,
  vgChannelsB,
  vgAsyncFile,
  vgPrint,
  vgSetup,
  vgBalancing,
  vgSpectrum,
  vgOscilloscope,
  vgStart,
  vgStop,
};

constexpr int ViewGlyphSize = 16;
constexpr gui::TColor ViewGlyphColor = 0x202020;
constexpr gui::TColor ViewDisabledGlyphColor = 0x909090;

gui::TBitmap ViewGlyph(TViewGlyph glyph, gui::TColor background, gui::TColor color = ViewGlyphColor);

// The glyph of the channel view ChannelsShown (0 "A+B", 1 "A", 2 "B").
TViewGlyph ChannelsGlyph(uint8_t channelsShown);

// The caption strip's buttons: close, minimise, maximise and restore.
enum TStripGlyph : uint8_t { sgClose, sgMinimize, sgMaximize, sgRestore };
gui::TBitmap StripGlyph(TStripGlyph glyph, gui::TColor color, gui::TColor background);
