#include "screens/screens.h"

namespace tarvelo {

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
  if (s.ReadRefused)
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
