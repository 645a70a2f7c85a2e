// The input fields' handlers, driven as the window drives them: every change
// of a field's text runs its handler at once, nested.
#include <gtest/gtest.h>

#include <cmath>

#include "fit/form.h"
#include "screens/recording_display.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

class FormTest : public ::testing::Test {
 protected:
  // A line on the area shows whether a handler cleared it.
  void Mark() { pic.Print({"marker"}); }
  bool Cleared() const { return pic.page().lines.empty(); }
  std::string Line31() const {
    return pic.page().lines.size() >= 31 ? pic.page().lines[30].text() : std::string("<none>");
  }

  State s;
  RecordingDisplay pic;
  MemoryForm form{s, pic, "/data/foils"};
};

TEST_F(FormTest, FoilNumberTypedDigitByDigitMakesTheStandardName) {
  for (const char* typed : {"1", "12"}) {
    Mark();
    form.SetText(Field::Text4, typed);
    EXPECT_TRUE(Cleared()) << typed;
    EXPECT_EQ(s.OutFile, "");
  }
  Mark();
  form.SetText(Field::Text4, "123");
  EXPECT_TRUE(Cleared());
  EXPECT_EQ(s.OutFile, "/data/foils/Type123.FOI");
  EXPECT_EQ(form.Text(Field::Text2), "/data/foils/Type123.FOI");

  // A fourth digit: the message stays, since the name and so Text2 are unchanged.
  form.SetText(Field::Text4, "1234");
  EXPECT_EQ(Line31(), "   Only the first 3 digits are used for filename !!");
  EXPECT_EQ(s.ErMsg, "   Only the first 3 digits are used for filename !!");
  EXPECT_EQ(s.OutFile, "/data/foils/Type123.FOI");
  EXPECT_EQ(form.Text(Field::Text4), "1234");
}

TEST_F(FormTest, FourDigitsPastedAtOnceLoseTheirMessageToTheNewName) {
  form.SetText(Field::Text4, "2001");
  EXPECT_EQ(s.ErMsg, "   Only the first 3 digits are used for filename !!");
  EXPECT_EQ(s.OutFile, "/data/foils/Type200.FOI");
  EXPECT_TRUE(Cleared());  // Text2_Change cleared the message away
}

TEST_F(FormTest, FoilNumbersOutsideTheRangeEmptyTheField) {
  for (const char* typed : {"100", "256", "099", "000"}) {
    form.SetText(Field::Text4, typed);
    EXPECT_EQ(Line31(), "   Numbers between 101 and 255 are allowed !!") << typed;
    EXPECT_EQ(form.Text(Field::Text4), "") << typed;
    EXPECT_EQ(s.OutFile, "") << typed;
  }
  form.SetText(Field::Text4, "101");
  EXPECT_EQ(s.OutFile, "/data/foils/Type101.FOI");
  form.SetText(Field::Text4, "255");
  EXPECT_EQ(s.OutFile, "/data/foils/Type255.FOI");
}

TEST_F(FormTest, FoilNumberIgnoresBlanksAtItsEndsButRefusesLetters) {
  form.SetText(Field::Text4, " 123 ");
  EXPECT_EQ(s.OutFile, "/data/foils/Type123.FOI");

  form.SetText(Field::Text2, "keep.FOI");
  form.SetText(Field::Text4, "12a");
  EXPECT_EQ(Line31(), "   Only numbers are allowed !! ");
  EXPECT_EQ(form.Text(Field::Text4), "12a");
  EXPECT_EQ(s.OutFile, "keep.FOI");
  EXPECT_EQ(form.Text(Field::Text2), "keep.FOI");
}

TEST_F(FormTest, CountTakesDigitsOnly) {
  form.SetText(Field::Text3, "12");
  EXPECT_EQ(s.ncp, 12);

  form.SetText(Field::Text3, "12 ");
  EXPECT_EQ(Line31(), "   Only numbers are allowed !!");
  EXPECT_EQ(form.Text(Field::Text3), "");
  EXPECT_EQ(s.ncp, 12);  // an emptied or deleted count keeps the last value
  EXPECT_EQ(pic.page().lines.size(), 31u);  // the emptying itself clears nothing

  form.SetText(Field::Text3, "08");
  EXPECT_EQ(form.Text(Field::Text3), "8");
  EXPECT_EQ(s.ncp, 8);
  form.SetText(Field::Text3, "000");
  EXPECT_EQ(form.Text(Field::Text3), "0");
  EXPECT_EQ(s.ncp, 0);
}

TEST_F(FormTest, CountTooLongForADoubleIsKeptAsTyped) {
  const std::string digits = "00" + std::string(400, '9');
  form.SetText(Field::Text3, digits);
  EXPECT_EQ(form.Text(Field::Text3), std::string(400, '9'));
  EXPECT_TRUE(std::isinf(s.ncp));
  form.SetText(Field::Text3, "123456789012345678901234567890");
  EXPECT_EQ(form.Text(Field::Text3), "123456789012345678901234567890");
  EXPECT_EQ(s.ncp, 123456789012345678901234567890.0);
}

TEST_F(FormTest, FileClickFillsBothNamesAndDropsTheFoilNumber) {
  form.SetText(Field::Text4, "123");
  Mark();
  File1_Click(s, pic, form, "NACA.DAT");
  EXPECT_EQ(s.InFile, "/data/foils/NACA.DAT");
  EXPECT_EQ(form.Text(Field::Text1), "/data/foils/NACA.DAT");
  EXPECT_EQ(s.OutFile, "/data/foils/NACA.FOI");
  EXPECT_EQ(form.Text(Field::Text2), "/data/foils/NACA.FOI");
  EXPECT_EQ(form.Text(Field::Text4), "");
  EXPECT_TRUE(Cleared());

  form.SetListedDirectory("/");
  File1_Click(s, pic, form, "a.dat");
  EXPECT_EQ(s.InFile, "/a.dat");
  EXPECT_EQ(s.OutFile, "/a.FOI");
  form.SetText(Field::Text4, "200");
  EXPECT_EQ(s.OutFile, "/Type200.FOI");
}

TEST_F(FormTest, NameFieldsCopyTheirTextAndClear) {
  Mark();
  form.SetText(Field::Text1, " odd name.dat");
  EXPECT_EQ(s.InFile, " odd name.dat");
  EXPECT_TRUE(Cleared());
  Mark();
  form.SetText(Field::Text2, "out.FOI");
  EXPECT_EQ(s.OutFile, "out.FOI");
  EXPECT_TRUE(Cleared());
  // Setting the text a field already holds runs no handler.
  Mark();
  form.SetText(Field::Text2, "out.FOI");
  EXPECT_FALSE(Cleared());
}

}  // namespace
}  // namespace tarvelo
