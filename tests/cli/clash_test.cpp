// The check that no output of a run replaces an input or another output:
// names of one file through links, hard links, ".." and the working
// directory, and names of files yet to be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/clash.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

namespace fs = std::filesystem;

class ClashTest : public ::testing::Test {
 protected:
  ClashTest() {
    fs::create_directories(dir.path() / "real" / "deep");
    test::WriteBytes(at("real/in.dat"), "in");
    fs::create_directory_symlink("real", dir.path() / "link");
    fs::create_directory_symlink(dir.path() / "real" / "deep", dir.path() / "deeplink");
    fs::create_hard_link(dir.path() / "real" / "in.dat", dir.path() / "hard.FOI");
    fs::create_symlink("real/later.FOI", dir.path() / "dangling.FOI");
  }
  std::string at(const std::string& name) const { return dir.file(name); }

  test::TempDir dir;
};

TEST_F(ClashTest, NamesOfOneFileClashWhateverWayTheyTake) {
  const std::string in = at("real/in.dat");
  const std::string cwd = fs::current_path().string();
  const struct {
    std::vector<Planned> plan;
    std::optional<std::string> clash;
  } rows[] = {
      // Through a linked directory, and a hard link: the input itself.
      {{{in, {at("link/in.dat")}}}, at("link/in.dat") + ": output file is the input file"},
      {{{in, {at("hard.FOI")}}}, at("hard.FOI") + ": output file is the input file"},
      // Files yet to be written, one reached through the linked directory.
      {{{in, {at("link/new.FOI")}}, {at("other"), {at("real/new.FOI")}}},
       in + " and " + at("other") + " would both write " + at("real/new.FOI")},
      // ".." after a missing directory, and after a link: the kernel follows
      // the link first, so deeplink/.. is real, not the test's directory.
      {{{in, {at("real/new.FOI"), at("real/missing/../new.FOI")}}},
       at("real/missing/../new.FOI") + " would be written twice for " + in},
      {{{in, {at("real/new.FOI"), at("deeplink/../new.FOI")}}},
       at("deeplink/../new.FOI") + " would be written twice for " + in},
      {{{in, {at("new.FOI"), at("deeplink/../new.FOI")}}}, std::nullopt},
      // A link to a file not yet there is written where it points.
      {{{in, {at("dangling.FOI")}}, {at("other"), {at("real/later.FOI")}}},
       in + " and " + at("other") + " would both write " + at("real/later.FOI")},
      // A name relative to the working directory, and the same made absolute.
      {{{in, {"tarvelo-clash-test-none.FOI", cwd + "/tarvelo-clash-test-none.FOI"}}},
       cwd + "/tarvelo-clash-test-none.FOI would be written twice for " + in},
      // Another input is named as such; standard streams clash with nothing.
      {{{in, {at("a.FOI")}}, {at("hard.FOI"), {at("link/in.dat")}}},
       at("link/in.dat") + " would replace the input " + in + " (written for " + at("hard.FOI") + ")"},
      {{{"-", {"-"}}, {in, {"-", at("a.FOI")}}}, std::nullopt},
      // The summary reads no file: its name is no input.
      {{{in, {at("a.FOI")}}, {at("real/in.dat"), {at("s.csv")}, false}}, std::nullopt},
      {{{in, {at("a.FOI")}}, {"the summary", {at("link/in.dat")}, false}},
       at("link/in.dat") + " would replace the input " + in + " (written for the summary)"},
  };
  for (const auto& r : rows) EXPECT_EQ(FirstClash(r.plan), r.clash) << (r.clash ? *r.clash : "none");
  EXPECT_FALSE(fs::exists("tarvelo-clash-test-none.FOI"));
}

}  // namespace
}  // namespace tarvelo
