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
#include "foilio/items.h"
#include "foilio/section_file.h"

namespace tarvelo {

using namespace detail;

namespace {

// The records after the count, as fractions of the chord; false, with the
// first fault, unless all are read.
bool ReadRecords(const std::string& name, int nd, std::size_t fileSize, ByteSource& in,
                 ItemReader& items, SectionData& data, ReadFailure& failure) {
  const auto fail = [&failure](Error error) {
    failure = std::move(error);
    return false;
  };
  // A record takes at least 7 bytes ("0 0 0 0" and a separator), so a count
  // that promises more records than the file can hold reserves no more.
  const std::size_t expected = std::min(static_cast<std::size_t>(nd), fileSize / 7 + 1);
  for (std::vector<double>* v : {&data.x, &data.thickness, &data.camber}) v->reserve(expected);
  while (data.x.size() < static_cast<std::size_t>(nd)) {
    std::array<double, 4> r{};
    for (std::size_t k = 0; k < r.size(); ++k) {
      const ItemReader::Item item = items.Next();
      if (in.failed()) return fail(InputError(name, OpenCause::Failed));
      if (item.kind == ItemReader::Kind::End) {
        return fail(DataError(name, "file ends after " + std::to_string(data.x.size()) + " of " +
                                        std::to_string(nd) + " data points"));
      }
      // A thickness whose two parts overflow together is as unusable as an item that overflows.
      if (item.kind == ItemReader::Kind::NotANumber ||
          (k == 2 && !std::isfinite(r[1] + item.value))) {
        return fail(DataError(name, "invalid number in line " + std::to_string(item.line)));
      }
      r[k] = item.value;
    }
    data.x.push_back(r[0] / 100);
    data.thickness.push_back((r[1] + r[2]) / 100);
    data.camber.push_back(r[3] / 100);
    data.last = r;
  }
  return true;
}

}  // namespace

Error NoMemoryError(const std::string& name, int nd) {
  return Error(ErrorKind::NoMemory, name, "not enough memory for " + std::to_string(nd) + " data points");
}

ReadOutcome ReadSectionFile(const std::string& name, double fewest, SectionData& data,
                            ReadFailure& failure) {
  OpenCause cause = OpenCause::Failed;
  const Descriptor file(OpenForReading(name, cause));
  if (file.get() < 0) {
    failure = InputError(name, cause);
    return ReadOutcome::Failed;
  }
  struct stat st {};
  ::fstat(file.get(), &st);
  ByteSource in(file.get());
  return ReadSectionFrom(in, name, static_cast<std::size_t>(st.st_size), fewest, data, failure);
}

ReadOutcome ReadSectionFrom(ByteSource& in, const std::string& name, std::size_t size, double fewest,
                            SectionData& data, ReadFailure& failure) {
  const auto fail = [&failure](Error error) {
    failure = std::move(error);
    return ReadOutcome::Failed;
  };
  const auto unreadable = [&] { return fail(InputError(name, OpenCause::Failed)); };

  ItemReader items(in);
  data = SectionData{};
  data.id = items.FirstLine();

  const ItemReader::Item count = items.Next();
  if (in.failed()) return unreadable();
  int nd = 0;
  if (count.kind != ItemReader::Kind::Number || !WholeCount(count.value, nd)) {
    return fail(DataError(name, "no valid number of data points"));
  }
  data.nd = nd;
  // Too few points for the spline: the read ends here, before any record.
  if (nd <= 0 || nd <= fewest) return ReadOutcome::TooFew;

  bool read = false;
  try {
    read = ReadRecords(name, nd, size, in, items, data, failure);
  } catch (const std::bad_alloc&) {
    data = SectionData{};
    return fail(NoMemoryError(name, nd));
  }
  if (!read) return ReadOutcome::Failed;
  if (in.failed()) return unreadable();
  return ReadOutcome::Read;
}

}  // namespace tarvelo
