// libFuzzer target for the import of coordinate files: any bytes as a file
// must give either a section whose every value is finite, whose stations lie
// within the chord and whose outline points are finite, or a tarvelo::Error.
// Also built with a plain driver that replays its seed corpus in the tests.
#include <tarvelo/tarvelo.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const std::string& FilePath() {
  static const std::string path = "/tmp/tarvelo-import-fuzz-" + std::to_string(::getpid()) + ".dat";
  return path;
}

void Fault(const char* what) {
  std::fprintf(stderr, "import check failed: %s\n", what);
  std::abort();
}

void Check(const tarvelo::ImportedSection& imported, std::size_t stations) {
  const tarvelo::Section& s = imported.section;
  if (s.thickness.size() != s.points() || s.camber.size() != s.points()) Fault("sizes differ");
  if (stations != 0 && s.points() != stations) Fault("not the stations asked for");
  for (std::size_t i = 0; i < s.points(); ++i) {
    if (!std::isfinite(s.thickness[i]) || !std::isfinite(s.camber[i])) Fault("a value is not finite");
    if (!(s.x[i] >= 0 && s.x[i] <= 1)) Fault("a station outside the chord");
    if (i > 0 && !(s.x[i] > s.x[i - 1])) Fault("stations not increasing");
  }
  const tarvelo::ImportTransform& t = imported.transform;
  if (!std::isfinite(t.scale) || !std::isfinite(t.angle_deg) || !std::isfinite(t.shift.x) ||
      !std::isfinite(t.shift.y))
    Fault("the transform is not finite");
  for (const auto* surface : {&imported.upper, &imported.lower})
    for (const tarvelo::CoordinatePoint& p : *surface)
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) Fault("an outline point is not finite");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(FilePath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  for (const tarvelo::ImportOptions options : {tarvelo::ImportOptions{}, tarvelo::ImportOptions{5, true}}) {
    try {
      Check(tarvelo::ImportOutline(FilePath(), options), options.at_file_stations ? 0 : 41);
    } catch (const tarvelo::Error&) {
      // A refusal, with its message.
    }
  }
  return 0;
}
