// The fitting run from the fields to the written file and the first page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "bspline/bspline.h"
#include "fit/run.h"
#include "screens/screens.h"
#include "screens/recording_display.h"
#include "support/memory_form.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::MemoryForm;

using Rows = std::vector<std::vector<double>>;

// A smooth cambered section at n stations clustered to the leading edge,
// records "x, t1, t2, c" in percent.
Rows Smooth(int n = 21) {
  Rows rows;
  for (int i = 0; i < n; ++i) {
    const double x = std::pow(static_cast<double>(i) / (n - 1), 2);
    const double t = 0.6 * (std::sqrt(x) - x) * (1 + x);
    rows.push_back({100 * x, 50 * t, 50 * t, 20 * x * (1 - x)});
  }
  return rows;
}

class RunTest : public ::testing::Test {
 protected:
  // Writes the section, chooses it as the file list does, sets the count, Start.
  void Run(const Rows& rows, const std::string& count, const std::string& name = "a.dat") {
    std::ostringstream o;
    o << "id\r\n" << rows.size() << "\r\n";
    for (const auto& r : rows) o << r[0] << ", " << r[1] << ", " << r[2] << ", " << r[3] << "\r\n";
    test::WriteBytes(dir.file(name), o.str());
    Choose(name, count);
    Main(s, pic, form);
  }
  void Choose(const std::string& name, const std::string& count) {
    form.SetListedDirectory(dir.path().string());
    File1_Click(s, pic, form, name);
    form.SetText(Field::Text3, count);
  }
  // The area shows exactly the red error line, and the run left ErFlag clear.
  bool ShowsError(const std::string& message) const {
    const Page& p = pic.page();
    return s.ErFlag == kFalse && p.lines.size() == 31 && p.lines[30].runs.size() == 1 &&
           p.lines[30].runs[0] == TextRun{message, kRed, true};
  }
  bool ShowsFirstPage() const {
    return pic.page().lines.size() == 37 &&
           pic.page().lines[10].text() == "File saved    : " + s.OutFile;
  }

  test::TempDir dir;
  State s;
  RecordingDisplay pic;
  MemoryForm form{s, pic};
};

TEST_F(RunTest, XSplineIsTSquared) {
  Run(Smooth(), "4");
  ASSERT_TRUE(s.fit.has_value());
  ASSERT_EQ(s.fit->control_points, 4);
  EXPECT_EQ(s.xcp(2), 0.0);
  EXPECT_NEAR(s.xcp(3), 1.0 / 3, 1e-15);
  EXPECT_EQ(s.xcp(4), 1.0);

  Run(Smooth(), "8");
  const double want[] = {0, 0, 2.0 / 75, 11.0 / 75, 26.0 / 75, 47.0 / 75, 13.0 / 15, 1};
  for (int j = 1; j <= 8; ++j) EXPECT_NEAR(s.xcp(j), want[j - 1], 1e-7) << j;
  // x(t) from the run's knots and control points, as the engine evaluates it.
  Array1<double> tk, f;
  Array2<double> c1, b;
  tk.allocate(1, 12), f.allocate(0, 1), c1.allocate(1, 8, 0, 1), b.allocate(1, 8, 0, 4);
  for (int j = 1; j <= 12; ++j) tk(j) = s.tk(j);
  for (int j = 1; j <= 8; ++j) c1(j, 0) = s.xcp(j);
  BSCOEFS(4, 8, tk, 1, c1);
  for (double t = 0; t <= 1; t += 0.05) {
    BSPLEVD(4, 8, tk, t, c1, 1, f, b);
    EXPECT_NEAR(f(0), t * t, 1e-7) << t;
  }
}

TEST_F(RunTest, CompleteRunFits) {
  Run(Smooth(40), "8");
  ASSERT_TRUE(ShowsFirstPage());
  EXPECT_TRUE(form.Command3Enabled());
  for (int k = 1; k <= 2; ++k) {
    EXPECT_EQ(s.ycp(1, k), 0.0);
    EXPECT_EQ(s.ycp(8, k), s.yd(40, k));  // the curve ends on the last point
    EXPECT_LT(s.rms(k), 1e-3);
    EXPECT_LT(std::fabs(s.dy(40, k)), 1e-6f);
  }
  double top = 0;
  for (int i = 1; i <= 40; ++i) top = std::max(top, s.yd(i, 1));
  EXPECT_EQ(top, 1.0);  // normalised
  EXPECT_NEAR(s.xd(20, 1), s.xin(20), 1e-6);
  EXPECT_EQ(s.xd(20, 1), s.xd(20, 2));
}

TEST_F(RunTest, OnlyTheFirstFailingCheckReports) {
  const struct {
    const char* in;
    const char* out;
    const char* count;
    const char* message;
    bool nextScreen;
  } rows[] = {
      {"Input-File", "neither", "8", "  [Input-File] as input file name invalid !!", false},
      {"noext", "neither", "8", "  noext as input file name invalid !!", false},
      {"in.dat", "", "8", "   as output file name invalid !!", false},
      {".ab", ".cd", "3", "   4 to 20 control points are allowed !! ", true},
      {"in.dat", "o.FOI", "21", "   4 to 20 control points are allowed !! ", true},
      {"in.dat", "o.FOI", "", "   4 to 20 control points are allowed !! ", true},
  };
  for (const auto& r : rows) {
    State fresh;
    s = fresh;
    MemoryForm f(s, pic);
    f.SetText(Field::Text1, r.in);
    f.SetText(Field::Text2, r.out);
    f.SetText(Field::Text3, r.count);
    Main(s, pic, f);
    EXPECT_TRUE(ShowsError(r.message)) << r.in << " " << r.out << " " << r.count;
    EXPECT_EQ(f.Command3Enabled(), r.nextScreen) << r.message;
    EXPECT_EQ(s.data.points(), 0u);
  }
  EXPECT_EQ(s.ncp, 0);  // the empty count, refused, is what ncp holds
}

TEST_F(RunTest, NoDataPointInsideASupportIsSingular) {
  // For 8 control points basis function 2 lives on 0 < x < 0.16.
  Rows rows;
  for (double x : {0.0, 16.0, 20.0, 30.0, 40.0, 50.0, 60.0, 70.0, 80.0, 90.0, 100.0})
    rows.push_back({x, 5 * std::sqrt(x / 100), 5 * std::sqrt(x / 100), 1.0});
  Run(Smooth(), "8", "good.dat");  // results of another file first
  ASSERT_TRUE(ShowsFirstPage());
  Run(rows, "8");
  EXPECT_TRUE(ShowsError(" ***** SINGULAR !!  - check your input data "));
  EXPECT_EQ(s.nd, 11);              // the data are read
  EXPECT_FALSE(s.fit.has_value());  // but no fit is held, neither theirs nor the earlier file's
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.FOI")));
  // Next Screen lists no fit rather than zeros or the other file's values.
  Command3_Click(s, pic);
  const std::vector<std::string> lines = test::Lines(pic);
  ASSERT_EQ(lines.size(), 37u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 7),
            (std::vector<std::string>{"", " Fitting Result of Normalized Foil Thickness ", "",
                                      "   nr       x        fit      data      diff", " ",
                                      " R.M.S. error / chord = ", " "}));
  s.nScreen = 3;
  Command3_Click(s, pic);
  EXPECT_EQ(test::Lines(pic)[5], " ");  // the control point listing: no rows
}

// Values that leave the single-precision range stop the run before anything
// is written, for either curve.
TEST_F(RunTest, ValuesBeyondSinglePrecisionStopTheRun) {
  // Percent of the chord, beside a largest thickness of 15 % and camber of 5 %.
  for (const auto& [column, value] : {std::pair{1, -1e300}, {3, -1e300}, {3, -5e40}}) {
    std::filesystem::remove(dir.file("a.FOI"));
    Rows rows = Smooth();
    rows[6][static_cast<std::size_t>(column)] = value;
    Run(rows, "8");
    EXPECT_TRUE(ShowsError(" ***** OVERFLOW !!  - check your input data ")) << value;
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.FOI")));
  }
}

TEST_F(RunTest, CurveWithoutPositiveValuesIsNotNormalised) {
  Rows rows = Smooth();
  for (auto& r : rows) r[3] = 0;
  Run(rows, "8");
  EXPECT_EQ(s.ymax(2), 0.0);
  for (int i = 1; i <= s.nd; ++i) EXPECT_EQ(s.yfit(i, 2), 0.0);
  EXPECT_EQ(s.rms(2), 0.0);

  // All negative: unscaled, so a bad fit still shows its error.
  for (auto& r : rows) r[3] = r[0] > 50 ? -0.5 : -0.1;
  Run(rows, "4");
  EXPECT_EQ(s.yd(s.nd, 2), -0.005);
  double sq = 0;
  for (int i = 1; i <= s.nd; ++i) sq += static_cast<double>(s.dy(i, 2)) * s.dy(i, 2);
  EXPECT_GT(s.rms(2), 1e-4);
  EXPECT_EQ(s.rms(2), std::sqrt(sq / s.nd));
}

TEST_F(RunTest, StoppedRunsKeepWhatTheyDidNotReach) {
  Choose("missing.dat", "8");
  Main(s, pic, form);
  EXPECT_TRUE(ShowsError("  " + dir.file("missing.dat") + " - Input file not found !! "));
  EXPECT_TRUE(form.Command3Enabled());

  Run(Smooth(), "8");  // a file error does not spoil the next run
  ASSERT_TRUE(ShowsFirstPage());

  Rows few = Smooth();
  few.resize(8);
  Run(few, "8", "few.dat");
  EXPECT_EQ(test::Lines(pic), (std::vector<std::string>{
                                  "*** Insufficient data. For 8  control points,",
                                  "  you need at least 9  data points. ****"}));
  EXPECT_EQ(s.ErFlag, kFalse);
  EXPECT_EQ(s.nd, 21);  // the data of the last good read stay

  Choose("a.dat", "8");
  form.SetText(Field::Text2, dir.file("no-such-dir/out.FOI"));
  Main(s, pic, form);
  EXPECT_TRUE(ShowsError("  " + dir.file("no-such-dir/out.FOI") +
                         " - Output file could not be written: no such folder !! "));
  EXPECT_TRUE(s.fit.has_value());  // the results are in place
}

}  // namespace
}  // namespace tarvelo
