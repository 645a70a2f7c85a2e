// Section data files: read as the window reads them, and made from a section.
#include <tarvelo/tarvelo.h>

#include <utility>

#include "foilio/number_format.h"
#include "foilio/section_file.h"
#include "lib/foil.h"

namespace tarvelo {

Section ReadSection(const std::filesystem::path& file) {
  SectionData data;
  ReadFailure failure;
  // A count of zero or less reads no record: the section has no points.
  if (ReadSectionFile(file.string(), 0, data, failure) == ReadOutcome::Failed)
    throw Error(failure.kind, failure.message);
  return Section{std::move(data.id), std::move(data.x), std::move(data.thickness),
                 std::move(data.camber)};
}

std::string SectionFileText(const Section& section) {
  const std::size_t n = section.points();
  if (section.thickness.size() != n || section.camber.size() != n)
    throw Error(ErrorKind::Usage, "   x, thickness and camber of the section differ in length !! ");
  CheckIdLine(section.id_line);
  // Percent of the chord, six decimals, right-aligned as the examples are.
  const auto column = [](double fraction) {
    const std::string digits = FSt(0, 0, 6, 100 * fraction);
    return std::string(digits.size() < 11 ? 11 - digits.size() : 0, ' ') + digits;
  };
  std::string text = section.id_line + "\r\n" + std::to_string(n) + "\r\n";
  for (std::size_t i = 0; i < n; ++i) {
    const std::string half = column(section.thickness[i] / 2);
    text += column(section.x[i]) + ", " + half + ", " + half + ", " + column(section.camber[i]) + "\r\n";
  }
  return text;
}

}  // namespace tarvelo
