// The section data file as read, shared by the window's reader and the library.
#pragma once

#include <tarvelo/tarvelo.h>

#include "foilio/items.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tarvelo {

struct SectionData {
  std::string id;  // line 1 as it stands
  int nd = 0;      // the count
  // Per record, as fractions of the chord: x / 100, (t1 + t2) / 100, c / 100.
  std::vector<double> x;
  std::vector<double> thickness;
  std::vector<double> camber;
  std::array<double, 4> last{};  // items of the record read last, in percent
};

enum class ReadOutcome {
  Read,     // every record is in
  Failed,   // the message says why
  TooFew,   // the count is not above `fewest`: no record was read
};

// Why a read failed.
using ReadFailure = std::optional<Error>;

// Reads a section data file. A count not above `fewest` (or not above 0)
// stops the read before the records.
ReadOutcome ReadSectionFile(const std::string& name, double fewest, SectionData& data,
                            ReadFailure& failure);

// The same from bytes already opened: `name` for the messages, `size` the
// bytes there are, where known (0 otherwise), to reserve no more room than
// they can fill.
ReadOutcome ReadSectionFrom(detail::ByteSource& in, const std::string& name, std::size_t size, double fewest,
                            SectionData& data, ReadFailure& failure);

// NoMemory: "not enough memory for <nd> data points", about `name`.
Error NoMemoryError(const std::string& name, int nd);

}  // namespace tarvelo
