// "step": the exact outline as B-spline curves bounding a planar face, in a
// STEP file (AP214) made by the CAD module.
#include <tarvelo/tarvelo.h>

#include "lib/cad_module.h"
#include "lib/foil.h"

namespace tarvelo {

namespace {

cad::Curve Surface(const SurfaceSpline& s) {
  cad::Curve c{3, s.knots, {}};
  for (std::size_t j = 0; j < s.x.size(); ++j) c.poles.insert(c.poles.end(), {s.x[j], s.y[j], 0.0});
  return c;
}

// The same curve run the other way.
cad::Curve Reversed(const cad::Curve& c) {
  cad::Curve r{c.degree, {}, {}};
  const double ends = c.knots.front() + c.knots.back();
  for (auto k = c.knots.rbegin(); k != c.knots.rend(); ++k) r.knots.push_back(ends - *k);
  for (std::size_t i = c.poles.size() / 3; i-- > 0;) r.poles.insert(r.poles.end(), &c.poles[3 * i], &c.poles[3 * i + 3]);
  return r;
}

// The straight line from the last pole of `a` to the first of `b`.
cad::Curve Joining(const cad::Curve& a, const cad::Curve& b) {
  cad::Curve line{1, {0, 0, 1, 1}, {}};
  line.poles.insert(line.poles.end(), a.poles.end() - 3, a.poles.end());
  line.poles.insert(line.poles.end(), b.poles.begin(), b.poles.begin() + 3);
  return line;
}

bool Meet(const cad::Curve& a, const cad::Curve& b) { return std::equal(a.poles.end() - 3, a.poles.end(), b.poles.begin()); }

}  // namespace

std::string WriteStep(const FoilSpline& foil, const ExportOptions& options) {
  const DrawnSurfaces o = DrawnSurfacesOf(foil, options);
  // Round the outline: the upper surface from the leading edge, the
  // trailing edge's line where it is open, the lower surface back.
  const cad::Curve upper = Surface(o.upper), lower = Reversed(Surface(o.lower));
  cad::Request request;
  request.format = cad::Format::Step;
  request.unit = CadUnit(options.units);
  request.name = StepString(foil.id_line);
  request.outline.push_back(upper);
  if (!Meet(upper, lower)) request.outline.push_back(Joining(upper, lower));
  request.outline.push_back(lower);
  if (!Meet(lower, upper)) request.outline.push_back(Joining(lower, upper));
  return RunCad(request, "the section").bytes;
}

}  // namespace tarvelo
