// The text screens line by line, their colours, and the screen cycle.
#include <gtest/gtest.h>

#include "screens/screens.h"
#include "sections.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::Join;
using test::Lines;
using test::Looks;
using test::Repeat;

const std::string kRmsLabel = " R.M.S. error / chord = ";

TEST(FirstPageTest, ThirtySevenLinesWithTheRunAndTheKeptOpenCountLine) {
  State s = test::SmallSection();
  RecordingDisplay d;
  d.Print({"old"});
  s.nScreen = 3;
  Print_FirstPage(s, d);

  EXPECT_EQ(Lines(d), Join({{" TARVELO - Foil Section B-Spline Fitting",
                             " Version 2.01      2/24/13", "",
                             " Fitting of foil section thickness and camber data ",
                             "               with B-splines.", "",
                             "File read     : /data/naca0012.dat",
                             "ID - line     :  NACA 0012  t/c=12% ", "Data points   :  5 ",
                             "Control points:  4 ", "File saved    : /data/naca0012.FOI"},
                            Repeat(25, " "),
                            {"   Click on <Next Screen> for fitting results for thickness "}}));
  EXPECT_EQ(Looks(d.page()),
            Join({Repeat(2, "k"), {""}, Repeat(2, "k"), {""}, Repeat(30, "k"), {"b"}}));
  EXPECT_FALSE(d.page().lastLineOpen);
  EXPECT_EQ(s.nScreen, 0);
  EXPECT_EQ(d.foreColor(), kBlack);
}

TEST(ListingTest, ThicknessScreenWithWarningAndNegativeDifferences) {
  State s = test::SmallSection();
  RecordingDisplay d;
  List_Data1(s, d);
  EXPECT_EQ(Lines(d),
            Join({{"", " Fitting Result of Normalized Foil Thickness ", "",
                   "   nr       x        fit      data      diff",
                   "    1   0.00000   0.00000   0.00000   0.00000",
                   "    2   0.10000   0.81166   0.81200  -0.00034",
                   "    3   0.30000   1.00012   1.00000   0.00012",
                   "    4   0.60000   0.69990   0.70000  -0.00010",
                   "    5   1.00000   0.05003   0.05000   0.00003", " ",
                   kRmsLabel + "0.00012", " ", " Check the foil input data for fairness !! "},
                  Repeat(36 - 13, " "),
                  {"   Click on <Next Screen> for fitting results for camber "}}));
  // Red from the warning through the filler lines, the prompt blue, bold off.
  EXPECT_EQ(Looks(d.page()), Join({{"", "k", ""}, Repeat(9, "k"), Repeat(24, "r"), {"b"}}));
  EXPECT_EQ(s.nScreen, 1);
  EXPECT_EQ(d.foreColor(), kBlack);
}

TEST(ListingTest, CamberScreenWithoutWarning) {
  State s = test::SmallSection();
  RecordingDisplay d;
  List_Data2(s, d);
  EXPECT_EQ(Lines(d), Join({{"", " Fitting Result of Normalized Foil Camber ", "",
                             "   nr       x        fit      data      diff",
                             "    1   0.00000   0.00000   0.00000   0.00000",
                             "    2   0.10000   0.19995   0.20000  -0.00005",
                             "    3   0.30000   0.50002   0.50000   0.00002",
                             "    4   0.60000  -0.02001  -0.02000  -0.00001",
                             "    5   1.00000   0.00004   0.00000   0.00004", " ",
                             kRmsLabel + "0.00004"},
                            Repeat(25, " "),
                            {"   Click on <Next Screen> for graphic display "}}));
  EXPECT_EQ(Looks(d.page()), Join({{"", "k", ""}, Repeat(33, "k"), {"b"}}));
  EXPECT_EQ(s.nScreen, 2);
}

TEST(ListingTest, WarningOnlyStrictlyAboveOneTenThousandth) {
  for (double rms : {0.0001, 0.00011}) {
    State s = test::Section(5, rms);
    RecordingDisplay d;
    List_Data1(s, d);
    const auto lines = Lines(d);
    const bool warned = rms > 0.0001;
    ASSERT_EQ(lines.size(), 37u) << rms;
    EXPECT_EQ(lines[10], kRmsLabel + (warned ? "0.00011" : "0.00010"));
    EXPECT_EQ(lines[12], warned ? " Check the foil input data for fairness !! " : " ");
    EXPECT_EQ(Looks(d.page())[12], warned ? "r" : "k");
  }
}

TEST(ListingTest, FillerLinesKeepThePromptOnLine37UntilTheRowsOverflow) {
  struct Case {
    int nd;
    double rms;
    int filler;
    std::size_t promptLine;
  };
  for (const Case& c : {Case{20, 0, 10, 37}, Case{20, 0.001, 8, 37}, Case{30, 0, 0, 37},
                        Case{29, 0.001, 0, 38}, Case{31, 0, 0, 38}}) {
    State s = test::Section(c.nd, c.rms);
    RecordingDisplay d;
    List_Data1(s, d);
    const auto lines = Lines(d);
    ASSERT_EQ(lines.size(), c.promptLine) << c.nd;
    const int content = 4 + c.nd + (c.rms > 0.0001 ? 4 : 2);
    for (int j = content; j < content + c.filler; ++j) EXPECT_EQ(lines[j], " ") << c.nd;
    EXPECT_EQ(lines[static_cast<std::size_t>(content - 1)],
              c.rms > 0.0001 ? " Check the foil input data for fairness !! " : kRmsLabel + "0.00000")
        << c.nd;
    EXPECT_EQ(Looks(d.page()).back(), "b");
    EXPECT_EQ(lines[13], "   10   0.50000   0.50000   0.50000   0.00000");
  }
}

TEST(ControlPointTest, ListingClampsPointsLeftOfTheLeadingEdge) {
  State s = test::SmallSection();
  s.xcp(2) = -0.0000001;
  s.xcp(3) = 0.0000001;
  s.ycp(4, 2) = -0.0123;
  RecordingDisplay d;
  List_Foil_Camber(s, d);
  EXPECT_EQ(Lines(d), Join({{"", "", "  Control Point Positions for Thickness (yt), Camber (yc)", "",
                             "   nr       x        yt        yc",
                             "    1   0.00000   0.00000   0.00000",
                             "    2   0.00000   0.60000   0.10000",
                             "    3   0.00000   1.10000   0.40000",
                             "    4   1.00000   0.05000  -0.01230"},
                            Repeat(27, " "),
                            {"   Click on <Next Screen> to view the screens again "}}));
  EXPECT_EQ(Looks(d.page()), Join({{"", "", "k", ""}, Repeat(32, "k"), {"b"}}));
  EXPECT_EQ(s.xcp(2), 0.0);
  EXPECT_EQ(s.xcp(3), 0.0000001);
  EXPECT_EQ(s.nScreen, 4);
}

TEST(ControlPointTest, EightPointsGiveThirteenContentAndTwentyThreeFillerLines) {
  State s = test::SmallSection();
  test::SetSpline(s, 8);
  RecordingDisplay d;
  List_Foil_Camber(s, d);
  const auto lines = Lines(d);
  ASSERT_EQ(lines.size(), 37u);
  EXPECT_EQ(lines[12], "    8   1.00000   0.05000   0.00000");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 13, lines.end() - 1), Repeat(23, " "));
}

TEST(CycleTest, SixPressesFromTheFirstPage) {
  State s = test::SmallSection();
  RecordingDisplay d;
  Print_FirstPage(s, d);
  const std::pair<std::size_t, std::string> want[] = {
      {1, " Fitting Result of Normalized Foil Thickness "},
      {1, " Fitting Result of Normalized Foil Camber "},
      {1, " Foil (blue) and camber (red)"},
      {2, "  Control Point Positions for Thickness (yt), Camber (yc)"},
      {0, " TARVELO - Foil Section B-Spline Fitting"},
      {1, " Fitting Result of Normalized Foil Thickness "}};
  const std::int16_t next[] = {1, 2, 3, 4, 0, 1};
  for (int press = 0; press < 6; ++press) {
    Command3_Click(s, d);
    const auto lines = Lines(d);
    ASSERT_EQ(lines.size(), 37u) << press;
    EXPECT_EQ(lines[want[press].first], want[press].second) << press;
    EXPECT_EQ(s.nScreen, next[press]) << press;
  }
}

TEST(CycleTest, OtherScreenNumbersLeaveTheAreaAlone) {
  State s = test::SmallSection();
  RecordingDisplay d;
  Draw_Graphic(s, d);
  const Page before = d.page();
  for (std::int16_t n : {std::int16_t{5}, std::int16_t{-1}}) {
    s.nScreen = n;
    Command3_Click(s, d);
    EXPECT_EQ(s.nScreen, n);
    EXPECT_EQ(Lines(d), before.texts());
    EXPECT_EQ(d.page().shapes.size(), before.shapes.size());
  }
}

}  // namespace
}  // namespace tarvelo
