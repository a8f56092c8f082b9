#pragma once
// The polar plane diagrams of the balancing workspace as pure geometry: the
// layout of one or two diagrams in the paint box, the disc of a diagram with
// its angle and amplitude scales, the zoom factor and its history, and the
// whole picture of a job as a list of drawing operations (a scene). The
// plot (polarplot.h) only draws what a scene holds, so every pixel position
// here is tested without a display.
//
// Conventions: angles are radians; the point at angle a and radius r lies at
// (cx + r cos a, cy - r sin a), so 0 is at the right and angles turn
// counter-clockwise on the screen. Positions from angles and amplitudes are
// rounded halves up; rectangles leave out their right and bottom edge.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "balancing.h"
#include "geometry.h"
#include "gwbmethod.h"
#include "records.h"
#include "workcolors.h"

class TZelto;

// Free band in pixels between a diagram's square and its disc.
constexpr int PlaneMargin = 35;

// --- layout and scales --------------------------------------------------------

// The squares of the diagrams in a paint box: one centred, or two side by
// side (plane A left, plane B right) for two planes (type 1). A square's side
// is even: an odd side loses a pixel.
struct TDiagramLayout {
  int Planes = 1;
  std::array<gui::TRect, 2> Squares{};
};
TDiagramLayout LayoutDiagrams(int width, int height, uint8_t type);

struct TPointD {
  double x = 0, y = 0;
};

// The disc of one diagram: its square, the margin, the centre and radius.
struct TDisc {
  gui::TRect Square;
  int D = 0;  // side of the square
  int M = PlaneMargin;
  double Cx = 0, Cy = 0, R = 0;

  TPointD At(double angle, double radius) const;
  gui::TPoint PixelAt(double angle, double radius) const;
  gui::TPoint Centre() const;
};
TDisc DiscOf(const gui::TRect& square, int margin = PlaneMargin);

// The angle at which a data angle is drawn: mirrored (2 pi - a) when the
// rotor turns left (rotationDir 1), so the scale runs clockwise.
double DisplayedAngle(double angle, uint8_t rotationDir);

// A run's amplitude against the initial run's, times the zoom: 1 reaches the
// rim. 0 when there is no initial amplitude.
double AmplitudeScale(double amplitude, double reference, float zoom);

// The dotted arc that shows a vector's angle: points at 0°, 3°, 6°, ... up to
// the last step not above the angle (radians, normalised into [0, 2 pi]), on
// the given radius, drawn mirrored for rotationDir 1.
std::vector<gui::TPoint> AngleArc(const TDisc& disc, double angle, double radius, uint8_t rotationDir);

// --- zoom ---------------------------------------------------------------------

constexpr float ZoomStart = 0.5f;
constexpr float ZoomMin = 0.25f;
constexpr float ZoomMax = 10.0f;
constexpr int ZoomHistorySize = 10;

// Earlier zoom factors, newest last; a push onto a full history drops the
// oldest.
struct TPlaneZoomHistory {
  std::array<float, ZoomHistorySize> Entries{};
  int32_t Count = 0;

  void Push(float zoom);
  // The newest entry, removed; nothing when empty.
  std::optional<float> Pop();
};

// Steps of 0.25 below 0.5 and of 0.5 from there, within 0.25 .. 10.
float ZoomedIn(float zoom);
float ZoomedOut(float zoom);

enum TZoomCommand : uint8_t { zcIn, zcOut, zcAll, zcPrevious };
// In, out and all push the old factor (also when a limit keeps it); previous
// takes the newest entry back. True when the history then holds an entry,
// which is when the previous command can act.
bool ApplyZoomCommand(TZoomCommand command, float& zoom, TPlaneZoomHistory& history);

// --- scenes -------------------------------------------------------------------

enum TStroke : uint8_t { skSolid, skDot, skDash };

// Width 0 is the thin one-pixel pen.
struct TPenSpec {
  uint32_t Color = 0;
  int Width = 0;
  TStroke Style = skSolid;
  friend bool operator==(const TPenSpec&, const TPenSpec&) = default;
};

enum TFontRole : uint8_t {
  frPlaneLetter,
  frIso,
  frAngleLabel,
  frTemperature,
  frRunNumber,
  frPositionLetter,
  frZoom,
  frAverage,
};

// Face, Windows height (positive: cell, negative: character) and weight.
struct TFontSpec {
  const char* Face;
  int Height;
  int Weight;
};
TFontSpec FontFor(TFontRole role);

enum THAlign : uint8_t { haLeft, haCentre, haRight };
enum TVAlign : uint8_t { vaTop, vaBaseline, vaBottom };

// The ISO 1940 verdict pictures, 24 x 24 pixels.
enum TPictureRole : uint8_t { prIsoYes, prIsoNo };
constexpr int IsoPictureSize = 24;

enum TDrawKind : uint8_t {
  dkFill,      // Box with Brush
  dkLine,      // Points[0] to Points[1] (the end point left out)
  dkPolyline,  // Points
  dkEllipse,   // Box, outline Pen, inside Brush (none: not filled)
  dkPolygon,   // Points, like dkEllipse
  dkArc,       // Box, counter-clockwise from the ray through Points[0] to the ray through Points[1]
  dkText,      // Text at Points[0] by HAlign and VAlign
  dkPicture,   // Picture with its top-left corner at Points[0]
  dkClip,      // clip to the ellipse in Box
  dkUnclip,
};

// One drawing operation. Text is drawn with a transparent background.
struct TDrawOp {
  TDrawKind Kind = dkLine;
  TPenSpec Pen;
  std::optional<uint32_t> Brush;
  gui::TRect Box;
  std::vector<gui::TPoint> Points;
  std::u16string Text;
  TFontRole Font = frAngleLabel;
  uint32_t TextColor = 0;
  THAlign HAlign = haLeft;
  TVAlign VAlign = vaTop;
  TPictureRole Picture = prIsoYes;
};
using TScene = std::vector<TDrawOp>;

// What the diagrams read of the workspace window besides the core.
struct TDiagramView {
  float PlaneZoom = ZoomStart;
  uint8_t ShowTotalMass = 0;
  // Empty when not computed, or for the split when it was refused.
  std::optional<TCorrection> TotalCorrection = TCorrection{};
  std::optional<SplitResult> PanelSplit;
  std::array<TGwbRecord, RunCount> RunVectors{};
};

// The diagram of plane 0 (A) or 1 (B) in its square. angleLabelHeight is the
// text height of "0°" in the angle-label font, which centres the side
// labels. Empty when the square is too small to hold a disc.
TScene PlaneScene(const TZelto& core, const TDiagramView& view, uint8_t plane, const gui::TRect& square,
                  int angleLabelHeight);

// The whole paint box: background, the diagrams, the zoom factor and the
// averaging progress along the bottom edge.
TScene DiagramScene(const TZelto& core, const TDiagramView& view, int width, int height, int angleLabelHeight);
