// Names of any length in the library's tables: the help's lists keep their
// columns, and tarvelo-fit and tarvelo-export built on tables with a
// long-named placement and export format fit, export and list under them.
#include <gtest/gtest.h>
#include <tarvelo/tarvelo.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "cli/help.h"
#include "cli/run_program.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::ReadBytes;
using test::Started;

// A name one short of its column keeps one blank before its text; a name as
// long as the column stands on a line of its own; the text wraps at 76.
TEST(NamedListTest, ANameThatLeavesNoBlankStandsOnALineOfItsOwn) {
  const struct {
    NamedText entry;
    std::string lines;
  } rows[] = {
      {{"ab", "text"}, "  ab    text\n"},
      {{"abcde", "text"}, "  abcde text\n"},
      {{"abcdef", "text"}, "  abcdef\n        text\n"},
      {{"abcdefghijkl", "more text"}, "  abcdefghijkl\n        more text\n"},
      {{"ab", std::string(34, 'x') + " " + std::string(33, 'y')},
       "  ab    " + std::string(34, 'x') + " " + std::string(33, 'y') + "\n"},
      {{"ab", std::string(34, 'x') + " " + std::string(34, 'y')},
       "  ab    " + std::string(34, 'x') + "\n        " + std::string(34, 'y') + "\n"},
  };
  for (const auto& r : rows) EXPECT_EQ(NamedList({r.entry}, 2, 8), r.lines) << r.entry.first;
  EXPECT_EQ(NamedList({{"a", "one"}, {"abcdefgh", "two"}}, 2, 8), "  a     one\n  abcdefgh\n        two\n");
}

class LongNamesTest : public ::testing::Test {
 protected:
  LongNamesTest() {
    std::filesystem::copy_file(test::ExamplePath("naca2412.dat"), dir.path() / "naca2412.dat");
    std::filesystem::copy_file(test::ExamplePath("naca2412.FOI"), dir.path() / "naca2412.FOI");
  }
  test::Ran Fit(const std::string& args) { return Started(dir, fit + " " + args); }
  test::Ran Export(const std::string& args) { return Started(dir, exporter + " " + args); }

  test::TempDir dir;
  const std::string fit = TARVELO_FIT_LONG_NAMES_PROGRAM, exporter = TARVELO_EXPORT_LONG_NAMES_PROGRAM;
  const std::string placement = "bracketed-newton-with-long-name", format = "outline-for-computer-aided-design";
};

TEST_F(LongNamesTest, TheHelpListsLongNamesOnLinesOfTheirOwn) {
  const test::Ran fitHelp = Fit("--help");
  EXPECT_EQ(fitHelp.status, 0);
  EXPECT_NE(fitHelp.out.find(
                "      --placement=HOW  where each data point is placed on the fitted curves:\n"
                "                         window  the window's search: every number as the\n"
                "                                 window gives it, but data near the leading\n"
                "                                 edge fitted off their chord position\n"
                "                         exact   each data point at its own chord position,\n"
                "                                 to full precision\n"
                "                         bracketed-newton-with-long-name\n"
                "                                 each data point at its own chord position,\n"
                "                                 to full precision, under a name longer than\n"
                "                                 any column\n"
                "                         (default window)\n"),
            std::string::npos)
      << fitHelp.out;
  EXPECT_NE(fitHelp.out.find("      --export FORMAT[,FORMAT...]  write the fitted section at its own size\n"
                             "                         beside the .FOI, as <stem>-table.txt (table),\n"
                             "                         -outline.dat (selig), .dxf (dxf), .svg (svg),\n"
                             "                         -properties.json (properties), .step (step),\n"
                             "                         -long-name.dxf (outline-for-computer-aided-design)\n"),
            std::string::npos)
      << fitHelp.out;
  const test::Ran exportHelp = Export("--help");
  EXPECT_EQ(exportHelp.status, 0);
  EXPECT_NE(exportHelp.out.find("                         properties\n"
                                "                                largest thickness and camber, leading-edge\n"
                                "                                radius, trailing-edge thickness and angle,\n"
                                "                                area, centroid and second moments of the\n"
                                "                                outline, as one JSON object\n"
                                "                         step   the outline as B-spline curves bounding a\n"
                                "                                planar face, in a STEP file (AP214): exact,\n"
                                "                                or within 1e-9 of the chord laid off across;\n"
                                "                                mm unless --units says\n"
                                "                         outline-for-computer-aided-design\n"
                                "                                the exact outline as two cubic SPLINE\n"
                                "                                entities, as the dxf format writes it\n"
                                "      --thickness T"),
            std::string::npos)
      << exportHelp.out;
  // No line of either help runs past the terminal's 80 columns.
  for (const std::string& help : {fitHelp.out, exportHelp.out}) {
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
  }
}

TEST_F(LongNamesTest, ProgramsFitExportAndListUnderLongNames) {
  const test::Ran fitted = Fit("--json --placement=" + placement + " -o " + dir.file("long.FOI") + " " +
                               dir.file("naca2412.dat"));
  ASSERT_EQ(fitted.status, 0) << fitted.err;
  EXPECT_EQ(nlohmann::json::parse(fitted.out)["placement"], placement);
  ASSERT_EQ(Fit("--placement=exact -o " + dir.file("exact.FOI") + " " + dir.file("naca2412.dat")).status, 0);
  EXPECT_EQ(ReadBytes(dir.file("long.FOI")), ReadBytes(dir.file("exact.FOI")));  // it places as "exact"

  // tarvelo-fit --export in the long format writes what the dxf writes, under its ending.
  const test::Ran both = Fit("--quiet --export " + format + ",dxf -o " + dir.file("e.FOI") + " " +
                             dir.file("naca2412.dat"));
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_FALSE(ReadBytes(dir.file("e.dxf")).empty());
  EXPECT_EQ(ReadBytes(dir.file("e-long-name.dxf")), ReadBytes(dir.file("e.dxf")));

  const test::Ran exported =
      Export("--format " + format + " --thickness 0.12 --camber 0.02 " + dir.file("naca2412.FOI"));
  EXPECT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out, ExportDxf(ReadFoilFile(dir.file("naca2412.FOI")), {0.12, 0.02}));

  const test::Ran listed = Export("--list-formats");
  EXPECT_EQ(listed.status, 0);
  std::string table;
  for (const ExportFormat& f : ExportFormats()) table += std::string(f.name) + '\t' + f.description + '\n';
  EXPECT_EQ(listed.out, table + format + "\tthe exact outline as two cubic SPLINE entities, as the dxf format writes it\n");

  const test::Ran unknown = Export("--format pdf " + dir.file("naca2412.FOI"));
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "tarvelo-export: --format: unknown export format 'pdf': use table, selig, dxf, svg, "
                         "properties, step or " + format + "\nTry 'tarvelo-export --help' for more information.\n");
}

}  // namespace
}  // namespace tarvelo
