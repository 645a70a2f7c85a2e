// libFuzzer target for the .FOI reader and what is made of what it reads.
// Any bytes as a .FOI must be refused with the reader's Error (bad data), or
// give a spline of 4 to 80 points with x from 0 to 1 that:
// - written again and read back is read as it was written;
// - evaluates at any x in [0, 1] to finite values, or refuses (overflow);
// - exports in every format of the table, with its defaults and with the
//   fewest points, as a whole file without "inf" or "nan", or refuses
//   (overflow).
#include <tarvelo/tarvelo.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>

#include "foilio/foil_file.h"
#include "foilio/xml_text.h"

#include "lib/cad_module.h"

namespace {

using tarvelo::Error;
using tarvelo::ErrorKind;
using tarvelo::FoilSpline;

[[noreturn]] void Fault(const std::string& what) {
  std::fprintf(stderr, "check failed: %s\n", what.c_str());
  std::abort();
}

std::string FilePath() {
  static const std::string path = "/tmp/tarvelo-fuzz-" + std::to_string(::getpid()) + ".FOI";
  return path;
}

void Write(const std::string& bytes) {
  std::ofstream out(FilePath(), std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Reads the file, or returns false after checking the refusal.
bool Read(FoilSpline& foil) {
  try {
    foil = tarvelo::ReadFoilFile(FilePath());
    return true;
  } catch (const Error& e) {
    const std::string text = e.what();
    if (e.kind() != ErrorKind::BadData || !text.starts_with(FilePath() + ": ") || e.subject() != FilePath())
      Fault("refusal: " + text);
    return false;
  }
}

void CheckShape(const FoilSpline& foil) {
  const std::size_t n = foil.control_x.size();
  if (foil.order != 4 || n < tarvelo::kFewestControlPoints || n > tarvelo::kMostControlPoints || foil.thickness.size() != n || foil.camber.size() != n)
    Fault("sizes");
  if (foil.control_x.front() != 0 || foil.control_x.back() != 1 ||
      !std::is_sorted(foil.control_x.begin(), foil.control_x.end()))
    Fault("control x");
}

// The refusals an evaluation or export of a good spline may give.
void CheckRefusal(const Error& e, const std::string& what) {
  if (e.kind() != ErrorKind::Overflow) Fault(what + ": " + e.what());
}

void CheckEvaluate(const FoilSpline& foil) {
  for (double x : {0.0, 1.0, 0.5, 1e-300, 0.01, std::nextafter(1.0, 0.0), 0.3333333333333333}) {
    try {
      const FoilSpline::Value v = foil.Evaluate(x);
      if (!std::isfinite(v.thickness) || !std::isfinite(v.camber)) Fault("Evaluate not finite");
    } catch (const Error& e) {
      CheckRefusal(e, "Evaluate");
    }
  }
}

// The export without what the ID line put in it, in lower case.
std::string Numbers(std::string bytes, const std::string& id) {
  std::string xml;
  tarvelo::AppendXmlText(xml, id);
  for (const std::string& text : {id, xml, tarvelo::StepString(id)}) {
    if (text.empty()) continue;
    for (std::size_t at = bytes.find(text); at != std::string::npos; at = bytes.find(text, at))
      bytes.erase(at, text.size());
  }
  for (char& c : bytes) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return bytes;
}

void CheckExports(const FoilSpline& foil) {
  for (const tarvelo::ExportFormat& f : tarvelo::ExportFormats()) {
    for (const auto& [points, layoff] : {std::pair{0, tarvelo::Layoff::Vertical}, {2, tarvelo::Layoff::Vertical},
                                         {0, tarvelo::Layoff::Across}, {2, tarvelo::Layoff::Across}}) {
      if (points != 0 && f.default_points == 0) continue;
      if (layoff == tarvelo::Layoff::Across && !f.takes_layoff) continue;
      tarvelo::ExportOptions options;
      options.layoff = layoff;
      // A section without camber takes none.
      if (f.needs_size) options.size = {0.12, tarvelo::HasCamber(foil) ? 0.02 : 0.0};
      options.points = points;
      std::string bytes;
      try {
        try {
          bytes = tarvelo::Export(foil, f.name, options);
        } catch (const Error& e) {
          // A camber nowhere above 0 is stored unnormalised: only a scale of
          // 1 gives it back, and the export says so.
          if (!f.needs_size || e.kind() != ErrorKind::Usage ||
              std::string(e.what()).find("the stored camber is nowhere above 0") == std::string::npos)
            throw;
          options.size.camber = 1;
          bytes = tarvelo::Export(foil, f.name, options);
        }
      } catch (const Error& e) {
        // Open CASCADE makes the STEP face, and refuses an outline that
        // bounds none (flat, or crossing itself).
        if (std::string(f.name) == "step" && e.kind() == ErrorKind::BadData && e.subject() == "the section") continue;
        CheckRefusal(e, f.name);
        continue;
      }
      if (bytes.empty() || bytes.back() != '\n') Fault(std::string(f.name) + ": not whole lines");
      // A STEP file is plain ASCII, whatever the section's name holds.
      if (std::string(f.name) == "step" &&
          std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c < 0x20 || c > 0x7E) && c != '\n'; }))
        Fault("step: a byte that is not printable ASCII");
      const std::string numbers = Numbers(bytes, foil.id_line);
      if (numbers.find("inf") != std::string::npos || numbers.find("nan") != std::string::npos)
        Fault(std::string(f.name) + ": not finite");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Write(std::string(reinterpret_cast<const char*>(data), size));
  FoilSpline foil;
  if (!Read(foil)) return 0;
  CheckShape(foil);

  // What is written of it is read back as written.
  const std::string text =
      tarvelo::FoilFileText(foil.id_line, foil.order, foil.control_x, foil.thickness, foil.camber);
  Write(text);
  FoilSpline again;
  if (!Read(again)) Fault("the file written of it is refused");
  if (tarvelo::FoilFileText(again.id_line, again.order, again.control_x, again.thickness, again.camber) != text)
    Fault("read back differently");

  CheckEvaluate(foil);
  CheckExports(foil);
  return 0;
}
