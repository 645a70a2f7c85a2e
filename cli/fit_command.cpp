#include "cli/fit_command.h"

#include <optional>
#include <ostream>

#include "fit/form.h"
#include "fit/run.h"
#include "fit/state.h"
#include "foilio/safe_write.h"
#include "screens/recording_display.h"
#include "screens/screens.h"
#include "screens/svg.h"

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
  std::string count = "8";
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
      o.count = value("-n", 2);
      if (!AllDigits(o.count))
        throw UsageError{"the number of control points takes digits only: '" + o.count + "'"};
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

void WriteLines(const Page& page, std::ostream& out) {
  for (const TextLine& line : page.lines) out << line.text() << '\n';
}

// The red line of a failed run, or the lines a run left when it stopped
// without one (too few data points). Empty when the first page is shown.
std::vector<std::string> Failure(const Page& page) {
  for (const TextLine& line : page.lines)
    for (const TextRun& run : line.runs)
      if (run.color == kRed && run.bold) return {line.text()};
  const bool firstPage =
      page.lines.size() > 10 && page.lines[10].text().rfind("File saved    : ", 0) == 0;
  if (firstPage) return {};
  std::vector<std::string> lines;
  for (const TextLine& line : page.lines)
    if (line.text().find_first_not_of(' ') != std::string::npos) lines.push_back(line.text());
  if (lines.empty()) lines.push_back("  run ended without a result");
  return lines;
}

// The foil number as the field takes it; the field's message when it makes no
// standard name (two digits make none, and give the range message here).
std::optional<std::string> FoilNumberMessage(State& s, MemoryForm& form,
                                             const std::string& number) {
  s.ErMsg.clear();
  const std::string before = s.OutFile;
  form.SetText(Field::Text4, number);
  std::string digits = number;
  digits.erase(0, digits.find_first_not_of(' '));
  digits.erase(digits.find_last_not_of(' ') + 1);
  if (s.ErMsg.empty() && digits.size() == 3 && s.OutFile != before) return std::nullopt;
  if (s.ErMsg.empty()) return std::string("   Numbers between 101 and 255 are allowed !!");
  return s.ErMsg;
}

// One file, as clicked in the file list and fitted with Start.
bool FitFile(const Options& o, const std::string& path, std::ostream& out, std::ostream& err) {
  State s;
  RecordingDisplay Picture1;
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash == 0 ? 1 : slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  MemoryForm form(s, Picture1, dir);

  form.SetText(Field::Text3, o.count);
  File1_Click(s, Picture1, form, name);
  if (o.out) form.SetText(Field::Text2, *o.out);
  if (o.foilNumber) {
    if (auto message = FoilNumberMessage(s, form, *o.foilNumber)) {
      err << *message << '\n';
      return false;
    }
  }

  Main(s, Picture1, form);
  const std::vector<std::string> failure = Failure(Picture1.page());
  if (!failure.empty()) {
    for (const std::string& line : failure) err << line << '\n';
    return false;
  }

  WriteLines(Picture1.page(), out);
  if (!o.screens && !o.svg) return true;
  // Cycle order from the first page: thickness, camber, graphic, control points.
  for (int press = 1; press <= 4; ++press) {
    Command3_Click(s, Picture1);
    if (press == 3) {
      if (o.svg && WriteFileSafely(*o.svg, PageToSvg(Picture1.page())).err != 0) {
        err << "  " << *o.svg << " - Output file could not be written !! \n";
        return false;
      }
    } else if (o.screens) {
      WriteLines(Picture1.page(), out);
    }
  }
  return true;
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
