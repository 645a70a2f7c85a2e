// The shared state: every variable of the window that the fitting run, the
// engine, the files and the screens exchange. One plain struct; members keep
// the names and kinds the procedures use. Thickness is curve k = 1 and camber
// k = 2 in every two-column array.
#pragma once

#include <cstdint>
#include <string>

#include "bspline/array.h"
#include "bspline/flag.h"

namespace tarvelo {

struct State {
  State() {
    // The plot tables are fixed-size and exist from the start.
    xp.allocate(0, 100, 0, 2);
    yp.allocate(0, 100, 0, 2);
  }

  // Names, messages, flags and the screen index.
  std::string InFile;   // full name of the input data file
  std::string OutFile;  // full name of the output foil file
  std::string IDLine;   // first line of the input file, 8-bit text as read
  std::string SavedFile;  // the file the results held here were written to, if any
  std::string ReadFile;   // the file the data held here were read from, if any
  // The last Start could not read InFile: the results held are still those
  // of ReadFile, and the screens name it.
  bool ReadRefused = false;
  std::string ErMsg;    // text of the red error line
  std::string ScMsg;    // prompt of the screen being shown
  Flag ErFlag = kFalse;       // a file could not be opened or written, or a name is invalid
  std::int16_t nScreen = 0;   // screen that Next Screen shows next (0..4)

  // Counts of a run.
  double ncp = 0;  // number of control points per curve, a whole number
  int ko = 0;      // order of the B-splines, always 4 in a run
  int nd = 0;      // number of data points
  int n2 = 0;      // unknowns of the linear system being solved
  int ns = 0;      // 3*(ncp-3), divisor of the x-spline row parameters
  int np = 0;      // number of plot intervals

  // Input data (fractions of the chord).
  Array1<double> xin;   // (1..nd) chord position of data point i
  Array2<double> yd;    // (1..nd, 1..2) thickness, camber; normalised by the run
  Array1<double> ymax;  // (1..2) largest value of each column as read, never below 0
  double xv = 0;        // items of the record read last (percent); running sums
  double t1v = 0;
  double t2v = 0;
  double cv = 0;

  // The fitted splines.
  Array1<double> tk;   // (1..ncp+ko) knot vector shared by all curves
  Array1<double> xcp;  // (1..ncp) x of the control points
  Array2<double> ycp;  // (1..ncp, 1..2) normalised ordinates of the control points
  Array2<double> c1;   // (1..ncp, 0..1) x-spline coefficients and those of dx/dt

  // Work values of the fit.
  Array2<double> b;    // (1..ncp, 0..4) basis table at t1
  double t1 = 0;       // curve parameter
  double xs = 0;       // chord position whose parameter is sought
  Array1<double> f;    // (0..1) x(t1) and dx/dt at t1
  Array2<double> h;    // (1..n2, 1..n2+1) augmented matrix
  Flag lsing = kFalse; // the last system solved was singular
  // (1..nd, 1..ncp) cubic basis values at each data point, kept as the band
  // of ko functions that can be non-zero at its parameter.
  BandArray<double> bd;
  Array2<float> yr;    // (1..nd, 1..2) right-hand sides, single precision
  double sq = 0;       // sum of squared differences
  double yv = 0;       // running sum of a fitted ordinate

  // Fit results.
  Array2<double> xd;    // (1..nd, 1..2) chord position of the fitted curve
  Array2<double> yfit;  // (1..nd, 1..2) fitted normalised value
  Array2<float> dy;     // (0..nd, 1..2) yfit - yd, single precision; row 0 unused
  Array1<double> rms;   // (1..2) R.M.S. error per chord

  // Graphic.
  Array2<double> xp;  // (0..100, 0..2) plot points: chord position
  Array2<double> yp;  // (0..100, 0..2) plot points: normalised ordinate
  int sw = 0;         // width of the drawing coordinate system
  std::int16_t sh = 0;  // height of the drawing coordinate system
  int scf = 0;        // drawing units per chord length
  int xorg = 0;       // drawing x of chord position 0
  int yorg = 0;       // drawing y of ordinate 0
};

}  // namespace tarvelo
