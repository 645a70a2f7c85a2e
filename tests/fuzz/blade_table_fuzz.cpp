// libFuzzer target for the radial table reader: any bytes as a table must give
// a table that CheckBladeTable accepts, whose every number is finite and whose
// radii increase, or a tarvelo::Error naming the table. Also built with a plain
// driver that replays its seed corpus in the tests.
#include <tarvelo/tarvelo.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Fault(const char* what) {
  std::fprintf(stderr, "blade table check failed: %s\n", what);
  std::abort();
}

void Check(const tarvelo::BladeTable& table) {
  if (table.rows.size() < 2) Fault("fewer than two rows");
  if (!(table.diameter >= 0) || !std::isfinite(table.diameter)) Fault("a diameter that is not a length");
  if (table.blades < 0) Fault("a negative blade count");
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    const tarvelo::BladeRow& r = table.rows[i];
    for (double v : {r.r, r.chord, r.pitch, r.thickness, r.camber, r.skew_deg, r.rake})
      if (!std::isfinite(v)) Fault("a number that is not finite");
    if (i > 0 && !(r.r > table.rows[i - 1].r)) Fault("radii not increasing");
  }
  // What the reader accepts, the check of a table in memory accepts too.
  try {
    tarvelo::CheckBladeTable(table, "fuzzed");
  } catch (const tarvelo::Error&) {
    Fault("a table read is refused by the check");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    Check(tarvelo::ReadBladeTableText(bytes, "fuzzed.txt"));
  } catch (const tarvelo::Error& e) {
    if (std::string_view(e.what()).substr(0, 11) != "fuzzed.txt:") Fault("a refusal that does not name the table");
  }
  return 0;
}
