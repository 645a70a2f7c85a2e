#include "foilio/number_format.h"
#include "screens/screens.h"

namespace tarvelo {

// The count field may have set ncp to anything whole (0, 25, 1e30, infinity)
// after the run that produced the control points. The rows run from j = 1 up
// to ncp only while the fit has control point j, and the filler lines are
// counted from the rows shown, so the prompt stays on line 37.
void List_Foil_Camber(State& s, Display& Picture1) {
  Picture1.Cls();
  Print_ResultsLine(s, Picture1, "");
  Picture1.Print();
  Picture1.Print({"  Control Point Positions for Thickness (yt), Camber (yc)"});
  Picture1.Print();
  Picture1.Print({"   nr       x        yt        yc"});

  int rows = 0;
  for (int j = 1; j <= s.ncp && s.HasControlPoint(j); ++j) {
    // The output file writer does the same: no control point left of the
    // leading edge.
    if (s.xcp(j) <= 0) s.xcp(j) = 0;
    Picture1.Print({FSt(3, 2, 0, j), FSt(3, 2, 5, s.xcp(j)), FSt(3, 2, 5, s.ycp(j, 1)),
                    FSt(3, 2, 5, s.ycp(j, 2))});
    ++rows;
  }
  for (int j = 1; j <= kScreenLines - (5 + rows); ++j) Picture1.Print({" "});

  s.ScMsg = "   Click on <Next Screen> to view the screens again ";
  Print_ScMsg(s, Picture1);
  s.nScreen = 4;
}

}  // namespace tarvelo
