// The three programs as users run them: what their own start adds to the
// commands (a terminal told apart from a file), and command lines that the
// commands' tests cannot reach through their entry points.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/run_program.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::Ran;
using test::ReadBytes;
using test::Started;

class ProgramsTest : public ::testing::Test {
 protected:
  ProgramsTest() {
    std::filesystem::copy_file(test::ExamplePath("naca0012.dat"), dir.path() / "a.dat");
    std::filesystem::copy_file(test::ExamplePath("coordinates/naca4412.dat"), dir.path() / "c.dat");
  }
  test::TempDir dir;
  const std::string fit = TARVELO_FIT_PROGRAM, import = TARVELO_IMPORT_PROGRAM, exporter = TARVELO_EXPORT_PROGRAM;
};

// Counts too long for an int, and a tolerance that would be taken for a file.
TEST_F(ProgramsTest, CountsAndTolerancesAreCheckedBeforeAnythingIsWritten) {
  const std::string a = dir.file("a.dat"), c = dir.file("c.dat");
  const struct {
    std::string command;
    int status;
    std::string err;
  } rows[] = {
      {fit + " -n 99999999999 " + a, 2,
       "tarvelo-fit: -n takes 4 to 80 control points: '99999999999'\nTry 'tarvelo-fit --help' for more information.\n"},
      {fit + " -n 000000000000008 --placement=exact -o " + dir.file("b.FOI") + " " + a, 0, ""},
      {import + " --stations 12345678901 " + c, 2,
       "tarvelo-import: --stations takes 5 to 401 stations: '12345678901'\n"
       "Try 'tarvelo-import --help' for more information.\n"},
      {fit + " --auto 1e-5 " + a, 2,
       "tarvelo-fit: no file '1e-5': a tolerance goes with the option, use --auto=1e-5\n"
       "Try 'tarvelo-fit --help' for more information.\n"},
  };
  for (const auto& r : rows) {
    const Ran ran = Started(dir, r.command, false);
    EXPECT_EQ(ran.status, r.status) << r.command;
    EXPECT_EQ(ran.err, r.err) << r.command;
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.FOI"))) << r.command;
  }
}

// On a terminal, and only there, a crafted name line cannot drive it.
TEST_F(ProgramsTest, ControlCharactersReachATerminalAsCaretNotation) {
  std::string coordinates = ReadBytes(dir.file("c.dat"));
  coordinates.replace(0, coordinates.find('\n'), "\x1b]0;owned\x07");
  test::WriteBytes(dir.file("crafted.dat"), coordinates);
  const std::string imported = import + " --stations 5 " + dir.file("crafted.dat");
  const Ran raw = Started(dir, imported, false), shown = Started(dir, imported, true);
  ASSERT_EQ(raw.status, 0);
  ASSERT_EQ(shown.status, 0);
  EXPECT_EQ(raw.out.rfind("\x1b]0;owned\x07\r\n5\r\n", 0), 0u);
  EXPECT_EQ(shown.out, "^[]0;owned^G" + raw.out.substr(raw.out.find('\r')));

  test::WriteBytes(dir.file("s.dat"), raw.out);
  const Ran fitted = Started(dir, fit + " -n 4 " + dir.file("s.dat"), true);
  EXPECT_EQ(fitted.status, 0);
  EXPECT_NE(fitted.out.find("ID - line     : ^[]0;owned^G\n"), std::string::npos) << fitted.out;

  const std::string exported = exporter + " --points 2 " + dir.file("s.FOI");
  EXPECT_EQ(Started(dir, exported, false).out, "0.00000000  0.00000000  0.00000000\n1.00000000  0.02374000  0.00000000\n");
  const Ran missing = Started(dir, exporter + " '" + dir.file("\x1b[8m.FOI") + "'", true);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "tarvelo-export: " + dir.file("^[[8m.FOI") + ": input file not found\n");
}

}  // namespace
}  // namespace tarvelo
