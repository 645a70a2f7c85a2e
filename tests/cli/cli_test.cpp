// tarvelo-fit end to end on copies of the bundled sections.
#include <gtest/gtest.h>
#include <tarvelo/tarvelo.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/fit_command.h"
#include "foilio/number_format.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::ReadBytes;
namespace fs = std::filesystem;

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    for (const char* name : {"naca2412.dat", "naca0012.dat"})
      fs::copy_file(test::ExamplePath(name), dir.path() / name);
  }
  // Names ending in .dat, .FOI or .svg are files in the test's directory.
  int Run(std::vector<std::string> args, bool terminal = false) {
    out.str("");
    err.str("");
    for (std::string& a : args)
      for (const char* ext : {".dat", ".FOI", ".svg"})
        if (a.size() > 4 && a.ends_with(ext) && a[0] != '/') a = dir.file(a);
    return RunFitCommand(args, out, err, terminal);
  }
  std::vector<std::string> OutLines() const {
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
  }

  test::TempDir dir;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(CliTest, FitsEveryFileAndWritesTheFoilFileBesideIt) {
  EXPECT_EQ(Run({"naca2412.dat", "naca0012.dat"}), 0);
  EXPECT_EQ(err.str(), "");
  const auto lines = OutLines();
  ASSERT_EQ(lines.size(), 74u);  // two first pages
  EXPECT_EQ(lines[6], "File read     : " + dir.file("naca2412.dat"));
  EXPECT_EQ(lines[10], "File saved    : " + dir.file("naca2412.FOI"));
  EXPECT_EQ(lines[36], "   Click on <Next Screen> for fitting results for thickness ");
  EXPECT_EQ(lines[47], "File saved    : " + dir.file("naca0012.FOI"));
  EXPECT_EQ(ReadBytes(dir.file("naca2412.FOI")), ReadBytes(test::ExamplePath("naca2412.FOI")));
}

TEST_F(CliTest, ScreensComeInCycleOrderAndTheGraphicAsSvg) {
  EXPECT_EQ(Run({"--screens", "-n", "04", "--svg", "g.svg", "naca2412.dat"}), 0);
  const auto lines = OutLines();
  ASSERT_EQ(lines.size(), 4u * 37);
  EXPECT_EQ(lines[9], "Control points:  4 ");
  EXPECT_EQ(lines[37 + 1], " Fitting Result of Normalized Foil Thickness ");
  EXPECT_EQ(lines[74 + 1], " Fitting Result of Normalized Foil Camber ");
  EXPECT_EQ(lines[111 + 2], "  Control Point Positions for Thickness (yt), Camber (yc)");
  EXPECT_EQ(lines[147], "   Click on <Next Screen> to view the screens again ");
  const std::string svg = ReadBytes(dir.file("g.svg"));
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("Foil (blue) and camber (red)"), std::string::npos);

  // At the largest count too the graphic has its chord line and both curves,
  // the last of 101 points.
  EXPECT_EQ(Run({"-n", "20", "--svg", "g20.svg", "naca2412.dat"}), 0);
  const std::string svg20 = ReadBytes(dir.file("g20.svg"));
  std::size_t polylines = 0;
  for (std::size_t at = svg20.find("<polyline"); at != std::string::npos;
       at = svg20.find("<polyline", at + 1))
    ++polylines;
  EXPECT_EQ(polylines, 3u);
  const std::string last = svg20.substr(svg20.rfind("points=\""));
  EXPECT_EQ(std::count(last.begin(), last.begin() + static_cast<long>(last.find("\" ")), ' '), 100);
}

TEST_F(CliTest, FailedRunsReportOnStandardErrorAndTheOthersGoOn) {
  test::WriteBytes(dir.file("few.dat"), "few\r\n3\r\n0,0,0,0\r\n50,5,5,1\r\n100,0,0,0\r\n");
  fs::copy_file(dir.file("naca0012.dat"), dir.file("W.FOI"));
  EXPECT_EQ(Run({"missing.dat", "few.dat", "W.FOI", "naca0012.dat"}), 1);
  EXPECT_EQ(err.str(), "  " + dir.file("missing.dat") + " - Input file not found !! \n"
                       "*** Insufficient data. For 8  control points,\n"
                       "  you need at least 9  data points. ****\n"
                       "  " + dir.file("W.FOI") + " - Output file is the input file !! \n");
  EXPECT_EQ(OutLines().size(), 37u);
  EXPECT_EQ(ReadBytes(dir.file("W.FOI")), ReadBytes(dir.file("naca0012.dat")));
  EXPECT_FALSE(ReadBytes(dir.file("naca0012.FOI")).empty());

  EXPECT_EQ(Run({"-n", "21", "naca0012.dat"}), 1);
  EXPECT_EQ(err.str(), "   4 to 20 control points are allowed !! \n");
  EXPECT_EQ(Run({"-o", dir.file("nodir/x.FOI"), "naca0012.dat"}), 1);
  EXPECT_EQ(err.str(), "  " + dir.file("nodir/x.FOI") + " - Output file could not be written !! \n");
}

TEST_F(CliTest, FoilNumberNamesTheOutputOrGivesTheFieldsMessage) {
  for (const char* number : {"101", " 255 "}) {
    EXPECT_EQ(Run({"--foil-number", number, "naca0012.dat"}), 0);
    EXPECT_FALSE(ReadBytes(dir.file("Type" + std::string(number).substr(number[0] == ' ', 3) +
                                    ".FOI")).empty());
  }
  const struct {
    const char* number;
    const char* message;
  } refused[] = {{"99", "   Numbers between 101 and 255 are allowed !!"},
                 {"100", "   Numbers between 101 and 255 are allowed !!"},
                 {"256", "   Numbers between 101 and 255 are allowed !!"},
                 {"12a", "   Only numbers are allowed !! "},
                 {"1234", "   Only the first 3 digits are used for filename !!"}};
  for (const auto& r : refused) {
    EXPECT_EQ(Run({"--foil-number", r.number, "naca2412.dat"}), 1) << r.number;
    EXPECT_EQ(err.str(), std::string(r.message) + "\n") << r.number;
    EXPECT_EQ(out.str(), "") << r.number;
  }
  EXPECT_FALSE(fs::exists(dir.file("naca2412.FOI")));
}

// No two of input, .FOI and SVG may be one file: refused before anything is written.
TEST_F(CliTest, NamesThatWouldDestroyAnotherFileAreUsageErrors) {
  fs::create_symlink(dir.file("naca2412.dat"), dir.file("link.FOI"));
  const std::string input = ReadBytes(dir.file("naca2412.dat"));
  const struct {
    std::vector<std::string> args;
    std::string line;
  } rows[] = {
      {{"-o", "naca2412.dat", "naca2412.dat"}, "naca2412.dat - Output file is the input file !! "},
      {{"-o", "link.FOI", "naca2412.dat"}, "link.FOI - Output file is the input file !! "},
      {{"--svg", "naca2412.dat", "naca2412.dat"}, "naca2412.dat - Output file is the input file !! "},
      {{"--svg", "naca2412.FOI", "naca2412.dat"}, "naca2412.FOI - SVG file is the .FOI file !! "},
      {{"-o", "x.FOI", "--svg", dir.file("sub/../x.FOI"), "naca2412.dat"},
       "sub/../x.FOI - SVG file is the .FOI file !! "},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Run(r.args), 2);
    EXPECT_EQ(err.str(), "  " + dir.file(r.line) + "\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(ReadBytes(dir.file("naca2412.dat")), input);
    EXPECT_FALSE(fs::exists(dir.file("naca2412.FOI")) || fs::exists(dir.file("x.FOI")));
  }
}

// A crafted ID line cannot drive the terminal; redirected output and the .FOI keep the bytes.
TEST_F(CliTest, ControlCharactersReachATerminalAsCaretNotation) {
  const std::string id = "NACA \x1b]0;owned\x07\x1b[2J\tend\x7f";
  std::string data = ReadBytes(dir.file("naca0012.dat"));
  data.replace(0, data.find('\r'), id);
  test::WriteBytes(dir.file("crafted.dat"), data);
  EXPECT_EQ(Run({"crafted.dat"}, true), 0);
  EXPECT_EQ(OutLines()[7], "ID - line     : NACA ^[]0;owned^G^[[2J\tend^?");
  EXPECT_EQ(Run({"crafted.dat"}), 0);
  EXPECT_EQ(OutLines()[7], "ID - line     : " + id);
  EXPECT_EQ(ReadBytes(dir.file("crafted.FOI")).substr(0, id.size() + 2), id + "\r\n");
  // Messages too; the line end within a message stays one.
  test::WriteBytes(dir.file("few.dat"), "few\r\n3\r\n0,0,0,0\r\n50,5,5,1\r\n100,0,0,0\r\n");
  EXPECT_EQ(Run({dir.file("\x1b[8mhidden.dat"), "few.dat"}, true), 1);
  EXPECT_EQ(err.str(), "  " + dir.file("^[[8mhidden.dat") + " - Input file not found !! \n"
                       "*** Insufficient data. For 8  control points,\n  you need at least 9  data points. ****\n");
  EXPECT_EQ(Run({"naca0012.dat", "--\x1b[8m"}, true), 2);
  EXPECT_EQ(err.str(), "tarvelo-fit: unrecognized option '--^[[8m'\nTry 'tarvelo-fit --help' for more information.\n");
}

// The R.M.S. values read back as the same doubles and print as the listings
// print them; the largest deviations as the library gives them.
TEST_F(CliTest, JsonLinesReportEveryFitAndEveryFailure) {
  for (const char* name : {"naca2412.dat", "naca16-206-a08.dat", "naca0012.dat",
                           "naca4412-40pt.dat"}) {
    const std::string path = test::ExamplePath(name);
    const Section section = ReadSection(path);
    for (int n = 4; n <= 20; ++n) {
      const std::string count = std::to_string(n);
      const std::string foi = dir.file("out.FOI");
      ASSERT_EQ(Run({"--json", "-n", count, "-o", foi, path}), 0) << err.str();
      const auto j = nlohmann::json::parse(out.str());
      ASSERT_EQ(Run({"--screens", "-n", count, "-o", foi, path}), 0);
      std::vector<std::string> rmsLines;  // thickness, then camber
      for (const std::string& line : OutLines())
        if (line.starts_with(" R.M.S. error / chord = ")) rmsLines.push_back(line);
      ASSERT_EQ(rmsLines.size(), 2u);
      const Fit fit = FitSection(section, n);
      EXPECT_EQ(j["file"], path);
      EXPECT_EQ(j["output"], foi);
      EXPECT_EQ(j["points"], section.points());
      EXPECT_EQ(j["control_points"], n);
      EXPECT_EQ(j["knots"].get<std::vector<double>>(), fit.knots);
      EXPECT_EQ(j["control_x"].get<std::vector<double>>(), fit.control_x);
      for (const auto& [key, curve, listing] :
           {std::tuple{"thickness", &fit.thickness, 0}, {"camber", &fit.camber, 1}}) {
        const auto& c = j[key];
        EXPECT_EQ(c["rms"].get<double>(), curve->rms);
        EXPECT_EQ(" R.M.S. error / chord = " + FSt(0, 2, 5, c["rms"].get<double>()),
                  rmsLines[listing]);
        EXPECT_EQ(c["ymax"].get<double>(), curve->ymax);
        EXPECT_EQ(c["max_deviation"].get<double>(), curve->max_deviation);
        EXPECT_EQ(c["max_deviation_x"].get<double>(), curve->max_deviation_x);
        EXPECT_EQ(c["control"].get<std::vector<double>>(), curve->control);
      }
    }
  }
  // Failures are objects of their own, with the message trimmed; an ID line
  // that is not UTF-8 is read as Latin-1.
  std::string data = ReadBytes(dir.file("naca0012.dat"));
  data.replace(0, data.find('\r'), "Fl\xFC" "gel");
  test::WriteBytes(dir.file("latin1.dat"), data);
  // Each failure says its kind, for scripts to test.
  fs::create_directory(dir.path() / "folder.dat");
  test::WriteBytes(dir.file("bad.dat"), "bad\r\n3\r\n0 0 0 0\r\nx\r\n");
  test::WriteBytes(dir.file("few.dat"), "few\r\n3\r\n0 0 0 0\r\n50 5 5 1\r\n100 0 0 0\r\n");
  std::string huge = "huge\r\n10\r\n";
  for (int i = 0; i < 10; ++i) huge += std::to_string(i * 10) + " 1 1 -1e300\r\n";
  test::WriteBytes(dir.file("huge.dat"), huge);
  EXPECT_EQ(Run({"--json", "missing.dat", "latin1.dat", "folder.dat", "bad.dat", "few.dat", "huge.dat"}), 1);
  const auto lines = OutLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(nlohmann::json::parse(lines[0]),
            nlohmann::json({{"file", dir.file("missing.dat")},
                            {"error", dir.file("missing.dat") + " - Input file not found !!"},
                            {"error_kind", "not_found"}}));
  EXPECT_EQ(nlohmann::json::parse(lines[1])["id_line"], "Fl\xC3\xBCgel");
  EXPECT_EQ(lines[1].find("\"file\":"), 1u) << "keys in the order given";
  const std::pair<std::string, std::string> failures[] = {
      {"folder.dat - Input file is a directory !!", "not_readable"},
      {"bad.dat - Invalid number in line 4 !!", "bad_data"},
      {"*** Insufficient data. For 8  control points,\n  you need at least 9  data points. ****",
       "too_few_points"},
      {"***** OVERFLOW !!  - check your input data", "overflow"}};
  for (std::size_t i = 0; i < std::size(failures); ++i) {
    const auto j = nlohmann::json::parse(lines[i + 2]);
    EXPECT_TRUE(j["error"].get<std::string>().ends_with(failures[i].first)) << j["error"];
    EXPECT_EQ(j["error_kind"], failures[i].second) << j["error"];
  }
}

// A coordinate file is imported at 41 stations and fitted as a section file is.
TEST_F(CliTest, CoordinatesAreImportedAndFittedLikeSectionData) {
  fs::copy_file(test::ExamplePath("coordinates/naca4412.dat"), dir.path() / "outline.dat");
  EXPECT_EQ(Run({"--coordinates", "--json", "outline.dat"}), 0) << err.str();
  const auto j = nlohmann::json::parse(out.str());
  const Fit fit = FitSection(ImportCoordinates(dir.file("outline.dat")), 8);
  EXPECT_EQ(j["points"], 41);
  EXPECT_EQ(j["thickness"]["control"].get<std::vector<double>>(), fit.thickness.control);
  EXPECT_EQ(j["output"], dir.file("outline.FOI"));
  EXPECT_EQ(Run({"--coordinates", "outline.dat"}), 0);  // the first page as for any section
  EXPECT_EQ(OutLines()[8], "Data points   :  41 ");
}

// The smallest count whose errors are within the tolerance; else the one whose
// worse curve is best, and said; counts the file cannot take are skipped.
TEST_F(CliTest, AutoChoosesTheFewestControlPointsForTheTolerance) {
  const auto worse = [](const Fit& f, bool max) {
    return max ? std::max(f.thickness.max_deviation, f.camber.max_deviation)
               : std::max(f.thickness.rms, f.camber.rms);
  };
  // Ten points: counts 10 to 20 are refused for too few data points.
  std::string ten = "ten points\r\n10\r\n";
  for (int i = 0; i < 10; ++i) {
    const double x = 100.0 * i * i / 81;
    ten += std::to_string(x) + "," + std::to_string(3 * std::sqrt(x / 100) * (1 - x / 100)) +
           ",0," + std::to_string(x * (100 - x) / 2500) + "\r\n";
  }
  test::WriteBytes(dir.file("ten.dat"), ten);
  const struct {
    const char* option;
    const char* file;
  } rows[] = {{"--auto", "naca2412.dat"}, {"--auto=2e-5", "naca2412.dat"},
              {"--auto-max=3e-4", "naca0012.dat"}, {"--auto=1e-12", "naca2412.dat"},
              {"--auto-max=0", "ten.dat"}, {"--auto=1e-3", "ten.dat"}};
  for (const auto& r : rows) {
    const std::string option = r.option;
    const bool max = option.starts_with("--auto-max");
    const std::string tolText = option.find('=') == std::string::npos ? "1e-4" : option.substr(option.find('=') + 1);
    const double tol = std::stod(tolText);
    const Section section = ReadSection(dir.file(r.file));
    int want = 0;
    int best = 0;
    double bestError = 0;
    for (int n = 20; n >= 4; --n) {
      if (n >= static_cast<int>(section.points())) continue;
      const double e = worse(FitSection(section, n), max);
      if (e <= tol) want = n;
      if (best == 0 || e <= bestError) best = n, bestError = e;
    }
    EXPECT_EQ(Run({r.option, r.file}), 0) << r.option;
    EXPECT_EQ(OutLines().at(9), "Control points: " + NumberItem(want ? want : best)) << r.option;
    EXPECT_EQ(err.str(), want ? "" : "tarvelo-fit: " + dir.file(r.file) + ": no count from 4 to 20 reaches " +
                                      tolText + "; using " + std::to_string(best) + "\n")
        << r.option;
  }
}

// Refused before anything is read or written.
TEST_F(CliTest, UsageErrorsExitWithTwo) {
  const std::string oneFile = "-o, --foil-number and --svg take one input FILE";
  const std::string noValue = "' doesn't allow an argument";
  const struct {
    std::vector<std::string> args;
    std::string text;
  } rows[] = {
      {{}, "missing FILE"},
      {{"-n", "8x", "naca0012.dat"}, "the number of control points takes digits only: '8x'"},
      {{"-n"}, "option '-n' requires an argument"},
      {{"--frobnicate", "naca0012.dat"}, "unrecognized option '--frobnicate'"},
      {{"-o", "a.FOI", "naca0012.dat", "naca2412.dat"}, oneFile},
      {{"--svg", "a.svg", "naca0012.dat", "naca2412.dat"}, oneFile},
      {{"-o", "a.FOI", "--foil-number", "123", "naca0012.dat"}, "-o and --foil-number exclude each other"},
      {{"-n", "8", "--auto", "naca0012.dat"}, "-n and --auto exclude each other"},
      {{"--auto", "--auto-max", "naca0012.dat"}, "--auto and --auto-max exclude each other"},
      {{"--auto=-1", "naca0012.dat"}, "the tolerance is a number of at least 0: '-1'"},
      {{"--auto=1e-4x", "naca0012.dat"}, "the tolerance is a number of at least 0: '1e-4x'"},
      {{"--json", "--screens", "naca0012.dat"}, "--screens and --json exclude each other"},
      // An option without a value takes none.
      {{"--json=no", "naca0012.dat"}, "option '--json" + noValue},
      {{"naca0012.dat", "--screens=off"}, "option '--screens" + noValue},
      {{"--coordinates=1", "naca0012.dat"}, "option '--coordinates" + noValue},
      {{"--help=x"}, "option '--help" + noValue},
      {{"--version=2"}, "option '--version" + noValue},
      // A number that names no file after --auto was meant as its tolerance.
      {{"--auto", "1e-5", "naca0012.dat"}, "no file '1e-5': a tolerance goes with the option, use --auto=1e-5"},
      {{"naca0012.dat", "--auto-max", "0"}, "no file '0': a tolerance goes with the option, use --auto-max=0"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Run(r.args), 2) << r.text;
    EXPECT_EQ(err.str(), "tarvelo-fit: " + r.text + "\nTry 'tarvelo-fit --help' for more information.\n");
    EXPECT_EQ(out.str(), "") << r.text;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);  // the two sections alone
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_EQ(out.str().rfind("Usage: tarvelo-fit [OPTION]... FILE...\n", 0), 0u);
  EXPECT_NE(out.str().find("--auto-max[=TOL]"), std::string::npos);
}

// The program itself: a standard output that cannot be written is a failure
// with its reason, not a silent success.
TEST(FitProgramTest, AFullStandardOutputIsReportedWithItsReason) {
  test::TempDir dir;
  fs::copy_file(test::ExamplePath("naca0012.dat"), dir.path() / "a.dat");
  const std::string cmd = std::string(TARVELO_FIT_PROGRAM) + " " + dir.file("a.dat") +
                          " >/dev/full 2>" + dir.file("err.txt");
  const int status = std::system(cmd.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_EQ(ReadBytes(dir.file("err.txt")), "tarvelo-fit: standard output: No space left on device\n");
}

}  // namespace
}  // namespace tarvelo
