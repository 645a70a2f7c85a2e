// .FOI files: the control points of a fit written, and read back as a
// FoilSpline.
#include <tarvelo/tarvelo.h>

#include <array>
#include <charconv>

#include "foilio/file_errors.h"
#include "foilio/foil_file.h"
#include "foilio/items.h"
#include "foilio/number_format.h"
#include "lib/foil.h"

namespace tarvelo {

namespace {

FoilSpline ParseFoil(detail::ByteSource& in, const std::string& name);

// Six significant digits: where and how far, for people.
std::string Short(double v) {
  std::array<char, 32> buf{};
  return {buf.data(), std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general, 6).ptr};
}

// The thickness ordinates as a .FOI holds them, to five decimals: what a
// reader accepts is then accepted again once written.
FoilSpline AsWritten(FoilSpline foil) {
  for (double& t : foil.thickness) detail::ParseNumber(FSt(0, 0, 5, t), t);
  return foil;
}

}  // namespace

std::string FoilFileBytes(const Fit& fit) {
  const std::size_t n = fit.control_x.size();
  if (fit.thickness.control.size() != n || fit.camber.control.size() != n)
    throw Error(ErrorKind::Usage, "the fit's control points differ in number");
  CheckIdLine(fit.id_line);
  std::string text = FoilFileText(fit.id_line, fit.order, fit.control_x, fit.thickness.control, fit.camber.control);
  // A fit whose thickness curve crosses below 0 between the data (too many
  // control points for them) would be written as a .FOI that every reader
  // refuses: it is refused here, on the values as the file rounds them.
  detail::ByteSource in(text);
  const LowestThickness lowest = LowestThicknessOf(ParseFoil(in, "the fit's .FOI"), kCrossingFrom);
  if (lowest.value < -kThicknessRounding)
    throw Error(ErrorKind::BadData, "the fitted thickness goes below 0 at x = " + Short(lowest.x) + ", to " +
                                        Short(lowest.value) + ": its outline would be inside out there, and its .FOI refused");
  return text;
}

void WriteFoilFile(const std::filesystem::path& file, const Fit& fit) { WriteFileContents(file, FoilFileBytes(fit)); }


void CheckThicknessNotNegative(const FoilSpline& foil, const std::string& name) {
  const LowestThickness lowest = LowestThicknessOf(AsWritten(foil), kCrossingFrom);
  if (lowest.value >= -kThicknessRounding) return;
  throw detail::DataError(name, "the thickness goes below 0 at x = " + Short(lowest.x) + ", to " +
                                    Short(lowest.value) + ": the surfaces cross and the outline would be inside out");
}

FoilSpline ReadFoilFile(const std::filesystem::path& file) {
  const std::string name = file.string();
  detail::OpenCause cause = detail::OpenCause::Failed;
  const detail::Descriptor fd(detail::OpenForReading(name, cause));
  if (fd.get() < 0) throw detail::InputError(name, cause);
  detail::ByteSource in(fd.get());
  FoilSpline foil = ParseFoil(in, name);
  CheckThicknessNotNegative(foil, name);
  return foil;
}

FoilSpline ReadFoilText(std::string_view bytes, const std::string& name) {
  detail::ByteSource in(bytes);
  FoilSpline foil = ParseFoil(in, name);
  CheckThicknessNotNegative(foil, name);
  return foil;
}

namespace {

FoilSpline ParseFoil(detail::ByteSource& in, const std::string& name) {
  using detail::ItemReader;
  const auto fail = [&name](const std::string& text) { throw detail::DataError(name, text); };

  ItemReader items(in);
  FoilSpline foil;
  foil.id_line = items.FirstLine();
  // The next number; `ended` says what is missing when the file ends first.
  const auto number = [&](const std::string& ended) {
    const ItemReader::Item item = items.Next();
    if (in.failed()) throw detail::InputError(name, detail::OpenCause::Failed);
    if (item.kind == ItemReader::Kind::End) fail(ended);
    if (item.kind == ItemReader::Kind::NotANumber)
      fail("invalid number in line " + std::to_string(item.line));
    return item;
  };

  const std::string noCount = "no valid number of control points in line ";
  const ItemReader::Item count = number(noCount + "2");
  int n = 0;
  if (!detail::WholeCount(count.value, n) || n < kCubicControlPointsFewest || n > kFoilFileMostPoints)
    fail(noCount + std::to_string(count.line));
  const ItemReader::Item order = number("file ends before the spline order");
  if (order.value != 4) fail("spline order in line " + std::to_string(order.line) + " is not 4");

  for (int j = 0; j < n; ++j) {
    const std::string ended =
        "file ends after " + std::to_string(j) + " of " + std::to_string(n) + " control points";
    const ItemReader::Item x = number(ended);
    foil.control_x.push_back(x.value);
    foil.thickness.push_back(number(ended).value);
    foil.camber.push_back(number(ended).value);
    // x(t) must run from 0 to 1 without turning back, or a chord position
    // would have no parameter, or several.
    const bool ends = (j == 0 && x.value != 0) || (j == n - 1 && x.value != 1);
    if (ends || x.value < 0 || x.value > 1 || (j > 0 && x.value < foil.control_x[static_cast<std::size_t>(j - 1)]))
      fail("control point x in line " + std::to_string(x.line) + " does not run from 0 to 1");
  }
  // A line more than the count says is a file cut or joined wrongly, not data to drop.
  const ItemReader::Item extra = items.Next();
  if (in.failed()) throw detail::InputError(name, detail::OpenCause::Failed);
  if (extra.kind != ItemReader::Kind::End)
    fail("text after the last control point in line " + std::to_string(extra.line));
  return foil;
}

}  // namespace

}  // namespace tarvelo
