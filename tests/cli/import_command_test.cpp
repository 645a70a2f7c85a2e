// tarvelo-import end to end on the bundled coordinate file.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/import_command.h"
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

TEST_F(ImportCommandTest, WritesTheSectionDataToStandardOutputOrToOut) {
  EXPECT_EQ(Run({coords}), 0);
  EXPECT_EQ(err.str(), "");
  const std::string text = out.str();
  EXPECT_EQ(text.rfind("NACA 4412\r\n41\r\n"
                       "   0.000000,    0.000000,    0.000000,    0.000000\r\n"
                       "   0.154133,    0.687567,    0.687567,    0.030224\r\n", 0), 0u);
  EXPECT_EQ(text.size(), 15 + 41 * 52u);
  EXPECT_EQ(text.substr(text.size() - 52), " 100.000000,    0.126000,    0.126000,    0.000000\r\n");

  const std::string file = dir.file("naca4412-section.dat");
  EXPECT_EQ(Run({"-o", file, coords}), 0);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(ReadBytes(file), text);

  for (const auto& [option, count] : {std::pair{"--stations=5", "5"}, {"--at-file-stations", "61"}}) {
    EXPECT_EQ(Run({option, coords}), 0);
    EXPECT_EQ(out.str().rfind("NACA 4412\r\n" + std::string(count) + "\r\n", 0), 0u) << option;
  }
}

TEST_F(ImportCommandTest, ARefusedFileLeavesAnEarlierOutputAsItWas) {
  const std::string file = dir.file("out.dat"), bad = dir.file("bad.dat");
  test::WriteBytes(file, "earlier");
  test::WriteBytes(bad, "name\n1 0\n0.5 zero\n");
  const struct {
    std::vector<std::string> args;
    std::string message;
  } rows[] = {
      {{"-o", file, bad}, "  " + bad + " - Invalid number in line 3 !! "},
      {{"-o", file, "--stations", "402", coords}, "   5 to 401 stations are allowed !! "},
      {{"-o", dir.file("no-dir/out.dat"), coords},
       "  " + dir.file("no-dir/out.dat") + " - Output file could not be written !! "},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Run(r.args), 1) << r.message;
    EXPECT_EQ(err.str(), r.message + "\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(ReadBytes(file), "earlier");
  }
  // Nothing else is left behind: no temporary file, no file in place of the missing one.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
  // The coordinates themselves are never the output.
  const std::string copy = dir.file("coords.dat");
  std::filesystem::copy_file(coords, copy);
  EXPECT_EQ(Run({"-o", copy, copy}), 2);
  EXPECT_EQ(err.str(), "  " + copy + " - Output file is the input file !! \n");
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
  EXPECT_EQ(err.str(), "  " + dir.file("^[[8m.dat") + " - Input file not found !! \n");
  EXPECT_EQ(Run({crafted, "\x7f"}, true), 2);
  EXPECT_EQ(err.str(), "tarvelo-import: one COORDS at a time: extra operand '^?'\n"
                       "Try 'tarvelo-import --help' for more information.\n");
}

TEST_F(ImportCommandTest, UsageErrorsExitWithTwo) {
  const struct {
    std::vector<std::string> args;
    std::string text;
  } rows[] = {
      {{}, "missing COORDS"},
      {{coords, coords}, "one COORDS at a time: extra operand '" + coords + "'"},
      {{"--stations", "4x", coords}, "the number of stations takes digits only: '4x'"},
      {{"--stations"}, "option '--stations' requires an argument"},
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
