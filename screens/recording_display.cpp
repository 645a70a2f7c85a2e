#include "screens/recording_display.h"

namespace tarvelo {

std::string TextLine::text() const {
  std::string s;
  for (const TextRun& r : runs) s += r.text;
  return s;
}

TextLine Page::line(std::size_t n) const {
  if (lazy && n >= lazy->at) {
    if (n - lazy->at < lazy->rows.count) {
      TextLine row;
      std::string text = lazy->rows.text(n - lazy->at);
      // As a Print of the row would make it: an empty text adds no run.
      if (!text.empty()) row.runs.push_back(TextRun{std::move(text), lazy->color, lazy->bold});
      return row;
    }
    n -= lazy->rows.count;
  }
  return lines[n];
}

std::vector<std::string> Page::texts() const {
  std::vector<std::string> out;
  out.reserve(size());
  for (std::size_t n = 0; n < size(); ++n) out.push_back(line(n).text());
  return out;
}

void RecordingDisplay::Cls() {
  // The memory goes too: a graphic of a million points drew two million
  // circles, which the next screen does not need.
  std::vector<TextLine>().swap(page_.lines);
  page_.lazy.reset();
  page_.lastLineOpen = false;
  std::vector<Shape>().swap(page_.shapes);
  curX_ = 0;
  curY_ = 0;
  pageChanged();
}

void RecordingDisplay::PrintText(std::string_view text, LineEnd end) {
  if (!page_.lastLineOpen) page_.lines.emplace_back();
  TextLine& line = page_.lines.back();
  if (!text.empty()) {
    // Adjacent text of the same look is one run.
    if (!line.runs.empty() && line.runs.back().color == color_ && line.runs.back().bold == bold_)
      line.runs.back().text += text;
    else
      line.runs.push_back(TextRun{std::string(text), color_, bold_});
  }
  page_.lastLineOpen = end == LineEnd::KeepOpen;
  pageChanged();
}

void RecordingDisplay::PrintRows(const Rows& rows) {
  // One table a page is kept lazily; a row that would continue an open line
  // is printed, as the rest of that table then is.
  if (!lazyRows_ || page_.lazy || page_.lastLineOpen || rows.count == 0) {
    Display::PrintRows(rows);
    return;
  }
  page_.lazy = LazyRows{page_.lines.size(), rows, color_, bold_};
  pageChanged();
}

void RecordingDisplay::ForeColor(Color c) { color_ = c; }
void RecordingDisplay::FontBold(bool on) { bold_ = on; }

void RecordingDisplay::Scale(float x1, float y1, float x2, float y2) {
  page_.scale = UserScale{true, x1, y1, x2, y2};
  pageChanged();
}

void RecordingDisplay::DrawStyle(int style) { drawStyle_ = style; }

void RecordingDisplay::PSet(float x, float y) {
  record(Shape{Shape::Kind::Point, x, y, 0, 0, 0, color_, drawStyle_});
  curX_ = x;
  curY_ = y;
}

void RecordingDisplay::Line(float x, float y) {
  record(Shape{Shape::Kind::Line, curX_, curY_, x, y, 0, color_, drawStyle_});
  curX_ = x;
  curY_ = y;
}

void RecordingDisplay::Circle(float x, float y, float r) {
  record(Shape{Shape::Kind::Circle, x, y, 0, 0, r, color_, drawStyle_});
}

void RecordingDisplay::record(const Shape& shape) {
  page_.shapes.push_back(shape);
  pageChanged();
}

}  // namespace tarvelo
