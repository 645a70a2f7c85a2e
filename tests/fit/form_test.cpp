// The field handlers without a window: what the window's own tests do not
// reach through its widgets (nested handlers, long counts, name building).
#include <gtest/gtest.h>

#include <cmath>

#include "support/memory_form.h"
#include "screens/recording_display.h"

namespace tarvelo {
namespace {

using test::MemoryForm;

class FormTest : public ::testing::Test {
 protected:
  bool Cleared() const { return pic.page().lines.empty(); }

  State s;
  RecordingDisplay pic;
  MemoryForm form{s, pic, "/data/foils"};
};

TEST_F(FormTest, PastedFoilNumberLosesItsMessageToTheNewName) {
  form.SetText(Field::Text4, "2001");
  EXPECT_EQ(s.ErMsg, "   Only the first 3 digits are used for filename !!");
  EXPECT_EQ(s.OutFile, "/data/foils/Type200.FOI");
  EXPECT_TRUE(Cleared());  // Text2_Change, run nested, cleared the message

  form.SetText(Field::Text4, " 123 ");  // blanks at the ends are ignored
  EXPECT_EQ(form.Text(Field::Text2), "/data/foils/Type123.FOI");
  pic.Print({"marker"});
  form.SetText(Field::Text2, "/data/foils/Type123.FOI");  // same text: no handler
  EXPECT_FALSE(Cleared());
}

TEST_F(FormTest, CountIsWrittenBackWithoutLeadingZerosWhateverItsLength) {
  const struct {
    std::string typed, shown;
    double ncp;
  } rows[] = {{"08", "8", 8},
              {"000", "0", 0},
              {"123456789012345678901234567890", "123456789012345678901234567890",
               123456789012345678901234567890.0},
              {"00" + std::string(400, '9'), std::string(400, '9'), HUGE_VAL}};
  for (const auto& r : rows) {
    form.SetText(Field::Text3, r.typed);
    EXPECT_EQ(form.Text(Field::Text3), r.shown);
    EXPECT_EQ(s.ncp, r.ncp) << r.typed;
  }
}

}  // namespace
}  // namespace tarvelo
