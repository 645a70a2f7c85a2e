// Every value the programs take is checked against its limits before any
// file is read: a value just inside is taken, one just outside is a usage
// error said once, naming the option, and nothing is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/export_command.h"
#include "cli/fit_command.h"
#include "cli/import_command.h"
#include "cli/naca_command.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

namespace fs = std::filesystem;

enum class Program { Fit, Import, Export, Naca };

const char* NameOf(Program p) {
  switch (p) {
    case Program::Fit: return "tarvelo-fit";
    case Program::Import: return "tarvelo-import";
    case Program::Export: return "tarvelo-export";
    case Program::Naca: return "tarvelo-naca";
  }
  return "";
}

// What a row expects: taken (0), or refused (2) with this text.
struct Row {
  Program program;
  std::vector<std::string> args;
  int status;
  std::string text;
};

constexpr const char* kSmallestNormal = "2.2250738585072014e-308";
constexpr const char* kLargestSubnormal = "2.2250738585072009e-308";
const std::string kSubnormal = "' is below the smallest normal number, 2.2250738585072014e-308";

class LimitsTest : public ::testing::Test {
 protected:
  LimitsTest() {
    fs::copy_file(test::ExamplePath("naca0012.dat"), dir.path() / "a.dat");
    fs::copy_file(test::ExamplePath("naca0012.dat"), dir.path() / "b.dat");
    fs::copy_file(test::ExamplePath("coordinates/naca4412.dat"), dir.path() / "c.txt");
    fs::copy_file(test::ExamplePath("naca2412.FOI"), dir.path() / "f.FOI");
  }

  // The names of the files above, and o.FOI, stand for files in the test's directory.
  int Run(const Row& r) {
    out.str("");
    err.str("");
    std::vector<std::string> args = r.args;
    for (std::string& a : args)
      if (a == "a.dat" || a == "b.dat" || a == "c.txt" || a == "f.FOI" || a == "o.FOI") a = dir.file(a);
    switch (r.program) {
      case Program::Fit: return RunFitCommand(args, out, err);
      case Program::Import: return RunImportCommand(args, out, err);
      case Program::Export: return RunExportCommand(args, out, err);
      case Program::Naca: return RunNacaCommand(args, out, err);
    }
    return -1;
  }

  void Check(const std::vector<Row>& rows) {
    for (const Row& r : rows) {
      std::string line;
      for (const std::string& a : r.args) line += a + " ";
      const auto files = std::distance(fs::directory_iterator(dir.path()), {});
      EXPECT_EQ(Run(r), r.status) << line << err.str();
      if (r.status != 2) {
        EXPECT_EQ(err.str().find("Try '"), std::string::npos) << line << err.str();
        continue;
      }
      const std::string program = NameOf(r.program);
      EXPECT_EQ(err.str(), program + ": " + r.text + "\nTry '" + program + " --help' for more information.\n")
          << line;
      EXPECT_EQ(out.str(), "") << line;
      EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), files) << line << ": something was written";
    }
  }

  test::TempDir dir;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(LimitsTest, CountsOfControlPointsAndStations) {
  const Program F = Program::Fit;
  const std::string n = "-n takes 4 to 80 control points: '";
  const std::string most = "--max-control-points takes 4 to 80 control points: '";
  const std::string stations = "--stations takes 5 to 401 stations: '";
  Check({
      {F, {"-n", "3", "a.dat", "b.dat"}, 2, n + "3'"},
      {F, {"-n", "4", "-o", "o.FOI", "a.dat"}, 0, ""},
      // Placed exactly: the window's search leaves nose points off their
      // places, and the most control points then swing the nose inside out.
      {F, {"--coordinates", "--stations=161", "--placement=exact", "-n", "80", "-o", "o.FOI", "c.txt"}, 0, ""},
      {F, {"-n", "81", "a.dat", "b.dat"}, 2, n + "81'"},
      {F, {"--auto", "--max-control-points", "3", "a.dat"}, 2, most + "3'"},
      {F, {"--auto", "--max-control-points", "4", "-o", "o.FOI", "a.dat"}, 0, ""},
      {F, {"--auto", "--max-control-points", "80", "-o", "o.FOI", "a.dat"}, 0, ""},
      {F, {"--auto", "--max-control-points", "81", "a.dat"}, 2, most + "81'"},
      {F, {"--coordinates", "--stations", "4", "c.txt"}, 2, stations + "4'"},
      {F, {"--coordinates", "--stations", "5", "-n", "4", "-o", "o.FOI", "c.txt"}, 0, ""},
      {F, {"--coordinates", "--stations", "401", "-o", "o.FOI", "c.txt"}, 0, ""},
      {F, {"--coordinates", "--stations", "402", "c.txt"}, 2, stations + "402'"},
      {Program::Import, {"--stations", "4", "c.txt"}, 2, stations + "4'"},
      {Program::Import, {"--stations", "5", "c.txt"}, 0, ""},
      {Program::Import, {"--stations", "401", "c.txt"}, 0, ""},
      {Program::Import, {"--stations", "402", "c.txt"}, 2, stations + "402'"},
      {Program::Naca, {"--stations", "5", "2412"}, 0, ""},
      {Program::Naca, {"--stations", "401", "2412"}, 0, ""},
      {F, {"--foil-number", "100", "a.dat"}, 2, "--foil-number: numbers between 101 and 255 are allowed: '100'"},
      {F, {"--foil-number", "101", "a.dat"}, 0, ""},
      {F, {"--foil-number", "255", "a.dat"}, 0, ""},
      {F, {"--foil-number", "256", "a.dat"}, 2, "--foil-number: numbers between 101 and 255 are allowed: '256'"},
  });
}

TEST_F(LimitsTest, LengthsAndTolerancesArePositiveNormalNumbers) {
  const Program F = Program::Fit, E = Program::Export;
  const std::string chord = "--chord takes a length above 0 and at most 1e6: '";
  const std::string te = "--te-thickness takes a fraction of the chord from 0 to 1: '";
  const std::vector<std::string> dxf = {"--export", "dxf", "-o", "o.FOI", "a.dat", "--chord"};
  const auto fitChord = [&](const std::string& c) {
    std::vector<std::string> args = dxf;
    args.push_back(c);
    return args;
  };
  Check({
      {F, fitChord("0"), 2, chord + "0'"},
      {F, fitChord("-1"), 2, chord + "-1'"},
      {F, fitChord("1e-320"), 2, chord + "1e-320" + kSubnormal},
      {F, fitChord(kLargestSubnormal), 2, chord + kLargestSubnormal + kSubnormal},
      {F, fitChord(kSmallestNormal), 0, ""},
      {F, fitChord("1e6"), 0, ""},
      {F, fitChord("1000000.0000000002"), 2, chord + "1000000.0000000002'"},
      {F, {"--auto=0", "a.dat"}, 2, "--auto takes a tolerance above 0: '0'"},
      {F, {"--auto=-1", "a.dat"}, 2, "--auto takes a tolerance above 0: '-1'"},
      {F, {"--auto-max=nan", "a.dat"}, 2, "--auto-max takes a tolerance above 0: 'nan'"},
      {F, {"--auto-max=inf", "a.dat"}, 2, "--auto-max takes a tolerance above 0: 'inf'"},
      {F, {"--coordinates", "--auto-outline=1e-320", "c.txt"}, 2,
       "--auto-outline takes a tolerance above 0: '1e-320" + kSubnormal},
      {F, {std::string("--auto=") + kLargestSubnormal, "a.dat"}, 2,
       "--auto takes a tolerance above 0: '" + std::string(kLargestSubnormal) + kSubnormal},
      {F, {std::string("--auto=") + kSmallestNormal, "-o", "o.FOI", "a.dat"}, 0, ""},
      {F, {"--export", "dxf", "--te-thickness", "1e-320", "a.dat"}, 2, te + "1e-320" + kSubnormal},
      {F, {"--export", "dxf", "--te-thickness", "0", "-o", "o.FOI", "a.dat"}, 0, ""},
      {F, {"--export", "dxf", "--te-thickness", "1.0000000000000002", "a.dat"}, 2, te + "1.0000000000000002'"},
      {E, {"--format=dxf", "--thickness", "1e-320", "--camber", "0", "f.FOI"}, 2,
       "--thickness takes a fraction of the chord above 0 and at most 1: '1e-320" + kSubnormal},
      {E, {"--format=dxf", "--thickness", kSmallestNormal, "--camber", "0", "f.FOI"}, 0, ""},
      {E, {"--format=dxf", "--thickness", "1", "--camber", "0", "f.FOI"}, 0, ""},
      {E, {"--format=dxf", "--thickness", "1.0000000000000002", "--camber", "0", "f.FOI"}, 2,
       "--thickness takes a fraction of the chord above 0 and at most 1: '1.0000000000000002'"},
      {E, {"--format=dxf", "--thickness", "0.1", "--camber", "-1e-320", "f.FOI"}, 2,
       "--camber takes a fraction of the chord from -1 to 1: '-1e-320" + kSubnormal},
      {E, {"--format=dxf", "--thickness", "0.1", "--camber", "-1", "f.FOI"}, 0, ""},
      {E, {"--format=dxf", "--thickness", "0.1", "--camber", "-1.0000000000000002", "f.FOI"}, 2,
       "--camber takes a fraction of the chord from -1 to 1: '-1.0000000000000002'"},
      {E, {"--format=dxf", "--thickness", "0.1", "--camber", "0", "--chord", "0", "f.FOI"}, 2, chord + "0'"},
      {E, {"--format=dxf", "--thickness", "0.1", "--camber", "0", "--chord", "1e-320", "f.FOI"}, 2,
       chord + "1e-320" + kSubnormal},
      {E, {"--format=dxf", "--thickness", "0.1", "--camber", "0", "--te-thickness", "1e-320", "f.FOI"}, 2,
       te + "1e-320" + kSubnormal},
  });
}

// Names the run cannot write to.
TEST_F(LimitsTest, OutputNamesThatNameNoFile) {
  const std::string noName = "--output-dir names each output after its input: standard input ('-') has no name";
  const std::string empty = "--output-dir takes the name of a directory, not ''";
  Check({
      {Program::Fit, {"--output-dir", "", "a.dat"}, 2, empty},
      {Program::Import, {"--output-dir=", "c.txt"}, 2, empty},
      {Program::Export, {"--output-dir", "", "f.FOI"}, 2, empty},
      {Program::Fit, {"--output-dir", "out", "-"}, 2, "standard input ('-') needs -o OUT"},
      {Program::Import, {"--output-dir", "out", "-"}, 2, noName},
      {Program::Export, {"--output-dir", "out", "-"}, 2, noName},
      {Program::Fit, {"--summary", "-", "a.dat"}, 2, "--summary writes a file, not standard output ('-')"},
  });
}

}  // namespace
}  // namespace tarvelo
