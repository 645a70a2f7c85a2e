// libFuzzer target for the input file reader: any bytes as a data file must
// give either a data set whose sizes agree with nd, or a message (or the two
// too few points) with the data of the last good read untouched.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fit/foil_files.h"
#include "foilio/reader_check.h"

namespace {

using tarvelo::State;

std::string FilePath() {
  static const std::string path = "/tmp/tarvelo-fuzz-" + std::to_string(::getpid()) + ".dat";
  return path;
}

void Write(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// A state that holds a good read already, so that a failed read has
// something to leave alone.
const State& Base() {
  static const State base = [] {
    State s;
    const std::string good = "earlier\r\n5\r\n0,0,0,0\r\n10,1,1,1\r\n50,3,3,-1\r\n90,1,1,0\r\n100,0,0,0\r\n";
    Write(FilePath(), reinterpret_cast<const std::uint8_t*>(good.data()), good.size());
    s.InFile = FilePath();
    s.ncp = 4;
    if (tarvelo::Read_FoilData(s) != tarvelo::ReadOutcome::Read) std::abort();
    s.ErMsg = "untouched";
    return s;
  }();
  return base;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const State& base = Base();
  Write(FilePath(), data, size);
  State s = base;
  const tarvelo::ReadOutcome outcome = tarvelo::Read_FoilData(s);
  const std::string fault = tarvelo::test::CheckRead(base, s, outcome);
  if (!fault.empty()) {
    std::fprintf(stderr, "read check failed: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
