// The sections some NACA families are defined by tables of, not formulas:
// the 6A-series thickness and mean line, and the modified NACA 66 thickness
// propellers use. The tables are as published; between their stations the
// values are interpolated, which the ID lines say.
#include <algorithm>
#include <array>
#include <cmath>

#include "lib/naca.h"
#include "lib/table_spline.h"

namespace tarvelo {

namespace {

// Chord positions of the 26-station tables, percent.
constexpr std::array<double, 26> kStations26 = {0,  0.5, 0.75, 1.25, 2.5, 5,  7.5, 10, 15, 20, 25, 30, 35,
                                                40, 45,  50,   55,   60,  65, 70,  75, 80, 85, 90, 95, 100};

// NACA 65A010, half the thickness in percent of the chord at kStations26
// (Loftin, NACA Report 903, 1948; Abbott and von Doenhoff, Theory of Wing
// Sections, 1959, Appendix I). The trailing edge is 0.042 % thick.
constexpr std::array<double, 26> k65A010 = {0,     0.765, 0.928, 1.183, 1.623, 2.182, 2.650, 3.040, 3.658,
                                            4.127, 4.483, 4.742, 4.912, 4.995, 4.983, 4.863, 4.632, 4.304,
                                            3.899, 3.432, 2.912, 2.352, 1.771, 1.188, 0.604, 0.021};

// The a = 0.8 (modified) mean line of the 6A-series for a design lift
// coefficient of 1: its ordinate in percent of the chord and its slope
// dy_c/dx at kStations26 (NACA Report 903; Theory of Wing Sections,
// Appendix II). Behind 90 % of the chord it is straight.
constexpr std::array<double, 26> kA08ModCamber = {0,     0.281, 0.396, 0.603, 1.055, 1.803, 2.432, 2.981, 3.903,
                                                  4.651, 5.257, 5.742, 6.120, 6.394, 6.571, 6.651, 6.631, 6.508,
                                                  6.274, 5.913, 5.401, 4.673, 3.607, 2.452, 1.226, 0};
constexpr std::array<double, 26> kA08ModSlope = {
    0.53699, 0.47539, 0.44004, 0.39531, 0.33404,  0.27149,  0.23378,  0.20618,  0.16546,
    0.13452, 0.10873, 0.08595, 0.06498, 0.04507,  0.02559,  0.00607,  -0.01404, -0.03537,
    -0.05887, -0.08610, -0.12058, -0.18034, -0.23430, -0.24521, -0.24521, -0.24521};

// The NACA 66 thickness with the nose and tail modified by the David Taylor
// Model Basin, as propeller sections use it: the thickness over the largest
// thickness at its 18 stations, percent of the chord (Brockett, Minimum
// Pressure Envelopes for Modified NACA-66 Sections with NACA a = 0.8 Camber
// and BuShips Type I and Type II Sections, DTMB Report 1780, 1966). The
// trailing edge is 6.66 % of the largest thickness thick.
constexpr std::array<double, 18> k66ModStations = {0, 1.25, 2.5, 5, 7.5, 10, 15, 20, 30, 40, 45, 50, 60, 70, 80, 90, 95, 100};
constexpr std::array<double, 18> k66Mod = {0,      0.2088, 0.2932, 0.4132, 0.5050, 0.5814, 0.7042, 0.8000, 0.9274,
                                           0.9904, 1.0000, 0.9924, 0.9306, 0.8070, 0.6220, 0.3754, 0.2286, 0.0666};

template <std::size_t N>
std::vector<double> Fractions(const std::array<double, N>& percent) {
  std::vector<double> v;
  for (double p : percent) v.push_back(p / 100);
  return v;
}

// A thickness table as a function of x: the not-a-knot cubic spline through
// it in sqrt(x), in which a round nose's half thickness, growing as sqrt(x),
// is smooth. It passes through every tabulated value exactly.
std::function<double(double)> ThicknessBetween(const std::vector<double>& x, const std::vector<double>& half) {
  std::vector<double> root;
  for (double xi : x) root.push_back(std::sqrt(xi));
  const ColumnSpline spline = InterpolateColumn(root, half);
  // Each station gives back its table's value, not the spline's rounding of it.
  return [spline, x, half](double at) {
    const auto i = std::lower_bound(x.begin(), x.end(), at);
    if (i != x.end() && *i == at) return half[static_cast<std::size_t>(i - x.begin())];
    return spline.Value(std::sqrt(at));
  };
}

// The cubic on [x0, x1] with the tabulated ordinates y and slopes s at both
// ends (Hermite), and its slope: the mean line between the stations keeps
// the published slope at each of them.
struct Hermite {
  double value;
  double slope;
};
Hermite HermiteAt(double x, double x0, double x1, double y0, double y1, double s0, double s1) {
  const double h = x1 - x0, u = (x - x0) / h;
  const double h00 = (1 + 2 * u) * (1 - u) * (1 - u), h10 = u * (1 - u) * (1 - u);
  const double h01 = u * u * (3 - 2 * u), h11 = u * u * (u - 1);
  const double d00 = 6 * u * (u - 1), d10 = (1 - u) * (1 - 3 * u), d01 = -d00, d11 = u * (3 * u - 2);
  return {h00 * y0 + h10 * h * s0 + h01 * y1 + h11 * h * s1, (d00 * y0 + d01 * y1) / h + d10 * s0 + d11 * s1};
}

}  // namespace

const std::vector<double>& PublishedTableStations() {
  static const std::vector<double> stations = Fractions(kStations26);
  return stations;
}

namespace {

Hermite MeanLineAt(double x) {
  const std::vector<double>& stations = PublishedTableStations();
  // The interval [stations[k], stations[k + 1]] holding x; x at a station
  // takes the interval it begins, the last one the interval it ends.
  const auto above = std::upper_bound(stations.begin(), stations.end(), x);
  std::size_t k = static_cast<std::size_t>(above - stations.begin());
  k = std::clamp<std::size_t>(k, 1, stations.size() - 1) - 1;
  if (x == stations[k]) return {kA08ModCamber[k] / 100, kA08ModSlope[k]};
  if (x == stations[k + 1]) return {kA08ModCamber[k + 1] / 100, kA08ModSlope[k + 1]};
  return HermiteAt(x, stations[k], stations[k + 1], kA08ModCamber[k] / 100, kA08ModCamber[k + 1] / 100,
                   kA08ModSlope[k], kA08ModSlope[k + 1]);
}

}  // namespace

NacaFamily SixFiveAThickness(double thickness) {
  std::vector<double> half = Fractions(k65A010);
  for (double& h : half) h *= thickness / 0.10;
  NacaFamily family;
  family.half_thickness = ThicknessBetween(PublishedTableStations(), half);
  family.table_stations = PublishedTableStations();
  return family;
}

NacaFamily SixSixModThickness(double thickness) {
  std::vector<double> half;
  for (double ratio : k66Mod) half.push_back(thickness * ratio / 2);
  NacaFamily family;
  family.half_thickness = ThicknessBetween(Fractions(k66ModStations), half);
  family.table_stations = Fractions(k66ModStations);
  return family;
}

void AEightModifiedMeanLine(NacaFamily& family, double cli) {
  family.camber = [cli](double x) { return cli * MeanLineAt(x).value; };
  family.slope = [cli](double x) { return cli * MeanLineAt(x).slope; };
}

}  // namespace tarvelo
