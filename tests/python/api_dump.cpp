// What the C++ API gives for a section and a count, every double in hex, for
// the Python module's tests to compare with to the last bit.
//   api_dump [--coordinates] [--exact] SECTION.dat COUNT FOI X...
#include <tarvelo/tarvelo.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

template <class T>
void Line(const char* name, const std::vector<T>& values) {
  std::printf("%s", name);
  for (T v : values) std::printf(" %a", static_cast<double>(v));
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  const bool coordinates = argc > 1 && std::string(argv[1]) == "--coordinates";
  argc -= coordinates;
  argv += coordinates;
  const bool exact = argc > 1 && std::string(argv[1]) == "--exact";
  argc -= exact;
  argv += exact;
  if (argc < 4) return 2;
  const tarvelo::Section section =
      coordinates ? tarvelo::ImportCoordinates(argv[1]) : tarvelo::ReadSection(argv[1]);
  const tarvelo::Fit fit = tarvelo::FitSection(
      section, {std::atoi(argv[2]), exact ? "exact" : "window"});
  Line("knots", fit.knots);
  Line("control_x", fit.control_x);
  Line("x", fit.x);
  Line("misplacement", std::vector<double>{static_cast<double>(fit.misplaced_points), fit.largest_misplacement});
  for (const auto& [name, c] : {std::pair{"thickness", &fit.thickness}, {"camber", &fit.camber}}) {
    std::printf("%s", name);
    Line(".scalars", std::vector<double>{c->ymax, c->rms, c->max_deviation, c->max_deviation_x});
    std::printf("%s", name);
    Line(".control", c->control);
    std::printf("%s", name);
    Line(".fitted", c->fitted);
    std::printf("%s", name);
    Line(".difference", c->difference);
  }
  tarvelo::WriteFoilFile(argv[3], fit);
  const tarvelo::FoilSpline foil = tarvelo::ReadFoilFile(argv[3]);
  std::vector<double> at;
  for (int i = 4; i < argc; ++i) {
    const tarvelo::FoilSpline::Value v = foil.Evaluate(std::strtod(argv[i], nullptr));
    at.insert(at.end(), {v.thickness, v.camber});
  }
  Line("evaluate", at);
}
