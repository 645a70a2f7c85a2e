// tarvelo-export end to end: the bytes it writes, where, and what it answers
// to a bad command line or a bad file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/export_command.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::ReadBytes;

// Thickness 0.5 and camber 0.1 everywhere: the basis functions sum to 1.
constexpr const char* kFlat =
    "flat\r\n 4  4 \r\n"
    "   0.00000   0.50000   0.10000\r\n   0.00000   0.50000   0.10000\r\n"
    "   0.33333   0.50000   0.10000\r\n   1.00000   0.50000   0.10000\r\n";

class ExportCommandTest : public ::testing::Test {
 protected:
  ExportCommandTest() { test::WriteBytes(flat, kFlat); }
  int Run(const std::vector<std::string>& args, bool terminal = false) {
    out.str("");
    err.str("");
    return RunExportCommand(args, out, err, terminal);
  }

  test::TempDir dir;
  const std::string flat = dir.file("flat.FOI");
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(ExportCommandTest, WritesEachFormatToStandardOutputOrThroughO) {
  const std::string table =
      "0.00000000  0.50000000  0.10000000\n"
      "0.50000000  0.50000000  0.10000000\n"
      "1.00000000  0.50000000  0.10000000\n";
  // From the trailing edge over the upper surface and back, the leading edge
  // once. The stored curves are 0.5 and 0.1 everywhere: the name gives the
  // thickness and camber the outline has, 0.05 and 0.05, not the 0.1 and 0.5
  // that multiply them.
  const std::string selig =
      "flat t/c=0.05 f/c=0.05\n"
      "  1.0000000  0.0750000\n  0.5000000  0.0750000\n  0.0000000  0.0750000\n"
      "  0.5000000  0.0250000\n  1.0000000  0.0250000\n";
  // At a chord of 200 (mm): every coordinate times 200.
  const std::string selig200 =
      "flat t/c=0.05 f/c=0.05\n"
      "  200.0000000  15.0000000\n  100.0000000  15.0000000\n  0.0000000  15.0000000\n"
      "  100.0000000  5.0000000\n  200.0000000  5.0000000\n";
  const struct {
    std::vector<std::string> args;
    std::string bytes;
  } rows[] = {
      {{"--points", "3", flat}, table},
      {{"--points", "2", flat}, "0.00000000  0.50000000  0.10000000\n1.00000000  0.50000000  0.10000000\n"},
      {{flat, "--at=0,0.5,1"}, table},
      {{"--format=selig", "--thickness", "0.1", "--camber=0.5", "--points", "3", flat}, selig},
      {{"--format=selig", "--thickness", "0.1", "--camber=0.5", "--points", "3", "--chord", "200",
        "--units=mm", flat},
       selig200},
      // The trailing edge from 0.05 to 0.02 thick: 0.03 x less thickness.
      {{"--format=selig", "--thickness", "0.1", "--camber=0.5", "--points", "3", "--te-thickness=0.02", flat},
       "flat t/c=0.05 f/c=0.05\n"
       "  1.0000000  0.0600000\n  0.5000000  0.0675000\n  0.0000000  0.0750000\n"
       "  0.5000000  0.0325000\n  1.0000000  0.0400000\n"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Run(r.args), 0);
    EXPECT_EQ(out.str(), r.bytes);
    EXPECT_EQ(err.str(), "");
  }
  EXPECT_EQ(Run({flat}), 0);
  const std::string defaults = out.str();
  EXPECT_EQ(std::count(defaults.begin(), defaults.end(), '\n'), 41);

  const std::string svg = dir.file("flat.svg");
  EXPECT_EQ(Run({"--format", "svg", "--thickness", "1", "--camber", "-1", "-o" + svg, flat}), 0);
  EXPECT_EQ(out.str() + err.str(), "");
  EXPECT_EQ(ReadBytes(svg).rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
}

// The properties of a parallelogram, known in closed form: 0.05 thick, the
// camber 0.05 at every x. Its nose has a thickness, so no radius: null.
TEST_F(ExportCommandTest, WritesThePropertiesAsOneJsonObject) {
  EXPECT_EQ(Run({"--format", "properties", "--thickness", "0.1", "--camber", "0.5", flat}), 0);
  EXPECT_EQ(err.str(), "");
  const std::string text = out.str();
  EXPECT_EQ(text.substr(0, 2), "{\n");
  EXPECT_EQ(text.substr(text.size() - 2), "}\n");
  const auto json = nlohmann::ordered_json::parse(text);
  std::vector<std::string> keys;
  for (const auto& [key, value] : json.items()) keys.push_back(key);
  EXPECT_EQ(keys, (std::vector<std::string>{"max_thickness", "max_thickness_x", "max_camber", "max_camber_x",
                                            "min_camber", "min_camber_x", "le_radius", "te_thickness",
                                            "te_angle_deg", "area", "centroid_x", "centroid_y", "ixx", "iyy",
                                            "ixy"}));
  EXPECT_TRUE(json["le_radius"].is_null());
  const double tau = 0.05, eps = 1e-15;
  const struct {
    const char* key;
    double value;
  } rows[] = {{"max_thickness", tau}, {"max_camber", 0.05}, {"min_camber", 0.05},  {"te_thickness", tau},
              {"te_angle_deg", 0},    {"area", tau},        {"centroid_x", 0.5},    {"centroid_y", 0.05},
              {"ixx", tau * tau * tau / 12}, {"iyy", tau / 12}, {"ixy", 0}};
  for (const auto& r : rows) EXPECT_NEAR(json[r.key].get<double>(), r.value, eps) << r.key;
  // At a chord length: lengths times it, the area times its square, second
  // moments times its fourth power, the angle as it was.
  EXPECT_EQ(Run({"--format", "properties", "--thickness", "0.1", "--camber", "0.5", "--chord", "200", flat}), 0);
  const auto drawn = nlohmann::ordered_json::parse(out.str());
  for (const auto& [key, power] : {std::pair{"max_thickness_x", 1}, {"te_thickness", 1}, {"centroid_y", 1},
                                   {"te_angle_deg", 0}, {"area", 2}, {"ixx", 4}, {"iyy", 4}, {"ixy", 4}})
    EXPECT_EQ(drawn[key].get<double>(), json[key].get<double>() * std::pow(200.0, power)) << key;
  EXPECT_TRUE(drawn["le_radius"].is_null());
  // Each number is the shortest text of its double: it reads back the same.
  const std::string area = "\"area\": ";
  const std::size_t at = text.find(area) + area.size();
  EXPECT_EQ(text.substr(at, text.find(',', at) - at), nlohmann::json(json["area"].get<double>()).dump());
}

TEST_F(ExportCommandTest, ABadFileOrOutputExitsWithOneAndLeavesAnEarlierOutput) {
  const std::string earlier = dir.file("earlier.txt");
  test::WriteBytes(earlier, "earlier");
  test::WriteBytes(dir.file("order3.FOI"), "id\r\n 4  3 \r\n");
  // A section cambered nowhere upwards: its .FOI holds its own camber.
  std::string below = kFlat;
  for (std::size_t at = below.find("   0.10000"); at != std::string::npos; at = below.find("   0.10000", at))
    below.replace(at, 10, "  -0.10000");
  test::WriteBytes(dir.file("below.FOI"), below);
  const struct {
    std::vector<std::string> args;
    std::string said;
  } rows[] = {
      {{"-o", earlier, dir.file("missing.FOI")}, dir.file("missing.FOI") + ": input file not found"},
      {{"-o", earlier, dir.file("order3.FOI")}, dir.file("order3.FOI") + ": spline order in line 2 is not 4"},
      {{"-o", earlier, "--format=dxf", "--thickness=0.1", "--camber=-0.02", dir.file("below.FOI")},
       dir.file("below.FOI") + ": the stored camber is nowhere above 0: it holds the section's own camber, which only a largest "
       "camber of 1 gives back (0 leaves it out)"},
      {{"-o", dir.file("nodir/out.txt"), flat},
       dir.file("nodir/out.txt") + ": output file could not be written: no such folder"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Run(r.args), 1);
    EXPECT_EQ(err.str(), "tarvelo-export: " + r.said + "\n");
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_EQ(ReadBytes(earlier), "earlier");
}

// A parallelogram whose mean line rises 0.75 a chord: theta has sine 0.6
// and cosine 0.8, and laid off across it half the thickness, 0.025, moves
// each point 0.015 along the chord and 0.02 up, ahead of the leading edge too.
TEST_F(ExportCommandTest, AcrossTheMeanLineEachPointMovesAlongItsNormal) {
  const std::string sloped = dir.file("sloped.FOI");
  test::WriteBytes(sloped,
                   "sloped\r\n 4  4 \r\n"
                   "   0.00000   0.50000   0.00000\r\n   0.00000   0.50000   0.00000\r\n"
                   "   0.40000   0.50000   0.30000\r\n   1.00000   0.50000   0.75000\r\n");
  const std::vector<std::string> selig = {"--format=selig", "--thickness=0.1", "--camber=1", "--points=3", sloped};
  const auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), selig.begin(), selig.end());
    return more;
  };
  EXPECT_EQ(Run(with({"--layoff=across"})), 0) << err.str();
  EXPECT_EQ(out.str(),
            "sloped t/c=0.05 f/c=0.75\n"
            "  0.9850000  0.7700000\n  0.4850000  0.3950000\n -0.0150000  0.0200000\n"
            "  0.5150000  0.3550000\n  1.0150000  0.7300000\n");
  EXPECT_EQ(Run(with({"--layoff", "across", "--chord", "200", "--units", "mm"})), 0) << err.str();
  EXPECT_EQ(out.str(),
            "sloped t/c=0.05 f/c=0.75\n"
            "  197.0000000  154.0000000\n  97.0000000  79.0000000\n -3.0000000  4.0000000\n"
            "  103.0000000  71.0000000\n  203.0000000  146.0000000\n");
  EXPECT_EQ(Run(with({"--layoff", "vertical"})), 0) << err.str();
  EXPECT_EQ(out.str(),
            "sloped t/c=0.05 f/c=0.75\n"
            "  1.0000000  0.7750000\n  0.5000000  0.4000000\n  0.0000000  0.0250000\n"
            "  0.5000000  0.3500000\n  1.0000000  0.7250000\n");
  const std::string vertical = out.str();
  EXPECT_EQ(Run(selig), 0);
  EXPECT_EQ(out.str(), vertical);

  // Refused before anything is written: an earlier output stays.
  const std::string earlier = dir.file("earlier.txt");
  test::WriteBytes(earlier, "earlier");
  EXPECT_EQ(Run({"--layoff=across", "-o", earlier, sloped}), 2);
  EXPECT_EQ(err.str(), "tarvelo-export: --layoff across is for the selig, dxf, svg and step only: the table "
                       "writes no outline coordinates\nTry 'tarvelo-export --help' for more information.\n");
  EXPECT_EQ(Run(with({"--layoff=sideways", "-o", earlier})), 2);
  EXPECT_EQ(ReadBytes(earlier), "earlier");
  EXPECT_EQ(Run(with({"--layoff=across", "-o", earlier})), 0);
  EXPECT_EQ(ReadBytes(earlier).substr(0, 25), "sloped t/c=0.05 f/c=0.75\n");
}

// A .FOI of finite values whose outline would not be: refused, nothing written.
TEST_F(ExportCommandTest, ValuesBeyondTheRangeOfADoubleExitWithOne) {
  const std::string big = "  17" + std::string(307, '0') + ".00000";  // 1.7e308
  const std::string foi = dir.file("big.FOI"), earlier = dir.file("earlier.txt");
  test::WriteBytes(foi, "big\r\n 4  4 \r\n   0.00000   0.00000   0.00000\r\n   0.00000" + big + big +
                            "\r\n   0.33333" + big + big + "\r\n   1.00000   0.00000   0.00000\r\n");
  test::WriteBytes(earlier, "earlier");
  for (const char* format : {"selig", "dxf", "svg"}) {
    EXPECT_EQ(Run({"--format", format, "--thickness", "1", "--camber", "1", "-o", earlier, foi}), 1) << format;
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(ReadBytes(earlier), "earlier");
    // The failure belongs to the file: it is named first.
    EXPECT_EQ(err.str(), "tarvelo-export: " + foi +
                             (std::string(format) == "selig"
                                  ? ": the outline at x = 0.38327731807204724 is beyond the range of a double\n"
                                  : ": the outline's control point 2 is beyond the range of a double\n"));
  }
  EXPECT_EQ(Run({foi}), 0);  // thickness and camber themselves are finite
}

// A section without camber is named symmetric, and any camber asked of it is
// refused by every outline format, nothing written: the smallest the
// command takes above 0 as much as 0.05 and -1.
TEST_F(ExportCommandTest, ASectionWithoutCamberTakesNone) {
  const std::string level = dir.file("level.FOI");
  test::WriteBytes(level, "level\r\n 4  4 \r\n"
                          "   0.00000   0.50000   0.00000\r\n   0.00000   0.50000   0.00000\r\n"
                          "   0.33333   0.50000   0.00000\r\n   1.00000   0.50000   0.00000\r\n");
  EXPECT_EQ(Run({"--format=selig", "--thickness=0.1", "--camber=0", "--points=2", level}), 0);
  EXPECT_EQ(out.str(), "level t/c=0.05 symmetric\n  1.0000000  0.0250000\n  0.0000000  0.0250000\n"
                       "  1.0000000 -0.0250000\n");
  for (const char* format : {"selig", "dxf", "svg", "properties"}) {
    for (const char* camber : {"0.05", "2.2250738585072014e-308", "-1"}) {
      EXPECT_EQ(Run({"--format", format, "--thickness=0.1", "--camber", camber, "-o", dir.file("x.out"), level}), 1);
      EXPECT_EQ(err.str(), "tarvelo-export: " + level + ": the section has no camber (its stored camber is 0 "
                           "everywhere): a largest camber of " + camber + " cannot be given it, only 0\n")
          << format;
      EXPECT_FALSE(std::filesystem::exists(dir.file("x.out"))) << format;
    }
  }
}

// Ordinates of 1e110 make every outline format's numbers finite, but the
// second moment of area (their cube) is not: the properties export refuses,
// naming it, writes nothing and leaves an earlier file as it was.
TEST_F(ExportCommandTest, PropertiesBeyondTheRangeOfADoubleExitWithOne) {
  const std::string big = "   1" + std::string(110, '0') + ".00000";
  const std::string foi = dir.file("big.FOI"), earlier = dir.file("earlier.json");
  test::WriteBytes(foi, "big\r\n 4  4 \r\n   0.00000" + big + big + "\r\n   0.00000" + big + big + "\r\n   0.33333" +
                            big + big + "\r\n   1.00000" + big + big + "\r\n");
  test::WriteBytes(earlier, "earlier");
  const std::vector<std::string> properties = {"--format=properties", "--thickness=1", "--camber=1"};
  for (const std::string& to : {std::string("-o"), std::string()}) {
    std::vector<std::string> args = properties;
    if (!to.empty()) args.insert(args.end(), {to, earlier});
    args.push_back(foi);
    EXPECT_EQ(Run(args), 1);
    EXPECT_EQ(err.str(), "tarvelo-export: " + foi + ": the section property ixx is beyond the range of a double\n");
    EXPECT_EQ(out.str(), "");
  }
  EXPECT_EQ(ReadBytes(earlier), "earlier");
  for (const char* format : {"selig", "dxf", "svg"}) {
    EXPECT_EQ(Run({"--format", format, "--thickness=1", "--camber=1", foi}), 0) << format;
    EXPECT_EQ(out.str().find("inf"), std::string::npos);
  }
}

// On a terminal a crafted ID line or file name cannot drive it.
TEST_F(ExportCommandTest, ControlCharactersReachATerminalAsCaretNotation) {
  std::string crafted = kFlat;
  crafted.replace(0, 4, "fl\x1b[2Jat\x7f");
  test::WriteBytes(dir.file("crafted.FOI"), crafted);
  const std::vector<std::string> selig = {"--format=selig", "--thickness=0.1", "--camber=0.5", "--points=2",
                                          dir.file("crafted.FOI")};
  EXPECT_EQ(Run(selig, true), 0);
  EXPECT_EQ(out.str(), "fl^[[2Jat^? t/c=0.05 f/c=0.05\n  1.0000000  0.0750000\n  0.0000000  0.0750000\n"
                       "  1.0000000  0.0250000\n");
  EXPECT_EQ(Run(selig), 0);
  EXPECT_EQ(out.str().substr(0, 10), "fl\x1b[2Jat\x7f ");
  EXPECT_EQ(Run({dir.file("\x1b[8m.FOI")}, true), 1);
  EXPECT_EQ(err.str(), "tarvelo-export: " + dir.file("^[[8m.FOI") + ": input file not found\n");
  EXPECT_EQ(Run({flat, "\x1b[8m"}, true), 2);
  EXPECT_EQ(err.str(), "tarvelo-export: extra operand '^[[8m'\nTry 'tarvelo-export --help' for more information.\n");
}

TEST_F(ExportCommandTest, UsageErrorsExitWithTwo) {
  const std::string f = flat;
  const std::vector<std::string> outline = {"--format", "dxf", "--thickness", "0.12", "--camber", "0"};
  const auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), outline.begin(), outline.end());
    return more;
  };
  const std::string thickness = "--thickness takes a fraction of the chord above 0 and at most 1: ";
  const std::string at = "--at takes chord positions from 0 to 1, separated by commas: ";
  const struct {
    std::vector<std::string> args;
    std::string text;
  } rows[] = {
      {{}, "missing FILE"},
      {{f, "b.FOI"}, "extra operand 'b.FOI'"},
      {{"--frobnicate", f}, "unrecognized option '--frobnicate'"},
      {{f, "--format"}, "option '--format' requires an argument"},
      {{"--format", "pdf", f}, "--format: unknown export format 'pdf': use table, selig, dxf, svg, properties or step"},
      {{"--format", "svg", "--camber", "0", f}, "selig, dxf, svg, properties and step need --thickness and --camber"},
      {{"--thickness", "0.12", f}, "the table takes neither --thickness nor --camber"},
      {{"--te-thickness", "0.003", f}, "--te-thickness is for the selig, dxf, svg, properties and step only"},
      {with({"--te-thickness", "-0.001", f}), "--te-thickness takes a fraction of the chord from 0 to 1: '-0.001'"},
      {with({"--te-thickness", "0.13", f}), "--te-thickness takes at most the --thickness"},
      {with({"--thickness", "12", f}), thickness + "'12'"},
      {with({"--thickness", "0", f}), thickness + "'0'"},
      {with({"--thickness", "nan", f}), thickness + "'nan'"},
      {with({"--camber", "-1.5", f}), "--camber takes a fraction of the chord from -1 to 1: '-1.5'"},
      {{"--points", "1", f}, "--points takes a whole number from 2 to 100000: '1'"},
      {{"--points", "4.5", f}, "--points takes a whole number from 2 to 100000: '4.5'"},
      {{"--at", "0.5,,1", f}, at + "''"},
      {{"--at", "0.5,1.5", f}, at + "'1.5'"},
      {{"--points", "5", "--at", "0.5", f}, "--points and --at exclude each other"},
      {{"--format", "selig", "--thickness", "0.1", "--camber", "0", "--at", "0.5", f},
       "--at is for the table only"},
      {with({"--points", "5", f}), "--points is for the table and selig only: dxf, svg, properties and step are exact"},
      {{"--format=svg", "--thickness=0.1", "--camber=0", "--points=81", f},
       "--points is for the table and selig only: dxf, svg, properties and step are exact"},
      {{"--list-formats=all"}, "option '--list-formats' doesn't allow an argument"},
      {{"--version=1", f}, "option '--version' doesn't allow an argument"},
      {{"--layoff", "across", f}, "--layoff across is for the selig, dxf, svg and step only: the table writes no "
                                  "outline coordinates"},
      {{"--format=properties", "--thickness=0.1", "--camber=0", "--layoff=across", f},
       "--layoff across is for the selig, dxf, svg and step only: the properties writes no outline coordinates"},
      {with({"--layoff", "normal", f}), "--layoff takes vertical or across: 'normal'"},
      {with({"--layoff", "Across", f}), "--layoff takes vertical or across: 'Across'"},
      {with({"--layoff=", f}), "--layoff takes vertical or across: ''"},
      {with({f, "--layoff"}), "option '--layoff' requires an argument"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Run(r.args), 2) << r.text;
    EXPECT_EQ(err.str(), "tarvelo-export: " + r.text +
                             "\nTry 'tarvelo-export --help' for more information.\n");
    EXPECT_EQ(out.str(), "") << r.text;
  }
  EXPECT_EQ(Run({"-o", dir.path().string() + "/./flat.FOI", f}), 2);
  EXPECT_EQ(err.str(), "tarvelo-export: " + dir.path().string() + "/./flat.FOI: output file is the input file\n");
  EXPECT_EQ(ReadBytes(f), kFlat);
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_EQ(out.str().rfind("Usage: tarvelo-export [OPTION]... FILE.FOI\n", 0), 0u);
  // The formats, their defaults and which need a size come from the library's table.
  EXPECT_NE(out.str().find(
                "      --format FORMAT  what to write (default table):\n"
                "                         table  x, normalised thickness and normalised\n"
                "                                camber at each chord position, 8 decimals\n"
                "                         selig  the outline as Selig coordinates: from the\n"
                "                                trailing edge over the upper surface to the\n"
                "                                leading edge and back along the lower one\n"
                "                         dxf    the outline as two cubic SPLINE entities on\n"
                "                                the layers UPPER and LOWER: exact, or within\n"
                "                                1e-9 of the chord laid off across\n"
                "                         svg    the outline as cubic Bezier paths, 1000\n"
                "                                units to the chord: exact, or within 1e-9 of\n"
                "                                the chord laid off across\n"
                "                         properties\n"
                "                                largest thickness and camber, leading-edge\n"
                "                                radius, trailing-edge thickness and angle,\n"
                "                                area, centroid and second moments of the\n"
                "                                outline, as one JSON object\n"),
            std::string::npos)
      << out.str();
  EXPECT_NE(out.str().find("      --points N       N cosine-spaced chord positions from 0 to 1, N from 2\n"
                           "                         to 100000 (default 41 for table, 81 per surface for\n"
                           "                         selig)\n"),
            std::string::npos)
      << out.str();
  EXPECT_NE(out.str().find("selig, dxf, svg, properties and step need --thickness and --camber; the\n"
                           "table takes neither.\n"
                           "--layoff across is for the selig, dxf, svg and step: the selig points are\n"
                           "exact at their stations, the drawings' splines within 1e-9 of the chord of\n"
                           "the outline (exact with --layoff vertical).\n"),
            std::string::npos)
      << out.str();
  EXPECT_EQ(Run({"--list-formats"}), 0);
  EXPECT_EQ(out.str(),
            "table\tx, normalised thickness and normalised camber at each chord position, 8 decimals\n"
            "selig\tthe outline as Selig coordinates: from the trailing edge over the upper surface to "
            "the leading edge and back along the lower one\n"
            "dxf\tthe outline as two cubic SPLINE entities on the layers UPPER and LOWER: exact, or within 1e-9 "
            "of the chord laid off across\n"
            "svg\tthe outline as cubic Bezier paths, 1000 units to the chord: exact, or within 1e-9 of the chord "
            "laid off across\n"
            "properties\tlargest thickness and camber, leading-edge radius, trailing-edge thickness and "
            "angle, area, centroid and second moments of the outline, as one JSON object\n"
            "step\tthe outline as B-spline curves bounding a planar face, in a STEP file (AP214): exact, or "
            "within 1e-9 of the chord laid off across; mm unless --units says\n");
  EXPECT_EQ(Run({"--version", f}), 0);
  EXPECT_EQ(out.str(), "tarvelo-export (TARVELO) 2.01\n");
}

}  // namespace
}  // namespace tarvelo
