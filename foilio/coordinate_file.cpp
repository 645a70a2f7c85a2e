#include "foilio/coordinate_file.h"

#include <tarvelo/tarvelo.h>

#include <algorithm>
#include <iterator>
#include <string_view>

#include "foilio/file_errors.h"
#include "foilio/items.h"

namespace tarvelo {

namespace {

using detail::ByteSource;

// The next line without its line end (CR LF, a bare CR or a bare LF); false
// at the end of the file.
bool NextLine(ByteSource& in, std::string& text) {
  text.clear();
  int c = in.get();
  if (c == detail::kEnd) return false;
  for (; c != detail::kEnd && c != '\r' && c != '\n'; c = in.get()) text += static_cast<char>(c);
  if (c == '\r' && in.peek() == '\n') in.get();
  return true;
}

// The items of a line, separated by blanks and tabs.
std::vector<std::string_view> Items(std::string_view line) {
  std::vector<std::string_view> items;
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] == ' ' || line[i] == '\t') {
      ++i;
      continue;
    }
    const std::size_t end = std::min(line.find_first_of(" \t", i), line.size());
    items.push_back(line.substr(i, end - i));
    i = end;
  }
  return items;
}

}  // namespace

Outline ReadCoordinateFile(const std::string& name) {
  detail::OpenCause cause = detail::OpenCause::Failed;
  const detail::Descriptor fd(detail::OpenForReading(name, cause));
  if (fd.get() < 0) throw detail::InputError(name, cause);
  const auto fail = [&name](const std::string& text) { throw detail::DataError(name, text); };
  const std::string neither = "Not a Selig or Lednicer coordinate file: ";

  ByteSource in(fd.get());
  Outline outline;
  std::vector<OutlinePoint> pairs;
  std::string text;
  for (int line = 1; NextLine(in, text); ++line) {
    if (line == 1) {
      outline.name = text;
      continue;
    }
    const std::vector<std::string_view> items = Items(text);
    double v[2] = {0, 0};
    for (std::size_t k = 0; k < items.size(); ++k) {
      double value = 0;
      if (!detail::ParseNumber(items[k], value))
        fail("Invalid number in line " + std::to_string(line));
      if (k < 2) v[k] = value;
    }
    if (items.empty()) continue;
    if (items.size() != 2) fail(neither + "line " + std::to_string(line) + " does not hold two numbers");
    pairs.push_back({v[0], v[1], line});
  }
  if (in.failed()) throw detail::InputError(name, detail::OpenCause::Failed);
  if (pairs.empty()) fail(neither + "no coordinates");

  // Lednicer: the counts of the two surfaces, then the surfaces themselves.
  int upper = 0;
  int lower = 0;
  const bool counts = detail::WholeCount(pairs[0].x, upper) && detail::WholeCount(pairs[0].y, lower) &&
                      upper >= 1 && lower >= 1;
  const std::size_t following = pairs.size() - 1;
  const std::size_t counted = static_cast<std::size_t>(upper) + static_cast<std::size_t>(lower);
  if (counts && counted == following) {
    const auto first = pairs.begin() + 1;
    const auto second = first + upper;
    outline.points.assign(std::make_reverse_iterator(second), std::make_reverse_iterator(first));
    outline.points.insert(outline.points.end(), second, pairs.end());
  } else if (counts && upper >= 2 && lower >= 2) {
    // Two whole numbers of 2 or more are counts, not a point of an outline.
    fail(neither + "line " + std::to_string(pairs[0].line) + " counts " + std::to_string(counted) +
         " points but " + std::to_string(following) + " follow");
  } else {
    outline.points = std::move(pairs);
  }
  return outline;
}

}  // namespace tarvelo
