#include "foilio/coordinate_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <new>
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

// The items of a line, separated by blanks and tabs, one after the other.
class Items {
 public:
  explicit Items(std::string_view line) : line_(line) {}
  bool Next(std::string_view& item) {
    while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
    if (pos_ == line_.size()) return false;
    const std::size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t') ++pos_;
    item = line_.substr(start, pos_ - start);
    return true;
  }

 private:
  std::string_view line_;
  std::size_t pos_ = 0;
};

bool Whole(double v) { return std::trunc(v) == v; }

std::string Shortest(double v) {
  std::array<char, 32> buf{};
  return std::string(buf.data(), std::to_chars(buf.data(), buf.data() + buf.size(), v).ptr);
}

// A Selig outline starts and ends at the trailing edge (or, listed the wrong
// way, at the leading edge): its first point lies beside its last, well
// inside the size of the rest. Counts stand far off from it.
bool CanStartOutline(const std::vector<CoordinatePoint>& points) {
  if (points.size() < 2) return true;
  double lowX = HUGE_VAL, lowY = HUGE_VAL, highX = -HUGE_VAL, highY = -HUGE_VAL;
  for (std::size_t i = 1; i < points.size(); ++i) {
    lowX = std::min(lowX, points[i].x), highX = std::max(highX, points[i].x);
    lowY = std::min(lowY, points[i].y), highY = std::max(highY, points[i].y);
  }
  // Halved, so that no difference of finite values overflows.
  const auto half = [](double a, double b) { return a / 2 - b / 2; };
  const double size = std::hypot(half(highX, lowX), half(highY, lowY));
  const double gap = std::hypot(half(points.front().x, points.back().x),
                                half(points.front().y, points.back().y));
  return gap <= size / 4;
}

}  // namespace

CoordinateFile ReadCoordinateFile(const std::string& name) {
  detail::OpenCause cause = detail::OpenCause::Failed;
  const detail::Descriptor fd(detail::OpenForReading(name, cause));
  if (fd.get() < 0) throw detail::InputError(name, cause);
  struct stat st {};
  const std::size_t size = ::fstat(fd.get(), &st) == 0 && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0;
  ByteSource in(fd.get());
  return ReadCoordinates(in, name, size);
}

CoordinateFile ReadCoordinates(ByteSource& in, const std::string& name, std::size_t size) {
  const auto fail = [&name](const std::string& text) { throw detail::DataError(name, text); };
  const std::string neither = "not a Selig or Lednicer coordinate file: ";

  CoordinateFile file;
  std::vector<CoordinatePoint> pairs;
  std::vector<int> lines;
  // Room for a point every 16 bytes, as long as published files' lines are:
  // a large file is then read without copying, and memory is taken only
  // where points are stored.
  if (size > 0) {
    const auto room = size / 16;
    try {
      pairs.reserve(room);
      lines.reserve(room);
    } catch (const std::bad_alloc&) {
      // Then the points take their room as they come.
    }
  }
  std::string text;
  for (int line = 1; NextLine(in, text); ++line) {
    // Every item must be a number; the first line, unless it is two numbers,
    // is the name.
    Items items(text);
    std::array<double, 2> v{};
    std::size_t count = 0;
    bool numbers = true;
    for (std::string_view item; items.Next(item); ++count) {
      double value = 0;
      if (!detail::ParseNumber(item, value)) {
        if (line == 1) {
          numbers = false;
          break;
        }
        fail("invalid number in line " + std::to_string(line));
      }
      if (count < 2) v[count] = value;
    }
    if (line == 1 && (!numbers || count != 2)) {
      file.outline.name = text;
      continue;
    }
    if (count == 0) continue;
    if (count != 2) fail(neither + "line " + std::to_string(line) + " does not hold two numbers");
    if (line == 1) {
      file.named = false;
      file.outline.name = std::filesystem::path(name).stem().string();
    }
    pairs.push_back({v[0], v[1]});
    lines.push_back(line);
  }
  if (in.failed()) throw detail::InputError(name, detail::OpenCause::Failed);
  if (pairs.empty()) fail(neither + "no coordinates");

  // Lednicer: the counts of the two surfaces, then the surfaces themselves.
  const CoordinatePoint first = pairs.front();
  const double following = static_cast<double>(pairs.size() - 1);
  const bool whole = Whole(first.x) && Whole(first.y);
  if (whole && first.x >= 1 && first.y >= 1 && first.x + first.y == following) {
    const auto upper = static_cast<std::ptrdiff_t>(first.x);
    std::vector<CoordinatePoint>& points = file.outline.points;
    points.reserve(pairs.size() - 1);
    points.assign(std::make_reverse_iterator(pairs.begin() + 1 + upper),
                  std::make_reverse_iterator(pairs.begin() + 1));
    points.insert(points.end(), pairs.begin() + 1 + upper, pairs.end());
    file.lines.reserve(lines.size() - 1);
    file.lines.assign(std::make_reverse_iterator(lines.begin() + 1 + upper),
                      std::make_reverse_iterator(lines.begin() + 1));
    file.lines.insert(file.lines.end(), lines.begin() + 1 + upper, lines.end());
    return file;
  }
  if (whole && !CanStartOutline(pairs)) {
    const std::string at = "line " + std::to_string(lines.front());
    if (first.x < 1 || first.y < 1)
      fail(neither + at + " gives point counts below 1: " + Shortest(first.x) + " " + Shortest(first.y));
    fail(neither + at + " counts " + Shortest(first.x + first.y) + " points but " +
         Shortest(following) + " follow");
  }
  file.outline.points = std::move(pairs);
  file.lines = std::move(lines);
  return file;
}

}  // namespace tarvelo
