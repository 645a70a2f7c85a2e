#include "cli/import_command.h"

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/program.h"

#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <optional>
#include <ostream>

namespace tarvelo {

namespace {

constexpr const char* kProgram = "tarvelo-import";

constexpr const char* kHelp =
    "Usage: tarvelo-import [--stations N | --at-file-stations] [-o OUT] COORDS\n"
    "  or:  tarvelo-import [--stations N | --at-file-stations] --output-dir DIR COORDS...\n"
    "Read the outline of a foil section from the coordinate file COORDS, in the\n"
    "Selig or the Lednicer layout, and write its thickness and camber as the\n"
    "section data file (*.dat) that TARVELO fits, to standard output, to OUT, or\n"
    "for each COORDS into DIR as <stem>-section.dat. COORDS '-' is standard\n"
    "input.\n"
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
    "  -o OUT                  write OUT ('-': standard output); an earlier file\n"
    "                            is replaced only by a complete one, and never\n"
    "                            COORDS itself\n"
    "      --output-dir DIR    write each section data file into DIR, made where\n"
    "                            it does not exist (its parent must)\n"
    "      --help              display this help and exit\n"
    "      --version           output version information and exit\n"
    "\n"
    "On a terminal, control characters in a file name or the name line are\n"
    "shown as ^X.\n"
    "\n"
    "Exit status:\n"
    " 0  the section data were written,\n"
    " 1  a COORDS was refused (the message says why) or its output could not be\n"
    "    written; the others are written all the same,\n"
    " 2  the command line was not understood, or an output would replace an\n"
    "    input or another output, or DIR cannot be made (nothing is written).\n";

struct Options {
  ImportOptions import;
  bool stationsGiven = false;
  Destination outputs;
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
      o.import.stations = StationsOption(a.Value());
      o.stationsGiven = true;
    } else if (a.Is("-o")) {
      o.outputs.out = a.Value();
    } else if (a.Is("--output-dir")) {
      o.outputs.directory = OutputDirOption(a.Value());
    } else {
      throw UsageError{"unrecognized option '" + a.option() + "'"};
    }
  }
  o.files = a.operands();
  if (o.files.empty()) throw UsageError{"missing COORDS"};
  if (o.outputs.out && o.outputs.directory) throw UsageError{"-o and --output-dir exclude each other"};
  if (o.files.size() > 1 && !o.outputs.directory)
    throw UsageError{"one COORDS without --output-dir: extra operand '" + o.files[1] + "'"};
  const bool fromInput = std::find(o.files.begin(), o.files.end(), kStandardStream) != o.files.end();
  if (fromInput && o.files.size() > 1) throw UsageError{"standard input ('-') is one COORDS alone"};
  if (fromInput && o.outputs.directory) throw UsageError{kNoNameForDirectory};
  if (o.stationsGiven && o.import.at_file_stations)
    throw UsageError{"--stations and --at-file-stations exclude each other"};
  return o;
}

}  // namespace

int RunImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool terminal,
                     const ProgressDisplay& display) {
  std::optional<Options> options;
  try {
    options = Parse(args, out);
  } catch (const UsageError& e) {
    return UsageFailure(kProgram, e.text, err, terminal);
  }
  if (!options) return 0;
  Batch batch(kProgram, out, err, terminal, display);
  return RunEachToOne(
      batch, options->files, options->outputs,
      [](const std::string& input) { return Stem(input) + "-section.dat"; },
      [&](const Input& input) {
        const ImportedSection imported = input.bytes ? ImportOutlineText(*input.bytes, input.name, options->import)
                                                     : ImportOutline(input.operand, options->import);
        for (const std::string& note : ImportNotes(imported)) batch.Note(input.name, note);
        return SectionFileText(imported.section);
      });
}

}  // namespace tarvelo
