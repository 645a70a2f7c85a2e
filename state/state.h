// The shared state: every variable of the window that the fitting run, the
// files and the screens exchange. One plain struct; members keep the names
// and kinds the procedures use. Thickness is curve k = 1 and camber k = 2.
//
// The data read and the fit made of them are the library's own types, a
// Section and a Fit: the run reads into the one and fits through the
// library into the other, and the screens read both through the accessors
// below, named as the procedures name the arrays (xin, yd, xd, yfit, dy,
// rms, tk, xcp, ycp), 1-based as they are.
#pragma once

#include <tarvelo/tarvelo.h>

#include <array>
#include <cstdint>
#include <optional>
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
  // How the run places the data points on the fitted curves: a row of the
  // library's PlacementMethods().
  std::string placement = kDefaultPlacement;
  std::string ErMsg;    // text of the red error line
  std::string ScMsg;    // prompt of the screen being shown
  Flag ErFlag = kFalse;       // a file could not be opened or written, or a name is invalid
  std::int16_t nScreen = 0;   // screen that Next Screen shows next (0..4)

  // Counts of a run.
  double ncp = 0;  // number of control points per curve, a whole number
  int ko = 0;      // order of the B-splines, always 4 in a run
  int nd = 0;      // number of data points
  int np = 0;      // number of plot intervals

  // Input data (Read_FoilData): the data points read last, as fractions of
  // the chord, and the largest value of each curve as read, never below 0.
  Section data;
  std::array<double, 2> largest{};
  double xv = 0;  // items of the record read last (percent)
  double t1v = 0;
  double t2v = 0;
  double cv = 0;

  // The fit of the data held (Main), until the next read replaces them: the
  // spline, and the fitted values at the data points. Empty before a run has
  // fitted, and after a run that read new data stopped before its fit ended.
  std::optional<Fit> fit;

  // Graphic.
  Array2<double> b;   // (1..ncp, 0..4) basis table at t1
  double t1 = 0;      // curve parameter
  double yv = 0;      // running sum of a fitted ordinate
  Array2<double> xp;  // (0..100, 0..2) plot points: chord position
  Array2<double> yp;  // (0..100, 0..2) plot points: normalised ordinate
  int sw = 0;         // width of the drawing coordinate system
  std::int16_t sh = 0;  // height of the drawing coordinate system
  int scf = 0;        // drawing units per chord length
  int xorg = 0;       // drawing x of chord position 0
  int yorg = 0;       // drawing y of ordinate 0

  // The data held are not those of the file now named as input: a Start
  // could not read it, or another file was picked, typed or imported since.
  // The screens then name ReadFile.
  bool ShowsOtherFile() const { return ReadRefused || (!ReadFile.empty() && ReadFile != InFile); }

  // ---- The data and the fit, as the procedures index them ----

  // Data point i of 1..nd exists.
  bool HasPoint(int i) const { return i >= 1 && static_cast<std::size_t>(i) <= data.points(); }
  double& xin(int i) { return data.x[Row(i)]; }
  double xin(int i) const { return data.x[Row(i)]; }
  // Largest value of curve k as read, never below 0.
  double ymax(int k) const { return largest[Curve(k)]; }
  // Curve k at data point i, normalised: divided by ymax(k) where that is
  // above 0, the division the run made of every value it read.
  double yd(int i, int k) const {
    const double v = k == 1 ? data.thickness[Row(i)] : data.camber[Row(i)];
    return ymax(k) > 0 ? v / ymax(k) : v;
  }

  // The fit has data point i, control point j, an error for its curves.
  bool HasFitPoint(int i) const { return fit && i >= 1 && static_cast<std::size_t>(i) <= fit->x.size(); }
  bool HasControlPoint(int j) const { return fit && j >= 1 && j <= fit->control_points; }
  bool HasRms() const { return fit.has_value(); }
  // Chord position of the fitted curves at data point i (the same for both).
  double xd(int i, int /*k*/) const { return fit->x[Row(i)]; }
  double yfit(int i, int k) const { return Of(k).fitted[Row(i)]; }
  float dy(int i, int k) const { return Of(k).difference[Row(i)]; }
  double rms(int k) const { return Of(k).rms; }
  double tk(int j) const { return fit->knots[Row(j)]; }
  double& xcp(int j) { return fit->control_x[Row(j)]; }
  double xcp(int j) const { return fit->control_x[Row(j)]; }
  double ycp(int j, int k) const { return Of(k).control[Row(j)]; }

 private:
  static std::size_t Row(int i) { return static_cast<std::size_t>(i - 1); }
  static std::size_t Curve(int k) { return static_cast<std::size_t>(k - 1); }
  const CurveFit& Of(int k) const { return k == 1 ? fit->thickness : fit->camber; }
};

}  // namespace tarvelo
