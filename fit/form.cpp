#include "fit/form.h"

#include <algorithm>

#include "fit/field_number.h"
#include "fit/names.h"
#include "screens/screens.h"

namespace tarvelo {

namespace {

bool AllDigits(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A digit string without its leading zeros; "0" for zeros only.
std::string WithoutLeadingZeros(const std::string& digits) {
  const std::size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? std::string("0") : digits.substr(first);
}

}  // namespace

void Text1_Change(State& s, Display& Picture1, Form& form) {
  s.InFile = form.Text(Field::Text1);
  Picture1.Cls();
}

void Text2_Change(State& s, Display& Picture1, Form& form) {
  s.OutFile = form.Text(Field::Text2);
  Picture1.Cls();
}

// The number of control points: digits only, blanks included in the check.
// The range 4..20 is checked by the run, not here.
void Text3_Change(State& s, Display& Picture1, Form& form) {
  const std::string text = form.Text(Field::Text3);
  if (text.empty()) return;
  if (!AllDigits(text)) {
    s.ErMsg = "   Only numbers are allowed !!";
    Print_ErMsg(s, Picture1);
    form.SetText(Field::Text3, "");
    return;
  }
  Picture1.Cls();
  s.ncp = FieldNumber(text);
  // Written back from the digits themselves, so that a count too long for a
  // double is not shown as some other number; "08" becomes "8".
  form.SetText(Field::Text3, WithoutLeadingZeros(text));
}

// The foil number: three digits 101..255 name the output Type<nnn>.FOI in the
// listed directory.
void Text4_Change(State& s, Display& Picture1, Form& form) {
  std::string text = form.Text(Field::Text4);
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);

  if (!AllDigits(text)) {
    s.ErMsg = kFoilNumberNotDigits;
    Print_ErMsg(s, Picture1);
    return;
  }
  Picture1.Cls();
  if (text.size() < kFoilNumberDigits) return;
  if (text.size() > kFoilNumberDigits) {
    text.resize(kFoilNumberDigits);
    s.ErMsg = kFoilNumberTooLong;
    Print_ErMsg(s, Picture1);
  }
  const double number = FieldNumber(text);
  if (number >= kFoilNumberLowest && number <= kFoilNumberHighest) {
    s.OutFile = JoinPath(form.ListedDirectory(), FoilNumberName(text));
    form.SetText(Field::Text2, s.OutFile);
  } else {
    s.ErMsg = kFoilNumberRange;
    Print_ErMsg(s, Picture1);
    form.SetText(Field::Text4, "");
  }
}

// The display area is cleared by the change handlers that the new texts run.
void File1_Click(State& s, Display& /*Picture1*/, Form& form, const std::string& F) {
  const std::string N = JoinPath(form.ListedDirectory(), F);
  form.SetText(Field::Text1, N);
  s.InFile = N;
  s.OutFile = FoilFileOf(N);
  form.SetText(Field::Text2, s.OutFile);
  form.SetText(Field::Text4, "");
}

}  // namespace tarvelo
