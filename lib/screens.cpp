// The window's screens for a fit held in the library's types: the shared
// state is filled as a completed run leaves it, and the screen is drawn on a
// recording display.
#include <tarvelo/tarvelo.h>

#include "screens/recording_display.h"
#include "state/state.h"
#include "screens/screens.h"
#include "screens/svg.h"

namespace tarvelo {

namespace {

// What every screen reads of a completed run.
State StateOf(Screen screen, const Section& section, const Fit& fit, const ScreenFiles& files) {
  State s;
  s.InFile = files.input;
  s.OutFile = files.output;
  if (files.output_written) s.SavedFile = files.output;
  s.IDLine = fit.id_line;
  const int nd = static_cast<int>(section.points());
  const int nv = fit.control_points;
  s.nd = nd;
  s.ncp = nv;
  s.ko = fit.order;
  if (screen == Screen::FirstPage) return s;

  s.xin.allocate(1, nd);
  s.yd.allocate(1, nd, 1, 2);
  s.xd.allocate(1, nd, 1, 2);
  s.yfit.allocate(1, nd, 1, 2);
  s.dy.allocate(0, nd, 1, 2);
  s.rms.allocate(1, 2);
  s.tk.allocate(1, nv + s.ko);
  s.xcp.allocate(1, nv);
  s.ycp.allocate(1, nv, 1, 2);
  s.b.allocate(1, nv, 0, s.ko);
  for (int j = 1; j <= nv + s.ko; ++j) s.tk(j) = fit.knots.at(static_cast<std::size_t>(j - 1));
  for (int k = 1; k <= 2; ++k) {
    const CurveFit& curve = k == 1 ? fit.thickness : fit.camber;
    const std::vector<double>& values = k == 1 ? section.thickness : section.camber;
    s.rms(k) = curve.rms;
    for (int j = 1; j <= nv; ++j) {
      const auto r = static_cast<std::size_t>(j - 1);
      s.xcp(j) = fit.control_x.at(r);
      s.ycp(j, k) = curve.control.at(r);
    }
    for (int i = 1; i <= nd; ++i) {
      const auto r = static_cast<std::size_t>(i - 1);
      s.xin(i) = section.x[r];
      s.yd(i, k) = curve.ymax > 0 ? values.at(r) / curve.ymax : values.at(r);
      s.xd(i, k) = fit.x.at(r);
      s.yfit(i, k) = curve.fitted.at(r);
      s.dy(i, k) = curve.difference.at(r);
    }
  }
  return s;
}

RecordingDisplay Drawn(Screen screen, const Section& section, const Fit& fit,
                       const ScreenFiles& files) {
  State s = StateOf(screen, section, fit, files);
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

std::string ScreenSvg(Screen screen, const Section& section, const Fit& fit,
                      const ScreenFiles& files) {
  return PageToSvg(Drawn(screen, section, fit, files).page());
}

}  // namespace tarvelo
