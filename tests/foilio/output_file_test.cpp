#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "foilio/file_errors.h"
#include "foilio/foil_files.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

namespace fs = std::filesystem;
using detail::WriteStep;

// Control points as a fit leaves them: ncp of them, order 4.
State Fitted(int ncp, const std::string& id = "NACA 2412 test") {
  State s;
  s.IDLine = id;
  s.ncp = ncp;
  s.ko = 4;
  s.xcp.allocate(1, ncp);
  s.ycp.allocate(1, ncp, 1, 2);
  for (int j = 1; j <= ncp; ++j) {
    s.xcp(j) = (j - 1) / static_cast<double>(ncp - 1);
    s.ycp(j, 1) = 0.01 * j;
    s.ycp(j, 2) = -0.001 * j;
  }
  return s;
}

State FourPoints() {
  State s = Fitted(4);
  const double x[] = {-0.00002, 0.25, 0.5, 1.0};
  const double yt[] = {0.0, 0.04213, 12.5, 0.0};
  const double yc[] = {-0.0015, 0.5, 0.123456, -1.0};
  for (int j = 1; j <= 4; ++j) {
    s.xcp(j) = x[j - 1];
    s.ycp(j, 1) = yt[j - 1];
    s.ycp(j, 2) = yc[j - 1];
  }
  return s;
}

const std::string kFourPointsFile =
    "NACA 2412 test\r\n"
    " 4  4 \r\n"
    "   0.00000   0.00000  -0.00150\r\n"
    "   0.25000   0.04213   0.50000\r\n"
    "   0.50000   12.50000   0.12346\r\n"
    "   1.00000   0.00000  -1.00000\r\n";

std::set<std::string> Entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

std::vector<std::string> CrLfLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  if (start != bytes.size()) lines.push_back("(unterminated) " + bytes.substr(start));
  return lines;
}

// Makes one step of the writer fail with the given errno while it lives.
class FailStep {
 public:
  FailStep(WriteStep step, int err) {
    detail::SetWriteFaultHook([step, err](WriteStep at) { return at == step ? err : 0; });
  }
  ~FailStep() { detail::SetWriteFaultHook(nullptr); }
  FailStep(const FailStep&) = delete;
  FailStep& operator=(const FailStep&) = delete;
};

std::string Msg(const std::string& name, const std::string& text) {
  return "  " + name + " - " + text + " !! ";
}

TEST(WriteFoilFileTest, ExactBytes) {
  test::TempDir dir;
  State s = FourPoints();
  s.OutFile = dir.file("out.FOI");
  s.ErFlag = kTrue;
  Write_FoilFile(s);
  EXPECT_EQ(s.ErFlag, kFalse);
  EXPECT_EQ(test::ReadBytes(s.OutFile), kFourPointsFile);
  // x of zero or less is 0 in the state too; the ordinates stay as they are.
  EXPECT_EQ(s.xcp(1), 0.0);
  EXPECT_EQ(s.xcp(2), 0.25);
  EXPECT_EQ(s.ycp(1, 2), -0.0015);
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"out.FOI"});
}

TEST(WriteFoilFileTest, NcpPlusTwoLinesEachEndingInCrLf) {
  test::TempDir dir;
  for (int ncp : {4, 8, 20}) {
    State s = Fitted(ncp);
    s.OutFile = dir.file("n.FOI");
    Write_FoilFile(s);
    ASSERT_EQ(s.ErFlag, kFalse) << s.ErMsg;
    const std::string bytes = test::ReadBytes(s.OutFile);
    const std::vector<std::string> lines = CrLfLines(bytes);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(ncp + 2));
    EXPECT_EQ(lines[0], "NACA 2412 test");
    EXPECT_EQ(lines[1], " " + std::to_string(ncp) + "  4 ");
    for (int j = 1; j <= ncp; ++j) EXPECT_EQ(lines[j + 1].size(), 30u) << lines[j + 1];
    EXPECT_EQ(lines[2], "   0.00000   0.01000  -0.00100");
    EXPECT_EQ(lines[ncp + 1].substr(0, 10), "   1.00000");
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
  }
}

TEST(WriteFoilFileTest, IdentificationLineWrittenBackByteForByte) {
  test::TempDir dir;
  State empty = Fitted(4, "");
  empty.OutFile = dir.file("empty.FOI");
  Write_FoilFile(empty);
  EXPECT_EQ(test::ReadBytes(empty.OutFile).substr(0, 10), "\r\n 4  4 \r\n");

  // As read from a file: blanks, tabs and 8-bit bytes kept, no re-encoding.
  const std::string id = "  Profil \xE4\xF6\xFC\xDF\t\x01\x7F\xFF  ";
  test::WriteBytes(dir.file("in.dat"),
                   id + "\r\n5\r\n0,0,0,0\r\n1,1,1,1\r\n2,2,2,2\r\n3,3,3,3\r\n4,4,4,4\r\n");
  State s = Fitted(4);
  s.InFile = dir.file("in.dat");
  s.ncp = 4;
  RecordingDisplay d;
  ASSERT_TRUE(Read_FoilData(s, d));
  s.OutFile = dir.file("in.FOI");
  Write_FoilFile(s);
  const std::string bytes = test::ReadBytes(s.OutFile);
  EXPECT_EQ(bytes.substr(0, id.size() + 2), id + "\r\n");
}

TEST(WriteFoilFileTest, ReplacesAnExistingFileAndKeepsItsMode) {
  test::TempDir dir;
  const std::string name = dir.file("old.FOI");
  test::WriteBytes(name, std::string(5000, 'x'));
  ASSERT_EQ(::chmod(name.c_str(), 0640), 0);
  State s = FourPoints();
  s.OutFile = name;
  Write_FoilFile(s);
  ASSERT_EQ(s.ErFlag, kFalse);
  EXPECT_EQ(test::ReadBytes(name), kFourPointsFile);
  struct stat st {};
  ASSERT_EQ(::stat(name.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"old.FOI"});

  // A new file gets 0666 less the umask.
  const mode_t old_mask = ::umask(027);
  s.OutFile = dir.file("new.FOI");
  Write_FoilFile(s);
  ::umask(old_mask);
  ASSERT_EQ(::stat(s.OutFile.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(WriteFoilFileTest, SymbolicLinkStaysALink) {
  test::TempDir dir;
  fs::create_directory(dir.path() / "real");
  const std::string real = dir.file("real/target.FOI");
  test::WriteBytes(real, "old");
  fs::create_symlink("real/target.FOI", dir.path() / "link.FOI");
  fs::create_symlink("link.FOI", dir.path() / "link2.FOI");
  State s = FourPoints();
  s.OutFile = dir.file("link2.FOI");
  Write_FoilFile(s);
  ASSERT_EQ(s.ErFlag, kFalse) << s.ErMsg;
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link.FOI"));
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link2.FOI"));
  EXPECT_EQ(test::ReadBytes(real), kFourPointsFile);
  EXPECT_EQ(Entries(dir.path() / "real"), std::set<std::string>{"target.FOI"});

  // A link to a file not yet there: the file is made where the link points.
  fs::create_symlink(dir.file("real/later.FOI"), dir.path() / "dangling.FOI");
  s.OutFile = dir.file("dangling.FOI");
  Write_FoilFile(s);
  ASSERT_EQ(s.ErFlag, kFalse) << s.ErMsg;
  EXPECT_TRUE(fs::is_symlink(dir.path() / "dangling.FOI"));
  EXPECT_EQ(test::ReadBytes(dir.file("real/later.FOI")), kFourPointsFile);

  // A loop of links cannot be written.
  fs::create_symlink("loop-b.FOI", dir.path() / "loop-a.FOI");
  fs::create_symlink("loop-a.FOI", dir.path() / "loop-b.FOI");
  s.OutFile = dir.file("loop-a.FOI");
  Write_FoilFile(s);
  EXPECT_EQ(s.ErMsg, Msg(s.OutFile, "Output file could not be written"));
}

TEST(WriteFoilFileTest, DevicesAreWrittenInPlaceNeverReplaced) {
  State s = FourPoints();
  s.OutFile = "/dev/null";
  Write_FoilFile(s);
  EXPECT_EQ(s.ErFlag, kFalse) << s.ErMsg;
  struct stat st {};
  ASSERT_EQ(::stat("/dev/null", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));

  // /dev/full: every write fails with ENOSPC.
  s.OutFile = "/dev/full";
  Write_FoilFile(s);
  EXPECT_EQ(s.ErFlag, kTrue);
  EXPECT_EQ(s.ErMsg, "  /dev/full - Output file could not be written !! ");
  ASSERT_EQ(::stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(WriteFoilFileTest, NamesThatCannotBeCreated) {
  test::TempDir dir;
  const std::string plain = dir.file("plain");
  test::WriteBytes(plain, "a regular file");
  struct Case {
    std::string name;
    std::string text;
  };
  const std::vector<Case> cases = {
      {dir.file("missing-dir/out.FOI"), "Output file could not be written"},
      {plain + "/out.FOI", "Output file could not be written"},
      {dir.path().string(), "Output file name not valid"},
      {dir.file("out.FOI/"), "Output file name not valid"},
      {"", "Output file name not valid"},
      {std::string("a\0b.FOI", 7), "Output file name not valid"},
      {dir.file(std::string(300, 'n') + ".FOI"), "Output file name not valid"},
  };
  for (const Case& c : cases) {
    State s = FourPoints();
    s.OutFile = c.name;
    s.ErMsg = "earlier";
    Write_FoilFile(s);
    EXPECT_EQ(s.ErFlag, kTrue) << c.name;
    EXPECT_EQ(s.ErMsg, Msg(c.name, c.text)) << c.name;
    // Nothing was created, so the state's x values are as the fit left them.
    EXPECT_EQ(s.xcp(1), -0.00002) << c.name;
  }
  EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"plain"});
  EXPECT_EQ(test::ReadBytes(plain), "a regular file");
}

// Whatever step fails, an earlier file stays byte for byte and no temporary
// file is left behind.
TEST(WriteFoilFileTest, FailedWriteKeepsTheEarlierFile) {
  struct Case {
    WriteStep step;
    int err;
    std::string text;
  };
  const std::vector<Case> cases = {
      {WriteStep::Create, EACCES, "Output file could not be written"},
      {WriteStep::Create, EROFS, "Output file could not be written"},
      {WriteStep::Create, ENOENT, "Output file could not be written"},
      {WriteStep::Create, ENXIO, "Drive not available"},
      {WriteStep::Create, ENOMEDIUM, "Drive not available"},
      {WriteStep::Create, ENAMETOOLONG, "Output file name not valid"},
      {WriteStep::Write, ENOSPC, "Output file could not be written"},
      {WriteStep::Write, EIO, "Output file could not be written"},
      {WriteStep::Sync, EIO, "Output file could not be written"},
      {WriteStep::Close, EIO, "Output file could not be written"},
      {WriteStep::Close, EDQUOT, "Output file could not be written"},
      {WriteStep::Rename, EXDEV, "Output file could not be written"},
      {WriteStep::Rename, EACCES, "Output file could not be written"},
  };
  const std::string earlier = "earlier file\r\n 8  4 \r\n" + std::string(3000, '7');
  for (const Case& c : cases) {
    test::TempDir dir;
    const std::string name = dir.file("kept.FOI");
    test::WriteBytes(name, earlier);
    State s = FourPoints();
    s.OutFile = name;
    {
      FailStep fault(c.step, c.err);
      Write_FoilFile(s);
    }
    EXPECT_EQ(s.ErFlag, kTrue) << c.err;
    EXPECT_EQ(s.ErMsg, Msg(name, c.text)) << c.err;
    EXPECT_EQ(test::ReadBytes(name), earlier) << c.err;
    EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"kept.FOI"}) << c.err;

    // The next write that succeeds clears the flag and replaces the file.
    Write_FoilFile(s);
    EXPECT_EQ(s.ErFlag, kFalse);
    EXPECT_EQ(test::ReadBytes(name), kFourPointsFile);
  }
}

TEST(WriteFoilFileTest, ControlPointsThatAreNotThereAreNotWritten) {
  test::TempDir dir;
  State s = Fitted(8);
  s.ncp = 10;  // the count field changed after the fit
  s.OutFile = dir.file("out.FOI");
  Write_FoilFile(s);
  EXPECT_EQ(s.ErFlag, kTrue);
  EXPECT_EQ(s.ErMsg, Msg(s.OutFile, "Output file could not be written"));
  EXPECT_TRUE(Entries(dir.path()).empty());

  State none;
  none.ncp = 4;
  none.OutFile = dir.file("out.FOI");
  Write_FoilFile(none);
  EXPECT_EQ(none.ErFlag, kTrue);
  EXPECT_TRUE(Entries(dir.path()).empty());
}

}  // namespace
}  // namespace tarvelo
