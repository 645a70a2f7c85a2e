// What the library's functions on stored sections share: the checks of a
// FoilSpline and of an outline's size, its knots, and the texts made of them.
#pragma once

#include <tarvelo/tarvelo.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "bspline/bezier.h"

namespace tarvelo {

inline constexpr int kCubicControlPointsFewest = 4;
// The most control points a .FOI may hold: as many as a fit makes.
inline constexpr int kFoilFileMostPoints = kMostControlPoints;
// The most a FoilSpline built in memory may hold: as many as a .FOI.
inline constexpr int kFoilSplineMostPoints = kFoilFileMostPoints;

// "The foil spline is not one of 4 to 80 cubic control points with x from 0 to 1"
Error NotAFoilSpline();

// The clamped uniform knot vector of a foil spline of 4 to 80 cubic control
// points whose x run from 0 to 1 without turning back, 0-based; throws
// NotAFoilSpline for any other.
std::vector<double> KnotsOf(const FoilSpline& foil);

// Error (Overflow) "<what> is beyond the range of a double": a value
// to be given or written would be infinite, though the section's are not.
Error BeyondDoubles(const std::string& what);

// Throws Error (Usage) for an ID line that holds a line end: written as it
// is, its rest would read back as lines of data.
void CheckIdLine(const std::string& id_line);

// Throws Error (Usage) unless the thickness is above 0 and at most 1 and the
// camber from -1 to 1.
void CheckOutlineSize(const OutlineSize& size);

// Throws Error (Usage) unless an asked trailing-edge thickness is from 0 to
// the largest thickness.
void CheckTrailingEdge(const OutlineSize& size, std::optional<double> te_thickness);

// The foil whose outline at `size` has a trailing edge te_thickness thick, as
// SectionOutline draws it: its thickness control points moved by a multiple
// of x's, the size checked. The foil itself when none is asked for.
FoilSpline WithTrailingEdge(const FoilSpline& foil, const OutlineSize& size, std::optional<double> te_thickness);

// Throws Error (Usage) when the camber of `size` cannot be what the foil's
// stored camber is scaled by: a section without camber takes only 0; a
// stored camber that is nowhere above 0 was not normalised (it holds the
// section's own camber), and only a camber of 1 gives it back (or 0 leaves
// it out).
void CheckCamberScale(const FoilSpline& foil, const OutlineSize& size);

// The largest thickness of the outline of `foil` at `size`, and its camber
// farthest from the chord line (the larger of the highest and, negated, the
// lowest; below 0 where the lowest is farther): what the outline has, not
// what was asked for. Measured on the thickness and camber curves, which
// either lay-off lays off unchanged: true of both.
OutlineSize DrawnExtremes(const FoilSpline& foil, const OutlineSize& size);

// The name of an exported outline: the .FOI's ID line, then " t/c=" and
// " f/c=" with the largest thickness and camber the outline has
// (DrawnExtremes) to eight significant digits; " symmetric" instead of the
// camber where it has none.
std::string OutlineName(const FoilSpline& foil, const OutlineSize& size);

// The outline of a foil at a size on each knot span, in Bernstein form:
// x(t), the thickness (size.thickness times the stored curve) and the
// camber are cubics there, s from 0 to 1 over the span.
struct OutlineSpan {
  BezierCubic x, thickness, camber;
};
std::vector<OutlineSpan> OutlineSpans(const FoilSpline& foil, const OutlineSize& size);

// One surface of a drawn outline as a cubic B-spline of its own: clamped
// knots from 0 to 1 (control points + 4) and its control points.
struct SurfaceSpline {
  std::vector<double> knots;
  std::vector<double> x;
  std::vector<double> y;
};

// What the writers of drawings draw: each surface from the leading edge to
// the trailing edge, at the chord length.
struct DrawnSurfaces {
  SurfaceSpline upper;
  SurfaceSpline lower;
};

// The surfaces an export draws of a foil whose trailing edge is set:
// options.layoff Vertical, or no camber drawn, DrawnOutline's two splines
// exactly; Across, each AcrossSurfaceOf. Every coordinate multiplied by the
// chord length.
DrawnSurfaces DrawnSurfacesOf(const FoilSpline& foil, const ExportOptions& options);

// Whether options.layoff changes anything: Across with camber drawn.
bool LaidOffAcross(const ExportOptions& options);

// The outline of a foil at a size with the thickness laid off across the
// mean line (Layoff), in chord units, at the foil's parameter t: x(t),
// thickness(t) and camber(t) are cubics on each knot span. The direction of
// the mean line is atan2(camber', x'); where both derivatives vanish (x' is
// 0 at the leading edge), the limit of the next ones that do not.
class AcrossOutline {
 public:
  AcrossOutline(const FoilSpline& foil, const OutlineSize& size);

  // A point of a surface (side 1 above, -1 below) and its derivative by t,
  // at s from 0 to 1 along knot span `span` (from 0).
  struct Point {
    double x = 0, y = 0;
    double dx = 0, dy = 0;
  };
  Point At(std::size_t span, double s, double side) const;
  // The same at chord position x of the mean line (from 0 to 1).
  Point AtChord(double x, double side) const;

  std::size_t spans() const { return spans_.size(); }
  const std::vector<double>& knots() const { return knots_; }

  // The first and last parameter of knot span `span`.
  double From(std::size_t span) const { return knots_[span + 3]; }
  double To(std::size_t span) const { return knots_[span + 4]; }

 private:
  std::vector<double> knots_;
  std::vector<double> control_x_;
  std::vector<OutlineSpan> spans_;
};

// How far the cubic pieces of AcrossSurfaceOf may lie from the outline, a
// fraction of the chord, and how often a piece may be halved. Only the
// pieces that need it are: where the mean line turns sharply next to the
// leading edge (a fit's camber whose slope there is near but not 0 turns it
// through up to a right angle within a millionth of the chord), a few
// dozen halvings add two pieces each.
inline constexpr double kAcrossTolerance = 1e-9;
inline constexpr int kAcrossMostHalvings = 40;

// A surface of AcrossOutline (side 1 above, -1 below) as a cubic B-spline:
// piecewise cubic Hermite in t (the ends' points and derivatives), each knot
// span of the foil one piece, halved until the largest distance of 16
// samples a piece from the exact point at the same t is within
// kAcrossTolerance; every interior knot twofold (C1, as the outline is at
// the foil's knots). Throws Error (Overflow) where a piece would be halved
// more than kAcrossMostHalvings times, or a point is beyond the range of a
// double.
struct AcrossSurface {
  SurfaceSpline spline;
  std::vector<int> pieces;   // per knot span of the foil
  double largest_error = 0;  // of the samples, in chord units
};
AcrossSurface AcrossSurfaceOf(const AcrossOutline& outline, double side);

// The outline an export draws: SectionOutline at options.size, every
// coordinate multiplied by the chord length (1 when none is given).
OutlineSpline DrawnOutline(const FoilSpline& foil, const ExportOptions& options);

// The chord length of a drawing: options.chord, or 1 chord unit.
inline double DrawnChord(const ExportOptions& options) { return options.chord > 0 ? options.chord : 1.0; }

// The lowest value of a foil's stored thickness curve from x = 0 to up_to,
// and the first x where it is; the foil's control points must make a
// FoilSpline (KnotsOf).
struct LowestThickness {
  double value = 0;
  double x = 0;
};
LowestThickness LowestThicknessOf(const FoilSpline& foil, double up_to);

// Where the surfaces may cross: behind 99 % of the chord an import keeps a
// crossing (a trailing edge drawn too thin), with a warning; ahead of it no
// section is inside out.
inline constexpr double kCrossingFrom = 0.99;

// How far below 0 a stored thickness curve may go: half the last of the five
// decimals a .FOI holds, as far as rounding a curve that touches 0 moves it.
inline constexpr double kThicknessRounding = 5e-6;

// Throws Error (BadData) about `name` when the thickness curve, its
// ordinates rounded to the five decimals a .FOI holds, goes below 0 by more
// than kThicknessRounding ahead of kCrossingFrom: its upper and lower
// surfaces cross there, and every outline of it would be drawn inside out.
void CheckThicknessNotNegative(const FoilSpline& foil, const std::string& name);

// OutlineDeviationOf, given up once the deviation at the points or between
// them is known to be above `above`: then `complete` is false and the larger
// of `deviation.deviation` and `deviation.between` a value above `above` that
// the deviation is at least (where it is, when a point is known). The same
// numbers as OutlineDeviationOf when complete.
struct PartialDeviation {
  OutlineDeviation deviation;
  bool complete = true;
};
PartialDeviation OutlineDeviationAbove(const Fit& fit, const ImportedSection& imported, double above);

// The shortest text that reads back as the same double.
std::string ShortestText(double v);

}  // namespace tarvelo
