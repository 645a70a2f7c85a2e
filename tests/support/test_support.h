// Shared helpers of the test suites.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "screens/recording_display.h"

namespace tarvelo::test {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Whole file as bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Path of a bundled example file.
std::string ExamplePath(const std::string& name);

// NACA 0012 as a Selig coordinate file: 161 cosine-spaced points per
// surface from the published thickness formula, eight decimals.
std::string Naca0012Outline();

// A cubic B-spline on clamped uniform knots at t by de Boor's algorithm
// (repeated linear interpolation of the control points), sharing nothing
// with the library's evaluation.
double DeBoor(const std::vector<double>& c, double t);

// What a call of the library refused, "kind: message", or "done".
std::string Refusal(const std::function<void()>& call);

// The page's text lines, one string each.
std::vector<std::string> Lines(const RecordingDisplay& d);

}  // namespace tarvelo::test
