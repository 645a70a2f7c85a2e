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
    "The outline is interpolated by a cubic spline in chord length, then turned,\n"
    "scaled and moved so that its leading edge (its point farthest from the\n"
    "middle of the first and last points) lies at 0 and that middle at 100 % of\n"
    "the chord, the upper surface above. Thickness and camber are taken at the\n"
    "chord stations.\n"
    "\n"
    "      --stations N        N cosine-spaced stations, 5 to 401 (default 41)\n"
    "      --at-file-stations  the upper surface's own chord positions instead\n"
    "  -o OUT                  write OUT; an earlier file is replaced only by a\n"
    "                            complete one, and never COORDS itself\n"
    "      --help              display this help and exit\n"
    "      --version           output version information and exit\n"
    "\n"
    "On a terminal, control characters in a file name or the name line are\n"
    "shown as ^X.\n"
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
    if (a.IsFlag("--at-file-stations")) {
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

int RunImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     bool terminal) {
  std::optional<Options> options;
  try {
    options = Parse(args, out);
  } catch (const UsageError& e) {
    return UsageFailure(kProgram, e.text, err, terminal);
  }
  if (!options) return 0;
  const std::string& coordinates = options->files[0];
  return WriteMade(coordinates, options->out,
                   [&] { return SectionFileText(ImportCoordinates(coordinates, options->import)); },
                   out, err, terminal);
}

}  // namespace tarvelo
