#pragma once
// The workspace's own pictures, drawn in code: the status and error lamps,
// the start and stop glyphs of bStartStop, the run table's marker and error
// pictures, and the glyphs of the caption strip buttons. Each is drawn on
// its background colour and marked transparent, so it shows on any face.

#include "bitmap.h"
#include "workflow.h"

constexpr int LampSize = 14;
constexpr int StartStopGlyphSize = 16;
constexpr int MarkerSize = 9;
constexpr int ErrorPictureSize = 13;
constexpr int StripGlyphSize = 9;

// Glyph indexes of ilStartStop.
constexpr int GlyphStop = 0;   // shown while a capture runs
constexpr int GlyphStart = 1;  // shown while idle

enum TFrameGlyph : uint8_t { fgClose, fgMinimize, fgMaximize, fgRestore, fgInfo };

gui::TBitmap LampPicture(TLamp lamp, gui::TColor background);
gui::TBitmap StartStopGlyph(int index, gui::TColor background);
// A right-pointing triangle: the current row of the run table.
gui::TBitmap MarkerPicture(gui::TColor background);
// A red disc with a white "!": the current row has a measurement error.
gui::TBitmap ErrorPicture(gui::TColor background);
gui::TBitmap FrameGlyph(TFrameGlyph glyph, gui::TColor color, gui::TColor background);

// The pictures of the command buttons.
enum TCommandGlyph : uint8_t {
  cgPrevious,
  cgNext,
  cgSession,
  cgSetup,
  cgReport,
  cgSpectrum,
  cgOscilloscope,
  cgTotalMass,
  cgHelp,
  cgZoomIn,
  cgZoomOut,
  cgZoomAll,
  cgZoomPrevious
};
constexpr int CommandGlyphSize = 16;
constexpr gui::TColor GlyphColor = 0x202020;
constexpr gui::TColor DisabledGlyphColor = 0x909090;
gui::TBitmap CommandGlyph(TCommandGlyph glyph, gui::TColor background, gui::TColor color = GlyphColor);
