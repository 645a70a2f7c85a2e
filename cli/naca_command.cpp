#include "cli/naca_command.h"

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/program.h"

#include <tarvelo/tarvelo.h>

#include <charconv>
#include <optional>
#include <ostream>

namespace tarvelo {

namespace {

constexpr const char* kProgram = "tarvelo-naca";

constexpr const char* kHelp =
    "Usage: tarvelo-naca [OPTION]... DESIGNATION\n"
    "Write the section data file (*.dat) of a NACA section, thickness and camber\n"
    "in percent of the chord at each station, or its outline as published\n"
    "(--format selig), to standard output or to OUT.\n"
    "\n"
    "DESIGNATION is a four-digit section (2412: 2 % camber at 40 % of the chord,\n"
    "12 % thick), a five-digit one with a standard mean line, 210 to 250 (23012),\n"
    "a 16-series one (16-206: design lift coefficient 0.2, 6 % thick), a 6A-series\n"
    "one (65A210: the 65A010 thickness, scaled for another than 10 %, and the\n"
    "a=0.8 (modified) mean line) or the modified 66 of propellers (66mod-212:\n"
    "66 (mod) thickness 12 %, a=0.8 (modified) mean line at cli 0.2). The 6A and\n"
    "66 (mod) sections come from their published tables, interpolated between\n"
    "their stations; the others from their formulas.\n"
    "\n"
    "      --format FORMAT    dat (default): the section data file, thickness and\n"
    "                           camber at the same chord position;\n"
    "                           selig: the outline in Selig coordinates, the\n"
    "                           thickness laid off across the mean line as the\n"
    "                           published tables do, x and y with 7 decimals\n"
    "      --stations N       N cosine-spaced stations, 5 to 401 (default 41)\n"
    "      --table-stations   the published table's stations instead: 26 (0, 0.5,\n"
    "                           0.75, 1.25, 2.5, 5, 7.5, 10, 15, 20 ... 95, 100 %),\n"
    "                           18 for the 66 (mod)\n"
    "      --closed-te        four- and five-digit sections: the trailing edge\n"
    "                           closed (-0.1036 in place of -0.1015)\n"
    "      --mean-line a=A    16-series and 66 (mod): the a-series mean line, its\n"
    "                           load uniform to A of the chord, A from 0 to 1\n"
    "                           (default a=1.0; a=0.8 (modified) for the 66 (mod))\n"
    "      --decimals D       dat: decimals of a percent, 6 (default) or 4\n"
    "  -o OUT                 write OUT (\"-\": standard output); an earlier file is\n"
    "                           replaced only by a complete one\n"
    "      --help             display this help and exit\n"
    "      --version          output version information and exit\n"
    "\n"
    "For example, the bundled NACA 16-206 with an a=0.8 mean line, and the\n"
    "propeller section NACA 66 (mod) as published:\n"
    "  tarvelo-naca --table-stations --decimals 4 --mean-line a=0.8 16-206\n"
    "  tarvelo-naca --format selig --stations 81 66mod-210\n"
    "\n"
    "Exit status:\n"
    " 0  the section data were written,\n"
    " 1  OUT could not be written,\n"
    " 2  the command line was not understood, or DESIGNATION or an option is\n"
    "    not one this program makes.\n";

struct Options {
  NacaOptions naca;
  bool selig = false;
  bool stationsGiven = false;
  bool decimalsGiven = false;
  std::optional<std::string> out;
  std::string designation;
};

// "a=A" with A a number from 0 to 1.
double MeanLineA(const std::string& text) {
  double a = -1;
  const char* end = text.data() + text.size();
  const bool named = text.starts_with("a=");
  const auto res = std::from_chars(text.data() + (named ? 2 : 0), end, a);
  if (!named || res.ec != std::errc() || res.ptr != end || !(a >= 0 && a <= 1))
    throw UsageError{"--mean-line takes a=A, A from 0 to 1: '" + text + "'"};
  return a;
}

// Returns nullopt after --help or --version, which are already answered.
std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& out) {
  Options o;
  Arguments a(args);
  while (a.NextOption()) {
    if (AnswersHelpOrVersion(a, kProgram, kHelp, out)) return std::nullopt;
    if (a.IsFlag("--table-stations")) {
      o.naca.table_stations = true;
    } else if (a.Is("--stations")) {
      o.naca.stations = StationsOption(a.Value());
      o.stationsGiven = true;
    } else if (a.IsFlag("--closed-te")) {
      o.naca.closed_te = true;
    } else if (a.Is("--mean-line")) {
      o.naca.mean_line_a = MeanLineA(a.Value());
    } else if (a.Is("--decimals")) {
      const std::string d = a.Value();
      if (d != "4" && d != "6") throw UsageError{"--decimals takes 4 or 6: '" + d + "'"};
      o.naca.decimals = d[0] - '0';
      o.decimalsGiven = true;
    } else if (a.Is("--format")) {
      const std::string f = a.Value();
      if (f != "dat" && f != "selig") throw UsageError{"--format takes dat or selig: '" + f + "'"};
      o.selig = f == "selig";
    } else if (a.Is("-o")) {
      o.out = a.Value();
    } else {
      throw UsageError{"unrecognized option '" + a.option() + "'"};
    }
  }
  const std::vector<std::string>& operands = a.operands();
  if (operands.empty()) throw UsageError{"missing DESIGNATION"};
  if (operands.size() > 1) throw UsageError{"one DESIGNATION at a time: extra operand '" + operands[1] + "'"};
  if (o.stationsGiven && o.naca.table_stations)
    throw UsageError{"--stations and --table-stations exclude each other"};
  if (o.selig && o.decimalsGiven)
    throw UsageError{"--decimals is for the section data file: selig coordinates have 7 decimals"};
  o.designation = operands[0];
  return o;
}

}  // namespace

int RunNacaCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<Options> options;
  std::string text;
  try {
    options = Parse(args, out);
    if (!options) return 0;
    try {
      text = options->selig ? SeligText(NacaCoordinates(options->designation, options->naca))
                            : SectionFileText(NacaSection(options->designation, options->naca), options->naca.decimals);
    } catch (const Error& e) {
      // What the library refuses here is the command line: its designation or options.
      throw UsageError{e.what()};
    }
  } catch (const UsageError& e) {
    return UsageFailure(kProgram, e.text, err);
  }
  return WriteOutput(kProgram, options->out, [&] { return text; }, out, err);
}

}  // namespace tarvelo
