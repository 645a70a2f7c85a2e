#include "support/test_support.h"

#include <cstdlib>
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

}  // namespace tarvelo::test
