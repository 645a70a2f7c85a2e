// The radial table of a propeller: our own layout and the "Propeller
// Geometry Table" of an open propeller design code, told apart by nothing
// but their setting lines, which both may hold.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "foilio/file_errors.h"
#include "foilio/items.h"
#include "lib/blade.h"
#include "lib/foil.h"

namespace tarvelo {

namespace {

constexpr int kMostBlades = 64;

// The columns a table may name, where each goes in a row, and whether a
// table may leave it out.
struct Column {
  const char* name;
  double BladeRow::*value;
  bool needed;
};
constexpr Column kColumns[] = {
    {"r/R", &BladeRow::r, true},          {"c/D", &BladeRow::chord, true},
    {"P/D", &BladeRow::pitch, true},      {"t0/c", &BladeRow::thickness, true},
    {"f0/c", &BladeRow::camber, true},    {"skew", &BladeRow::skew_deg, false},
    {"rake/D", &BladeRow::rake, false},
};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Trim(std::string_view s) {
  const std::size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string_view::npos) return "";
  return std::string(s.substr(a, s.find_last_not_of(" \t\r") - a + 1));
}

// The words of a line, separated by blanks or commas.
std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line) {
    if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

std::optional<double> NumberOf(const std::string& word) {
  double v = 0;
  const auto res = std::from_chars(word.data(), word.data() + word.size(), v);
  if (res.ec != std::errc() || res.ptr != word.data() + word.size()) return std::nullopt;
  return v;
}

Error Bad(const std::string& name, const std::string& reason) { return Error(ErrorKind::BadData, name, reason); }

// "diameter = 304.8 mm" and "Propeller Diameter = 0.3000 m"; "blades = 3"
// and "Number of Blades = 4". Other settings are not ours and are passed over.
void Setting(const std::string& key, const std::string& value, int line, const std::string& name, BladeTable& t) {
  const std::string at = "line " + std::to_string(line) + ": ";
  const std::string k = Lower(key);
  if (k == "diameter" || k == "propeller diameter") {
    const std::vector<std::string> w = Words(value);
    const std::optional<double> d = w.empty() ? std::nullopt : NumberOf(w[0]);
    if (!d || !std::isfinite(*d) || !(*d > 0) || w.size() > 2)
      throw Bad(name, at + "the diameter must be a number above 0, with its unit: '" + value + "'");
    t.diameter = *d;
    if (w.size() == 2) {
      try {
        t.units = FindLengthUnit(w[1]);
      } catch (const Error&) {
        throw Bad(name, at + "unknown unit '" + w[1] + "': use mm, cm, m or in");
      }
    }
  } else if (k == "blades" || k == "number of blades") {
    const std::string v = Trim(value);
    const std::optional<double> z = NumberOf(v);
    if (!z || *z != std::floor(*z) || *z < 1 || *z > kMostBlades)
      throw Bad(name, at + "the number of blades must be a whole number from 1 to " + std::to_string(kMostBlades) +
                          ": '" + v + "'");
    t.blades = static_cast<int>(*z);
  }
}

}  // namespace

std::string RowName(const BladeRow& row, std::size_t index) {
  return row.line > 0 ? "line " + std::to_string(row.line) : "row " + std::to_string(index + 1);
}

std::string RowPlace(const BladeRow& row, std::size_t index, const std::string& column) {
  return RowName(row, index) + ", column " + column;
}

void CheckBladeTable(const BladeTable& table, const std::string& name) {
  const std::vector<BladeRow>& rows = table.rows;
  if (rows.size() < 2)
    throw Bad(name, "a blade needs at least 2 rows, not " + std::to_string(rows.size()));
  if (table.diameter != 0 && !(table.diameter > 0 && std::isfinite(table.diameter)))
    throw Bad(name, "the diameter must be above 0");
  if (table.blades < 0 || table.blades > kMostBlades)
    throw Bad(name, "the number of blades must be from 1 to " + std::to_string(kMostBlades));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const BladeRow& row = rows[i];
    for (const Column& c : kColumns)
      if (!std::isfinite(row.*c.value)) throw Bad(name, RowPlace(row, i, c.name) + ": not a finite number");
    if (!(row.r > 0 && row.r <= 1)) throw Bad(name, RowPlace(row, i, "r/R") + ": r/R must be above 0 and at most 1");
    if (i > 0 && !(row.r > rows[i - 1].r))
      throw Bad(name, RowPlace(row, i, "r/R") + ": r/R must increase from row to row (" + ShortestText(row.r) +
                          " after " + ShortestText(rows[i - 1].r) + ")");
    const bool last = i + 1 == rows.size();
    if (!(row.chord > 0) && !(last && row.chord == 0))
      throw Bad(name, RowPlace(row, i, "c/D") + (last ? ": the chord must not be below 0"
                                                        : ": the chord must be above 0 before the last row"));
    if (!(row.thickness > 0 && row.thickness <= 1))
      throw Bad(name, RowPlace(row, i, "t0/c") + ": the thickness must be above 0 and at most 1");
    if (!(row.camber >= -1 && row.camber <= 1))
      throw Bad(name, RowPlace(row, i, "f0/c") + ": the camber must be from -1 to 1");
  }
}

BladeTable ReadBladeTableText(std::string_view bytes, const std::string& name) {
  BladeTable table;
  // The place of each named column in a row, and the row length.
  std::vector<std::optional<std::size_t>> where;
  std::size_t width = 0;
  bool units_line_possible = false;
  int line = 0;
  std::size_t from = 0;
  while (from < bytes.size()) {
    const std::size_t end = std::min(bytes.find('\n', from), bytes.size());
    const std::string text = Trim(bytes.substr(from, end - from));
    from = end + 1;
    ++line;
    if (text.empty() || text[0] == '#') continue;
    const std::vector<std::string> words = Words(text);
    const std::size_t eq = text.find('=');
    if (eq != std::string::npos && where.empty()) {
      Setting(Trim(text.substr(0, eq)), text.substr(eq + 1), line, name, table);
      continue;
    }
    const bool numbers = std::all_of(words.begin(), words.end(), [](const std::string& w) { return NumberOf(w); });
    if (where.empty()) {
      if (numbers) throw Bad(name, "line " + std::to_string(line) + ": a row before the line naming the columns");
      // The line naming the columns holds r/R; any other line before it is a title.
      std::vector<std::string> lower;
      for (const std::string& w : words) lower.push_back(Lower(w));
      if (std::find(lower.begin(), lower.end(), "r/r") == lower.end()) continue;
      for (const Column& c : kColumns) {
        const auto at = std::find(lower.begin(), lower.end(), Lower(c.name));
        if (at == lower.end()) {
          if (c.needed)
            throw Bad(name, "line " + std::to_string(line) + ": the column " + c.name + " is missing");
          where.push_back(std::nullopt);
        } else {
          where.push_back(static_cast<std::size_t>(at - lower.begin()));
        }
      }
      width = words.size();
      units_line_possible = true;
      continue;
    }
    // A line of units may stand under the names.
    if (units_line_possible && !numbers) {
      units_line_possible = false;
      continue;
    }
    units_line_possible = false;
    const std::string at = "line " + std::to_string(line);
    if (words.size() != width)
      throw Bad(name, at + ": " + std::to_string(words.size()) + " numbers where the columns are " +
                          std::to_string(width));
    BladeRow row;
    row.line = line;
    for (std::size_t c = 0; c < where.size(); ++c) {
      if (!where[c]) continue;
      const std::string& word = words[*where[c]];
      const std::optional<double> v = NumberOf(word);
      if (!v) throw Bad(name, at + ", column " + kColumns[c].name + ": not a number: '" + word + "'");
      row.*kColumns[c].value = *v;
    }
    table.rows.push_back(row);
  }
  if (where.empty()) throw Bad(name, "no line names the columns (r/R c/D P/D t0/c f0/c, skew and rake/D)");
  CheckBladeTable(table, name);
  return table;
}

BladeTable ReadBladeTable(const std::filesystem::path& file) {
  const std::string name = file.string();
  detail::OpenCause cause = detail::OpenCause::Failed;
  const detail::Descriptor fd(detail::OpenForReading(name, cause));
  if (fd.get() < 0) throw detail::InputError(name, cause);
  detail::ByteSource in(fd.get());
  std::string bytes;
  for (int c = in.get(); c != detail::kEnd; c = in.get()) bytes += static_cast<char>(c);
  if (in.failed()) throw detail::InputError(name, detail::OpenCause::Failed);
  return ReadBladeTableText(bytes, name);
}

}  // namespace tarvelo
