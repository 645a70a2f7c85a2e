#include "cli/import_command.h"

#include "cli/arguments.h"
#include "cli/program.h"

#include <tarvelo/tarvelo.h>

#include <optional>
#include <ostream>

namespace tarvelo {

namespace {

constexpr const char* kProgram = "tarvelo-import";

constexpr const char* kHelp =
    "Usage: tarvelo-import [--stations N | --at-file-stations] [-o OUT] COORDS\n"
    "Read the outline of a foil section from the coordinate file COORDS, in the\n"
    "Selig or the Lednicer layout, and write its thickness and camber as the\n"
    "section data file (*.dat) that TARVELO fits, to standard output or to OUT.\n"
    "\n"
    "The outline is interpolated by a cubic spline in chord length. An outline\n"
    "that spans x = 0 to 1 with its foremost point at (0, 0) keeps its frame;\n"
    "any other is moved, turned and scaled so that its leading edge (its point\n"
    "farthest from the trailing edge) lies at 0 and the trailing edge at 100 %\n"
    "of the chord, and standard error and the ID line say how. A surface that\n"
    "stops short of the other is continued by a straight line to its end, and\n"
    "surfaces that cross behind 99 % of the chord are kept, each with a warning\n"
    "on standard error. Thickness and camber are taken at the chord stations.\n"
    "A first line of two numbers is a point; the section is then named after\n"
    "the file.\n"
    "\n"
    "      --stations N        N cosine-spaced stations, 5 to 401 (default 41)\n"
    "      --at-file-stations  the upper surface's own chord positions (0 to 100 %)\n"
    "                            instead\n"
    "  -o OUT                  write OUT; an earlier file is replaced only by a\n"
    "                            complete one, and never COORDS itself\n"
    "      --help              display this help and exit\n"
    "      --version           output version information and exit\n"
    "\n"
    "Exit status:\n"
    " 0  the section data were written,\n"
    " 1  COORDS was refused (the message says why) or OUT could not be written,\n"
    " 2  the command line was not understood.\n";

struct Options {
  ImportOptions import;
  bool stationsGiven = false;
  std::optional<std::string> out;
  std::vector<std::string> files;
};

// Returns nullopt after --help or --version, which are already answered.
std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& out) {
  Options o;
  Arguments a(args);
  while (a.NextOption()) {
    if (AnswersHelpOrVersion(a, kProgram, kHelp, out)) return std::nullopt;
    if (a.Is("--at-file-stations")) {
      o.import.at_file_stations = true;
    } else if (a.Is("--stations")) {
      o.import.stations = CountOf(a.Value(), "stations");
      o.stationsGiven = true;
    } else if (a.Is("-o")) {
      o.out = a.Value();
    } else {
      throw UsageError{"unrecognized option '" + a.option() + "'"};
    }
  }
  o.files = a.operands();
  if (o.files.empty()) throw UsageError{"missing COORDS"};
  if (o.files.size() > 1) throw UsageError{"one COORDS at a time: extra operand '" + o.files[1] + "'"};
  if (o.stationsGiven && o.import.at_file_stations)
    throw UsageError{"--stations and --at-file-stations exclude each other"};
  return o;
}

}  // namespace

int RunImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<Options> options;
  try {
    options = Parse(args, out);
  } catch (const UsageError& e) {
    return UsageFailure(kProgram, e.text, err);
  }
  if (!options) return 0;
  const std::string& coordinates = options->files[0];
  return WriteMade(coordinates, options->out,
                   [&] {
                     const ImportedSection imported = ImportOutline(coordinates, options->import);
                     ReportImport(kProgram, coordinates, imported, err);
                     return SectionFileText(imported.section);
                   },
                   out, err);
}

}  // namespace tarvelo
