// A display area that keeps what was printed and drawn as a page: text lines
// made of coloured runs, and drawing primitives in user coordinates.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "screens/display.h"

namespace tarvelo {

struct TextRun {
  std::string text;
  Color color = kBlack;
  bool bold = false;
  bool operator==(const TextRun&) const = default;
};

struct TextLine {
  std::vector<TextRun> runs;
  std::string text() const;
};

struct Shape {
  enum class Kind { Point, Line, Circle };
  Kind kind = Kind::Point;
  // Point: (x1, y1). Line: from (x1, y1) to (x2, y2). Circle: centre (x1, y1), radius r.
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0, r = 0;
  Color color = kBlack;
  int drawStyle = 0;
};

struct UserScale {
  bool set = false;
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// Rows of a table kept as the function that makes them, in one colour and
// weight, standing before line `at` of the lines printed.
struct LazyRows {
  std::size_t at = 0;
  Rows rows;
  Color color = kBlack;
  bool bold = false;
};

struct Page {
  // The lines printed; with lazy rows, those before and after them.
  std::vector<TextLine> lines;
  std::optional<LazyRows> lazy;
  bool lastLineOpen = false;  // a print kept the last line open
  std::vector<Shape> shapes;
  UserScale scale;  // survives Cls, as the coordinate system does

  // Every line of the page, lazy rows made as they are asked for.
  std::size_t size() const { return lines.size() + (lazy ? lazy->rows.count : 0); }
  TextLine line(std::size_t n) const;
  // The lines' texts, without colours.
  std::vector<std::string> texts() const;
};

class RecordingDisplay : public Display {
 public:
  void Cls() override;
  void ForeColor(Color c) override;
  void FontBold(bool on) override;
  void Scale(float x1, float y1, float x2, float y2) override;
  void DrawStyle(int style) override;
  void PSet(float x, float y) override;
  void Line(float x, float y) override;
  void Circle(float x, float y, float r) override;
  // Kept as the function that makes them when the display keeps rows lazily
  // and the print position is at the start of a line; else printed.
  void PrintRows(const Rows& rows) override;

  const Page& page() const { return page_; }
  Color foreColor() const { return color_; }
  bool bold() const { return bold_; }

 protected:
  void PrintText(std::string_view text, LineEnd end) override;
  // Called after every operation that changed the page; a view repaints here.
  virtual void pageChanged() {}
  // A view that shows a few rows at a time keeps a table's rows lazily: one
  // of a million points is then made only as far as it is seen or copied.
  void keepRowsLazily(bool on) { lazyRows_ = on; }

 private:
  void record(const Shape& shape);

  Page page_;
  bool lazyRows_ = false;
  Color color_ = kBlack;
  bool bold_ = false;
  int drawStyle_ = 0;
  float curX_ = 0;
  float curY_ = 0;
};

}  // namespace tarvelo
