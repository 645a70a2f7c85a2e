#include "cli/export_command.h"

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/help.h"
#include "cli/program.h"

#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <optional>
#include <ostream>

namespace tarvelo {

namespace {

constexpr const char* kProgram = "tarvelo-export";

// The names of the formats for which `has` holds, joined as a sentence does:
// "a, b and c".
template <class Has>
std::string Names(Has has, const char* last) {
  std::vector<std::string> names;
  for (const ExportFormat& f : ExportFormats())
    if (has(f)) names.emplace_back(f.name);
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i)
    text += (i == 0 ? "" : i + 1 == names.size() ? std::string(" ") + last + " " : ", ") + names[i];
  return text;
}

bool Sized(const ExportFormat& f) { return f.needs_size; }
bool Sampled(const ExportFormat& f) { return f.default_points > 0; }
bool Exact(const ExportFormat& f) { return f.default_points == 0; }
bool Stations(const ExportFormat& f) { return f.takes_stations; }
bool LaysOff(const ExportFormat& f) { return f.takes_layoff; }

constexpr const char* kHelpHead =
    "Usage: tarvelo-export [OPTION]... FILE.FOI\n"
    "  or:  tarvelo-export [OPTION]... --output-dir DIR FILE.FOI...\n"
    "Evaluate the fitted section of a .FOI file as a table, or write its outline\n"
    "at a given largest thickness and camber for panel codes and CAD.\n"
    "\n";

constexpr const char* kHelpSize =
    "      --thickness T    largest thickness of the outline, a fraction of the\n"
    "                         chord above 0 and at most 1\n"
    "      --camber F       largest camber of the outline, a fraction of the\n"
    "                         chord from -1 to 1 (0 for a symmetric section)\n"
    "      --chord LENGTH   draw the outline at this chord length (selig, dxf,\n"
    "                         svg; the properties scaled to it), in the units\n"
    "                         below\n"
    "      --units UNIT     mm, cm, m or in: the drawing's units, set in the\n"
    "                         DXF ($INSUNITS) and as the SVG's size\n"
    "      --te-thickness D the outline's trailing edge made D thick, a fraction\n"
    "                         of the chord from 0 to T, by adding a thickness\n"
    "                         that grows linearly from the leading edge\n"
    "      --layoff HOW     vertical (the default): each surface at the chord\n"
    "                         position of its thickness and camber; across:\n"
    "                         the thickness laid off normal to the mean line, as\n"
    "                         published tables do\n";

constexpr const char* kHelpOutputs =
    "      --at X1,X2,...   the table at these chord positions instead\n"
    "  -o OUT               write OUT instead of standard output; an earlier OUT\n"
    "                         is replaced only once the new one is complete\n";

constexpr const char* kHelpTail =
    "\n"
    "T and F multiply the stored curves, which the fit normalised to a largest\n"
    "value of 1: T is then the outline's largest thickness and F its largest\n"
    "(highest) camber, of a section cambered below the chord line too. A .FOI\n"
    "whose camber is nowhere above 0 holds the section's own camber, not\n"
    "normalised: only --camber 1 gives it back, and any other F is refused.\n"
    "tarvelo-fit --export writes each section at its own size in one step.\n"
    "A trailing edge that is open is closed by a line (DXF layer TE).\n"
    "\n"
    "For example, NACA 2412 for CAD:\n"
    "  tarvelo-export --format dxf --thickness 0.12 --camber 0.02 \\\n"
    "      -o naca2412.dxf naca2412.FOI\n"
    "On a terminal, control characters in a file name or the ID line are shown\n"
    "as ^X.\n"
    "\n"
    "Exit status:\n"
    " 0  the output was written,\n"
    " 1  FILE could not be read or is not a valid .FOI file, or OUT could not\n"
    "    be written,\n"
    " 2  the command line was not understood, or OUT is FILE itself, or DIR\n"
    "    cannot be made.\n";

// The formats, each its name and description, and their default point counts.
std::string FormatList() {
  std::vector<NamedText> formats;
  for (const ExportFormat& f : ExportFormats()) formats.emplace_back(f.name, f.description);
  return NamedList(formats, 25, 32);
}

std::string Defaults() {
  std::string defaults;
  for (const ExportFormat& f : ExportFormats())
    if (f.default_points > 0)
      defaults += std::string(defaults.empty() ? "" : ", ") + std::to_string(f.default_points) +
                  (f.needs_size ? " per surface" : "") + " for " + f.name;
  return defaults;
}

// The help, its list of formats and their defaults made from the table.
std::string Help() {
  const std::string column(25, ' ');
  std::string endings;
  for (const ExportFormat& f : ExportFormats()) endings += std::string(endings.empty() ? "" : ", ") + f.file_ending;
  return kHelpHead + std::string("      --format FORMAT  what to write (default ") + ExportFormats().front().name +
         "):\n" + FormatList() + kHelpSize +
         WrapText("N cosine-spaced chord positions from 0 to 1, N from 2 to " + std::to_string(kMostExportPoints) +
                      " (default " + Defaults() + ")",
                  "      --points N       ", column) +
         kHelpOutputs +
         WrapText("write each FILE's export into DIR, made where it does not exist (its parent must), named "
                  "from its stem and the format's ending (" + endings + ")",
                  "      --output-dir DIR ", column) +
         "      --list-formats   list the formats, one name and its description a line\n"
         "      --help           display this help and exit\n"
         "      --version        output version information and exit\n"
         "\n" +
         WrapText(Names(Sized, "and") + " need --thickness and --camber; the " +
                      Names([](const ExportFormat& f) { return !f.needs_size; }, "and") + " takes neither.",
                  "", "") +
         WrapText("--layoff across is for the " + Names(LaysOff, "and") +
                      ": the selig points are exact at their stations, the drawings' splines within 1e-9 of "
                      "the chord of the outline (exact with --layoff vertical).",
                  "", "") +
         kHelpTail;
}

struct Options {
  const ExportFormat* format = &ExportFormats().front();
  double chord = 0;
  LengthUnit units = LengthUnit::None;
  std::optional<double> thickness;
  std::optional<double> camber;
  std::optional<double> te_thickness;
  Layoff layoff = Layoff::Vertical;
  std::optional<int> points;
  std::optional<std::vector<double>> at;
  Destination outputs;
  std::vector<std::string> files;
};

bool Fraction(double x) { return x >= 0 && x <= 1; }

std::vector<double> StationList(const std::string& list) {
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

const ExportFormat* FormatOption(const std::string& name) {
  try {
    return &FindExportFormat(name);
  } catch (const Error& e) {
    throw UsageError{"--format: " + std::string(e.what())};
  }
}

// One option; false for one this program does not have.
bool ParseOption(Arguments& a, Options& o) {
  if (a.Is("-o")) {
    o.outputs.out = a.Value();
  } else if (a.Is("--output-dir")) {
    o.outputs.directory = OutputDirOption(a.Value());
  } else if (a.Is("--format")) {
    o.format = FormatOption(a.Value());
  } else if (a.Is("--thickness")) {
    o.thickness = CheckedNormal(a.Value(), [](double t) { return t > 0 && t <= 1; },
                                "--thickness takes a fraction of the chord above 0 and at most 1");
  } else if (a.Is("--camber")) {
    o.camber = CheckedNormal(a.Value(), [](double f) { return f >= -1 && f <= 1; },
                             "--camber takes a fraction of the chord from -1 to 1");
  } else if (a.Is("--te-thickness")) {
    o.te_thickness = TeThicknessOption(a.Value());
  } else if (a.Is("--layoff")) {
    o.layoff = LayoffOption(a.Value());
  } else if (a.Is("--points")) {
    o.points = Checked<int>(a.Value(), [](int n) { return n >= 2 && n <= kMostExportPoints; },
                            "--points takes a whole number from 2 to " + std::to_string(kMostExportPoints));
  } else if (a.Is("--chord")) {
    o.chord = ChordOption(a.Value());
  } else if (a.Is("--units")) {
    o.units = UnitsOption(a.Value());
  } else if (a.Is("--at")) {
    o.at = StationList(a.Value());
  } else {
    return false;
  }
  return true;
}

void CheckInputs(const Options& o) {
  if (o.files.empty()) throw UsageError{"missing FILE"};
  if (o.outputs.out && o.outputs.directory) throw UsageError{"-o and --output-dir exclude each other"};
  if (o.files.size() > 1 && !o.outputs.directory) throw UsageError{"extra operand '" + o.files[1] + "'"};
  const bool fromInput = std::find(o.files.begin(), o.files.end(), kStandardStream) != o.files.end();
  if (fromInput && o.files.size() > 1) throw UsageError{"standard input ('-') is one FILE alone"};
  if (fromInput && o.outputs.directory) throw UsageError{kNoNameForDirectory};
}

// What the format takes of the options given.
void CheckFormat(const Options& o) {
  const ExportFormat& f = *o.format;
  if (f.needs_size && !(o.thickness && o.camber))
    throw UsageError{Names(Sized, "and") + " need --thickness and --camber"};
  if (!f.needs_size && (o.thickness || o.camber))
    throw UsageError{"the " + std::string(f.name) + " takes neither --thickness nor --camber"};
  if (!f.needs_size && o.te_thickness) throw UsageError{"--te-thickness is for the " + Names(Sized, "and") + " only"};
  if (o.te_thickness && o.thickness && *o.te_thickness > *o.thickness)
    throw UsageError{"--te-thickness takes at most the --thickness"};
  if (o.layoff != Layoff::Vertical && !f.takes_layoff)
    throw UsageError{"--layoff " + std::string(LayoffName(o.layoff)) + " is for the " + Names(LaysOff, "and") +
                     " only: the " + f.name + " writes no outline coordinates"};
  if (o.points && o.at) throw UsageError{"--points and --at exclude each other"};
  if (o.at && !f.takes_stations) throw UsageError{"--at is for the " + Names(Stations, "and") + " only"};
  if ((o.chord > 0 || o.units != LengthUnit::None) && !f.needs_size)
    throw UsageError{"--chord and --units are for " + Names(Sized, "and")};
  if (o.points && f.default_points == 0)
    throw UsageError{"--points is for the " + Names(Sampled, "and") + " only: " + Names(Exact, "and") +
                     " are exact"};
}

// Returns nullopt after --help, --version or --list-formats, which are already answered.
std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& out) {
  Options o;
  Arguments a(args);
  while (a.NextOption()) {
    if (AnswersHelpOrVersion(a, kProgram, Help().c_str(), out)) return std::nullopt;
    if (a.IsFlag("--list-formats")) {
      for (const ExportFormat& f : ExportFormats()) out << f.name << '\t' << f.description << '\n';
      return std::nullopt;
    }
    if (!ParseOption(a, o)) throw UsageError{"unrecognized option '" + a.option() + "'"};
  }
  o.files = a.operands();
  CheckInputs(o);
  CheckFormat(o);
  return o;
}

ExportOptions ExportOptionsOf(const Options& o) {
  ExportOptions options;
  if (o.thickness) options.size = {*o.thickness, *o.camber};
  options.te_thickness = o.te_thickness;
  options.points = o.points.value_or(0);
  if (o.at) options.stations = *o.at;
  options.chord = o.chord;
  options.units = o.units;
  options.layoff = o.layoff;
  return options;
}

}  // namespace

int RunExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool terminal,
                     const ProgressDisplay& display) {
  std::optional<Options> options;
  try {
    options = Parse(args, out);
  } catch (const UsageError& e) {
    return UsageFailure(kProgram, e.text, err, terminal);
  }
  if (!options) return 0;
  const ExportOptions exportOptions = ExportOptionsOf(*options);
  const ExportFormat& format = *options->format;
  Batch batch(kProgram, out, err, terminal, display);
  return RunEachToOne(
      batch, options->files, options->outputs,
      [&](const std::string& input) { return Stem(input) + format.file_ending; },
      [&](const Input& input) {
        const FoilSpline foil = input.bytes ? ReadFoilText(*input.bytes, input.name) : ReadFoilFile(input.operand);
        return Export(foil, format, exportOptions);
      });
}

}  // namespace tarvelo
