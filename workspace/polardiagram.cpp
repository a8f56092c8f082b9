#include "polardiagram.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include "formatting.h"
#include "iso1940.h"
#include "zelto.h"

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double TwoPi = 2 * std::numbers::pi;
constexpr double Sqrt1_2 = 0.7071067811865476;
constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Red = 0x0000FF;
// More spokes than this cannot be told apart; a damaged session may hold any
// count.
constexpr int32_t MostRotorDivisions = 360;
// Positions of the amplitude-only method: A, B, C.
constexpr std::array<TWorkColor, 3> GwbColors = {wcWorkGWBA, wcWorkGWBB, wcWorkGWBC};
constexpr std::array<char16_t, 3> GwbLetters = {u'A', u'B', u'C'};

// The correction of a run that was evaluated; a record not yet filled holds
// zeros, which would pass for a correction at 0 degrees.
std::optional<TCorrection> MeasuredCorrection(const MeasurementResult& run) {
  return run.Valid ? StoredCorrection(run) : std::nullopt;
}

gui::TPoint Pixel(TPointD p) { return {Round(p.x), Round(p.y)}; }
gui::TPoint Truncated(TPointD p) { return {static_cast<int>(p.x), static_cast<int>(p.y)}; }
TPointD Offset(TPointD p, double dx, double dy) { return {p.x + dx, p.y + dy}; }

gui::TRect Around(gui::TPoint p, int radius) { return {p.x - radius, p.y - radius, p.x + radius, p.y + radius}; }
gui::TRect RoundedAround(TPointD p, double radius) {
  return {Round(p.x - radius), Round(p.y - radius), Round(p.x + radius), Round(p.y + radius)};
}

std::u16string Ascii(std::string_view text) { return {text.begin(), text.end()}; }

// Fixed decimals, locale-free.
std::u16string Fixed(double value, int decimals) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return Ascii(std::string_view(buffer, result.ec == std::errc() ? result.ptr : buffer));
}

std::u16string Decimal(int value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Ascii(std::string_view(buffer, result.ptr));
}

TPenSpec Thin(uint32_t color, TStroke style = skSolid) { return {color, 0, style}; }
TPenSpec Wide(uint32_t color) { return {color, 2, skSolid}; }

// Everything one diagram's layers need, and the scene they append to.
class TPlaneBuilder {
 public:
  TPlaneBuilder(const TZelto& core, const TDiagramView& view, uint8_t plane, const TDisc& disc, int labelHeight,
                TScene& out)
      : Core(core), View(view), Plane(plane), Disc(disc), LabelHeight(labelHeight), Out(out) {}

  void Build();

 private:
  uint32_t Colour(TWorkColor c) const { return Core.WorkColors[c]; }
  uint32_t Channel() const { return Colour(Plane == 0 ? wcWorkChA : wcWorkChB); }
  int32_t Step() const { return Core.BalancingStep; }
  const MeasurementResult& Run(int32_t r) const { return Core.Results[static_cast<size_t>(r)]; }
  const MeasurementResult& Current() const { return Run(Step()); }
  // The method of the placed weights serves one plane only.
  bool Weights() const { return Core.GWB.Enabled && Core.Type == 0; }

  // A run on the initial run's scale, the two in one unit. A run whose
  // sensor gives it no unit in common with the initial run has no place on
  // the disc: not a number, which every layer drawn by scale skips.
  double Scale(int32_t r) const {
    const std::optional<TComparedAmplitudes> a = Core.ComparedAmplitudes(r, Plane);
    return a ? AmplitudeScale(a->Run, a->Initial, View.PlaneZoom) : std::numeric_limits<double>::quiet_NaN();
  }
  double MeasuredAngle(int32_t r) const {
    return Core.ConvertRunPhase(r, Plane == 0 ? Run(r).Meas.PhA : Run(r).Meas.PhB, Core.AmplDisplayMode, Plane);
  }
  double CorrectionAngle(const TCorrection& c) const { return Plane == 0 ? c.AngleA : c.AngleB; }
  double CorrectionMass(const TCorrection& c) const { return Plane == 0 ? c.MassA : c.MassB; }
  double Shown(double angle) const { return DisplayedAngle(angle, Core.RotationDir); }
  // The correction angle of a run turned into the weights' frame.
  double WeightFrameAngle(int32_t r) const;
  double TrimAngle(int32_t r) const { return Weights() ? WeightFrameAngle(r) : CorrectionAngle(Run(r).Result); }

  void Add(TDrawOp op) { Out.push_back(std::move(op)); }
  void Line(TPenSpec pen, gui::TPoint from, gui::TPoint to);
  void Ellipse(TPenSpec pen, std::optional<uint32_t> brush, gui::TRect box);
  void Polygon(uint32_t color, std::vector<gui::TPoint> points);
  void Text(std::u16string text, TFontRole font, uint32_t color, gui::TPoint at, THAlign h, TVAlign v);

  void DiscLayer();
  void PlaneLetter();
  void IsoVerdict();
  void AngleLabels();
  void RotationArrow();
  void Temperature();
  void ReferenceRing();
  void AmplitudeDisc();
  void AxesAndTicks();
  void RotorPositions();
  void MeasurementRuns();
  void Correction();
  void TrimRuns();
  void GwbMarkers();

  void RunMarker(int32_t run, double angle, int number);
  void CurrentVector(double dataAngle, double scale, bool dottedRay);
  void CorrectionMark(double angle, bool solidLine);
  void SplitPositions(double angle);

  const TZelto& Core;
  const TDiagramView& View;
  uint8_t Plane;
  TDisc Disc;
  int LabelHeight;
  TScene& Out;
};

void TPlaneBuilder::Line(TPenSpec pen, gui::TPoint from, gui::TPoint to) {
  TDrawOp op;
  op.Kind = dkLine;
  op.Pen = pen;
  op.Points = {from, to};
  Add(std::move(op));
}

void TPlaneBuilder::Ellipse(TPenSpec pen, std::optional<uint32_t> brush, gui::TRect box) {
  TDrawOp op;
  op.Kind = dkEllipse;
  op.Pen = pen;
  op.Brush = brush;
  op.Box = box;
  Add(std::move(op));
}

void TPlaneBuilder::Polygon(uint32_t color, std::vector<gui::TPoint> points) {
  TDrawOp op;
  op.Kind = dkPolygon;
  op.Pen = Thin(color);
  op.Brush = color;
  op.Points = std::move(points);
  Add(std::move(op));
}

void TPlaneBuilder::Text(std::u16string text, TFontRole font, uint32_t color, gui::TPoint at, THAlign h, TVAlign v) {
  TDrawOp op;
  op.Kind = dkText;
  op.Text = std::move(text);
  op.Font = font;
  op.TextColor = color;
  op.Points = {at};
  op.HAlign = h;
  op.VAlign = v;
  Add(std::move(op));
}

double TPlaneBuilder::WeightFrameAngle(int32_t r) const {
  const std::complex<double> s = View.RunVectors[RunTrialA][GwbResultant];
  return std::abs(s) != 0 ? AngleSum(std::arg(s), Run(r).Result.AngleA) : 0.0;
}

void TPlaneBuilder::Build() {
  DiscLayer();
  PlaneLetter();
  IsoVerdict();
  AngleLabels();
  RotationArrow();
  Temperature();
  ReferenceRing();
  TDrawOp clip;
  clip.Kind = dkClip;
  const gui::TRect& q = Disc.Square;
  clip.Box = {q.Left + Disc.M + 1, q.Top + Disc.M + 1, q.Right - Disc.M + 1, q.Bottom - Disc.M + 1};
  Add(clip);
  AmplitudeDisc();
  AxesAndTicks();
  TDrawOp unclip;
  unclip.Kind = dkUnclip;
  Add(unclip);
  RotorPositions();
  MeasurementRuns();
  Correction();
  TrimRuns();
}

void TPlaneBuilder::DiscLayer() {
  const gui::TRect& q = Disc.Square;
  Ellipse(Thin(Colour(wcWorkText1)), Colour(wcWorkFill),
          {q.Left + Disc.M, q.Top + Disc.M, q.Right - Disc.M + 1, q.Bottom - Disc.M + 1});
}

void TPlaneBuilder::PlaneLetter() {
  if (Core.Type != 1) return;
  Text(Plane == 0 ? u"A" : u"B", frPlaneLetter, Channel(), {Disc.Square.Left + Disc.M, Disc.Square.Top + Disc.M},
       haLeft, vaTop);
}

void TPlaneBuilder::IsoVerdict() {
  if (Core.Rotor.Type == 0 || Core.AsyncMode) return;
  const bool trimShown = Step() > RunCorrection && Current().Valid;
  if (Step() != RunCorrection && !trimShown) return;
  // A correction that could not be computed has no residual to judge; its
  // stored zero mass would pass any grade.
  const std::optional<TCorrection> correction = StoredCorrection(Current());
  if (!correction) return;
  const double permissible = CalcPermissibleUnbalance(Core.Rotor, Plane);
  const double residual = PlaneUnbalance(Core.Rotor, Plane, CorrectionMass(*correction) * Core.CtrlMass.Value);
  const int right = Disc.Square.Left + Disc.D - Disc.M;
  const int bottom = Disc.Square.Top + Disc.D - Disc.M;
  TDrawOp picture;
  picture.Kind = dkPicture;
  picture.Picture = residual <= permissible ? prIsoYes : prIsoNo;
  picture.Points = {{right - IsoPictureSize, bottom - IsoPictureSize}};
  Add(std::move(picture));
  Text(u"ISO 1940", frIso, Colour(wcWorkText2), {right - IsoPictureSize / 2, bottom}, haCentre, vaTop);
}

void TPlaneBuilder::AngleLabels() {
  const gui::TRect& q = Disc.Square;
  const uint32_t colour = Colour(wcWorkText1);
  const int middle = q.Top + Round(Disc.D / 2.0 - LabelHeight / 2.0);
  const bool left = Core.RotationDir == 1;
  Text(u"0°", frAngleLabel, colour, {q.Left + Disc.D - Disc.M + 10, middle}, haLeft, vaTop);
  Text(left ? u"270°" : u"90°", frAngleLabel, colour, {q.Left + Disc.D / 2, q.Top + Disc.M - 8}, haCentre, vaBottom);
  Text(u"180°", frAngleLabel, colour, {q.Left + Disc.M - 10, middle}, haRight, vaTop);
  Text(left ? u"90°" : u"270°", frAngleLabel, colour, {q.Left + Disc.D / 2, q.Top + Disc.D - Disc.M + 9}, haCentre,
       vaTop);
}

// The arrow turns against the direction in which the angle labels grow: the
// way the rotor turns.
void TPlaneBuilder::RotationArrow() {
  if (Core.AsyncMode) return;
  const uint32_t colour = Colour(wcWorkText1);
  const double reach = (Disc.R + 14) * Sqrt1_2;
  const TPointD p = {Disc.Cx + reach, Disc.Cy - reach};
  const gui::TRect& q = Disc.Square;
  TDrawOp arc;
  arc.Kind = dkArc;
  arc.Pen = Thin(colour);
  arc.Box = {q.Left + Disc.M - 14, q.Top + Disc.M - 14, q.Right - Disc.M + 15, q.Bottom - Disc.M + 15};
  if (Core.RotationDir == 0) {
    arc.Points = {Truncated(p), Truncated(Offset(p, -25, -25))};
    Add(std::move(arc));
    Polygon(colour, {Pixel(p), Pixel(Offset(p, -5, -11)), Pixel(Offset(p, -11, -5))});
  } else {
    arc.Points = {Truncated(Offset(p, 25, 25)), Truncated(p)};
    Add(std::move(arc));
    Polygon(colour, {Pixel(p), Pixel(Offset(p, 11, 5)), Pixel(Offset(p, 5, 11))});
  }
}

void TPlaneBuilder::Temperature() {
  const SensorInfo& sensor = Plane == 0 ? Core.VibSensorA : Core.VibSensorB;
  if (!Core.Measuring || !sensor.Temperature) return;
  const double t = Plane == 0 ? Core.TemperatureA : Core.TemperatureB;
  Text(Fixed(t, 0) + u"°C", frTemperature, Channel(), {Disc.Square.Left + Disc.M, Disc.Square.Top + Disc.D - Disc.M},
       haLeft, vaBottom);
}

// The amplitude of the initial run, while it lies inside the rim.
void TPlaneBuilder::ReferenceRing() {
  if (View.PlaneZoom >= 1.0f || Step() == RunCorrection || View.ShowTotalMass) return;
  const int cx = static_cast<int>(Disc.Cx), cy = static_cast<int>(Disc.Cy);
  const int r = static_cast<int>(Disc.R * View.PlaneZoom);
  TDrawOp ring;
  ring.Kind = dkArc;
  ring.Pen = Thin(Colour(wcWorkGrid), skDot);
  ring.Box = {cx - r, cy - r, cx + r + 1, cy + r + 1};
  ring.Points = {{cx + r, cy}, {cx + r, cy}};
  Add(std::move(ring));
}

void TPlaneBuilder::AmplitudeDisc() {
  if (Core.AsyncMode || !Current().Valid || Step() == RunCorrection) return;
  if (Step() > RunCorrection && View.ShowTotalMass) return;
  const double s = Scale(Step());
  if (!(s <= 1)) return;
  const uint32_t colour = Colour(Plane == 0 ? wcWorkChACr : wcWorkChBCr);
  Ellipse(Thin(colour), colour, RoundedAround({Disc.Cx, Disc.Cy}, Disc.R * s));
}

void TPlaneBuilder::AxesAndTicks() {
  const gui::TPoint centre = Disc.Centre();
  for (int k = 0; k < 4; ++k) Line(Thin(Colour(wcWorkGrid), skDot), Disc.PixelAt(k * Pi / 2, Disc.R), centre);
  for (int k = 0; k < 24; ++k) {
    const double a = DegToRad(15.0 * k);
    Line(Thin(Colour(wcWorkText1)), Disc.PixelAt(a, Disc.R), Disc.PixelAt(a, Disc.R - 5));
  }
}

// The set of positions is symmetric about 0°, so it is not mirrored.
void TPlaneBuilder::RotorPositions() {
  if (!Core.DivideMass || Step() <= RunTrialB || Core.AsyncMode) return;
  const int32_t count = Core.RotorDivCount;
  if (count < 1 || count > MostRotorDivisions) return;
  for (int32_t i = 0; i < count; ++i)
    Line(Thin(Colour(wcWorkGrid)), Disc.Centre(), Disc.PixelAt(TwoPi * i / count, Disc.R));
}

// A run not yet measured has no place on the disc: it draws nothing, rather
// than a marker at the centre.
void TPlaneBuilder::RunMarker(int32_t run, double angle, int number) {
  const double scale = Scale(run);
  if (!Run(run).Valid || !(scale <= 1) || !std::isfinite(angle)) return;
  const gui::TPoint q = Disc.PixelAt(angle, Disc.R * scale);
  Ellipse(Thin(Colour(wcWorkText1)), Colour(wcWorkFill), {q.x - 2, q.y - 2, q.x + 3, q.y + 3});
  Text(Decimal(number), frRunNumber, Colour(wcWorkText1), {q.x + 2, q.y + 2}, haLeft, vaTop);
}

// The current run: a dotted ray to the rim, then the vector with its dotted
// angle arc, or an outward triangle on the rim when it reaches beyond.
void TPlaneBuilder::CurrentVector(double dataAngle, double scale, bool dottedRay) {
  const double angle = Shown(dataAngle);
  if (!std::isfinite(angle) || !std::isfinite(scale)) return;
  const gui::TPoint centre = Disc.Centre();
  const gui::TPoint rim = Disc.PixelAt(angle, Disc.R);
  if (dottedRay) Line(Thin(Channel(), skDot), centre, rim);
  if (scale > 1) {
    const TPointD e = Disc.At(angle, Disc.R);
    const double a1 = angle + DegToRad(150), a2 = angle + DegToRad(210);
    Polygon(Channel(), {Pixel(e), Pixel(Offset(e, 12 * std::cos(a1), -12 * std::sin(a1))),
                        Pixel(Offset(e, 12 * std::cos(a2), -12 * std::sin(a2)))});
    return;
  }
  TDrawOp arc;
  arc.Kind = dkPolyline;
  arc.Pen = Thin(Channel(), skDot);
  arc.Points = AngleArc(Disc, dataAngle, Disc.R * scale, Core.RotationDir);
  Add(std::move(arc));
  const gui::TPoint v = Disc.PixelAt(angle, Disc.R * scale);
  Line({Channel(), Weights() ? 0 : 2, skSolid}, centre, v);
  Ellipse(Thin(Channel()), Channel(), Around(v, 4));
}

// A correction mark on the rim: filled for a mass to add, hollow for one to
// remove.
void TPlaneBuilder::CorrectionMark(double angle, bool solidLine) {
  const gui::TPoint c = Disc.PixelAt(angle, Disc.R);
  Line(solidLine ? Wide(Channel()) : Thin(Channel(), skDash), Disc.Centre(), c);
  Ellipse(Wide(Channel()), Core.MassAdd ? Channel() : Colour(wcWorkBack), Around(c, 5));
}

// The correction split onto the two neighbouring rotor positions; their
// angles are stored already turned and mirrored. A split that was refused
// (too few rotor divisions) has no positions to mark.
void TPlaneBuilder::SplitPositions(double angle) {
  const gui::TPoint c = Disc.PixelAt(angle, Disc.R);
  Line(Thin(Channel(), skDash), Disc.Centre(), c);
  Ellipse(Thin(Channel()), Channel(), Around(c, 3));
  if (!View.PanelSplit) return;
  const SplitResult& split = *View.PanelSplit;
  const std::array<double, 2> angles = {Plane == 0 ? split.AngleA1 : split.AngleB1,
                                        Plane == 0 ? split.AngleA2 : split.AngleB2};
  const std::array<uint32_t, 2> colours = {Colour(wcWorkVDiv1), Colour(wcWorkVDiv2)};
  for (size_t k = 0; k < 2; ++k) {
    const gui::TPoint p = Disc.PixelAt(angles[k], Disc.R);
    Line(Wide(colours[k]), Disc.Centre(), p);
    Ellipse(Wide(colours[k]), Core.MassAdd ? colours[k] : Colour(wcWorkBack), Around(p, 5));
  }
}

void TPlaneBuilder::MeasurementRuns() {
  if (Step() >= RunCorrection || Core.AsyncMode) return;
  for (int32_t i = 0; i < Step(); ++i) RunMarker(i, Shown(MeasuredAngle(i)), i + 1);
  if (Current().Valid) CurrentVector(MeasuredAngle(Step()), Scale(Step()), true);
  if (Weights()) GwbMarkers();
}

void TPlaneBuilder::Correction() {
  const bool atCorrection = Step() == RunCorrection && !Core.AsyncMode;
  if (!atCorrection && !View.ShowTotalMass) return;
  // Without a computed correction there is nothing to mark.
  const std::optional<TCorrection> shown =
      View.ShowTotalMass ? View.TotalCorrection : MeasuredCorrection(Run(RunCorrection));
  double theta = 0;
  if (Weights()) {
    theta = WeightFrameAngle(RunCorrection);
  } else if (shown) {
    theta = CorrectionAngle(*shown);
    if (Core.MassAdd) theta = AngleDiff(theta, Pi);
  }
  theta = Shown(theta);
  if (shown && std::isfinite(theta)) {
    if (Core.DivideMass)
      SplitPositions(theta);
    else if (!Weights())
      CorrectionMark(theta, true);
  }
  if (Weights()) GwbMarkers();
}

void TPlaneBuilder::TrimRuns() {
  if (Step() <= RunCorrection || Core.AsyncMode || View.ShowTotalMass) return;
  for (int32_t i = RunFirstTrim; i < Step(); ++i) RunMarker(i, Shown(TrimAngle(i)), i - RunCorrection);
  if (Current().Valid) {
    CurrentVector(TrimAngle(Step()), Scale(Step()), Core.MassAdd != 0);
    const std::optional<TCorrection> correction = StoredCorrection(Current());
    double thetaC = correction ? CorrectionAngle(*correction) : 0;
    if (Core.MassAdd) thetaC = AngleDiff(thetaC, Pi);
    thetaC = Shown(thetaC);
    if (correction && std::isfinite(thetaC)) {
      if (Core.DivideMass)
        SplitPositions(thetaC);
      else if (!Weights())
        CorrectionMark(thetaC, false);
    }
  }
  if (Weights()) GwbMarkers();
}

// The weight positions of the current run and, from the first trim run on,
// of the run before it (weight A there only with two weights, since with
// three it stays where it was).
void TPlaneBuilder::GwbMarkers() {
  const size_t positions = Core.GWB.Mode == GwbThreeWeights ? 3 : 2;
  const gui::TPoint centre = Disc.Centre();
  for (size_t k = 0; k < positions; ++k) {
    const uint32_t colour = Colour(GwbColors[k]);
    const std::u16string letter(1, GwbLetters[k]);
    const auto rimPoint = [&](int32_t run) {
      const std::complex<double> v = View.RunVectors[static_cast<size_t>(run)][k];
      return Disc.At(Shown(std::abs(v) != 0 ? std::arg(v) : 0.0), Disc.R);
    };
    const bool previous = Step() > RunCorrection && (k != GwbWeightA || Core.GWB.Mode == GwbTwoWeights);
    if (previous) {
      const TPointD q = rimPoint(Step() - 1);
      Ellipse(Thin(colour), White, RoundedAround(q, 9));
      Text(letter, frPositionLetter, colour, Pixel(Offset(q, -4, -7)), haLeft, vaTop);
    }
    const TPointD q = rimPoint(Step());
    Line(Thin(colour, skDot), centre, Pixel(q));
    Ellipse(Thin(colour), colour, RoundedAround(q, 9));
    Text(letter, frPositionLetter, White, Pixel(Offset(q, -4, -7)), haLeft, vaTop);
  }
}

TDrawOp OverlayText(std::u16string text, TFontRole font, uint32_t color, gui::TPoint at, THAlign h) {
  TDrawOp op;
  op.Kind = dkText;
  op.Text = std::move(text);
  op.Font = font;
  op.TextColor = color;
  op.Points = {at};
  op.HAlign = h;
  op.VAlign = vaBaseline;
  return op;
}

// The averaging progress: the reading under way counts while it runs.
void AverageText(const TZelto& core, int width, int height, bool twoPlanes, TScene& out) {
  const int32_t step = core.BalancingStep;
  if (core.AvgSize <= 1 || step == RunCorrection || !core.Results[static_cast<size_t>(step)].Valid) return;
  const bool complete = core.Readings >= core.AvgSize;
  const int32_t n = complete ? core.Readings : core.Readings + 1;
  const std::u16string text = u"AVG: " + Decimal(n) + u"/" + Decimal(core.AvgSize);
  const uint32_t colour = complete ? core.WorkColors[wcWorkText1] : Red;
  if (twoPlanes)
    out.push_back(OverlayText(text, frAverage, colour, {width / 2, height - 5}, haCentre));
  else
    out.push_back(OverlayText(text, frAverage, colour, {width - 5, height - 5}, haRight));
}

}  // namespace

// --- layout and scales --------------------------------------------------------

TDiagramLayout LayoutDiagrams(int width, int height, uint8_t type) {
  TDiagramLayout layout;
  layout.Planes = type == 1 ? 2 : 1;
  const int perPlane = type == 1 ? width / 2 : width;
  const int h = std::min(height, perPlane) / 2;
  const auto square = [&](int cx) { return gui::TRect{cx - h, height / 2 - h, cx + h, height / 2 + h}; };
  if (layout.Planes == 1) {
    layout.Squares[0] = square(width / 2);
  } else {
    layout.Squares[0] = square(width / 4);
    layout.Squares[1] = square(width / 2 + width / 4);
  }
  return layout;
}

TPointD TDisc::At(double angle, double radius) const {
  return {Cx + radius * std::cos(angle), Cy - radius * std::sin(angle)};
}

gui::TPoint TDisc::PixelAt(double angle, double radius) const { return Pixel(At(angle, radius)); }

gui::TPoint TDisc::Centre() const { return Pixel({Cx, Cy}); }

TDisc DiscOf(const gui::TRect& square, int margin) {
  TDisc disc;
  disc.Square = square;
  disc.D = square.Bottom - square.Top;
  disc.M = margin;
  disc.Cx = square.Left + disc.D / 2.0;
  disc.Cy = square.Top + disc.D / 2.0;
  disc.R = disc.D / 2.0 - margin;
  return disc;
}

double DisplayedAngle(double angle, uint8_t rotationDir) { return rotationDir == 1 ? TwoPi - angle : angle; }

double AmplitudeScale(double amplitude, double reference, float zoom) {
  if (reference == 0) return 0;
  return amplitude / reference * zoom;
}

std::vector<gui::TPoint> AngleArc(const TDisc& disc, double angle, double radius, uint8_t rotationDir) {
  std::vector<gui::TPoint> points;
  const double degrees = RadToDeg(NormalizeAngle(angle));
  if (!std::isfinite(degrees) || degrees < 0) return points;
  const double mirror = rotationDir == 1 ? -1.0 : 1.0;
  for (int step = 0; 3.0 * step <= degrees; ++step) {
    const double a = DegToRad(3.0 * step);
    points.push_back(Pixel({disc.Cx + radius * std::cos(a), disc.Cy - mirror * radius * std::sin(a)}));
  }
  return points;
}

// --- zoom ---------------------------------------------------------------------

void TPlaneZoomHistory::Push(float zoom) {
  if (Count >= ZoomHistorySize) {
    std::move(Entries.begin() + 1, Entries.end(), Entries.begin());
    Count = ZoomHistorySize - 1;
  }
  Entries[static_cast<size_t>(Count++)] = zoom;
}

std::optional<float> TPlaneZoomHistory::Pop() {
  if (Count <= 0) return std::nullopt;
  return Entries[static_cast<size_t>(--Count)];
}

float ZoomedIn(float zoom) { return std::min(zoom + (zoom < 0.5f ? 0.25f : 0.5f), ZoomMax); }

float ZoomedOut(float zoom) { return std::max(zoom - (zoom > 0.5f ? 0.5f : 0.25f), ZoomMin); }

bool ApplyZoomCommand(TZoomCommand command, float& zoom, TPlaneZoomHistory& history) {
  switch (command) {
    case zcIn:
      history.Push(zoom);
      zoom = ZoomedIn(zoom);
      break;
    case zcOut:
      history.Push(zoom);
      zoom = ZoomedOut(zoom);
      break;
    case zcAll:
      history.Push(zoom);
      zoom = 1.0f;
      break;
    case zcPrevious:
      if (const std::optional<float> previous = history.Pop()) zoom = *previous;
      break;
  }
  return history.Count > 0;
}

// --- scenes -------------------------------------------------------------------

TFontSpec FontFor(TFontRole role) {
  switch (role) {
    case frPlaneLetter:
      return {"Microsoft Sans Serif", 24, 700};
    case frIso:
      return {"Microsoft Sans Serif", 14, 700};
    case frAngleLabel:
      return {"Microsoft Sans Serif", 14, 400};
    case frTemperature:
      return {"Microsoft Sans Serif", 16, 700};
    case frRunNumber:
      return {"Small Fonts", 8, 400};
    case frPositionLetter:
      return {"Microsoft Sans Serif", -10, 700};
    case frZoom:
      return {"Microsoft Sans Serif", -9, 400};
    case frAverage:
      return {"Microsoft Sans Serif", -13, 700};
  }
  return {"Microsoft Sans Serif", 14, 400};
}

TScene PlaneScene(const TZelto& core, const TDiagramView& view, uint8_t plane, const gui::TRect& square,
                  int angleLabelHeight) {
  TScene scene;
  const TDisc disc = DiscOf(square);
  // A square no wider than both margins leaves no disc to draw in; a step
  // outside the runs has nothing to show.
  if (disc.R < 1 || core.BalancingStep < 0 || core.BalancingStep >= RunCount) return scene;
  TPlaneBuilder(core, view, plane, disc, angleLabelHeight, scene).Build();
  return scene;
}

TScene DiagramScene(const TZelto& core, const TDiagramView& view, int width, int height, int angleLabelHeight) {
  TScene scene;
  TDrawOp background;
  background.Kind = dkFill;
  background.Brush = core.WorkColors[wcWorkBack];
  background.Box = {0, 0, width, height};
  scene.push_back(std::move(background));
  const TDiagramLayout layout = LayoutDiagrams(width, height, core.Type);
  for (int p = 0; p < layout.Planes; ++p) {
    TScene plane = PlaneScene(core, view, static_cast<uint8_t>(p), layout.Squares[p], angleLabelHeight);
    scene.insert(scene.end(), plane.begin(), plane.end());
  }
  if (view.PlaneZoom != 1.0f)
    scene.push_back(
        OverlayText(FormatPattern(view.PlaneZoom, u"x0.00"), frZoom, core.WorkColors[wcWorkText1], {5, height - 5}, haLeft));
  if (core.BalancingStep >= 0 && core.BalancingStep < RunCount)
    AverageText(core, width, height, layout.Planes == 2, scene);
  return scene;
}
