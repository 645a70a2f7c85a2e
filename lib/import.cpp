// Sections from the coordinates of their outlines.
#include <tarvelo/tarvelo.h>

#include <array>
#include <charconv>
#include <climits>
#include <cmath>

#include "foilio/coordinate_file.h"
#include "foilio/items.h"
#include "foilio/number_format.h"
#include "geometry/outline.h"
#include "lib/section_text.h"

namespace tarvelo {

namespace {

// The count is checked before anything is read, as the fit checks its own.
void CheckStations(const ImportOptions& options) {
  if (!options.at_file_stations &&
      (options.stations < kFewestStations || options.stations > kMostStations))
    throw Error(ErrorKind::Usage, "5 to 401 stations are allowed");
}

std::string Significant(double v, int digits) {
  std::array<char, 48> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general, digits);
  return std::string(buf.data(), res.ptr);
}

// One import gives one section, whichever way it goes on: the ID line says
// how the outline was placed, and the values are those its section data file
// reads back, so that a value the file prints as zero is zero here too.
ImportedSection Finished(ImportedSection imported) {
  const ImportTransform& t = imported.transform;
  if (t.frame == ImportFrame::Normalised) {
    imported.section.id_line += " [scaled " + Significant(t.scale, 5) + ", turned " +
                                FSt(0, 0, 2, t.angle_deg) + " deg]";
  }
  imported.section = AsReadBack(std::move(imported.section));
  return imported;
}

}  // namespace

const char* ImportFrameName(ImportFrame frame) {
  return frame == ImportFrame::Kept ? "kept" : "normalised";
}

std::string ImportTransformText(const ImportTransform& t) {
  if (t.frame == ImportFrame::Kept) return "frame kept";
  return "frame normalised: scale " + Significant(t.scale, 6) + ", angle " +
         Significant(t.angle_deg, 6) + " deg, shift " + Significant(t.shift.x, 6) + " " +
         Significant(t.shift.y, 6);
}

namespace {

ImportedSection FromFile(CoordinateFile read, const std::string& name, const ImportOptions& options) {
  OutlineSource source{std::move(read.outline.points), std::move(read.lines), "line"};
  ImportedSection imported = DecomposeOutline(source, read.outline.name, name, options);
  if (!read.named)
    imported.warnings.insert(imported.warnings.begin(),
                             "The file has no name line: the section is named after the file");
  return Finished(std::move(imported));
}

}  // namespace

ImportedSection ImportOutline(const std::filesystem::path& file, const ImportOptions& options) {
  CheckStations(options);
  const std::string name = file.string();
  return FromFile(ReadCoordinateFile(name), name, options);
}

ImportedSection ImportOutlineText(std::string_view bytes, const std::string& name, const ImportOptions& options) {
  CheckStations(options);
  detail::ByteSource in(bytes);
  return FromFile(ReadCoordinates(in, name, bytes.size()), name, options);
}

ImportedSection ImportOutline(const Coordinates& outline, const ImportOptions& options) {
  CheckStations(options);
  if (outline.name.find_first_of("\r\n") != std::string::npos)
    throw Error(ErrorKind::Usage, "the outline's name holds a line end");
  const std::string shown = outline.name.empty() ? "The outline" : outline.name;
  OutlineSource source{outline.points, {}, "point"};
  source.labels.reserve(outline.points.size());
  for (std::size_t i = 0; i < outline.points.size(); ++i) {
    const CoordinatePoint& p = outline.points[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y))
      throw detail::DataError(shown, "point " + std::to_string(i + 1) + " is not a finite number");
    source.labels.push_back(static_cast<int>(std::min<std::size_t>(i + 1, INT_MAX)));
  }
  return Finished(DecomposeOutline(source, outline.name, shown, options));
}

Section ImportCoordinates(const std::filesystem::path& file, const ImportOptions& options) {
  return ImportOutline(file, options).section;
}

}  // namespace tarvelo
