// Running out of memory ends the run with a message and leaves the program,
// and the data of the last good read, in place.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>

#include "cli/fit_command.h"
#include "fit/run.h"
#include "screens/recording_display.h"
#include "support/memory_form.h"
#include "support/test_support.h"

// In this program every allocation of more than a megabyte fails, as it
// would on a machine without the memory.
void* operator new(std::size_t size) {
  if (size <= (std::size_t{1} << 20))
    if (void* p = std::malloc(size > 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace tarvelo {
namespace {

// 200 000 points: their coordinates alone need more than a megabyte each.
std::string LargeSection(const test::TempDir& dir) {
  const std::string path = dir.file("large.dat");
  std::ofstream out(path, std::ios::binary);
  out << "large\r\n200000\r\n";
  for (int i = 0; i < 200000; ++i) out << i / 2000.0 << ",1,1,0.5\r\n";
  return path;
}

TEST(MemoryTest, ASectionTooLargeForMemoryIsRefusedWithItsSize) {
  test::TempDir dir;
  const std::string large = LargeSection(dir);
  const std::string message = "  " + large + " - Not enough memory for 200000 data points !! ";

  std::ostringstream out, err;
  EXPECT_EQ(RunFitCommand({large}, out, err), 1);
  // The program names itself before the library's sentence; the window
  // shows it in its own form.
  EXPECT_TRUE(err.str().ends_with("tarvelo-fit: " + large + ": not enough memory for 200000 data points\n"))
      << err.str();

  State s;
  RecordingDisplay pic;
  test::MemoryForm form(s, pic);
  form.SetText(Field::Text1, test::ExamplePath("naca0012.dat"));
  form.SetText(Field::Text2, dir.file("a.FOI"));
  Main(s, pic, form);
  ASSERT_EQ(s.nd, 26);
  form.SetText(Field::Text1, large);
  Main(s, pic, form);
  ASSERT_EQ(pic.page().lines.size(), 31u);
  EXPECT_EQ(pic.page().lines[30].text(), message);
  EXPECT_EQ(s.nd, 26);
  EXPECT_EQ(s.data.points(), 26u);
}

}  // namespace
}  // namespace tarvelo
