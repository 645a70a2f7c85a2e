// The blade's solids through the CAD module: the fitted surfaces sewn into
// one closed solid, copied round the shaft once per blade, checked and
// written as STEP, IGES or STL.
#include <algorithm>

#include "lib/blade.h"
#include "lib/cad_module.h"

namespace tarvelo {

namespace {

// Sewing joins boundaries this close, a small share of the tolerance and
// never below Open CASCADE's own resolution of lengths: the faces' common
// boundaries are one curve, equal to rounding.
constexpr double kSewingShare = 1e-3;
constexpr double kCadResolution = 1e-7;

std::string Solids(const Blade& blade, cad::Format format, std::vector<SolidCheck>* solids) {
  cad::Request request;
  request.format = format;
  request.unit = CadUnit(blade.units);
  request.copies = blade.blades;
  request.tolerance = std::max(kCadResolution, kSewingShare * blade.tolerance);
  request.stl_deflection = blade.stl_tolerance;
  request.name = blade.foil.id_line;
  for (const BladeSurface& s : blade.surfaces) {
    cad::Surface face{s.degree_u, s.degree_v, s.knots_u, s.knots_v, s.count_u, s.count_v, {}};
    for (const std::array<double, 3>& p : s.poles) face.poles.insert(face.poles.end(), p.begin(), p.end());
    request.faces.push_back(std::move(face));
  }
  const cad::Result result = RunCad(request, "the blade");
  std::vector<SolidCheck> checks;
  for (std::size_t k = 0; k < result.solids.size(); ++k) {
    const cad::Solid& s = result.solids[k];
    if (!s.valid || !s.closed)
      throw Error(ErrorKind::BadData, "the blade",
                  "Open CASCADE finds solid " + std::to_string(k + 1) + (s.valid ? " not closed" : " not valid"));
    checks.push_back({s.valid, s.closed, s.volume, s.area});
  }
  if (solids) *solids = checks;
  return result.bytes;
}

}  // namespace

std::string WriteBladeStep(const Blade& blade, std::vector<SolidCheck>* solids) {
  return Solids(blade, cad::Format::Step, solids);
}
std::string WriteBladeIges(const Blade& blade, std::vector<SolidCheck>* solids) {
  return Solids(blade, cad::Format::Iges, solids);
}
std::string WriteBladeStl(const Blade& blade, std::vector<SolidCheck>* solids) {
  return Solids(blade, cad::Format::Stl, solids);
}

}  // namespace tarvelo
