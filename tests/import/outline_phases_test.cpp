// The steps of an outline's decomposition, each tried alone at the limits it
// keeps: every limit met exactly where a double can meet it, and one double
// beyond.
#include <gtest/gtest.h>
#include <tarvelo/tarvelo.h>

#include <cmath>
#include <string>
#include <vector>

#include "geometry/outline_phases.h"
#include "import/outlines.h"

namespace tarvelo::outline {
namespace {

using test::Points;

// What a step refuses with, or "accepted".
template <class F>
std::string RefusalOf(F step) {
  try {
    step();
  } catch (const Refusal& refusal) {
    return refusal.what();
  }
  return "accepted";
}

OutlineSource Source(Points points, int first_label = 1) {
  OutlineSource source{std::move(points), {}, "point"};
  for (std::size_t i = 0; i < source.points.size(); ++i) source.labels.push_back(first_label + static_cast<int>(i));
  return source;
}

// The knots of an outline in file units, by the first two steps. Kept where
// it is made: a curve refers to its knots.
struct Prepared {
  explicit Prepared(Points points) {
    OutlineSource source = Source(std::move(points));
    scale = CheckAndScale(source);
    knots = DistinctPoints(source, scale);
  }
  Scale scale;
  Knots knots;
};

// The smallest outline: nine points, five a surface with the leading edge
// (0, 0) shared, in its own frame.
Points Nine() {
  return {{1, 0},     {0.6, 0.06},  {0.3, 0.07},  {0.1, 0.05}, {0, 0},
          {0.1, -0.04}, {0.3, -0.05}, {0.6, -0.04}, {1, 0}};
}

double Up(double x) { return std::nextafter(x, HUGE_VAL); }
double Down(double x) { return std::nextafter(x, -HUGE_VAL); }

// ---- check and scale ----

// Points on the x axis 4 apart: each quartered step is 1. `far` is put at
// index 5, between 16 and 20, `times` times over.
Points OnALine(double far, int times = 1) {
  Points p;
  for (double x = 0; x <= 16; x += 4) p.push_back({x, 0});
  for (int i = 0; i < times; ++i) p.push_back({far, 0});
  for (double x = 20; x <= 40; x += 4) p.push_back({x, 0});
  return p;
}

// Eleven steps whose median is 1 make an outline 11 long: a point is far off
// when both its steps are longer than that.
TEST(OutlineScaleTest, APointIsFarOffBeyondTheMedianStepTimesTheSteps) {
  Points first{{Down(-44), 0}}, last;  // 11 out of the first point, 11 into the last
  for (double x = 0; x <= 40; x += 4) first.push_back({x, 0}), last.push_back({x, 0});
  last.push_back({Up(84), 0});
  Points firstAt = first, lastAt = last;
  firstAt.front().x = -44;
  lastAt.back().x = 84;
  const struct {
    const char* what;
    Points points;
    std::size_t far;
  } rows[] = {
      {"12 into it, 11 out of it", OnALine(64), 12},
      {"12 into it, just over 11 out of it", OnALine(Up(64)), 5},
      {"a run of repeats, 11 out of it", OnALine(64, 3), 14},
      {"a run of repeats, just over 11 out of it", OnALine(Up(64), 3), 5},
      {"the first point, 11 out of it", firstAt, 12},
      {"the first point, just over 11 out of it", first, 0},
      {"the last point, 11 into it", lastAt, 12},
      {"the last point, just over 11 into it", last, 11},
      {"two steps: the median is the longer", {{0, 0}, {0, 0}, {1, 0}, {1e300, 0}}, 4},
      {"one step: nothing to judge by", {{0, 0}, {0, 0}, {1e300, 0}}, 3},
  };
  for (const auto& r : rows) EXPECT_EQ(FarOffPoint(r.points), r.far) << r.what;
}

TEST(OutlineScaleTest, NinePointsAreEnoughAndAFarOffPointIsNamed) {
  Points eight = Nine();
  eight.erase(eight.begin() + 2);
  EXPECT_EQ(RefusalOf([&] { CheckAndScale(Source(eight)); }), "a surface has fewer than 5 points");
  EXPECT_EQ(RefusalOf([&] { CheckAndScale(Source(Nine())); }), "accepted");
  Points off = Nine();
  off[6].y = -1e6;
  EXPECT_EQ(RefusalOf([&] { CheckAndScale(Source(off, 10)); }), "the point in point 16 lies far off the outline");
  OutlineSource lines = Source(off, 3);
  lines.label_word = "line";
  EXPECT_EQ(RefusalOf([&] { CheckAndScale(lines); }), "the point in line 9 lies far off the outline");
}

// A power of two brings the largest coordinate into 0.5..1; the size is the
// scaled points' diagonal. The outline's coordinates are dyadic: exact in any
// scale.
TEST(OutlineScaleTest, APowerOfTwoBringsTheLargestCoordinateBelowOne) {
  const Points dyadic{{1, 0},       {0.625, 0.0625},    {0.25, 0.0625},  {0.125, 0.03125}, {0, 0},
                      {0.125, -0.03125}, {0.25, -0.046875}, {0.625, -0.03125}, {1, 0}};
  const struct {
    double chord;
    int exponent;
    double size;
  } rows[] = {
      {1, 1, std::hypot(0.5, 0.0546875)},  // 1 = 0.5 * 2^1
      {0.75, 0, std::hypot(0.75, 0.08203125)},
      {3, 2, std::hypot(0.75, 0.08203125)},
      {std::ldexp(1, -1040), -1039, std::hypot(0.5, 0.0546875)},  // subnormal
  };
  for (const auto& r : rows) {
    Points p = dyadic;
    for (CoordinatePoint& q : p) q = {q.x * r.chord, q.y * r.chord};
    const Scale scale = CheckAndScale(Source(p));
    EXPECT_EQ(scale.exponent, r.exponent) << r.chord;
    EXPECT_EQ(scale.size, r.size) << r.chord;
  }
}

// ---- distinct points ----

struct Distinct {
  std::vector<bool> sampled;
  std::vector<int> labels;
  std::vector<double> x;
};

Distinct DistinctOf(Points points, Scale scale) {
  OutlineSource source = Source(std::move(points), 11);
  const Knots knots = DistinctPoints(source, scale);
  EXPECT_TRUE(source.points.empty() && source.labels.empty());  // consumed
  return {knots.sampled, knots.labels, knots.x};
}

// A step of 1e-12 of the outline's size is the same point; a step of 3 times
// its size in all is the longest path round it.
TEST(OutlineDistinctPointsTest, RepeatsWithin1e12OfTheSizeAndAPathLongerThan3Sizes) {
  const struct {
    const char* what;
    Scale scale;
    double step;
    std::vector<bool> sampled;
  } rows[] = {
      {"1e-12 of size 1", {0, 1}, 1e-12, {true, false, true, true}},
      {"just over 1e-12 of size 1", {0, 1}, Up(1e-12), {true, true, true, true}},
      {"1e-12 of size 0.5", {0, 0.5}, 5e-13, {true, false, true, true}},
      {"just over 1e-12 of size 0.5", {0, 0.5}, Up(5e-13), {true, true, true, true}},
      {"no step", {0, 1}, 0, {true, false, true, true}},
  };
  for (const auto& r : rows) {
    const Distinct d = DistinctOf({{0, 0}, {r.step, 0}, {0.25, 0.125}, {0.125, 0.25}}, r.scale);
    EXPECT_EQ(d.sampled, r.sampled) << r.what;
    const bool apart = r.sampled[1];
    EXPECT_EQ(d.labels, apart ? std::vector<int>({11, 12, 13, 14}) : std::vector<int>({11, 13, 14})) << r.what;
  }
  // 0.5 along and 0.25 up: 0.75, three times a size of 0.25.
  EXPECT_EQ(RefusalOf([] { DistinctOf({{0, 0}, {0.5, 0}, {0.5, 0.25}}, {0, 0.25}); }), "accepted");
  EXPECT_EQ(RefusalOf([] { DistinctOf({{0, 0}, {0.5, 0}, {0.5, Up(Up(0.25))}}, {0, 0.25}); }),
            "the points do not run in order round the outline");
  // The points are scaled by the power of two.
  EXPECT_EQ(DistinctOf({{0, 0}, {1, 0}, {1, 0.5}}, {1, 0.5}).x, std::vector<double>({0, 0.5, 0.5}));
}

// ---- leading edge ----

TEST(OutlineLeadingEdgeTest, EachSurfaceKeepsFivePointsWithTheLeadingEdge) {
  const struct {
    std::size_t le, knots;
    bool enough;
  } rows[] = {{4, 9, true}, {3, 9, false}, {5, 9, false}, {4, 8, false}, {3, 8, false}, {4, 10, true},
              {5, 10, true}, {6, 10, false}};
  for (const auto& r : rows)
    EXPECT_EQ(RefusalOf([&] { CheckSurfacePoints(r.le, r.knots); }),
              r.enough ? "accepted" : "a surface has fewer than 5 points")
        << r.le << " of " << r.knots;
}

TEST(OutlineLeadingEdgeTest, TheListingStartsAtTheTrailingEdgeWithFivePointsASurface) {
  Points four{{1, 0}, {0.5, 0.06}, {0.2, 0.05}, {0, 0}, {0.1, -0.03}, {0.3, -0.05}, {0.5, -0.05},
              {0.75, -0.03}, {1, 0}};
  Points six(four.rbegin(), four.rend());
  Points fromNose{{0, 0}, {0.3, 0.06}, {0.7, 0.04}, {0.9, 0.02}, {1, 0}, {0.9, -0.02}, {0.7, -0.04},
                  {0.3, -0.05}, {0, 0}};
  const struct {
    const char* what;
    Points points;
    std::string refusal;
  } rows[] = {
      {"five and five", Nine(), "accepted"},
      {"four and six", four, "a surface has fewer than 5 points"},
      {"six and four", six, "a surface has fewer than 5 points"},
      {"from the leading edge", fromNose,
       "the outline starts and ends at its leading edge: list it from the trailing edge"},
  };
  for (const auto& r : rows) {
    const Prepared p(r.points);
    EXPECT_EQ(RefusalOf([&] { CheckListing(p.knots); }), r.refusal) << r.what;
  }
  const Prepared nine(Nine());
  EXPECT_EQ(ForemostKnot(nine.knots), 4u);
  const Prepared shifted(four);
  EXPECT_EQ(RefusalOf([&] { ForemostKnot(shifted.knots); }), "a surface has fewer than 5 points");
}

// On a symmetric outline the leading edge lies on the axis. Found as a root
// to the last bits of the chord length, it is off the axis by no more than
// the roundings of the chord lengths summed from either end: 1e-15.
TEST(OutlineLeadingEdgeTest, TheLeadingEdgeIsWhereTheDistanceFromTheTrailingEdgeStopsGrowing) {
  const test::Naca n0012{0, 0, 0.12};
  for (const bool onAKnot : {true, false}) {
    test::Surfaces s = test::NacaSurfaces(n0012, 30);
    if (!onAKnot) s.upper.erase(s.upper.begin());  // the lower surface's stays
    const Prepared p(test::Selig(s));
    const Curve curve(p.knots.s, p.knots.x, p.knots.y);
    const double le = LeadingEdge(curve, p.knots, EndsMidpoint(p.knots));
    const Point at = curve.At(le);
    EXPECT_NEAR(at.y, 0, 1e-15) << onAKnot;
    if (onAKnot) {
      EXPECT_NEAR(le, p.knots.s[29], 1e-15);
    } else {
      EXPECT_LT(at.x, p.knots.x[28]);  // ahead of both points beside it
      EXPECT_GT(le, p.knots.s[28]);
      EXPECT_LT(le, p.knots.s[29]);
    }
  }
}

// ---- frame ----

// The last x above 1 within 1e-4 of it, and the first beyond; likewise below.
struct Edge {
  double in, out;
};
Edge AroundOne(double direction) {
  double x = 1 + direction * 1e-4;
  while (!(std::fabs(x - 1) <= 1e-4)) x = std::nextafter(x, 1.0);
  while (std::fabs(std::nextafter(x, direction * HUGE_VAL) - 1) <= 1e-4) x = std::nextafter(x, direction * HUGE_VAL);
  return {x, std::nextafter(x, direction * HUGE_VAL)};
}

TEST(OutlineFrameTest, AnOutlineKeepsItsFrameWithin1e4OfItsChordAndLeadingEdge) {
  const Edge above = AroundOne(1), below = AroundOne(-1);
  const struct {
    double te;
    Point le;
    bool kept;
  } rows[] = {
      {1, {0, 0}, true},
      {above.in, {0, 0}, true},
      {above.out, {0, 0}, false},
      {below.in, {0, 0}, true},
      {below.out, {0, 0}, false},
      {1, {1e-4, 0}, true},
      {1, {Up(1e-4), 0}, false},
      {1, {-1e-4, 0}, true},
      {1, {Down(-1e-4), 0}, false},
      {1, {0, 1e-4}, true},
      {1, {0, Up(1e-4)}, false},
      {1, {0, -1e-4}, true},
      {1, {0, Down(-1e-4)}, false},
      {1, {6e-5, 8e-5}, true},  // 1e-4 away, within a rounding
      {1, {6e-5, 8.1e-5}, false},
  };
  for (const auto& r : rows) {
    Points p = Nine();
    p.front().x = p.back().x = r.te;
    p[4] = {r.le.x, r.le.y};
    EXPECT_EQ(SpansOwnChord(p), r.kept) << r.te << " " << r.le.x << " " << r.le.y;
  }
}

// The least x of the curve, found where dx/ds vanishes, against the curve
// sampled a million times (whose least lies up to 3e-11 above it, the
// curve's turn over half a sample step): a symmetric outline reaches no farther than its
// point at (0, 0); the table of NACA 23012, whose points lie at x >= 0,
// reaches 4.8e-4 ahead between two of them.
TEST(OutlineFrameTest, TheCurvesLeastXIsFoundInsideAnInterval) {
  const test::Naca n0012{0, 0, 0.12};
  const struct {
    const char* what;
    Points points;
    double least;
  } rows[] = {
      {"NACA 0012", test::Selig(test::NacaSurfaces(n0012, 41)), 0},
      {"NACA 23012 as tabled", test::Selig(test::Naca23012Table()), -4.772e-4},
  };
  for (const auto& r : rows) {
    const Prepared p(r.points);
    const Curve curve(p.knots.s, p.knots.x, p.knots.y);
    double sampled = HUGE_VAL;
    for (int i = 0; i <= 1000000; ++i) sampled = std::min(sampled, curve.At(p.knots.s.back() * i / 1e6).x);
    const double least = curve.LeastX();
    EXPECT_LE(least, sampled) << r.what;
    EXPECT_NEAR(least, sampled, 1e-10) << r.what;
    EXPECT_NEAR(std::ldexp(least, p.scale.exponent), r.least, 1e-7) << r.what;
  }
}

// The frame is kept while the curve reaches no farther ahead of x = 0 than
// 1e-5 of the chord, whatever the power of two the points are scaled by.
TEST(OutlineFrameTest, TheFrameIsKeptWhileTheCurveReachesAtMost1e5Ahead) {
  for (const int exponent : {1, 0, -3}) {
    const Scale scale{exponent, 1};
    const double limit = -std::ldexp(1e-5, -exponent);
    const struct {
      double least;
      bool kept;
    } rows[] = {{0, true}, {1e-3, true}, {limit, true}, {Down(limit), false}, {-1e-3, false}};
    for (const auto& r : rows) EXPECT_EQ(KeepsOwnNose(r.least, scale), r.kept) << exponent << " " << r.least;
  }
}

TEST(OutlineFrameTest, AFrameRunsFromTheLeadingEdgeToTheTrailingEdge) {
  const Prepared p(Nine());
  const Curve curve(p.knots.s, p.knots.x, p.knots.y);
  const double le = p.knots.s[4];
  EXPECT_EQ(RefusalOf([&] { FrameOf(curve, le, curve.At(le)); }),
            "the outline has no chord: its leading and trailing edges meet");
  const Frame frame = FrameOf(curve, le, {0.25, 0.5});  // a chord of 0.5 * sqrt(1.25)
  const Point tip = frame.In({0.25, 0.5});
  EXPECT_NEAR(tip.x, 1, 1e-15);
  EXPECT_NEAR(tip.y, 0, 1e-15);
  const Point back = frame.Out(frame.In({0.125, -0.25}));
  EXPECT_NEAR(back.x, 0.125, 1e-15);
  EXPECT_NEAR(back.y, -0.25, 1e-15);
}

// ---- trailing edge ----

// The surfaces end apart along the chord by more than across it, and by
// more than 1e-9: the shorter one is truncated; otherwise a blunt edge.
TEST(OutlineTrailingEdgeTest, ASurfaceIsTruncatedWhenItStopsShortByMoreThanItsEndsLieApartAcross) {
  const struct {
    const char* what;
    Point first, last;
    double along;
    bool truncated;
  } rows[] = {
      {"ends equal", {1, 0}, {1, 0}, 0, false},
      {"ends equal along, apart across", {1, 0.01}, {1, -0.01}, 0, false},
      {"first 1e-9 longer", {1e-9, 0}, {0, 0}, 1e-9, false},
      {"first just over 1e-9 longer", {Up(1e-9), 0}, {0, 0}, Up(1e-9), true},
      {"last 1e-9 longer", {0, 0}, {1e-9, 0}, -1e-9, false},
      {"last just over 1e-9 longer", {0, 0}, {Up(1e-9), 0}, -Up(1e-9), true},
      {"along as far as across", {0.0625, 0.0625}, {0, 0}, 0.0625, false},
      {"along just over across", {Up(0.0625), 0.0625}, {0, 0}, Up(0.0625), true},
      {"last: along as far as across", {0, -0.0625}, {0.0625, 0}, -0.0625, false},
      {"last: along just over across", {0, -0.0625}, {Up(0.0625), 0}, -Up(0.0625), true},
  };
  for (const auto& r : rows) {
    const EndsApart ends = ClassifyEnds(r.first, r.last);
    EXPECT_EQ(ends.along, r.along) << r.what;
    EXPECT_EQ(ends.truncated, r.truncated) << r.what;
  }
}

// A truncated surface: the trailing edge is the longer one's end. Ends
// equal: their midpoint. Blunt: the midpoint of the longer end and the
// shorter carried on along its slope, which on a symmetric outline lies on
// its axis but for the spline's error of slope at the shorter end, 2e-7 in
// the knots' units (half the file's), where the ends' midpoint lies 7e-5 off.
TEST(OutlineTrailingEdgeTest, TheTrailingEdgeIsTheLongerEndTheMidpointOrTheShorterCarriedOn) {
  const test::Naca n0012{0, 0, 0.12};
  test::Surfaces s = test::NacaSurfaces(n0012, 61);
  while (s.lower.back().x > 0.998) s.lower.pop_back();
  s.lower.push_back({0.998, -n0012.Half(0.998)});
  for (const bool lowerFirst : {false, true}) {
    const Prepared p(test::Selig(s, lowerFirst));
    const Curve curve(p.knots.s, p.knots.x, p.knots.y);
    const std::size_t last = p.knots.size() - 1;
    const Frame frame;  // the outline is in its chord frame already
    const EndsApart ends = ClassifyEnds(frame.In(p.knots.At(0)), frame.In(p.knots.At(last)));
    EXPECT_FALSE(ends.truncated);
    EXPECT_EQ(ends.along > 0, !lowerFirst);
    const Point te = TrailingEdge(curve, p.knots, frame, ends);
    EXPECT_NEAR(te.y, 0, 2e-7) << lowerFirst;
    EXPECT_EQ(te.x, p.knots.x[lowerFirst ? last : 0]) << lowerFirst;
    const Point longer = p.knots.At(lowerFirst ? last : 0);
    const Point shorter = p.knots.At(lowerFirst ? 0 : last);
    const Point truncatedTe = TrailingEdge(curve, p.knots, frame, {ends.along, true});
    EXPECT_EQ(std::vector<double>({truncatedTe.x, truncatedTe.y}), std::vector<double>({longer.x, longer.y}));
    const Point even = TrailingEdge(curve, p.knots, frame, {0, false});
    EXPECT_EQ(std::vector<double>({even.x, even.y}),
              std::vector<double>({(longer.x + shorter.x) / 2, (longer.y + shorter.y) / 2}));
    EXPECT_GT(std::fabs(even.y), 7e-5);
  }
}

// ---- surfaces ----

struct Split {
  Prepared prepared;
  Curve curve;
  Chord chord;
  explicit Split(Points points)
      : prepared(std::move(points)), curve(prepared.knots.s, prepared.knots.x, prepared.knots.y),
        chord(KeptChord(prepared.knots, ForemostKnot(prepared.knots), prepared.scale)) {}
  Placed placed() const { return PlaceOn(curve, prepared.knots, chord); }
};

TEST(OutlineSurfacesTest, EachSurfaceRunsFromTheLeadingEdgeToItsEnd) {
  const Split split(Nine());
  const Surface first = SplitSurface(split.placed(), true), last = SplitSurface(split.placed(), false);
  EXPECT_EQ(first.x, std::vector<double>({0, 0.1, 0.3, 0.6, 1}));
  EXPECT_EQ(last.x, std::vector<double>({0, 0.1, 0.3, 0.6, 1}));
  EXPECT_EQ(std::vector<std::size_t>({first.point(1), first.point(4), last.point(1), last.point(4)}),
            std::vector<std::size_t>({3, 0, 5, 8}));
  EXPECT_EQ(first.end.y, 0.0);
  EXPECT_LT(first.slope, 0);  // the upper surface comes down to its end
  EXPECT_GT(last.slope, 0);
  EXPECT_TRUE(FirstIsUpper(split.prepared.knots));
  const Points nine = Nine();
  const Prepared clockwise(Points(nine.rbegin(), nine.rend()));
  EXPECT_FALSE(FirstIsUpper(clockwise.knots));
  Knots flat;
  flat.x = {1, 0.5, 0, 0.5}, flat.y = {0, 0, 0, 0};
  EXPECT_TRUE(FirstIsUpper(flat));  // no area: the first is the upper
}

// The shorter surface is continued to the longer one's end; ends equal
// along, the last counts as the shorter, with no slope to go on at.
TEST(OutlineSurfacesTest, TheShorterOfTruncatedSurfacesIsContinuedToTheLongersEnd) {
  const struct {
    Point first, last;
    bool first_upper;
    const char* warning;
    double first_slope, last_slope;
  } rows[] = {
      {{0.75, -0.125}, {1, 0}, true, "The upper surface ends 25.0000 % of the chord short of the lower one", 0.5, 9},
      {{0.75, -0.125}, {1, 0}, false, "The lower surface ends 25.0000 % of the chord short of the upper one", 0.5, 9},
      {{1, 0}, {0.5, 0.25}, true, "The lower surface ends 50.0000 % of the chord short of the upper one", 9, -0.5},
      {{1, 0}, {0.5, 0.25}, false, "The upper surface ends 50.0000 % of the chord short of the lower one", 9, -0.5},
      {{1, 0}, {1, 0.25}, true, "The lower surface ends 0.0000 % of the chord short of the upper one", 9, 0},
  };
  for (const auto& r : rows) {
    Surface first, last;
    first.end = r.first, last.end = r.last;
    first.slope = last.slope = 9;
    EXPECT_EQ(ContinueShorter(first, last, r.first_upper),
              std::string(r.warning) + ": continued by a straight line");
    EXPECT_EQ(first.slope, r.first_slope) << r.warning;
    EXPECT_EQ(last.slope, r.last_slope) << r.warning;
  }
}

// y at a chord position: the leading edge's ahead of the surface, the
// surface's points where they are (the root to the last bits: 1e-16), the
// line beyond its end; the same whichever way the walk came.
TEST(OutlineSurfacesTest, YOfASurfaceAtAChordPositionWhicheverWayTheWalkGoes) {
  const Split split(Nine());
  const Placed placed = split.placed();
  Surface upper = SplitSurface(placed, true);
  upper.end = {0.75, 0.125};  // moved, to see the continuation alone
  upper.x.pop_back();
  upper.slope = 0.5;
  Walk walk;
  EXPECT_EQ(YAt(placed, upper, -0.5, walk), 0.0);
  EXPECT_NEAR(YAt(placed, upper, 0.3, walk), 0.07, 1e-16);
  EXPECT_EQ(YAt(placed, upper, 1, walk), 0.25);
  const double there = YAt(placed, upper, 0.2, walk);
  Walk fresh;
  EXPECT_EQ(YAt(placed, upper, 0.2, fresh), there);
  EXPECT_NEAR(YAt(placed, upper, 0.1, walk), 0.05, 1e-16);
}

// ---- stations ----

TEST(OutlineStationsTest, CosineStationsOrTheUpperSurfacesOwnApartByMoreThan2e8) {
  const std::vector<double> five = Stations({5, false}, {}, {}, {});
  ASSERT_EQ(five.size(), 5u);
  EXPECT_EQ(five.front(), 0.0);
  EXPECT_EQ(five.back(), 1.0);
  EXPECT_NEAR(five[1] + five[3], 1, 1e-16);
  EXPECT_EQ(Stations({401, false}, {}, {}, {}).size(), 401u);
  const double same = 0.25 + 2e-8;
  Surface upper, lower;
  upper.x = {-1e-3, -1e-3, 1e-8, 2e-8, 0.25, same, Up(same), Up(same) + 2e-8, 0.5, 1.5};
  lower.x = {0, 0.375};  // not the upper surface's own
  EXPECT_EQ(Stations({7, true}, upper, lower, {}), std::vector<double>({0, 0.25, Up(same), 0.5, 1}));
  upper.x = {0, 1e-8, Up(2e-8)};
  EXPECT_EQ(Stations({7, true}, upper, lower, {}), std::vector<double>({0, Up(2e-8)}));
}

// Every point's chord position, of both surfaces and between their points,
// with the cosine-spaced stations (here the ends alone), each within 0..1 and
// 2e-8 or less from the one before merged into it; the last is 1 itself.
TEST(OutlineStationsTest, EveryPointsStationOfBothSurfacesAndBetweenThem) {
  // Near the nose positions 2e-8 apart are one station, a step more two; at
  // a quarter of the chord those within 1e-5 in sqrt(x) are one, a little
  // more two.
  const double nose = 1e-7, same = nose + 2e-8;
  const double near = (0.5 + 0.99999e-5) * (0.5 + 0.99999e-5), far = (0.5 + 1.00001e-5) * (0.5 + 1.00001e-5);
  Surface upper, lower;
  upper.x = {0, -1e-3, nose, Up(same), 0.25, near, 0.75, 1 - 1e-9};
  lower.x = {0, same, 0.625, 1.5};
  OwnPoints between;
  between.ahead = {{0.125, 0.01}, {0.5, 0.02}};
  between.behind = {{far, -0.01}, {-0.5, 0}};
  ImportOptions options{2, false, true};
  EXPECT_EQ(Stations(options, upper, lower, between),
            std::vector<double>({0, nose, Up(same), 0.125, 0.25, far, 0.5, 0.625, 0.75, 1}));
  // A last point within 2e-8 of 1 is the trailing edge's station, 1 itself.
  upper.x = {0, 1 - 1e-8};
  lower.x = {0, 0.875};
  EXPECT_EQ(Stations(options, upper, lower, {}), std::vector<double>({0, 0.875, 1}));
}

// ---- thickness and crossing ----

TEST(OutlineThicknessTest, ThicknessBelowMinus1e9IsACrossing) {
  const struct {
    double thickness;
    bool crossing;
  } rows[] = {{-1e-9, false}, {Down(-1e-9), true}, {0, false}, {-1, true}, {NAN, false}};
  for (const auto& r : rows) {
    Crossing c;
    c.Look(0.5, r.thickness);
    EXPECT_EQ(c.at, r.crossing ? 0.5 : HUGE_VAL) << r.thickness;
  }
  Crossing c;
  for (const double x : {0.999, 0.995, 0.998, 0.997}) c.Look(x, x == 0.998 ? -0.01 : -0.001);
  EXPECT_EQ(std::vector<double>({c.at, c.thinnest, c.thinnest_x}), std::vector<double>({0.995, -0.01, 0.998}));
}

// Ahead of 99 % of the chord crossing surfaces are refused; from there on
// they are said.
TEST(OutlineThicknessTest, SurfacesCrossingAheadOf99PercentAreRefusedBehindItSaid) {
  const std::string said = "The surfaces cross at ";
  const struct {
    double at;
    std::string result;
  } rows[] = {
      {0.99, said + "99.00 % of the chord: the thickness goes down to -0.1000 % of the chord at 99.50 %"},
      {Down(0.99), "refused: the surfaces cross at 99.00 % of the chord"},
      {0.985, "refused: the surfaces cross at 98.50 % of the chord"},
      {0.98, "refused: the surfaces cross at 98.00 % of the chord"},
      {0.5, "refused: the surfaces cross at 50.00 % of the chord"},
      {0.995, said + "99.50 % of the chord: the thickness goes down to -0.1000 % of the chord at 99.50 %"},
      {HUGE_VAL, ""},
  };
  for (const auto& r : rows) {
    Crossing c;
    c.at = r.at, c.thinnest = -0.001, c.thinnest_x = 0.995;
    std::string result;
    const std::string refusal = RefusalOf([&] { result = CrossingWarning(c); });
    EXPECT_EQ(refusal == "accepted" ? result : "refused: " + refusal, r.result) << r.at;
  }
}

TEST(OutlineThicknessTest, AThicknessOrCamberThatIsNotFiniteIsRefused) {
  const struct {
    double thickness, camber;
    const char* refusal;
  } rows[] = {
      {0.01, 0.02, "accepted"},
      {NAN, 0, "the outline gives no finite thickness at 25.00 % of the chord"},
      {0, HUGE_VAL, "the outline gives no finite thickness at 25.00 % of the chord"},
      {-HUGE_VAL, 0, "the outline gives no finite thickness at 25.00 % of the chord"},
  };
  for (const auto& r : rows) {
    const Section s{"", {0, 0.25, 1}, {0, r.thickness, 0}, {0, r.camber, 0}};
    EXPECT_EQ(RefusalOf([&] { CheckFinite(s); }), r.refusal);
  }
}

// ---- the result ----

// In its own frame the points come back as given, a repeated point twice;
// the leading edge's point ends one list and starts the other.
TEST(OutlineResultTest, TheGivenPointsLieOnTheirSurfacesFromTheLeadingEdgeOn) {
  Points p = Nine();
  p.insert(p.begin() + 2, p[2]);
  const Split split(p);
  const OwnPoints own = GivenPoints(split.placed(), split.prepared.scale);
  const auto text = [](const std::vector<CoordinatePoint>& points) {
    std::string t;
    for (const CoordinatePoint& q : points) t += test::Text(q.x) + " " + test::Text(q.y) + ", ";
    return t;
  };
  EXPECT_EQ(text(own.ahead), "0 0, 0.1 0.05, 0.3 0.07, 0.3 0.07, 0.6 0.06, 1 0, ");
  EXPECT_EQ(text(own.behind), "0 0, 0.1 -0.04, 0.3 -0.05, 0.6 -0.04, 1 0, ");
  EXPECT_EQ(TransformOf(split.chord, split.prepared.scale).frame, ImportFrame::Kept);
}

// The transform takes the scaled outline back to its own size and place:
// past the largest number it is refused. Met exactly: a chord just over 0.5
// scaled by 2^1023 is just below the largest number, a chord of 0.5 above
// it; a leading edge at -(1 - 2^-53) scaled by 2^1024 is the lowest number.
TEST(OutlineResultTest, ATransformPastTheLargestNumberIsRefused) {
  const std::string small = "the outline is too small to scale onto the chord";
  const std::string far = "the outline's leading edge lies beyond the largest number";
  const struct {
    double chord;
    Point le;
    int exponent;
    std::string result;
  } rows[] = {
      {0.5, {0, 0}, -1022, "scale 8.98847e+307, angle 0 deg, shift 0 0"},
      {Up(0.5), {0, 0}, -1023, "scale 1.79769e+308, angle 0 deg, shift 0 0"},
      {0.5, {0, 0}, -1023, small},
      {0.5, {-Down(1), 0}, 1024, "scale 1.11254e-308, angle 0 deg, shift -1.79769e+308 0"},
      {0.5, {-1, 0}, 1024, far},
      {0.5, {0, Down(1)}, 1024, "scale 1.11254e-308, angle 0 deg, shift 0 1.79769e+308"},
      {0.5, {0, 1}, 1024, far},
  };
  for (const auto& r : rows) {
    Chord chord;
    chord.frame.le = r.le, chord.frame.chord = r.chord;
    std::string result;
    const std::string refusal = RefusalOf([&] {
      const ImportTransform t = TransformOf(chord, {r.exponent, 1});
      const std::string text = ImportTransformText(t);
      result = text.substr(text.find("scale"));
    });
    EXPECT_EQ(refusal == "accepted" ? result : refusal, r.result) << r.chord << " " << r.exponent;
  }
  Chord kept;
  kept.kept = true;
  EXPECT_EQ(ImportTransformText(TransformOf(kept, {-1040, 1})), "frame kept");
}

}  // namespace
}  // namespace tarvelo::outline
