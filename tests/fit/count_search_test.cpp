// The window's count search, one count at a time: the library's choice for
// every outcome, the placement it is given, and a search stopped.
#include <gtest/gtest.h>

#include <tarvelo/window.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "fit/count_search.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

// NACA 2412 at n cosine-spaced stations.
Section Naca2412(int n) {
  Section s{"NACA 2412", {}, {}, {}};
  for (int i = 0; i < n; ++i) {
    const double x = 0.5 * (1 - std::cos(std::numbers::pi * i / (n - 1)));
    s.x.push_back(x);
    s.thickness.push_back(0.6 * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                                 0.1015 * x * x * x * x));
    s.camber.push_back(x < 0.4 ? 0.125 * (0.8 * x - x * x) : 0.02 / 0.36 * (0.2 + 0.8 * x - x * x));
  }
  return s;
}

// For a count reached, for none reached, with either placement, and with
// only the first counts possible: the library's count, errors and fit.
TEST(CountSearchTest, ChoosesTheCountTheLibraryChooses) {
  const Section example = ReadSection(test::ExamplePath("naca2412.dat"));
  Section rough = example;
  rough.camber[12] += 0.004;
  Section few = Naca2412(7);  // 4 to 6 control points, then too few points
  const struct {
    const char* name;
    Section section;
    const char* placement;
    double tolerance;
    bool reached;
  } cases[] = {
      {"example", example, "window", kFairnessLimit, true},
      {"rough", rough, "window", kFairnessLimit, false},
      {"dense, the window's placement", Naca2412(3000), "window", kFairnessLimit, false},
      {"dense, exact", Naca2412(3000), "exact", kFairnessLimit, true},
      // Counts 7 to 20 refused, the best of 4 to 6 chosen.
      {"seven points", few, "window", 1e-12, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<int> told;
    const std::optional<CountChoice> got = SearchControlPoints(c.section, c.placement, c.tolerance, [&](int n) {
      told.push_back(n);
      return true;
    });
    const CountChoice want =
        FewestControlPoints(c.section, CountOptions{c.tolerance, ErrorMeasure::Rms, c.placement});
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->reached, c.reached);
    EXPECT_EQ(got->reached, want.reached);
    EXPECT_EQ(got->control_points, want.control_points);
    EXPECT_EQ(got->fit.placement, c.placement);
    EXPECT_EQ(got->fit.thickness.rms, want.fit.thickness.rms);
    EXPECT_EQ(got->fit.camber.rms, want.fit.camber.rms);
    EXPECT_EQ(got->fit.camber.control, want.fit.camber.control);
    // Every count up to the one reached, or all of them, told in turn.
    const int last = c.reached ? want.control_points : kWindowMostControlPoints;
    ASSERT_EQ(told.size(), static_cast<std::size_t>(last - kFewestControlPoints + 1));
    for (std::size_t i = 0; i < told.size(); ++i) EXPECT_EQ(told[i], kFewestControlPoints + static_cast<int>(i));
  }
}

// A tolerance met exactly is reached; one a step below it is not.
TEST(CountSearchTest, AToleranceMetExactlyIsReached) {
  const Section example = ReadSection(test::ExamplePath("naca2412.dat"));
  const Fit four = FitSection(example, FitOptions{4, "window", false});
  const double worse = std::max(four.thickness.rms, four.camber.rms);
  const auto at = [&](double tolerance) { return SearchControlPoints(example, "window", tolerance, nullptr)->control_points; };
  EXPECT_EQ(at(worse), 4);
  EXPECT_GT(at(std::nextafter(worse, 0.0)), 4);
}

// Stopped before a count, nothing is chosen; a section every count refuses
// gives the refusal of the first.
TEST(CountSearchTest, AStoppedSearchChoosesNothingAndEveryCountRefusedIsTheFirstsRefusal) {
  const Section example = ReadSection(test::ExamplePath("naca2412.dat"));
  for (const int stop : {4, 5, 20}) {
    std::vector<int> told;
    const auto got = SearchControlPoints(example, "window", 0, [&](int n) {
      told.push_back(n);
      return n < stop;
    });
    EXPECT_FALSE(got.has_value()) << stop;
    EXPECT_EQ(told.back(), stop);
  }
  const Section four = Naca2412(4);
  EXPECT_EQ(test::Refusal([&] { SearchControlPoints(four, "window", kFairnessLimit, nullptr); }),
            test::Refusal([&] { FitSection(four, FitOptions{4, "window", false}); }));
}

}  // namespace
}  // namespace tarvelo
