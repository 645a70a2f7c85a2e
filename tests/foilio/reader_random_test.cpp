// Mutated data files: whatever the bytes, the reader gives a data set whose
// sizes agree with nd, or a message with the earlier data untouched.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "foilio/foil_files.h"
#include "foilio/reader_check.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

constexpr int kInputs = 3000;
constexpr unsigned kSeed = 20240611;

// Bytes that matter to the reader, drawn more often than the others.
const std::string kPieces[] = {",", " ", "\t", "\r\n", "\r", "\n", "\"", ".", "-", "+", "e",
                               "E", "0", "5", "9", "1e308", "1e-400", "nan", "inf", ",,"};

std::string Mutate(std::string bytes, std::mt19937& rng) {
  auto pick = [&rng](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n == 0 ? 0 : n - 1)(rng);
  };
  const int edits = 1 + static_cast<int>(pick(4));
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = pick(bytes.size() + 1);
    switch (pick(6)) {
      case 0:  // insert a piece
        bytes.insert(at, kPieces[pick(std::size(kPieces))]);
        break;
      case 1:  // replace one byte by any byte
        if (at < bytes.size()) bytes[at] = static_cast<char>(pick(256));
        break;
      case 2:  // erase a run
        if (at < bytes.size()) bytes.erase(at, 1 + pick(8));
        break;
      case 3:  // cut the file short
        bytes.resize(at);
        break;
      case 4:  // repeat a run
        if (at < bytes.size()) bytes.insert(at, bytes.substr(at, 1 + pick(40)));
        break;
      default:  // a new count
        bytes.insert(at, std::to_string(static_cast<int>(pick(60)) - 5));
        break;
    }
  }
  return bytes;
}

TEST(ReaderRandomTest, MutatedFilesGiveDataOrAMessage) {
  std::vector<std::string> seeds;
  for (const char* name : {"naca0012.dat", "naca16-206-a08.dat", "naca2412.dat",
                           "naca4412-40pt.dat"}) {
    seeds.push_back(test::ReadBytes(test::ExamplePath(name)));
    ASSERT_FALSE(seeds.back().empty()) << name;
  }
  seeds.push_back("short\n5\n1 1 1 1 2 2 2 2 3 3 3 3 4 4 4 4 5 5 5 5\n");

  test::TempDir dir;
  State base;
  base.InFile = test::ExamplePath("naca2412.dat");
  base.ncp = 8;
  RecordingDisplay first;
  ASSERT_TRUE(Read_FoilData(base, first));
  base.InFile = dir.file("mutated.dat");
  base.ErMsg = "untouched";

  std::mt19937 rng(kSeed);
  int good = 0;
  int failed = 0;
  for (int n = 0; n < kInputs; ++n) {
    const std::string bytes = Mutate(seeds[n % seeds.size()], rng);
    test::WriteBytes(base.InFile, bytes);
    State s = base;
    s.ncp = 4 + static_cast<double>(n % 17);
    State before = s;
    RecordingDisplay d;
    const bool ok = Read_FoilData(s, d);
    const std::string fault = test::CheckRead(before, s, ok, test::Lines(d));
    ASSERT_EQ(fault, "") << "input " << n << ":\n" << bytes;
    (ok ? good : failed) += 1;
  }
  // Both outcomes must have been exercised for the loop to mean anything.
  EXPECT_GT(good, kInputs / 10);
  EXPECT_GT(failed, kInputs / 10);
}

}  // namespace
}  // namespace tarvelo
