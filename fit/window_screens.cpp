// The window's screens for a fit of a section: the state as a completed run
// leaves it, the screen drawn on a recording display.
#include <tarvelo/window.h>

#include "screens/recording_display.h"
#include "screens/screens.h"
#include "screens/svg.h"
#include "state/state.h"

namespace tarvelo {

namespace {

RecordingDisplay Drawn(Screen screen, const Section& section, const Fit& fit, const ScreenFiles& files) {
  State s;
  s.InFile = files.input;
  s.OutFile = files.output;
  if (files.output_written) s.SavedFile = files.output;
  s.IDLine = fit.id_line;
  s.nd = static_cast<int>(section.points());
  s.ncp = fit.control_points;
  s.ko = fit.order;
  s.data = section;
  s.largest = {fit.thickness.ymax, fit.camber.ymax};
  s.fit = fit;
  RecordingDisplay Picture1;
  switch (screen) {
    case Screen::FirstPage: Print_FirstPage(s, Picture1); break;
    case Screen::ThicknessFit: List_Data1(s, Picture1); break;
    case Screen::CamberFit: List_Data2(s, Picture1); break;
    case Screen::Graphic: Draw_Graphic(s, Picture1); break;
    case Screen::ControlPoints: List_Foil_Camber(s, Picture1); break;
  }
  return Picture1;
}

}  // namespace

std::vector<std::string> ScreenText(Screen screen, const Section& section, const Fit& fit,
                                    const ScreenFiles& files) {
  return Drawn(screen, section, fit, files).page().texts();
}

std::string ScreenSvg(Screen screen, const Section& section, const Fit& fit, const ScreenFiles& files) {
  return PageToSvg(Drawn(screen, section, fit, files).page());
}

}  // namespace tarvelo
