#include <gtest/gtest.h>

#include "screens/recording_display.h"
#include "screens/screens.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::Lines;

TEST(DisplayTest, ErrorLineStandsOnLine31InRedBoldAndTextAfterItIsPlain) {
  State s;
  RecordingDisplay d;
  d.Print({"old screen"});
  s.ErMsg = "  x.dat - Input file not found !! ";
  Print_ErMsg(s, d);
  d.Print({"after"});

  const Page& p = d.page();
  ASSERT_EQ(p.lines.size(), 32u);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(p.lines[i].text(), " ") << "line " << i + 1;
  ASSERT_EQ(p.lines[30].runs.size(), 1u);
  EXPECT_EQ(p.lines[30].runs[0], (TextRun{s.ErMsg, kRed, true}));
  ASSERT_EQ(p.lines[31].runs.size(), 1u);
  EXPECT_EQ(p.lines[31].runs[0], (TextRun{"after", kBlack, false}));
  EXPECT_EQ(d.foreColor(), kBlack);
  EXPECT_FALSE(d.bold());
}

TEST(DisplayTest, EmptyMessagesGiveEmptyLines) {
  State s;
  RecordingDisplay d;
  Print_ErMsg(s, d);
  ASSERT_EQ(d.page().lines.size(), 31u);
  EXPECT_EQ(d.page().lines[30].text(), "");
  Print_ScMsg(s, d);
  ASSERT_EQ(d.page().lines.size(), 32u);
  EXPECT_EQ(d.page().lines[31].text(), "");
}

TEST(DisplayTest, PromptIsBlueAtThePrintPositionAndColourReturnsToBlack) {
  State s;
  RecordingDisplay d;
  d.Print({"content"});
  s.ScMsg = "   Click on <Next Screen> to view the screens again ";
  Print_ScMsg(s, d);
  ASSERT_EQ(d.page().lines.size(), 2u);
  EXPECT_EQ(d.page().lines[1].runs[0], (TextRun{s.ScMsg, kBlue, false}));
  EXPECT_EQ(d.foreColor(), kBlack);
}

TEST(DisplayTest, KeptOpenLineEndedByEmptyPrintIsOneLine) {
  RecordingDisplay d;
  d.Print({"Control points: ", 8.0}, LineEnd::KeepOpen);
  d.Print();
  d.Print({"File saved    : x.FOI"});
  EXPECT_EQ(Lines(d), (std::vector<std::string>{"Control points:  8 ", "File saved    : x.FOI"}));

  // At the start of a line an empty Print leaves an empty line.
  d.Cls();
  d.Print();
  d.Print({"a"});
  EXPECT_EQ(Lines(d), (std::vector<std::string>{"", "a"}));
}

TEST(DisplayTest, WholeNumbersPrintAsBlankDigitsBlank) {
  RecordingDisplay d;
  d.Print({"*** Insufficient data. For", 8, " control points,"});
  d.Print({"Data points   : ", 35.0});
  d.Print({"n=", -3, "|"});
  EXPECT_EQ(Lines(d), (std::vector<std::string>{"*** Insufficient data. For 8  control points,",
                                                "Data points   :  35 ", "n=-3 |"}));
}

TEST(DisplayTest, ClsErasesTextAndDrawingsButKeepsColourBoldAndScale) {
  RecordingDisplay d;
  d.Scale(0, 0, 6345, 7860);
  d.ForeColor(kBlue);
  d.FontBold(true);
  d.PSet(400, 6700);
  d.Line(5745, 6700);
  d.Circle(400, 6700, 50);
  d.Print({"x"});
  ASSERT_EQ(d.page().shapes.size(), 3u);
  const Shape& line = d.page().shapes[1];
  EXPECT_EQ(line.kind, Shape::Kind::Line);
  EXPECT_EQ(line.x1, 400.0f);
  EXPECT_EQ(line.y1, 6700.0f);
  EXPECT_EQ(line.x2, 5745.0f);
  EXPECT_EQ(line.color, kBlue);

  d.Cls();
  EXPECT_TRUE(d.page().lines.empty());
  EXPECT_TRUE(d.page().shapes.empty());
  EXPECT_TRUE(d.page().scale.set);
  EXPECT_EQ(d.page().scale.x2, 6345.0f);
  EXPECT_EQ(d.foreColor(), kBlue);
  EXPECT_TRUE(d.bold());
}

}  // namespace
}  // namespace tarvelo
