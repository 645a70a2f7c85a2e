#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "foilio/file_errors.h"
#include "foilio/foil_files.h"
#include "foilio/number_format.h"
#include "foilio/reader_check.h"
#include "support/test_support.h"

namespace tarvelo {
namespace {

TEST(FStTest, ColumnsRoundingAndNumberItems) {
  const std::tuple<int, int, int, double, const char*> rows[] = {
      {3, 2, 5, 0, "   0.00000"}, {3, 2, 5, -0.25, "  -0.25000"}, {3, 2, 5, 0.123456, "   0.12346"},
      {3, 2, 5, 12.5, "   12.50000"}, {0, 2, 5, -0.5, "-0.50000"}, {0, 2, 5, 0.00012, "0.00012"},
      {3, 2, 0, 7, "    7"}, {3, 2, 0, 42, "   42"}, {3, 2, 0, -7, "  -7"},  // "-7" is nl wide
      // Halves away from zero, on the exact value: 0.015625 is halfway; 0.123455, 0.000015f below.
      {3, 2, 5, 0.015625, "   0.01563"}, {3, 2, 5, -0.015625, "  -0.01563"},
      {3, 2, 5, 0.123455, "   0.12345"}, {3, 2, 5, 0.000015f, "   0.00001"},
      {3, 2, 5, 9.999995, "   10.00000"}, {3, 2, 0, 2.5, "    3"}, {3, 2, 0, 99.5, "   100"},
      {3, 2, 5, -0.000001, "   0.00000"}, {3, 2, 5, -0.0, "   0.00000"},  // no minus sign
      {0, 2, 5, -4e-6, "0.00000"}, {3, 2, 5, -0.000005, "  -0.00001"}};
  for (const auto& [nb, nl, nt, v, text] : rows) EXPECT_EQ(FSt(nb, nl, nt, v), text) << v;
  for (const auto& [value, text] : {std::pair{8.0, " 8 "}, {-3.0, "-3 "}, {1e9, " 1000000000 "}})
    EXPECT_EQ(NumberItem(value), text);
}

// ncp control points as a fit leaves them, x of the first below 0, in dir/out.FOI.
State Fitted(const test::TempDir& dir, int ncp, std::string id = "NACA \xE4\xFC\t\x01\xFF ") {
  State s;
  s.IDLine = id;
  s.OutFile = dir.file("out.FOI");
  s.ncp = ncp;
  s.ko = 4;
  s.xcp.allocate(1, ncp);
  s.ycp.allocate(1, ncp, 1, 2);
  for (int j = 1; j <= ncp; ++j) {
    s.xcp(j) = (j - 1.00002) / (ncp - 1);
    s.ycp(j, 1) = 4.2 * (j - 1);
    s.ycp(j, 2) = -0.0015 * j;
  }
  return s;
}

// A name that cannot be written or a failing step: its message, and an earlier file kept byte
// for byte with no temporary file left; a write that succeeds replaces it with the exact bytes.
TEST(WriteFoilFileTest, ExactBytesOrAMessageWithTheEarlierFileKept) {
  test::TempDir dir;
  const std::string out = dir.file("out.FOI"), cant = "Output file could not be written";
  const std::string invalid = "Output file name not valid";
  using enum detail::WriteStep;
  struct Case { std::string name, text; detail::WriteStep step = Create; int err = 0, ncp = 4; };
  const Case cases[] = {
      {dir.file("missing-dir/out.FOI"), cant}, {out + "/out.FOI", cant}, {"/dev/full", cant},
      {dir.file("loop.FOI"), cant}, {out, cant, Create, 0, 5},  // only 4 points fitted
      {dir.path().string(), invalid}, {out + "/", invalid}, {"", invalid},
      {std::string("a\0b.FOI", 7), invalid}, {dir.file(std::string(300, 'n')), invalid},
      {out, cant, Create, EACCES}, {out, "Drive not available", Create, ENOMEDIUM},
      {out, invalid, Create, EINVAL}, {out, cant, Write, ENOSPC}, {out, cant, Sync, EIO},
      {out, cant, Close, EIO}, {out, cant, Rename, EXDEV}};
  std::filesystem::create_symlink("loop.FOI", dir.file("loop.FOI"));  // a link to itself
  const std::string earlier = "earlier file\r\n 8  4 \r\n" + std::string(3000, '7');
  using Entries = std::filesystem::directory_iterator;  // no temporary file may stay behind
  for (const Case& c : cases) {
    test::WriteBytes(out, earlier);
    State s = Fitted(dir, 4);
    s.OutFile = c.name;
    s.ncp = c.ncp;
    detail::SetWriteFaultHook([&c](auto at) { return at == c.step ? c.err : 0; });
    Write_FoilFile(s);
    detail::SetWriteFaultHook(nullptr);
    EXPECT_EQ(s.ErFlag, kTrue) << c.name << " " << c.err;
    EXPECT_EQ(s.ErMsg, "  " + c.name + " - " + c.text + " !! ") << c.err;
    EXPECT_EQ(test::ReadBytes(out), earlier) << c.name << " " << c.err;
    EXPECT_EQ(std::distance(Entries(dir.path()), Entries()), 2) << c.name << " " << c.err;
  }
  State s = Fitted(dir, 4);
  ASSERT_EQ(::chmod(out.c_str(), 0640), 0);  // the mode is kept; a symbolic link stays a link
  std::filesystem::create_symlink("out.FOI", s.OutFile = dir.file("link.FOI"));
  s.ErFlag = kTrue;
  Write_FoilFile(s);
  EXPECT_EQ(test::ReadBytes(out),
            "NACA \xE4\xFC\t\x01\xFF \r\n 4  4 \r\n   0.00000   0.00000  -0.00150\r\n"
            "   0.33333   4.20000  -0.00300\r\n   0.66666   8.40000  -0.00450\r\n"
            "   0.99999   12.60000  -0.00600\r\n");
  EXPECT_TRUE(s.ErFlag == kFalse && std::distance(Entries(dir.path()), Entries()) == 3);
  struct stat st {};
  EXPECT_TRUE(::stat(out.c_str(), &st) == 0 && (st.st_mode & 0777) == 0640);
  EXPECT_TRUE(s.xcp(1) == 0 && s.xcp(2) == (2 - 1.00002) / 3);  // x as written, once created
  s.OutFile = "/dev/null";  // a device is written in place, never replaced
  Write_FoilFile(s);
  for (const char* dev : {"/dev/null", "/dev/full"})
    EXPECT_TRUE(s.ErFlag == kFalse && ::stat(dev, &st) == 0 && S_ISCHR(st.st_mode)) << dev;
  s = Fitted(dir, 20, "");  // ncp + 2 lines, the first empty
  Write_FoilFile(s);
  const std::string b = test::ReadBytes(out);
  EXPECT_TRUE(b.rfind("\r\n 20  4 \r\n", 0) == 0 && std::count(b.begin(), b.end(), '\n') == 22);
}

struct Reader {
  test::TempDir dir;
  std::string path = dir.file("section.dat");
  State s;
  RecordingDisplay d;

  bool Read(const std::string& name, double ncp = 4) {
    s.InFile = name;
    s.ncp = ncp;
    d.Cls();
    return Read_FoilData(s, d);
  }
  bool ReadBytes(const std::string& bytes, double ncp = 4) {
    test::WriteBytes(path, bytes);
    return Read(path, ncp);
  }
};

// Items wherever the lines break, and line 1 as it stands, read under a
// decimal-comma locale; dy and rms allocated anew. The bundled examples too.
TEST(ReadFoilDataTest, ItemsNotLinesAndTheExamples) {
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
  Reader r;
  ASSERT_TRUE(r.ReadBytes("six\r\n6\r\n1 1 1 1 2 2 2 2 3 3 3 3 4 4 4 4 5 5 5 5 6 6 6 6\r\n"));
  const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "de_DE.utf8");
  EXPECT_EQ(FSt(3, 2, 5, -0.25), "  -0.25000");
  std::string first;
  for (const std::string& file : files) {
    r.s.dy(3, 1) = 0.5f;  // as the fit of the earlier data left them
    r.s.rms(2) = 0.25;
    const State before = r.s;
    EXPECT_TRUE(r.ReadBytes(file)) << file << "\n" << r.s.ErMsg;
    EXPECT_EQ(test::CheckRead(before, r.s, true, test::Lines(r.d)), "") << file;
    if (first.empty()) first = test::DataSet(r.s);
    EXPECT_EQ(test::DataSet(r.s), first) << file;
  }
  std::setlocale(LC_ALL, "C");
  const State& s = r.s;
  EXPECT_EQ(s.IDLine, id);
  // The record 50, 3, 3, -1; every camber is negative, yet ymax(2) is 0.
  EXPECT_EQ((std::vector<double>{s.xin(3), s.yd(3, 1), s.yd(3, 2), s.ymax(1), s.ymax(2), s.cv}),
            (std::vector<double>{0.5, 0.06, -0.01, 0.06, 0, -0.5}));
  for (const auto& [name, nd] : {std::pair{"naca0012.dat", 26}, {"naca16-206-a08.dat", 26},
                                 {"naca2412.dat", 26}, {"naca4412-40pt.dat", 40}})
    EXPECT_TRUE(r.Read(test::ExamplePath(name), 20) && r.s.nd == nd && r.s.xin(nd) == 1.0 &&
                test::Lines(r.d).empty()) << name;
  if (!comma) GTEST_SKIP() << "de_DE.UTF-8 is not installed: read under C only";
}

std::string Mutate(std::string b, std::mt19937& g) {
  // Pieces that matter to the reader, drawn more often than other bytes.
  static const std::string pieces[] = {",", " ", "\t", "\r\n", "\r", "\n", "\"", ".", "-", "e",
                                       "0", "5", "-5", "40", "1e308", "1e-400", "nan", ",,"};
  auto upto = [&g](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(g); };
  for (std::size_t edit = upto(3); edit < 4; ++edit) {  // one to four edits
    const std::size_t at = upto(b.size());
    switch (upto(4)) {
      case 0: b.insert(at, pieces[upto(std::size(pieces) - 1)]); break;
      case 1: if (at < b.size()) b[at] = static_cast<char>(upto(255)); break;
      case 2: b.erase(at, 1 + upto(7)); break;
      case 3: b.insert(at, b.substr(at, 1 + upto(39))); break;
      default: b.resize(at); break;  // cut the file short
    }
  }
  return b;
}

// Every message, and the two insufficient-data lines, with the data of the last
// good read left as they were; then the bundled examples, mutated at random.
TEST(ReadFoilDataTest, FailuresLeaveTheLastGoodReadAlone) {
  Reader r;
  const std::string f = r.path, dir = r.dir.path().string(), fifo = dir + "/f", sock = dir + "/s";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Opening a socket fails with ENXIO, as a drive that is not there does.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{AF_UNIX, {}};
  sock.copy(addr.sun_path, sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

  // The bytes are written to f first; no text: the two insufficient-data lines.
  struct Case { std::string name, bytes, text; };
  const std::string no_count = "No valid number of data points", head = "ID\r\n5\r\n";
  std::vector<Case> cases = {
      {dir + "/missing", "", "Input file not found"}, {f + "/x", "", "Input file not found"},
      {"", "", "Input file not valid"}, {std::string("bad\0name", 8), "", "Input file not valid"},
      {r.dir.file(std::string(300, 'n')), "", "Input file not valid"},
      {sock, "", "Drive not available"}, {dir, "", "Input file could not be read"},
      {fifo, "", "Input file could not be read"}, {"/dev/zero", "", "Input file could not be read"},
      {f, "", no_count}, {f, "5 0,0,0,0\r\n", no_count},  // line 1 holds no count
      {f, head, "File ends after 0 of 5 data points"},
      {f, head + "1,1,1,1\r\n2,2,2,2\r\n3,3,3", "File ends after 2 of 5 data points"},
      {f, head + "1,1,1,1\r\n2,2,2,1,5\r\n", "File ends after 2 of 5 data points"},
      {f, "ID\r\n1000000000\r\n1,1,1,1\r\n", "File ends after 1 of 1000000000 data points"},
      {f, "ID\n5\r1,1,1,1\n\n2,2,2,2\r\r\n3,3,3,3\r\n4,4,x,4\r\n", "Invalid number in line 8"}};
  for (std::string count : {"", "  ", "five", "5.5", "3e9", "nan", ",,5", "\"5\r\n\""})
    cases.push_back({f, "ID\r\n" + count + "\r\n", no_count});
  for (std::string item : {"x", "nan", "inf", "1e999", "0x10", "1e", ".", "1.5.2", "--1"})
    cases.push_back({f, head + "1,1,1,1\r\n2,2,2," + item + "\r\n", "Invalid number in line 4"});
  for (std::string rest : {",1,1", " \t ,1,1", "1,1,1,,", "1,1,\"1\r\n\"", "1,1,\"1\"2", "1,1,\"\"",
                           "1,1,1\x1A", "1e308,1e308,1"})  // the last: the thickness overflows
    cases.push_back({f, head + "1," + rest + "\r\n", "Invalid number in line 3"});
  for (std::string count : {"4\r\n1,1", "4.0", "0", "-5"})  // the count alone decides
    cases.push_back({f, "few\r\n" + count + "\r\n", ""});

  const std::vector<std::string> too_few = {"*** Insufficient data. For 4  control points,",
                                            "  you need at least 5  data points. ****"};
  ASSERT_TRUE(r.ReadBytes("earlier\r\n5\r\n0,0,0,0 25,2,2,1 50,3,3,-1 75,1,1,1 100,0,0,0\r\n"));
  for (const Case& c : cases) {
    if (c.name == f) test::WriteBytes(f, c.bytes);
    const bool lines = c.text.empty();
    r.s.ErFlag = lines ? kTrue : kFalse;  // the opposite of what CheckRead then demands
    r.s.ErMsg = "earlier message";
    const State before = r.s;
    r.Read(c.name);  // a good read would change the data
    EXPECT_EQ(test::CheckRead(before, r.s, false, test::Lines(r.d)), "") << c.name << c.bytes;
    EXPECT_EQ(r.s.ErMsg, lines ? before.ErMsg : "  " + c.name + " - " + c.text + " !! ") << c.bytes;
    EXPECT_EQ(test::Lines(r.d), lines ? too_few : std::vector<std::string>()) << c.bytes;
  }
  ::close(fd);

  std::vector<std::string> seeds = {"short\n5\n1 1 1 1 2 2 2 2 3 3 3 3 4 4 4 4 5 5 5 5\n"};
  for (const char* name :
       {"naca0012.dat", "naca16-206-a08.dat", "naca2412.dat", "naca4412-40pt.dat"})
    seeds.push_back(test::ReadBytes(test::ExamplePath(name)));
  const State base = r.s;
  std::mt19937 rng(20240611);
  int outcomes[2] = {0, 0};
  for (int n = 0; n < 3000; ++n) {
    const std::string bytes = Mutate(seeds[n % seeds.size()], rng);
    r.s = base;
    const bool ok = r.ReadBytes(bytes, 4 + n % 17);
    ASSERT_EQ(test::CheckRead(base, r.s, ok, test::Lines(r.d)), "") << n << ":\n" << bytes;
    outcomes[ok] += 1;
  }
  EXPECT_GT(std::min(outcomes[0], outcomes[1]), 300);  // both, for the loop to mean anything
}

}  // namespace
}  // namespace tarvelo
