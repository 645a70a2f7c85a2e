// Reads a section, fits it with 8 control points, prints both R.M.S. errors,
// writes the .FOI file and evaluates it at x = 0.3.
#include <tarvelo/tarvelo.h>

#include <iostream>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: fit_section SECTION.dat OUTPUT.FOI\n";
    return 2;
  }
  try {
    const tarvelo::Section section = tarvelo::ReadSection(argv[1]);
    const tarvelo::Fit fit = tarvelo::FitSection(section, 8);
    std::cout << "R.M.S. error / chord: thickness " << fit.thickness.rms << ", camber "
              << fit.camber.rms << '\n';

    tarvelo::WriteFoilFile(argv[2], fit);
    const tarvelo::FoilSpline foil = tarvelo::ReadFoilFile(argv[2]);
    const tarvelo::FoilSpline::Value at = foil.Evaluate(0.3);
    std::cout << "at x = 0.3: thickness " << at.thickness << ", camber " << at.camber
              << " (normalised)\n";
  } catch (const tarvelo::Error& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
}
