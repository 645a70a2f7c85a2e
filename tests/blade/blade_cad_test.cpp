// Every solid and face the library writes, read back by Open CASCADE here,
// in the test, apart from the module that wrote it: validity, the volume
// against the integral of the section areas, and the definition's points
// against the faces.
#include <gtest/gtest.h>

#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <Geom_Surface.hxx>
#include <ShapeAnalysis_Surface.hxx>
#include <gp_Pnt2d.hxx>
#include <GProp_GProps.hxx>
#include <IGESControl_Reader.hxx>
#include <Interface_Static.hxx>
#include <STEPControl_Reader.hxx>
#include <StepData_StepModel.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>

#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "bspline/exact.h"
#include "lib/foil.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

constexpr double kD = 304.8;

FoilSpline Section() { return ReadFoilFile(test::ExamplePath("blade/section.FOI")); }
BladeTable Example() { return ReadBladeTable(test::ExamplePath("blade/propeller.txt")); }

// The shape of a STEP or IGES file, in millimetres.
TopoDS_Shape ReadBack(const std::string& bytes, const std::string& ending) {
  test::TempDir dir;
  const std::string file = dir.file("back" + ending);
  test::WriteBytes(file, bytes);
  Interface_Static::SetCVal("xstep.cascade.unit", "MM");
  if (ending == ".step") {
    STEPControl_Reader reader;
    EXPECT_EQ(reader.ReadFile(file.c_str()), IFSelect_RetDone);
    reader.StepModel()->SetLocalLengthUnit(1);  // millimetres
    reader.TransferRoots();
    return reader.OneShape();
  }
  IGESControl_Reader reader;
  EXPECT_EQ(reader.ReadFile(file.c_str()), IFSelect_RetDone);
  reader.TransferRoots();
  return reader.OneShape();
}

std::vector<TopoDS_Shape> Solids(const TopoDS_Shape& shape) {
  std::vector<TopoDS_Shape> out;
  for (TopExp_Explorer e(shape, TopAbs_SOLID); e.More(); e.Next()) out.push_back(e.Current());
  return out;
}

// Integrated adaptively to a relative error of 1e-9: the fixed rule runs
// short on faces of many knot spans.
double Volume(const TopoDS_Shape& s) {
  GProp_GProps p;
  BRepGProp::VolumeProperties(s, p, 1e-9);
  return p.Mass();
}

double Area(const TopoDS_Shape& s) {
  GProp_GProps p;
  BRepGProp::SurfaceProperties(s, p, 1e-12);
  return p.Mass();
}

// The distance of a point from the nearest face of the shape: its
// projection on each face's surface, searched from the parameters (t, r/R)
// where the point lies on the back and the face, which a STEP file keeps (a
// search from elsewhere may stop at a nearer boundary, never nearer the point).
class Faces {
 public:
  explicit Faces(const TopoDS_Shape& s) {
    for (TopExp_Explorer e(s, TopAbs_FACE); e.More(); e.Next())
      faces_.push_back(new ShapeAnalysis_Surface(BRep_Tool::Surface(TopoDS::Face(e.Current()))));
  }
  double DistanceTo(const std::array<double, 3>& p, double t, double r) const {
    double nearest = 1e300;
    for (const Handle(ShapeAnalysis_Surface)& on : faces_) {
      double u0, u1, v0, v1;
      on->Surface()->Bounds(u0, u1, v0, v1);
      on->NextValueOfUV(gp_Pnt2d(std::clamp(t, u0, u1), std::clamp(r, v0, v1)), gp_Pnt(p[0], p[1], p[2]), 1e-13);
      nearest = std::min(nearest, on->Gap());
    }
    return nearest;
  }

 private:
  std::vector<Handle(ShapeAnalysis_Surface)> faces_;
};

double DistanceTo(const TopoDS_Shape& s, const std::array<double, 3>& p, double t, double r) {
  return Faces(s).DistanceTo(p, t, r);
}

// The radii and chord positions the definition is held to: the rows, the
// middles between them (the root and the tip among the rows), and the
// chord from edge to edge, crowded at both.
std::vector<double> Radii(const Blade& b) {
  std::vector<double> r;
  for (std::size_t i = 0; i < b.rows.size(); ++i) {
    r.push_back(b.rows[i].r);
    if (i + 1 < b.rows.size()) r.push_back((b.rows[i].r + b.rows[i + 1].r) / 2);
  }
  return r;
}
const double kChord[] = {0, 1e-4, 0.002, 0.01, 0.03, 0.07, 0.15, 0.3, 0.45, 0.6, 0.75, 0.88, 0.95, 0.99, 0.999, 1};

// The foil's parameter t where x(t) = x.
double ParameterOf(const FoilSpline& foil, double x) {
  return ParameterAt(KnotsOf(foil), foil.control_x, x, std::sqrt(x)).t;
}

// The largest distance of the definition's points from the shape, each
// point turned by `turn` about the shaft and mirrored with `mirror`.
double Farthest(const Blade& b, const TopoDS_Shape& shape, double turn = 0, bool mirror = false) {
  const Faces faces(shape);
  double farthest = 0;
  for (double r : Radii(b))
    for (double x : kChord)
      for (bool back : {true, false}) {
        const double t = ParameterOf(b.foil, x);
        std::array<double, 3> p = BladePoint(b, r, x, back);
        if (mirror) p[1] = -p[1];
        const double y = p[1] * std::cos(turn) - p[2] * std::sin(turn);
        const double z = p[1] * std::sin(turn) + p[2] * std::cos(turn);
        farthest = std::max(farthest, faces.DistanceTo({p[0], y, z}, t, r));
      }
  return farthest;
}

TEST(BladeStepTest, ThreeValidSolidsOfTheTablesVolumeAndEveryPointWithinTheTolerance) {
  std::vector<SolidCheck> checks;
  const Blade b = MakeBlade(Example(), Section());
  const std::string step = ExportBlade(b, "step", &checks);
  const std::vector<TopoDS_Shape> solids = Solids(ReadBack(step, ".step"));
  ASSERT_EQ(solids.size(), 3u);
  ASSERT_EQ(checks.size(), 3u);
  double volume = 0;
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_TRUE(BRepCheck_Analyzer(solids[k]).IsValid()) << k;
    volume += Volume(solids[k]);
    EXPECT_TRUE(checks[k].valid && checks[k].closed);
    EXPECT_NEAR(checks[k].volume, b.volume / 3, 1e-6 * b.volume);
  }
  EXPECT_NEAR(volume, b.volume, 1e-6 * b.volume);
  EXPECT_LE(b.max_deviation.deviation, 1e-6 * kD);
  const double measured = Farthest(b, solids[0]);
  EXPECT_LE(measured, 1e-5 * kD);
  EXPECT_LE(measured, b.max_deviation.deviation);
  // The other blades are the first turned by a third of a turn, either way.
  for (const double turn : {2 * std::numbers::pi / 3, -2 * std::numbers::pi / 3}) {
    double nearest = 1e300;
    const double t = ParameterOf(b.foil, 0.4);
    for (const TopoDS_Shape& s : solids) nearest = std::min(nearest, DistanceTo(s, BladePoint(b, 0.7, 0.4, true), t, 0.7));
    EXPECT_LE(nearest, 1e-5 * kD);
    std::array<double, 3> p = BladePoint(b, 0.7, 0.4, true);
    const double y = p[1] * std::cos(turn) - p[2] * std::sin(turn), z = p[1] * std::sin(turn) + p[2] * std::cos(turn);
    nearest = 1e300;
    for (const TopoDS_Shape& s : solids) nearest = std::min(nearest, DistanceTo(s, {p[0], y, z}, t, 0.7));
    EXPECT_LE(nearest, 1e-5 * kD) << turn;
  }
}

TEST(BladeStepTest, LeftHandedIsTheMirrorImage) {
  BladeOptions o;
  o.blades = 1;
  const Blade right = MakeBlade(Example(), Section(), o);
  o.left_handed = true;
  const Blade left = MakeBlade(Example(), Section(), o);
  const std::vector<TopoDS_Shape> solids = Solids(ReadBack(ExportBlade(left, "step"), ".step"));
  ASSERT_EQ(solids.size(), 1u);
  EXPECT_LE(Farthest(right, solids[0], 0, true), 1e-5 * kD);
  // And not the right-handed blade itself.
  EXPECT_GT(DistanceTo(solids[0], BladePoint(right, 0.7, 0.1, true), ParameterOf(right.foil, 0.1), 0.7), 1);
  EXPECT_NEAR(Volume(solids[0]), right.volume, 1e-6 * right.volume);
}

TEST(BladeStepTest, PlanarSectionsWithinABillionthOfTheDiameter) {
  BladeOptions o;
  o.blades = 1;
  o.planar = true;
  const Blade b = MakeBlade(Example(), Section(), o);
  const std::vector<TopoDS_Shape> solids = Solids(ReadBack(ExportBlade(b, "step"), ".step"));
  ASSERT_EQ(solids.size(), 1u);
  EXPECT_TRUE(BRepCheck_Analyzer(solids[0]).IsValid());
  EXPECT_LE(b.max_deviation.deviation, 1e-10 * kD);
  EXPECT_LE(Farthest(b, solids[0]), 1e-9 * kD);
  EXPECT_NEAR(Volume(solids[0]), b.volume, 1e-6 * b.volume);
}

// A section with a blunt leading edge: thickness at x = 0.
FoilSpline BluntNose() {
  FoilSpline f = Section();
  f.thickness.front() = 0.05;
  return f;
}

TEST(BladeStepTest, EveryShapeOfBladeMakesOneClosedValidSolid) {
  struct Case {
    const char* name;
    std::function<void(BladeTable&, FoilSpline&, BladeOptions&)> change;
    std::vector<std::string> faces;
  } cases[] = {
      {"the example", [](BladeTable&, FoilSpline&, BladeOptions&) {}, {"back", "face", "root", "tip", "trailing edge"}},
      {"a tip of no chord", [](BladeTable& t, FoilSpline&, BladeOptions&) { t.rows.back().chord = 0; t.rows[8].chord = 0.2; },
       {"back", "face", "root", "trailing edge"}},
      {"a closed trailing edge", [](BladeTable&, FoilSpline& f, BladeOptions&) { f.thickness.back() = 0; },
       {"back", "face", "root", "tip"}},
      {"a blunt leading edge", [](BladeTable&, FoilSpline& f, BladeOptions&) { f = BluntNose(); },
       {"back", "face", "root", "tip", "trailing edge", "leading edge"}},
      {"two rows", [](BladeTable& t, FoilSpline&, BladeOptions&) { t.rows = {t.rows.front(), t.rows.back()}; },
       {"back", "face", "root", "tip", "trailing edge"}},
      {"planar", [](BladeTable&, FoilSpline&, BladeOptions& o) { o.planar = true; },
       {"back", "face", "root", "tip", "trailing edge"}},
  };
  for (const Case& c : cases) {
    BladeTable t = Example();
    FoilSpline f = Section();
    BladeOptions o;
    o.blades = 1;
    o.tolerance = 1e-5;
    c.change(t, f, o);
    const Blade b = MakeBlade(t, f, o);
    std::vector<std::string> names;
    for (const BladeSurface& s : b.surfaces) names.push_back(s.name);
    EXPECT_EQ(names, c.faces) << c.name;
    std::vector<SolidCheck> checks;
    const std::vector<TopoDS_Shape> solids = Solids(ReadBack(ExportBlade(b, "step", &checks), ".step"));
    ASSERT_EQ(solids.size(), 1u) << c.name;
    EXPECT_TRUE(BRepCheck_Analyzer(solids[0]).IsValid()) << c.name;
    EXPECT_TRUE(checks[0].closed) << c.name;
    // At a tolerance of 1e-5 D the faces hold the volume to about 1e-6.
    EXPECT_NEAR(Volume(solids[0]), b.volume, 2e-5 * b.volume) << c.name;
    EXPECT_LE(Farthest(b, solids[0]), 1e-5 * kD) << c.name;
  }
}

TEST(BladeStepTest, TheLengthUnitIsTheOutputs) {
  struct Case {
    LengthUnit unit;
    const char* declared;
    double mm;
  } cases[] = {{LengthUnit::Millimetre, "SI_UNIT(.MILLI.,.METRE.)", 1},
               {LengthUnit::Centimetre, "SI_UNIT(.CENTI.,.METRE.)", 10},
               {LengthUnit::Metre, "SI_UNIT($,.METRE.)", 1000},
               {LengthUnit::Inch, "'INCH'", 25.4}};
  for (const Case& c : cases) {
    BladeOptions o;
    o.units = c.unit;
    o.blades = 1;
    o.tolerance = 1e-5;
    const Blade b = MakeBlade(Example(), Section(), o);
    EXPECT_NEAR(b.diameter * c.mm, kD, 1e-12 * kD);
    const std::string step = ExportBlade(b, "step");
    EXPECT_NE(step.find(c.declared), std::string::npos) << c.declared;
    // Read back in millimetres.
    const std::vector<TopoDS_Shape> solids = Solids(ReadBack(step, ".step"));
    ASSERT_EQ(solids.size(), 1u);
    EXPECT_NEAR(Volume(solids[0]), b.volume * c.mm * c.mm * c.mm, 2e-5 * b.volume * c.mm * c.mm * c.mm) << c.declared;
  }
}

TEST(BladeOtherFormatsTest, IgesFacesAndAnStlWithinItsTolerance) {
  BladeOptions o;
  o.blades = 2;
  o.tolerance = 1e-5;
  const Blade b = MakeBlade(Example(), Section(), o);
  std::vector<SolidCheck> checks;
  const TopoDS_Shape iges = ReadBack(ExportBlade(b, "iges", &checks), ".iges");
  EXPECT_EQ(checks.size(), 2u);
  int faces = 0;
  for (TopExp_Explorer e(iges, TopAbs_FACE); e.More(); e.Next()) ++faces;
  EXPECT_EQ(faces, 2 * 5);
  EXPECT_NEAR(Area(iges), checks[0].area + checks[1].area, 1e-6 * Area(iges));

  const std::string stl = ExportBlade(b, "stl");
  ASSERT_GE(stl.size(), 84u);
  std::uint32_t count = 0;
  std::memcpy(&count, stl.data() + 80, 4);
  ASSERT_EQ(stl.size(), 84 + 50 * static_cast<std::size_t>(count));
  // The enclosed volume of the triangles, by the divergence theorem: within
  // what the chordal tolerance cuts off the curved faces.
  double volume = 0;
  for (std::uint32_t k = 0; k < count; ++k) {
    float v[9];
    std::memcpy(v, stl.data() + 84 + 50 * static_cast<std::size_t>(k) + 12, sizeof v);
    volume += (v[0] * (v[4] * v[8] - v[5] * v[7]) - v[1] * (v[3] * v[8] - v[5] * v[6]) +
               v[2] * (v[3] * v[7] - v[4] * v[6])) / 6.0;
  }
  EXPECT_NEAR(volume, b.volume, 2e-3 * b.volume);
}

TEST(SectionStepTest, TheOutlineBoundsAValidFaceOfTheSectionsArea) {
  const FoilSpline foil = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  struct Case {
    double chord;
    LengthUnit units;
    std::optional<double> te;
    double mm;
  } cases[] = {{0, LengthUnit::None, std::nullopt, 1},
               {200, LengthUnit::Millimetre, std::nullopt, 1},
               {0.2, LengthUnit::Metre, 0.0, 1000},
               {8, LengthUnit::Inch, 0.004, 25.4}};
  for (const Case& c : cases) {
    ExportOptions o;
    o.size = {0.12, 0.02};
    o.chord = c.chord;
    o.units = c.units;
    o.te_thickness = c.te;
    const std::string step = Export(foil, "step", o);
    const TopoDS_Shape shape = ReadBack(step, ".step");
    int faces = 0;
    for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) ++faces;
    ASSERT_EQ(faces, 1);
    EXPECT_TRUE(BRepCheck_Analyzer(shape).IsValid());
    const double chord = (c.chord > 0 ? c.chord : 1) * c.mm;
    const double area = SectionProperties(foil, o.size, c.te).area * chord * chord;
    EXPECT_NEAR(Area(shape), area, 1e-9 * area) << c.chord;
  }
}

// Laid off across the mean line, the outline is a cubic B-spline within
// 1e-9 of the chord of the exact one, and still bounds one valid face. Its
// area is the thickness swept along the mean line,
// integral of thickness(x) sqrt(1 + camber'(x)^2) dx, a little more than
// the vertical outline's: worked out here with Simpson's rule in sqrt(x),
// in which the nose is smooth.
TEST(SectionStepTest, LaidOffAcrossTheOutlineBoundsAValidFaceOfItsArea) {
  const FoilSpline foil = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  const OutlineSize size{0.12, 0.02};
  const auto swept = [&](double x) {
    const FoilSpline::Value v = foil.Evaluate(x);
    const double d = std::min({1e-6, x / 2, (1 - x) / 2});
    const double slope = d > 0 ? size.camber * (foil.Evaluate(x + d).camber - foil.Evaluate(x - d).camber) / (2 * d) : 0;
    return size.thickness * v.thickness * std::sqrt(1 + slope * slope);
  };
  constexpr int kPanels = 4000;
  double area = 0;
  for (int i = 0; i <= kPanels; ++i) {
    const double t = static_cast<double>(i) / kPanels;
    const double weight = i == 0 || i == kPanels ? 1 : i % 2 == 1 ? 4 : 2;
    area += weight * swept(t * t) * 2 * t;
  }
  area /= 3 * kPanels;
  ExportOptions o;
  o.size = size;
  o.chord = 200;
  o.units = LengthUnit::Millimetre;
  o.layoff = Layoff::Across;
  const TopoDS_Shape shape = ReadBack(Export(foil, "step", o), ".step");
  int faces = 0;
  for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) ++faces;
  ASSERT_EQ(faces, 1);
  EXPECT_TRUE(BRepCheck_Analyzer(shape).IsValid());
  EXPECT_NEAR(Area(shape), area * 200 * 200, 1e-6 * area * 200 * 200);
  const double vertical = SectionProperties(foil, size).area;
  EXPECT_GT(area, vertical * (1 + 1e-4));
}

// A section's name in a STEP file: plain ASCII whatever its bytes, the file
// still read as a face. Latin-1 and UTF-8 give the same characters.
TEST(SectionStepTest, TheNameIsAStepStringOfPlainAscii) {
  const struct {
    std::string id;
    std::string in_file;
  } cases[] = {
      {"NACA 2412", "NACA 2412"},
      {"", ""},
      {"O'Brien \\ 'q'", "O''Brien \\\\ ''q''"},
      {"\xE9t\xE9 nan", "\\X2\\00E9\\X0\\t\\X2\\00E9\\X0\\ nan"},            // Latin-1
      {"\xC3\xA9t\xC3\xA9", "\\X2\\00E9\\X0\\t\\X2\\00E9\\X0\\"},            // UTF-8
      {"\x1B[2J\x7F~", "\\X2\\001B\\X0\\[2J\\X2\\007F\\X0\\~"},                 // controls
      {"\xE6\x97\xA5\xF0\x9D\x84\x9E\xC3\xA9", "\\X2\\65E5\\X0\\\\X4\\0001D11E\\X0\\\\X2\\00E9\\X0\\"},
  };
  FoilSpline foil = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  for (const auto& c : cases) {
    foil.id_line = c.id;
    ExportOptions o;
    o.size = {0.12, 0.02};
    const std::string step = Export(foil, "step", o);
    EXPECT_NE(step.find("FILE_NAME('" + c.in_file + "','1970-01-01T00:00:00'"), std::string::npos) << c.in_file;
    EXPECT_NE(step.find("PRODUCT('" + c.in_file + "','" + c.in_file + "',"), std::string::npos) << c.in_file;
    EXPECT_EQ(step.find("TARVELO-STEP-NAME"), std::string::npos);
    for (const char ch : step) ASSERT_TRUE((ch >= 0x20 && ch <= 0x7E) || ch == '\n') << int(ch);
    EXPECT_TRUE(BRepCheck_Analyzer(ReadBack(step, ".step")).IsValid()) << c.in_file;
  }
}

}  // namespace
}  // namespace tarvelo
