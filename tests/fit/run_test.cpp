// The fitting run from the fields to the written file and the first page.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "bspline/bspline.h"
#include "fit/run.h"
#include "screens/recording_display.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::ReadBytes;
using test::WriteBytes;

// A section file: records "x, t1, t2, c" in percent, one to a line.
std::string Section(const std::string& id, const std::vector<std::vector<double>>& rows,
                    int count = -1) {
  std::ostringstream o;
  o << id << "\r\n" << (count < 0 ? static_cast<int>(rows.size()) : count) << "\r\n";
  for (const auto& r : rows) o << r[0] << ", " << r[1] << ", " << r[2] << ", " << r[3] << "\r\n";
  return o.str();
}

// A smooth cambered section at 21 stations clustered to the leading edge.
std::vector<std::vector<double>> Smooth(int n = 21) {
  std::vector<std::vector<double>> rows;
  for (int i = 0; i < n; ++i) {
    const double u = static_cast<double>(i) / (n - 1);
    const double x = u * u;
    const double t = 0.6 * (std::sqrt(x) - x) * (1 + x);
    const double c = 0.2 * x * (1 - x);
    rows.push_back({100 * x, 50 * t, 50 * t, 100 * c});
  }
  return rows;
}

class RunTest : public ::testing::Test {
 protected:
  // Chooses a file as the file list does and sets the count.
  void Choose(const std::string& name, const std::string& count = "8") {
    form.SetListedDirectory(dir.path().string());
    File1_Click(s, pic, form, name);
    form.SetText(Field::Text3, count);
  }
  void Start() { Main(s, pic, form); }
  std::string Line(std::size_t n) const {
    return pic.page().lines.size() >= n ? pic.page().lines[n - 1].text() : "<none>";
  }
  bool ShowsError(const std::string& message) const {
    const Page& p = pic.page();
    return p.lines.size() == 31 && p.lines[30].runs.size() == 1 &&
           p.lines[30].runs[0] == TextRun{message, kRed, true};
  }

  test::TempDir dir;
  State s;
  RecordingDisplay pic;
  MemoryForm form{s, pic};
};

TEST_F(RunTest, XSplineIsTSquared) {
  WriteBytes(dir.file("a.dat"), Section("smooth", Smooth()));
  Choose("a.dat", "4");
  Start();
  ASSERT_EQ(s.xcp.size(), 4);
  EXPECT_EQ(s.xcp(1), 0.0);
  EXPECT_EQ(s.xcp(2), 0.0);
  EXPECT_NEAR(s.xcp(3), 1.0 / 3, 1e-15);
  EXPECT_EQ(s.xcp(4), 1.0);

  Choose("a.dat", "8");
  Start();
  const double want[] = {0, 0, 2.0 / 75, 11.0 / 75, 26.0 / 75, 47.0 / 75, 13.0 / 15, 1};
  ASSERT_EQ(s.xcp.size(), 8);
  for (int j = 1; j <= 8; ++j) EXPECT_NEAR(s.xcp(j), want[j - 1], 1e-7) << j;
  for (int j = 1; j <= 8; ++j) EXPECT_EQ(s.c1(j, 0), s.xcp(j));
  // x(t) = t^2 up to the rounding of the basis.
  for (double t = 0; t <= 1; t += 0.05) {
    BSPLEVD(4, 8, s.tk, t, s.c1, 1, s.f, s.b);
    EXPECT_NEAR(s.f(0), t * t, 1e-7) << t;
  }
}

TEST_F(RunTest, CompleteRunSizesTheArraysAndShowsTheFirstPage) {
  WriteBytes(dir.file("a.dat"), Section("smooth", Smooth(40)));
  Choose("a.dat", "8");
  Start();
  EXPECT_TRUE(form.Command3Enabled());
  EXPECT_EQ(s.ErFlag, kFalse);
  EXPECT_EQ(s.nd, 40);
  EXPECT_EQ(s.tk.size(), 12);
  EXPECT_EQ(s.xcp.size(), 8);
  EXPECT_EQ(s.ycp.rows() * s.ycp.cols(), 16);
  EXPECT_EQ(s.bd.rows(), 40);
  EXPECT_EQ(s.bd.cols(), 8);
  EXPECT_EQ(s.yr.rows(), 40);
  EXPECT_EQ(s.xd.rows(), 40);
  EXPECT_EQ(s.yfit.rows(), 40);
  EXPECT_EQ(s.dy.lo1(), 0);
  EXPECT_EQ(s.dy.hi1(), 40);
  EXPECT_EQ(s.rms.size(), 2);
  EXPECT_EQ(Line(11), "File saved    : " + dir.file("a.FOI"));
  EXPECT_FALSE(ReadBytes(dir.file("a.FOI")).empty());

  Choose("a.dat", "10");
  Start();
  EXPECT_EQ(s.tk.size(), 14);
  EXPECT_EQ(s.xcp.size(), 10);
  EXPECT_EQ(s.ycp.rows(), 10);
  EXPECT_EQ(s.c1.rows(), 10);
  EXPECT_EQ(s.c1.cols(), 2);
  EXPECT_EQ(s.b.rows(), 10);
  EXPECT_EQ(s.b.cols(), 5);
}

TEST_F(RunTest, FitReproducesTheDataAndEndsOnTheLastPoint) {
  WriteBytes(dir.file("a.dat"), Section("smooth", Smooth(40)));
  Choose("a.dat", "12");
  Start();
  ASSERT_EQ(s.nd, 40);
  for (int k = 1; k <= 2; ++k) {
    EXPECT_EQ(s.ycp(1, k), 0.0);
    EXPECT_EQ(s.ycp(12, k), s.yd(40, k));
    EXPECT_LT(s.rms(k), 1e-3) << k;
    EXPECT_LT(std::fabs(s.dy(40, k)), 1e-6f);
  }
  // Normalised: the largest thickness is 1.
  double top = 0;
  for (int i = 1; i <= 40; ++i) top = std::max(top, s.yd(i, 1));
  EXPECT_EQ(top, 1.0);
  // Where the search reached its tolerance the fitted x is the data x.
  EXPECT_NEAR(s.xd(20, 1), s.xin(20), 1e-6);
  EXPECT_EQ(s.xd(20, 1), s.xd(20, 2));
}

TEST_F(RunTest, PointsNearTheLeadingEdgeSitWhereTheSearchStops) {
  auto rows = Smooth(21);
  rows[1][0] = 0.1;   // x = 0.001
  rows[2][0] = 25.0;  // x = 0.25, parameter 0.5
  rows[2][1] = rows[2][2] = 4.0;
  std::sort(rows.begin(), rows.end());
  WriteBytes(dir.file("a.dat"), Section("le", rows));
  Choose("a.dat", "8");
  Start();
  ASSERT_EQ(s.ErFlag, kFalse);
  EXPECT_NEAR(s.xd(1, 1), 0.0, 1e-15);
  EXPECT_NEAR(s.xd(2, 1), 0.001072, 0.5e-6);
  int quarter = 0;
  for (int i = 1; i <= s.nd; ++i)
    if (s.xin(i) == 0.25) quarter = i;
  ASSERT_GT(quarter, 0);
  EXPECT_NEAR(s.xd(quarter, 1), 0.25, 1e-6);
}

TEST_F(RunTest, OnlyTheFirstFailingNameIsReported) {
  Start();
  EXPECT_TRUE(ShowsError("  [Input-File] as input file name invalid !!"));
  EXPECT_FALSE(form.Command3Enabled());
  EXPECT_EQ(s.ErFlag, kFalse);

  form.SetText(Field::Text1, "noext");
  form.SetText(Field::Text2, "neither");
  Start();
  EXPECT_TRUE(ShowsError("  noext as input file name invalid !!"));

  form.SetText(Field::Text1, "in.dat");
  Start();
  EXPECT_TRUE(ShowsError("  neither as output file name invalid !!"));

  form.SetText(Field::Text2, "");
  Start();
  EXPECT_TRUE(ShowsError("   as output file name invalid !!"));
  EXPECT_FALSE(form.Command3Enabled());
  EXPECT_EQ(s.ErFlag, kFalse);

  // A name shorter than four characters passes when it begins with a point.
  form.SetText(Field::Text1, ".ab");
  form.SetText(Field::Text2, ".cd");
  form.SetText(Field::Text3, "3");
  Start();
  EXPECT_TRUE(ShowsError("   4 to 20 control points are allowed !! "));
}

TEST_F(RunTest, CountOutsideFourToTwentyEnablesNextScreenAndKeepsTheValue) {
  WriteBytes(dir.file("a.dat"), Section("smooth", Smooth()));
  for (const char* count : {"3", "21", ""}) {
    State fresh;
    s = fresh;
    Choose("a.dat", count);
    Start();
    EXPECT_TRUE(ShowsError("   4 to 20 control points are allowed !! ")) << count;
    EXPECT_TRUE(form.Command3Enabled());
  }
  EXPECT_EQ(s.ncp, 0);
  Choose("a.dat", "21");
  Start();
  EXPECT_EQ(s.ncp, 21);
  EXPECT_FALSE(s.xin.exists());  // nothing was read
}

TEST_F(RunTest, NoDataPointInsideASupportIsSingular) {
  // For 8 control points basis function 2 lives on 0 < x < 0.16.
  std::vector<std::vector<double>> rows;
  for (double x : {0.0, 16.0, 20.0, 30.0, 40.0, 50.0, 60.0, 70.0, 80.0, 90.0, 100.0})
    rows.push_back({x, 5 * std::sqrt(x / 100), 5 * std::sqrt(x / 100), 1.0});
  WriteBytes(dir.file("a.dat"), Section("gap", rows));
  Choose("a.dat", "8");
  Start();
  EXPECT_TRUE(ShowsError(" ***** SINGULAR !!  - check your input data "));
  EXPECT_EQ(s.ErFlag, kFalse);
  // The x-spline and the parameters are done; no control ordinates are.
  EXPECT_NEAR(s.xcp(3), 2.0 / 75, 1e-7);
  EXPECT_EQ(s.bd.rows(), 11);
  EXPECT_EQ(s.ycp(8, 1), 0.0);
  EXPECT_TRUE(ReadBytes(dir.file("a.FOI")).empty());
}

TEST_F(RunTest, CurveWithoutPositiveValuesIsNotNormalised) {
  auto rows = Smooth();
  for (auto& r : rows) r[3] = 0;
  WriteBytes(dir.file("flat.dat"), Section("flat", rows));
  Choose("flat.dat", "8");
  Start();
  ASSERT_EQ(s.ErFlag, kFalse);
  EXPECT_EQ(s.ymax(2), 0.0);
  for (int i = 1; i <= s.nd; ++i) EXPECT_EQ(s.yfit(i, 2), 0.0);
  EXPECT_EQ(s.rms(2), 0.0);

  // All negative: unscaled, its error still shows.
  rows = Smooth();
  for (auto& r : rows) r[3] = -r[3] - (r[0] > 50 ? 0.5 : 0.0);
  WriteBytes(dir.file("neg.dat"), Section("neg", rows));
  Choose("neg.dat", "4");
  Start();
  ASSERT_EQ(s.ErFlag, kFalse);
  EXPECT_EQ(s.ymax(2), 0.0);
  EXPECT_EQ(s.yd(s.nd, 2), -0.005);
  double sq = 0;
  for (int i = 1; i <= s.nd; ++i) sq += static_cast<double>(s.dy(i, 2)) * s.dy(i, 2);
  EXPECT_GT(s.rms(2), 1e-4);
  EXPECT_EQ(s.rms(2), std::sqrt(sq / s.nd));
}

TEST_F(RunTest, FileErrorThenAGoodRun) {
  WriteBytes(dir.file("a.dat"), Section("smooth", Smooth()));
  Choose("missing.dat", "8");
  Start();
  EXPECT_TRUE(ShowsError("  " + dir.file("missing.dat") + " - Input file not found !! "));
  EXPECT_EQ(s.ErFlag, kFalse);
  EXPECT_TRUE(form.Command3Enabled());

  Choose("a.dat", "8");
  Start();
  EXPECT_EQ(Line(11), "File saved    : " + dir.file("a.FOI"));
}

TEST_F(RunTest, TooFewDataPointsLeavesTwoLinesAndThePreviousData) {
  WriteBytes(dir.file("a.dat"), Section("smooth", Smooth()));
  auto few = Smooth();
  few.resize(8);
  WriteBytes(dir.file("few.dat"), Section("few", few));
  Choose("a.dat", "8");
  Start();
  ASSERT_EQ(s.nd, 21);
  Choose("few.dat", "8");
  Start();
  EXPECT_EQ(test::Lines(pic), (std::vector<std::string>{
                                  "*** Insufficient data. For 8  control points,",
                                  "  you need at least 9  data points. ****"}));
  EXPECT_EQ(s.ErFlag, kFalse);
  EXPECT_EQ(s.nd, 21);
  EXPECT_EQ(s.IDLine, "smooth");
}

TEST_F(RunTest, WriteFailureShowsTheMessageInsteadOfTheFirstPage) {
  WriteBytes(dir.file("a.dat"), Section("smooth", Smooth()));
  Choose("a.dat", "8");
  form.SetText(Field::Text2, dir.file("no-such-dir/out.FOI"));
  Start();
  EXPECT_TRUE(ShowsError("  " + dir.file("no-such-dir/out.FOI") +
                         " - Output file could not be written !! "));
  EXPECT_EQ(s.ErFlag, kFalse);
  EXPECT_EQ(s.rms.size(), 2);  // the results are in place
}

}  // namespace
}  // namespace tarvelo
