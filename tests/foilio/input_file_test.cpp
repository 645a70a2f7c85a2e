#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <string>
#include <vector>

#include "foilio/file_errors.h"
#include "foilio/foil_files.h"
#include "foilio/reader_check.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

using test::DataSet;
using test::Lines;

const std::string kGood =
    "Earlier section\r\n5\r\n0,0,0,0\r\n25,2,2,1\r\n50,3,3,-1\r\n75,1.5,1.5,0.5\r\n100,0,0,0\r\n";

// A state, a display and a file to read, in a directory of their own.
struct Reader {
  test::TempDir dir;
  State s;
  RecordingDisplay d;
  std::string path = dir.file("section.dat");

  bool Read(const std::string& bytes, double ncp = 4) {
    test::WriteBytes(path, bytes);
    return ReadName(path, ncp);
  }
  bool ReadName(const std::string& name, double ncp = 4) {
    s.InFile = name;
    s.ncp = ncp;
    d.Cls();
    return Read_FoilData(s, d);
  }
  // A good read first, so that failures have data to leave alone.
  void ReadGood() {
    ASSERT_TRUE(Read(kGood));
    s.ErMsg = "earlier message";
  }
};

std::string Msg(const std::string& name, const std::string& text) {
  return "  " + name + " - " + text + " !! ";
}

TEST(ReadFoilDataTest, RecordsBecomeFractionsOfTheChord) {
  Reader r;
  r.s.ErFlag = kTrue;
  ASSERT_TRUE(r.Read("NACA test\r\n5\r\n0,0,0,0\r\n50, 3, 3, -1\r\n25,2,4,1\r\n"
                     "75,1,1,-2\r\n100,0.0630,0.0630,0\r\n"));
  const State& s = r.s;
  EXPECT_EQ(s.ErFlag, kFalse);
  EXPECT_TRUE(Lines(r.d).empty());
  EXPECT_EQ(s.IDLine, "NACA test");
  EXPECT_EQ(s.nd, 5);
  EXPECT_EQ(s.xin(2), 0.5);
  EXPECT_EQ(s.yd(2, 1), 0.06);
  EXPECT_EQ(s.yd(2, 2), -0.01);
  EXPECT_EQ(s.yd(5, 1), (0.0630 + 0.0630) / 100);
  EXPECT_EQ(s.ymax(1), 0.06);
  EXPECT_EQ(s.ymax(2), 0.01);
  // xv..cv: the last record as written, in percent.
  EXPECT_EQ(s.xv, 100);
  EXPECT_EQ(s.t1v, 0.0630);
  EXPECT_EQ(s.t2v, 0.0630);
  EXPECT_EQ(s.cv, 0);
  EXPECT_EQ(s.xin.lo(), 1);
  EXPECT_EQ(s.xin.hi(), 5);
  EXPECT_EQ(s.dy.lo1(), 0);
  EXPECT_EQ(s.dy.hi1(), 5);
  EXPECT_EQ(s.dy.lo2(), 1);
  EXPECT_EQ(s.dy.hi2(), 2);
  EXPECT_EQ(s.rms.lo(), 1);
  EXPECT_EQ(s.rms.hi(), 2);
}

TEST(ReadFoilDataTest, LargestValuesNeverBelowZero) {
  Reader r;
  ASSERT_TRUE(r.Read("all camber negative\r\n5\r\n0,0,0,-1\r\n10,6,6,-2\r\n20,3,3,-0.5\r\n"
                     "30,1,1,-3\r\n40,0,0,-1\r\n"));
  EXPECT_EQ(r.s.ymax(1), 0.12);
  EXPECT_EQ(r.s.ymax(2), 0);
  ASSERT_TRUE(r.Read("x\r\n5\r\n0,-1,-1,0\r\n1,-1,0,0\r\n2,0,-3,0\r\n3,-2,-2,0\r\n4,-1,-1,0\r\n"));
  EXPECT_EQ(r.s.ymax(1), 0);
}

TEST(ReadFoilDataTest, SecondReadReplacesTheWholeDataSet) {
  Reader r;
  r.ReadGood();
  r.s.dy(3, 1) = 0.5f;
  r.s.rms(2) = 0.25;
  ASSERT_TRUE(r.Read("again\r\n6\r\n1,1,1,1 2,2,2,2 3,3,3,3 4,4,4,4 5,5,5,5 6,6,6,6\r\n"));
  EXPECT_EQ(r.s.IDLine, "again");
  EXPECT_EQ(r.s.nd, 6);
  EXPECT_EQ(r.s.xin.hi(), 6);
  EXPECT_EQ(r.s.dy.hi1(), 6);
  EXPECT_EQ(r.s.dy(3, 1), 0.0f);
  EXPECT_EQ(r.s.rms(2), 0.0);
  EXPECT_EQ(r.s.ymax(1), 0.12);
}

TEST(ReadFoilDataTest, ItemsNotLines) {
  const std::string one_a_line =
      "ID\r\n5\r\n0\r\n0\r\n0\r\n0\r\n10\r\n1\r\n1\r\n0.5\r\n50\r\n3\r\n3\r\n-1\r\n"
      "90\r\n1\r\n1\r\n0\r\n100\r\n0\r\n0\r\n0\r\n";
  const std::string four_a_line =
      "ID\r\n5\r\n0,0,0,0, 10,1,1,0.5, 50,3,3,-1, 90,1,1,0\r\n100,0,0,0\r\n";
  const std::string blanks_tabs_and_blank_lines =
      "ID\n\n5\n\n\t0 0\t0 0\n\n\r\n10 , 1 ,1,0.5,\n50\t3\t3\t-1,\r90 1 1 0\r\n\r\n100,0,0,0";
  const std::string extra_records =
      "ID\r\n5\r\n0,0,0,0\r\n10,1,1,0.5\r\n50,3,3,-1\r\n90,1,1,0\r\n100,0,0,0\r\n"
      "110,9,9,9\r\nnot numbers at all\r\n";
  const std::string quoted =
      "ID\r\n\"5\"\r\n\"0\",\"0\",\"0\",\"0\"\r\n10,\" 1 \",1,0.5\r\n\"50\",3,3,\"-1\"\r\n"
      "90,1,1,0\r\n100,0,0,0\r\n";
  const std::string other_forms =
      "ID\r\n5.0\r\n0.,.0,-0,+0\r\n1E1,1,1e0,5e-1\r\n+50,3.000,0.3e1,-1\r\n90,1,1,0\r\n"
      "100,0,0,0\r\n";

  Reader r;
  ASSERT_TRUE(r.Read(one_a_line));
  const std::string expected = DataSet(r.s);
  for (const std::string& file :
       {four_a_line, blanks_tabs_and_blank_lines, extra_records, quoted, other_forms}) {
    Reader other;
    ASSERT_TRUE(other.Read(file)) << file << "\n" << other.s.ErMsg;
    EXPECT_EQ(DataSet(other.s), expected) << file;
  }
  EXPECT_EQ(r.s.yd(3, 2), -0.01);
  EXPECT_EQ(r.s.yd(2, 2), 0.005);
}

TEST(ReadFoilDataTest, FirstLineKeptAsReadWhateverEndsIt) {
  const std::string id = "  NACA 4412 \xE9\xFC\x01 tabs\tand blanks  ";
  const std::string rest = "5\r\n0,0,0,0\r\n1,1,1,1\r\n2,2,2,2\r\n3,3,3,3\r\n4,4,4,4\r\n";
  for (const std::string end : {"\r\n", "\r", "\n"}) {
    Reader r;
    ASSERT_TRUE(r.Read(id + end + rest)) << r.s.ErMsg;
    EXPECT_EQ(r.s.IDLine, id);
    EXPECT_EQ(r.s.nd, 5);
  }
  Reader empty;
  ASSERT_TRUE(empty.Read("\r\n" + rest));
  EXPECT_EQ(empty.s.IDLine, "");
  // A count on line 1 is part of the identification line, not the count.
  Reader count_in_id;
  EXPECT_FALSE(count_in_id.Read("5 0,0,0,0\r\n"));
  EXPECT_EQ(count_in_id.s.ErMsg, Msg(count_in_id.path, "No valid number of data points"));
}

TEST(ReadFoilDataTest, PointIsTheDecimalSeparatorUnderACommaLocale) {
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_ALL, "de_DE.utf8") == nullptr) {
    GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  }
  Reader r;
  const bool ok = r.Read("x\r\n5\r\n0,0,0,0\r\n50.5, 3.25, 3.25, -1.5\r\n1,1,1,1\r\n2,2,2,2\r\n3,3,3,3\r\n");
  std::setlocale(LC_ALL, "C");
  ASSERT_TRUE(ok) << r.s.ErMsg;
  EXPECT_EQ(r.s.xin(2), 0.505);
  EXPECT_EQ(r.s.yd(2, 1), 0.065);
  EXPECT_EQ(r.s.yd(2, 2), -0.015);
}

TEST(ReadFoilDataTest, BundledExamplesReadWithoutAMessage) {
  struct Example {
    const char* name;
    int nd;
  };
  for (const Example& e : {Example{"naca0012.dat", 26}, Example{"naca16-206-a08.dat", 26},
                           Example{"naca2412.dat", 26}, Example{"naca4412-40pt.dat", 40}}) {
    for (double ncp : {4.0, 8.0, 20.0}) {
      Reader r;
      ASSERT_TRUE(r.ReadName(test::ExamplePath(e.name), ncp)) << e.name << r.s.ErMsg;
      EXPECT_EQ(r.s.ErFlag, kFalse);
      EXPECT_TRUE(Lines(r.d).empty());
      EXPECT_EQ(r.s.nd, e.nd) << e.name;
      EXPECT_EQ(r.s.xin(e.nd), 1.0) << e.name;
      EXPECT_EQ(r.s.xv, 100) << e.name;
    }
  }
  Reader r;
  ASSERT_TRUE(r.ReadName(test::ExamplePath("naca2412.dat")));
  EXPECT_EQ(r.s.IDLine, "NACA 2412, standard thickness and camber, 26 stations");
  EXPECT_EQ(r.s.ymax(1), (6.0017 + 6.0017) / 100);
  EXPECT_EQ(r.s.t1v, 0.1260);
}

// Too few data points: two lines on the display area, ErFlag clear, nothing read.
TEST(ReadFoilDataTest, InsufficientDataPrintsTwoLines) {
  const std::vector<std::string> for8 = {"*** Insufficient data. For 8  control points,",
                                         "  you need at least 9  data points. ****"};
  Reader r;
  r.ReadGood();
  const std::string before = DataSet(r.s);
  const std::string eight =
      "few\r\n8\r\n1,1,1,1\r\n2,2,2,2\r\n3,3,3,3\r\n4,4,4,4\r\n5,5,5,5\r\n6,6,6,6\r\n"
      "7,7,7,7\r\n8,8,8,8\r\n";
  r.s.ErFlag = kTrue;
  EXPECT_FALSE(r.Read(eight, 8));
  EXPECT_EQ(Lines(r.d), for8);
  EXPECT_EQ(r.s.ErFlag, kFalse);
  EXPECT_EQ(r.s.ErMsg, "earlier message");
  EXPECT_EQ(DataSet(r.s), before);

  // The count alone decides; the records are not read.
  for (const std::string count : {"8", "3", "0", "-5", "8.0", "-0"}) {
    EXPECT_FALSE(r.Read("short\r\n" + count + "\r\n1,1", 8)) << count;
    EXPECT_EQ(Lines(r.d), for8) << count;
    EXPECT_EQ(r.s.ErFlag, kFalse);
    EXPECT_EQ(DataSet(r.s), before);
  }
  EXPECT_FALSE(r.Read("x\r\n4\r\n", 20));
  EXPECT_EQ(Lines(r.d), (std::vector<std::string>{"*** Insufficient data. For 20  control points,",
                                                  "  you need at least 21  data points. ****"}));

  // One more point than control points is enough.
  EXPECT_TRUE(r.Read("enough\r\n9\r\n" + eight.substr(eight.find("1,1")) + "9,9,9,9\r\n", 8));
  EXPECT_TRUE(Lines(r.d).empty());
  EXPECT_EQ(r.s.nd, 9);
}

// Each message, and that the data of the last good read stay as they were.
TEST(ReadFoilDataTest, ContentFaultsAreReportedAndLeaveTheDataAlone) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const std::string head = "ID\r\n5\r\n";
  const std::vector<Case> cases = {
      {"", "No valid number of data points"},
      {"only an identification line", "No valid number of data points"},
      {"ID\r\n", "No valid number of data points"},
      {"ID\r\n\r\n  \r\n", "No valid number of data points"},
      {"ID\r\nfive\r\n", "No valid number of data points"},
      {"ID\r\n5.5\r\n", "No valid number of data points"},
      {"ID\r\n2.65e1\r\n", "No valid number of data points"},
      {"ID\r\n3e9\r\n", "No valid number of data points"},
      {"ID\r\n-3e9\r\n", "No valid number of data points"},
      {"ID\r\nnan\r\n", "No valid number of data points"},
      {"ID\r\n,,5\r\n", "No valid number of data points"},
      {"ID\r\n\"5\r\n\"", "No valid number of data points"},
      {head, "File ends after 0 of 5 data points"},
      {head + "1,1,1,1\r\n2,2,2,2\r\n3,3,3", "File ends after 2 of 5 data points"},
      {head + "1,1,1,1\r\n2,2,2,2\r\n3,3,3,3\r\n4,4,4,4\r\n", "File ends after 4 of 5 data points"},
      {"ID\r\n1000000000\r\n1,1,1,1\r\n", "File ends after 1 of 1000000000 data points"},
      {head + "1,1,1,1\r\n2,x,2,2\r\n", "Invalid number in line 4"},
      {head + "1,1,1,1\r\n2,2,2,nan\r\n", "Invalid number in line 4"},
      {head + "1,1,1,1\r\n2,2,2,inf\r\n", "Invalid number in line 4"},
      {head + "1,1,1,1\r\n2,2,2,-infinity\r\n", "Invalid number in line 4"},
      {head + "1,1,1,1\r\n2,2,2,1e999\r\n", "Invalid number in line 4"},
      {head + "1,1,1,1\r\n2,2,2,0x10\r\n", "Invalid number in line 4"},
      {head + "1,1,1,1\r\n2,2,2,1e\r\n", "Invalid number in line 4"},
      {head + "1,1,1,1\r\n2,2,2,.\r\n", "Invalid number in line 4"},
      {head + "1,1,1,1\r\n2,2,2,--1\r\n", "Invalid number in line 4"},
      {head + "1,1,1,1\r\n2,2,2,1.5.2\r\n", "Invalid number in line 4"},
      {head + "1,1,1,1\r\n2,2,2,1,5\r\n", "File ends after 2 of 5 data points"},
      {head + "1,,1,1\r\n", "Invalid number in line 3"},
      {head + "1, \t ,1,1\r\n", "Invalid number in line 3"},
      {head + "1,1,1,1,,\r\n", "Invalid number in line 3"},
      {head + "1,1,1,\"1\r\n\"", "Invalid number in line 3"},
      {head + "1,1,1,\"1\"2\r\n", "Invalid number in line 3"},
      {head + "1,1,1,\"\"\r\n", "Invalid number in line 3"},
      {head + "1,1,1,1\x1A\r\n", "Invalid number in line 3"},
      {head + "1,1e308,1e308,1\r\n", "Invalid number in line 3"},
      // Line ends: CR LF, a bare CR and a bare LF each end one line.
      {"ID\n5\r1,1,1,1\n\n2,2,2,2\r\r\n3,3,3,3\r\n4,4,x,4\r\n", "Invalid number in line 8"},
  };
  for (const Case& c : cases) {
    Reader r;
    r.ReadGood();
    const std::string before = DataSet(r.s);
    EXPECT_FALSE(r.Read(c.bytes)) << c.bytes;
    EXPECT_EQ(r.s.ErMsg, Msg(r.path, c.text)) << c.bytes;
    EXPECT_EQ(r.s.ErFlag, kTrue) << c.bytes;
    EXPECT_TRUE(Lines(r.d).empty()) << c.bytes;
    EXPECT_EQ(DataSet(r.s), before) << c.bytes;
  }
}

TEST(ReadFoilDataTest, NumbersAtTheEdgesOfADouble) {
  Reader r;
  ASSERT_TRUE(r.Read("ID\r\n5\r\n1e-400,-1e-400,1e-310,0\r\n1e300,1e307,1e307,-1e300\r\n"
                     "0000000000000000000000000000050,1,1,1\r\n3,3,3,3\r\n4,4,4,4\r\n"))
      << r.s.ErMsg;
  EXPECT_EQ(r.s.xin(1), 0);
  EXPECT_EQ(r.s.yd(1, 1), 1e-310 / 100);
  EXPECT_EQ(r.s.xin(2), 1e300 / 100);
  EXPECT_EQ(r.s.yd(2, 1), (1e307 + 1e307) / 100);
  EXPECT_EQ(r.s.xin(3), 0.5);
}

TEST(ReadFoilDataTest, OpenFailuresNameTheirCause) {
  test::TempDir dir;
  const std::string fifo = dir.file("pipe.dat");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string plain = dir.file("plain.dat");
  test::WriteBytes(plain, kGood);
  struct Case {
    std::string name;
    std::string text;
  };
  const std::vector<Case> cases = {
      {dir.file("missing.dat"), "Input file not found"},
      {dir.file("no-such-dir/x.dat"), "Input file not found"},
      {plain + "/x.dat", "Input file not found"},
      {"", "Input file not valid"},
      {std::string("bad\0name.dat", 12), "Input file not valid"},
      {dir.file(std::string(300, 'n') + ".dat"), "Input file not valid"},
      {dir.path().string(), "Input file could not be read"},
      {fifo, "Input file could not be read"},
      {"/dev/zero", "Input file could not be read"},
      {"/dev/null", "Input file could not be read"},
  };
  for (const Case& c : cases) {
    Reader r;
    r.ReadGood();
    const std::string before = DataSet(r.s);
    EXPECT_FALSE(r.ReadName(c.name)) << c.name;
    EXPECT_EQ(r.s.ErMsg, Msg(c.name, c.text)) << c.name;
    EXPECT_EQ(r.s.ErFlag, kTrue);
    EXPECT_EQ(DataSet(r.s), before) << c.name;
  }
}

TEST(ReadFoilDataTest, SocketIsNoDevice) {
  // open() on a socket fails with ENXIO: no such device.
  test::TempDir dir;
  const std::string name = dir.file("s.dat");
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  ASSERT_LT(name.size(), sizeof addr.sun_path);
  name.copy(addr.sun_path, name.size());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  Reader r;
  EXPECT_FALSE(r.ReadName(name));
  ::close(fd);
  EXPECT_EQ(r.s.ErMsg, Msg(name, "Drive not available"));
  EXPECT_EQ(r.s.ErFlag, kTrue);
}

TEST(FileErrorsTest, OpenErrorsMapToTheirCauses) {
  using detail::OpenCause;
  struct Row {
    int err;
    OpenCause input;
    OpenCause output;
  };
  const Row rows[] = {
      {ENAMETOOLONG, OpenCause::NameNotValid, OpenCause::NameNotValid},
      {EINVAL, OpenCause::NameNotValid, OpenCause::NameNotValid},
      {EISDIR, OpenCause::Failed, OpenCause::NameNotValid},
      {ENOENT, OpenCause::NotFound, OpenCause::Failed},
      {ENOTDIR, OpenCause::NotFound, OpenCause::Failed},
      {ENXIO, OpenCause::NoDrive, OpenCause::NoDrive},
      {ENODEV, OpenCause::NoDrive, OpenCause::NoDrive},
      {ENOMEDIUM, OpenCause::NoDrive, OpenCause::NoDrive},
      {EACCES, OpenCause::Failed, OpenCause::Failed},
      {EROFS, OpenCause::Failed, OpenCause::Failed},
      {ENOSPC, OpenCause::Failed, OpenCause::Failed},
      {EIO, OpenCause::Failed, OpenCause::Failed},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(detail::ClassifyInputError(row.err), row.input) << row.err;
    EXPECT_EQ(detail::ClassifyOutputError(row.err), row.output) << row.err;
  }
  EXPECT_EQ(detail::InputMessage("a.dat", OpenCause::NoDrive), "  a.dat - Drive not available !! ");
  EXPECT_EQ(detail::OutputMessage("a.FOI", OpenCause::NotFound),
            "  a.FOI - Output file could not be written !! ");
}

}  // namespace
}  // namespace tarvelo
