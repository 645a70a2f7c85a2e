#include "cli/fit_command.h"

#include <tarvelo/tarvelo.h>

#include <limits>
#include <optional>
#include <ostream>

namespace tarvelo {

namespace {

constexpr const char* kProgram = "tarvelo-fit";

constexpr const char* kHelp =
    "Usage: tarvelo-fit [OPTION]... FILE...\n"
    "Fit the thickness and camber of each foil section data FILE (*.dat) with\n"
    "cubic B-splines and write the control points to a .FOI file, as the\n"
    "TARVELO window does for a file chosen in its list when Start is pressed.\n"
    "\n"
    "  -n N                 number of control points, 4 to 20 (default 8)\n"
    "  -o OUT               output file (default: FILE with its last four\n"
    "                         characters replaced by .FOI)\n"
    "      --foil-number NNN  write Type<NNN>.FOI, NNN from 101 to 255, in the\n"
    "                         directory of FILE\n"
    "      --screens        print the four text screens (first page, thickness\n"
    "                         fit, camber fit, control points) instead of the\n"
    "                         first page alone\n"
    "      --svg FILE       write the graphic screen as an SVG document\n"
    "      --help           display this help and exit\n"
    "      --version        output version information and exit\n"
    "\n"
    "-o, --foil-number and --svg take one input FILE.\n"
    "A run that fails prints its message to standard error and the next FILE\n"
    "is fitted all the same.\n"
    "\n"
    "Exit status:\n"
    " 0  every FILE was fitted and its output file written,\n"
    " 1  a run failed,\n"
    " 2  the command line was not understood.\n";

struct Options {
  int count = 8;
  std::optional<std::string> out;
  std::optional<std::string> foilNumber;
  std::optional<std::string> svg;
  bool screens = false;
  std::vector<std::string> files;
};

struct UsageError {
  std::string text;
};

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// GNU-style options, in any order among the files; "--" ends the options.
// Returns nullopt after --help or --version, which are already answered.
std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& out) {
  Options o;
  bool optionsEnd = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (optionsEnd || a == "-" || a.empty() || a[0] != '-') {
      o.files.push_back(a);
      continue;
    }
    if (a == "--") {
      optionsEnd = true;
      continue;
    }
    auto value = [&](const std::string& name, std::size_t prefix) -> std::string {
      if (a.size() > prefix) return a.substr(a[prefix] == '=' ? prefix + 1 : prefix);
      if (i + 1 >= args.size()) throw UsageError{"option '" + name + "' requires an argument"};
      return args[++i];
    };
    if (a == "--help") {
      out << kHelp;
      return std::nullopt;
    }
    if (a == "--version") {
      out << "tarvelo-fit (TARVELO) 2.01\n";
      return std::nullopt;
    }
    if (a == "--screens") {
      o.screens = true;
    } else if (a.rfind("-n", 0) == 0) {
      const std::string count = value("-n", 2);
      if (!AllDigits(count))
        throw UsageError{"the number of control points takes digits only: '" + count + "'"};
      // Any count beyond the range is refused by the fit; keep it beyond.
      const std::size_t digits = count.find_first_not_of('0');
      o.count = digits == std::string::npos ? 0
                : count.size() - digits > 4 ? std::numeric_limits<int>::max()
                                             : std::stoi(count);
    } else if (a.rfind("-o", 0) == 0) {
      o.out = value("-o", 2);
    } else if (a.rfind("--foil-number", 0) == 0 && (a.size() == 13 || a[13] == '=')) {
      o.foilNumber = value("--foil-number", 13);
    } else if (a.rfind("--svg", 0) == 0 && (a.size() == 5 || a[5] == '=')) {
      o.svg = value("--svg", 5);
    } else {
      throw UsageError{"unrecognized option '" + a + "'"};
    }
  }
  if (o.files.empty()) throw UsageError{"missing FILE"};
  if (o.out && o.foilNumber) throw UsageError{"-o and --foil-number exclude each other"};
  if ((o.out || o.foilNumber || o.svg) && o.files.size() > 1)
    throw UsageError{"-o, --foil-number and --svg take one input FILE"};
  return o;
}

// A file name must have a point fourth from its end (A.dat, B.FOI), as the
// window's run demands of both names.
bool HasExtensionPoint(const std::string& name) {
  if (name.empty()) return false;
  return name[name.size() >= 4 ? name.size() - 4 : 0] == '.';
}

// Type<NNN>.FOI in the directory of the input file, from a foil number of
// three digits 101..255; otherwise the foil number field's message.
std::string FoilNumberFile(const std::string& path, std::string number) {
  number.erase(0, number.find_first_not_of(' '));
  number.erase(number.find_last_not_of(' ') + 1);
  if (!number.empty() && !AllDigits(number)) throw Error("   Only numbers are allowed !! ");
  if (number.size() > 3) throw Error("   Only the first 3 digits are used for filename !!");
  if (number.size() < 3 || number < "101" || number > "255")
    throw Error("   Numbers between 101 and 255 are allowed !!");
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  return dir + "Type" + number + ".FOI";
}

void WriteLines(const std::vector<std::string>& lines, std::ostream& out) {
  for (const std::string& line : lines) out << line << '\n';
}

// One file, as clicked in the file list and fitted with Start.
bool FitFile(const Options& o, const std::string& path, std::ostream& out, std::ostream& err) {
  try {
    // The output name as the file list makes it: the last four characters
    // of the input's name replaced.
    std::string output = path.substr(0, path.size() >= 4 ? path.size() - 4 : 0) + ".FOI";
    if (o.out) output = *o.out;
    if (o.foilNumber) output = FoilNumberFile(path, *o.foilNumber);
    if (!HasExtensionPoint(path)) throw Error("  " + path + " as input file name invalid !!");
    if (!HasExtensionPoint(output)) throw Error("  " + output + " as output file name invalid !!");

    const Section section = ReadSection(path);
    const Fit fit = FitSection(section, o.count);
    WriteFoilFile(output, fit);
    const ScreenFiles files{path, output, true};
    WriteLines(ScreenText(Screen::FirstPage, section, fit, files), out);
    if (o.screens) {
      for (Screen screen : {Screen::ThicknessFit, Screen::CamberFit, Screen::ControlPoints})
        WriteLines(ScreenText(screen, section, fit, files), out);
    }
    if (o.svg) WriteFileContents(*o.svg, ScreenSvg(Screen::Graphic, section, fit, files));
    return true;
  } catch (const Error& e) {
    err << e.shown() << '\n';
    return false;
  }
}

}  // namespace

int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<Options> options;
  try {
    options = Parse(args, out);
  } catch (const UsageError& e) {
    err << kProgram << ": " << e.text << "\nTry '" << kProgram << " --help' for more information.\n";
    return 2;
  }
  if (!options) return 0;

  int status = 0;
  for (const std::string& file : options->files)
    if (!FitFile(*options, file, out, err)) status = 1;
  return status;
}

}  // namespace tarvelo
