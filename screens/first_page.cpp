#include "screens/screens.h"

namespace tarvelo {

// The page shows nd and ncp as they stand, even when the count field has
// since set ncp to a value no run used. When the results held are not of the
// file now named as input (a Start could not read it, another was picked
// since), the files named are those of the results, not the fields'.
void Print_FirstPage(State& s, Display& Picture1) {
  Picture1.Cls();
  Picture1.Print({" TARVELO - Foil Section B-Spline Fitting"});
  Picture1.Print({" Version 2.01      2/24/13"});
  Picture1.Print();
  Picture1.Print({" Fitting of foil section thickness and camber data "});
  Picture1.Print({"               with B-splines."});
  Picture1.Print();
  const bool other = s.ShowsOtherFile();
  Picture1.Print({kFileReadLabel, other ? s.ReadFile : s.InFile});
  Picture1.Print({"ID - line     : ", s.IDLine});
  Picture1.Print({"Data points   : ", s.nd});
  // Kept open and then ended: one line, no empty line after it.
  Picture1.Print({"Control points: ", s.ncp}, LineEnd::KeepOpen);
  Picture1.Print();
  // Only results that were written to the file named are called saved.
  const std::string& out = other && !s.SavedFile.empty() ? s.SavedFile : s.OutFile;
  const bool saved = !out.empty() && s.SavedFile == out;
  Picture1.Print({saved ? "File saved    : " : "File not saved: ", out});
  for (int j = 12; j <= kScreenLines; ++j) Picture1.Print({" "});
  s.ScMsg = "   Click on <Next Screen> for fitting results for thickness ";
  Print_ScMsg(s, Picture1);
  s.nScreen = 0;
}

}  // namespace tarvelo
