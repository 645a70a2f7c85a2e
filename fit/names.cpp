#include "fit/names.h"

namespace tarvelo {

bool HasExtensionPoint(std::string_view name) {
  if (name.empty()) return false;
  const std::size_t from = name.size() >= 4 ? name.size() - 4 : 0;
  return name[from] == '.';
}

std::string FoilFileOf(std::string_view name) {
  return std::string(name.substr(0, name.size() >= 4 ? name.size() - 4 : 0)) + ".FOI";
}

std::string FoilNumberName(std::string_view digits) { return "Type" + std::string(digits) + ".FOI"; }

std::string JoinPath(const std::string& P, const std::string& F) {
  if (P.empty()) return F;
  if (P.back() == '/') return P + F;
  return P + '/' + F;
}

}  // namespace tarvelo
