// NACA sections from their published formulas: thickness distributions and
// mean lines of the four-digit, five-digit and 16-series families, each mean
// line with its slope; and the designations of every family made here.
#include <array>
#include <cctype>
#include <cmath>
#include <numbers>

#include "foilio/items.h"
#include "foilio/number_format.h"
#include "geometry/outline.h"
#include "lib/foil.h"
#include "lib/naca.h"

namespace tarvelo {

namespace {

// ---- Thickness: half the thickness at x, a fraction of the chord ----------

// Four- and five-digit sections, thickness t: Jacobs, Ward and Pinkerton,
// NACA Report 460 (1933):
//   y_t = 5 t (0.2969 sqrt(x) - 0.1260 x - 0.3516 x^2 + 0.2843 x^3 - 0.1015 x^4),
// which leaves the trailing edge 0.021 t thick. -0.1036 in place of -0.1015,
// a common modification that is not in the report, closes it.
double FourDigitHalfThickness(double x, double t, bool closed_te) {
  const double a4 = closed_te ? -0.1036 : -0.1015;
  return 5 * t * (0.2969 * std::sqrt(x) + x * (-0.1260 + x * (-0.3516 + x * (0.2843 + x * a4))));
}

// 16-series sections, thickness t (Stack, NACA Report 763, 1943): the
// modified four-digit form with its largest thickness at half the chord and
// leading-edge index 4, a polynomial in sqrt(x) ahead of it and in (1 - x)
// behind; per unit thickness:
//   y_t / t = 0.989665 sqrt(x) - 0.239250 x - 0.041000 x^2 - 0.559400 x^3   (x <= 0.5)
//   y_t / t = 0.010000 + 2.325000 (1-x) - 3.420000 (1-x)^2 + 1.460000 (1-x)^3
// The trailing edge is 0.02 t thick, as the series defines it.
double SixteenSeriesHalfThickness(double x, double t) {
  if (x <= 0.5) return t * (0.989665 * std::sqrt(x) + x * (-0.239250 + x * (-0.041000 + x * -0.559400)));
  const double u = 1 - x;
  return t * (0.010000 + u * (2.325000 + u * (-3.420000 + u * 1.460000)));
}

// ---- Mean lines: the camber at x, a fraction of the chord ---------------

// Four-digit: camber m at p of the chord, two parabolas that meet there
// (NACA Report 460).
double FourDigitCamber(double x, double m, double p) {
  if (m == 0) return 0;
  if (x < p) return m / (p * p) * (2 * p * x - x * x);
  return m / ((1 - p) * (1 - p)) * ((1 - 2 * p) + 2 * p * x - x * x);
}

double FourDigitSlope(double x, double m, double p) {
  if (m == 0) return 0;
  if (x < p) return 2 * m / (p * p) * (p - x);
  return 2 * m / ((1 - p) * (1 - p)) * (p - x);
}

// Five-digit, not reflexed, design lift coefficient 0.3: a cubic to r of the
// chord and a straight line behind, Jacobs and Pinkerton, NACA Report 537
// (1935); r and k1 of the mean lines 210 to 250 as Abbott and von Doenhoff,
// Theory of Wing Sections (1959), tabulate them:
//   y_c = k1 / 6 (x^3 - 3 r x^2 + r^2 (3 - r) x)   (x < r)
//   y_c = k1 r^3 / 6 (1 - x)                          (x >= r)
struct FiveDigitLine {
  double r;
  double k1;
};
constexpr std::array<FiveDigitLine, 5> kFiveDigitLines = {
    {{0.0580, 361.400}, {0.1260, 51.640}, {0.2025, 15.957}, {0.2900, 6.643}, {0.3910, 3.230}}};

double FiveDigitCamber(double x, const FiveDigitLine& line) {
  const double r = line.r;
  if (x < r) return line.k1 / 6 * (x * x * x - 3 * r * x * x + r * r * (3 - r) * x);
  return line.k1 * r * r * r / 6 * (1 - x);
}

double FiveDigitSlope(double x, const FiveDigitLine& line) {
  const double r = line.r;
  if (x < r) return line.k1 / 6 * (3 * x * x - 6 * r * x + r * r * (3 - r));
  return -line.k1 * r * r * r / 6;
}

// u ln|u|, with its limit 0 at u = 0.
double XLogX(double u) { return u == 0 ? 0 : u * std::log(std::fabs(u)); }

// F(u) = 1/2 u^2 ln|u| - 1/4 u^2, whose derivative is u ln|u|, and its
// backward difference quotient D(u) = (F(u) - F(u - e)) / e. Near a = 1, e
// is tiny and F(u) and F(u - e) agree in nearly every digit: there the
// difference is taken apart first, u^2 ln u - v^2 ln v = u^2 ln(1 + e / v)
// + (u^2 - v^2) ln v with u^2 - v^2 = e (u + v), so that nothing cancels
// before the division by e.
double F(double u) { return u == 0 ? 0 : u * u * (0.5 * std::log(std::fabs(u)) - 0.25); }

double DifferenceQuotient(double u, double e) {
  const double v = u - e;
  if (v <= 0) return (F(u) - F(v)) / e;
  return 0.5 * (u * u * (std::log1p(e / v) / e) + (u + v) * std::log(v)) - 0.25 * (u + v);
}

// The a-series mean line: the load uniform from the leading edge to a of
// the chord, then falling linearly to the trailing edge, for the design
// lift coefficient cli. Abbott, von Doenhoff and Stivers, NACA Report 824
// (1945):
//   y_c = cli / (2 pi (a + 1)) [ 1 / (1 - a) (1/2 (a-x)^2 ln|a-x| - 1/2 (1-x)^2 ln(1-x)
//         + 1/4 (1-x)^2 - 1/4 (a-x)^2) - x ln x + g - h x ]
//   g = -1 / (1 - a) (a^2 (1/2 ln a - 1/4) + 1/4)
//   h = 1 / (1 - a) (1/2 (1-a)^2 ln(1-a) - 1/4 (1-a)^2) + g
// and for a = 1, the load uniform over the whole chord:
//   y_c = -cli / (4 pi) ((1-x) ln(1-x) + x ln x)
// With e = 1 - a the bracket is -D(1 - x) + g (1 - x) - x ln x
// - x (1/2 e ln e - 1/4 e), and g = D(1): the same numbers, without the
// differences of nearly equal terms that the report's form divides by e.
double ASeriesCamber(double x, double a, double cli) {
  if (cli == 0) return 0;
  if (a == 1) return -cli / (4 * std::numbers::pi) * (XLogX(1 - x) + XLogX(x));
  const double e = 1 - a;
  const double g = DifferenceQuotient(1, e);
  const double bracket = -DifferenceQuotient(1 - x, e) + g * (1 - x) - XLogX(x) - x * (0.5 * XLogX(e) - 0.25 * e);
  return cli / (2 * std::numbers::pi * (a + 1)) * bracket;
}

// The slope of that mean line: the bracket's derivative is
// D'(1 - x) - g - ln x - 1 - (1/2 e ln e - 1/4 e), with
// D'(u) = (u ln u - v ln|v|) / e and v = u - e = a - x. Where v is well
// above e the two products agree in nearly every digit; there
// u ln u - v ln v = u ln(1 + e / v) + e ln v. The slope is infinite at the
// leading edge, and for a = 1 at the trailing edge too.
double ASeriesSlope(double x, double a, double cli) {
  if (cli == 0) return 0;
  if (a == 1) return -cli / (4 * std::numbers::pi) * (std::log(x) - std::log1p(-x));
  const double e = 1 - a, u = 1 - x, v = a - x;
  const double d = v > e ? u * (std::log1p(e / v) / e) + std::log(v) : (XLogX(u) - XLogX(v)) / e;
  const double g = DifferenceQuotient(1, e);
  const double bracket = d - g - std::log(x) - 1 - (0.5 * XLogX(e) - 0.25 * e);
  return cli / (2 * std::numbers::pi * (a + 1)) * bracket;
}

// ---- Designations --------------------------------------------------------

Error Refused(const std::string& text) { return Error(ErrorKind::Usage, text); }

bool Digits(std::string_view text) {
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return !text.empty();
}

int Digit(std::string_view text, std::size_t i) { return text[i] - '0'; }

// The thickness in its last two digits, a fraction of the chord.
double Thickness(std::string_view designation) {
  const int percent = Digit(designation, designation.size() - 2) * 10 + Digit(designation, designation.size() - 1);
  if (percent == 0) throw Refused("NACA " + std::string(designation) + " has no thickness");
  return percent / 100.0;
}

// The thickness as its designation gives it, in percent: "7" of "65A007",
// free of the binary noise of 100 * 0.07.
std::string PercentText(std::string_view designation) {
  const std::string_view digits = designation.substr(designation.size() - 2);
  return std::string(digits[0] == '0' ? digits.substr(1) : digits);
}

// a as the ID line gives it: "0.8", "1.0" for a whole number, and "0.0"
// for -0, which is no other mean line than 0.
std::string MeanLineText(double a) {
  const std::string text = ShortestText(a + 0.0);
  return text.find_first_of(".e") == std::string::npos ? text + ".0" : text;
}

NacaFamily FourDigit(std::string_view d, const NacaOptions& options, const std::string& closed) {
  const std::string naca = "NACA " + std::string(d);
  const double m = Digit(d, 0) / 100.0, p = Digit(d, 1) / 10.0, t = Thickness(d);
  if ((m == 0) != (p == 0))
    throw Refused(naca + ": the camber (first digit) and its position (second) are 0 together or not at all");
  const bool closed_te = options.closed_te;
  return {[t, closed_te](double x) { return FourDigitHalfThickness(x, t, closed_te); },
          [m, p](double x) { return FourDigitCamber(x, m, p); }, [m, p](double x) { return FourDigitSlope(x, m, p); },
          naca + (m == 0 ? ", symmetric section" : ", standard thickness and camber") + closed,
          PublishedTableStations()};
}

NacaFamily FiveDigit(std::string_view d, const NacaOptions& options, const std::string& closed) {
  const std::string naca = "NACA " + std::string(d);
  const int p = Digit(d, 1);
  if (Digit(d, 0) != 2 || p < 1 || p > 5 || Digit(d, 2) != 0)
    throw Refused(naca + ": the five-digit mean lines are 210 to 250 (design lift coefficient 0.3, not reflexed)");
  const double t = Thickness(d);
  const bool closed_te = options.closed_te;
  const FiveDigitLine line = kFiveDigitLines[static_cast<std::size_t>(p - 1)];
  return {[t, closed_te](double x) { return FourDigitHalfThickness(x, t, closed_te); },
          [line](double x) { return FiveDigitCamber(x, line); }, [line](double x) { return FiveDigitSlope(x, line); },
          naca + ", standard thickness and camber" + closed, PublishedTableStations()};
}

// The a-series mean line's a the options ask for, 1 unless they say.
double MeanLineA(const NacaOptions& options) {
  const double a = options.mean_line_a.value_or(1);
  if (!(a >= 0 && a <= 1)) throw Refused("the mean line's a must be from 0 to 1");
  return a;
}

// The a-series mean line the options ask for, and its words in the ID line.
std::string ASeriesMeanLine(NacaFamily& family, const NacaOptions& options, double cli) {
  const double a = MeanLineA(options);
  family.camber = [a, cli](double x) { return ASeriesCamber(x, a, cli); };
  family.slope = [a, cli](double x) { return ASeriesSlope(x, a, cli); };
  return ", a=" + MeanLineText(a) + " mean line, cli=" + MeanLineText(cli);
}

void NoCamber(NacaFamily& family) {
  family.camber = [](double) { return 0.0; };
  family.slope = [](double) { return 0.0; };
}

NacaFamily SixteenSeries(std::string_view d, const NacaOptions& options) {
  const std::string naca = "NACA " + std::string(d);
  const double cli = Digit(d, 3) / 10.0, t = Thickness(d);
  NacaFamily family{[t](double x) { return SixteenSeriesHalfThickness(x, t); }, {}, {}, "", PublishedTableStations()};
  const std::string mean_line = ASeriesMeanLine(family, options, cli);
  family.name = cli == 0 ? naca + ", symmetric section" : naca + " thickness" + mean_line;
  return family;
}

// "65A210": the 65A010 thickness at 10 % of the chord, and the a = 0.8
// (modified) mean line the series is defined with, at cli 0.2. Only the 10 %
// thickness is tabulated here: another is that one scaled, and named so.
NacaFamily SixFiveASeries(std::string_view d, const NacaOptions& options) {
  if (options.mean_line_a) throw Refused("the 6A-series has its own mean line, a=0.8 (modified)");
  const double cli = Digit(d, 3) / 10.0, t = Thickness(d);
  NacaFamily family = SixFiveAThickness(t);
  std::string name = "NACA " + std::string(d);
  if (t != 0.10) name += " (the 65A010 thickness scaled to " + PercentText(d) + " %)";
  if (cli == 0) {
    NoCamber(family);
    family.name = name + ", symmetric section";
  } else {
    AEightModifiedMeanLine(family, cli);
    family.name = name + ", a=0.8 (modified) mean line, cli=" + MeanLineText(cli);
  }
  return family;
}

// "66mod-212": the modified NACA 66 thickness, 12 % of the chord, with the
// a = 0.8 (modified) mean line at cli 0.2, or the a-series one asked for.
NacaFamily SixSixModified(std::string_view d, const NacaOptions& options) {
  const double cli = Digit(d, 6) / 10.0, t = Thickness(d);
  NacaFamily family = SixSixModThickness(t);
  const std::string name = "NACA " + std::string(d) + ", 66 (mod) thickness " + PercentText(d) + " %";
  if (cli == 0) {
    MeanLineA(options);  // checked, though no camber uses it
    NoCamber(family);
    family.name = name + ", symmetric section";
  } else if (options.mean_line_a) {
    family.name = name + ASeriesMeanLine(family, options, cli);
  } else {
    AEightModifiedMeanLine(family, cli);
    family.name = name + ", a=0.8 (modified) mean line, cli=" + MeanLineText(cli);
  }
  return family;
}

}  // namespace

NacaFamily RecognisedNaca(std::string_view d, const NacaOptions& options) {
  const bool sixteen = d.size() == 6 && d.substr(0, 3) == "16-" && Digits(d.substr(3));
  const bool six_five_a = d.size() == 6 && d.substr(0, 3) == "65A" && Digits(d.substr(3));
  const bool six_six_mod = d.size() == 9 && d.substr(0, 6) == "66mod-" && Digits(d.substr(6));
  if (options.mean_line_a && !(sixteen || six_five_a || six_six_mod))
    throw Refused("an a-series mean line is for 16-series and 66 (mod) sections only");
  if (options.closed_te && (sixteen || six_five_a || six_six_mod))
    throw Refused("a closed trailing edge is for four- and five-digit sections only");
  const std::string closed = options.closed_te ? ", closed trailing edge" : "";
  if (d.size() == 4 && Digits(d)) return FourDigit(d, options, closed);
  if (d.size() == 5 && Digits(d)) return FiveDigit(d, options, closed);
  if (sixteen) return SixteenSeries(d, options);
  if (six_five_a) return SixFiveASeries(d, options);
  if (six_six_mod) return SixSixModified(d, options);
  if (d.size() == 6 && d[0] == '6' && d[2] == '-' && Digits(d.substr(1, 1)) && Digits(d.substr(3)))
    throw Refused("NACA " + std::string(d) + ": the 6-series thicknesses are not made here; the modified 66 "
                  "thickness of propeller sections is 66mod-" + std::string(d.substr(3)));
  throw Refused("'" + std::string(d) +
                "' is not a NACA designation made here: four digits (2412), five (23012), a 16-series "
                "section (16-206), a 6A-series one (65A010) or the modified 66 of propellers (66mod-212)");
}

namespace {

// x as the section file prints it and the reader reads it back: the percent
// rounded to the file's decimals, then divided by 100.
double Printed(double fraction, int decimals) {
  double percent = 0;
  detail::ParseNumber(FSt(0, 0, decimals, 100 * fraction), percent);
  return percent / 100;
}

}  // namespace

Section NacaSection(std::string_view designation, const NacaOptions& options) {
  if (options.decimals != 4 && options.decimals != 6) throw Refused("a section file has 4 or 6 decimals");
  if (!options.table_stations && (options.stations < kFewestStations || options.stations > kMostStations))
    throw Refused("5 to 401 stations are allowed");
  const NacaFamily family = RecognisedNaca(designation, options);
  Section section;
  if (options.table_stations) {
    section.x = family.table_stations;
    section.id_line = family.name + ", " + std::to_string(section.x.size()) + " stations";
  } else {
    for (double x : CosineStations(options.stations)) section.x.push_back(Printed(x, options.decimals));
    section.id_line = family.name + ", " + std::to_string(options.stations) + " cosine-spaced stations";
  }
  for (double x : section.x) {
    section.thickness.push_back(2 * family.half_thickness(x));
    section.camber.push_back(family.camber(x));
  }
  return section;
}

}  // namespace tarvelo
