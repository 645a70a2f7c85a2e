#include <tarvelo/tarvelo.h>

#include <cstdint>

#include "foilio/number_format.h"
#include "screens/screens.h"

namespace tarvelo {

namespace {


struct Listing {
  int k;  // curve: 1 thickness, 2 camber
  const char* title;
  const char* warning;
  const char* prompt;
  std::int16_t next;
};

// Before any run, and after a run that read new data but stopped before its
// fit ended, there is no fit: rows i = 1..nd are listed only while the data
// and the fit have point i, and the filler lines are counted from the rows
// listed, which keeps the prompt on line 37. The R.M.S. line carries its
// value, and the warning may follow, only when there is a fit; otherwise the
// label stands alone.
void ListFit(State& s, Display& Picture1, const Listing& t) {
  const int k = t.k;
  Picture1.Cls();
  Print_ResultsLine(s, Picture1, "");
  Picture1.Print({t.title});
  Picture1.Print();
  Picture1.Print({"   nr       x        fit      data      diff"});

  int rows = 0;
  for (int i = 1; i <= s.nd && s.HasPoint(i) && s.HasFitPoint(i); ++i) {
    Picture1.Print({FSt(3, 2, 0, i), FSt(3, 2, 5, s.xd(i, k)), FSt(3, 2, 5, s.yfit(i, k)),
                    FSt(3, 2, 5, s.yd(i, k)), FSt(3, 2, 5, s.dy(i, k))});
    ++rows;
  }

  Picture1.Print({" "});
  int l = 6;
  if (s.HasRms()) {
    Picture1.Print({" R.M.S. error / chord = ", FSt(0, 2, 5, s.rms(k))});
    if (s.rms(k) > kFairnessLimit) {
      Picture1.Print({" "});
      // Stays red over the filler lines, which show nothing, until the prompt.
      Picture1.ForeColor(kRed);
      Picture1.Print({t.warning});
      l = 8;
    }
  } else {
    Picture1.Print({" R.M.S. error / chord = "});
  }
  for (int j = 1; j <= kScreenLines - (l + rows); ++j) Picture1.Print({" "});

  s.ScMsg = t.prompt;
  Print_ScMsg(s, Picture1);
  s.nScreen = t.next;
}

}  // namespace

void List_Data1(State& s, Display& Picture1) {
  ListFit(s, Picture1,
          {1, " Fitting Result of Normalized Foil Thickness ",
           " Check the foil input data for fairness !! ",
           "   Click on <Next Screen> for fitting results for camber ", 1});
}

void List_Data2(State& s, Display& Picture1) {
  ListFit(s, Picture1,
          {2, " Fitting Result of Normalized Foil Camber ",
           " Check the camber input data for fairness !! ",
           "   Click on <Next Screen> for graphic display ", 2});
}

}  // namespace tarvelo
