// Every result of the run on the bundled sections, to the last bit, against
// values kept from the straightforward form of the engine (each basis column
// cleared and summed over all rows). Guards the faster loops of the engine
// and of the run against any change of a result, and the library's FitSection
// against any difference from the window's run.
//
// To write the file anew: TARVELO_WRITE_GOLDEN=<path> ./fit_test --gtest_filter=Golden*
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <tarvelo/tarvelo.h>

#include "fit/run.h"
#include "screens/recording_display.h"
#include "support/memory_form.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::MemoryForm;

void Add(std::string& out, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, " %a", v);
  out += buf;
}

std::string Results(const std::string& section, int ncp) {
  test::TempDir dir;
  State s;
  RecordingDisplay pic;
  MemoryForm form(s, pic);
  form.SetText(Field::Text1, test::ExamplePath(section));
  form.SetText(Field::Text2, dir.file("out.FOI"));
  form.SetText(Field::Text3, std::to_string(ncp));
  Main(s, pic, form);
  std::string out = section + " " + std::to_string(ncp) + "\n";
  out += "cp";
  for (int j = 1; j <= ncp; ++j) {
    Add(out, s.xcp(j));
    Add(out, s.ycp(j, 1));
    Add(out, s.ycp(j, 2));
  }
  out += "\nfit";
  for (int i = 1; i <= s.nd; ++i)
    for (int k = 1; k <= 2; ++k) {
      Add(out, s.xd(i, k));
      Add(out, s.yfit(i, k));
      Add(out, s.dy(i, k));
    }
  out += "\nrms";
  Add(out, s.rms(1));
  Add(out, s.rms(2));
  out += "\n";
  return out;
}

// The same results through the library, in the same order.
std::string LibraryResults(const std::string& section, int ncp) {
  const Fit fit = FitSection(ReadSection(test::ExamplePath(section)), ncp);
  std::string out = section + " " + std::to_string(ncp) + "\n";
  out += "cp";
  for (std::size_t j = 0; j < fit.control_x.size(); ++j) {
    Add(out, fit.control_x[j]);
    Add(out, fit.thickness.control[j]);
    Add(out, fit.camber.control[j]);
  }
  out += "\nfit";
  for (std::size_t i = 0; i < fit.x.size(); ++i)
    for (const CurveFit* c : {&fit.thickness, &fit.camber}) {
      Add(out, fit.x[i]);
      Add(out, c->fitted[i]);
      Add(out, c->difference[i]);
    }
  out += "\nrms";
  Add(out, fit.thickness.rms);
  Add(out, fit.camber.rms);
  out += "\n";
  return out;
}

const char* const kSections[] = {"naca2412.dat", "naca16-206-a08.dat", "naca0012.dat",
                                 "naca4412-40pt.dat"};

TEST(GoldenTest, ResultsOfTheBundledSectionsAreUnchanged) {
  std::string all;
  std::string library;
  for (const char* section : kSections)
    for (int ncp : {4, 5, 8, 13, 20}) {
      all += Results(section, ncp);
      library += LibraryResults(section, ncp);
    }

  if (const char* path = std::getenv("TARVELO_WRITE_GOLDEN")) {
    test::WriteBytes(path, all);
    GTEST_SKIP() << "written to " << path;
  }
  const std::string want = test::ReadBytes(TARVELO_GOLDEN_RESULTS);
  ASSERT_FALSE(want.empty()) << TARVELO_GOLDEN_RESULTS;
  EXPECT_EQ(all, want);
  EXPECT_EQ(library, want);
}

TEST(GoldenTest, LibraryAndWindowAgreeForEveryCount) {
  for (const char* section : kSections)
    for (int ncp = 4; ncp <= 20; ++ncp) EXPECT_EQ(LibraryResults(section, ncp), Results(section, ncp));
}

}  // namespace
}  // namespace tarvelo
