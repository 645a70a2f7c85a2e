#include "support/test_support.h"

#include <tarvelo/tarvelo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace tarvelo::test {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "tarvelo-test-XXXXXX").string();
  if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ExamplePath(const std::string& name) {
  return std::string(TARVELO_EXAMPLES_DIR) + "/" + name;
}

std::vector<std::string> Lines(const RecordingDisplay& d) { return d.page().texts(); }

double DeBoor(const std::vector<double>& c, double t) {
  const int n = static_cast<int>(c.size());
  std::vector<double> knots(4, 0.0);
  for (int i = 1; i <= n - 4; ++i) knots.push_back(static_cast<double>(i) / (n - 3));
  knots.insert(knots.end(), 4, 1.0);
  int k = 3;
  while (k < n - 1 && knots[static_cast<std::size_t>(k + 1)] <= t) ++k;
  double d[4];
  for (int j = 0; j <= 3; ++j) d[j] = c[static_cast<std::size_t>(j + k - 3)];
  for (int r = 1; r <= 3; ++r)
    for (int j = 3; j >= r; --j) {
      const double lo = knots[static_cast<std::size_t>(j + k - 3)];
      const double alpha = (t - lo) / (knots[static_cast<std::size_t>(j + 1 + k - r)] - lo);
      d[j] = (1 - alpha) * d[j - 1] + alpha * d[j];
    }
  return d[3];
}

std::string Naca0012Outline() {
  const auto half = [](double x) {
    return 0.6 * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                  0.1015 * x * x * x * x);
  };
  constexpr int kPoints = 161;
  std::string text = "NACA 0012\n";
  char line[64];
  for (int i = kPoints - 1; i >= -(kPoints - 1); --i) {
    const double x = (1 - std::cos(std::numbers::pi * std::abs(i) / (kPoints - 1))) / 2;
    std::snprintf(line, sizeof line, "%.8f %.8f\n", x, i >= 0 ? half(x) : -half(x));
    text += line;
  }
  return text;
}

std::string Refusal(const std::function<void()>& call) {
  try {
    call();
  } catch (const Error& e) {
    return std::string(ErrorKindName(e.kind())) + ": " + e.what();
  }
  return "done";
}

}  // namespace tarvelo::test
