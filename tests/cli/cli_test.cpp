// tarvelo-fit end to end on copies of the bundled sections.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/fit_command.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::ReadBytes;

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    for (const char* name : {"naca2412.dat", "naca0012.dat"})
      std::filesystem::copy_file(test::ExamplePath(name), dir.path() / name);
  }
  int Run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    for (std::string& a : args)
      if (a.size() > 4 && a.compare(a.size() - 4, 4, ".dat") == 0) a = dir.file(a);
    return RunFitCommand(args, out, err);
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
  EXPECT_EQ(ReadBytes(dir.file("naca2412.FOI")),
            "NACA 2412, standard thickness and camber, 26 stations\r\n"
            " 8  4 \r\n"
            "   0.00000   0.00000   0.00000\r\n"
            "   0.00000   0.19721   0.00242\r\n"
            "   0.02667   0.56401   0.13253\r\n"
            "   0.14667   0.95632   0.65961\r\n"
            "   0.34667   1.05144   1.08277\r\n"
            "   0.62667   0.76426   0.93054\r\n"
            "   0.86667   0.32889   0.45262\r\n"
            "   1.00000   0.02099   0.00000\r\n");
}

TEST_F(CliTest, ScreensComeInCycleOrderAndTheGraphicAsSvg) {
  EXPECT_EQ(Run({"--screens", "-n", "04", "--svg", dir.file("g.svg"), "naca2412.dat"}), 0);
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
}

TEST_F(CliTest, FailedRunsReportOnStandardErrorAndTheOthersGoOn) {
  test::WriteBytes(dir.file("few.dat"), "few\r\n3\r\n0,0,0,0\r\n50,5,5,1\r\n100,0,0,0\r\n");
  EXPECT_EQ(Run({"missing.dat", "few.dat", "naca0012.dat"}), 1);
  EXPECT_EQ(err.str(), "  " + dir.file("missing.dat") + " - Input file not found !! \n"
                       "*** Insufficient data. For 8  control points,\n"
                       "  you need at least 9  data points. ****\n");
  EXPECT_EQ(OutLines().size(), 37u);
  EXPECT_FALSE(ReadBytes(dir.file("naca0012.FOI")).empty());

  EXPECT_EQ(Run({"-n", "21", "naca0012.dat"}), 1);
  EXPECT_EQ(err.str(), "   4 to 20 control points are allowed !! \n");
  EXPECT_EQ(Run({"-o", dir.file("nodir/x.FOI"), "naca0012.dat"}), 1);
  EXPECT_EQ(err.str(), "  " + dir.file("nodir/x.FOI") + " - Output file could not be written !! \n");
}

TEST_F(CliTest, FoilNumberNamesTheOutputOrGivesTheFieldsMessage) {
  EXPECT_EQ(Run({"--foil-number", "123", "naca0012.dat"}), 0);
  EXPECT_FALSE(ReadBytes(dir.file("Type123.FOI")).empty());
  const struct {
    const char* number;
    const char* message;
  } refused[] = {{"99", "   Numbers between 101 and 255 are allowed !!"},
                 {"256", "   Numbers between 101 and 255 are allowed !!"},
                 {"12a", "   Only numbers are allowed !! "},
                 {"1234", "   Only the first 3 digits are used for filename !!"}};
  for (const auto& r : refused) {
    EXPECT_EQ(Run({"--foil-number", r.number, "naca2412.dat"}), 1) << r.number;
    EXPECT_EQ(err.str(), std::string(r.message) + "\n") << r.number;
    EXPECT_EQ(out.str(), "") << r.number;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("naca2412.FOI")));
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"-n", "8x", "naca0012.dat"},
                                             {"-n"},
                                             {"--frobnicate", "naca0012.dat"},
                                             {"-o", "a.FOI", "naca0012.dat", "naca2412.dat"},
                                             {"-o", "a.FOI", "--foil-number", "123", "naca0012.dat"}}) {
    EXPECT_EQ(Run(args), 2);
    EXPECT_NE(err.str().find("Try 'tarvelo-fit --help'"), std::string::npos);
  }
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_EQ(out.str().rfind("Usage: tarvelo-fit [OPTION]... FILE...\n", 0), 0u);
}

}  // namespace
}  // namespace tarvelo
