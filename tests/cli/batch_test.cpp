// A whole collection of outlines in one run: output directories, names from
// any input, standard input and output, outputs that would collide, the
// summary and the progress line.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <tarvelo/tarvelo.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/export_command.h"
#include "cli/fit_command.h"
#include "cli/import_command.h"
#include "import/outlines.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;

// The fields of a CSV line (RFC 4180 quoting).
std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

class BatchTest : public ::testing::Test {
 protected:
  BatchTest() {
    fs::create_directory(dir.path() / "db");
    fs::copy_file(test::ExamplePath("coordinates/naca4412.dat"), db("naca4412.dat"));
    // A Clark-Y-like section whose lower surface stops short, in a file
    // without an extension; and a turned, scaled one named .selig.
    test::Surfaces s = test::NacaSurfaces({0.035, 0.3, 0.117}, 61);
    while (s.lower.back().x > 0.95) s.lower.pop_back();
    test::WriteBytes(db("clarky"), test::SeligText("CLARK Y-like", test::Selig(s)));
    test::WriteBytes(db("turned.selig"),
                     test::SeligText("turned", test::Placed(test::Selig(test::NacaSurfaces({0.02, 0.4, 0.1}, 61)),
                                                            150, 3, 10, -5)));
  }
  std::string db(const std::string& name) const { return dir.file("db/" + name); }
  int Fit(const std::vector<std::string>& args, ProgressDisplay display = {}) {
    out.str("");
    err.str("");
    return RunFitCommand(args, out, err, false, display);
  }

  test::TempDir dir;
  std::ostringstream out;
  std::ostringstream err;
};

// One command fits a folder by tolerance, exports each for CAD into an
// output folder and writes a summary whose figures are the --json records'.
TEST_F(BatchTest, AFolderOfOutlinesFittedExportedAndSummarised) {
  const std::string outDir = dir.file("out");
  fs::create_directory(outDir);
  const std::vector<std::string> inputs = {db("naca4412.dat"), db("clarky"), db("turned.selig")};
  std::vector<std::string> args = {"--coordinates", "--stations=161", "--placement=exact",
                                   "--auto-outline", "--max-control-points=40", "--export=dxf,selig",
                                   "--output-dir", outDir, "--summary", outDir + "/summary.csv", "--json"};
  args.insert(args.end(), inputs.begin(), inputs.end());
  ASSERT_EQ(Fit(args), 0) << err.str();
  const std::vector<std::string> records = Lines(out.str());
  ASSERT_EQ(records.size(), 3u);
  const std::vector<std::string> rows = Lines(ReadBytes(outDir + "/summary.csv"));
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0],
            "file,output,control_points,placement,thickness_rms,thickness_max_deviation,camber_rms,"
            "camber_max_deviation,outline_deviation,tolerance,reached,thickness_scale,camber_scale,warnings,error");
  const std::map<std::string, std::string> stems = {
      {inputs[0], "naca4412"}, {inputs[1], "clarky"}, {inputs[2], "turned"}};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto j = nlohmann::json::parse(records[i]);
    const std::vector<std::string> f = CsvFields(rows[i + 1]);
    ASSERT_EQ(f.size(), 15u) << rows[i + 1];
    const std::string stem = stems.at(inputs[i]);
    EXPECT_EQ(j["file"], inputs[i]);
    EXPECT_EQ(f[0], inputs[i]);
    EXPECT_EQ(f[1], outDir + "/" + stem + ".FOI");
    EXPECT_EQ(j["output"], f[1]);
    EXPECT_EQ(j["exports"], nlohmann::json({outDir + "/" + stem + ".dxf", outDir + "/" + stem + "-outline.dat"}));
    EXPECT_EQ(f[2], std::to_string(j["control_points"].get<int>()));
    EXPECT_EQ(f[3], "exact");
    // The figures as --json writes them, to the last digit.
    EXPECT_EQ(f[4], j["thickness"]["rms"].dump());
    EXPECT_EQ(f[5], j["thickness"]["max_deviation"].dump());
    EXPECT_EQ(f[6], j["camber"]["rms"].dump());
    EXPECT_EQ(f[7], j["camber"]["max_deviation"].dump());
    EXPECT_EQ(f[8], j["outline_deviation"].dump());
    EXPECT_EQ(f[9], "1e-4");
    EXPECT_EQ(f[10], j["reached"].get<bool>() ? "yes" : "no");
    EXPECT_EQ(f[11], j["thickness"]["ymax"].dump());
    EXPECT_EQ(f[13], j["import"]["warnings"].empty() ? "" : j["import"]["warnings"][0].get<std::string>());
    EXPECT_EQ(f[14], "");
    // The Clark-Y-like outline has a corner where its short surface is
    // continued: no spline follows it to 1e-4, and the run says so.
    EXPECT_EQ(j["reached"].get<bool>(), stem != "clarky") << stem;
    EXPECT_EQ(j["outline_deviation"].get<double>() <= 1e-4, stem != "clarky") << stem;
    for (const char* ending : {".FOI", ".dxf", "-outline.dat"}) EXPECT_TRUE(fs::exists(outDir + "/" + stem + ending));
  }
  EXPECT_EQ(CsvFields(rows[2])[13].rfind("The lower surface ends", 0), 0u) << rows[2];
  EXPECT_EQ(CsvFields(rows[3])[13], "");
  // A failed input has its row, with its error, and the others are written.
  test::WriteBytes(db("bad.dat"), "bad\n1 0\nx 1\n");
  EXPECT_EQ(Fit({"--coordinates", "--quiet", "--output-dir", outDir, "--summary", outDir + "/summary.csv",
                 db("bad.dat"), db("clarky")}),
            1);
  EXPECT_EQ(out.str(), "");  // --quiet: no screens
  const std::vector<std::string> again = Lines(ReadBytes(outDir + "/summary.csv"));
  ASSERT_EQ(again.size(), 3u);
  // Its output column names nothing: nothing of it was written.
  EXPECT_EQ(CsvFields(again[1]), (std::vector<std::string>{db("bad.dat"), "", "", "", "", "", "",
                                                            "", "", "", "", "", "", "",
                                                            db("bad.dat") + ": invalid number in line 3"}));
  // Without --auto the tolerance and whether it was reached are left empty.
  const ImportedSection clarky = ImportOutline(db("clarky"));
  const tarvelo::Fit fit = FitSection(clarky.section, 8);
  const auto number = [](double v) { return nlohmann::json(v).dump(); };
  ASSERT_EQ(clarky.warnings.size(), 1u);
  EXPECT_EQ(CsvFields(again[2]),
            (std::vector<std::string>{db("clarky"), outDir + "/clarky.FOI", "8", "window", number(fit.thickness.rms),
                                      number(fit.thickness.max_deviation), number(fit.camber.rms),
                                      number(fit.camber.max_deviation), number(OutlineDeviationOf(fit, clarky).deviation),
                                      "", "", number(OwnSize(fit).thickness), number(OwnSize(fit).camber),
                                      clarky.warnings[0], ""}));
}

// Before anything is written, a run whose inputs would write one output, or
// whose output would be an input, is refused, naming both.
TEST_F(BatchTest, CollidingOutputsAreRefusedBeforeAnythingIsWritten) {
  fs::copy_file(db("clarky"), db("clarky.txt"));
  fs::copy_file(db("clarky"), db("clarky.dat"));
  EXPECT_EQ(Fit({"--coordinates", "--json", db("clarky.dat"), db("clarky.txt")}), 2);
  EXPECT_EQ(err.str(), "tarvelo-fit: " + db("clarky.dat") + " and " + db("clarky.txt") + " would both write " +
                           db("clarky.FOI") + "\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(fs::exists(db("clarky.FOI")));
  // An export named as another input: clarky.dat's Selig file is ...-outline.dat.
  fs::copy_file(db("clarky"), db("wing-outline.dat"));
  test::WriteBytes(db("wing.txt"), ReadBytes(db("clarky")));
  EXPECT_EQ(Fit({"--coordinates", "--export=selig", db("wing.txt"), db("wing-outline.dat")}), 2);
  EXPECT_EQ(err.str(), "tarvelo-fit: " + db("wing-outline.dat") + " would replace the input " +
                           db("wing-outline.dat") + " (written for " + db("wing.txt") + ")\n");
  EXPECT_FALSE(fs::exists(db("wing.FOI")));
  // The summary is an output too.
  EXPECT_EQ(Fit({"--coordinates", "--summary", db("clarky.txt"), db("clarky.txt")}), 2);
  EXPECT_EQ(err.str(), "tarvelo-fit: " + db("clarky.txt") + " would replace the input " + db("clarky.txt") +
                           " (written for the summary)\n");
  // tarvelo-import and tarvelo-export check theirs the same way.
  std::ostringstream o, e;
  EXPECT_EQ(RunImportCommand({"--output-dir", dir.file("db"), db("clarky"), db("clarky.txt")}, o, e), 2);
  EXPECT_EQ(e.str(), "tarvelo-import: " + db("clarky") + " and " + db("clarky.txt") + " would both write " +
                         db("clarky-section.dat") + "\n");
}

// Any name is taken where the run names the output; standard input and
// output stand for files; tarvelo-import and tarvelo-export take several
// inputs into a directory.
TEST_F(BatchTest, NamesFromAnyInputStandardStreamsAndSeveralInputs) {
  fs::copy_file(db("clarky"), db(".clarky"));  // a leading dot starts the stem, not an extension
  EXPECT_EQ(Fit({"--coordinates", "--quiet", db("clarky"), db("turned.selig"), db(".clarky")}), 0) << err.str();
  EXPECT_TRUE(fs::exists(db("clarky.FOI")) && fs::exists(db("turned.FOI")) && fs::exists(db(".clarky.FOI")));
  EXPECT_EQ(Fit({"--coordinates", "-o", dir.file("mh32.FOI"), db("clarky")}), 0);
  // A section data file keeps the window's rule unless the output is named.
  fs::copy_file(test::ExamplePath("naca2412.dat"), db("naca2412"));
  EXPECT_EQ(Fit({db("naca2412")}), 1);
  EXPECT_EQ(err.str(), "tarvelo-fit: " + db("naca2412") + ": input file name invalid: it has no point fourth from its end\n");
  EXPECT_EQ(Fit({"--output-dir", dir.file("db"), db("naca2412")}), 0);
  EXPECT_EQ(ReadBytes(db("naca2412.FOI")), ReadBytes(test::ExamplePath("naca2412.FOI")));

  // Standard input in, standard output out, through the real program.
  const std::string fit = TARVELO_FIT_PROGRAM;
  const auto run = [](const std::string& cmd) {
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run(fit + " --coordinates -o - - < " + db("clarky") + " > " + dir.file("piped.FOI") + " 2> " +
                dir.file("err.txt")),
            0)
      << ReadBytes(dir.file("err.txt"));
  EXPECT_EQ(Fit({"--coordinates", "-o", dir.file("file.FOI"), db("clarky")}), 0);
  // The section is named by the file, or by "standard input" where it has no name line.
  EXPECT_EQ(ReadBytes(dir.file("piped.FOI")), ReadBytes(dir.file("file.FOI")));
  EXPECT_EQ(run(fit + " - < " + db("clarky") + " 2> " + dir.file("err.txt")), 2);
  EXPECT_EQ(ReadBytes(dir.file("err.txt")),
            "tarvelo-fit: standard input ('-') needs -o OUT\nTry 'tarvelo-fit --help' for more information.\n");

  std::ostringstream o, e;
  const std::string sections = dir.file("sections");
  fs::create_directory(sections);
  EXPECT_EQ(RunImportCommand({"--output-dir", sections, db("clarky"), db("turned.selig")}, o, e), 0) << e.str();
  EXPECT_EQ(o.str(), "");
  EXPECT_EQ(ReadBytes(sections + "/clarky-section.dat"), SectionFileText(ImportOutline(db("clarky")).section));
  EXPECT_EQ(ReadBytes(sections + "/turned-section.dat"), SectionFileText(ImportOutline(db("turned.selig")).section));
  std::ostringstream eo, ee;
  EXPECT_EQ(RunExportCommand({"--format=svg", "--thickness=0.1", "--camber=0.02", "--output-dir", sections,
                              db("clarky.FOI"), db("turned.FOI")},
                             eo, ee),
            0)
      << ee.str();
  EXPECT_EQ(ReadBytes(sections + "/turned.svg"), ExportSvg(ReadFoilFile(db("turned.FOI")), {0.1, 0.02}));
  EXPECT_TRUE(fs::exists(sections + "/clarky.svg"));
}

// On a terminal, a line says which file of how many is being fitted once
// the work has taken a second; it is erased before every message and at the
// end, and never written where standard error is not a terminal.
TEST_F(BatchTest, ProgressOnATerminalAfterTheFirstSecond) {
  double now = 0;
  const auto clock = [&now] { return now += 0.6; };  // each look at the clock: 0.6 s later
  ASSERT_EQ(Fit({"--coordinates", "--quiet", db("clarky"), db("naca4412.dat"), db("turned.selig")},
                {true, clock}),
            0);
  const std::string line = "\r\x1b[K";
  const std::string said = err.str();
  EXPECT_EQ(said.find(line + "file 1 of 3"), std::string::npos) << "the first second";
  // Each progress line is erased before the next message, which then stands
  // on a line of its own.
  EXPECT_NE(said.find(line + "file 2 of 3: " + db("naca4412.dat") + line + "tarvelo-fit: "), std::string::npos)
      << said;
  EXPECT_NE(said.find(line + "file 3 of 3: " + db("turned.selig") + line + "tarvelo-fit: " + db("turned.selig")),
            std::string::npos)
      << said;
  EXPECT_TRUE(said.ends_with("\n") || said.ends_with(line)) << said;
  ASSERT_EQ(Fit({"--coordinates", "--quiet", db("clarky"), db("naca4412.dat")}, {false, clock}), 0);
  EXPECT_EQ(err.str().find('\r'), std::string::npos);
}

}  // namespace
}  // namespace tarvelo
