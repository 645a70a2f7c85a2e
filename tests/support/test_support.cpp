#include "support/test_support.h"

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

}  // namespace tarvelo::test
