#include "screens/screens.h"

namespace tarvelo {

std::string WindowText(const Error& error) {
  std::string reason = error.reason();
  if (!reason.empty() && reason[0] >= 'a' && reason[0] <= 'z') reason[0] = static_cast<char>(reason[0] - 'a' + 'A');
  if (!error.has_subject()) return "   " + reason + " !! ";
  return "  " + error.subject() + " - " + reason + " !! ";
}

void Print_ErMsg(State& s, Display& Picture1) {
  Picture1.Cls();
  for (int j = 1; j < kErrorLine; ++j) Picture1.Print({" "});
  Picture1.ForeColor(kRed);
  Picture1.FontBold(true);
  Picture1.Print({s.ErMsg});
  Picture1.FontBold(false);
  Picture1.ForeColor(kBlack);
}

void Print_ResultsLine(const State& s, Display& Picture1, std::string_view usual) {
  if (s.ShowsOtherFile())
    Picture1.Print({kFileReadLabel, s.ReadFile});
  else
    Picture1.Print({usual});
}

void Print_ScMsg(State& s, Display& Picture1) {
  Picture1.ForeColor(kBlue);
  Picture1.Print({s.ScMsg});
  Picture1.ForeColor(kBlack);
}

}  // namespace tarvelo
