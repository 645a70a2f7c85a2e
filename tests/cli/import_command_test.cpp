// tarvelo-import end to end: the bundled coordinate file to the last digit,
// what it says of a moved outline and a repaired one, and its refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/import_command.h"
#include "import/outlines.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::ReadBytes;

class ImportCommandTest : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& args, bool terminal = false) {
    out.str("");
    err.str("");
    return RunImportCommand(args, out, err, terminal);
  }

  const std::string coords = test::ExamplePath("coordinates/naca4412.dat");
  test::TempDir dir;
  std::ostringstream out;
  std::ostringstream err;
};

// Every digit of all 41 lines: the stations and the leading edge are found
// to the last bits, and a root found to single precision alone moves them.
TEST_F(ImportCommandTest, WritesTheSectionDataToStandardOutputOrToOut) {
  EXPECT_EQ(Run({coords}), 0);
  EXPECT_EQ(err.str(), "");
  const std::string text = out.str();
  EXPECT_EQ(text, ReadBytes(test::ExamplePath("../tests/import/data/naca4412-section.dat")));

  const std::string file = dir.file("naca4412-section.dat");
  EXPECT_EQ(Run({"-o", file, coords}), 0);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(ReadBytes(file), text);

  for (const auto& [option, count] : {std::pair{"--stations=5", "5"}, {"--at-file-stations", "61"}}) {
    EXPECT_EQ(Run({option, coords}), 0);
    EXPECT_EQ(out.str().rfind("NACA 4412\r\n" + std::string(count) + "\r\n", 0), 0u) << option;
  }
}

// The transform of a normalised frame and every repair, on standard error.
TEST_F(ImportCommandTest, SaysHowItPlacedAndRepairedTheOutline) {
  const test::Naca n4412{0.04, 0.4, 0.12};
  test::Surfaces s = test::NacaSurfaces(n4412, 61);
  while (s.lower.back().x > 0.95) s.lower.pop_back();
  const std::string file = dir.file("flap.dat");
  test::WriteBytes(file, test::SeligText("flap", test::Placed(test::Selig(s), 0.35, 20, 0.65, 0)));
  EXPECT_EQ(Run({"--stations", "5", file}), 0);
  EXPECT_EQ(err.str(),
            "tarvelo-import: " + file +
                ": frame normalised: scale 2.85714, angle 20.0729 deg, shift 0.650001 -3.97979e-06\n"
                "tarvelo-import: " + file +
                ": warning: The lower surface ends 5.4500 % of the chord short of the upper one: "
                "continued by a straight line\n");
  EXPECT_EQ(out.str(),
            "flap [scaled 2.8571, turned 20.07 deg]\r\n5\r\n"
            "   0.000000,    0.000000,    0.000000,    0.000000\r\n"
            "  14.644661,    5.307148,    5.307148,    2.374252\r\n"
            "  50.000000,    5.294482,    5.294482,    3.827027\r\n"
            "  85.355339,    2.011226,    2.011226,    1.607463\r\n"
            " 100.000000,    0.000000,    0.000000,    0.000000\r\n");
}

TEST_F(ImportCommandTest, ARefusedFileLeavesAnEarlierOutputAsItWas) {
  const std::string file = dir.file("out.dat"), bad = dir.file("bad.dat");
  test::WriteBytes(file, "earlier");
  test::WriteBytes(bad, "name\n1 0\n0.5 zero\n");
  const struct {
    std::vector<std::string> args;
    std::string message;
  } rows[] = {
      {{"-o", file, bad}, bad + ": invalid number in line 3"},
      // A read error is not the end of the file.
      {{"-o", file, "/proc/self/mem"}, "/proc/self/mem: input file could not be read"},
      {{"-o", dir.file("no-dir/out.dat"), coords}, dir.file("no-dir/out.dat") + ": output file could not be written: no such folder"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Run(r.args), 1) << r.message;
    EXPECT_EQ(err.str(), "tarvelo-import: " + r.message + "\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(ReadBytes(file), "earlier");
  }
  // Nothing else is left behind: no temporary file, no file in place of the missing one.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
  // The coordinates themselves are never the output.
  const std::string copy = dir.file("coords.dat");
  std::filesystem::copy_file(coords, copy);
  EXPECT_EQ(Run({"-o", copy, copy}), 2);
  EXPECT_EQ(err.str(), "tarvelo-import: " + copy + ": output file is the input file\n");
  EXPECT_EQ(ReadBytes(copy), ReadBytes(coords));
}

// On a terminal a crafted name line or file name cannot drive it; the data
// keep their line ends.
TEST_F(ImportCommandTest, ControlCharactersReachATerminalAsCaretNotation) {
  const std::string crafted = dir.file("crafted.dat");
  std::string bytes = ReadBytes(coords);
  bytes.replace(0, bytes.find('\n'), "NACA \x1b]0;owned\x07\t4412\r");
  test::WriteBytes(crafted, bytes);
  EXPECT_EQ(Run({crafted}, true), 0);
  const std::string shown = out.str();
  EXPECT_EQ(Run({crafted}), 0);
  const std::string data = out.str();
  EXPECT_EQ(data.rfind("NACA \x1b]0;owned\x07\t4412\r\n41\r\n", 0), 0u);
  EXPECT_EQ(shown, "NACA ^[]0;owned^G\t4412" + data.substr(data.find('\r')));

  EXPECT_EQ(Run({dir.file("\x1b[8m.dat")}, true), 1);
  EXPECT_EQ(err.str(), "tarvelo-import: " + dir.file("^[[8m.dat") + ": input file not found\n");
  EXPECT_EQ(Run({crafted, "\x7f"}, true), 2);
  EXPECT_EQ(err.str(), "tarvelo-import: one COORDS without --output-dir: extra operand '^?'\n"
                       "Try 'tarvelo-import --help' for more information.\n");
}

TEST_F(ImportCommandTest, UsageErrorsExitWithTwo) {
  const struct {
    std::vector<std::string> args;
    std::string text;
  } rows[] = {
      {{}, "missing COORDS"},
      {{coords, coords}, "one COORDS without --output-dir: extra operand '" + coords + "'"},
      {{"-o", "a.dat", "--output-dir", "d", coords}, "-o and --output-dir exclude each other"},
      {{"--output-dir", "d", coords, "-"}, "standard input ('-') is one COORDS alone"},
      {{"--stations", "4x", coords}, "the number of stations takes digits only: '4x'"},
      {{"--stations"}, "option '--stations' requires an argument"},
      {{"-o", "a.dat", "--stations", "402", coords}, "--stations takes 5 to 401 stations: '402'"},
      {{"--stations", "41", "--at-file-stations", coords},
       "--stations and --at-file-stations exclude each other"},
      {{"--station=41", coords}, "unrecognized option '--station=41'"},
      {{"--at-file-stations=no", coords}, "option '--at-file-stations' doesn't allow an argument"},
      {{"--help=all"}, "option '--help' doesn't allow an argument"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Run(r.args), 2) << r.text;
    EXPECT_EQ(err.str(), "tarvelo-import: " + r.text +
                             "\nTry 'tarvelo-import --help' for more information.\n");
  }
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_EQ(out.str().rfind("Usage: tarvelo-import [--stations N | --at-file-stations] [-o OUT] COORDS\n", 0), 0u);
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_EQ(out.str(), "tarvelo-import (TARVELO) 2.01\n");
}

}  // namespace
}  // namespace tarvelo
