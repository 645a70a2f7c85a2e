#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <filesystem>

#include "foilio/file_errors.h"
#include "fit/foil_files.h"
#include "foilio/number_format.h"
#include "foilio/reader_check.h"
#include "foilio/safe_write.h"
#include "screens/screens.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

// Halves away from zero on the exact value (0.015625 is halfway, 0.123455 and 0.000015f lie
// below); a negative value that rounds to zero is written without its minus sign.
TEST(FStTest, ColumnsRoundingAndNumberItems) {
  const std::tuple<int, double, const char*> rows[] = {  // nt, value; nb is 3 and nl 2
      {5, -0.0, "   0.00000"}, {5, 9.999995, "   10.00000"}, {5, 0.015625, "   0.01563"},
      {0, 7, "    7"}, {0, 42, "   42"}, {0, -7, "  -7"}, {0, 99.5, "   100"},
      {5, -0.015625, "  -0.01563"}, {5, 0.123455, "   0.12345"}, {5, 0.123456, "   0.12346"},
      {5, 0.000015f, "   0.00001"}, {5, -0.000001, "   0.00000"}, {5, -0.000005, "  -0.00001"}};
  for (const auto& [nt, v, text] : rows) EXPECT_EQ(FSt(3, 2, nt, v), text) << v;
  for (const auto& [value, text] : {std::pair{8.0, " 8 "}, {-3.0, "-3 "}, {1e9, " 1000000000 "}})
    EXPECT_EQ(NumberItem(value), text);
}

namespace fs = std::filesystem;

// ncp control points as a fit leaves them, x of the first below 0.
State Fitted(const std::string& out, int ncp = 4, std::string id = "NACA \xE4\xFC\t\x01\xFF ") {
  State s;
  std::tie(s.IDLine, s.OutFile, s.ncp, s.ko) = std::tuple(id, out, ncp, 4);
  Fit fit;
  fit.control_points = ncp;
  for (int j = 1; j <= ncp; ++j) {
    fit.control_x.push_back((j - 1.00002) / (ncp - 1));
    fit.thickness.control.push_back(4.2 * (j - 1));
    fit.camber.control.push_back(-0.0015 * j);
  }
  s.fit = fit;
  return s;
}

// The exact bytes; a name that cannot be written keeps them, and no temporary is left.
TEST(WriteFoilFileTest, ExactBytesOrAMessageWithTheEarlierFileKept) {
  test::TempDir dir;
  const std::string out = dir.file("out.FOI"), cant = "Output file could not be written: ";
  const std::string invalid = "Output file name not valid";
  State s = Fitted(dir.file("link.FOI"));  // the mode is kept; a symbolic link stays a link
  fs::create_symlink("out.FOI", s.OutFile);
  test::WriteBytes(out, "earlier file\r\n 8  4 \r\n" + std::string(3000, '7'));
  fs::permissions(out, fs::perms(0640));
  s.ErFlag = kTrue;
  Write_FoilFile(s);
  const std::string written =
      "NACA \xE4\xFC\t\x01\xFF \r\n 4  4 \r\n   0.00000   0.00000  -0.00150\r\n"
      "   0.33333   4.20000  -0.00300\r\n   0.66666   8.40000  -0.00450\r\n"
      "   0.99999   12.60000  -0.00600\r\n";
  const auto entries = [&] { return std::distance(fs::directory_iterator(dir.path()), {}); };
  EXPECT_TRUE(test::ReadBytes(out) == written && s.ErFlag == kFalse && entries() == 2 &&
              fs::status(out).permissions() == fs::perms(0640));
  EXPECT_TRUE(s.xcp(1) == 0 && s.xcp(2) == (2 - 1.00002) / 3);  // x as written, once created
  const std::string sock = dir.file("s"), loop = dir.file("loop.FOI");
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);  // opening it fails as a missing drive does
  sockaddr_un addr{AF_UNIX, {}};
  sock.copy(addr.sun_path, sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  fs::create_symlink("loop.FOI", loop);
  struct Case { std::string name, text; int ncp = 4; };
  const Case cases[] = {
      {dir.file("missing-dir/out.FOI"), cant + "no such folder"}, {out + "/out.FOI", cant + "no such folder"},
      {"/dev/full", cant + "no room left on the device"}, {dir.path().string(), "Output file is a directory"},
      {out + "/", invalid}, {out, cant + "control points are missing", 5},
      {std::string("a\0b.FOI", 7), invalid}, {dir.file(std::string(300, 'n')), invalid}, {"", invalid},
      {sock, "Drive not available"}, {loop, cant + "too many levels of symbolic links"}};
  for (const Case& c : cases) {  // c.ncp 5: only 4 points fitted
    std::tie(s.OutFile, s.ncp, s.ErFlag) = std::tuple(c.name, c.ncp, kFalse);
    Write_FoilFile(s);
    EXPECT_EQ(std::tuple(s.ErFlag, s.ErMsg, test::ReadBytes(out) == written, entries()),
              std::tuple(kTrue, "  " + c.name + " - " + c.text + " !! ", true, 4)) << c.name;
  }
  ::close(fd);
  s = Fitted(out, 20, "");  // ncp + 2 lines, the first empty
  Write_FoilFile(s);
  const std::string b = test::ReadBytes(out);
  EXPECT_TRUE(b.starts_with("\r\n 20  4 \r\n") && std::count(b.begin(), b.end(), '\n') == 22);
}

// Each errno of a failed write as the window tells it: why the file could
// not be written, or the cause's own words; and a file left damaged.
TEST(WriteFoilFileTest, EveryErrnoOfAFailedWriteAsTheWindowSaysIt) {
  const std::string cant = "Output file could not be written: ", invalid = "Output file name not valid";
  const std::pair<int, std::string> rows[] = {
      {ENOENT, cant + "no such folder"}, {ENOTDIR, cant + "no such folder"},
      {ENOSPC, cant + "no room left on the device"}, {EDQUOT, cant + "no room left on the device"},
      {EACCES, cant + "permission denied"}, {EPERM, cant + "permission denied"},
      {EROFS, cant + "read-only file system"}, {EFBIG, cant + "file too large"},
      {EIO, cant + "input/output error"}, {EXDEV, cant + "invalid cross-device link"},
      {EDOTDOT, cant + "RFS specific error"}, {4095, cant + "error 4095"},
      {ENAMETOOLONG, invalid}, {EINVAL, invalid}, {EISDIR, "Output file is a directory"},
      {ENXIO, "Drive not available"}, {ENODEV, "Drive not available"},
      {ENOMEDIUM, "Drive not available"}, {EPIPE, "Output pipe has no reader"}};
  for (const auto& [err, text] : rows)
    EXPECT_EQ(WindowText(WriteError("out.FOI", {.err = err})), "  out.FOI - " + text + " !! ") << err;
  // A file written in place that failed once its content had changed.
  const std::string damaged = "  out.FOI - Output file could not be written and is damaged: ";
  EXPECT_EQ(WindowText(WriteError("out.FOI", {.err = ENOSPC, .created = true, .damaged = true})),
            damaged + "no room left on the device !! ");
  EXPECT_EQ(WindowText(WriteError("out.FOI", {.err = EIO, .created = true, .damaged = true})),
            damaged + "input/output error !! ");
}

// Items wherever the lines break, line 1 as it stands, under a decimal comma; then every message
// and too few points, and the examples as they are, on earlier data.
TEST(ReadFoilDataTest, ItemsNotLinesAndFailuresThatLeaveTheLastGoodReadAlone) {
  test::TempDir tmp;
  const std::string f = tmp.file("section.dat"), dir = tmp.path().string();
  State s;
  // Writes `bytes` to f and reads it, or reads the file `name`.
  const auto read = [&](const std::string& bytes, double ncp = 4, const std::string* name = {}) {
    test::WriteBytes(f, bytes);
    std::tie(s.InFile, s.ncp) = std::tuple(name ? *name : f, ncp);
    return Read_FoilData(s);
  };
  const std::string id = "  NACA 4412 \xE9\xFC\x01 tabs\tand blanks  ";
  const std::string per_line = "\r\n5\r\n0\r\n0\r\n0\r\n-0.5\r\n10\r\n1\r\n1\r\n-0.5\r\n50\r\n"
                               "3\r\n3\r\n-1\r\n90\r\n1\r\n1\r\n-0.25\r\n100\r\n0\r\n0\r\n-0.5\r\n";
  const std::string files[] = {
      id + per_line, id + per_line + "110,9,9,9\r\nnot numbers at all\r\n",
      id + "\r5.0\r0,0,0,-.5, 1E1,1,1e0,-5e-1, +50,3,3,-1, 90,1,1,-0.25\r100,0,0,-0.5\r",
      id + "\n\n5\n\n\t1e-400 .0\t-0 -0.5\n\n\r\n10 , 1 ,1,-0.5,\n0000000050\t3\t3\t-1,\r"
           "90 1 1 -0.25\r\n\r\n100,0,0,-0.5",
      id + "\n\"5\"\r\n\"0\",\"0\",\"0\",\"-0.5\"\r\n10,\" 1 \",1,-0.5\r\n"
           "\"50\",3.000,0.3e1,\"-1\"\r\n90,1,1,-0.25\r\n100,0,0,-0.5\r\n"};
  ASSERT_EQ(read(files[0]), ReadOutcome::Read);
  const std::string first = test::DataSet(s);
  const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "de_DE.utf8");
  EXPECT_EQ(FSt(0, 2, 5, -0.5), "-0.50000");
  for (const std::string& file : files) {
    s.fit.emplace();  // a fit of the earlier data is let go
    EXPECT_EQ(test::CheckRead(s, s, read(file)), "") << file << "\n" << s.ErMsg;
    EXPECT_EQ(test::DataSet(s), first) << file;
  }
  std::setlocale(LC_ALL, "C");
  // The record 50, 3, 3, -1 as read; every camber is negative, yet ymax(2) is 0,
  // and the thickness is normalised by ymax(1) = 0.06.
  EXPECT_EQ(std::tuple(s.IDLine, s.xin(3), s.data.thickness[2], s.data.camber[2], s.ymax(2), s.cv),
            std::tuple(id, 0.5, 0.06, -0.01, 0.0, -0.5));
  EXPECT_EQ(std::tuple(s.ymax(1), s.yd(3, 1), s.yd(3, 2)), std::tuple(0.06, 1.0, -0.01));

  const std::string fifo = dir + "/f", sock = dir + "/s";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);  // opening it fails as a missing drive does
  sockaddr_un addr{AF_UNIX, {}};
  sock.copy(addr.sun_path, sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  // Bytes go to f first; no text: too few points. ErFlag starts the wrong way.
  struct Case { std::string name, text, bytes = {}; };
  const std::string invalid = "Input file not valid";
  const std::string no_count = "No valid number of data points", head = "ID\r\n5\r\n1,";
  std::vector<Case> cases = {
      {dir + "/missing", "Input file not found"}, {f + "/x", "Input file not found"},
      {"", invalid}, {std::string("bad\0name", 8), invalid}, {dir + std::string(300, 'n'), invalid},
      {sock, "Drive not available"}, {dir, "Input file is a directory"},
      {fifo, "Input file is not a regular file"}, {"/dev/zero", "Input file is not a regular file"},
      {f, no_count}, {f, no_count, "5 0,0,0,0\r\n"}, {f, "Invalid number in line 8",
      "ID\n5\r1,1,1,1\n\n2,2,2,2\r\r\n3,3,3,3\r\n4,4,x,4\r\n"}};
  const auto add = [&](const std::string& text, const std::string& pre,
                       std::initializer_list<std::string> middles, const char* tail = "\r\n") {
    for (const std::string& m : middles) cases.push_back({f, text, pre + m + tail});
  };
  add(no_count, "ID\r\n", {"", "  ", "five", "5.5", "3e9", "nan", ",,5", "\"5\r\n\""});
  add("", "few\r\n", {"4\r\n1,1", "4.0", "0", "-5"});  // the count alone decides
  add("File ends after 0 of 5 data points", "ID\r\n5\r\n", {"", "1,1"}, "");
  add("File ends after 2 of 5 data points", head + "1,1,1\r\n2,2,2,", {"2\r\n3,3,3", "1,5"});
  add("File ends after 1 of 1000000000 data points", "ID\r\n1000000000\r\n", {"1,1,1,1"}, "");
  add("Invalid number in line 4", head + "1,1,1\r\n2,2,2,",
      {"x", "nan", "inf", "1e999", "0x10", "1e", ".", "1.5.2", "--1"});
  add("Invalid number in line 3", head,  // the last: the thickness overflows
      {",1,1", " \t ,1,1", "1,1,1,,", "1,1,\"1\r\n\"", "1,1,\"1\"2", "1,1,\"\"", "1,1,1\x1A",
       "1e308,1e308,1"});
  for (const Case& c : cases) {
    std::tie(s.ErFlag, s.ErMsg) = std::tuple(c.text.empty() ? kTrue : kFalse, "earlier message");
    const State before = s;
    const ReadOutcome outcome = read(c.bytes, 4, &c.name);  // a good read would change the data
    EXPECT_EQ(outcome, c.text.empty() ? ReadOutcome::TooFew : ReadOutcome::Failed) << c.bytes;
    EXPECT_EQ(test::CheckRead(before, s, outcome) + s.ErMsg,
              c.text.empty() ? before.ErMsg : "  " + c.name + " - " + c.text + " !! ") << c.bytes;
  }
  ::close(fd);

  for (const auto& [name, nd] : {std::pair{"naca0012.dat", 26}, {"naca16-206-a08.dat", 26},
                                 {"naca2412.dat", 26}, {"naca4412-40pt.dat", 40}}) {
    const std::string example = test::ExamplePath(name);
    EXPECT_TRUE(read("", 20, &example) == ReadOutcome::Read && s.nd == nd && s.xin(nd) == 1.0);
  }
  if (!comma) GTEST_SKIP() << "de_DE.UTF-8 is not installed: items read under C only";
}

}  // namespace
}  // namespace tarvelo
