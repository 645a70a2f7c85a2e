// TARVELO as a library: read a foil section data file, fit its thickness and
// camber with cubic B-splines, write and read the .FOI file of control points,
// evaluate a fitted section at any chord position, and export it as a table
// or its outline at a given thickness and camber (Selig, DXF, SVG).
//
// Chord positions, thicknesses and cambers are fractions of the chord. A fit
// gives the same numbers, to the last bit, as the TARVELO window's run on the
// same file and count.
//
//   tarvelo::Section section = tarvelo::ReadSection("naca2412.dat");
//   tarvelo::Fit fit = tarvelo::FitSection(section, 8);
//   tarvelo::WriteFoilFile("naca2412.FOI", fit);
//   tarvelo::FoilSpline foil = tarvelo::ReadFoilFile("naca2412.FOI");
//   double t = foil.Evaluate(0.3).thickness;
//   std::string dxf = tarvelo::Export(foil, "dxf", {{0.12, 0.02}});
//
// Threads: the library keeps one process-wide thing, the record of the
// writes under way (their pending temporary files, and the files being
// rewritten in place), which the signal handlers of
// RemoveTemporaryFileOnSignals must reach; nothing else. Every function may
// be called from several threads at once, as long as no object one call
// writes is used by another at the same time (a const object may be shared).
// Writes of files from several threads are safe, to different files and to
// one file alike (the last complete write wins). Only
// RemoveTemporaryFileOnSignals changes the process: call it once at start.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo {

// ---- Errors ------------------------------------------------------------

// What kind of failure an Error is, for scripts to test; people read the
// message. ErrorKindName gives each its name in lower case.
enum class ErrorKind {
  NotFound,      // "not_found": no such file or directory, or a name that names none
  NotReadable,   // "not_readable": a directory, FIFO or device, no permission, a read error
  BadData,       // "bad_data": a file's content is not what its layout holds
  TooFewPoints,  // "too_few_points": fewer data points than the fit or the layout needs
  Singular,      // "singular": the fit's equations have no unique solution
  Overflow,      // "overflow": a value leaves the range the fit or an export can hold
  NotWritten,    // "not_written": an output file could not be written
  SameFile,      // "same_file": an output would replace an input
  Usage,         // "usage": an argument outside what the function takes
  NoMemory,      // "no_memory": not enough memory for the data
};

inline const char* ErrorKindName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::NotFound: return "not_found";
    case ErrorKind::NotReadable: return "not_readable";
    case ErrorKind::BadData: return "bad_data";
    case ErrorKind::TooFewPoints: return "too_few_points";
    case ErrorKind::Singular: return "singular";
    case ErrorKind::Overflow: return "overflow";
    case ErrorKind::NotWritten: return "not_written";
    case ErrorKind::SameFile: return "same_file";
    case ErrorKind::Usage: return "usage";
    case ErrorKind::NoMemory: return "no_memory";
  }
  return "unknown";
}

// Every failure of the library: a kind, for scripts to test, and a plain
// sentence for people. A failure that concerns a file (or another named
// thing) names it first: what() is "<subject>: <reason>", as in
// "naca2412.dat: invalid number in line 7"; else what() is the reason alone,
// as in "4 to 80 control points are allowed, not 3". Reasons begin in lower
// case and end without a full stop, so that a program can print
// "<program>: <what()>".
class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, const std::string& reason)
      : std::runtime_error(reason), kind_(kind), reason_(reason) {}
  Error(ErrorKind kind, const std::string& subject, const std::string& reason)
      : std::runtime_error(subject + ": " + reason), kind_(kind), has_subject_(true), subject_(subject),
        reason_(reason) {}
  ErrorKind kind() const noexcept { return kind_; }
  // Whether the failure concerns a file or named thing, and its name (which
  // may be empty: a file named "" is refused as such).
  bool has_subject() const noexcept { return has_subject_; }
  const std::string& subject() const noexcept { return subject_; }
  // What went wrong, without the subject.
  const std::string& reason() const noexcept { return reason_; }

 private:
  ErrorKind kind_;
  bool has_subject_ = false;
  std::string subject_;
  std::string reason_;
};

// ---- Text ----------------------------------------------------------------

// Names and ID lines are 8-bit text as files hold them, UTF-8 or a one-byte
// code page. As UTF-8: the bytes as they are when they are well-formed UTF-8
// (RFC 3629), else each byte read as Latin-1. Every program, the Python
// module and the window show such text this way.
std::string TextAsUtf8(std::string_view bytes);

// ---- Sections ------------------------------------------------------------

// An R.M.S. error per chord above this points to data that are not fair
// rather than to too few control points: it is the tolerance the count by
// tolerance takes when none is given.
inline constexpr double kFairnessLimit = 1.0E-4;

// A foil section as its data file gives it.
struct Section {
  std::string id_line;            // the file's first line, its bytes as read
  std::vector<double> x;          // chord position of each data point
  std::vector<double> thickness;  // the sum of the two thickness parts
  std::vector<double> camber;

  std::size_t points() const { return x.size(); }
};

// Throws Error (Usage) for a section that no data file could hold: an ID
// line with a line end, arrays of different lengths, values that are not
// finite, x outside 0..1 (a fraction of the chord, not percent) or decreasing. The file reader takes what the
// window takes instead; a section built in memory is checked with this.
void CheckSection(const Section& section);

// Reads a section data file (*.dat). Throws Error for a file the window's run
// refuses: one that cannot be opened, has no valid count, a bad number or too
// few records. A count of zero or less gives a section without points.
Section ReadSection(const std::filesystem::path& file);

// The same from the bytes of a section data file held in memory (standard
// input read whole, say); `name` names it in the messages.
Section ReadSectionText(std::string_view bytes, const std::string& name);

// How an import chooses the chord stations of the section.
struct ImportOptions {
  // Cosine-spaced stations x_i = (1 - cos(pi i / (stations - 1))) / 2,
  // i = 0 .. stations - 1: 5 to 401 of them.
  int stations = 41;
  // Instead, the leading edge and the upper surface's own chord positions,
  // each within 0..1.
  bool at_file_stations = false;
  // Instead, the chord positions of every given point of both surfaces and
  // of the interpolated outline halfway between them (upper_between,
  // lower_between of the ImportedSection), each within 0..1, with the
  // `stations` cosine-spaced ones: the stations the file's points need, so
  // that a fit sees every place where it is measured, and every knot span of
  // a fit holds some, however sparse the file's points. Positions closer
  // than 2e-8 of the chord, which a section data file prints alike, are one,
  // and so are those closer than 1e-5 in sqrt(x), the fit's own parameter,
  // which only a dense file has (a million points give about 100 000).
  bool at_every_point = false;
};

// A point of an outline as its coordinates are given.
struct CoordinatePoint {
  double x = 0;
  double y = 0;
};

// An outline held in memory, as a Selig file lists it: from the trailing
// edge over one surface round the leading edge and back along the other.
struct Coordinates {
  std::string name;  // becomes the section's ID line; one line, no CR or LF
  std::vector<CoordinatePoint> points;
};

// Where the chord of an imported outline came from.
enum class ImportFrame {
  Kept,        // the outline spanned x = 0..1 with its leading edge at (0, 0)
  Normalised,  // the outline was moved, turned and scaled onto the chord
};

// Chord coordinates = scale * R(-angle_deg) * (file point - shift): shift is
// the leading edge in the file's coordinates, angle_deg the chord line's angle
// from the file's x axis (counter-clockwise positive). A kept frame is 1, 0, (0, 0).
struct ImportTransform {
  ImportFrame frame = ImportFrame::Kept;
  double scale = 1;
  double angle_deg = 0;
  CoordinatePoint shift;
};

// "kept" or "normalised".
const char* ImportFrameName(ImportFrame frame);

// Behind the leading edge, this part of the chord is the nose, where a fit
// is held to the shape of the outline it was imported from.
inline constexpr double kNoseChord = 0.02;

// A change of sign of an outline's curvature: where it turns from bending one
// way to bending the other.
struct CurvatureChange {
  double x = 0;       // the chord position
  bool upper = true;  // on the upper surface, else the lower
};

// An outline made into a section, and everything the import did to it.
struct ImportedSection {
  // Exactly what ReadSection gives for the file SectionFileText makes of it:
  // what the file would print as zero is zero. Its ID line is the outline's
  // name, followed for a normalised frame by a short note of the transform,
  // as in "AG 35 [scaled 1.0023, turned 1.56 deg]".
  Section section;
  ImportTransform transform;
  // Each repair or doubt the section still imported with: a surface cut
  // short and continued, surfaces crossing at the trailing edge, a file
  // without a name line.
  std::vector<std::string> warnings;
  // The given points of each surface in chord coordinates, from the leading
  // edge to the trailing edge, repeated points included; a point at the
  // leading edge itself belongs to both.
  std::vector<CoordinatePoint> upper;
  std::vector<CoordinatePoint> lower;
  // The interpolated outline halfway along it between each two neighbouring
  // given points of a surface, the leading edge counting as the first, in
  // chord coordinates from the leading edge on: where a fitted outline is
  // measured between the file's points.
  std::vector<CoordinatePoint> upper_between;
  std::vector<CoordinatePoint> lower_between;
  // The interpolated outline's radius of curvature at its leading edge, per
  // chord: the nose radius of a smooth curve through the file's points.
  double le_radius = 0;
  // Where the interpolated outline's curvature changes sign within
  // kNoseChord of the leading edge, from the leading edge on.
  std::vector<CurvatureChange> nose_inflections;
};

// Reads the outline of a section from a coordinate file and gives its
// thickness and camber at the chosen stations. The layout is recognised from
// the content: Selig (a name line, then x y pairs round the outline from the
// trailing edge over the leading edge back to the trailing edge, either way)
// or Lednicer (a name line, the two surfaces' point counts, then each surface
// from the leading edge to the trailing edge). A first line of exactly two
// numbers is a point: the section is then named after the file's stem, with a
// warning. Two whole numbers first that do not count the points after them
// are taken as a Selig point when the outline can start there.
//
// The outline is interpolated by a parametric cubic spline. An outline whose
// points span x = 0 to 1 with the foremost at (0, 0), both within 1e-4, and
// whose interpolated outline reaches no farther ahead of x = 0 than 1e-5 of
// the chord, is kept in its own frame; any other is normalised: its leading
// edge (the point of the interpolated outline farthest from the trailing
// edge) goes to (0, 0), the trailing edge to (1, 0). The trailing edge is the end of the longer surface when the other
// stops short of it in x by more than the two ends differ across (that
// surface is continued by a straight line, with a warning), else the middle
// of the two ends, the shorter surface being extended at its last slope. At
// each station thickness = y_upper - y_lower and camber =
// (y_upper + y_lower) / 2. Surfaces that cross behind 99 % of the chord are
// kept, with a warning saying where and by how much.
//
// Throws Error, in the window's form of file message, for a file that cannot
// be read (NotFound, NotReadable), a bad number (naming its line), a file of
// neither layout, a point far off the outline, points out of order, an
// outline listed from its leading edge, a surface of fewer than 5 points or
// one that turns back in the chord direction, surfaces that cross ahead of
// the last 1 % of the chord (all BadData), and a station count outside
// 5..401 (Usage).
ImportedSection ImportOutline(const std::filesystem::path& file, const ImportOptions& options = {});

// The same for an outline in memory. Messages name the outline by its name
// and its points by their number from 1. Throws Error (BadData) for a point
// that is not finite, and (Usage) for a name holding a line end.
ImportedSection ImportOutline(const Coordinates& outline, const ImportOptions& options = {});
// From the bytes of a coordinate file held in memory; `name` names it in the
// messages.
ImportedSection ImportOutlineText(std::string_view bytes, const std::string& name,
                                  const ImportOptions& options = {});

// ImportOutline(file, options).section.
Section ImportCoordinates(const std::filesystem::path& file, const ImportOptions& options = {});

// The transform as the programs report it, e.g. "frame normalised: scale
// 1.00231, angle 1.5602 deg, shift 0.0012 -0.00041"; "frame kept" for a kept one.
std::string ImportTransformText(const ImportTransform& transform);

// The bytes of the section data file of a section, as the window reads it:
// the ID line, the count, and per point x, the two halves of the thickness
// and the camber in percent of the chord with six decimals, lines ending in
// CR LF. Write them with WriteFileContents. Throws Error (Usage) for an ID
// line that holds a CR or LF.
std::string SectionFileText(const Section& section);

// The same with `decimals` of a percent: 6 as above, in columns of 11
// characters, or 4, in columns of 8 (the bundled examples' layout). Throws
// Error (Usage) for any other count.
std::string SectionFileText(const Section& section, int decimals);

// ---- Fitting -------------------------------------------------------------

// The library fits 4 to 80 control points and a .FOI holds as many, in its
// one layout for any count: an outline with a fine nose and a sharp
// trailing edge needs more than 40 of uniform knots. A search for the fewest
// tries 4 to kSearchedControlPoints unless told more.
inline constexpr int kFewestControlPoints = 4;
inline constexpr int kMostControlPoints = 80;
inline constexpr int kSearchedControlPoints = 20;

// How each data point is placed on the fitted curves: at the parameter t
// where the chordwise spline x(t) reaches the point's chord position. Each
// placement is a row of PlacementMethods(), named as --placement takes it:
//
// "window", the default: the window's search, Newton's method from t = x, at
//   most six steps, to 1e-6 of the chord. Every number is the window's. Near
//   the leading edge (below about x = 0.005) it stops short, and the data
//   there are fitted at the wrong chord position: Fit::misplaced_points says
//   how many.
// "exact": t in [0, 1] with x(t) = x to full double precision, by Newton's
//   method kept inside a bracket (bisecting where a step would leave it), for
//   every x in [0, 1], the nose and the ends included. Its x-spline is t^2 to
//   full precision too (the window's is, to its single-precision divisors),
//   so the control points' x may differ from the window's in the last bits.
struct PlacementMethod {
  const char* name;         // as --placement takes it: "window", "exact"
  const char* description;  // a line for the help
};

// Every placement, the default first.
const std::vector<PlacementMethod>& PlacementMethods();

// The placement called `name`; Error (Usage) naming the placements for another.
const PlacementMethod& FindPlacement(std::string_view name);

inline constexpr const char* kDefaultPlacement = "window";

// A data point placed more than this from its own chord position (per chord)
// counts as misplaced.
inline constexpr double kPlacementTolerance = 1.0E-6;

struct FitOptions {
  int control_points = 8;  // kFewestControlPoints to kMostControlPoints
  std::string placement = kDefaultPlacement;  // the name of one of PlacementMethods()
  // The curves' largest deviations at each data point's own chord position
  // (CurveFit::max_deviation) and between the data points
  // (CurveFit::between_deviation): with the window's placement they take an
  // exact placement of every point besides. Without, they are left at 0, as
  // the window's run, which does not show them, fits.
  bool deviations = true;
};

// One fitted curve: thickness or camber.
struct CurveFit {
  // Largest value of the curve as read, never below 0. When it is above 0 the
  // curve is fitted normalised (divided by it); otherwise as it is.
  double ymax = 0;
  std::vector<double> control;  // ordinates of the control points, normalised
  // R.M.S. error per chord, as the listing gives it: from the differences at
  // the data points' parameters (their own chord positions with the exact
  // placement).
  double rms = 0;
  // The largest |fit(x_i) - y_i| per chord (scaled like rms), the fitted
  // curve evaluated at the data point's own chord position x_i (its
  // parameter found exactly, whatever the placement), and the first x_i
  // where it occurs.
  double max_deviation = 0;
  double max_deviation_x = 0;
  // The largest |fit(x) - data curve(x)| per chord (scaled like rms)
  // anywhere from the first data point to the last, between them as well as
  // at them, and the first x where it is. The data curve is the cubic in
  // sqrt(x) through each interval's ends and the nearest data points beside
  // them at least half its width away: what the data say of the curve between
  // them, to the fourth order of their spacing. Near max_deviation for a
  // fit the data carry; far above it where the curve swings between the
  // data points, as too many control points for too few data points make it.
  double between_deviation = 0;
  double between_deviation_x = 0;
  // At each data point: the normalised fitted value, and fitted minus data as
  // the fit computes it, in single precision.
  std::vector<double> fitted;
  std::vector<float> difference;
};

// The fit of a section: x(t), thickness(t) and camber(t) are cubic B-splines
// of one parameter t in [0, 1] on one clamped uniform knot vector.
struct Fit {
  std::string id_line;
  int control_points = 0;
  int order = 4;
  std::string placement = kDefaultPlacement;
  std::vector<double> knots;      // control_points + order knots
  std::vector<double> control_x;  // x of the control points: x(t) = t^2
  // Chord position of the fitted curves at each data point's parameter; it
  // differs from the data x where the window's search stopped at its step
  // limit, close to the leading edge.
  std::vector<double> x;
  // The data points whose x above differs from their own chord position by
  // more than kPlacementTolerance, and the largest difference, per chord.
  int misplaced_points = 0;
  double largest_misplacement = 0;
  CurveFit thickness;
  CurveFit camber;
};

// Fits thickness and camber. Throws Error for a count outside
// kFewestControlPoints..kMostControlPoints, too few data points for the
// count (at least control_points + 1 are needed), a singular system, or
// values that leave the single-precision range.
Fit FitSection(const Section& section, const FitOptions& options);
// The same with the window's placement.
Fit FitSection(const Section& section, int control_points);

// How the error of a fit is judged against a tolerance.
enum class ErrorMeasure {
  Rms,               // CurveFit::rms
  MaxDeviation,      // CurveFit::max_deviation
  OutlineDeviation,  // OutlineDeviationOf, for a section imported from an outline
};

// How far the fitted outline at the section's own size lies from the points
// of the file it was imported from: the largest normal distance of a given
// point from the fitted surface it belongs to, per chord, and where; and the
// same between the given points, for the interpolated outline halfway
// between each two neighbours (ImportedSection::upper_between and
// lower_between), where a fit that only passes near the points may swing off.
struct OutlineDeviation {
  double deviation = 0;
  double x = 0;         // the chord position of that point
  bool upper = true;    // on the upper surface, else the lower
  double between = 0;
  double between_x = 0;
  bool between_upper = true;
};

OutlineDeviation OutlineDeviationOf(const Fit& fit, const ImportedSection& imported);

// The nose of a fitted outline at the section's own size against the
// outline it was imported from, within kNoseChord of the leading edge: what
// the fit adds that the file's points do not have.
struct NoseCheck {
  // The fitted outline's leading-edge radius (OutlineProperties::le_radius;
  // 0 where the outline has no properties), and the interpolated outline's
  // (ImportedSection::le_radius), per chord.
  double le_radius = 0;
  double data_le_radius = 0;
  // The fitted outline's curvature sign changes within kNoseChord that the
  // interpolated outline lacks: on each surface, each that no sign change of
  // the interpolated outline's on that surface answers, the nearest answering.
  std::vector<CurvatureChange> added;
  // The largest distance of the interpolated outline from the fitted one
  // halfway between the given points within kNoseChord, per chord, and where.
  double between = 0;
  double between_x = 0;
  bool between_upper = true;
};

// A fitted nose radius within this ratio of the data's, either way, has the
// data's shape; one farther off is said.
inline constexpr double kNoseRadiusRatio = 1.5;

NoseCheck CheckNose(const Fit& fit, const ImportedSection& imported);

// Whether a nose radius is within kNoseRadiusRatio of the data's either way.
bool NoseRadiusKept(const NoseCheck& nose);

// A count of control points chosen for a tolerance, and its fit.
struct CountChoice {
  int control_points = 0;
  // The errors are at most the tolerance, and the data carry the curves.
  bool reached = false;
  Fit fit;
  // The fit's error by the measure: the worse curve's, or for the outline
  // the larger of its deviations at and between the given points.
  double error = 0;
  // Whether the data carry its curves (see FewestControlPoints).
  bool carried = true;
  // For a section imported from an outline: its nose.
  std::optional<NoseCheck> nose;
};

// Between the data points a curve strays from what the data say when it
// lies farther from the data's curve (CurveFit::between_deviation) than the
// tolerance or this many times its own largest deviation at the data points,
// whichever is larger: as far off as a fit's own error at the data, and no
// more than a few times that, a fit may lie where the data have no point;
// a curve of too many control points for the data swings off by millions of
// times it.
inline constexpr double kStrayFactor = 10;

// The worse curve's between deviation over what the data allow it: the
// tolerance or kStrayFactor times its largest deviation at the data points,
// whichever is larger. At most 1, the data carry the fit; a search one count
// at a time judges each count by it as FewestControlPoints does.
double StrayRatio(const Fit& fit, double tolerance);

struct CountOptions {
  // Per chord: a positive normal number, up to the largest double; any other
  // (0, below 0, subnormal, NaN, infinite) is refused with Error (Usage).
  double tolerance = kFairnessLimit;
  ErrorMeasure measure = ErrorMeasure::Rms;
  std::string placement = kDefaultPlacement;
  // The counts searched: kFewestControlPoints to this, at most kMostControlPoints.
  int most_control_points = kSearchedControlPoints;
};

// The smallest count from 4 to options.most_control_points for which the
// errors of both curves are at most the tolerance and the data carry the
// curves: neither strays between the data points (kStrayFactor). For
// OutlineDeviation the error is the fitted outline's largest distance at or
// between the given points, and the data carry the fit only where its nose
// adds no curvature sign change the interpolated outline lacks
// (NoseCheck::added). When no count reaches the tolerance, the count with
// the smallest error among those the data carry; when the data carry none,
// the one that strays least. Counts the section refuses (too few data
// points, a singular system) are skipped; when it refuses every count,
// throws the Error of the smallest. The fit chosen is the one FitSection
// gives for that count, to the last bit.
CountChoice FewestControlPoints(const Section& section, const CountOptions& options);
// The same with the default placement and counts.
CountChoice FewestControlPoints(const Section& section, double tolerance, ErrorMeasure measure);
// For a section imported from an outline, by any measure: OutlineDeviation
// asks that the fitted outline lie within the tolerance of every given point.
CountChoice FewestControlPoints(const ImportedSection& imported, const CountOptions& options);

// Writes the .FOI file of a fit: the ID line, the count and the order, and x,
// thickness and camber of each control point with five decimals, lines ending
// in CR LF. The file is replaced only when the new one is complete; on failure
// an earlier file of that name is left as it was (for a file rewritten in
// place, see WriteFileContents). Throws Error (Usage) for an ID line that
// holds a CR or LF: it would read back as other data.
void WriteFoilFile(const std::filesystem::path& file, const Fit& fit);

// The bytes WriteFoilFile writes.
std::string FoilFileBytes(const Fit& fit);

// Writes bytes as the whole content of a file, as safely as WriteFoilFile:
// the file is replaced only when the new one is complete, and an earlier file
// of that name is kept when anything fails. A file that must keep its inode
// (several hard links, or a directory the caller may not write to) is
// rewritten in place: room for the new content is claimed first, so a full
// disk fails before it changes, and the signals that end a program wait, in
// the writing thread, until it is whole; should the write fail after it has
// begun, the Error says the file is damaged. Throws Error (NotWritten)
// naming why: "output file could not be written: no room left on the
// device", and so on.
void WriteFileContents(const std::filesystem::path& file, std::string_view bytes);

// True when the two names name one file: the same device and inode where the
// file exists, else the same path once resolved.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Throws Error (SameFile) "  <output> - Output file is the input file !! "
// when the two name one file: what is made of a file must never replace it.
void CheckNotInput(const std::filesystem::path& input, const std::filesystem::path& output);

// Makes the signals that end a program and may be caught (SIGHUP, SIGINT,
// SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU, SIGVTALRM, SIGPROF,
// SIGPIPE) remove every temporary file that a write of this library has
// pending, in any thread, before the program ends as the signal would end
// it; so no half-written file is left beside a target. One that comes while
// a file is rewritten in place waits until the file is whole. A signal the
// program ignores, or handles itself, is left to it: a program that ignores
// SIGPIPE goes on to hear EPIPE. SIGXFSZ is ignored, so that a write past the
// file-size limit fails ("file too large") instead of ending the program.
// Programs call it once at start, after any handlers of their own.
//
// The record these handlers read is the one process-wide state the library
// keeps: a handler is given nothing but the signal's number, so the writes
// under way must be where it can find them. It takes no lock, so that a
// handler may read it at any moment, and holds a name's room for each write
// that was ever pending at once.
void RemoveTemporaryFileOnSignals();

// The largest thickness and camber of a section outline, fractions of the
// chord: the thickness above 0 and at most 1, the camber from -1 to 1 (0 for
// a symmetric section, below 0 for one cambered downwards). Each multiplies
// its stored curve, which a fit normalised to a largest value of 1; a curve
// that has no positive value is stored as it was read, and a size of 1
// gives it back (OwnSize).
struct OutlineSize {
  double thickness = 0;
  double camber = 0;
};

// A fitted section as its .FOI file holds it.
struct FoilSpline {
  std::string id_line;
  int order = 4;
  std::vector<double> control_x;  // from 0 to 1, in the file's five decimals
  std::vector<double> thickness;  // normalised control ordinates
  std::vector<double> camber;
  // The section's own size, where it is known: a FoilSpline made of a Fit
  // (FoilSplineOf) knows it, one read from a .FOI does not.
  std::optional<OutlineSize> own_size;

  struct Value {
    double thickness = 0;  // normalised
    double camber = 0;     // normalised
  };
  // Thickness and camber at chord position x in [0, 1]: the parameter t with
  // x(t) = x is found to full double precision, then both curves are
  // evaluated there. Throws Error (Usage) for x outside [0, 1] and for a
  // spline of other than 4 to 80 control points or whose control x do not run
  // from 0 to 1 without turning back; Error (Overflow) where a value would be
  // beyond the range of a double.
  Value Evaluate(double x) const;
};

// Reads a .FOI file. Throws Error, naming the line, for a file that cannot be
// read or is malformed: bad counts, an order other than 4, bad numbers,
// control point x not running from 0 to 1, or anything but blanks after the
// last control point.
FoilSpline ReadFoilFile(const std::filesystem::path& file);
// The same from the bytes of a .FOI held in memory; `name` names it in the
// messages.
FoilSpline ReadFoilText(std::string_view bytes, const std::string& name);


// The section's own size: what the fit divided each curve by, its largest
// value where that is above 0, else 1; a camber of 0 for a section without
// camber (HasCamber), which takes no other. The outline at this size is the
// section as it was read.
OutlineSize OwnSize(const Fit& fit);

// Whether the stored section has a camber: a camber control point other than
// 0. A section without one, as a fit of a symmetric section stores it, is
// drawn with a camber of 0 alone: every outline, export and property of it
// refuses another, and its outlines are named symmetric.
bool HasCamber(const FoilSpline& foil);

// The fitted section as a .FOI file would hold it, before the file's
// rounding to five decimals.
FoilSpline FoilSplineOf(const Fit& fit);

// The outline of a stored section at a given size. Thickness, camber and x
// share one knot vector and one basis, so each surface is exactly a cubic
// B-spline on that knot vector, with control points (x_j, F c_j + T t_j / 2)
// above and (x_j, F c_j - T t_j / 2) below.
struct OutlineSpline {
  std::vector<double> knots;  // clamped uniform: control points + 4, from 0 to 1
  std::vector<double> x;      // chord positions of the control points
  std::vector<double> upper;  // ordinates of the upper surface's control points
  std::vector<double> lower;  // and of the lower surface's
};

// With te_thickness, the trailing edge made that thick (a fraction of the
// chord, from 0 to size.thickness): (te_thickness - the outline's own
// trailing-edge thickness) * x is added to the thickness, on the control
// points, so that the outline stays a pair of cubic B-splines on the same
// knots; it no longer has exactly the largest thickness size.thickness.
// Throws Error for a size or a trailing-edge thickness outside the ranges
// above, and Error (Overflow) for a control point beyond the range of a double.
OutlineSpline SectionOutline(const FoilSpline& foil, const OutlineSize& size,
                             std::optional<double> te_thickness = std::nullopt);

// The most chord positions an export or CosineStations takes.
inline constexpr int kMostExportPoints = 100000;

// count chord positions from 0 to 1, closer together towards both edges:
// x_i = (1 - cos(pi i / (count - 1))) / 2. Throws Error (Usage) for fewer
// than 2 or more than kMostExportPoints.
std::vector<double> CosineStations(int count);

// ---- Exports ------------------------------------------------------------

// The exports of a stored section, each as the bytes of a whole file, lines
// ending in LF. Every number is written with a decimal point, whatever the
// locale, and is finite: where one would not be, the export throws Error
// (Overflow) instead.

// The length unit of an outline drawn at a chord length.
enum class LengthUnit { None, Millimetre, Centimetre, Metre, Inch };

// "mm", "cm", "m", "in" (and "" for None), and back; Error (Usage) naming
// the units for another name.
const char* LengthUnitName(LengthUnit unit);
LengthUnit FindLengthUnit(std::string_view name);

// How an outline's surfaces are laid off from its mean line. Vertical: at the
// same chord position x, y = camber +- thickness / 2, as SectionOutline
// draws them. Across: normal to the mean line, as published section tables
// lay them off: with theta = atan(d camber / dx) at x, the upper surface at
// (x - thickness / 2 sin theta, camber + thickness / 2 cos theta) and the
// lower at (x + thickness / 2 sin theta, camber - thickness / 2 cos theta).
// The thickness and camber laid off are the same either way: only where
// they are laid off differs, and an outline without camber is the same.
enum class Layoff { Vertical, Across };

// "vertical", "across", and back; Error (Usage) naming both for another name.
const char* LayoffName(Layoff layoff);
Layoff FindLayoff(std::string_view name);

struct ExportOptions {
  OutlineSize size;  // the outline's largest thickness and camber (formats that need it)
  // Cosine-spaced chord positions (per surface for an outline), from 2 to
  // kMostExportPoints; 0 for the format's default. Exact formats take none.
  int points = 0;
  // The chord positions themselves instead, each from 0 to 1 (formats that
  // take stations only).
  std::vector<double> stations;
  // An outline at this chord length in `units` (formats that need a size):
  // its coordinates multiplied by it, and the drawing's units set: from the
  // smallest normal double to 1e6. 0 and LengthUnit::None: in chord units,
  // as the formats have always written.
  double chord = 0;
  LengthUnit units = LengthUnit::None;
  // The outline's trailing edge made this thick (a fraction of the chord,
  // from 0 to size.thickness) as SectionOutline makes it: every format that
  // draws the outline draws it so. Unset: as the section has it.
  std::optional<double> te_thickness = std::nullopt;
  // How the surfaces are laid off from the mean line (formats that draw the
  // outline's coordinates, ExportFormat::takes_layoff). Across, with
  // te_thickness, lays off the thickened section's thickness.
  Layoff layoff = Layoff::Vertical;
};


// One export format. ExportFormats() lists them all; the window's dialog, the
// programs' options, their help and the Python module are made from it.
struct ExportFormat {
  const char* name;         // as --format takes it: "table", "selig", "dxf", "svg"
  const char* title;        // as the window lists it
  const char* description;  // what the file holds, in a line or two
  const char* file_ending;  // after the .FOI's base name: "-table.txt", ".dxf"
  const char* file_filter;  // for a file dialog: "DXF drawings (*.dxf)"
  bool needs_size;          // takes ExportOptions::size and te_thickness
  bool takes_stations;      // takes ExportOptions::stations
  bool takes_layoff;        // draws outline coordinates: takes ExportOptions::layoff Across
  int default_points;       // the default of ExportOptions::points; 0 for an exact format
  std::string (*write)(const FoilSpline& foil, const ExportOptions& options);
};

// Every export format, in the order the window and the help list them.
const std::vector<ExportFormat>& ExportFormats();

// The format called `name`; Error (Usage) naming the formats for another name.
const ExportFormat& FindExportFormat(std::string_view name);

// The export of `foil` in the format called `name`. Throws Error (Usage) for
// an unknown format, options the format does not take (a size other than
// {0, 0} for a format that needs none among them), a size, a chord length or
// a trailing-edge thickness out of range, a point count outside
// 2..kMostExportPoints, or Layoff::Across for a format that does not take it.
std::string Export(const FoilSpline& foil, std::string_view format, const ExportOptions& options);
// The same in a format a program has looked up already (FindExportFormat).
std::string Export(const FoilSpline& foil, const ExportFormat& format, const ExportOptions& options);

// Each format on its own:
//
// "table": normalised thickness and camber, one line per chord position,
// "x thickness camber" with 8 decimals, values from FoilSpline::Evaluate.
std::string ExportTable(const FoilSpline& foil, const std::vector<double>& stations);

// "selig": Selig coordinates, as panel codes read them: a name line (the ID
// line, then " t/c=" and " f/c=" with the size), then the outline from the
// trailing edge over the upper surface to the leading edge and back along
// the lower one, points_per_surface cosine-spaced stations each, the leading
// edge once; x and y with 7 decimals. An ID line with a CR or LF is refused
// (Usage), as the name line must stay one line.
std::string ExportSelig(const FoilSpline& foil, const OutlineSize& size, int points_per_surface);

// "dxf": a DXF drawing (AutoCAD 2000) of the exact outline: two SPLINE
// entities of degree 3 on the layers UPPER and LOWER, with the knots and
// control points of SectionOutline, in chord units.
std::string ExportDxf(const FoilSpline& foil, const OutlineSize& size);
//
// With Layoff::Across (Export only):
// - "selig" writes the same cosine stations x of the chord, each surface's
//   point the formula of Layoff at x computed exactly (so the upper
//   surface's x may go below 0 near a cambered nose); the leading edge once,
//   at x = 0.
// - "dxf", "svg" and "step" write an outline that is no longer a polynomial
//   spline: each surface is approximated by a cubic B-spline of its own
//   knots and control points, piecewise cubic Hermite in the foil's
//   parameter (each knot span of the foil halved into pieces where the
//   approximation needs it, every interior knot twofold: C1, as the outline
//   itself is at the foil's knots), within 1e-9 of the chord of the exact
//   outline at the same parameter, sampled 16 times a piece. They are then
//   not exact. A section that needs a piece shorter than 2^-40 of a knot
//   span is refused (Overflow) rather than drawn farther off. A trailing edge that
//   is open is closed by a line between the surfaces' actual end points.
// - An outline drawn without camber is the same either way, and written as
//   with Layoff::Vertical, exactly.
// - The name of the outline (the Selig name line, the SVG title) gives the
//   largest thickness and camber of the section's curves, which Across lays
//   off unchanged.
// Thread-safe as every export.

// "svg": an SVG drawing of the exact outline, scaled to a chord of 1000
// units with y upwards: the chord line and each surface as a path of cubic
// Bezier segments, one per knot interval, converted from the B-spline by
// knot insertion.
std::string ExportSvg(const FoilSpline& foil, const OutlineSize& size);

// ---- Section properties -------------------------------------------------

// What a designer needs of a section outline: lengths in fractions of the
// chord, areas in chord^2, second moments in chord^4, the angle in degrees.
// Thickness and camber are taken at one chord position, the surfaces being
// y = camber +- thickness / 2 there, as the exports draw them.
struct OutlineProperties {
  double max_thickness = 0;  // the largest thickness, and the first x where it is
  double max_thickness_x = 0;
  double max_camber = 0;  // the largest and the smallest camber, each with its first x
  double max_camber_x = 0;
  double min_camber = 0;
  double min_camber_x = 0;
  // The limit of y_t^2 / (2 x) at the leading edge, y_t half the thickness:
  // infinite for a leading edge that has a thickness.
  double le_radius = 0;
  double te_thickness = 0;
  double te_angle_deg = 0;  // between the tangents of the two surfaces at the trailing edge
  double area = 0;
  double centroid_x = 0;
  double centroid_y = 0;
  // Second moments of area about the axes through the centroid parallel to
  // the chord (ixx, of y) and normal to it (iyy, of x), and the product
  // moment ixy, the integral of (x - centroid_x) (y - centroid_y).
  double ixx = 0;
  double iyy = 0;
  double ixy = 0;
};

// One figure of OutlineProperties: its key (as the JSON export names it),
// its title (as the window shows it) and where it is held. PropertyFields()
// lists them all in the order above.
struct PropertyField {
  const char* key;    // "max_thickness", "le_radius", ...
  const char* title;  // "Largest thickness", ...
  double OutlineProperties::*value;
};
const std::vector<PropertyField>& PropertyFields();

// The properties of the outline SectionOutline(foil, size, te_thickness)
// draws, computed from its splines exactly: each integral by Gauss-Legendre
// quadrature on every knot span, with enough points for the polynomial
// degree, and each extreme where the derivative of its cubic vanishes.
// Throws Error (Usage) as SectionOutline does, and as Export does for a
// camber that a stored camber nowhere above 0 cannot be scaled by.
OutlineProperties SectionProperties(const FoilSpline& foil, const OutlineSize& size,
                                    std::optional<double> te_thickness = std::nullopt);

// ---- Standard sections ---------------------------------------------------

// How NacaSection and NacaCoordinates make a section.
struct NacaOptions {
  // Cosine-spaced stations, as an import takes them: 5 to 401.
  int stations = 41;
  // Instead the stations of the section's published table: for the four-
  // and five-digit, 16- and 6A-series sections the 26 stations 0, 0.5,
  // 0.75, 1.25, 2.5, 5, 7.5, 10, 15, 20 ... 95 and 100 % of the chord; for
  // the modified 66 the 18 of its table, 0, 1.25, 2.5, 5, 7.5, 10, 15, 20,
  // 30, 40, 45, 50, 60, 70, 80, 90, 95 and 100 %.
  bool table_stations = false;
  // Four- and five-digit sections: the thickness formula's last coefficient
  // -0.1036 in place of -0.1015, which closes the trailing edge.
  bool closed_te = false;
  // 16-series and modified 66 sections: the a-series mean line, its load
  // uniform from the leading edge to a of the chord, a from 0 to 1; unset,
  // a = 1 for the 16-series and the a = 0.8 (modified) table for the 66.
  std::optional<double> mean_line_a;
  // NacaSection: the stations are rounded to the decimals of a percent that
  // SectionFileText(section, decimals) prints (4 or 6), so that each value
  // is the section's at the chord position the file gives.
  int decimals = 6;
};

// A NACA section's thickness and camber at the stations, fractions of the
// chord, as a section data file holds them: both at the same chord position
// x, which is how an import decomposes an outline. `designation` is
//   "2412"      four digits: 2 % camber at 40 % of the chord, 12 % thick
//               (NACA Report 460);
//   "23012"     five, with a standard mean line 210 to 250 (Report 537);
//   "16-206"    16-series: design lift coefficient 0.2, 6 % thick, the
//               a-series mean line (Reports 763, 824);
//   "65A210"    6A-series: the NACA 65A010 thickness of its published table
//               (Report 903), scaled for another thickness than 10 %, with
//               the a = 0.8 (modified) mean line of its table at cli 0.2;
//   "66mod-212" the modified NACA 66 thickness of propeller sections, from
//               its published table (DTMB Report 1780), 12 % thick, with the
//               a = 0.8 (modified) mean line at cli 0.2, or the a-series
//               one of mean_line_a.
// The formulas are evaluated exactly; the tables give their own values at
// their stations and between them a not-a-knot cubic spline in sqrt(x)
// (thickness) or the cubic with the tabulated ordinates and slopes at both
// ends (mean line). The ID line names the section and its stations, as
// "NACA 2412, standard thickness and camber, 41 cosine-spaced stations".
// Throws Error (Usage) for any other designation (a 6-series one such as
// "66-012" among them), and for options the family does not take or out
// of range.
Section NacaSection(std::string_view designation, const NacaOptions& options = {});

// A section's outline as its coordinates: each surface from the leading
// edge to the trailing edge, fractions of the chord.
struct SectionCoordinates {
  std::string name;
  std::vector<double> upper_x, upper_y;
  std::vector<double> lower_x, lower_y;
};

// A NACA section's outline as published: at each station x, with half the
// thickness y_t, the camber y_c and theta = atan(dy_c/dx) there,
//   upper (x - y_t sin theta, y_c + y_t cos theta),
//   lower (x + y_t sin theta, y_c - y_t cos theta),
// the thickness laid off across the mean line (the upper surface of a
// cambered section reaches ahead of x = 0). The stations are those of
// NacaSection, unrounded: `decimals` is not used. The name is the ID line
// followed by ", thickness across the mean line". Throws as NacaSection.
SectionCoordinates NacaCoordinates(std::string_view designation, const NacaOptions& options = {});

// The Selig coordinate file of an outline: the name line, then from the
// trailing edge over the upper surface to the leading edge and back along
// the lower one (the leading edge once where both surfaces begin there),
// x and y with 7 decimals, lines ending in LF. Throws Error (Usage) for a
// name holding a line end or surfaces of fewer than 2 or unequal counts,
// Error (Overflow) for a coordinate that is not finite.
std::string SeligText(const SectionCoordinates& coordinates);

// ---- Propeller blades ----------------------------------------------------

// A propeller blade from a radial table and a fitted section. Right-handed,
// x along the shaft pointing downstream, the blade's reference line along +z.
// At radius r, with chord c, pitch angle phi = atan(P / (2 pi r)), largest
// thickness t0 = (t0/c) c and camber f0 = (f0/c) c, skew theta_s (radians,
// positive against the rotation) and rake x_R (positive downstream), the
// point at chord fraction x on the back (+) or the face (-) is
//
//   s = c (1/2 - x),   n = f0 F(x) +- t0 T(x) / 2
//   theta = -theta_s + (s cos phi - n sin phi) / r
//   X = x_R + r theta_s tan phi - s sin phi - n cos phi,  Y = r sin theta,  Z = r cos theta
//
// T and F being the foil's normalised thickness and camber at chord
// position x (taken at the foil's own parameter t, where x(t) = x). Left-
// handed: Y -> -Y. Planar sections: Y = r theta, Z = r. Every column is
// interpolated in r/R by a not-a-knot cubic spline (two rows: straight
// lines, three: a parabola).
//
// What is exact and what is within the tolerance: the surfaces are cubic
// B-splines fitted to that definition by interpolation, refined until every
// point of it lies within the tolerance of them on a dense sample in both
// directions (Blade::max_deviation says how far and where). The closing
// faces follow the same definition with n running across from the face to
// the back: the root on the cylinder of the first radius, the tip on that of
// the last (none where the last chord is zero: the blade ends in a point),
// and a blunt trailing edge (or leading edge) where the foil's thickness is
// not zero there. With planar sections each section is the foil's spline
// exactly in the chord direction (its control points mapped), and the
// radial direction is fitted to within kPlanarBladeTolerance of D. The
// volume, the area ratios and the sections' properties are the table's own,
// integrated exactly, not measured on the surfaces.

// A row of the table: r/R, and the rest as fractions of D or of the chord.
struct BladeRow {
  double r = 0;          // r/R, above 0, at most 1, increasing
  double chord = 0;      // c/D, above 0 but in the last row, which may be 0
  double pitch = 0;      // P/D
  double thickness = 0;  // t0/c, above 0, at most 1
  double camber = 0;     // f0/c, from -1 to 1
  double skew_deg = 0;   // skew, degrees, positive against the rotation
  double rake = 0;       // rake/D, positive downstream
  int line = 0;          // its line in the table's file; 0 for a row made in memory
};

struct BladeTable {
  std::vector<BladeRow> rows;  // at least 2
  double diameter = 0;         // D in `units`; 0: not given
  LengthUnit units = LengthUnit::None;
  int blades = 0;              // 0: not given
};

// Reads a radial table. Our own layout: lines starting with '#' are
// comments; "diameter = 304.8 mm" (mm, cm, m or in) and "blades = 3"; a
// header line naming the columns r/R c/D P/D t0/c f0/c skew rake/D in any
// order (skew in degrees; skew and rake may be missing and are then 0; other
// columns are ignored), then a row of numbers per line, separated by blanks
// or commas. Also a "Propeller Geometry Table" as an open propeller design
// code writes it: "Propeller Diameter = 0.3000 m", "Number of Blades = 4",
// the header r/R c/D t0/c f0/c P/D pitch skew rake/D and a units line under
// it. Throws Error (BadData) naming the line, and the column where there is
// one: a missing column, a row of the wrong length, a number that is not one
// or not finite, r/R not increasing or outside (0, 1], a chord not above 0
// before the last row, a thickness or camber out of range, an unknown unit,
// fewer than 2 rows.
BladeTable ReadBladeTable(const std::filesystem::path& file);
BladeTable ReadBladeTableText(std::string_view bytes, const std::string& name);

// The same checks of a table made in memory; `name` names it. Rows made in
// memory are named by their number from 1.
void CheckBladeTable(const BladeTable& table, const std::string& name);

// The default tolerance of the surfaces, a fraction of D.
inline constexpr double kBladeTolerance = 1e-6;
// The radial fit of planar sections, whose chord direction is exact.
inline constexpr double kPlanarBladeTolerance = 1e-10;
// The default chordal tolerance of an STL, a fraction of D.
inline constexpr double kBladeStlTolerance = 1e-4;

struct BladeOptions {
  double diameter = 0;  // D in the output's unit; 0: the table's
  int blades = 0;       // 0: the table's
  // The output's length unit; None: the table's, else mm. A table's
  // diameter in another unit is converted.
  LengthUnit units = LengthUnit::None;
  double tolerance = kBladeTolerance;  // a fraction of D, 1e-9 to 1e-3
  double stl_tolerance = kBladeStlTolerance;  // a fraction of D, 1e-7 to 1e-2
  bool planar = false;
  bool left_handed = false;
};

// A B-spline surface of the blade: full knot vectors, poles u fastest.
struct BladeSurface {
  std::string name;  // "back", "face", "root", "tip", "trailing edge", "leading edge"
  int degree_u = 3;
  int degree_v = 3;
  std::vector<double> knots_u;
  std::vector<double> knots_v;
  int count_u = 0;
  int count_v = 0;
  std::vector<std::array<double, 3>> poles;
};

// The largest distance found between the definition and the surfaces, in
// the output's unit, and where: r/R, the chord fraction x, and the surface
// (a closing face's point lies between the face and the back).
struct BladeDeviation {
  double deviation = 0;
  double r = 0;
  double x = 0;
  std::string side;
};

// A table row's section: its own figures at its chord, lengths in the
// output's unit.
struct BladeSection {
  BladeRow row;
  double radius = 0;
  double pitch_angle_deg = 0;
  OutlineProperties properties;
};

struct Blade {
  FoilSpline foil;
  std::vector<BladeRow> rows;
  double diameter = 0;
  LengthUnit units = LengthUnit::Millimetre;
  int blades = 1;
  bool planar = false;
  bool left_handed = false;
  double tolerance = 0;      // in the unit
  double stl_tolerance = 0;  // in the unit
  std::vector<BladeSurface> surfaces;
  BladeDeviation max_deviation;
  double volume = 0;  // all blades: Z times the integral of the section area over r
  double expanded_area_ratio = 0;   // Z times the integral of c over r, over pi R^2
  double projected_area_ratio = 0;  // the blades seen along the shaft, over pi R^2
  std::vector<BladeSection> sections;
};

// The blade of a table and a foil. Throws Error (Usage) for a diameter or a
// blade count that neither the table nor the options give, or out of range
// (D above 0 and at most 1e6, 1 to 64 blades), a tolerance out of range, a
// table CheckBladeTable refuses (BadData), and a chord or thickness that the
// interpolation between two rows takes to 0 or below (BadData).
Blade MakeBlade(const BladeTable& table, const FoilSpline& foil, const BladeOptions& options = {});

// The point of the definition at r/R and chord fraction x on the back
// (back = true) or the face, in the output's unit. Throws Error (Usage) for
// r/R outside the table's span or x outside 0..1.
std::array<double, 3> BladePoint(const Blade& blade, double r, double x, bool back);

// What Open CASCADE finds of each solid written: valid (BRepCheck), a
// closed shell, its volume and surface area in the output's unit.
struct SolidCheck {
  bool valid = false;
  bool closed = false;
  double volume = 0;
  double area = 0;
};

// One way to write a blade. BladeFormats() lists them; the program's
// --export and the Python module read the table.
struct BladeFormat {
  const char* name;         // "step", "iges", "stl", "csv", "svg"
  const char* file_ending;  // after the table's stem: ".step"
  const char* description;
  bool solid;  // made by the CAD module, with a check of each solid
  std::string (*write)(const Blade& blade, std::vector<SolidCheck>* solids);
};
const std::vector<BladeFormat>& BladeFormats();
// Error (Usage) naming the formats for another name.
const BladeFormat& FindBladeFormat(std::string_view name);

// The bytes of a blade's file: the Z solids as STEP (AP214, the length
// unit set), IGES or binary STL (within stl_tolerance of the faces); the
// 3-D points of each table radius's section as CSV; the expanded and
// projected outlines and the radial distributions as SVG. With `solids`, the
// check of each solid written. The solid formats need the CAD module:
// Error (NotFound) "<where it was looked for>: the CAD module is not
// installed" without it, and Error (BadData) when Open CASCADE does not
// accept the solids.
std::string ExportBlade(const Blade& blade, std::string_view format, std::vector<SolidCheck>* solids = nullptr);

}  // namespace tarvelo
