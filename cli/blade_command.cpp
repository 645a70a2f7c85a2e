#include "cli/blade_command.h"

#include "cli/arguments.h"
#include "cli/program.h"

#include <tarvelo/tarvelo.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

namespace tarvelo {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

constexpr const char* kProgram = "tarvelo-blade";

constexpr const char* kHelp =
    "Usage: tarvelo-blade [OPTION]... --section FILE.FOI TABLE\n"
    "Make a propeller blade from a radial table and a fitted section: its back,\n"
    "face and closing faces as B-spline surfaces within a tolerance of the blade\n"
    "the table defines, written as closed solids (STEP, IGES, STL), the sections'\n"
    "points (CSV) or pictures (SVG), beside TABLE and named from its stem.\n"
    "\n"
    "TABLE: lines starting with # are comments; 'diameter = 304.8 mm' and\n"
    "'blades = 3'; a line naming the columns r/R c/D P/D t0/c f0/c skew rake/D (skew\n"
    "in degrees, positive against the rotation; skew and rake may be left out;\n"
    "other columns are ignored), then a row of numbers per radius, separated by\n"
    "blanks or commas. A \"Propeller Geometry Table\" (Propeller Diameter = ...,\n"
    "Number of Blades = ..., a line of units under the names) is read too.\n"
    "\n"
    "      --section FILE.FOI  the fitted section (normalised thickness and camber)\n"
    "      --diameter D        the diameter in the output's unit (default: the\n"
    "                            table's)\n"
    "      --blades Z          the number of blades, 1 to 64 (default: the table's)\n"
    "      --units U           the output's length unit: mm, cm, m or in (default:\n"
    "                            the table's diameter's, else mm)\n"
    "      --tolerance TOL     how far the surfaces may lie from the blade, a\n"
    "                            fraction of D from 1e-9 to 1e-3 (default 1e-6)\n"
    "      --stl-tolerance TOL the STL's chordal tolerance, a fraction of D from\n"
    "                            1e-7 to 1e-2 (default 1e-4)\n"
    "      --planar            planar sections (wings, turbines): each stays in the\n"
    "                            plane z = r; exact in the chord direction, within\n"
    "                            1e-10 D radially\n"
    "      --left-handed       the mirror image (y -> -y)\n"
    "      --export LIST       what to write, of step, iges, stl, csv and svg,\n"
    "                            separated by commas (default step)\n"
    "  -o OUT                  write the one export to OUT\n"
    "      --output-dir DIR    write the files into DIR\n"
    "      --json              print what was made as one JSON object\n"
    "      --help              display this help and exit\n"
    "      --version           output version information and exit\n"
    "\n"
    "Every file is made before any is written: a table or section refused, or a\n"
    "solid Open CASCADE does not accept, leaves every earlier file as it was.\n"
    "\n"
    "Exit status:\n"
    " 0  every file was written,\n"
    " 1  the table, the section or a file failed,\n"
    " 2  the command line was not understood.\n";

struct Options {
  std::string table;
  std::string section;
  BladeOptions blade;
  std::vector<const BladeFormat*> formats;
  std::optional<std::string> out;
  std::optional<std::string> directory;
  bool json = false;
};

std::vector<const BladeFormat*> FormatsOf(const std::string& list) {
  std::vector<const BladeFormat*> formats;
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = std::min(list.find(',', from), list.size());
    const std::string name = list.substr(from, comma - from);
    try {
      const BladeFormat* f = &FindBladeFormat(name);
      if (std::find(formats.begin(), formats.end(), f) != formats.end())
        throw UsageError{"--export names " + name + " twice"};
      formats.push_back(f);
    } catch (const Error& e) {
      throw UsageError{"--export: " + e.reason()};
    }
    if (comma == list.size()) break;
    from = comma + 1;
  }
  return formats;
}

std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& out) {
  Options o;
  Arguments a(args);
  while (a.NextOption()) {
    if (AnswersHelpOrVersion(a, kProgram, kHelp, out)) return std::nullopt;
    if (a.Is("--section")) {
      o.section = a.Value();
    } else if (a.Is("--diameter")) {
      o.blade.diameter = Checked<double>(a.Value(), [](double d) { return d > 0 && d <= 1e6; },
                                         "--diameter takes a length above 0 and at most 1e6");
    } else if (a.Is("--blades")) {
      o.blade.blades = CountOf(a.Value(), "blades");
      if (o.blade.blades < 1 || o.blade.blades > 64) throw UsageError{"--blades takes 1 to 64"};
    } else if (a.Is("--units")) {
      o.blade.units = UnitsOption(a.Value());
    } else if (a.Is("--tolerance")) {
      o.blade.tolerance = Checked<double>(a.Value(), [](double t) { return t >= 1e-9 && t <= 1e-3; },
                                          "--tolerance takes a fraction of the diameter from 1e-9 to 1e-3");
    } else if (a.Is("--stl-tolerance")) {
      o.blade.stl_tolerance = Checked<double>(a.Value(), [](double t) { return t >= 1e-7 && t <= 1e-2; },
                                              "--stl-tolerance takes a fraction of the diameter from 1e-7 to 1e-2");
    } else if (a.IsFlag("--planar")) {
      o.blade.planar = true;
    } else if (a.IsFlag("--left-handed")) {
      o.blade.left_handed = true;
    } else if (a.Is("--export")) {
      o.formats = FormatsOf(a.Value());
    } else if (a.Is("--output-dir")) {
      o.directory = a.Value();
    } else if (a.Is("-o")) {
      o.out = a.Value();
    } else if (a.IsFlag("--json")) {
      o.json = true;
    } else {
      throw UsageError{"unrecognized option '" + a.option() + "'"};
    }
  }
  const std::vector<std::string>& operands = a.operands();
  if (operands.empty()) throw UsageError{"missing TABLE"};
  if (operands.size() > 1) throw UsageError{"one TABLE at a time: extra operand '" + operands[1] + "'"};
  if (o.section.empty()) throw UsageError{"missing --section FILE.FOI"};
  if (o.out && o.directory) throw UsageError{"-o and --output-dir exclude each other"};
  if (o.formats.empty()) o.formats = {&FindBladeFormat("step")};
  if (o.out && o.formats.size() != 1) throw UsageError{"-o takes one export; use --output-dir for several"};
  o.table = operands[0];
  return o;
}

// Where each export goes: -o OUT, or the table's stem and the format's
// ending, beside the table or in the directory.
std::string Target(const Options& o, const BladeFormat& f) {
  if (o.out) return *o.out;
  const fs::path table(o.table);
  const std::string name = table.stem().string() + f.file_ending;
  return (o.directory ? fs::path(*o.directory) / name : table.parent_path() / name).string();
}

Json Number(double v) { return std::isfinite(v) ? Json(v) : Json(nullptr); }

Json Report(const Blade& blade, const std::vector<std::pair<std::string, std::vector<SolidCheck>>>& written,
            double seconds) {
  Json j;
  j["diameter"] = blade.diameter;
  j["units"] = LengthUnitName(blade.units);
  j["blades"] = blade.blades;
  j["volume"] = blade.volume;
  j["expanded_area_ratio"] = blade.expanded_area_ratio;
  j["projected_area_ratio"] = blade.projected_area_ratio;
  j["tolerance"] = blade.tolerance;
  j["max_deviation"] = blade.max_deviation.deviation;
  j["max_deviation_r"] = blade.max_deviation.r;
  j["max_deviation_x"] = blade.max_deviation.x;
  j["max_deviation_side"] = blade.max_deviation.side;
  j["planar"] = blade.planar;
  j["left_handed"] = blade.left_handed;
  Json sections = Json::array();
  for (const BladeSection& s : blade.sections) {
    Json row;
    row["r/R"] = s.row.r;
    row["radius"] = s.radius;
    row["chord"] = s.row.chord * blade.diameter;
    row["pitch_angle_deg"] = s.pitch_angle_deg;
    Json properties;
    for (const PropertyField& field : PropertyFields()) properties[field.key] = Number(s.properties.*field.value);
    row["properties"] = properties;
    sections.push_back(row);
  }
  j["sections"] = sections;
  Json outputs = Json::array();
  for (const auto& [file, solids] : written) {
    Json o;
    o["file"] = TextAsUtf8(file);
    if (!solids.empty()) {
      Json checks = Json::array();
      for (const SolidCheck& s : solids)
        checks.push_back({{"valid", s.valid}, {"closed", s.closed}, {"volume", s.volume}, {"area", s.area}});
      o["solids"] = checks;
    }
    outputs.push_back(o);
  }
  j["outputs"] = outputs;
  j["seconds"] = seconds;
  return j;
}

}  // namespace

int RunBladeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const auto start = std::chrono::steady_clock::now();
  std::optional<Options> options;
  try {
    options = Parse(args, out);
    if (!options) return 0;
    for (const BladeFormat* f : options->formats) {
      const std::string target = Target(*options, *f);
      for (const std::string& input : {options->table, options->section})
        if (SameFile(input, target)) throw UsageError{target + ": the output would replace the input " + input};
    }
  } catch (const UsageError& e) {
    return UsageFailure(kProgram, e.text, err);
  }
  const Options& o = *options;
  std::vector<std::pair<std::string, std::string>> files;
  std::vector<std::pair<std::string, std::vector<SolidCheck>>> written;
  Blade blade;
  try {
    const BladeTable table = ReadBladeTable(o.table);
    const FoilSpline foil = ReadFoilFile(o.section);
    try {
      blade = MakeBlade(table, foil, o.blade);
    } catch (const Error& e) {
      if (e.kind() != ErrorKind::Usage) throw;
      return UsageFailure(kProgram, e.what(), err);
    }
    // Everything is made before anything is written.
    for (const BladeFormat* f : o.formats) {
      std::vector<SolidCheck> solids;
      files.push_back({Target(o, *f), f->write(blade, &solids)});
      written.push_back({files.back().first, solids});
    }
    for (const auto& [target, bytes] : files) WriteFileContents(target, bytes);
  } catch (const Error& e) {
    err << kProgram << ": " << e.what() << '\n';
    return 1;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (o.json) {
    out << Report(blade, written, seconds).dump() << '\n';
    return 0;
  }
  const std::string unit = LengthUnitName(blade.units);
  out << blade.blades << (blade.blades == 1 ? " blade" : " blades") << ", diameter " << blade.diameter << ' ' << unit << ", volume " << blade.volume << ' '
      << unit << "^3, expanded area ratio " << blade.expanded_area_ratio << ", projected "
      << blade.projected_area_ratio << '\n'
      << "largest deviation " << blade.max_deviation.deviation << ' ' << unit << " at r/R "
      << blade.max_deviation.r << ", x " << blade.max_deviation.x << ", " << blade.max_deviation.side
      << " (tolerance " << blade.tolerance << ' ' << unit << ")\n";
  for (const auto& [file, solids] : written) {
    out << "wrote " << file;
    if (!solids.empty()) out << ": " << solids.size() << (solids.size() == 1 ? " solid" : " solids") << ", valid and closed";
    out << '\n';
  }
  return 0;
}

}  // namespace tarvelo
