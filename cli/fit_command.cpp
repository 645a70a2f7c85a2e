#include "cli/fit_command.h"

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/program.h"
#include "cli/terminal.h"

#include <tarvelo/window.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <new>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

namespace tarvelo {

namespace {

constexpr const char* kProgram = "tarvelo-fit";
// The cosine-spaced stations a count by the outline adds to those of the
// file's points: enough for every knot span of 80 control points.
constexpr int kEveryPointCosineStations = 161;

// The file endings of the export formats, as the help lists them.
std::string Endings() {
  std::string endings;
  for (const ExportFormat& f : ExportFormats())
    endings += std::string(endings.empty() ? "" : ", ") + f.file_ending + " (" + f.name + ")";
  return endings;
}

// The help; the placements and formats come from the library's tables.
std::string Help() {
  std::string placements;
  for (const PlacementMethod& m : PlacementMethods()) {
    const std::string name = m.name;
    placements += WrapText(m.description, std::string(25, ' ') + name + std::string(8 - name.size(), ' '),
                           std::string(33, ' '));
  }
  return std::string(
    "Usage: tarvelo-fit [OPTION]... FILE...\n"
    "Fit the thickness and camber of each foil section data FILE (*.dat) with\n"
    "cubic B-splines and write the control points to a .FOI file, as the\n"
    "TARVELO window does for a file chosen in its list when Start is pressed.\n"
    "\n"
    "  -n N                 number of control points, 4 to 80 (default 8; the\n"
    "                         window takes 4 to 20)\n"
    "      --auto[=TOL]     the fewest control points (4 to the most below) for\n"
    "                         which the R.M.S. errors of thickness and camber are\n"
    "                         both at most TOL per chord (default 1e-4)\n"
    "      --auto-max[=TOL] the same for the largest deviations\n"
    "      --auto-outline[=TOL]  with --coordinates: the same for the fitted\n"
    "                         outline's distance from every point of the file\n"
    "      --max-control-points N  the most control points --auto and --auto-max\n"
    "                         try, 4 to 80 (default 20)\n"
    "      --placement=HOW  where each data point is placed on the fitted curves:\n") +
    placements + std::string(
    "                         (default " + std::string(PlacementMethods().front().name) + ")\n"
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
    "                         max_deviation_x, control; placement,\n"
    "                         misplaced_points, largest_misplacement,\n"
    "                         properties (of the section at its own size); with\n"
    "                         --coordinates also import: frame, scale,\n"
    "                         angle_deg, shift, warnings; or file, error and\n"
    "                         error_kind\n"
    "      --svg FILE       write the graphic screen as an SVG document\n"
    "      --coordinates    each FILE holds the coordinates of an outline (Selig\n"
    "                         or Lednicer layout), cut into thickness and camber\n"
    "                         at 41 stations as tarvelo-import does, which says\n"
    "                         on standard error how it placed and repaired it\n"
    "      --stations N     with --coordinates: N cosine-spaced stations, 5 to 401\n"
    "      --export FORMAT[,FORMAT...]  write the fitted section at its own size\n"
    "                         beside the .FOI, as <stem>" + Endings() + "\n"
    "      --chord LENGTH, --units mm|cm|m|in  the outline of --export at this\n"
    "                         chord length, in these units\n"
    "      --te-thickness D  the trailing edge of the outlines of --export made\n"
    "                         D thick, a fraction of the chord\n"
    "      --output-dir DIR write the .FOI (and the exports) of every FILE into\n"
    "                         DIR, named from the FILE's stem\n"
    "      --quiet          no screens: only what goes wrong, on standard error\n"
    "      --summary FILE.csv  one row per FILE: file, output, control points,\n"
    "                         placement, each curve's R.M.S. error and largest\n"
    "                         deviation, outline deviation, tolerance, reached,\n"
    "                         each curve's scale, warnings, error\n"
    "      --help           display this help and exit\n"
    "      --version        output version information and exit\n"
    "\n"
    "-o, --foil-number and --svg take one input FILE. A FILE's .FOI is named as\n"
    "the window names it (its last four characters replaced by .FOI) unless -o,\n"
    "--output-dir or --coordinates is given: then any name is taken and the .FOI\n"
    "named from the stem (the name before its last point). A FILE '-' is\n"
    "standard input (with -o), and -o - writes the .FOI to standard output.\n"
    "Before anything is written, a run whose files would overwrite an input or\n"
    "one another is refused. When no count reaches TOL, the count whose worse\n"
    "curve has the smallest error is used, and said.\n"
    "A run that fails prints its message to standard error and the next FILE\n"
    "is fitted all the same. On a terminal, control characters in an ID line\n"
    "or a file name are shown as ^X.\n"
    "\n"
    "Exit status:\n"
    " 0  every FILE was fitted and its output file written,\n"
    " 1  a run failed,\n"
    " 2  the command line was not understood.\n");
}

// A tolerance as it is written back: the shortest text, "1e-4" rather than "1e-04".
std::string ToleranceText(double v) {
  std::array<char, 32> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  std::string text(buf.data(), res.ptr);
  if (const auto e = text.find("e-0"); e != std::string::npos) text.erase(e + 2, 1);
  return text;
}

// Two significant digits, enough to say how far: "2.3e-6".
std::string Significant(double v) {
  std::array<char, 32> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general, 2);
  std::string text(buf.data(), res.ptr);
  if (const auto e = text.find("e-0"); e != std::string::npos) text.erase(e + 2, 1);
  return text;
}

struct Options {
  int count = 8;
  bool countGiven = false;
  std::string placement = kDefaultPlacement;
  int mostControlPoints = kSearchedControlPoints;
  bool mostGiven = false;
  std::optional<ErrorMeasure> autoMeasure;
  std::vector<const ExportFormat*> exports;
  double chord = 0;
  LengthUnit units = LengthUnit::None;
  std::optional<double> teThickness;
  std::string toleranceText = ToleranceText(kFairnessLimit);
  double tolerance = kFairnessLimit;
  std::optional<std::string> out;
  std::optional<std::string> foilNumber;
  std::optional<std::string> svg;
  bool screens = false;
  bool json = false;
  bool coordinates = false;
  ImportOptions import;
  bool stationsGiven = false;
  std::optional<std::string> outputDir;
  bool quiet = false;
  std::optional<std::string> summary;
  std::vector<std::string> files;
};

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

double ToleranceOf(const std::string& text) {
  return Checked<double>(text, [](double v) { return std::isfinite(v) && v >= 0; },
                         "the tolerance is a number of at least 0");
}

// Returns nullopt after --help or --version, which are already answered.
std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& out) {
  Options o;
  Arguments a(args);
  while (a.NextOption()) {
    if (AnswersHelpOrVersion(a, kProgram, Help().c_str(), out)) return std::nullopt;
    if (a.IsFlag("--screens")) {
      o.screens = true;
    } else if (a.IsFlag("--json")) {
      o.json = true;
    } else if (a.IsFlag("--quiet")) {
      o.quiet = true;
    } else if (a.Is("--output-dir")) {
      o.outputDir = a.Value();
    } else if (a.Is("--summary")) {
      o.summary = a.Value();
    } else if (a.IsFlag("--coordinates")) {
      o.coordinates = true;
    } else if (a.Is("--stations")) {
      o.import.stations = CountOf(a.Value(), "stations");
      o.stationsGiven = true;
    } else if (a.Is("--auto") || a.Is("--auto-max") || a.Is("--auto-outline")) {
      if (o.autoMeasure) throw UsageError{"--auto, --auto-max and --auto-outline exclude each other"};
      o.autoMeasure = a.option().starts_with("--auto-max")       ? ErrorMeasure::MaxDeviation
                      : a.option().starts_with("--auto-outline") ? ErrorMeasure::OutlineDeviation
                                                                 : ErrorMeasure::Rms;
      if (const auto tolerance = a.AttachedValue()) {
        o.toleranceText = *tolerance;
        o.tolerance = ToleranceOf(o.toleranceText);
      } else if (const auto operand = a.FollowingOperand()) {
        CheckNotATolerance(a.option(), *operand);
      }
    } else if (a.Is("--placement")) {
      try {
        o.placement = FindPlacement(a.Value()).name;
      } catch (const Error& e) {
        throw UsageError{"--placement: " + std::string(e.what())};
      }
    } else if (a.Is("--max-control-points")) {
      o.mostControlPoints = CountOf(a.Value(), "control points");
      o.mostGiven = true;
      if (o.mostControlPoints < kFewestControlPoints || o.mostControlPoints > kMostControlPoints)
        throw UsageError{"--max-control-points takes 4 to " + std::to_string(kMostControlPoints)};
    } else if (a.Is("-n")) {
      o.count = CountOf(a.Value(), "control points");
      o.countGiven = true;
    } else if (a.Is("-o")) {
      o.out = a.Value();
    } else if (a.Is("--foil-number")) {
      o.foilNumber = a.Value();
    } else if (a.Is("--svg")) {
      o.svg = a.Value();
    } else if (a.Is("--export")) {
      const std::string list = a.Value();
      for (std::size_t from = 0;;) {
        const std::size_t comma = list.find(',', from);
        const std::string name = list.substr(from, comma - from);
        try {
          o.exports.push_back(&FindExportFormat(name));
        } catch (const Error& e) {
          throw UsageError{"--export: " + std::string(e.what())};
        }
        if (comma == std::string::npos) break;
        from = comma + 1;
      }
    } else if (a.Is("--chord")) {
      o.chord = ChordOption(a.Value());
    } else if (a.Is("--units")) {
      o.units = UnitsOption(a.Value());
    } else if (a.Is("--te-thickness")) {
      o.teThickness = TeThicknessOption(a.Value());
    } else {
      throw UsageError{"unrecognized option '" + a.option() + "'"};
    }
  }
  o.files = a.operands();
  if (o.files.empty()) throw UsageError{"missing FILE"};
  if (o.out && o.foilNumber) throw UsageError{"-o and --foil-number exclude each other"};
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
  if ((o.chord > 0 || o.units != LengthUnit::None) && o.exports.empty())
    throw UsageError{"--chord and --units are for --export"};
  const auto drawn = [](const ExportFormat* f) { return f->needs_size; };
  if (o.teThickness && std::none_of(o.exports.begin(), o.exports.end(), drawn))
    throw UsageError{"--te-thickness is for --export of an outline"};
  for (const ExportFormat* f : o.exports)
    if ((o.chord > 0 || o.units != LengthUnit::None) && !f->needs_size)
      throw UsageError{"--chord and --units draw outlines: the " + std::string(f->name) + " is normalised"};
  if (o.screens && o.json) throw UsageError{"--screens and --json exclude each other"};
  if ((o.out || o.foilNumber || o.svg) && o.files.size() > 1)
    throw UsageError{"-o, --foil-number and --svg take one input FILE"};
  if (o.out && o.outputDir) throw UsageError{"-o and --output-dir exclude each other"};
  if (o.quiet && (o.json || o.screens)) throw UsageError{"--quiet excludes --json and --screens"};
  const bool fromInput = std::find(o.files.begin(), o.files.end(), kStandardStream) != o.files.end();
  if (fromInput && o.files.size() > 1) throw UsageError{"standard input ('-') is one input FILE alone"};
  if (fromInput && !o.out) throw UsageError{"standard input ('-') needs -o OUT"};
  if (o.out == kStandardStream && (o.json || o.screens || o.svg || !o.exports.empty() || o.summary))
    throw UsageError{"-o - writes the .FOI to standard output: no --json, --screens, --svg, --export or --summary"};
  return o;
}

// A section data file's .FOI is named by the window's rule unless the run
// names it otherwise: any other input is named from its stem.
bool WindowNamed(const Options& o) { return !o.out && !o.outputDir && !o.foilNumber && !o.coordinates; }

// The output name as the window makes it: from the file list's choice or
// the foil number (in the directory of the input file); or as -o or
// --output-dir say.
std::string OutputName(const Options& o, const std::string& path) {
  if (o.out) return *o.out;
  if (o.foilNumber) return FoilNumberFileName(o.outputDir ? Beside(o.outputDir, path, "") : DirectoryOf(path), *o.foilNumber);
  if (WindowNamed(o)) return FoilFileNameFor(path);
  return Beside(o.outputDir, path, Stem(path) + ".FOI");
}

// An export's file beside the .FOI: the .FOI's name without its extension,
// and the format's ending.
std::string ExportName(const std::string& output, const ExportFormat& format) {
  const std::size_t slash = output.rfind('/');
  const std::size_t dot = output.rfind('.');
  const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return output.substr(0, extension ? dot : output.size()) + format.file_ending;
}

// Every file the run will write for one input, for the check that no two
// of them, nor any with an input, are one file. The .FOI's name is unknown
// where the foil number is not one: the run then fails with its message.
Planned PlanFor(const Options& o, const std::string& input) {
  Planned planned{input, {}};
  std::string output;
  try {
    output = OutputName(o, input);
  } catch (const Error&) {
    return planned;
  }
  planned.outputs.push_back(output);
  if (o.svg) planned.outputs.push_back(*o.svg);
  for (const ExportFormat* f : o.exports) planned.outputs.push_back(ExportName(output, *f));
  return planned;
}


nlohmann::ordered_json CurveReport(const CurveFit& curve) {
  nlohmann::ordered_json j;
  j["ymax"] = curve.ymax;
  j["rms"] = curve.rms;
  j["max_deviation"] = curve.max_deviation;
  j["max_deviation_x"] = curve.max_deviation_x;
  j["between_deviation"] = curve.between_deviation;
  j["between_deviation_x"] = curve.between_deviation_x;
  j["control"] = curve.control;
  return j;
}

nlohmann::ordered_json ImportReport(const ImportedSection& imported) {
  nlohmann::ordered_json j;
  j["frame"] = ImportFrameName(imported.transform.frame);
  j["scale"] = imported.transform.scale;
  j["angle_deg"] = imported.transform.angle_deg;
  j["shift"] = {imported.transform.shift.x, imported.transform.shift.y};
  j["warnings"] = imported.warnings;
  j["le_radius"] = imported.le_radius;
  return j;
}

const char* Surface(bool upper) { return upper ? "upper" : "lower"; }

nlohmann::ordered_json NoseReport(const NoseCheck& nose) {
  nlohmann::ordered_json j;
  j["le_radius"] = nose.le_radius;
  j["data_le_radius"] = nose.data_le_radius;
  j["added_inflections"] = nlohmann::ordered_json::array();
  for (const CurvatureChange& c : nose.added) j["added_inflections"].push_back({{"x", c.x}, {"surface", Surface(c.upper)}});
  j["between_deviation"] = nose.between;
  j["between_deviation_x"] = nose.between_x;
  j["between_deviation_surface"] = Surface(nose.between_upper);
  return j;
}

nlohmann::ordered_json Report(const std::string& path, const std::string& output,
                              const Section& section, const Fit& fit,
                              const std::optional<ImportedSection>& imported, const std::optional<NoseCheck>& nose) {
  nlohmann::ordered_json j;
  j["file"] = TextAsUtf8(path);
  j["output"] = TextAsUtf8(output);
  j["id_line"] = TextAsUtf8(fit.id_line);
  j["points"] = section.points();
  j["control_points"] = fit.control_points;
  j["placement"] = fit.placement;
  j["misplaced_points"] = fit.misplaced_points;
  j["largest_misplacement"] = fit.largest_misplacement;
  j["knots"] = fit.knots;
  j["control_x"] = fit.control_x;
  j["thickness"] = CurveReport(fit.thickness);
  j["camber"] = CurveReport(fit.camber);
  if (imported) {
    j["import"] = ImportReport(*imported);
    const OutlineDeviation d = OutlineDeviationOf(fit, *imported);
    j["outline_deviation"] = d.deviation;
    j["outline_deviation_x"] = d.x;
    j["outline_deviation_surface"] = Surface(d.upper);
    j["outline_between_deviation"] = d.between;
    j["outline_between_deviation_x"] = d.between_x;
    j["outline_between_deviation_surface"] = Surface(d.between_upper);
    if (nose) j["nose"] = NoseReport(*nose);
  }
  // At the section's own size, as --export properties writes them; a section
  // thicker than its chord has no outline to measure.
  try {
    const OutlineProperties p = SectionProperties(FoilSplineOf(fit), OwnSize(fit));
    j["properties"] = nlohmann::ordered_json::object();
    for (const PropertyField& f : PropertyFields()) j["properties"][f.key] = p.*f.value;
  } catch (const Error&) {
    j["properties"] = nullptr;
  }
  return j;
}

// One row of the summary: what a run made of one input, or why it failed.
struct Row {
  std::string file;
  std::string output;
  std::optional<Fit> fit;
  std::optional<OutlineDeviation> outline;
  std::optional<bool> reached;
  std::vector<std::string> warnings;
  std::string error;
};

// A field of a CSV row (RFC 4180): quoted where it holds a comma, a quote or
// a line end, its quotes doubled.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

// A number as --json writes it: the shortest text that reads back the same.
std::string CsvNumber(double v) { return nlohmann::json(v).dump(); }

std::string SummaryText(const Options& o, const std::vector<Row>& rows) {
  std::string text =
      "file,output,control_points,placement,thickness_rms,thickness_max_deviation,camber_rms,"
      "camber_max_deviation,outline_deviation,tolerance,reached,thickness_scale,camber_scale,warnings,"
      "error\n";
  for (const Row& r : rows) {
    std::vector<std::string> f{CsvField(r.file), CsvField(r.output)};
    if (r.fit) {
      const OutlineSize own = OwnSize(*r.fit);
      f.insert(f.end(), {std::to_string(r.fit->control_points), r.fit->placement,
                         CsvNumber(r.fit->thickness.rms), CsvNumber(r.fit->thickness.max_deviation),
                         CsvNumber(r.fit->camber.rms), CsvNumber(r.fit->camber.max_deviation),
                         r.outline ? CsvNumber(r.outline->deviation) : "",
                         o.autoMeasure ? o.toleranceText : "", r.reached ? (*r.reached ? "yes" : "no") : "",
                         CsvNumber(own.thickness), CsvNumber(own.camber)});
    } else {
      f.insert(f.end(), 11, "");
    }
    std::string warnings;
    for (const std::string& w : r.warnings) warnings += (warnings.empty() ? "" : "; ") + w;
    f.push_back(CsvField(warnings));
    f.push_back(CsvField(r.error));
    for (std::size_t i = 0; i < f.size(); ++i) text += (i ? "," : "") + f[i];
    text += '\n';
  }
  return text;
}

class FitFileRun {
 public:
  FitFileRun(const Options& o, std::ostream& out, std::ostream& err, bool terminal, Progress& progress)
      : o_(o), out_(out), err_(err), terminal_(terminal), progress_(progress) {}

  // One file, as clicked in the file list and fitted with Start.
  Row operator()(const std::string& path) {
    const bool standard = path == kStandardStream;
    const std::string shown = standard ? kStandardInputName : path;
    Row row{shown, {}, {}, {}, {}, {}, {}};
    std::optional<Section> section;
    try {
      const std::string output = OutputName(o_, path);
      row.output = output;
      if (WindowNamed(o_) && !IsWindowFileName(path))
        throw Error(ErrorKind::Usage, path, "input file name invalid: it has no point fourth from its end");

      std::optional<ImportedSection> imported;
      std::optional<std::string> bytes;
      if (standard) bytes = ReadStandardInput();
      if (o_.coordinates) {
        imported = bytes ? ImportOutlineText(*bytes, shown, o_.import) : ImportOutline(path, o_.import);
        progress_.Clear();
        ReportImport(kProgram, shown, *imported, err_, terminal_);
        if (o_.import.at_every_point && !o_.quiet)
          err_ << kProgram << ": " << (terminal_ ? ForTerminal(shown) : shown) << ": "
               << imported->section.points() << " stations: the chord positions of the file's points, of its outline "
               << "halfway between them and " << kEveryPointCosineStations << " cosine-spaced ones\n";
        row.warnings = imported->warnings;
        section = imported->section;
      } else {
        section = bytes ? ReadSectionText(*bytes, shown) : ReadSection(path);
      }
      const Fit fit = Fitted(shown, *section, imported ? &*imported : nullptr, row);
      if (output == kStandardStream)
        out_ << FoilFileBytes(fit);
      else
        WriteFoilFile(output, fit);
      const std::vector<std::string> exports = Exported(output, fit);
      Misplaced(shown, fit);
      row.fit = fit;
      std::optional<NoseCheck> nose;
      if (imported) {
        row.outline = OutlineDeviationOf(fit, *imported);
        nose = CheckNose(fit, *imported);
        Nose(shown, *nose);
      }
      const ScreenFiles files{shown, output, true};
      if (o_.json) {
        nlohmann::ordered_json j = Report(shown, output, *section, fit, imported, nose);
        if (row.reached) j["reached"] = *row.reached;
        if (!exports.empty()) {
          j["exports"] = nlohmann::ordered_json::array();
          for (const std::string& e : exports) j["exports"].push_back(TextAsUtf8(e));
        }
        out_ << j.dump() << '\n';
      } else if (!o_.quiet && output != kStandardStream) {
        Show(ScreenText(Screen::FirstPage, *section, fit, files));
      }
      if (o_.screens) {
        for (Screen screen : {Screen::ThicknessFit, Screen::CamberFit, Screen::ControlPoints})
          Show(ScreenText(screen, *section, fit, files));
      }
      if (o_.svg) WriteFileContents(*o_.svg, ScreenSvg(Screen::Graphic, *section, fit, files));
    } catch (const Error& e) {
      Failed(shown, e, row);
    } catch (const std::bad_alloc&) {
      const std::string points = section ? std::to_string(section->points()) : "its";
      Failed(shown, Error(ErrorKind::NoMemory, shown, "not enough memory for " + points + " data points"),
             row);
    }
    return row;
  }

 private:
  Fit Fitted(const std::string& shown, const Section& section, const ImportedSection* imported, Row& row) {
    if (!o_.autoMeasure) return FitSection(section, FitOptions{o_.count, o_.placement});
    const CountOptions options{o_.tolerance, *o_.autoMeasure, o_.placement, o_.mostControlPoints};
    CountChoice choice =
        imported != nullptr ? FewestControlPoints(*imported, options) : FewestControlPoints(section, options);
    row.reached = choice.reached;
    if (!choice.reached) {
      progress_.Clear();
      err_ << kProgram << ": " << shown << ": no count from 4 to " << o_.mostControlPoints << " reaches "
           << o_.toleranceText << " with curves the data carry; using " << choice.control_points;
      if (choice.carried) {
        err_ << " (error " << Significant(choice.error) << ")\n";
      } else {
        const double stray = std::max(choice.fit.thickness.between_deviation, choice.fit.camber.between_deviation);
        err_ << ", whose curves stray least between the data points (up to " << Significant(stray)
             << " of the chord)\n";
      }
    }
    return std::move(choice.fit);
  }

  // What the fitted nose does that the file's outline does not.
  void Nose(const std::string& shown, const NoseCheck& nose) {
    const std::string at = std::string(kProgram) + ": " + (terminal_ ? ForTerminal(shown) : shown) + ": warning: ";
    progress_.Clear();
    for (const CurvatureChange& c : nose.added)
      err_ << at << "the fitted outline's curvature changes sign at x = " << Significant(c.x) << " on the "
           << Surface(c.upper) << " surface, within " << Significant(100 * kNoseChord)
           << " % of the chord of its nose, where the file's outline does not\n";
    if (!NoseRadiusKept(nose))
      err_ << at << "the fitted nose radius " << Significant(nose.le_radius) << " is "
           << Significant(nose.le_radius / nose.data_le_radius) << " times the file's outline's ("
           << Significant(nose.data_le_radius) << ")\n";
  }

  // The fitted section at its own size in each format asked for, beside the
  // .FOI; the names written.
  std::vector<std::string> Exported(const std::string& output, const Fit& fit) {
    std::vector<std::string> written;
    if (o_.exports.empty()) return written;
    const FoilSpline foil = FoilSplineOf(fit);
    for (const ExportFormat* f : o_.exports) {
      ExportOptions options;
      if (f->needs_size) {
        options.size = OwnSize(fit);
        options.chord = o_.chord;
        options.units = o_.units;
        options.te_thickness = o_.teThickness;
      }
      const std::string name = ExportName(output, *f);
      WriteFileContents(name, Export(foil, f->name, options));
      written.push_back(name);
    }
    return written;
  }

  // The window's search leaves data near the leading edge off their chord
  // position: say so, and what places them exactly.
  void Misplaced(const std::string& shown, const Fit& fit) {
    if (fit.misplaced_points == 0) return;
    progress_.Clear();
    err_ << kProgram << ": " << (terminal_ ? ForTerminal(shown) : shown) << ": " << fit.misplaced_points
         << (fit.misplaced_points == 1 ? " data point is fitted off its chord position"
                                       : " data points are fitted off their chord positions")
         << ", by up to " << Significant(fit.largest_misplacement) << " of the chord";
    if (fit.placement == kDefaultPlacement)
      err_ << (fit.misplaced_points == 1 ? "; --placement=exact places it exactly" : "; --placement=exact places them exactly");
    err_ << '\n';
  }

  void Show(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) out_ << (terminal_ ? ForTerminal(line) : line) << '\n';
  }

  void Failed(const std::string& shown, const Error& error, Row& row) {
    // A failure of this file's data names the file; a refused option is the
    // command line's, not the file's.
    const bool named = error.has_subject() || error.kind() == ErrorKind::Usage;
    const std::string message = named ? error.what() : shown + ": " + error.what();
    row.error = message;
    if (o_.json) {
      nlohmann::ordered_json j;
      j["file"] = TextAsUtf8(shown);
      j["error"] = TextAsUtf8(message);
      j["error_kind"] = ErrorKindName(error.kind());
      out_ << j.dump() << '\n';
    }
    progress_.Clear();
    Say(err_, kProgram, terminal_ ? ForTerminal(message) : message);
  }

  const Options& o_;
  std::ostream& out_;
  std::ostream& err_;
  bool terminal_;
  Progress& progress_;
};

}  // namespace

int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool terminal, const ProgressDisplay& display) {
  std::optional<Options> options;
  try {
    options = Parse(args, out);
    if (!options) return 0;
  } catch (const UsageError& e) {
    return UsageFailure(kProgram, e.text, err, terminal);
  }
  // Every name is known before anything is written: no output may replace
  // an input or another output.
  std::vector<Planned> plan;
  for (const std::string& file : options->files) plan.push_back(PlanFor(*options, file));
  if (options->summary) plan.push_back({"the summary", {*options->summary}});
  if (const auto clash = FirstClash(plan)) {
    Say(err, kProgram, terminal ? ForTerminal(*clash) : *clash);
    return 2;
  }

  Progress progress(err, display.terminal, options->files.size(), display.clock);
  FitFileRun run(*options, out, err, terminal, progress);
  std::vector<Row> rows;
  int status = 0;
  for (std::size_t i = 0; i < options->files.size(); ++i) {
    progress.At(i + 1, ForTerminal(options->files[i]));
    rows.push_back(run(options->files[i]));
    if (!rows.back().error.empty()) status = 1;
  }
  progress.Clear();
  if (options->summary) {
    try {
      WriteFileContents(*options->summary, SummaryText(*options, rows));
    } catch (const Error& e) {
      Say(err, kProgram, e.what());
      status = 1;
    }
  }
  return status;
}

}  // namespace tarvelo
