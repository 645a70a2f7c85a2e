#include "screens/recording_display.h"

namespace tarvelo {

std::string TextLine::text() const {
  std::string s;
  for (const TextRun& r : runs) s += r.text;
  return s;
}

std::vector<std::string> Page::texts() const {
  std::vector<std::string> out;
  out.reserve(lines.size());
  for (const TextLine& l : lines) out.push_back(l.text());
  return out;
}

void RecordingDisplay::Cls() {
  page_.lines.clear();
  page_.lastLineOpen = false;
  page_.shapes.clear();
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
