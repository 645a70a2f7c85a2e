// How the window's run names and checks its files: the rules the file list,
// the foil number field and Start follow, and their texts.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// A file name must have a point fourth from its end (A.dat, B.FOI); of a
// shorter name the first character is looked at, and an empty name fails.
bool HasExtensionPoint(std::string_view name);

// The output foil file of a section data file: the last four characters of
// its name (the file list shows only *.dat names) replaced by ".FOI".
std::string FoilFileOf(std::string_view name);

// The foil number field: three digits from 101 to 255 name Type<nnn>.FOI.
inline constexpr int kFoilNumberDigits = 3;
inline constexpr double kFoilNumberLowest = 101;
inline constexpr double kFoilNumberHighest = 255;
std::string FoilNumberName(std::string_view digits);

inline constexpr const char* kFoilNumberNotDigits = "   Only numbers are allowed !! ";
inline constexpr const char* kFoilNumberTooLong = "   Only the first 3 digits are used for filename !!";
inline constexpr const char* kFoilNumberRange = "   Numbers between 101 and 255 are allowed !!";

// Joins a directory path and a name with one separator.
std::string JoinPath(const std::string& P, const std::string& F);

}  // namespace tarvelo
