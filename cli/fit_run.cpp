#include "cli/fit_run.h"

#include <tarvelo/window.h>

#include <array>
#include <charconv>
#include <new>
#include <ostream>

#include "cli/fit_naming.h"
#include "cli/fit_summary.h"
#include "cli/program.h"

namespace tarvelo {

namespace {

// Two significant digits, enough to say how far: "2.3e-6".
std::string Significant(double v) {
  std::array<char, 32> buf{};
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general, 2);
  std::string text(buf.data(), res.ptr);
  if (const auto e = text.find("e-0"); e != std::string::npos) text.erase(e + 2, 1);
  return text;
}

}  // namespace

FitFileRun::FitFileRun(const FitCommandOptions& o, Batch& batch)
    : o_(o), batch_(batch), notes_(!(o.quiet && o.json)) {}

std::string FitFileRun::operator()(const Input& input) {
  points_.reset();
  warnings_.clear();
  wroteFoil_.reset();
  wroteExports_.clear();
  const std::string output = FoilOutputName(o_, input.operand);
  if (WindowNamed(o_) && !IsWindowFileName(input.operand))
    throw Error(ErrorKind::Usage, input.operand, "input file name invalid: it has no point fourth from its end");
  try {
    const FitOutcome made = Made(input, output);
    Write(made, FilesOf(made));
    Show(made);
    return Row(made);
  } catch (const std::bad_alloc&) {
    const std::string points = points_ ? std::to_string(*points_) : "its";
    throw Error(ErrorKind::NoMemory, input.name, "not enough memory for " + points + " data points");
  }
}

FitOutcome FitFileRun::Made(const Input& input, const std::string& output) {
  FitOutcome made{input.name, output, {}, std::nullopt, {}, std::nullopt, std::nullopt};
  if (o_.coordinates) {
    made.imported = input.bytes ? ImportOutlineText(*input.bytes, input.name, o_.import)
                                : ImportOutline(input.operand, o_.import);
    for (const std::string& note : ImportNotes(*made.imported)) Note(input.name, note);
    if (o_.import.at_every_point && !o_.quiet)
      Note(input.name, std::to_string(made.imported->section.points()) +
                           " stations: the chord positions of the file's points, of its outline halfway between "
                           "them and " + std::to_string(kEveryPointCosineStations) +
                           " cosine-spaced ones, none closer than 1e-5 in the square root of x");
    warnings_ = made.imported->warnings;
    made.section = made.imported->section;
  } else {
    made.section = input.bytes ? ReadSectionText(*input.bytes, input.name) : ReadSection(input.operand);
  }
  points_ = made.section.points();
  FitCounted(made);
  Misplaced(made);
  if (made.imported) {
    made.nose = CheckNose(made.fit, *made.imported);
    Nose(made.name, *made.nose);
  }
  return made;
}

void FitFileRun::FitCounted(FitOutcome& made) {
  if (!o_.autoMeasure) {
    made.fit = FitSection(made.section, FitOptions{o_.count, o_.placement});
    return;
  }
  const CountOptions options{o_.tolerance, *o_.autoMeasure, o_.placement, o_.mostControlPoints};
  CountChoice choice =
      made.imported ? FewestControlPoints(*made.imported, options) : FewestControlPoints(made.section, options);
  made.reached = choice.reached;
  if (!choice.reached) {
    std::string text = "no count from 4 to " + std::to_string(o_.mostControlPoints) + " reaches " +
                       o_.toleranceText + " with curves the data carry; using " +
                       std::to_string(choice.control_points);
    if (choice.carried) {
      text += " (error " + Significant(choice.error) + ")";
    } else {
      const double stray = std::max(choice.fit.thickness.between_deviation, choice.fit.camber.between_deviation);
      text += ", whose curves stray least between the data points (up to " + Significant(stray) + " of the chord)";
    }
    Note(made.name, text);
  }
  made.fit = std::move(choice.fit);
}

// The window's search leaves data near the leading edge off their chord
// position: say so, and what places them exactly.
void FitFileRun::Misplaced(const FitOutcome& made) {
  const int n = made.fit.misplaced_points;
  if (n == 0) return;
  std::string text = std::to_string(n) +
                     (n == 1 ? " data point is fitted off its chord position"
                             : " data points are fitted off their chord positions") +
                     ", by up to " + Significant(made.fit.largest_misplacement) + " of the chord";
  if (made.fit.placement == kDefaultPlacement)
    text += n == 1 ? "; --placement=exact places it exactly" : "; --placement=exact places them exactly";
  Note(made.name, text);
}

// What the fitted nose does that the file's outline does not.
void FitFileRun::Nose(const std::string& name, const NoseCheck& nose) {
  for (const CurvatureChange& c : nose.added)
    Note(name, "warning: the fitted outline's curvature changes sign at x = " + Significant(c.x) + " on the " +
                   (c.upper ? "upper" : "lower") + " surface, within " + Significant(100 * kNoseChord) +
                   " % of the chord of its nose, where the file's outline does not");
  if (!NoseRadiusKept(nose))
    Note(name, "warning: the fitted nose radius " + Significant(nose.le_radius) + " is " +
                   Significant(nose.le_radius / nose.data_le_radius) + " times the file's outline's (" +
                   Significant(nose.data_le_radius) + ")");
}

// The .FOI, the fitted section at its own size in each format asked for,
// and the graphic.
FitFileRun::Files FitFileRun::FilesOf(const FitOutcome& made) const {
  Files files{FoilFileBytes(made.fit), {}, std::nullopt};
  if (!o_.exports.empty()) {
    const FoilSpline foil = FoilSplineOf(made.fit);
    for (const ExportFormat* f : o_.exports) {
      ExportOptions options;
      if (f->needs_size) {
        options.size = OwnSize(made.fit);
        options.chord = o_.chord;
        options.units = o_.units;
        options.te_thickness = o_.teThickness;
        options.layoff = o_.layoff;
      }
      files.exports.emplace_back(ExportName(made.output, *f), Export(foil, *f, options));
    }
  }
  if (o_.svg) files.svg = ScreenSvg(Screen::Graphic, made.section, made.fit, ScreenFiles{made.name, made.output, true});
  return files;
}

void FitFileRun::Write(const FitOutcome& made, const Files& files) {
  if (made.output == kStandardStream)
    batch_.out() << files.foil;
  else
    WriteFileContents(made.output, files.foil);
  wroteFoil_ = made.output;
  for (const auto& [name, bytes] : files.exports) {
    WriteFileContents(name, bytes);
    wroteExports_.push_back(name);
  }
  if (files.svg) WriteFileContents(*o_.svg, *files.svg);
}

void FitFileRun::Show(const FitOutcome& made) {
  if (o_.json) {
    batch_.out() << FitRecord(made, wroteExports_);
    return;
  }
  if (o_.quiet || made.output == kStandardStream) return;
  const ScreenFiles files{made.name, made.output, true};
  std::vector<Screen> screens{Screen::FirstPage};
  if (o_.screens) screens.insert(screens.end(), {Screen::ThicknessFit, Screen::CamberFit, Screen::ControlPoints});
  for (Screen screen : screens)
    for (const std::string& line : ScreenText(screen, made.section, made.fit, files))
      batch_.out() << batch_.Shown(line) << '\n';
}

std::string FitFileRun::Row(const FitOutcome& made) const {
  SummaryRow row{made.name, made.output, made.fit, std::nullopt, made.reached, warnings_, ""};
  if (made.imported) row.outline = OutlineDeviationOf(made.fit, *made.imported);
  return SummaryLine(row, o_.autoMeasure ? o_.toleranceText : "");
}

std::string FitFileRun::Failed(const Input& input, const FileFailure& failure) {
  if (o_.json) batch_.out() << FailureRecord(input.name, failure.message, failure.kind, wroteFoil_, wroteExports_);
  const SummaryRow row{input.name, wroteFoil_.value_or(""), std::nullopt, std::nullopt, std::nullopt, warnings_,
                       failure.message};
  return SummaryLine(row, "");
}

void FitFileRun::Note(const std::string& name, const std::string& text) {
  if (notes_) batch_.Note(name, text);
}

}  // namespace tarvelo
