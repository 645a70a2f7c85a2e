#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "foilio/number_format.h"
#include "screens/screens.h"

namespace tarvelo {

namespace {

// The columns of a listing's rows, copied from the state: the rows may be
// made long after the screen was printed, when the state holds another run.
struct Columns {
  std::vector<double> x, fit, data;
  std::vector<float> diff;
  double ymax = 0;  // what the data were divided by, when above 0

  std::string Row(std::size_t n) const {
    const double d = ymax > 0 ? data[n] / ymax : data[n];
    return FSt(3, 2, 0, static_cast<double>(n + 1)) + FSt(3, 2, 5, x[n]) + FSt(3, 2, 5, fit[n]) +
           FSt(3, 2, 5, d) + FSt(3, 2, 5, diff[n]);
  }
};

// Characters of FSt(3, 2, 5, v): ten for every finite value below 9 in size,
// whose integer part stays one digit when rounded; others are written out.
std::size_t ValueWidth(double v) {
  if (std::fabs(v) < 9) return 10;
  return FSt(3, 2, 5, v).size();
}

// The longest row: its number is widest at the last row.
std::size_t Widest(const Columns& c, std::size_t rows) {
  std::size_t values = 0;
  for (std::size_t n = 0; n < rows; ++n) {
    const double d = c.ymax > 0 ? c.data[n] / c.ymax : c.data[n];
    values = std::max(values, ValueWidth(c.x[n]) + ValueWidth(c.fit[n]) + ValueWidth(d) +
                                  ValueWidth(c.diff[n]));
  }
  return rows == 0 ? 0 : FSt(3, 2, 0, static_cast<double>(rows)).size() + values;
}

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
  while (rows < s.nd && s.HasPoint(rows + 1) && s.HasFitPoint(rows + 1)) ++rows;
  if (rows > 0) {
    const auto n = static_cast<std::size_t>(rows);
    const auto c = std::make_shared<Columns>();
    const CurveFit& curve = k == 1 ? s.fit->thickness : s.fit->camber;
    const std::vector<double>& data = k == 1 ? s.data.thickness : s.data.camber;
    c->x.assign(s.fit->x.begin(), s.fit->x.begin() + rows);
    c->fit.assign(curve.fitted.begin(), curve.fitted.begin() + rows);
    c->data.assign(data.begin(), data.begin() + rows);
    c->diff.assign(curve.difference.begin(), curve.difference.begin() + rows);
    c->ymax = s.ymax(k);
    Picture1.PrintRows(Rows{n, Widest(*c, n), [c](std::size_t r) { return c->Row(r); }});
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
