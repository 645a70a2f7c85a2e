#include "foilio/foil_file.h"

#include "foilio/number_format.h"

namespace tarvelo {

std::string FoilFileText(const std::string& id, int ko, std::span<const double> x,
                         std::span<const double> yt, std::span<const double> yc) {
  std::string text = id + "\r\n";
  text += NumberItem(static_cast<double>(x.size())) + NumberItem(ko) + "\r\n";
  for (std::size_t j = 0; j < x.size(); ++j)
    text += FSt(3, 2, 5, WrittenX(x[j])) + FSt(3, 2, 5, yt[j]) + FSt(3, 2, 5, yc[j]) + "\r\n";
  return text;
}

}  // namespace tarvelo
