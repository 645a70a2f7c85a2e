// The outline the benchmarks import: NACA 4412 at `points` cosine-spaced
// points as a Selig file in $TMPDIR (default /tmp), the thickness laid off
// vertically, written line by line so that making it costs no memory.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <stdexcept>
#include <string>

namespace tarvelo::bench {

// The file's path; `tag` keeps each benchmark's files apart.
inline std::string Naca4412OutlineFile(long points, const std::string& tag) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp != nullptr ? tmp : "/tmp") + "/tarvelo-" + tag + "-bench-" +
                           std::to_string(points) + ".dat";
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (f == nullptr) throw std::runtime_error("cannot write " + path);
  std::fprintf(f, "NACA 4412 at %ld points\n", points);
  const long n = points / 2 + 1;  // the leading edge is shared
  const auto write = [&](long i, double sign) {
    const double x = (1 - std::cos(std::numbers::pi * static_cast<double>(i) / static_cast<double>(n - 1))) / 2;
    const double half = 0.6 * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                               0.1015 * x * x * x * x);
    const double mean = x < 0.4 ? 0.04 / 0.16 * (0.8 * x - x * x) : 0.04 / 0.36 * (0.2 + 0.8 * x - x * x);
    std::fprintf(f, "%.15f %.15f\n", x, mean + sign * half);
  };
  for (long i = n - 1; i >= 0; --i) write(i, 1);
  for (long i = 1; i < n; ++i) write(i, -1);
  if (std::fclose(f) != 0) throw std::runtime_error("cannot write " + path);
  return path;
}

}  // namespace tarvelo::bench
