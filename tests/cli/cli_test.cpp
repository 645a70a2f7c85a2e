// tarvelo-fit end to end on copies of the bundled sections.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <tarvelo/tarvelo.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/fit_command.h"
#include "foilio/number_format.h"
#include "cli/import_command.h"
#include "import/outlines.h"
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

  // What tarvelo-fit says of the one point of the bundled NACA sections that
  // the window's search leaves off its chord position.
  std::string Misplaced(const std::string& file) const {
    return "tarvelo-fit: " + dir.file(file) +
           ": 1 data point is fitted off its chord position, by up to 2.3e-6 of the chord; "
           "--placement=exact places it exactly\n";
  }

  test::TempDir dir;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(CliTest, FitsEveryFileAndWritesTheFoilFileBesideIt) {
  EXPECT_EQ(Run({"naca2412.dat", "naca0012.dat"}), 0);
  EXPECT_EQ(err.str(), Misplaced("naca2412.dat") + Misplaced("naca0012.dat"));
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
  EXPECT_EQ(Run({"missing.dat", "few.dat", "naca0012.dat"}), 1);
  EXPECT_EQ(err.str(), "tarvelo-fit: " + dir.file("missing.dat") + ": input file not found\n"
                       "tarvelo-fit: " + dir.file("few.dat") + ": 8 control points need at least 9 data points; "
                       "the section has 3\n" +
                           Misplaced("naca0012.dat"));
  EXPECT_EQ(OutLines().size(), 37u);
  EXPECT_FALSE(ReadBytes(dir.file("naca0012.FOI")).empty());

  // An input whose .FOI would be itself stops the whole run before anything
  // is written.
  fs::copy_file(dir.file("naca0012.dat"), dir.file("W.FOI"));
  EXPECT_EQ(Run({"naca2412.dat", "W.FOI"}), 2);
  EXPECT_EQ(err.str(), "tarvelo-fit: " + dir.file("W.FOI") + ": output file is the input file\n");
  EXPECT_EQ(ReadBytes(dir.file("W.FOI")), ReadBytes(dir.file("naca0012.dat")));
  EXPECT_FALSE(fs::exists(dir.file("naca2412.FOI")));

  // The section is made, and said of, before the .FOI is written.
  EXPECT_EQ(Run({"-o", dir.file("nodir/x.FOI"), "naca0012.dat"}), 1);
  EXPECT_EQ(err.str(),
            Misplaced("naca0012.dat") + "tarvelo-fit: " + dir.file("nodir/x.FOI") + ": output file could not be written: no such folder\n");
}

// 24 control points on 26 data points swing to a thickness of -764 between
// them: the file fails, naming where, and leaves no .FOI (nor an earlier one
// changed); the next file is fitted. 23 make a .FOI that reads back.
TEST_F(CliTest, AFitInsideOutFailsWithoutItsFoilFile) {
  test::WriteBytes(dir.file("wild.FOI"), "earlier");
  EXPECT_EQ(Run({"--quiet", "-n", "24", "-o", "wild.FOI", "naca0012.dat"}), 1);
  EXPECT_EQ(err.str(), Misplaced("naca0012.dat") + "tarvelo-fit: " + dir.file("naca0012.dat") +
                           ": the fitted thickness goes below 0 at x = 0.000419803, to -764.003: its outline would "
                           "be inside out there, and its .FOI refused\n");
  EXPECT_EQ(ReadBytes(dir.file("wild.FOI")), "earlier");
  EXPECT_EQ(Run({"--quiet", "-n", "23", "-o", "wild.FOI", "naca0012.dat"}), 0);
  EXPECT_EQ(err.str(), Misplaced("naca0012.dat"));
  EXPECT_EQ(ReadFoilFile(dir.file("wild.FOI")).control_x.size(), 23u);
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
  } refused[] = {{"99", "numbers between 101 and 255 are allowed"},
                 {"100", "numbers between 101 and 255 are allowed"},
                 {"256", "numbers between 101 and 255 are allowed"},
                 {"12a", "only numbers are allowed"},
                 {"1234", "a foil number has 3 digits"}};
  // The window's rule is the command line's: refused before any file is read.
  for (const auto& r : refused) {
    EXPECT_EQ(Run({"--foil-number", r.number, "naca2412.dat"}), 2) << r.number;
    EXPECT_EQ(err.str(), "tarvelo-fit: --foil-number: " + std::string(r.message) + ": '" + r.number +
                             "'\nTry 'tarvelo-fit --help' for more information.\n")
        << r.number;
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
      {{"-o", "naca2412.dat", "naca2412.dat"}, dir.file("naca2412.dat") + ": output file is the input file"},
      {{"-o", "link.FOI", "naca2412.dat"}, dir.file("link.FOI") + ": output file is the input file"},
      {{"--svg", "naca2412.dat", "naca2412.dat"}, dir.file("naca2412.dat") + ": output file is the input file"},
      {{"--svg", "naca2412.FOI", "naca2412.dat"},
       dir.file("naca2412.FOI") + " would be written twice for " + dir.file("naca2412.dat")},
      {{"-o", "x.FOI", "--svg", dir.file("sub/../x.FOI"), "naca2412.dat"},
       dir.file("sub/../x.FOI") + " would be written twice for " + dir.file("naca2412.dat")},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Run(r.args), 2);
    EXPECT_EQ(err.str(), "tarvelo-fit: " + r.line + "\n");
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
  // Messages too.
  test::WriteBytes(dir.file("few.dat"), "few\r\n3\r\n0,0,0,0\r\n50,5,5,1\r\n100,0,0,0\r\n");
  EXPECT_EQ(Run({dir.file("\x1b[8mhidden\r.dat"), "few.dat"}, true), 1);
  EXPECT_EQ(err.str(), "tarvelo-fit: " + dir.file("^[[8mhidden^M.dat") + ": input file not found\n"
                       "tarvelo-fit: " + dir.file("few.dat") + ": 8 control points need at least 9 data points; "
                       "the section has 3\n");
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
                            {"error", dir.file("missing.dat") + ": input file not found"},
                            {"error_kind", "not_found"}}));
  EXPECT_EQ(nlohmann::json::parse(lines[1])["id_line"], "Fl\xC3\xBCgel");
  EXPECT_EQ(lines[1].find("\"file\":"), 1u) << "keys in the order given";
  const std::pair<std::string, std::string> failures[] = {
      {"folder.dat: input file is a directory", "not_readable"},
      {"bad.dat: invalid number in line 4", "bad_data"},
      {"8 control points need at least 9 data points; the section has 3", "too_few_points"},
      {"a value of the fit is beyond the range of single precision", "overflow"}};
  for (std::size_t i = 0; i < std::size(failures); ++i) {
    const auto j = nlohmann::json::parse(lines[i + 2]);
    EXPECT_TRUE(j["error"].get<std::string>().ends_with(failures[i].first)) << j["error"];
    EXPECT_EQ(j["error_kind"], failures[i].second) << j["error"];
  }
}

// An ID line that is UTF-8 stays as it is in the JSON; any other is read as
// Latin-1, byte for byte: 0x7F is the last byte that stays one byte, 0x80 the
// first that becomes two.
TEST_F(CliTest, JsonShowsAnIdLineAsUtf8OrItsBytesAsLatin1) {
  const struct {
    std::string id;
    std::string json;
  } rows[] = {
      {"A\x7F", "A\x7F"},                  // UTF-8 already
      {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},  // UTF-8 already
      {"\x7F\xFF", "\x7F\xC3\xBF"},          // not UTF-8: 0x7F kept
      {"\x80", "\xC2\x80"},                // the first byte of Latin-1's upper half
      {"\xC3", "\xC3\x83"},                // a sequence cut short
  };
  std::string data = ReadBytes(dir.file("naca0012.dat"));
  const std::size_t end = data.find('\r');
  for (const auto& r : rows) {
    test::WriteBytes(dir.file("id.dat"), r.id + data.substr(end));
    ASSERT_EQ(Run({"--json", "-o", "id.FOI", "id.dat"}), 0) << err.str();
    EXPECT_NE(out.str().find(",\"id_line\":\"" + r.json + "\","), std::string::npos) << out.str();
    EXPECT_EQ(ReadBytes(dir.file("id.FOI")).substr(0, r.id.size() + 2), r.id + "\r\n");  // the bytes as read
  }
}

// The placement is chosen by name; the exact one fits NACA 0012 at 401
// stations to its tolerance where the window's misplaces the nose and says
// so; more control points than the window's are taken up to 80.
TEST_F(CliTest, PlacementAndControlPointsBeyondTheWindows) {
  test::WriteBytes(dir.file("outline.dat"), test::Naca0012Outline());
  EXPECT_EQ(Run({"--coordinates", "--stations", "401", "--placement=exact", "-n", "20", "--json", "outline.dat"}), 0);
  EXPECT_EQ(err.str(), "");
  auto j = nlohmann::json::parse(out.str());
  EXPECT_EQ(j["points"], 401);
  EXPECT_EQ(j["placement"], "exact");
  EXPECT_EQ(j["misplaced_points"], 0);
  EXPECT_LE(j["thickness"]["rms"].get<double>(), 2e-6);
  EXPECT_LE(j["thickness"]["max_deviation"].get<double>(), 2e-5);

  EXPECT_EQ(Run({"--coordinates", "--stations=401", "-n", "20", "--json", "outline.dat"}), 0);
  j = nlohmann::json::parse(out.str());
  EXPECT_EQ(j["placement"], "window");
  EXPECT_GE(j["thickness"]["max_deviation"].get<double>(), 1e-3);
  const int misplaced = j["misplaced_points"];
  EXPECT_GT(misplaced, 0);
  const std::string head = "tarvelo-fit: " + dir.file("outline.dat") + ": " + std::to_string(misplaced) +
                           " data points are fitted off their chord positions, by up to ";
  const std::string tail = " of the chord; --placement=exact places them exactly\n";
  const std::string misplacedLine = err.str().substr(0, err.str().find('\n') + 1);
  ASSERT_TRUE(misplacedLine.starts_with(head) && misplacedLine.ends_with(tail)) << err.str();
  const std::string said = misplacedLine.substr(head.size(), misplacedLine.size() - head.size() - tail.size());
  EXPECT_NEAR(std::stod(said), j["largest_misplacement"].get<double>(), 0.05 * std::stod(said)) << said;
  // Misplaced, the nose comes out a third of the outline's radius, and that is said too.
  const double radius = j["properties"]["le_radius"], data = j["nose"]["data_le_radius"];
  EXPECT_EQ(data, ImportOutline(dir.file("outline.dat"), {401, false}).le_radius);
  EXPECT_NEAR(radius / data, 0.31, 0.005);
  EXPECT_EQ(err.str().substr(misplacedLine.size()),
            "tarvelo-fit: " + dir.file("outline.dat") + ": warning: the fitted nose radius 0.0049 is 0.31 "
            "times the file's outline's (0.016)\n");

  EXPECT_EQ(Run({"--coordinates", "--stations", "161", "--placement", "exact", "-n", "80", "outline.dat"}), 0);
  EXPECT_EQ(OutLines().at(9), "Control points: " + NumberItem(80));
  EXPECT_EQ(ReadFoilFile(dir.file("outline.FOI")).control_x.size(), 80u);
  EXPECT_EQ(Run({"--coordinates", "--stations=161", "--placement=exact", "--auto=2e-7",
                 "--max-control-points=40", "--json", "outline.dat"}),
            0);
  EXPECT_GT(nlohmann::json::parse(out.str())["control_points"].get<int>(), 20);

  const struct {
    std::vector<std::string> args;
    std::string text;
  } usage[] = {
      {{"--placement=best", "outline.dat"}, "--placement: unknown placement 'best': use window or exact"},
      {{"--auto", "--max-control-points", "81", "outline.dat"},
       "--max-control-points takes 4 to 80 control points: '81'"},
      {{"--auto", "--max-control-points", "80", "--auto-max", "outline.dat"},
       "--auto, --auto-max and --auto-outline exclude each other"},
      {{"--auto", "--max-control-points", "3", "outline.dat"},
       "--max-control-points takes 4 to 80 control points: '3'"},
      {{"--max-control-points=30", "outline.dat"}, "--max-control-points is for --auto and --auto-max"},
      {{"--stations=81", "outline.dat"}, "--stations is for --coordinates"},
  };
  for (const auto& u : usage) {
    EXPECT_EQ(Run(u.args), 2) << u.text;
    EXPECT_EQ(err.str(), "tarvelo-fit: " + u.text + "\nTry 'tarvelo-fit --help' for more information.\n");
  }
}

// --export writes the fitted section at its own size beside the .FOI: a
// section cambered below its chord comes out as it went in, at the chord
// length and in the units asked for; names that would overwrite an input
// are refused before anything is written.
// --json gives the properties that --export properties writes, of the
// section at its own size, each double alike; a section thicker than its
// chord has none.
TEST_F(CliTest, JsonGivesThePropertiesThatExportWrites) {
  for (const char* name : {"naca2412.dat", "naca0012.dat"}) {
    const std::string foi = dir.file("out.FOI");
    ASSERT_EQ(Run({"--json", "--export", "properties", "-n", "8", "-o", foi, test::ExamplePath(name)}), 0)
        << err.str();
    const auto j = nlohmann::ordered_json::parse(out.str());
    const auto written = nlohmann::ordered_json::parse(ReadBytes(dir.file("out-properties.json")));
    EXPECT_EQ(j["properties"], written) << name;
    EXPECT_EQ(j["properties"].size(), PropertyFields().size());
    EXPECT_EQ(j["properties"].begin().key(), "max_thickness");
    EXPECT_NEAR(j["properties"]["max_thickness"].get<double>(), 0.12, 2e-4) << name;
  }
  EXPECT_EQ(nlohmann::json::parse(out.str())["properties"]["ixy"].get<double>(), 0.0);  // 0012
  std::string thick = "thick\r\n9\r\n";
  for (int i = 0; i <= 8; ++i) thick += std::to_string(12.5 * i) + ", 75, 75, 0\r\n";
  test::WriteBytes(dir.file("thick.dat"), thick);
  ASSERT_EQ(Run({"--json", "-n", "4", dir.file("thick.dat")}), 0) << err.str();
  EXPECT_TRUE(nlohmann::json::parse(out.str())["properties"].is_null());
}

TEST_F(CliTest, ExportWritesTheSectionAtItsOwnSizeBesideTheFoilFile) {
  // NACA 0012 on a 2412 camber line turned upside down: cambered downwards.
  std::vector<std::pair<double, double>> points;
  std::istringstream in(test::Naca0012Outline());
  std::string line;
  std::getline(in, line);
  for (double x = 0, y = 0; in >> x >> y;) {
    const double c = x < 0.4 ? 0.02 / 0.16 * (0.8 * x - x * x) : 0.02 / 0.36 * (0.2 + 0.8 * x - x * x);
    points.emplace_back(x, -(y + c));
  }
  std::string text = "down\n";
  for (auto it = points.rbegin(); it != points.rend(); ++it) {
    char row[64];
    std::snprintf(row, sizeof row, "%.8f %.8f\n", it->first, it->second);
    text += row;
  }
  test::WriteBytes(dir.file("down.dat"), text);
  ASSERT_EQ(Run({"--coordinates", "--stations=161", "--placement=exact", "-n", "20", "--export", "selig,dxf,svg",
                 "--chord", "100", "--units", "mm", "--json", "down.dat"}),
            0)
      << err.str();
  const auto j = nlohmann::json::parse(out.str());
  EXPECT_EQ(j["exports"], nlohmann::json({dir.file("down-outline.dat"), dir.file("down.dxf"), dir.file("down.svg")}));
  EXPECT_LT(j["camber"]["ymax"].get<double>(), 1e-12);  // nowhere above the chord
  EXPECT_LE(j["outline_deviation"].get<double>(), 1e-4);
  // The Selig file lies on the file's own outline, a hundred times its size.
  std::istringstream selig(ReadBytes(dir.file("down-outline.dat")));
  std::getline(selig, line);
  EXPECT_EQ(line.rfind("down t/c=", 0), 0u) << line;
  int checked = 0;
  for (double x = 0, y = 0; selig >> x >> y; ++checked) {
    double nearest = 1e300;
    for (const auto& [px, py] : points) nearest = std::min(nearest, std::hypot(100 * px - x, 100 * py - y));
    EXPECT_LT(nearest, 0.1) << x << " " << y;  // the file's points are 0.6 mm apart at most
  }
  EXPECT_EQ(checked, 161);
  const std::string dxf = ReadBytes(dir.file("down.dxf"));
  EXPECT_NE(dxf.find("$INSUNITS\n 70\n4\n  9\n$MEASUREMENT\n 70\n1\n"), std::string::npos);
  EXPECT_NE(dxf.find("  8\nTE\n100\nAcDbLine\n"), std::string::npos);
  EXPECT_NE(ReadBytes(dir.file("down.svg")).find("width=\"110mm\""), std::string::npos);

  // A trailing edge made 0.003 thick: the closing line on the layer TE is
  // that long, at the chord's end.
  ASSERT_EQ(Run({"--coordinates", "--stations=161", "--placement=exact", "-n", "20", "--export", "dxf",
                 "--te-thickness", "0.003", "-o", "te.FOI", "down.dat"}),
            0)
      << err.str();
  const std::string te = ReadBytes(dir.file("te.dxf"));
  const std::size_t teLine = te.find("  8\nTE\n100\nAcDbLine\n");
  ASSERT_NE(teLine, std::string::npos);
  const auto group = [&](const char* code) {
    const std::size_t at = te.find(std::string("\n") + code + "\n", teLine) + std::strlen(code) + 2;
    double value = 0;
    std::from_chars(te.data() + at, te.data() + te.find('\n', at), value);
    return value;
  };
  EXPECT_EQ(group(" 10"), 1.0);
  EXPECT_EQ(group(" 11"), 1.0);
  EXPECT_NEAR(std::abs(group(" 20") - group(" 21")), 0.003, 1e-12);

  // Laid off across the mean line: the Selig points leave their stations;
  // vertical is the default.
  ASSERT_EQ(Run({"--coordinates", "--stations=161", "--placement=exact", "-n", "20", "--export", "selig,dxf",
                 "--layoff", "across", "-o", "across.FOI", "down.dat"}),
            0)
      << err.str();
  ASSERT_EQ(Run({"--coordinates", "--stations=161", "--placement=exact", "-n", "20", "--export", "selig,dxf",
                 "--layoff", "vertical", "-o", "vertical.FOI", "down.dat"}),
            0)
      << err.str();
  ASSERT_EQ(Run({"--coordinates", "--stations=161", "--placement=exact", "-n", "20", "--export", "selig,dxf", "-o",
                 "default.FOI", "down.dat"}),
            0)
      << err.str();
  EXPECT_EQ(ReadBytes(dir.file("vertical-outline.dat")), ReadBytes(dir.file("default-outline.dat")));
  EXPECT_EQ(ReadBytes(dir.file("vertical.dxf")), ReadBytes(dir.file("default.dxf")));
  EXPECT_NE(ReadBytes(dir.file("across-outline.dat")), ReadBytes(dir.file("vertical-outline.dat")));
  EXPECT_NE(ReadBytes(dir.file("across.dxf")), ReadBytes(dir.file("vertical.dxf")));
  EXPECT_NE(ReadBytes(dir.file("across.dxf")).find("  8\nUPPER\n"), std::string::npos);

  // An export named as the input is refused, and nothing is written.
  fs::copy_file(dir.file("down.dat"), dir.file("wing.svg"));
  EXPECT_EQ(Run({"--coordinates", "--export", "svg", "wing.svg"}), 2);
  EXPECT_EQ(err.str(), "tarvelo-fit: " + dir.file("wing.svg") + ": output file is the input file\n");
  EXPECT_FALSE(fs::exists(dir.file("wing.FOI")));
  const struct {
    std::vector<std::string> args;
    std::string text;
  } usage[] = {
      {{"--export", "pdf", "down.dat"}, "--export: unknown export format 'pdf': use table, selig, dxf, svg, properties or step"},
      {{"--chord", "100", "down.dat"}, "--chord and --units are for --export"},
      {{"--export", "table", "--units", "mm", "down.dat"}, "--chord and --units draw outlines: the table is normalised"},
      {{"--export", "dxf", "--chord", "-1", "down.dat"}, "--chord takes a length above 0 and at most 1e6: '-1'"},
      {{"--export", "dxf", "--chord", "2.225073858507201e-308", "down.dat"},
       "--chord takes a length above 0 and at most 1e6: '2.225073858507201e-308' is below the smallest normal "
       "number, 2.2250738585072014e-308"},
      {{"--export", "dxf", "--chord", "1000000.0000000001", "down.dat"},
       "--chord takes a length above 0 and at most 1e6: '1000000.0000000001'"},
      {{"--export", "dxf", "--units", "ft", "down.dat"}, "--units takes mm, cm, m or in: 'ft'"},
      {{"--auto-outline", "down.dat"}, "--auto-outline is for --coordinates"},
      {{"--te-thickness", "0.003", "down.dat"}, "--te-thickness is for --export of an outline"},
      {{"--export", "table", "--te-thickness=0", "down.dat"}, "--te-thickness is for --export of an outline"},
      {{"--export", "dxf", "--te-thickness", "1.5", "down.dat"},
       "--te-thickness takes a fraction of the chord from 0 to 1: '1.5'"},
      {{"--layoff", "across", "down.dat"}, "--layoff is for --export"},
      {{"--export", "dxf,table", "--layoff", "across", "down.dat"},
       "--layoff across lays off outline coordinates: the table writes none"},
      {{"--export", "properties", "--layoff=across", "down.dat"},
       "--layoff across lays off outline coordinates: the properties writes none"},
      {{"--export", "dxf", "--layoff", "normal", "down.dat"}, "--layoff takes vertical or across: 'normal'"},
  };
  for (const auto& u : usage) {
    EXPECT_EQ(Run(u.args), 2) << u.text;
    EXPECT_EQ(err.str(), "tarvelo-fit: " + u.text + "\nTry 'tarvelo-fit --help' for more information.\n");
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

// What the import did goes into --json and onto standard error; and the
// .FOI is the one that tarvelo-import followed by tarvelo-fit writes.
TEST_F(CliTest, CoordinatesReportTheirFrameAndRepairsAndFitAsTheirSectionFile) {
  test::Surfaces s = test::NacaSurfaces({0, 0, 0.12}, 61);
  while (s.lower.back().x > 0.95) s.lower.pop_back();
  test::WriteBytes(dir.file("kept.dat"), test::SeligText("kept", test::Selig(test::NacaSurfaces({0, 0, 0.12}, 61))));
  test::WriteBytes(dir.file("moved.dat"), test::SeligText("moved", test::Placed(test::Selig(s), 2, 0, 0.5, 0)));
  EXPECT_EQ(Run({"--coordinates", "--placement=exact", "--json", "kept.dat", "moved.dat"}), 0);
  const std::vector<std::string> lines = OutLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(nlohmann::json::parse(lines[0])["import"].dump(),
            R"({"angle_deg":0.0,"frame":"kept","le_radius":)" +
                nlohmann::json(ImportOutline(dir.file("kept.dat")).le_radius).dump() +
                R"(,"scale":1.0,"shift":[0.0,0.0],"warnings":[]})");
  const auto moved = nlohmann::json::parse(lines[1]);
  EXPECT_EQ(moved["id_line"], "moved [scaled 0.5, turned 0.07 deg]");
  const ImportedSection imported = ImportOutline(dir.file("moved.dat"));
  EXPECT_EQ(moved["import"].dump(),
            nlohmann::json({{"frame", "normalised"}, {"scale", imported.transform.scale},
                            {"angle_deg", imported.transform.angle_deg},
                            {"shift", {imported.transform.shift.x, imported.transform.shift.y}},
                            {"le_radius", imported.le_radius},
                            {"warnings", {"The lower surface ends 5.4509 % of the chord short of the "
                                          "upper one: continued by a straight line"}}})
                .dump());
  const std::string at = "tarvelo-fit: " + dir.file("moved.dat") + ": ";
  EXPECT_EQ(err.str(), at + "frame normalised: scale 0.5, angle 0.0733189 deg, shift 0.5 -3.93141e-05\n" +
                           at + "warning: The lower surface ends 5.4509 % of the chord short of the "
                           "upper one: continued by a straight line\n");

  for (const char* name : {"kept", "moved"}) {
    const std::string coordinates = std::string(name) + ".dat", section = std::string(name) + "-section.dat";
    std::ostringstream sectionOut, sectionErr;
    ASSERT_EQ(RunImportCommand({"-o", dir.file(section), dir.file(coordinates)}, sectionOut, sectionErr), 0);
    ASSERT_EQ(Run({"-n", "12", "-o", std::string(name) + "-section.FOI", section}), 0);
    ASSERT_EQ(Run({"--coordinates", "-n", "12", coordinates}), 0);
    EXPECT_EQ(test::ReadBytes(dir.file(std::string(name) + ".FOI")),
              test::ReadBytes(dir.file(std::string(name) + "-section.FOI")))
        << name;
  }
}

// The smallest count whose errors are within the tolerance and whose curves
// the data carry; else the one the data carry whose worse curve is best, or
// where they carry none the one that strays least, and said; counts the file
// cannot take are skipped.
TEST_F(CliTest, AutoChoosesTheFewestControlPointsForTheTolerance) {
  const auto worse = [](const Fit& f, bool max) {
    return max ? std::max(f.thickness.max_deviation, f.camber.max_deviation)
               : std::max(f.thickness.rms, f.camber.rms);
  };
  // How far the worse curve strays between the data points, against what
  // the data allow: 1 or less is carried.
  const auto stray = [](const Fit& f, double tol) {
    double s = 0;
    for (const CurveFit* c : {&f.thickness, &f.camber})
      s = std::max(s, c->between_deviation / std::max(tol, kStrayFactor * c->max_deviation));
    return s;
  };
  // Two significant digits, as the message gives the error.
  const auto two = [](double v) {
    char buf[32];
    std::string text(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 2).ptr);
    if (const auto e = text.find("e-0"); e != std::string::npos) text.erase(e + 2, 1);
    return text;
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
              {"--auto-max=2.2250738585072014e-308", "ten.dat"}, {"--auto=1e-3", "ten.dat"},
              {"--auto=1.7976931348623157e308", "ten.dat"}};
  for (const auto& r : rows) {
    const std::string option = r.option;
    const bool max = option.starts_with("--auto-max");
    const std::string tolText = option.find('=') == std::string::npos ? "1e-4" : option.substr(option.find('=') + 1);
    const double tol = std::stod(tolText);
    const Section section = ReadSection(dir.file(r.file));
    int want = 0;
    int best = 0;
    double bestError = 0, bestStray = 0;
    bool bestCarried = false;
    for (int n = 20; n >= 4; --n) {
      if (n >= static_cast<int>(section.points())) continue;
      const Fit fit = FitSection(section, n);
      const double e = worse(fit, max), s = stray(fit, tol);
      const bool carried = s <= 1;
      if (e <= tol && carried) want = n;
      const bool better = best == 0 || (carried && !bestCarried) ||
                          (carried == bestCarried && (carried ? e <= bestError : s <= bestStray));
      if (better) best = n, bestError = e, bestStray = s, bestCarried = carried;
    }
    ASSERT_TRUE(bestCarried) << r.option;
    EXPECT_EQ(Run({r.option, r.file}), 0) << r.option;
    EXPECT_EQ(OutLines().at(9), "Control points: " + NumberItem(want ? want : best)) << r.option;
    // The misplaced points of the window's search are said as for any fit.
    std::string said = err.str();
    if (const auto at = said.find(" fitted off "); at != std::string::npos)
      said.erase(said.rfind("tarvelo-fit: ", at), said.find('\n', at) + 1 - said.rfind("tarvelo-fit: ", at));
    EXPECT_EQ(said, want ? "" : "tarvelo-fit: " + dir.file(r.file) + ": no count from 4 to 20 reaches " +
                                     tolText + " with curves the data carry; using " + std::to_string(best) +
                                     " (error " + two(bestError) + ")\n")
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
      {{"--auto", "--auto-max", "naca0012.dat"}, "--auto, --auto-max and --auto-outline exclude each other"},
      {{"--auto=-1", "naca0012.dat"}, "--auto takes a tolerance above 0: '-1'"},
      {{"--auto-max=1e-4x", "naca0012.dat"}, "--auto-max takes a tolerance above 0: '1e-4x'"},
      {{"--json", "--screens", "naca0012.dat"}, "--screens and --json exclude each other"},
      {{"--quiet", "--screens", "naca0012.dat"}, "--quiet and --screens exclude each other"},
      {{"-o", "a.FOI", "--output-dir", ".", "naca0012.dat"}, "-o and --output-dir exclude each other"},
      // An option without a value takes none.
      {{"--json=no", "naca0012.dat"}, "option '--json" + noValue},
      {{"--json=", "naca0012.dat"}, "option '--json" + noValue},
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
  EXPECT_EQ(ReadBytes(dir.file("err.txt")),
            "tarvelo-fit: " + dir.file("a.dat") +
                ": 1 data point is fitted off its chord position, by up to 2.3e-6 of the chord; "
                "--placement=exact places it exactly\n"
                "tarvelo-fit: standard output: No space left on device\n");
}

// A standard output whose reader has gone. Where SIGPIPE is ignored, the
// program says so with the reason; where it is not, the program ends by
// SIGPIPE, as a program in a pipeline does, having said nothing of it.
TEST(FitProgramTest, AClosedPipeEndsTheProgramOrIsReportedWhereSigpipeIsIgnored) {
  test::TempDir dir;
  fs::copy_file(test::ExamplePath("naca0012.dat"), dir.path() / "a.dat");
  const std::string said = dir.file("err.txt");
  const std::string warning = "tarvelo-fit: " + dir.file("a.dat") +
                              ": 1 data point is fitted off its chord position, by up to 2.3e-6 of the chord; "
                              "--placement=exact places it exactly\n";
  for (const bool ignored : {true, false}) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::close(fds[0]);  // no reader
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(fds[1], STDOUT_FILENO);
      ::dup2(::open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
      std::signal(SIGPIPE, ignored ? SIG_IGN : SIG_DFL);
      ::execl(TARVELO_FIT_PROGRAM, "tarvelo-fit", dir.file("a.dat").c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(fds[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (ignored) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
      EXPECT_EQ(ReadBytes(said), warning + "tarvelo-fit: standard output: Broken pipe\n");
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << status;
      EXPECT_EQ(ReadBytes(said), warning);
    }
  }
}

}  // namespace
}  // namespace tarvelo
