// tarvelo-naca end to end: the file it writes, where, and what it answers to
// a command line it does not take.
#include <gtest/gtest.h>

#include <sstream>

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
      {{"--mean-line=a=0.8", "2412"}, "an a-series mean line is for 16-series sections only"},
      {{"--closed-te", "16-206"}, "a closed trailing edge is for four- and five-digit sections only"},
      {{"--closed-te=yes", "2412"}, "option '--closed-te' doesn't allow an argument"},
      {{"23112"}, "NACA 23112: the five-digit mean lines are 210 to 250 (design lift coefficient 0.3, not reflexed)"},
      {{"naca2412"},
       "'naca2412' is not a NACA designation made here: four digits (2412), five (23012) or a 16-series "
       "section (16-206)"},
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
