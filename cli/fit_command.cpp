#include "cli/fit_command.h"

#include "cli/arguments.h"
#include "cli/terminal.h"

#include <tarvelo/tarvelo.h>

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <new>
#include <nlohmann/json.hpp>
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
    "      --auto[=TOL]     the fewest control points (4 to 20) for which the\n"
    "                         R.M.S. errors of thickness and camber are both at\n"
    "                         most TOL per chord (default 1e-4)\n"
    "      --auto-max[=TOL] the same for the largest deviations\n"
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
    "                         max_deviation_x, control; or file and error\n"
    "      --svg FILE       write the graphic screen as an SVG document\n"
    "      --coordinates    each FILE holds the coordinates of an outline (Selig\n"
    "                         or Lednicer layout), cut into thickness and camber\n"
    "                         at 41 stations as tarvelo-import does\n"
    "      --help           display this help and exit\n"
    "      --version        output version information and exit\n"
    "\n"
    "-o, --foil-number and --svg take one input FILE, and no two of the input,\n"
    "the .FOI and the SVG file may be one file. When no count reaches TOL, the\n"
    "count whose worse curve has the smallest error is used, and said.\n"
    "A run that fails prints its message to standard error and the next FILE\n"
    "is fitted all the same. On a terminal, control characters in an ID line\n"
    "or a file name are shown as ^X.\n"
    "\n"
    "Exit status:\n"
    " 0  every FILE was fitted and its output file written,\n"
    " 1  a run failed,\n"
    " 2  the command line was not understood.\n";

// A tolerance as it is written back: the shortest text, "1e-4" rather than "1e-04".
std::string ToleranceText(double v) {
  std::array<char, 32> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v);
  std::string text(buf.data(), res.ptr);
  if (const auto e = text.find("e-0"); e != std::string::npos) text.erase(e + 2, 1);
  return text;
}

struct Options {
  int count = 8;
  bool countGiven = false;
  std::optional<ErrorMeasure> autoMeasure;
  std::string toleranceText = ToleranceText(kFairnessLimit);
  double tolerance = kFairnessLimit;
  std::optional<std::string> out;
  std::optional<std::string> foilNumber;
  std::optional<std::string> svg;
  bool screens = false;
  bool json = false;
  bool coordinates = false;
  std::vector<std::string> files;
};

// An operand after --auto that no file has but that reads as a number was
// meant as its tolerance: taken as a file, the run would fit the next file
// with the default and then fail on it.
void CheckNotATolerance(const std::string& option, const std::string& operand) {
  double v = 0;
  const auto res = std::from_chars(operand.data(), operand.data() + operand.size(), v);
  if (res.ec != std::errc() || res.ptr != operand.data() + operand.size()) return;
  std::error_code ec;
  if (std::filesystem::symlink_status(operand, ec).type() != std::filesystem::file_type::not_found) return;
  throw UsageError{"no file '" + operand + "': a tolerance goes with the option, use " + option + "=" +
                   operand};
}

double ToleranceOf(const std::string& text) {
  double v = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), v);
  if (res.ec != std::errc() || res.ptr != text.data() + text.size() || !std::isfinite(v) || v < 0)
    throw UsageError{"the tolerance is a number of at least 0: '" + text + "'"};
  return v;
}

// Returns nullopt after --help or --version, which are already answered.
std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& out) {
  Options o;
  Arguments a(args);
  while (a.NextOption()) {
    if (AnswersHelpOrVersion(a, kProgram, kHelp, out)) return std::nullopt;
    if (a.IsFlag("--screens")) {
      o.screens = true;
    } else if (a.IsFlag("--json")) {
      o.json = true;
    } else if (a.IsFlag("--coordinates")) {
      o.coordinates = true;
    } else if (a.Is("--auto") || a.Is("--auto-max")) {
      if (o.autoMeasure) throw UsageError{"--auto and --auto-max exclude each other"};
      o.autoMeasure = a.option().starts_with("--auto-max") ? ErrorMeasure::MaxDeviation
                                                           : ErrorMeasure::Rms;
      if (const auto tolerance = a.AttachedValue()) {
        o.toleranceText = *tolerance;
        o.tolerance = ToleranceOf(o.toleranceText);
      } else if (const auto operand = a.FollowingOperand()) {
        CheckNotATolerance(a.option(), *operand);
      }
    } else if (a.Is("-n")) {
      o.count = CountOf(a.Value(), "control points");
      o.countGiven = true;
    } else if (a.Is("-o")) {
      o.out = a.Value();
    } else if (a.Is("--foil-number")) {
      o.foilNumber = a.Value();
    } else if (a.Is("--svg")) {
      o.svg = a.Value();
    } else {
      throw UsageError{"unrecognized option '" + a.option() + "'"};
    }
  }
  o.files = a.operands();
  if (o.files.empty()) throw UsageError{"missing FILE"};
  if (o.out && o.foilNumber) throw UsageError{"-o and --foil-number exclude each other"};
  if (o.countGiven && o.autoMeasure) throw UsageError{"-n and --auto exclude each other"};
  if (o.screens && o.json) throw UsageError{"--screens and --json exclude each other"};
  if ((o.out || o.foilNumber || o.svg) && o.files.size() > 1)
    throw UsageError{"-o, --foil-number and --svg take one input FILE"};
  return o;
}

// The output name as the window makes it: from the file list's choice or
// the foil number (in the directory of the input file); or as -o says.
std::string OutputName(const Options& o, const std::string& path) {
  if (o.out) return *o.out;
  if (o.foilNumber) {
    const std::size_t slash = path.rfind('/');
    return FoilNumberFileName(slash == std::string::npos ? "" : path.substr(0, slash + 1), *o.foilNumber);
  }
  return FoilFileNameFor(path);
}

// No two of the input, the .FOI and the SVG file may be one file: writing
// one would destroy another. Throws the Error (SameFile) of a clash.
void CheckNoClash(const std::string& input, const std::string& output,
                  const std::optional<std::string>& svg) {
  CheckNotInput(input, output);
  if (!svg) return;
  CheckNotInput(input, *svg);
  if (SameFile(output, *svg))
    throw Error(ErrorKind::SameFile, "  " + *svg + " - SVG file is the .FOI file !! ");
}

// Text for JSON: as it is when it is UTF-8, else each byte as Latin-1.
std::string Utf8(const std::string& bytes) {
  try {
    (void)nlohmann::json(bytes).dump();
    return bytes;
  } catch (const nlohmann::json::type_error&) {
    std::string text;
    for (char c : bytes) {
      const auto u = static_cast<unsigned char>(c);
      if (u < 0x80) {
        text += c;
      } else {
        text += static_cast<char>(0xC0 | (u >> 6));
        text += static_cast<char>(0x80 | (u & 0x3F));
      }
    }
    return text;
  }
}

nlohmann::ordered_json CurveReport(const CurveFit& curve) {
  nlohmann::ordered_json j;
  j["ymax"] = curve.ymax;
  j["rms"] = curve.rms;
  j["max_deviation"] = curve.max_deviation;
  j["max_deviation_x"] = curve.max_deviation_x;
  j["control"] = curve.control;
  return j;
}

nlohmann::ordered_json Report(const std::string& path, const std::string& output,
                              const Section& section, const Fit& fit) {
  nlohmann::ordered_json j;
  j["file"] = Utf8(path);
  j["output"] = Utf8(output);
  j["id_line"] = Utf8(fit.id_line);
  j["points"] = section.points();
  j["control_points"] = fit.control_points;
  j["knots"] = fit.knots;
  j["control_x"] = fit.control_x;
  j["thickness"] = CurveReport(fit.thickness);
  j["camber"] = CurveReport(fit.camber);
  return j;
}

class FitFileRun {
 public:
  FitFileRun(const Options& o, std::ostream& out, std::ostream& err, bool terminal)
      : o_(o), out_(out), err_(err), terminal_(terminal) {}

  // One file, as clicked in the file list and fitted with Start.
  bool operator()(const std::string& path) {
    std::optional<Section> section;
    try {
      const std::string output = OutputName(o_, path);
      if (!IsWindowFileName(path))
        throw Error(ErrorKind::Usage, "  " + path + " as input file name invalid !!");
      if (!IsWindowFileName(output))
        throw Error(ErrorKind::Usage, "  " + output + " as output file name invalid !!");
      CheckNotInput(path, output);

      section = o_.coordinates ? ImportCoordinates(path) : ReadSection(path);
      const Fit fit = Fitted(path, *section);
      WriteFoilFile(output, fit);
      const ScreenFiles files{path, output, true};
      if (o_.json) {
        out_ << Report(path, output, *section, fit).dump() << '\n';
      } else {
        Show(ScreenText(Screen::FirstPage, *section, fit, files));
      }
      if (o_.screens) {
        for (Screen screen : {Screen::ThicknessFit, Screen::CamberFit, Screen::ControlPoints})
          Show(ScreenText(screen, *section, fit, files));
      }
      if (o_.svg) WriteFileContents(*o_.svg, ScreenSvg(Screen::Graphic, *section, fit, files));
      return true;
    } catch (const Error& e) {
      return Failed(path, e);
    } catch (const std::bad_alloc&) {
      const std::string points = section ? std::to_string(section->points()) : "its";
      return Failed(path, Error(ErrorKind::NoMemory,
                                "  " + path + " - Not enough memory for " + points + " data points !! "));
    }
  }

 private:
  Fit Fitted(const std::string& path, const Section& section) {
    if (!o_.autoMeasure) return FitSection(section, o_.count);
    CountChoice choice = FewestControlPoints(section, o_.tolerance, *o_.autoMeasure);
    if (!choice.reached) {
      err_ << kProgram << ": " << path << ": no count from 4 to 20 reaches " << o_.toleranceText
           << "; using " << choice.control_points << '\n';
    }
    return std::move(choice.fit);
  }

  void Show(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) out_ << (terminal_ ? ForTerminal(line) : line) << '\n';
  }

  bool Failed(const std::string& path, const Error& error) {
    const std::string& shown = error.shown();
    if (o_.json) {
      std::string message = shown;
      message.erase(0, message.find_first_not_of(' '));
      message.erase(message.find_last_not_of(' ') + 1);
      nlohmann::ordered_json j;
      j["file"] = Utf8(path);
      j["error"] = Utf8(message);
      j["error_kind"] = ErrorKindName(error.kind());
      out_ << j.dump() << '\n';
    }
    err_ << (terminal_ ? ForTerminal(shown) : shown) << '\n';
    return false;
  }

  const Options& o_;
  std::ostream& out_;
  std::ostream& err_;
  bool terminal_;
};

}  // namespace

int RunFitCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  bool terminal) {
  std::optional<Options> options;
  try {
    options = Parse(args, out);
    if (!options) return 0;
    // With one input, every name is known before anything is written.
    if (options->files.size() == 1) {
      const std::string& path = options->files.front();
      std::string output;
      try {
        output = OutputName(*options, path);
      } catch (const Error&) {
        output.clear();  // the foil number's own message comes with the run
      }
      if (!output.empty()) CheckNoClash(path, output, options->svg);
    }
  } catch (const UsageError& e) {
    return UsageFailure(kProgram, e.text, err, terminal);
  } catch (const Error& clash) {
    err << (terminal ? ForTerminal(clash.shown()) : clash.shown()) << '\n';
    return 2;
  }

  FitFileRun run(*options, out, err, terminal);
  int status = 0;
  for (const std::string& file : options->files)
    if (!run(file)) status = 1;
  return status;
}

}  // namespace tarvelo
