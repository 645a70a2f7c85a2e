// What NACA sections share inside the library: a section as its designation
// makes it, and the published tables some families are defined by.
#pragma once

#include <tarvelo/tarvelo.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo {

// A section as its designation and options make it, each a function of the
// chord position x (a fraction of the chord): half the thickness, the
// camber and the mean line's slope dy_c/dx; its ID line's words before the
// stations; and the stations of its published table.
struct NacaFamily {
  std::function<double(double)> half_thickness;
  std::function<double(double)> camber;
  std::function<double(double)> slope;
  std::string name;
  std::vector<double> table_stations;
};

// Throws Error (Usage) for a designation or options the families do not take.
NacaFamily RecognisedNaca(std::string_view designation, const NacaOptions& options);

// The 26 stations of the published tables of the four- and five-digit, 16-
// and 6A-series sections, fractions of the chord.
const std::vector<double>& PublishedTableStations();

// The published tables' sections and mean line, with the values between the
// stations interpolated (naca_tables.cpp says how):
// the NACA 65A010 thickness scaled to `thickness`,
NacaFamily SixFiveAThickness(double thickness);
// the modified NACA 66 thickness of propeller sections at `thickness`,
NacaFamily SixSixModThickness(double thickness);
// and the a = 0.8 (modified) mean line at the design lift coefficient cli,
// set into `family`'s camber and slope.
void AEightModifiedMeanLine(NacaFamily& family, double cli);

}  // namespace tarvelo
