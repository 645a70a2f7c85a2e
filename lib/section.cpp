// Section data files: read as the window reads them, and made from a section.
#include <tarvelo/tarvelo.h>

#include <cmath>
#include <utility>

#include "foilio/items.h"
#include "foilio/number_format.h"
#include "foilio/section_file.h"
#include "lib/foil.h"
#include "lib/section_text.h"

namespace tarvelo {

Section ReadSection(const std::filesystem::path& file) {
  SectionData data;
  ReadFailure failure;
  // A count of zero or less reads no record: the section has no points.
  if (ReadSectionFile(file.string(), 0, data, failure) == ReadOutcome::Failed)
    throw *failure;
  return Section{std::move(data.id), std::move(data.x), std::move(data.thickness),
                 std::move(data.camber)};
}

namespace {

// A column of the file: percent of the chord, six decimals in 11
// characters, or four in 8 as the bundled examples have them, right-aligned.
std::string Column(double fraction, int decimals = 6) {
  const std::size_t width = decimals == 4 ? 8 : 11;
  const std::string digits = FSt(0, 0, decimals, 100 * fraction);
  return std::string(digits.size() < width ? width - digits.size() : 0, ' ') + digits;
}

// A column as the reader takes it back, still in percent.
double Reread(double fraction) {
  double value = 0;
  detail::ParseNumber(FSt(0, 0, 6, 100 * fraction), value);
  return value;
}

}  // namespace

Section AsReadBack(Section section) {
  // As the reader: x / 100, (t1 + t2) / 100, c / 100.
  for (std::size_t i = 0; i < section.points(); ++i) {
    const double half = Reread(section.thickness[i] / 2);
    section.x[i] = Reread(section.x[i]) / 100;
    section.thickness[i] = (half + half) / 100;
    section.camber[i] = Reread(section.camber[i]) / 100;
  }
  return section;
}

void CheckSection(const Section& section) {
  CheckIdLine(section.id_line);
  const std::size_t n = section.points();
  if (section.thickness.size() != n || section.camber.size() != n)
    throw Error(ErrorKind::Usage, "x, thickness and camber of the section differ in length (" + std::to_string(n) +
                                      ", " + std::to_string(section.thickness.size()) + ", " +
                                      std::to_string(section.camber.size()) + ")");
  for (std::size_t i = 0; i < n; ++i) {
    const std::string at = " at point " + std::to_string(i + 1);
    if (!std::isfinite(section.x[i]) || !std::isfinite(section.thickness[i]) || !std::isfinite(section.camber[i]))
      throw Error(ErrorKind::Usage, "the section has a value that is not finite" + at);
    if (section.x[i] < 0 || section.x[i] > 1)
      throw Error(ErrorKind::Usage, "x must lie from 0 to 1, a fraction of the chord (not percent)" + at);
    if (i > 0 && section.x[i] < section.x[i - 1])
      throw Error(ErrorKind::Usage, "x must never decrease" + at);
  }
}

Section ReadSectionText(std::string_view bytes, const std::string& name) {
  SectionData data;
  ReadFailure failure;
  detail::ByteSource in(bytes);
  if (ReadSectionFrom(in, name, bytes.size(), 0, data, failure) == ReadOutcome::Failed)
    throw *failure;
  return Section{std::move(data.id), std::move(data.x), std::move(data.thickness), std::move(data.camber)};
}

std::string SectionFileText(const Section& section) { return SectionFileText(section, 6); }

std::string SectionFileText(const Section& section, int decimals) {
  if (decimals != 4 && decimals != 6)
    throw Error(ErrorKind::Usage, "a section file has 4 or 6 decimals");
  const std::size_t n = section.points();
  if (section.thickness.size() != n || section.camber.size() != n)
    throw Error(ErrorKind::Usage, "x, thickness and camber of the section differ in length");
  CheckIdLine(section.id_line);
  std::string text = section.id_line + "\r\n" + std::to_string(n) + "\r\n";
  for (std::size_t i = 0; i < n; ++i) {
    const std::string half = Column(section.thickness[i] / 2, decimals);
    text += Column(section.x[i], decimals) + ", " + half + ", " + half + ", " +
            Column(section.camber[i], decimals) + "\r\n";
  }
  return text;
}

}  // namespace tarvelo
