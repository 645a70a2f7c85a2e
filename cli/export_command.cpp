#include "cli/export_command.h"

#include "cli/arguments.h"
#include "cli/program.h"

#include <tarvelo/tarvelo.h>

#include <charconv>
#include <optional>
#include <ostream>

namespace tarvelo {

namespace {

constexpr const char* kProgram = "tarvelo-export";

constexpr const char* kHelp =
    "Usage: tarvelo-export [OPTION]... FILE.FOI\n"
    "Evaluate the fitted section of a .FOI file as a table, or write its outline\n"
    "at a given largest thickness and camber for panel codes and CAD.\n"
    "\n"
    "      --format FORMAT  what to write (default table):\n"
    "                         table  x, normalised thickness and normalised\n"
    "                                camber at each chord position, 8 decimals\n"
    "                         selig  the outline as Selig coordinates: from the\n"
    "                                trailing edge over the upper surface to the\n"
    "                                leading edge and back along the lower one\n"
    "                         dxf    the exact outline as two cubic SPLINE\n"
    "                                entities on the layers UPPER and LOWER\n"
    "                         svg    the exact outline as cubic Bezier paths,\n"
    "                                1000 units to the chord\n"
    "      --thickness T    largest thickness of the outline, a fraction of the\n"
    "                         chord above 0 and at most 1\n"
    "      --camber F       largest camber of the outline, a fraction of the\n"
    "                         chord from -1 to 1 (0 for a symmetric section)\n"
    "      --points N       N cosine-spaced chord positions from 0 to 1, N from\n"
    "                         2 to 100000 (default 41 for the table, 81 per\n"
    "                         surface for selig)\n"
    "      --at X1,X2,...   the table at these chord positions instead\n"
    "  -o OUT               write OUT instead of standard output; an earlier OUT\n"
    "                         is replaced only once the new one is complete\n"
    "      --help           display this help and exit\n"
    "      --version        output version information and exit\n"
    "\n"
    "selig, dxf and svg need --thickness and --camber; the table takes neither.\n"
    "For example, NACA 2412 for CAD:\n"
    "  tarvelo-export --format dxf --thickness 0.12 --camber 0.02 \\\n"
    "      -o naca2412.dxf naca2412.FOI\n"
    "\n"
    "Exit status:\n"
    " 0  the output was written,\n"
    " 1  FILE could not be read or is not a valid .FOI file, or OUT could not\n"
    "    be written,\n"
    " 2  the command line was not understood, or OUT is FILE itself.\n";

constexpr int kMostPoints = 100000;

enum class Format { Table, Selig, Dxf, Svg };

struct Options {
  Format format = Format::Table;
  std::optional<double> thickness;
  std::optional<double> camber;
  std::optional<int> points;
  std::optional<std::vector<double>> at;
  std::optional<std::string> out;
  std::string file;
};

// A whole text as a number, in the C locale's notation.
template <class T>
std::optional<T> Number(std::string_view text) {
  T v{};
  const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
  return v;
}

// The whole text as a number that fits, or the option's usage message.
template <class T, class Fits>
T Checked(const std::string& text, Fits fits, const std::string& refusal) {
  const std::optional<T> v = Number<T>(text);
  if (!v || !fits(*v)) throw UsageError{refusal + ": '" + text + "'"};
  return *v;
}

bool Fraction(double x) { return x >= 0 && x <= 1; }

std::vector<double> Stations(const std::string& list) {
  std::vector<double> x;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = list.find(',', from);
    x.push_back(Checked<double>(list.substr(from, comma - from), Fraction,
                                "--at takes chord positions from 0 to 1, separated by commas"));
    if (comma == std::string::npos) return x;
    from = comma + 1;
  }
}

Format FormatNamed(const std::string& name) {
  const std::pair<const char*, Format> formats[] = {
      {"table", Format::Table}, {"selig", Format::Selig}, {"dxf", Format::Dxf}, {"svg", Format::Svg}};
  for (const auto& [known, format] : formats)
    if (name == known) return format;
  throw UsageError{"unknown format '" + name + "': use table, selig, dxf or svg"};
}

// Returns nullopt after --help or --version, which are already answered.
std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& out) {
  Options o;
  Arguments a(args);
  while (a.NextOption()) {
    if (AnswersHelpOrVersion(a, kProgram, kHelp, out)) return std::nullopt;
    if (a.Is("-o")) {
      o.out = a.Value();
    } else if (a.Is("--format")) {
      o.format = FormatNamed(a.Value());
    } else if (a.Is("--thickness")) {
      o.thickness = Checked<double>(a.Value(), [](double t) { return t > 0 && t <= 1; },
                                    "--thickness takes a fraction of the chord above 0 and at most 1");
    } else if (a.Is("--camber")) {
      o.camber = Checked<double>(a.Value(), [](double f) { return f >= -1 && f <= 1; },
                                 "--camber takes a fraction of the chord from -1 to 1");
    } else if (a.Is("--points")) {
      o.points = Checked<int>(a.Value(), [](int n) { return n >= 2 && n <= kMostPoints; },
                              "--points takes a whole number from 2 to 100000");
    } else if (a.Is("--at")) {
      o.at = Stations(a.Value());
    } else {
      throw UsageError{"unrecognized option '" + a.option() + "'"};
    }
  }
  const std::vector<std::string>& files = a.operands();
  if (files.empty()) throw UsageError{"missing FILE"};
  if (files.size() > 1) throw UsageError{"extra operand '" + files[1] + "'"};
  o.file = files.front();

  const bool outline = o.format != Format::Table;
  if (outline && !(o.thickness && o.camber))
    throw UsageError{"selig, dxf and svg need --thickness and --camber"};
  if (!outline && (o.thickness || o.camber))
    throw UsageError{"the table takes neither --thickness nor --camber"};
  if (o.points && o.at) throw UsageError{"--points and --at exclude each other"};
  if (o.at && o.format != Format::Table) throw UsageError{"--at is for the table only"};
  if (o.points && (o.format == Format::Dxf || o.format == Format::Svg))
    throw UsageError{"--points is for the table and selig only: dxf and svg are exact"};
  return o;
}

std::string Exported(const Options& o, const FoilSpline& foil) {
  switch (o.format) {
    case Format::Table:
      return ExportTable(foil, o.at ? *o.at : CosineStations(o.points.value_or(41)));
    case Format::Selig:
      return ExportSelig(foil, {*o.thickness, *o.camber}, o.points.value_or(81));
    case Format::Dxf:
      return ExportDxf(foil, {*o.thickness, *o.camber});
    case Format::Svg:
      return ExportSvg(foil, {*o.thickness, *o.camber});
  }
  return {};
}

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<Options> options;
  try {
    options = Parse(args, out);
  } catch (const UsageError& e) {
    return UsageFailure(kProgram, e.text, err);
  }
  if (!options) return 0;
  return WriteMade(options->file, options->out,
                   [&] { return Exported(*options, ReadFoilFile(options->file)); }, out, err);
}

}  // namespace tarvelo
