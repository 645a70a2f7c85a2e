#include "cli/fit_options.h"

#include <tarvelo/window.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/help.h"
#include "cli/program.h"

namespace tarvelo {

namespace {

constexpr const char* kProgram = "tarvelo-fit";

constexpr const char* kHelpHead =
    "Usage: tarvelo-fit [OPTION]... FILE...\n"
    "Fit the thickness and camber of each foil section data FILE (*.dat) with\n"
    "cubic B-splines and write the control points to a .FOI file, as the\n"
    "TARVELO window does for a file chosen in its list when Start is pressed.\n"
    "\n"
    "  -n N                 number of control points, 4 to 80 (default 8; the\n"
    "                         window takes 4 to 20)\n"
    "      --auto[=TOL]     the fewest control points (4 to the most below) for\n"
    "                         which the R.M.S. errors of thickness and camber are\n"
    "                         both at most TOL per chord (above 0; default 1e-4)\n"
    "      --auto-max[=TOL] the same for the largest deviations\n"
    "      --auto-outline[=TOL]  with --coordinates: the same for the fitted\n"
    "                         outline's distance from every point of the file\n"
    "                         and from its outline between them; without\n"
    "                         --stations, at stations at every point of the\n"
    "                         file, halfway between them and 161 cosine-spaced\n"
    "      --max-control-points N  the most control points --auto and --auto-max\n"
    "                         try, 4 to 80 (default 20)\n"
    "      --placement=HOW  where each data point is placed on the fitted curves:\n";

constexpr const char* kHelpOutputs =
    "  -o OUT               output file (default: FILE with its last four\n"
    "                         characters replaced by .FOI)\n"
    "      --foil-number NNN  write Type<NNN>.FOI, NNN from 101 to 255, in the\n"
    "                         directory of FILE\n"
    "      --screens        print the four text screens (first page, thickness\n"
    "                         fit, camber fit, control points) instead of the\n"
    "                         first page alone\n"
    "      --json           print one JSON object per FILE on a line of its own\n"
    "                         instead of the first page: file, output, id_line,\n"
    "                         points, control_points, knots, control_x, and for\n"
    "                         thickness and camber: ymax, rms, max_deviation,\n"
    "                         max_deviation_x, between_deviation,\n"
    "                         between_deviation_x, control; placement,\n"
    "                         misplaced_points, largest_misplacement,\n"
    "                         properties (of the section at its own size); with\n"
    "                         --coordinates also import: frame, scale,\n"
    "                         angle_deg, shift, warnings, le_radius; the\n"
    "                         outline's deviations at and between the file's\n"
    "                         points, and nose: le_radius, data_le_radius,\n"
    "                         added_inflections, between_deviation; or file,\n"
    "                         error and error_kind\n"
    "      --svg FILE       write the graphic screen as an SVG document\n"
    "      --coordinates    each FILE holds the coordinates of an outline (Selig\n"
    "                         or Lednicer layout), cut into thickness and camber\n"
    "                         at 41 stations as tarvelo-import does, which says\n"
    "                         on standard error how it placed and repaired it\n"
    "      --stations N     with --coordinates: N cosine-spaced stations, 5 to 401\n"
    "      --export FORMAT[,FORMAT...]  write the fitted section at its own size\n";

constexpr const char* kHelpTail =
    "      --chord LENGTH, --units mm|cm|m|in  the outline of --export at this\n"
    "                         chord length, in these units\n"
    "      --te-thickness D  the trailing edge of the outlines of --export made\n"
    "                         D thick, a fraction of the chord\n"
    "      --layoff vertical|across  the thickness of the outlines of --export\n"
    "                         laid off at the chord position (the default) or\n"
    "                         normal to the mean line (selig, dxf, svg, step)\n"
    "      --output-dir DIR write the .FOI (and the exports) of every FILE into\n"
    "                         DIR, named from the FILE's stem; DIR is made\n"
    "                         where it does not exist (its parent must)\n"
    "      --quiet          no screens: only what goes wrong, on standard error;\n"
    "                         with --json, the JSON lines and only failures\n"
    "      --summary FILE.csv  one row per FILE: file, output, control points,\n"
    "                         placement, each curve's R.M.S. error and largest\n"
    "                         deviation, outline deviation, tolerance, reached,\n"
    "                         each curve's scale, warnings, error; written anew\n"
    "                         after each FILE\n"
    "      --help           display this help and exit\n"
    "      --version        output version information and exit\n"
    "\n"
    "-o, --foil-number and --svg take one input FILE. A FILE's .FOI is named as\n"
    "the window names it (its last four characters replaced by .FOI) unless -o,\n"
    "--output-dir or --coordinates is given: then any name is taken and the .FOI\n"
    "named from the stem (the name before its last point). A FILE '-' is\n"
    "standard input (with -o), and -o - writes the .FOI to standard output.\n"
    "Before anything is written, a run whose files would overwrite an input or\n"
    "one another is refused. A count is reached only where its curves keep\n"
    "between the data points to what the data say there. When no count\n"
    "reaches TOL, the count with the smallest error among those is used, and\n"
    "said.\n"
    "A run that fails prints its message to standard error and the next FILE\n"
    "is fitted all the same. A FILE that fails leaves none of its outputs:\n"
    "everything of it is made before anything of it is written. On a terminal,\n"
    "control characters in an ID line or a file name are shown as ^X.\n"
    "\n"
    "Exit status:\n"
    " 0  every FILE was fitted and its output file written,\n"
    " 1  a run failed,\n"
    " 2  the command line was not understood, or an output would replace an\n"
    "    input or another output, or the output directory cannot be made\n"
    "    (nothing is written).\n";

// The file endings of the export formats, as the help lists them.
std::string Endings() {
  std::string endings;
  for (const ExportFormat& f : ExportFormats())
    endings += std::string(endings.empty() ? "" : ", ") + f.file_ending + " (" + f.name + ")";
  return endings;
}

// A tolerance as it is written back: the shortest text, "1e-4" rather than "1e-04".
std::string ToleranceText(double v) {
  std::array<char, 32> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  std::string text(buf.data(), res.ptr);
  if (const auto e = text.find("e-0"); e != std::string::npos) text.erase(e + 2, 1);
  return text;
}

// An operand after --auto that no file has but that reads as a number was
// meant as its tolerance: taken as a file, the run would fit the next file
// with the default and then fail on it.
void CheckNotATolerance(const std::string& option, const std::string& operand) {
  if (!Number<double>(operand)) return;
  std::error_code ec;
  if (std::filesystem::symlink_status(operand, ec).type() != std::filesystem::file_type::not_found) return;
  throw UsageError{"no file '" + operand + "': a tolerance goes with the option, use " + option + "=" +
                   operand};
}

void ParseAuto(Arguments& a, FitCommandOptions& o) {
  if (o.autoMeasure) throw UsageError{"--auto, --auto-max and --auto-outline exclude each other"};
  const std::string option = a.option().substr(0, a.option().find('='));
  o.autoMeasure = option == "--auto-max"       ? ErrorMeasure::MaxDeviation
                  : option == "--auto-outline" ? ErrorMeasure::OutlineDeviation
                                               : ErrorMeasure::Rms;
  if (const auto tolerance = a.AttachedValue()) {
    o.toleranceText = *tolerance;
    o.tolerance = CheckedNormal(*tolerance, [](double v) { return std::isfinite(v) && v > 0; },
                                option + " takes a tolerance above 0");
  } else if (const auto operand = a.FollowingOperand()) {
    CheckNotATolerance(a.option(), *operand);
  }
}

// The foil number by the window's rule: three digits, 101 to 255.
std::string FoilNumberOption(const std::string& number) {
  try {
    FoilNumberFileName("", number);
  } catch (const Error& e) {
    throw UsageError{"--foil-number: " + e.reason() + ": '" + number + "'"};
  }
  return number;
}

void ParseExports(const std::string& list, FitCommandOptions& o) {
  for (std::size_t from = 0;;) {
    const std::size_t comma = list.find(',', from);
    try {
      o.exports.push_back(&FindExportFormat(list.substr(from, comma - from)));
    } catch (const Error& e) {
      throw UsageError{"--export: " + std::string(e.what())};
    }
    if (comma == std::string::npos) return;
    from = comma + 1;
  }
}

// What is fitted and how; false for another option.
bool ParseFitOption(Arguments& a, FitCommandOptions& o) {
  if (a.IsFlag("--coordinates")) {
    o.coordinates = true;
  } else if (a.Is("--stations")) {
    o.import.stations = StationsOption(a.Value());
    o.stationsGiven = true;
  } else if (a.Is("--auto") || a.Is("--auto-max") || a.Is("--auto-outline")) {
    ParseAuto(a, o);
  } else if (a.Is("--placement")) {
    try {
      o.placement = FindPlacement(a.Value()).name;
    } catch (const Error& e) {
      throw UsageError{"--placement: " + std::string(e.what())};
    }
  } else if (a.Is("--max-control-points")) {
    o.mostControlPoints =
        CountOption(a.Value(), "--max-control-points", kFewestControlPoints, kMostControlPoints, "control points");
    o.mostGiven = true;
  } else if (a.Is("-n")) {
    o.count = CountOption(a.Value(), "-n", kFewestControlPoints, kMostControlPoints, "control points");
    o.countGiven = true;
  } else {
    return false;
  }
  return true;
}

// What is written and where; false for another option.
bool ParseOutputOption(Arguments& a, FitCommandOptions& o) {
  if (a.IsFlag("--screens")) {
    o.screens = true;
  } else if (a.IsFlag("--json")) {
    o.json = true;
  } else if (a.IsFlag("--quiet")) {
    o.quiet = true;
  } else if (a.Is("--output-dir")) {
    o.outputDir = OutputDirOption(a.Value());
  } else if (a.Is("--summary")) {
    o.summary = a.Value();
  } else if (a.Is("-o")) {
    o.out = a.Value();
  } else if (a.Is("--foil-number")) {
    o.foilNumber = FoilNumberOption(a.Value());
  } else if (a.Is("--svg")) {
    o.svg = a.Value();
  } else if (a.Is("--export")) {
    ParseExports(a.Value(), o);
  } else if (a.Is("--chord")) {
    o.chord = ChordOption(a.Value());
  } else if (a.Is("--units")) {
    o.units = UnitsOption(a.Value());
  } else if (a.Is("--te-thickness")) {
    o.teThickness = TeThicknessOption(a.Value());
  } else if (a.Is("--layoff")) {
    o.layoff = LayoffOption(a.Value());
  } else {
    return false;
  }
  return true;
}

void CheckFitCombination(FitCommandOptions& o) {
  if (o.countGiven && o.autoMeasure) throw UsageError{"-n and --auto exclude each other"};
  if (o.mostGiven && !o.autoMeasure) throw UsageError{"--max-control-points is for --auto and --auto-max"};
  if (o.stationsGiven && !o.coordinates) throw UsageError{"--stations is for --coordinates"};
  if (o.autoMeasure == ErrorMeasure::OutlineDeviation && !o.coordinates)
    throw UsageError{"--auto-outline is for --coordinates"};
  // A count by the outline is measured at every point of the file: the
  // section is given where they are, unless the stations are asked for.
  if (o.autoMeasure == ErrorMeasure::OutlineDeviation && !o.stationsGiven) {
    o.import.at_every_point = true;
    o.import.stations = kEveryPointCosineStations;
  }
  const bool drawn = o.chord > 0 || o.units != LengthUnit::None;
  if (drawn && o.exports.empty()) throw UsageError{"--chord and --units are for --export"};
  const auto outline = [](const ExportFormat* f) { return f->needs_size; };
  if (o.teThickness && std::none_of(o.exports.begin(), o.exports.end(), outline))
    throw UsageError{"--te-thickness is for --export of an outline"};
  for (const ExportFormat* f : o.exports)
    if (drawn && !f->needs_size)
      throw UsageError{"--chord and --units draw outlines: the " + std::string(f->name) + " is normalised"};
  if (o.layoff != Layoff::Vertical && o.exports.empty()) throw UsageError{"--layoff is for --export"};
  for (const ExportFormat* f : o.exports)
    if (o.layoff != Layoff::Vertical && !f->takes_layoff)
      throw UsageError{"--layoff " + std::string(LayoffName(o.layoff)) + " lays off outline coordinates: the " +
                       std::string(f->name) + " writes none"};
}

void CheckOutputCombination(const FitCommandOptions& o) {
  if (o.out && o.foilNumber) throw UsageError{"-o and --foil-number exclude each other"};
  if (o.screens && o.json) throw UsageError{"--screens and --json exclude each other"};
  if ((o.out || o.foilNumber || o.svg) && o.files.size() > 1)
    throw UsageError{"-o, --foil-number and --svg take one input FILE"};
  if (o.out && o.outputDir) throw UsageError{"-o and --output-dir exclude each other"};
  if (o.quiet && o.screens) throw UsageError{"--quiet and --screens exclude each other"};
  if (o.summary == kStandardStream) throw UsageError{"--summary writes a file, not standard output ('-')"};
  const bool fromInput = std::find(o.files.begin(), o.files.end(), kStandardStream) != o.files.end();
  if (fromInput && o.files.size() > 1) throw UsageError{"standard input ('-') is one input FILE alone"};
  if (fromInput && !o.out) throw UsageError{"standard input ('-') needs -o OUT"};
  if (o.out == kStandardStream && (o.json || o.screens || o.svg || !o.exports.empty() || o.summary))
    throw UsageError{"-o - writes the .FOI to standard output: no --json, --screens, --svg, --export or --summary"};
}

}  // namespace

std::string FitHelp() {
  std::vector<NamedText> placements;
  for (const PlacementMethod& m : PlacementMethods()) placements.emplace_back(m.name, m.description);
  const std::string column(25, ' ');
  return kHelpHead + NamedList(placements, 25, 33) + column + "(default " + PlacementMethods().front().name +
         ")\n" + kHelpOutputs + WrapText("beside the .FOI, as <stem>" + Endings(), column, column) + kHelpTail;
}

std::optional<FitCommandOptions> ParseFitCommand(const std::vector<std::string>& args, std::ostream& out) {
  FitCommandOptions o;
  o.toleranceText = ToleranceText(kFairnessLimit);
  Arguments a(args);
  while (a.NextOption()) {
    if (AnswersHelpOrVersion(a, kProgram, FitHelp().c_str(), out)) return std::nullopt;
    if (!ParseFitOption(a, o) && !ParseOutputOption(a, o))
      throw UsageError{"unrecognized option '" + a.option() + "'"};
  }
  o.files = a.operands();
  if (o.files.empty()) throw UsageError{"missing FILE"};
  CheckOutputCombination(o);
  CheckFitCombination(o);
  return o;
}

}  // namespace tarvelo
