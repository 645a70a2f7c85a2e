// The TARVELO window's own rules and screens, for programs that follow them:
// how the window names and checks its files, and its screens for a fit made
// by the library (<tarvelo/tarvelo.h>), as text or SVG.
//
// Threads: like the library, these keep no state of their own; any of them
// may be called from several threads at once.
#pragma once

#include <tarvelo/tarvelo.h>

#include <string>
#include <string_view>
#include <vector>

namespace tarvelo {

// The window's count field takes 4 to 20 control points.
inline constexpr int kWindowMostControlPoints = 20;

// ---- Names ---------------------------------------------------------------

// The window takes a file name only with a point fourth from its end
// (A.dat, B.FOI); of a shorter name the first character is looked at.
bool IsWindowFileName(std::string_view name);

// The .FOI file the window writes for a section data file: the name with its
// last four characters (its extension) replaced by ".FOI".
std::string FoilFileNameFor(std::string_view section_file);

// Type<NNN>.FOI in `directory` (a path ending in a separator, or empty), as
// the window names the output from a foil number NNN of three digits from
// 101 to 255. Blanks around the number are ignored. Throws Error (Usage)
// otherwise, saying which rule the number breaks.
std::string FoilNumberFileName(std::string_view directory, std::string_view number);

// ---- Screens -------------------------------------------------------------

// The screens of the TARVELO window, in the order Next Screen shows them.
enum class Screen { FirstPage, ThicknessFit, CamberFit, Graphic, ControlPoints };

// The file names a first page shows.
struct ScreenFiles {
  std::string input;   // "File read     : "
  std::string output;  // "File saved    : ", or "File not saved: " when not written
  bool output_written = true;
};

// A screen as the window shows it for the fit of a section (FitSection of
// that section): its 37 text lines, the blue prompt last. The graphic's
// lines are its texts only.
std::vector<std::string> ScreenText(Screen screen, const Section& section, const Fit& fit,
                                    const ScreenFiles& files);

// A screen as a standalone SVG document, text and drawing: for the graphic
// the chord line, the data points and both fitted curves.
std::string ScreenSvg(Screen screen, const Section& section, const Fit& fit, const ScreenFiles& files);

// A library Error as the window shows it on its red line: "  <file> - <Reason> !! ",
// or "   <Reason> !! " for one that names no file.
std::string WindowText(const Error& error);

}  // namespace tarvelo
