// What the library hands the CAD module and gets back: plain B-spline data
// in, the bytes of a file or a check of the solids out. The module
// (tarvelo-cad.so, built from this folder) is the only code that knows Open
// CASCADE; the library loads it with dlopen when a call needs it, so that a
// program that makes no solid never pays for loading it.
//
// Both sides are built by this project with one compiler and one standard
// library, so the data are C++ types; the entry point is a C symbol, and
// no exception crosses it: a failure comes back as a reason.
#pragma once

#include <string>
#include <vector>

namespace tarvelo::cad {

// A non-rational B-spline curve: its full knot vector (degree + 1 ends
// repeated), and its poles x, y, z after one another.
struct Curve {
  int degree = 3;
  std::vector<double> knots;
  std::vector<double> poles;
};

// A non-rational B-spline surface over its whole parameter rectangle: the
// full knot vectors, and the poles x, y, z after one another, u running
// fastest (pole (i, j) at 3 (j count_u + i)).
struct Surface {
  int degree_u = 3;
  int degree_v = 3;
  std::vector<double> knots_u;
  std::vector<double> knots_v;
  int count_u = 0;
  int count_v = 0;
  std::vector<double> poles;
};

enum class Format { Step, Iges, Stl, Check };

// A length unit of the files: the lengths given are in it.
enum class Unit { Millimetre, Centimetre, Metre, Inch };

struct Request {
  Format format = Format::Check;
  Unit unit = Unit::Millimetre;
  // A solid: faces that close up along their parameter boundaries (an
  // edge where two faces' boundaries meet within `tolerance`, a boundary that
  // collapses to a point a degenerate edge), copied `copies` times turned by
  // 2 pi / copies about the x axis. Or, with no faces, a planar face bounded
  // by the closed loop of `outline`, each curve starting where the last ends.
  std::vector<Surface> faces;
  int copies = 1;
  std::vector<Curve> outline;
  double tolerance = 1e-7;  // in the unit
  double stl_deflection = 0;  // the STL's chordal tolerance, in the unit
  std::string name;  // the product's name in STEP
};

// What Open CASCADE finds of each solid (or of the planar face: its area,
// volume 0).
struct Solid {
  bool valid = false;   // BRepCheck_Analyzer
  bool closed = false;  // a shell without free edges
  double volume = 0;
  double area = 0;
};

struct Result {
  bool ok = false;
  std::string reason;  // why not, when not ok
  std::string bytes;   // the file
  std::vector<Solid> solids;
};

// The module's one entry point, looked up by this name.
using Run = void (*)(const Request& request, Result& result);
inline constexpr const char* kEntryPoint = "tarvelo_cad_run";

}  // namespace tarvelo::cad
