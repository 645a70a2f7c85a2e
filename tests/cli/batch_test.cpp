// A whole collection of outlines in one run: output directories, names from
// any input, standard input and output, outputs that would collide, the
// summary and the progress line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <tarvelo/tarvelo.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

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
  // tarvelo-import and tarvelo-export go through the same batch, and show the same line.
  std::ostringstream o, e;
  ASSERT_EQ(RunImportCommand({"--output-dir", dir.file("out"), db("clarky"), db("naca4412.dat"), db("turned.selig")},
                             o, e, false, {true, clock}),
            0);
  EXPECT_NE(e.str().find(line + "file 3 of 3: " + db("turned.selig") + line + "tarvelo-import: " + db("turned.selig")),
            std::string::npos)
      << e.str();
  std::ostringstream eo, ee;
  ASSERT_EQ(RunExportCommand({"--output-dir", dir.file("out"), dir.file("out/clarky-section.dat"),
                              dir.file("out/naca4412-section.dat")},
                             eo, ee, false, {true, clock}),
            1);
  EXPECT_NE(ee.str().find(line + "file 2 of 2: " + dir.file("out/naca4412-section.dat") + line + "tarvelo-export: "),
            std::string::npos)
      << ee.str();
}

// Everything of an input is made before anything of it is written: an
// input that fails leaves none of its outputs, and its summary row and JSON
// record name none. Here a trailing edge 0.08 thick is more than a 6 %
// section has.
TEST_F(BatchTest, AnInputThatFailsLeavesNoneOfItsOutputs) {
  const std::string thick = db("naca2412.dat"), thin = db("naca16-206-a08.dat"), outDir = dir.file("out");
  fs::copy_file(test::ExamplePath("naca2412.dat"), thick);
  fs::copy_file(test::ExamplePath("naca16-206-a08.dat"), thin);
  const std::string summary = dir.file("summary.csv");
  EXPECT_EQ(Fit({"--export", "dxf", "--te-thickness", "0.08", "--output-dir", outDir, "--summary", summary, "--json",
                 thin, thick}),
            1);
  const std::string failure = thin + ": the trailing-edge thickness must be from 0 to the largest thickness";
  EXPECT_NE(err.str().find("\ntarvelo-fit: " + failure + "\n"), std::string::npos) << err.str();
  EXPECT_EQ(err.str().find(failure), err.str().rfind(failure)) << "said once";
  const std::vector<std::string> records = Lines(out.str());
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0], nlohmann::ordered_json({{"file", thin}, {"error", failure}, {"error_kind", "usage"}}).dump());
  EXPECT_EQ(nlohmann::json::parse(records[1])["exports"], nlohmann::json({outDir + "/naca2412.dxf"}));
  EXPECT_FALSE(fs::exists(outDir + "/naca16-206-a08.FOI") || fs::exists(outDir + "/naca16-206-a08.dxf"));
  EXPECT_TRUE(fs::exists(outDir + "/naca2412.FOI") && fs::exists(outDir + "/naca2412.dxf"));
  const std::vector<std::string> rows = Lines(ReadBytes(summary));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(CsvFields(rows[1]),
            (std::vector<std::string>{thin, "", "", "", "", "", "", "", "", "", "", "", "", "", failure}));
  EXPECT_EQ(CsvFields(rows[2])[1], outDir + "/naca2412.FOI");

  // An output that cannot be written stops its input there: what was
  // written before it is named, and nothing after it is written.
  fs::remove(outDir + "/naca2412.FOI");
  fs::remove(outDir + "/naca2412.dxf");
  fs::create_directory(outDir + "/naca2412.dxf");
  EXPECT_EQ(Fit({"--export", "dxf,svg", "--output-dir", outDir, "--summary", summary, "--json", thick}), 1);
  const std::string written = outDir + "/naca2412.dxf: output file is a directory";
  EXPECT_EQ(out.str(), nlohmann::ordered_json({{"file", thick},
                                               {"error", written},
                                               {"error_kind", "not_written"},
                                               {"output", outDir + "/naca2412.FOI"},
                                               {"exports", nlohmann::json::array()}})
                               .dump() +
                           "\n");
  EXPECT_TRUE(fs::exists(outDir + "/naca2412.FOI"));
  EXPECT_FALSE(fs::exists(outDir + "/naca2412.svg"));
  EXPECT_EQ(CsvFields(Lines(ReadBytes(summary))[1]),
            (std::vector<std::string>{thick, outDir + "/naca2412.FOI", "", "", "", "", "", "", "", "", "", "", "", "",
                                      written}));
}

// With --quiet, --json gives its lines and standard error only the
// failures: what the records hold already is not said again.
TEST_F(BatchTest, QuietJsonSaysOnlyTheFailures) {
  test::WriteBytes(db("bad.dat"), "bad\n1 0\nx 1\n");
  // The turned outline is normalised, which is otherwise said.
  EXPECT_EQ(Fit({"--coordinates", "--json", "--quiet", "--auto=1e-9", "--output-dir", dir.file("out"),
                 db("turned.selig"), db("bad.dat")}),
            1);
  EXPECT_EQ(err.str(), "tarvelo-fit: " + db("bad.dat") + ": invalid number in line 3\n");
  const std::vector<std::string> records = Lines(out.str());
  ASSERT_EQ(records.size(), 2u);
  const auto turned = nlohmann::json::parse(records[0]);
  EXPECT_EQ(turned["import"]["frame"], "normalised");
  EXPECT_EQ(turned["reached"], false);
  EXPECT_EQ(nlohmann::json::parse(records[1])["error_kind"], "bad_data");
  // Without --quiet the same run says them.
  EXPECT_EQ(Fit({"--coordinates", "--json", "--auto=1e-9", "--output-dir", dir.file("out"), db("turned.selig")}),
            0);
  EXPECT_NE(err.str().find(db("turned.selig") + ": frame normalised"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find(db("turned.selig") + ": no count from 4 to 20 reaches 1e-9"), std::string::npos);
}

// An output directory that is not there is made where its parent is;
// otherwise the run is refused, naming it and why, before anything is read.
TEST_F(BatchTest, AnOutputDirectoryIsMadeWhereItsParentIs) {
  test::WriteBytes(dir.file("file"), "a file");
  const struct {
    std::string directory;
    std::string refusal;
  } rows[] = {
      {dir.file("missing/new"),
       dir.file("missing/new") + ": output directory could not be made: " + dir.file("missing") + " does not exist"},
      {dir.file("file"), dir.file("file") + ": output directory is not a directory"},
      {dir.file("file/new"),
       dir.file("file/new") + ": output directory could not be made: " + dir.file("file") + " is not a directory"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Fit({"--coordinates", "--quiet", "--output-dir", r.directory, db("clarky")}), 2) << r.directory;
    EXPECT_EQ(err.str(), "tarvelo-fit: " + r.refusal + "\n");
    std::ostringstream o, e;
    EXPECT_EQ(RunImportCommand({"--output-dir", r.directory, db("clarky")}, o, e), 2) << r.directory;
    EXPECT_EQ(e.str(), "tarvelo-import: " + r.refusal + "\n");
  }
  EXPECT_FALSE(fs::exists(dir.file("missing")));
  EXPECT_FALSE(fs::exists(db("clarky.FOI")));
  // A name ending in a separator names the same directory.
  EXPECT_EQ(Fit({"--coordinates", "--quiet", "--output-dir", dir.file("made") + "/", db("clarky")}), 0) << err.str();
  EXPECT_TRUE(fs::is_directory(dir.file("made")));
  EXPECT_TRUE(fs::exists(dir.file("made/clarky.FOI")));
  std::ostringstream o, e;
  EXPECT_EQ(RunExportCommand({"--output-dir", dir.file("tables"), dir.file("made/clarky.FOI")}, o, e), 0) << e.str();
  EXPECT_TRUE(fs::exists(dir.file("tables/clarky-table.txt")));
}

// A summary that cannot be written is said once, however many inputs
// follow, and the inputs are fitted all the same.
TEST_F(BatchTest, ASummaryThatCannotBeWrittenIsSaidOnce) {
  EXPECT_EQ(Fit({"--coordinates", "--json", "--quiet", "--summary", dir.file("db"), db("clarky"), db("turned.selig")}),
            1);
  EXPECT_EQ(err.str(), "tarvelo-fit: " + dir.file("db") + ": output file is a directory\n");
  EXPECT_EQ(Lines(out.str()).size(), 2u);
  EXPECT_TRUE(fs::exists(db("clarky.FOI")) && fs::exists(db("turned.FOI")));
}

// The summary is written anew after each input: a run stopped by a signal
// keeps the rows of the inputs it finished. The program runs as a process of
// its own and is stopped inside its third input: its standard error is a
// pipe nobody reads, with room left for the messages of the first two
// inputs and not a byte more.
TEST_F(BatchTest, ASummaryKeepsTheRowsOfTheInputsFinishedWhenTheRunIsStopped) {
  for (const char* name : {"a.dat", "b.dat", "c.dat"}) fs::copy_file(test::ExamplePath("naca0012.dat"), db(name));
  const auto said = [&](const std::string& name) {
    return "tarvelo-fit: " + db(name) + ": 1 data point is fitted off its chord position, by up to 2.3e-6 of "
                                        "the chord; --placement=exact places it exactly\n";
  };
  ASSERT_EQ(Fit({"--quiet", "--summary", dir.file("whole.csv"), db("a.dat"), db("b.dat")}), 0);
  ASSERT_EQ(err.str(), said("a.dat") + said("b.dat"));
  std::set<std::string> before;
  for (const auto& entry : fs::directory_iterator(dir.file("db"))) before.insert(entry.path().filename());
  fs::remove(db("a.FOI"));
  fs::remove(db("b.FOI"));

  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ::fcntl(fds[1], F_SETPIPE_SZ, 4096);
  const long room = ::fcntl(fds[1], F_GETPIPE_SZ);
  const std::string fill(static_cast<std::size_t>(room) - said("a.dat").size() - said("b.dat").size(), 'x');
  ASSERT_EQ(::write(fds[1], fill.data(), fill.size()), static_cast<ssize_t>(fill.size()));
  const std::string summary = dir.file("stopped.csv");
  const std::string program = TARVELO_FIT_PROGRAM;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], STDERR_FILENO);
    ::close(fds[0]);
    ::close(fds[1]);
    ::execl(program.c_str(), "tarvelo-fit", "--quiet", "--summary", summary.c_str(), db("a.dat").c_str(),
            db("b.dat").c_str(), db("c.dat").c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (Lines(ReadBytes(summary)).size() < 3 && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(fds[0]);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(ReadBytes(summary), ReadBytes(dir.file("whole.csv")));
  // The inputs, the first two .FOI files: no third, no temporary file.
  std::set<std::string> after;
  for (const auto& entry : fs::directory_iterator(dir.file("db"))) after.insert(entry.path().filename());
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace tarvelo
