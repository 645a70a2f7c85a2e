// tarvelo-blade end to end: what it writes and where, what it says, and
// what it refuses, with nothing written then.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <tarvelo/tarvelo.h>

#include <filesystem>
#include <sstream>

#include "cli/blade_command.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;

class BladeCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(test::ExamplePath("blade/propeller.txt"), table);
    fs::copy_file(test::ExamplePath("blade/section.FOI"), foil);
  }
  int Run(std::vector<std::string> args) {
    out.str("");
    err.str("");
    return RunBladeCommand(args, out, err);
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempDir dir;
  std::string table = dir.file("prop.txt");
  std::string foil = dir.file("section.FOI");
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(BladeCommandTest, WritesTheStepBesideTheTableAndSaysWhatItMade) {
  EXPECT_EQ(Run({"--section", foil, "--tolerance", "1e-5", table}), 0);
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(Files(), (std::vector<std::string>{"prop.step", "prop.txt", "section.FOI"}));
  const std::string said = out.str();
  EXPECT_EQ(said.rfind("3 blades, diameter 304.8 mm, volume ", 0), 0u) << said;
  EXPECT_NE(said.find("\nwrote " + dir.file("prop.step") + ": 3 solids, valid and closed\n"), std::string::npos) << said;
  EXPECT_EQ(ReadBytes(dir.file("prop.step")).rfind("ISO-10303-21;", 0), 0u);
}

TEST_F(BladeCommandTest, JsonHasTheKeysAndTheLibrarysNumbers) {
  fs::create_directory(dir.file("out"));
  EXPECT_EQ(Run({"--section", foil, "--export", "csv,svg", "--output-dir", dir.file("out"), "--json", "--blades", "4",
                 "--units", "m", table}),
            0);
  const nlohmann::ordered_json j = nlohmann::ordered_json::parse(out.str());
  std::vector<std::string> keys;
  for (const auto& [k, v] : j.items()) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"diameter", "units", "blades", "volume", "expanded_area_ratio",
                                            "projected_area_ratio", "tolerance", "max_deviation", "max_deviation_r",
                                            "max_deviation_x", "max_deviation_side", "planar", "left_handed",
                                            "sections", "outputs", "seconds"}));
  BladeOptions o;
  o.blades = 4;
  o.units = LengthUnit::Metre;
  const Blade b = MakeBlade(ReadBladeTable(table), ReadFoilFile(foil), o);
  EXPECT_EQ(j["diameter"].get<double>(), b.diameter);
  EXPECT_EQ(j["units"], "m");
  EXPECT_EQ(j["blades"], 4);
  EXPECT_EQ(j["volume"].get<double>(), b.volume);
  EXPECT_EQ(j["expanded_area_ratio"].get<double>(), b.expanded_area_ratio);
  EXPECT_EQ(j["max_deviation"].get<double>(), b.max_deviation.deviation);
  EXPECT_EQ(j["max_deviation_side"], b.max_deviation.side);
  ASSERT_EQ(j["sections"].size(), 10u);
  EXPECT_EQ(j["sections"][0]["properties"]["area"].get<double>(), b.sections[0].properties.area);
  EXPECT_EQ(j["outputs"][0]["file"], dir.file("out") + "/prop-sections.csv");
  EXPECT_EQ(ReadBytes(dir.file("out/prop-sections.csv")), ExportBlade(b, "csv"));
  EXPECT_EQ(ReadBytes(dir.file("out/prop.svg")), ExportBlade(b, "svg"));
  EXPECT_EQ(err.str(), "");
}

TEST_F(BladeCommandTest, TheCsvHoldsEachRowsSectionAsTheDefinitionGivesIt) {
  EXPECT_EQ(Run({"--section", foil, "--export", "csv", "-o", dir.file("s.csv"), "--tolerance", "1e-4", table}), 0);
  const std::string csv = ReadBytes(dir.file("s.csv"));
  EXPECT_EQ(csv.rfind("r/R,side,x,X,Y,Z\n0.2,back,0,", 0), 0u);
  // 10 rows, 41 stations a side.
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 10 * 2 * 41);
  BladeOptions o;
  o.tolerance = 1e-4;
  const Blade b = MakeBlade(ReadBladeTable(table), ReadFoilFile(foil), o);
  // The trailing edge, x = 1 exactly.
  const std::size_t at = csv.find("\n0.5,face,1,");
  ASSERT_NE(at, std::string::npos);
  std::istringstream line(csv.substr(at + 12, csv.find('\n', at + 1) - at - 12));
  std::array<double, 3> p{};
  char comma = 0;
  line >> p[0] >> comma >> p[1] >> comma >> p[2];
  EXPECT_EQ(p, BladePoint(b, 0.5, 1, false));
}

TEST_F(BladeCommandTest, RefusalsSayWhyAndWriteNothing) {
  test::WriteBytes(dir.file("bad.txt"), "r/R c/D P/D t0/c f0/c\n0.2 0.3 1 0.1 0.02\n0.2 0.3 1 0.1 0.02\n");
  test::WriteBytes(dir.file("prop.step"), "earlier");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string said;
  } cases[] = {
      {{"--section", foil, dir.file("bad.txt")}, 1,
       "tarvelo-blade: " + dir.file("bad.txt") + ": line 3, column r/R: r/R must increase from row to row (0.2 after 0.2)\n"},
      {{"--section", dir.file("none.FOI"), table}, 1, "tarvelo-blade: " + dir.file("none.FOI") + ": input file not found\n"},
      {{table}, 2, "tarvelo-blade: missing --section FILE.FOI\nTry 'tarvelo-blade --help' for more information.\n"},
      {{"--section", foil}, 2, "tarvelo-blade: missing TABLE\nTry 'tarvelo-blade --help' for more information.\n"},
      {{"--section", foil, table, table}, 2,
       "tarvelo-blade: one TABLE at a time: extra operand '" + table + "'\nTry 'tarvelo-blade --help' for more information.\n"},
      {{"--section", foil, "--export", "step,dxf", table}, 2,
       "tarvelo-blade: --export: unknown blade format 'dxf': use step, iges, stl, csv or svg\nTry 'tarvelo-blade --help' "
       "for more information.\n"},
      {{"--section", foil, "--export", "csv,csv", table}, 2,
       "tarvelo-blade: --export names csv twice\nTry 'tarvelo-blade --help' for more information.\n"},
      {{"--section", foil, "--export", "csv,svg", "-o", dir.file("x"), table}, 2,
       "tarvelo-blade: -o takes one export; use --output-dir for several\nTry 'tarvelo-blade --help' for more "
       "information.\n"},
      {{"--section", foil, "-o", dir.file("x"), "--output-dir", dir.path().string(), table}, 2,
       "tarvelo-blade: -o and --output-dir exclude each other\nTry 'tarvelo-blade --help' for more information.\n"},
      {{"--section", foil, "-o", table, table}, 2,
       "tarvelo-blade: " + table + ": the output would replace the input " + table +
           "\nTry 'tarvelo-blade --help' for more information.\n"},
      {{"--section", foil, "--tolerance", "1.1e-3", table}, 2,
       "tarvelo-blade: --tolerance takes a fraction of the diameter from 1e-9 to 1e-3: '1.1e-3'\nTry 'tarvelo-blade "
       "--help' for more information.\n"},
      {{"--section", foil, "--tolerance", "0.9e-9", table}, 2,
       "tarvelo-blade: --tolerance takes a fraction of the diameter from 1e-9 to 1e-3: '0.9e-9'\nTry 'tarvelo-blade "
       "--help' for more information.\n"},
      {{"--section", foil, "--blades", "65", table}, 2,
       "tarvelo-blade: --blades takes 1 to 64\nTry 'tarvelo-blade --help' for more information.\n"},
      {{"--section", foil, "--blades", "0", table}, 2,
       "tarvelo-blade: --blades takes 1 to 64\nTry 'tarvelo-blade --help' for more information.\n"},
      {{"--section", foil, "--diameter", "0", table}, 2,
       "tarvelo-blade: --diameter takes a length above 0 and at most 1e6: '0'\nTry 'tarvelo-blade --help' for more "
       "information.\n"},
      {{"--section", foil, "--units", "ft", table}, 2,
       "tarvelo-blade: --units takes mm, cm, m or in: 'ft'\nTry 'tarvelo-blade --help' for more information.\n"},
      {{"--section", foil, "--planar=yes", table}, 2,
       "tarvelo-blade: option '--planar' doesn't allow an argument\nTry 'tarvelo-blade --help' for more "
       "information.\n"},
      {{"--section", foil, "--stl-tolerance", "0.02", table}, 2,
       "tarvelo-blade: --stl-tolerance takes a fraction of the diameter from 1e-7 to 1e-2: '0.02'\nTry 'tarvelo-blade "
       "--help' for more information.\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.args), c.status) << c.said;
    EXPECT_EQ(err.str(), c.said);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Files(), (std::vector<std::string>{"bad.txt", "prop.step", "prop.txt", "section.FOI"})) << c.said;
    EXPECT_EQ(ReadBytes(dir.file("prop.step")), "earlier");
  }
  // A table with neither a diameter nor a blade count: the library's usage error.
  test::WriteBytes(dir.file("bare.txt"), "r/R c/D P/D t0/c f0/c\n0.2 0.3 1 0.1 0.02\n1 0.2 1 0.1 0.02\n");
  EXPECT_EQ(Run({"--section", foil, dir.file("bare.txt")}), 2);
  EXPECT_EQ(err.str(),
            "tarvelo-blade: the diameter is given neither by the table nor by the options\nTry 'tarvelo-blade --help' "
            "for more information.\n");
  EXPECT_EQ(Run({"--section", foil, "--diameter", "100", "--blades", "1", "--tolerance", "1e-4", dir.file("bare.txt")}),
            0);
}

TEST_F(BladeCommandTest, HelpAndVersion) {
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_EQ(out.str().rfind("Usage: tarvelo-blade [OPTION]... --section FILE.FOI TABLE\n", 0), 0u);
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_EQ(out.str(), "tarvelo-blade (TARVELO) 2.01\n");
}

// The program away from the build tree and any installation finds no CAD
// module: the formats that need it say so, the others are written.
TEST(BladeProgramTest, WithoutTheCadModuleOnlyTheSolidsAreRefused) {
  test::TempDir dir;
  const std::string program = dir.file("tarvelo-blade");
  fs::copy_file(TARVELO_BLADE_PROGRAM, program);
  const std::string table = test::ExamplePath("blade/propeller.txt"), foil = test::ExamplePath("blade/section.FOI");
  const std::string run = program + " --section " + foil + " --tolerance 1e-4 --output-dir " + dir.path().string() +
                          " " + table + " > " + dir.file("out") + " 2> " + dir.file("err");
  EXPECT_EQ(WEXITSTATUS(std::system((run.substr(0, run.find(" --output-dir")) + " --export csv,step" +
                                     run.substr(run.find(" --output-dir")))
                                        .c_str())),
            1);
  const std::string said = ReadBytes(dir.file("err"));
  EXPECT_EQ(said.rfind("tarvelo-blade: ", 0), 0u);
  EXPECT_NE(said.find("/tarvelo/tarvelo-cad.so: the CAD module is not installed\n"), std::string::npos) << said;
  EXPECT_FALSE(fs::exists(dir.file("propeller-sections.csv")));
  EXPECT_EQ(WEXITSTATUS(std::system((run.substr(0, run.find(" --output-dir")) + " --export csv,svg" +
                                     run.substr(run.find(" --output-dir")))
                                        .c_str())),
            0);
  EXPECT_TRUE(fs::exists(dir.file("propeller-sections.csv")));
  EXPECT_TRUE(fs::exists(dir.file("propeller.svg")));
}

}  // namespace
}  // namespace tarvelo
