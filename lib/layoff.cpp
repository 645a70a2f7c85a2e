// The outline with the thickness laid off across the mean line, and the
// cubic B-splines that draw it within a tolerance: laid off along a turning
// normal, the surfaces are no longer polynomials of the foil's parameter.
#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "bspline/bezier.h"
#include "bspline/exact.h"
#include "lib/foil.h"

namespace tarvelo {

namespace {

// A Bernstein cubic on [0, 1] at s and its first three derivatives by s.
std::array<double, 4> Derivatives(const BezierCubic& b, double s) {
  const double r = 1 - s;
  const double d0 = b[1] - b[0], d1 = b[2] - b[1], d2 = b[3] - b[2];
  const double e0 = d1 - d0, e1 = d2 - d1;
  return {BezierValue(b, s), BezierSlope(b, s), 6 * (r * e0 + s * e1), 6 * (e1 - e0)};
}

}  // namespace

AcrossOutline::AcrossOutline(const FoilSpline& foil, const OutlineSize& size)
    : knots_(KnotsOf(foil)), control_x_(foil.control_x), spans_(OutlineSpans(foil, size)) {}

AcrossOutline::Point AcrossOutline::At(std::size_t span, double s, double side) const {
  const OutlineSpan& p = spans_[span];
  const auto x = Derivatives(p.x, s), c = Derivatives(p.camber, s);
  // Half the thickness: halving is exact, so these are the bits of a curve
  // of half the thickness.
  const std::array<double, 2> h = {BezierValue(p.thickness, s) / 2, BezierSlope(p.thickness, s) / 2};
  // The mean line's direction (cos, sin) and its turning d theta / ds. At a
  // point where x' and c' both vanish, x' ~ x'' s and c' ~ c'' s: the
  // direction is (x'', c'') and the turning (x'' c''' - c'' x''') / (2
  // (x''^2 + c''^2)). Vanishing to the second order too, (x''', c''').
  double along = x[1], up = c[1], turning = 0;
  const double square = along * along + up * up;
  if (square > 0) {
    turning = (c[2] * x[1] - c[1] * x[2]) / square;
  } else if (x[2] != 0 || c[2] != 0) {
    along = x[2];
    up = c[2];
    turning = (x[2] * c[3] - c[2] * x[3]) / (2 * (x[2] * x[2] + c[2] * c[2]));
  } else {
    along = x[3];
    up = c[3];
  }
  const double length = std::hypot(along, up);
  const double sine = length > 0 ? up / length : 0, cosine = length > 0 ? along / length : 1;
  // By s to by t: the span is the same length in t for every derivative.
  const double per = 1 / (To(span) - From(span));
  const double t = side * h[0];
  return {x[0] - t * sine, c[0] + t * cosine,
          per * (x[1] - side * (h[1] * sine + h[0] * cosine * turning)),
          per * (c[1] + side * (h[1] * cosine - h[0] * sine * turning))};
}

AcrossOutline::Point AcrossOutline::AtChord(double x, double side) const {
  // x(t) is about t^2 for a fitted section: its root is the first guess.
  const double t = ParameterAt(knots_, control_x_, x, std::sqrt(x)).t;
  const std::size_t last = spans_.size() - 1;
  std::size_t span = 0;
  while (span < last && t >= To(span)) ++span;
  return At(span, (t - From(span)) / (To(span) - From(span)), side);
}

namespace {

// A Hermite piece of a span of the outline, from s = from to s = to: its
// cubic Bezier ordinates, made of the ends' points and derivatives.
struct Piece {
  double from = 0, to = 0;
  std::array<double, 4> x, y;
};

Piece HermitePiece(const AcrossOutline& outline, std::size_t span, double from, double to, double side) {
  const AcrossOutline::Point a = outline.At(span, from, side), b = outline.At(span, to, side);
  for (const AcrossOutline::Point& q : {a, b})
    if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.dx) || !std::isfinite(q.dy))
      throw BeyondDoubles("the outline laid off across the mean line");
  const double third = (outline.To(span) - outline.From(span)) * (to - from) / 3;
  return {from, to, {a.x, a.x + a.dx * third, b.x - b.dx * third, b.x}, {a.y, a.y + a.dy * third, b.y - b.dy * third, b.y}};
}

// The largest distance of a piece from the outline at 16 samples within it.
double PieceError(const AcrossOutline& outline, std::size_t span, double side, const Piece& p) {
  constexpr int kSamples = 16;
  double largest = 0;
  for (int k = 0; k < kSamples; ++k) {
    const double u = (k + 0.5) / kSamples;
    const AcrossOutline::Point exact = outline.At(span, p.from + u * (p.to - p.from), side);
    const double d = std::hypot(Derivatives(p.x, u)[0] - exact.x, Derivatives(p.y, u)[0] - exact.y);
    // A distance that is not a number is no distance within the tolerance.
    largest = std::isnan(d) ? HUGE_VAL : std::max(largest, d);
  }
  return largest;
}

// The pieces of span from `from` to `to`: one where it is within the
// tolerance, else the two halves' pieces. Halving keeps every end a binary
// fraction of the span, exact in a double.
void Cut(const AcrossOutline& outline, std::size_t span, double from, double to, double side, int halvings,
         AcrossSurface& out, std::vector<Piece>& cut) {
  const Piece p = HermitePiece(outline, span, from, to, side);
  const double error = PieceError(outline, span, side, p);
  if (error <= kAcrossTolerance) {
    out.largest_error = std::max(out.largest_error, error);
    cut.push_back(p);
    return;
  }
  if (halvings == kAcrossMostHalvings)
    throw Error(ErrorKind::Overflow,
                "the outline laid off across the mean line cannot be drawn within 1e-9 of the chord: knot span " +
                    std::to_string(span + 1) + " of " + std::to_string(outline.spans()) + " (t from " +
                    ShortestText(outline.From(span)) + " to " + ShortestText(outline.To(span)) +
                    ") needs a piece shorter than 2^-" + std::to_string(kAcrossMostHalvings) + " of it");
  const double mid = (from + to) / 2;
  Cut(outline, span, from, mid, side, halvings + 1, out, cut);
  Cut(outline, span, mid, to, side, halvings + 1, out, cut);
}

}  // namespace

AcrossSurface AcrossSurfaceOf(const AcrossOutline& outline, double side) {
  AcrossSurface out;
  SurfaceSpline& s = out.spline;
  s.knots.assign(4, 0.0);
  for (std::size_t span = 0; span < outline.spans(); ++span) {
    std::vector<Piece> pieces;
    Cut(outline, span, 0, 1, side, 0, out, pieces);
    out.pieces.push_back(static_cast<int>(pieces.size()));
    if (span == 0) {
      s.x.push_back(pieces[0].x[0]);
      s.y.push_back(pieces[0].y[0]);
    }
    // Between two pieces a twofold knot: the point they share is the blend
    // of its neighbours, and dropped; each piece gives its inner two.
    for (const Piece& p : pieces) {
      s.x.insert(s.x.end(), {p.x[1], p.x[2]});
      s.y.insert(s.y.end(), {p.y[1], p.y[2]});
      const double knot = p.to == 1 ? outline.To(span) : outline.From(span) + (outline.To(span) - outline.From(span)) * p.to;
      if (span + 1 < outline.spans() || p.to < 1) s.knots.insert(s.knots.end(), {knot, knot});
    }
    if (span + 1 == outline.spans()) {
      s.x.push_back(pieces.back().x[3]);
      s.y.push_back(pieces.back().y[3]);
    }
  }
  s.knots.insert(s.knots.end(), 4, 1.0);
  return out;
}

bool LaidOffAcross(const ExportOptions& options) {
  return options.layoff == Layoff::Across && options.size.camber != 0;
}

DrawnSurfaces DrawnSurfacesOf(const FoilSpline& foil, const ExportOptions& options) {
  DrawnSurfaces drawn;
  const double chord = DrawnChord(options);
  if (!LaidOffAcross(options)) {
    // Without camber to turn it, the thickness is laid off vertically either way.
    const OutlineSpline o = DrawnOutline(foil, options);
    drawn.upper = {o.knots, o.x, o.upper};
    drawn.lower = {o.knots, o.x, o.lower};
    return drawn;
  }
  CheckOutlineSize(options.size);
  CheckCamberScale(foil, options.size);
  const AcrossOutline outline(foil, options.size);
  drawn.upper = AcrossSurfaceOf(outline, 1).spline;
  drawn.lower = AcrossSurfaceOf(outline, -1).spline;
  if (chord != 1)
    for (SurfaceSpline* s : {&drawn.upper, &drawn.lower})
      for (std::vector<double>* v : {&s->x, &s->y})
        for (double& c : *v) {
          c *= chord;
          if (!std::isfinite(c)) throw BeyondDoubles("the outline laid off across the mean line");
        }
  return drawn;
}

}  // namespace tarvelo
