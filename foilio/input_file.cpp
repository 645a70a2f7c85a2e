// The input foil data file: an identification line, the count of data points
// and four number items per point (x, two thickness parts, camber; percent).
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <new>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "foilio/file_errors.h"
#include "foilio/foil_files.h"
#include "foilio/items.h"
#include "foilio/section_file.h"

namespace tarvelo {

using namespace detail;

namespace {

// The records after the count, as fractions of the chord; the message of the
// first fault, or "" when all are read.
std::string ReadRecords(const std::string& name, int nd, std::size_t fileSize, ByteSource& in,
                 ItemReader& items, SectionData& data) {
  // A record takes at least 7 bytes ("0 0 0 0" and a separator), so a count
  // that promises more records than the file can hold reserves no more.
  const std::size_t expected = std::min(static_cast<std::size_t>(nd), fileSize / 7 + 1);
  for (std::vector<double>* v : {&data.x, &data.thickness, &data.camber}) v->reserve(expected);
  while (data.x.size() < static_cast<std::size_t>(nd)) {
    std::array<double, 4> r{};
    for (std::size_t k = 0; k < r.size(); ++k) {
      const ItemReader::Item item = items.Next();
      if (in.failed()) return InputMessage(name, OpenCause::Failed);
      if (item.kind == ItemReader::Kind::End) {
        return Message(name, "File ends after " + std::to_string(data.x.size()) + " of " +
                                 std::to_string(nd) + " data points");
      }
      // A thickness whose two parts overflow together is as unusable as an item that overflows.
      if (item.kind == ItemReader::Kind::NotANumber ||
          (k == 2 && !std::isfinite(r[1] + item.value))) {
        return Message(name, "Invalid number in line " + std::to_string(item.line));
      }
      r[k] = item.value;
    }
    data.x.push_back(r[0] / 100);
    data.thickness.push_back((r[1] + r[2]) / 100);
    data.camber.push_back(r[3] / 100);
    data.last = r;
  }
  return {};
}

}  // namespace

std::string NoMemoryMessage(const std::string& name, int nd) {
  return Message(name, "Not enough memory for " + std::to_string(nd) + " data points");
}

ReadOutcome ReadSectionFile(const std::string& name, double fewest, SectionData& data,
                            std::string& message) {
  const auto fail = [&message](std::string text) {
    message = std::move(text);
    return ReadOutcome::Failed;
  };

  const Descriptor file(OpenForReading(name, message));
  if (file.get() < 0) return ReadOutcome::Failed;
  struct stat st {};
  ::fstat(file.get(), &st);
  const std::string unreadable = InputMessage(name, OpenCause::Failed);

  ByteSource in(file.get());
  ItemReader items(in);
  data = SectionData{};
  data.id = items.FirstLine();

  const ItemReader::Item count = items.Next();
  if (in.failed()) return fail(unreadable);
  int nd = 0;
  if (count.kind != ItemReader::Kind::Number || !WholeCount(count.value, nd)) {
    return fail(Message(name, "No valid number of data points"));
  }
  data.nd = nd;
  // Too few points for the spline: the read ends here, before any record.
  if (nd <= 0 || nd <= fewest) return ReadOutcome::TooFew;

  std::string fault;
  try {
    fault = ReadRecords(name, nd, static_cast<std::size_t>(st.st_size), in, items, data);
  } catch (const std::bad_alloc&) {
    data = SectionData{};
    return fail(NoMemoryMessage(name, nd));
  }
  if (!fault.empty()) return fail(std::move(fault));
  if (in.failed()) return fail(unreadable);
  return ReadOutcome::Read;
}

ReadOutcome Read_FoilData(State& s) {
  s.ErFlag = kFalse;
  // Read aside: the shared data change only when the whole file is good.
  SectionData data;
  std::string message;
  const ReadOutcome outcome = ReadSectionFile(s.InFile, s.ncp, data, message);
  if (outcome == ReadOutcome::Failed) {
    s.ErMsg = std::move(message);
    s.ErFlag = kTrue;
  }
  if (outcome != ReadOutcome::Read) return outcome;

  // The new arrays are made aside, so that running out of memory leaves the
  // data of the last good read as they were.
  const int nd = data.nd;
  Array1<double> xin, ymax, rms;
  Array2<double> yd;
  Array2<float> dy;
  try {
    xin.allocate(1, nd);
    yd.allocate(1, nd, 1, 2);
    ymax.allocate(1, 2);
    rms.allocate(1, 2);
    dy.allocate(0, nd, 1, 2);
  } catch (const std::bad_alloc&) {
    s.ErMsg = NoMemoryMessage(s.InFile, nd);
    s.ErFlag = kTrue;
    return ReadOutcome::Failed;
  }
  for (int i = 1; i <= nd; ++i) {
    const auto r = static_cast<std::size_t>(i - 1);
    xin(i) = data.x[r];
    yd(i, 1) = data.thickness[r];
    yd(i, 2) = data.camber[r];
    if (yd(i, 1) > ymax(1)) ymax(1) = yd(i, 1);
    if (yd(i, 2) > ymax(2)) ymax(2) = yd(i, 2);
  }
  s.IDLine = std::move(data.id);
  s.nd = nd;
  std::tie(s.xv, s.t1v, s.t2v, s.cv) = std::tuple_cat(data.last);
  s.xin = std::move(xin);
  s.yd = std::move(yd);
  s.ymax = std::move(ymax);
  s.rms = std::move(rms);
  s.dy = std::move(dy);
  return ReadOutcome::Read;
}

}  // namespace tarvelo
