// The public API: what it refuses and with which text, the .FOI written and
// read back, the evaluation of a stored section against an independent one,
// and its exports.
#include <tarvelo/window.h>

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::DeBoor;

// x, thickness and camber at n stations clustered to the leading edge.
Section Smooth(int n) {
  Section s{"smooth", {}, {}, {}};
  for (int i = 0; i < n; ++i) {
    const double x = std::pow(static_cast<double>(i) / (n - 1), 2);
    s.x.push_back(x);
    s.thickness.push_back(0.6 * (std::sqrt(x) - x) * (1 + x));
    s.camber.push_back(0.2 * x * (1 - x));
  }
  return s;
}

using test::Refusal;

std::string Refusal(const Section& section, int count) {
  return Refusal([&] { FitSection(section, count); });
}

TEST(FitSectionTest, RefusesWithAKindAndAPlainSentence) {
  const std::string singular = "singular: the fit is singular: a control point has no data point within its reach";
  const std::string overflow = "overflow: a value of the fit is beyond the range of single precision";
  Section gap = Smooth(21);  // for 8 control points basis function 2 lives on 0 < x < 0.16
  for (int i = 1; i <= 7; ++i) gap.x[static_cast<std::size_t>(i)] = 0.17;
  Section thick = Smooth(21), camber = Smooth(21), ragged = Smooth(21);
  thick.thickness[5] = -5e38;  // beside a largest thickness of about 0.15: out of float range
  camber.camber[7] = -1e300;
  ragged.camber.pop_back();
  const struct {
    Section section;
    int count;
    std::string text;
  } rows[] = {
      {Smooth(21), 3, "usage: 4 to 40 control points are allowed, not 3"},
      {Smooth(42), 41, "usage: 4 to 40 control points are allowed, not 41"},
      {Smooth(21), 21, "too_few_points: 21 control points need at least 22 data points; the section has 21"},
      {Smooth(8), 8, "too_few_points: 8 control points need at least 9 data points; the section has 8"},
      {Smooth(9), 8, "done"},
      {gap, 8, singular},
      {thick, 8, overflow},
      {camber, 8, overflow},
      {ragged, 8, "usage: x, thickness and camber of the section differ in length"},
  };
  for (const auto& r : rows) EXPECT_EQ(Refusal(r.section, r.count), r.text) << r.count;
}

void Add(std::string& out, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, " %a", v);
  out += buf;
}

// Sections the bundled examples do not cover: unsorted, repeated and
// out-of-range chord positions, points crowding the leading edge, negative
// and zero curves. Only exactly rounded operations, so the same everywhere.
// Per section a head line "r<case> <count> <points>" and either the refusal
// or the control points and each curve's rms, largest deviation and its x.
std::vector<std::string> RandomSectionResults() {
  std::uint64_t state = 2024;
  const auto next = [&state] {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(state >> 11) / 9007199254740992.0;
  };
  std::vector<std::string> lines;
  for (int r = 0; r < 120; ++r) {
    const int count = 4 + r % 17;
    const int points = count + 1 + static_cast<int>(next() * 80);
    Section s{"random", {}, {}, {}};
    for (int i = 0; i < points; ++i) {
      const double u = static_cast<double>(i) / (points - 1);
      double x = u * u;
      switch (r % 6) {
        case 1: x = next(); break;                                   // any order
        case 2: x = 1.5 * next() - 0.25; break;                      // outside [0, 1]
        case 3: x = static_cast<double>(i / 2) / ((points - 1) / 2); break;  // in pairs
        case 4: x = i % 2 == 0 ? 1e-4 * u * u : x; break;                   // at the leading edge
        case 5: x = u; break;
      }
      s.x.push_back(x);
      s.thickness.push_back(r % 7 == 0 ? -0.1 * u : std::sqrt(u) * (1 - u) + 0.001 * next());
      s.camber.push_back(r % 5 == 0 ? 0.0 : u * (1 - u) - 0.02 * next());
    }
    const std::string head = "r" + std::to_string(r) + " " + std::to_string(count) + " " + std::to_string(points);
    try {
      const Fit fit = FitSection(s, count);
      std::string cp = head + " cp";
      for (std::size_t j = 0; j < fit.control_x.size(); ++j)
        for (const double v : {fit.control_x[j], fit.thickness.control[j], fit.camber.control[j]}) Add(cp, v);
      lines.push_back(cp);
      for (const auto& [name, c] : {std::pair{" thickness", &fit.thickness}, {" camber", &fit.camber}}) {
        std::string line = head + name;
        for (const double v : {c->rms, c->max_deviation, c->max_deviation_x}) Add(line, v);
        lines.push_back(line);
      }
    } catch (const Error& e) {
      lines.push_back(head + " " + ErrorKindName(e.kind()) + ": " + e.what());
    }
  }
  return lines;
}

// To write the file anew: TARVELO_WRITE_GOLDEN=<path> ./library_test --gtest_filter=*Random*
TEST(FitSectionTest, RandomSectionsGiveTheValuesOfThePlainForm) {
  // Kept from the plain form of the fit (the whole basis table cleared and
  // summed, the solver along its rows), like the golden results.
  const std::vector<std::string> got = RandomSectionResults();
  if (const char* path = std::getenv("TARVELO_WRITE_GOLDEN")) {
    std::string all;
    for (const std::string& line : got) all += line + "\n";
    test::WriteBytes(path, all);
    GTEST_SKIP() << "written to " << path;
  }
  std::istringstream want(test::ReadBytes(TARVELO_RANDOM_SECTIONS));
  for (const std::string& line : got) {
    std::string kept;
    ASSERT_TRUE(std::getline(want, kept)) << "the file ends before " << line;
    EXPECT_EQ(line, kept);
  }
  EXPECT_TRUE((want >> std::ws).eof()) << "more lines than sections";
}

// The tolerance is "at most": a count whose error equals it reaches it, one
// whose error is a hair above does not.
TEST(FewestControlPointsTest, ACountWhoseErrorEqualsTheToleranceReachesIt) {
  const Section section = ReadSection(test::ExamplePath("naca4412-40pt.dat"));
  for (const ErrorMeasure measure : {ErrorMeasure::Rms, ErrorMeasure::MaxDeviation}) {
    double fewer = std::numeric_limits<double>::infinity();  // the best error of the smaller counts
    for (int count = 4; count <= 20; ++count) {
      const Fit fit = FitSection(section, count);
      const double error = measure == ErrorMeasure::Rms ? std::max(fit.thickness.rms, fit.camber.rms)
                                                        : std::max(fit.thickness.max_deviation, fit.camber.max_deviation);
      if (error < fewer) {
        const CountChoice at = FewestControlPoints(section, error, measure);
        EXPECT_EQ(at.control_points, count);
        EXPECT_TRUE(at.reached);
        const CountChoice below = FewestControlPoints(section, std::nextafter(error, 0.0), measure);
        EXPECT_FALSE(below.reached && below.control_points == count);
        // The most control points allowed are tried too.
        const CountChoice most = FewestControlPoints(section, {error, measure, "window", count});
        EXPECT_EQ(std::pair(most.control_points, most.reached), std::pair(count, true));
      }
      fewer = std::min(fewer, error);
    }
  }
  // Where no count can be fitted, the fewest's refusal is the one given.
  EXPECT_EQ(Refusal([] { FewestControlPoints(Smooth(4), 1e-4, ErrorMeasure::Rms); }),
            "too_few_points: 4 control points need at least 5 data points; the section has 4");
}

// The tolerance is a positive normal number: the smallest is taken (no count
// is within it) and so is the largest (the fewest count is); anything else is
// refused, by either overload and every measure.
TEST(FewestControlPointsTest, TheToleranceIsAPositiveNormalNumber) {
  using limits = std::numeric_limits<double>;
  const Section section = Smooth(41);
  const ImportedSection imported = ImportOutlineText(test::Naca0012Outline(), "naca0012");
  const std::string range =
      "usage: the tolerance must be from 2.2250738585072014e-308 to 1.7976931348623157e+308 (per chord), not ";
  const struct {
    double tolerance;
    std::string refusal;
    bool reached;
  } rows[] = {
      {limits::min(), "done", false},
      {limits::max(), "done", true},
      {std::nextafter(limits::min(), 0.0), range + "2.225073858507201e-308", false},
      {limits::denorm_min(), range + "5e-324", false},
      {0.0, range + "0", false},
      {-0.0, range + "-0", false},
      {-1.0, range + "-1", false},
      {limits::quiet_NaN(), range + "nan", false},
      {limits::infinity(), range + "inf", false},
      {-limits::infinity(), range + "-inf", false},
  };
  for (const auto& r : rows) {
    for (const ErrorMeasure measure : {ErrorMeasure::Rms, ErrorMeasure::MaxDeviation, ErrorMeasure::OutlineDeviation}) {
      const CountOptions options{r.tolerance, measure, "exact", 6};
      CountChoice choice;
      const auto search = [&] {
        choice = measure == ErrorMeasure::OutlineDeviation ? FewestControlPoints(imported, options)
                                                           : FewestControlPoints(section, options);
      };
      EXPECT_EQ(Refusal(search), r.refusal) << r.tolerance;
      if (r.refusal != "done") continue;
      EXPECT_EQ(choice.reached, r.reached) << r.tolerance;
      if (r.reached) EXPECT_EQ(choice.control_points, 4) << r.tolerance;
    }
  }
}

TEST(LibraryFilesTest, SectionsAndFoilFilesAsTheWindowReadsAndWritesThem) {
  test::TempDir dir;
  const Section section = ReadSection(test::ExamplePath("naca2412.dat"));
  ASSERT_EQ(section.points(), 26u);
  EXPECT_EQ(section.id_line, "NACA 2412, standard thickness and camber, 26 stations");
  EXPECT_EQ(section.x.back(), 1.0);

  test::WriteBytes(dir.file("none.dat"), "no points\r\n0\r\n");
  EXPECT_EQ(ReadSection(dir.file("none.dat")).points(), 0u);
  try {
    ReadSection(dir.file("missing.dat"));
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), dir.file("missing.dat") + ": input file not found");
    EXPECT_EQ(e.subject(), dir.file("missing.dat"));
    EXPECT_EQ(e.reason(), "input file not found");
  }
  // Files that cannot be read, with the kind a script tests: a socket, which
  // opens as a missing drive does, and a read error after a good open.
  const std::string sock = dir.file("s");
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{AF_UNIX, {}};
  sock.copy(addr.sun_path, sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  const std::string noDrive = "not_found: " + sock + ": drive not available";
  const std::string readError = "not_readable: /proc/self/mem: input file could not be read";
  for (const auto& [call, refusal] : std::initializer_list<std::pair<std::function<void()>, std::string>>{
           {[&] { ReadSection(sock); }, noDrive},
           {[&] { ReadFoilFile(sock); }, noDrive},
           {[] { ReadSection("/proc/self/mem"); }, readError},
           {[] { ReadFoilFile("/proc/self/mem"); }, readError}})
    EXPECT_EQ(Refusal(call), refusal);
  ::close(fd);
  std::filesystem::remove(sock);

  // Written and read back: the file's five decimals, and an earlier file
  // kept when the write fails.
  const Fit fit = FitSection(section, 8);
  const std::string foi = dir.file("naca2412.FOI");
  WriteFoilFile(foi, fit);
  const FoilSpline foil = ReadFoilFile(foi);
  EXPECT_EQ(foil.id_line, section.id_line);
  ASSERT_EQ(foil.control_x.size(), 8u);
  for (std::size_t j = 0; j < 8; ++j) {
    EXPECT_NEAR(foil.control_x[j], fit.control_x[j], 0.5e-5);
    EXPECT_NEAR(foil.thickness[j], fit.thickness.control[j], 0.5e-5);
    EXPECT_NEAR(foil.camber[j], fit.camber.control[j], 0.5e-5);
  }

  // What is refused, or fails, leaves the earlier file as it was. An ID line
  // with a line end would read back as other data.
  const std::string bytes = test::ReadBytes(foi);
  const auto withId = [&](const std::string& id) {
    Fit f = fit;
    f.id_line = id;
    return Refusal([&] { WriteFoilFile(foi, f); });
  };
  const std::string lineEnd = "usage: the ID line holds a line end (CR or LF)";
  const struct {
    std::function<std::string()> call;
    std::string refusal;
  } rows[] = {
      {[&] { return withId("id\r\n 4  4 "); }, lineEnd},
      {[&] { return withId("id\n"); }, lineEnd},
      {[&] { return Refusal([&] { SectionFileText({"a\rb", {0}, {0}, {0}}); }); }, lineEnd},
      {[&] { return Refusal([&] { WriteFoilFile("/dev/full", fit); }); },
       "not_written: /dev/full: output file could not be written: no room left on the device"},
      {[&] { return Refusal([&] { WriteFoilFile(foi + "/x.FOI", fit); }); },
       "not_written: " + foi + "/x.FOI: output file could not be written: no such folder"},
      // The name as the system would take it, cut at the NUL, is the .FOI;
      // what() would end at the NUL too.
      {[&] {
         try {
           WriteFileContents(foi + std::string(1, '\0') + ".bak", "x");
         } catch (const Error& e) {
           return std::string(ErrorKindName(e.kind())) + ":" + e.subject() + "|" + e.reason();
         }
         return std::string("done");
       },
       "not_written:" + foi + std::string(1, '\0') + ".bak|output file name not valid"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(r.call(), r.refusal);
    EXPECT_EQ(test::ReadBytes(foi), bytes) << r.refusal;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // none.dat and the .FOI
}

TEST(LibraryFilesTest, MalformedFoilFilesAreRefusedNamingTheLine) {
  test::TempDir dir;
  const std::string f = dir.file("bad.FOI");
  const std::string head = "id\r\n 4  4 \r\n";
  const std::string good = "   0.00000   0.00000   0.00000\r\n   0.00000   0.50000   0.10000\r\n"
                           "   0.33333   0.90000   0.20000\r\n";
  const struct {
    std::string bytes, text;
  } rows[] = {
      {head + good + "   1.00000   0.10000   0.00000\r\n", ""},
      {"id\r\n 3  4 \r\n" + good, "no valid number of control points in line 2"},
      {"id\r\n 4.5  4 \r\n" + good, "no valid number of control points in line 2"},
      {"id\r\n", "no valid number of control points in line 2"},
      {"id\r\n 41  4 \r\n" + good, "no valid number of control points in line 2"},
      {"id\r\n 4  3 \r\n" + good, "spline order in line 2 is not 4"},
      {"id\r\n 4  5 \r\n" + good, "spline order in line 2 is not 4"},
      {head + good, "file ends after 3 of 4 control points"},
      {head + good + "   1.00000   x   0.00000\r\n", "invalid number in line 6"},
      {head + good + "   0.90000   0.10000   0.00000\r\n",
       "control point x in line 6 does not run from 0 to 1"},
      {head + "   0.10000   0.00000   0.00000\r\n",
       "control point x in line 3 does not run from 0 to 1"},
      {head + good.substr(0, 64) + "   0.20000   0.9   0.2\r\n   0.1   0   0\r\n",
       "control point x in line 6 does not run from 0 to 1"},
      // Blanks may follow the last control point; nothing else may.
      {head + good + "   1.00000   0.10000   0.00000,\r\n \t\r\n\r\n", ""},
      {head + good + "   1.00000   0.10000   0.00000\r\n   1.00000   0.10000   0.00000\r\n",
       "text after the last control point in line 7"},
      {head + good + "   1.00000   0.10000   0.00000\r\n\r\ngarbage here\r\n",
       "text after the last control point in line 8"},
      {head + good + "   1.00000   0.10000   0.00000   7", "text after the last control point in line 6"},
  };
  for (const auto& r : rows) {
    test::WriteBytes(f, r.bytes);
    std::string text;
    try {
      ReadFoilFile(f);
    } catch (const Error& e) {
      text = e.what();
    }
    EXPECT_EQ(text, r.text.empty() ? "" : f + ": " + r.text) << r.bytes;
  }
}

// An evaluation that shares nothing with the library's: de Boor's algorithm
// (test::DeBoor) and bisection on x(t) = x.

FoilSpline::Value Independent(const FoilSpline& foil, double x) {
  double lo = 0, hi = 1;
  for (int it = 0; it < 200; ++it) (DeBoor(foil.control_x, (lo + hi) / 2) < x ? lo : hi) = (lo + hi) / 2;
  const double t = (lo + hi) / 2;
  return {DeBoor(foil.thickness, t), DeBoor(foil.camber, t)};
}

// The largest deviation worked out from the control points alone: each curve
// evaluated by de Boor's algorithm where the fitted x reaches the data point's
// place, against the normalised data. The fit's own basis rounds its divisors
// to single precision and its differences are single precision: agreement
// to 1e-7 of the curve's largest value.
// The largest deviation is the fitted curve's, at each data point's own
// chord position, whatever the placement: against de Boor's algorithm and a
// bisection for the parameter, which share nothing with the library.
TEST(FitSectionTest, LargestDeviationIsWhereTheCurveIsFarthestFromItsData) {
  for (const char* name : {"naca2412.dat", "naca0012.dat", "naca4412-40pt.dat"}) {
    const Section section = ReadSection(test::ExamplePath(name));
    for (const std::string placement : {"window", "exact"}) {
      for (int count : {4, 8, 20, 39}) {
        if (count >= static_cast<int>(section.points())) continue;
        const Fit fit = FitSection(section, {count, placement});
        for (const auto& [curve, data] : {std::pair{&fit.thickness, &section.thickness},
                                          {&fit.camber, &section.camber}}) {
          const double scale = curve->ymax > 0 ? curve->ymax : 1.0;
          double largest = -1;
          std::size_t at = 0;
          for (std::size_t i = 0; i < section.points(); ++i) {
            double lo = 0, hi = 1;
            for (int it = 0; it < 200; ++it)
              (DeBoor(fit.control_x, (lo + hi) / 2) < section.x[i] ? lo : hi) = (lo + hi) / 2;
            const double d = std::fabs(DeBoor(curve->control, lo) - (*data)[i] / scale);
            if (d > largest + 1e-9) largest = d, at = i;
          }
          EXPECT_NEAR(curve->max_deviation, scale * largest, 1e-9 * scale) << name << count;
          EXPECT_EQ(curve->max_deviation_x, section.x[at]) << name << count;
        }
        // Without the deviations, every other number is the same, to the bit.
        const Fit lean = FitSection(section, {count, placement, false});
        EXPECT_EQ(std::tuple(lean.thickness.max_deviation, lean.thickness.max_deviation_x,
                             lean.camber.max_deviation, lean.camber.max_deviation_x),
                  std::tuple(0.0, 0.0, 0.0, 0.0));
        EXPECT_TRUE(lean.x == fit.x && lean.control_x == fit.control_x &&
                    lean.thickness.control == fit.thickness.control && lean.camber.fitted == fit.camber.fitted &&
                    lean.thickness.difference == fit.thickness.difference && lean.camber.rms == fit.camber.rms &&
                    lean.misplaced_points == fit.misplaced_points)
            << name << count;
      }
    }
  }
}

// The 40-point example fitted with count control points, as its .FOI holds it.
FoilSpline FittedFoil(int count) {
  test::TempDir dir;
  const std::string foi = dir.file("f.FOI");
  WriteFoilFile(foi, FitSection(ReadSection(test::ExamplePath("naca4412-40pt.dat")), count));
  return ReadFoilFile(foi);
}

// Whether text is a number within `within` of v, rounded to 8 decimals.
bool RoundedTo8(const std::string& text, double v, double within) {
  for (double end : {v - within, v + within}) {
    std::array<char, 32> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), end, std::chars_format::fixed, 8);
    const std::string rounded(buf.data(), res.ptr);
    if (text == (rounded == "-0.00000000" ? "0.00000000" : rounded)) return true;
  }
  return false;
}

TEST(FoilSplineTest, EvaluateAndTheTableAgreeWithAnIndependentEvaluationEverywhere) {
  const std::vector<double> cosine = CosineStations(41);
  ASSERT_EQ(cosine.size(), 41u);
  EXPECT_EQ(cosine.front(), 0);
  EXPECT_EQ(cosine.back(), 1);
  EXPECT_NEAR(cosine[10], (1 - std::sqrt(0.5)) / 2, 1e-16);
  for (int count : {4, 8, 20}) {
    const FoilSpline foil = FittedFoil(count);
    std::vector<double> xs = CosineStations(201);
    xs.insert(xs.end(), cosine.begin(), cosine.end());  // the table's default stations
    xs.insert(xs.end(), {5e-324, 1e-300, 1e-12, 0.001, 0.3, 1 - 1e-16});
    for (int j = 1; j < count - 3; ++j) {  // at the knots' chord positions and beside them
      const double at = DeBoor(foil.control_x, static_cast<double>(j) / (count - 3));
      xs.insert(xs.end(), {at, std::nextafter(at, 0.0), std::nextafter(at, 1.0), at + 1e-9});
    }
    // The table prints each station and both values to 8 decimals: each is
    // the independent value, or one within 1e-10 of it, rounded.
    std::istringstream table(ExportTable(foil, xs));
    for (double x : xs) {
      const FoilSpline::Value got = foil.Evaluate(x), want = Independent(foil, x);
      EXPECT_NEAR(got.thickness, want.thickness, 1e-12) << count << " " << x;
      EXPECT_NEAR(got.camber, want.camber, 1e-12) << count << " " << x;
      std::string tx, tt, tc;
      table >> tx >> tt >> tc;
      EXPECT_TRUE(RoundedTo8(tx, x, 0) && RoundedTo8(tt, want.thickness, 1e-10) &&
                  RoundedTo8(tc, want.camber, 1e-10))
          << count << " " << x << ": " << tx << " " << tt << " " << tc;
    }
    EXPECT_TRUE(table >> std::ws && table.eof());
    EXPECT_EQ(foil.Evaluate(0).thickness, foil.thickness.front());
    EXPECT_EQ(foil.Evaluate(1).camber, foil.camber.back());
  }
  // Four control points with x = 0, 0, 1/3, 1 are x(t) = t^2 exactly: one
  // Bezier segment, so y at x is known in closed form.
  const FoilSpline bezier{"", 4, {0, 0, 1.0 / 3, 1}, {0, 0.4, 0.9, 0.1}, {0, 0.1, 0.2, 0}, {}};
  for (double x : {0.0, 0.01, 0.25, 0.5, 0.81, 1.0}) {
    const double t = std::sqrt(x);
    EXPECT_NEAR(bezier.Evaluate(x).thickness,
                3 * (1 - t) * (1 - t) * t * 0.4 + 3 * (1 - t) * t * t * 0.9 + t * t * t * 0.1, 1e-15);
  }
  for (double x : {-1e-300, 1.0000000000000002, std::nan("")}) EXPECT_THROW(bezier.Evaluate(x), Error) << x;
}

// Control x 0, 1, 1, 1 are x(t) = 1 - (1 - t)^3: steep where x(t) = t^2 is
// flat, so a Newton step from the first guess leaves [0, 1].
TEST(FoilSplineTest, SplinesUnlikeAFitsAreEvaluatedToFullPrecision) {
  const FoilSpline steep{"", 4, {0, 1, 1, 1}, {0, 0.4, 0.9, 0.1}, {0, 0.1, 0.2, 0}, {}};
  for (double x : {1e-9, 0.01, 0.3, 0.999, 1.0}) {
    const double t = 1 - std::cbrt(1 - x), s = 1 - t;
    // Near x = 1, where x(t) is flat, t itself is known to about 1e-14.
    EXPECT_NEAR(steep.Evaluate(x).thickness, 3 * s * s * t * 0.4 + 3 * s * t * t * 0.9 + t * t * t * 0.1, 1e-13)
        << x;
  }
  // Control x at the knot averages are x(t) = t; so is a curve of the same
  // ordinates, at the most control points a spline may have.
  for (const int n : {4, 5, 64, 65}) {
    std::vector<double> knots(4, 0.0);
    for (int i = 1; i < n - 3; ++i) knots.push_back(static_cast<double>(i) / (n - 3));
    knots.insert(knots.end(), 4, 1.0);
    FoilSpline line{"", 4, {}, {}, std::vector<double>(static_cast<std::size_t>(n), 0.25), {}};
    for (std::size_t j = 0; j < static_cast<std::size_t>(n); ++j)
      line.control_x.push_back((knots[j + 1] + knots[j + 2] + knots[j + 3]) / 3);
    line.thickness = line.control_x;
    for (double x : {0.0, 0.001, 0.37, 1.0})
      EXPECT_EQ(Refusal([&] {
                  EXPECT_NEAR(line.Evaluate(x).thickness, x, 1e-15) << n;
                  EXPECT_NEAR(line.Evaluate(x).camber, 0.25, 1e-16) << n;
                }),
                n <= 64 ? "done" : "usage: the foil spline is not one of 4 to 64 cubic control points with x from 0 to 1")
          << n;
  }
}

TEST(FoilSplineTest, SplinesThatAreNoSectionAreRefused) {
  const std::string shape = "usage: the foil spline is not one of 4 to 64 cubic control points with x from 0 to 1";
  const std::string infinite = "usage: the foil spline has a thickness or camber that is not a finite number";
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    std::vector<double> x, y;
    std::string refusal;
  } rows[] = {
      {{0, 0, 0.5, 1}, {0, 0.1, 0.2, 0}, "done"},
      {{0.2, 0.4, 0.6, 1}, {0, 0.1, 0.2, 0}, shape},
      {{0, 0.4, 0.6, 0.8}, {0, 0.1, 0.2, 0}, shape},
      {{0, 0.6, 0.4, 1}, {0, 0.1, 0.2, 0}, shape},
      {{0, std::nan(""), 0.5, 1}, {0, 0.1, 0.2, 0}, shape},
      {{0, 0, 0.5, 1}, {0, inf, 0.2, 0}, infinite},
      {{0, 0, 0.5, 1}, {0, 0.1, std::nan(""), 0}, infinite},
  };
  for (const auto& r : rows) {
    const FoilSpline thick{"", 4, r.x, r.y, {0, 0, 0, 0}, {}}, cambered{"", 4, r.x, {0, 0, 0, 0}, r.y, {}};
    for (const FoilSpline* foil : {&thick, &cambered}) {
      EXPECT_EQ(Refusal([&] { foil->Evaluate(0.5); }), r.refusal) << r.x[1] << " " << r.y[1];
      EXPECT_EQ(Refusal([&] { SectionOutline(*foil, {0.1, 0}); }), r.refusal) << r.x[1] << " " << r.y[1];
    }
  }
}

double Parsed(std::string_view text) {
  double v = std::nan("");
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

// The points of the SVG path with this id ("M x,y C x,y x,y x,y ..."), back
// in fractions of the chord with y upwards.
std::vector<std::array<double, 2>> PathPoints(const std::string& svg, const std::string& id) {
  const std::string head = "<path id=\"" + id + "\" d=\"";
  const std::size_t from = svg.find(head) + head.size();
  std::istringstream in(svg.substr(from, svg.find('"', from) - from));
  std::vector<std::array<double, 2>> points;
  for (std::string token; in >> token;) {
    const std::size_t comma = token.find(',');
    if (comma != std::string::npos)
      points.push_back({Parsed(token.substr(0, comma)) / 1000, -Parsed(token.substr(comma + 1)) / 1000});
  }
  return points;
}

TEST(ExportTest, SvgBezierSegmentsAreTheOutlineSplineEverywhere) {
  const struct {
    int count;
    OutlineSize size;
  } rows[] = {{4, {0.12, 0.02}}, {8, {0.3, -0.05}}, {20, {0.06, 0}}};
  for (const auto& r : rows) {
    const FoilSpline foil = FittedFoil(r.count);
    const std::string svg = ExportSvg(foil, r.size);
    const int segments = r.count - 3;
    for (const double side : {1.0, -1.0}) {
      std::vector<double> y;  // the outline's control ordinates: F c + T t / 2 above, F c - T t / 2 below
      for (int j = 0; j < r.count; ++j)
        y.push_back(r.size.camber * foil.camber[static_cast<std::size_t>(j)] +
                    side * r.size.thickness * foil.thickness[static_cast<std::size_t>(j)] / 2);
      const auto p = PathPoints(svg, side > 0 ? "upper" : "lower");
      ASSERT_EQ(p.size(), static_cast<std::size_t>(3 * segments + 1)) << r.count;
      for (int s = 0; s < segments; ++s) {
        for (int k = 0; k <= 16; ++k) {
          const double u = k / 16.0, v = 1 - u;
          const double w[4] = {v * v * v, 3 * v * v * u, 3 * v * u * u, u * u * u};
          double bx = 0, by = 0;
          for (int i = 0; i < 4; ++i) {
            bx += w[i] * p[static_cast<std::size_t>(3 * s + i)][0];
            by += w[i] * p[static_cast<std::size_t>(3 * s + i)][1];
          }
          const double t = (s + u) / segments;
          EXPECT_NEAR(bx, DeBoor(foil.control_x, t), 1e-9) << r.count << " " << side << " " << t;
          EXPECT_NEAR(by, DeBoor(y, t), 1e-9) << r.count << " " << side << " " << t;
        }
      }
    }
  }
}

// The bundled examples are what the exports of naca2412.FOI are today.
TEST(ExportTest, BundledExamplesAreNaca2412Exported) {
  const FoilSpline foil = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  const OutlineSize size{0.12, 0.02};
  EXPECT_EQ(test::ReadBytes(test::ExamplePath("export/naca2412-table.txt")),
            ExportTable(foil, CosineStations(41)));
  EXPECT_EQ(test::ReadBytes(test::ExamplePath("export/naca2412-selig.txt")), ExportSelig(foil, size, 81));
  EXPECT_EQ(test::ReadBytes(test::ExamplePath("export/naca2412.dxf")), ExportDxf(foil, size));
  EXPECT_EQ(test::ReadBytes(test::ExamplePath("export/naca2412.svg")), ExportSvg(foil, size));
  ExportOptions options;
  options.size = size;
  EXPECT_EQ(test::ReadBytes(test::ExamplePath("export/naca2412-properties.json")),
            Export(foil, "properties", options));
}

TEST(ExportTest, RefusesWithTheirMessages) {
  const FoilSpline foil = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  FoilSpline three = foil;
  for (auto* v : {&three.control_x, &three.thickness, &three.camber}) v->resize(3);
  FoilSpline twoLines = foil;  // a name line that would split the coordinates' first line
  twoLines.id_line = "two\nlines";
  const std::string thickness =
      "usage: the largest thickness must be above 0 and at most 1 (a fraction of the chord)";
  const std::string camber = "usage: the largest camber must be from -1 to 1 (a fraction of the chord)";
  const std::string stations = "usage: at least 2 stations are needed";
  const struct {
    std::function<void()> call;
    std::string refusal;
  } rows[] = {
      {[&] { ExportDxf(foil, {1, -1}); }, "done"},
      {[&] { CosineStations(1); }, stations},
      {[&] { ExportSelig(foil, {0.12, 0.02}, 1); }, stations},
      {[&] { ExportSelig(foil, {0, 0.02}, 81); }, thickness},
      {[&] { ExportSelig(twoLines, {0.12, 0.02}, 81); }, "usage: the ID line holds a line end (CR or LF)"},
      {[&] { ExportDxf(foil, {1.0000000000000002, 0}); }, thickness},
      {[&] { ExportSvg(foil, {std::nan(""), 0}); }, thickness},
      {[&] { SectionOutline(foil, {0.1, -1.01}); }, camber},
      {[&] { ExportTable(foil, {0.5, 1.5}); }, "usage: 1.5 is not a chord position from 0 to 1"},
      {[&] { ExportSvg(three, {0.1, 0}); },
       "usage: the foil spline is not one of 4 to 64 cubic control points with x from 0 to 1"},
      // Export checks the options against the format's row before it writes.
      {[&] { Export(foil, "iges", {}); },
       "usage: unknown export format 'iges': use table, selig, dxf, svg, properties or step"},
      {[&] { Export(foil, "dxf", {{0.12, 0}, 81, {}}); }, "usage: the dxf export is exact and takes no point count"},
      {[&] { Export(foil, "selig", {{0.12, 0}, 0, {0.5}}); }, "usage: the selig export takes no stations"},
      {[&] { Export(foil, "table", {{}, 5, {0.5}}); }, "usage: a point count and stations exclude each other"},
      {[&] { Export(foil, "table", {{}, 1, {}}); }, "usage: 2 to 100000 points are allowed"},
      {[&] { Export(foil, "selig", {{}, 100001, {}}); }, "usage: 2 to 100000 points are allowed"},
      {[&] { Export(foil, "svg", {{0, 0}, 0, {}}); }, thickness},
      {[&] { Export(foil, "table", {{0, 0}, 100000, {}}); }, "done"},
      {[&] { Export(foil, "table", {{0.12, 0}, 0, {}}); }, "usage: the table export is normalised: it takes no thickness or camber"},
      {[&] { Export(foil, "table", {{0, -0.02}, 0, {}}); }, "usage: the table export is normalised: it takes no thickness or camber"},
      {[&] { Export(foil, "table", {{std::nan(""), 0}, 0, {}}); }, "usage: the table export is normalised: it takes no thickness or camber"},
  };
  for (const auto& r : rows) EXPECT_EQ(Refusal(r.call), r.refusal);
}

// The first page calls the output saved only when the run wrote it; the
// page is otherwise the same.
TEST(ScreenTextTest, AnOutputNotWrittenIsCalledNotSaved) {
  const Section section = ReadSection(test::ExamplePath("naca2412.dat"));
  const Fit fit = FitSection(section, 8);
  std::vector<std::string> page = ScreenText(Screen::FirstPage, section, fit, {"in.dat", "out.FOI", true});
  ASSERT_EQ(page.size(), 37u);
  EXPECT_EQ(page.at(10), "File saved    : out.FOI");
  page[10] = "File not saved: out.FOI";
  EXPECT_EQ(ScreenText(Screen::FirstPage, section, fit, {"in.dat", "out.FOI", false}), page);
}

// A .FOI of finite values near the largest double: an export that would
// write a value beyond it refuses instead.
TEST(ExportTest, ValuesBeyondTheRangeOfADoubleAreRefused) {
  const FoilSpline big{"big", 4, {0, 0, 1.0 / 3, 1}, {0, 1.7e308, 1.7e308, 0}, {0, 1.7e308, 1.7e308, 0}, {}};
  const FoilSpline tall{"tall", 4, {0, 0, 1.0 / 3, 1}, {0, 0, 0, 0}, {0, 1e306, 1e306, 0}, {}};
  // The basis sums to 1 only to the last bit: the largest double everywhere
  // is beyond itself at some chord positions.
  const double most = std::numeric_limits<double>::max();
  const FoilSpline peak{"peak", 4, {0, 1.0 / 3, 2.0 / 3, 1}, {most, most, most, most}, {0, 0, 0, 0}, {}};
  const struct {
    const FoilSpline& foil;
    const char* format;
    ExportOptions options;
    std::string refusal;
  } rows[] = {
      {big, "table", {}, "done"},  // thickness and camber themselves are finite
      {peak, "table", {{}, 0, {0.5, 1e-5}},
       "overflow: thickness or camber at x = 1e-05 is beyond the range of a double"},
      {big, "selig", {{1, 1}, 4, {}}, "overflow: the outline at x = 0.24999999999999994 is beyond the range of a double"},
      {big, "dxf", {{1, 1}, 0, {}}, "overflow: the outline's control point 2 is beyond the range of a double"},
      {big, "svg", {{1, 1}, 0, {}}, "overflow: the outline's control point 2 is beyond the range of a double"},
      {tall, "dxf", {{0.5, 1}, 0, {}}, "done"},
      {tall, "svg", {{0.5, 1}, 0, {}},
       "overflow: the outline as drawn is beyond the range of a double"},
  };
  for (const auto& r : rows) {
    std::string bytes;
    EXPECT_EQ(Refusal([&] { bytes = Export(r.foil, r.format, r.options); }), r.refusal) << r.format;
    for (const char* word : {"inf", "nan", "Infinity", "NaN"}) EXPECT_EQ(bytes.find(word), std::string::npos);
  }
}

// A chord length is a positive normal number up to 1e6, 0 (or -0) being
// none: smaller, every coordinate would be drawn as 0. At the smallest, the
// trailing edge is drawn at x = the chord itself.
TEST(ExportTest, TheChordLengthIsAPositiveNormalNumberUpTo1e6) {
  using limits = std::numeric_limits<double>;
  const FoilSpline foil = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  const std::string range = "usage: the chord length must be from 2.2250738585072014e-308 to 1e6, not ";
  std::array<char, 400> smallest{};
  const std::string smallestText(smallest.data(),
                                 std::to_chars(smallest.data(), smallest.data() + smallest.size(), limits::min(),
                                               std::chars_format::fixed).ptr);
  const struct {
    double chord;
    std::string refusal;
    std::string trailingEdge;  // the DXF's x of the last control point
  } rows[] = {
      {limits::min(), "done", smallestText},
      {1e6, "done", "1000000"},
      {0.0, "done", "1"},
      {-0.0, "done", "1"},
      {std::nextafter(limits::min(), 0.0), range + "2.225073858507201e-308", ""},
      {1e-320, range + "1e-320", ""},
      {std::nextafter(1e6, 2e6), range + "1000000.0000000001", ""},
      {-1.0, range + "-1", ""},
      {limits::quiet_NaN(), range + "nan", ""},
      {limits::infinity(), range + "inf", ""},
  };
  for (const auto& r : rows) {
    for (const char* format : {"selig", "dxf", "svg", "properties"}) {
      ExportOptions options;
      options.size = {0.12, 0.02};
      options.chord = r.chord;
      std::string bytes;
      EXPECT_EQ(Refusal([&] { bytes = Export(foil, format, options); }), r.refusal) << r.chord << " " << format;
      if (r.refusal != "done" || std::string(format) != "dxf") continue;
      const std::size_t upperEnd = bytes.find("\nLOWER\n", bytes.find("ENTITIES"));  // the lower spline's layer
      const std::size_t lastX = bytes.rfind("\n 10\n", upperEnd);
      ASSERT_NE(lastX, std::string::npos);
      EXPECT_EQ(bytes.substr(lastX + 5, bytes.find('\n', lastX + 5) - lastX - 5), r.trailingEdge) << r.chord;
    }
  }
}

// A drawing with a chord length is that size on paper; SVG has no metres, so
// a chord in metres is drawn in millimetres, its coordinates left in metres.
// A unit without a length draws the chord one unit long.
TEST(ExportTest, SvgDrawingsAreTheSizeOfTheirChord) {
  const FoilSpline foil = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" ";
  const struct {
    double chord;
    LengthUnit units;
    std::string head;
  } rows[] = {
      {0, LengthUnit::None, "width=\"1100\" height=\"223.286666667\" viewBox=\"-50 -130.018333333 1100 223.286666667\">"},
      {0, LengthUnit::Millimetre,
       "width=\"1.1mm\" height=\"0.223286667mm\" viewBox=\"-0.05 -0.130018333 1.1 0.223286667\">"},
      {250, LengthUnit::Millimetre,
       "width=\"275mm\" height=\"55.821666667mm\" viewBox=\"-12.5 -32.504583333 275 55.821666667\">"},
      {0.25, LengthUnit::Metre,
       "width=\"275mm\" height=\"55.821666667mm\" viewBox=\"-0.0125 -0.032504583 0.275 0.055821667\">"},
      {25, LengthUnit::Centimetre,
       "width=\"27.5cm\" height=\"5.582166667cm\" viewBox=\"-1.25 -3.250458333 27.5 5.582166667\">"},
      {0, LengthUnit::Inch, "width=\"1.1in\" height=\"0.223286667in\" viewBox=\"-0.05 -0.130018333 1.1 0.223286667\">"},
  };
  for (const auto& r : rows) {
    ExportOptions options;
    options.size = {0.12, 0.02};
    options.chord = r.chord;
    options.units = r.units;
    const std::string bytes = Export(foil, "svg", options);
    const std::size_t line = bytes.find('\n') + 1;
    EXPECT_EQ(bytes.substr(line, bytes.find('\n', line) - line), svg + r.head) << r.chord;
  }
}

// Export writes each format as its own function does, with the row's
// default point count where none is asked for.
TEST(ExportTest, EveryFormatOfTheTableThroughExport) {
  const FoilSpline foil = ReadFoilFile(test::ExamplePath("naca2412.FOI"));
  const OutlineSize size{0.12, 0.02};
  std::vector<std::string> names;
  for (const ExportFormat& f : ExportFormats()) names.emplace_back(f.name);
  EXPECT_EQ(names, (std::vector<std::string>{"table", "selig", "dxf", "svg", "properties", "step"}));
  EXPECT_EQ(Export(foil, "table", {}), ExportTable(foil, CosineStations(41)));
  EXPECT_EQ(Export(foil, "table", {{}, 0, {0.25, 0.5}}), ExportTable(foil, {0.25, 0.5}));
  EXPECT_EQ(Export(foil, "selig", {size, 0, {}}), ExportSelig(foil, size, 81));
  EXPECT_EQ(Export(foil, "selig", {size, 7, {}}), ExportSelig(foil, size, 7));
  EXPECT_EQ(Export(foil, "dxf", {size, 0, {}}), ExportDxf(foil, size));
  EXPECT_EQ(Export(foil, "svg", {size, 0, {}}), ExportSvg(foil, size));
  EXPECT_EQ(&FindExportFormat("step"), &ExportFormats().back());
}

}  // namespace
}  // namespace tarvelo
