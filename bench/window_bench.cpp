// Speed of the window's display area on long screens, and of the window's
// whole cycle on a dense section.
//
//   ListingScreen/N:  the thickness listing of a section of N points printed
//                     on the window's display area, its scroll bars set and
//                     the area painted: N rows, six more lines and the
//                     prompt. per_line is the time per printed line.
//   WindowCycle/N:    NACA 2412 at N cosine-spaced stations, picked in the
//                     window's file list: Start, each of the five Next
//                     Screens, then "Fewest control points" from the
//                     display area's menu, each until the window has painted
//                     what it shows (seconds of wall time, as a user waits);
//                     rss_MB the resident memory after it all, peak_MB the
//                     largest the process reached.
// Targets: a screen costs in proportion to its lines: at 100000 points the
// time per line within 1.2 of that at 10000 (BigO below says O(N)), and the
// whole screen within 0.5 s. At 1000000 points Start and every Next Screen
// within 2 s, and memory no more than a few times the data's.
// Runs without a display (the offscreen platform).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "app/picture_box.h"
#include "app/window.h"
#include "screens/screens.h"

namespace tarvelo {
namespace {

// The results of a fit of n points, as the listing reads them.
State ListedState(int n) {
  State s;
  s.nd = n;
  s.largest = {1, 0};
  Fit fit;
  fit.thickness.rms = 3.1e-5;
  for (int i = 1; i <= n; ++i) {
    const double x = 0.5 * (1 - std::cos(std::numbers::pi * (i - 1) / (n - 1)));
    const double y = 4 * x * (1 - x);
    s.data.x.push_back(x), s.data.thickness.push_back(y), s.data.camber.push_back(0);
    fit.x.push_back(x);
    fit.thickness.fitted.push_back(y + 1e-5), fit.thickness.difference.push_back(1e-5f);
    fit.camber.fitted.push_back(0), fit.camber.difference.push_back(0);
  }
  s.fit = fit;
  return s;
}

void ListingScreen(benchmark::State& st) {
  const int n = static_cast<int>(st.range(0));
  State s = ListedState(n);
  PictureBox pic;
  pic.resize(427, 528);
  pic.show();
  QApplication::processEvents();
  for (auto _ : st) {
    List_Data1(s, pic);
    // The scroll bars settle and the area paints, as after a press.
    QApplication::processEvents();
  }
  const auto lines = static_cast<double>(pic.page().size());
  st.counters["per_line"] =
      benchmark::Counter(static_cast<double>(st.iterations()) * lines,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  st.SetComplexityN(n);
}
BENCHMARK(ListingScreen)->Arg(10000)->Arg(100000)->Complexity()->Unit(benchmark::kMillisecond);

// NACA 2412 at n cosine-spaced stations: thickness and camber by the
// four-digit formulas, fractions of the chord.
Section Naca2412(int n) {
  Section s{"NACA 2412, " + std::to_string(n) + " cosine-spaced stations", {}, {}, {}};
  for (int i = 0; i < n; ++i) {
    const double x = 0.5 * (1 - std::cos(std::numbers::pi * i / (n - 1)));
    s.x.push_back(x);
    s.thickness.push_back(0.12 / 0.2 *
                          (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                           0.1015 * x * x * x * x));
    s.camber.push_back(x < 0.4 ? 0.02 / 0.16 * (0.8 * x - x * x) : 0.02 / 0.36 * (0.2 + 0.8 * x - x * x));
  }
  return s;
}

double ResidentMB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

double PeakMB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1e3;
}

// Seconds until the window has done `step` and painted what it shows.
template <class Step>
double Timed(Window& w, Step&& step) {
  QElapsedTimer clock;
  clock.start();
  step();
  QApplication::processEvents();
  (void)w.grab();
  return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

void WindowCycle(benchmark::State& st) {
  const int n = static_cast<int>(st.range(0));
  std::string dir = (std::filesystem::temp_directory_path() / "tarvelo-bench-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) {
    st.SkipWithError("no temporary directory");
    return;
  }
  const std::string file = dir + "/naca2412-dense.dat";
  {
    std::ofstream out(file, std::ios::binary);
    out << SectionFileText(Naca2412(n));
  }
  // The message box that tells the count set is closed at once; the
  // progress of the search is left to run.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->close();
  });
  closer.start(50);
  for (auto _ : st) {
    Window w;
    w.show();
    w.openDataFile(QString::fromStdString(file));
    QApplication::processEvents();
    auto* start = w.findChild<QPushButton*>(QStringLiteral("Command1"));
    auto* next = w.findChild<QPushButton*>(QStringLiteral("Command3"));
    st.counters["start_s"] = Timed(w, [&] { start->click(); });
    const char* screens[] = {"thickness_s", "camber_s", "graphic_s", "controls_s", "first_s"};
    for (const char* name : screens) st.counters[name] = Timed(w, [&] { next->click(); });
    auto* fewest = w.findChild<QAction*>(QStringLiteral("FewestControlPoints"));
    w.updateMenuActions();  // as the menu does when it opens
    st.counters["fewest_s"] = Timed(w, [&] {
      fewest->trigger();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    });
    st.counters["rss_MB"] = ResidentMB();
  }
  st.counters["peak_MB"] = PeakMB();
  std::filesystem::remove_all(dir);
}
BENCHMARK(WindowCycle)->Arg(1000000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace tarvelo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
