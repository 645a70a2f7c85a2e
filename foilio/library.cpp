// The library's files: section data files read and made from coordinate
// files, .FOI files written and read.
#include <tarvelo/tarvelo.h>

#include <cmath>
#include <utility>

#include "foilio/coordinate_file.h"
#include "foilio/file_errors.h"
#include "foilio/foil_files.h"
#include "foilio/items.h"
#include "foilio/number_format.h"
#include "foilio/outline.h"
#include "foilio/safe_write.h"
#include "foilio/section_file.h"

namespace tarvelo {

namespace {

using detail::ItemReader;

// The most control points a .FOI may hold, as many as a fit makes.
constexpr int kMostControlPoints = 20;

}  // namespace

Section ReadSection(const std::filesystem::path& file) {
  SectionData data;
  std::string message;
  // A count of zero or less reads no record: the section has no points.
  if (ReadSectionFile(file.string(), 0, data, message) == ReadOutcome::Failed) throw Error(message);
  return Section{std::move(data.id), std::move(data.x), std::move(data.thickness),
                 std::move(data.camber)};
}

Section ImportCoordinates(const std::filesystem::path& file, const ImportOptions& options) {
  // The count is checked before the file is read, as the fit checks its own.
  if (!options.at_file_stations &&
      (options.stations < kFewestStations || options.stations > kMostStations))
    throw Error("   5 to 401 stations are allowed !! ");
  const std::string name = file.string();
  return DecomposeOutline(ReadCoordinateFile(name), name, options);
}

std::string SectionFileText(const Section& section) {
  const std::size_t n = section.points();
  if (section.thickness.size() != n || section.camber.size() != n)
    throw Error("   x, thickness and camber of the section differ in length !! ");
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

void WriteFileContents(const std::filesystem::path& file, std::string_view bytes) {
  const std::string name = file.string();
  if (detail::UnusableName(name))
    throw Error(detail::OutputMessage(name, detail::OpenCause::NameNotValid));
  const WriteOutcome out = WriteFileSafely(name, bytes);
  if (out.err != 0) throw Error(detail::OutputMessage(name, detail::ClassifyOutputError(out.err)));
}

void WriteFoilFile(const std::filesystem::path& file, const Fit& fit) {
  const std::size_t n = fit.control_x.size();
  if (fit.thickness.control.size() != n || fit.camber.control.size() != n)
    throw Error("   The fit's control points differ in number !! ");
  WriteFileContents(file, FoilFileText(fit.id_line, fit.order, fit.control_x,
                                       fit.thickness.control, fit.camber.control));
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  namespace fs = std::filesystem;
  std::error_code ea;
  std::error_code eb;
  const bool hasA = fs::exists(a, ea);
  const bool hasB = fs::exists(b, eb);
  if (hasA && hasB) return fs::equivalent(a, b, ea) && !ea;
  if (hasA || hasB) return false;
  return fs::weakly_canonical(a, ea) == fs::weakly_canonical(b, eb) && !ea && !eb;
}

FoilSpline ReadFoilFile(const std::filesystem::path& file) {
  const std::string name = file.string();
  std::string message;
  const detail::Descriptor fd(detail::OpenForReading(name, message));
  if (fd.get() < 0) throw Error(message);
  const auto fail = [&name](const std::string& text) { throw Error(detail::Message(name, text)); };

  detail::ByteSource in(fd.get());
  ItemReader items(in);
  FoilSpline foil;
  foil.id_line = items.FirstLine();
  // The next number; `ended` says what is missing when the file ends first.
  const auto number = [&](const std::string& ended) {
    const ItemReader::Item item = items.Next();
    if (in.failed()) throw Error(detail::InputMessage(name, detail::OpenCause::Failed));
    if (item.kind == ItemReader::Kind::End) fail(ended);
    if (item.kind == ItemReader::Kind::NotANumber)
      fail("Invalid number in line " + std::to_string(item.line));
    return item;
  };

  const std::string noCount = "No valid number of control points in line ";
  const ItemReader::Item count = number(noCount + "2");
  int n = 0;
  if (!detail::WholeCount(count.value, n) || n < 4 || n > kMostControlPoints)
    fail(noCount + std::to_string(count.line));
  const ItemReader::Item order = number("File ends before the spline order");
  if (order.value != 4) fail("Spline order in line " + std::to_string(order.line) + " is not 4");

  for (int j = 0; j < n; ++j) {
    const std::string ended =
        "File ends after " + std::to_string(j) + " of " + std::to_string(n) + " control points";
    const ItemReader::Item x = number(ended);
    foil.control_x.push_back(x.value);
    foil.thickness.push_back(number(ended).value);
    foil.camber.push_back(number(ended).value);
    // x(t) must run from 0 to 1 without turning back, or a chord position
    // would have no parameter, or several.
    const bool ends = (j == 0 && x.value != 0) || (j == n - 1 && x.value != 1);
    if (ends || x.value < 0 || x.value > 1 || (j > 0 && x.value < foil.control_x[static_cast<std::size_t>(j - 1)]))
      fail("Control point x in line " + std::to_string(x.line) + " does not run from 0 to 1");
  }
  return foil;
}

}  // namespace tarvelo
