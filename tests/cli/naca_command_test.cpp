// tarvelo-naca end to end: the file it writes, where, and what it answers to
// a command line it does not take.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include <tarvelo/tarvelo.h>

#include "cli/naca_command.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::ReadBytes;

class NacaCommandTest : public ::testing::Test {
 protected:
  int Run(const std::vector<std::string>& args) {
    out.str("");
    err.str("");
    return RunNacaCommand(args, out, err);
  }

  test::TempDir dir;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(NacaCommandTest, WritesTheSectionDataToStandardOutputOrToOut) {
  // The closed trailing edge at five stations, six decimals in columns of 11.
  const std::string closed =
      "NACA 0012, symmetric section, closed trailing edge, 5 cosine-spaced stations\r\n"
      "5\r\n"
      "   0.000000,    0.000000,    0.000000,    0.000000\r\n"
      "  14.644661,    5.308265,    5.308265,    0.000000\r\n"
      "  50.000000,    5.286150,    5.286150,    0.000000\r\n"
      "  85.355339,    1.943848,    1.943848,    0.000000\r\n"
      " 100.000000,    0.000000,    0.000000,    0.000000\r\n";
  EXPECT_EQ(Run({"--closed-te", "--stations=5", "0012"}), 0);
  EXPECT_EQ(out.str(), closed);
  EXPECT_EQ(err.str(), "");
  const std::string file = dir.file("n.dat");
  EXPECT_EQ(Run({"0012", "-o", file, "--closed-te", "--stations", "5"}), 0);
  EXPECT_EQ(out.str() + err.str(), "");
  EXPECT_EQ(ReadBytes(file), closed);

  // Four decimals in columns of 8, as the bundled examples (which CTest
  // compares whole), and the default 41 stations.
  EXPECT_EQ(Run({"--decimals", "4", "--table-stations", "23012"}), 0);
  const std::string head =
      "NACA 23012, standard thickness and camber, 26 stations\r\n26\r\n"
      "  0.0000,   0.0000,   0.0000,   0.0000\r\n  0.5000,   1.2213,   1.2213,   0.1485\r\n";
  EXPECT_EQ(out.str().substr(0, head.size()), head);
  EXPECT_EQ(Run({"16-206"}), 0);
  EXPECT_EQ(out.str().rfind("NACA 16-206 thickness, a=1.0 mean line, cli=0.2, 41 cosine-spaced stations\r\n41\r\n", 0), 0u);

  // An OUT that cannot be written: status 1, the library's message, an
  // earlier file kept.
  EXPECT_EQ(Run({"-o", dir.file("no/such.dat"), "2412"}), 1);
  EXPECT_EQ(err.str(), "tarvelo-naca: " + dir.file("no/such.dat") + ": output file could not be written: no such folder\n");
  EXPECT_EQ(Run({"-o", "-", "--closed-te", "--stations=5", "0012"}), 0);
  EXPECT_EQ(out.str(), closed);
  EXPECT_EQ(Run({"-o", file, "2x12"}), 2);
  EXPECT_EQ(ReadBytes(file), closed);
}

// The published sections: the modified 66 at its table's stations, and an
// outline as published, the thickness across the mean line.
TEST_F(NacaCommandTest, WritesThePublishedTablesAndTheOutlineAsPublished) {
  EXPECT_EQ(Run({"--table-stations", "--decimals", "4", "66mod-010"}), 0);
  EXPECT_EQ(out.str(),
            "NACA 66mod-010, 66 (mod) thickness 10 %, symmetric section, 18 stations\r\n18\r\n"
            "  0.0000,   0.0000,   0.0000,   0.0000\r\n  1.2500,   1.0440,   1.0440,   0.0000\r\n"
            "  2.5000,   1.4660,   1.4660,   0.0000\r\n  5.0000,   2.0660,   2.0660,   0.0000\r\n"
            "  7.5000,   2.5250,   2.5250,   0.0000\r\n 10.0000,   2.9070,   2.9070,   0.0000\r\n"
            " 15.0000,   3.5210,   3.5210,   0.0000\r\n 20.0000,   4.0000,   4.0000,   0.0000\r\n"
            " 30.0000,   4.6370,   4.6370,   0.0000\r\n 40.0000,   4.9520,   4.9520,   0.0000\r\n"
            " 45.0000,   5.0000,   5.0000,   0.0000\r\n 50.0000,   4.9620,   4.9620,   0.0000\r\n"
            " 60.0000,   4.6530,   4.6530,   0.0000\r\n 70.0000,   4.0350,   4.0350,   0.0000\r\n"
            " 80.0000,   3.1100,   3.1100,   0.0000\r\n 90.0000,   1.8770,   1.8770,   0.0000\r\n"
            " 95.0000,   1.1430,   1.1430,   0.0000\r\n100.0000,   0.3330,   0.3330,   0.0000\r\n");
  EXPECT_EQ(err.str(), "");

  // NACA 4412 at 9 stations: the leading edge once, the upper surface ahead
  // of it near the nose (checked against the construction itself by the
  // library's tests).
  const std::string selig =
      "NACA 4412, standard thickness and camber, 9 cosine-spaced stations, thickness across the mean line\n"
      "  1.0001665  0.0012489\n  0.9627424  0.0113415\n  0.8555698  0.0371492\n  0.6937630  0.0679667\n"
      "  0.5011762  0.0918161\n  0.3059209  0.0978516\n  0.1397703  0.0765894\n  0.0324366  0.0383249\n"
      "  0.0000000  0.0000000\n  0.0436839 -0.0238251\n  0.1531229 -0.0287340\n  0.3113957 -0.0220232\n"
      "  0.4988238 -0.0140383\n  0.6889205 -0.0068290\n  0.8515370 -0.0028627\n  0.9611371 -0.0015140\n"
      "  0.9998335 -0.0012489\n";
  const std::string file = dir.file("4412.dat");
  EXPECT_EQ(Run({"--format", "selig", "--stations", "9", "-o", file, "4412"}), 0);
  EXPECT_EQ(out.str() + err.str(), "");
  EXPECT_EQ(ReadBytes(file), selig);
  // Read back as an outline, as any Selig file is.
  const ImportedSection imported = ImportOutline(file);
  EXPECT_EQ(imported.section.id_line.rfind("NACA 4412, standard thickness and camber, 9 cosine-spaced", 0), 0u);
  // The table's stations of the propeller section; --format dat is the default.
  EXPECT_EQ(Run({"--format=selig", "--table-stations", "66mod-212"}), 0);
  const std::string mod = out.str();
  EXPECT_EQ(mod.substr(0, mod.find('\n')),
            "NACA 66mod-212, 66 (mod) thickness 12 %, a=0.8 (modified) mean line, cli=0.2, 18 stations, thickness "
            "across the mean line");
  EXPECT_EQ(std::count(mod.begin(), mod.end(), '\n'), 1 + 18 + 17);
  EXPECT_EQ(Run({"--format=dat", "2412"}), 0);
  EXPECT_EQ(out.str().rfind("NACA 2412, standard thickness and camber, 41 cosine-spaced stations\r\n41\r\n", 0), 0u);
}

TEST_F(NacaCommandTest, UsageErrorsAndRefusedDesignationsExitWithTwo) {
  const struct {
    std::vector<std::string> args;
    std::string text;
  } rows[] = {
      {{}, "missing DESIGNATION"},
      {{"2412", "0012"}, "one DESIGNATION at a time: extra operand '0012'"},
      {{"--frobnicate", "2412"}, "unrecognized option '--frobnicate'"},
      {{"2412", "-o"}, "option '-o' requires an argument"},
      {{"--stations", "4x", "2412"}, "the number of stations takes digits only: '4x'"},
      {{"--stations", "4", "2412"}, "--stations takes 5 to 401 stations: '4'"},
      {{"--stations", "402", "2412"}, "--stations takes 5 to 401 stations: '402'"},
      {{"--stations", "99999", "2412"}, "--stations takes 5 to 401 stations: '99999'"},
      {{"--stations", "41", "--table-stations", "2412"}, "--stations and --table-stations exclude each other"},
      {{"--decimals", "5", "2412"}, "--decimals takes 4 or 6: '5'"},
      {{"--mean-line", "0.8", "16-206"}, "--mean-line takes a=A, A from 0 to 1: '0.8'"},
      {{"--mean-line", "a=1.5", "16-206"}, "--mean-line takes a=A, A from 0 to 1: 'a=1.5'"},
      {{"--mean-line", "a=0.8x", "16-206"}, "--mean-line takes a=A, A from 0 to 1: 'a=0.8x'"},
      {{"--mean-line=a=0.8", "2412"}, "an a-series mean line is for 16-series and 66 (mod) sections only"},
      {{"--closed-te", "16-206"}, "a closed trailing edge is for four- and five-digit sections only"},
      {{"--closed-te=yes", "2412"}, "option '--closed-te' doesn't allow an argument"},
      {{"23112"}, "NACA 23112: the five-digit mean lines are 210 to 250 (design lift coefficient 0.3, not reflexed)"},
      {{"naca2412"},
       "'naca2412' is not a NACA designation made here: four digits (2412), five (23012), a 16-series "
       "section (16-206), a 6A-series one (65A010) or the modified 66 of propellers (66mod-212)"},
      {{"66-012"},
       "NACA 66-012: the 6-series thicknesses are not made here; the modified 66 thickness of propeller "
       "sections is 66mod-012"},
      {{"--format", "dxf", "2412"}, "--format takes dat or selig: 'dxf'"},
      {{"--format=selig", "--decimals", "6", "2412"},
       "--decimals is for the section data file: selig coordinates have 7 decimals"},
      {{"--closed-te", "66mod-212"}, "a closed trailing edge is for four- and five-digit sections only"},
      {{"--mean-line=a=0.8", "65A210"}, "the 6A-series has its own mean line, a=0.8 (modified)"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Run(r.args), 2) << r.text;
    EXPECT_EQ(err.str(), "tarvelo-naca: " + r.text + "\nTry 'tarvelo-naca --help' for more information.\n");
    EXPECT_EQ(out.str(), "") << r.text;
  }
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_EQ(out.str().rfind("Usage: tarvelo-naca [OPTION]... DESIGNATION\n", 0), 0u);
  EXPECT_EQ(Run({"--version", "2412"}), 0);
  EXPECT_EQ(out.str(), "tarvelo-naca (TARVELO) 2.01\n");
}

}  // namespace
}  // namespace tarvelo
