// The display area: the operations every screen uses to print and draw.
//
// Screens write to this interface; RecordingDisplay keeps the page for tests
// and the command line, and the window paints that same page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace tarvelo {

// Packed 24-bit colour &H00BBGGRR: red in the low byte, blue in the high byte.
using Color = std::uint32_t;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kRed = 0x0000FF;
inline constexpr Color kBlue = 0xFF0000;

// One item of a Print: a text, written unchanged, or a number, written as a
// blank (or minus sign), its digits and a blank.
class PrintItem {
 public:
  PrintItem(std::string_view text) : text_(text) {}  // NOLINT: implicit by design
  PrintItem(const char* text) : text_(text) {}       // NOLINT
  PrintItem(const std::string& text) : text_(text) {}  // NOLINT
  template <class N, std::enable_if_t<std::is_arithmetic_v<N>, int> = 0>
  PrintItem(N number) : text_(number_text(static_cast<double>(number))) {}  // NOLINT

  const std::string& text() const { return text_; }

 private:
  static std::string number_text(double value);
  std::string text_;
};

// The rows of a table, each a line of its own: a display may keep them as
// the function that makes them and make a row only when it is shown.
struct Rows {
  std::size_t count = 0;
  std::size_t widest = 0;  // characters of the longest row
  std::function<std::string(std::size_t)> text;  // row n of 0..count-1
};

enum class LineEnd {
  Close,     // the line ends after the items
  KeepOpen,  // the print position stays behind the last item
};

class Display {
 public:
  virtual ~Display() = default;

  // Erases text and drawings; the print position goes to the start of line 1.
  // Colour, bold and the user coordinate system stay as they are.
  virtual void Cls() = 0;

  // Writes the items one after another with nothing between them, then ends
  // the line unless it is kept open. Print() with no items ends the current
  // line: an empty line at the start of a line, only the line end after a
  // print that kept the line open.
  void Print(std::initializer_list<PrintItem> items = {}, LineEnd end = LineEnd::Close);
  // The rows one after another, each printed as one Print of its text.
  virtual void PrintRows(const Rows& rows);

  virtual void ForeColor(Color c) = 0;
  virtual void FontBold(bool on) = 0;
  // User coordinates: (x1, y1) at the top-left of the inner surface, (x2, y2)
  // at the bottom-right.
  virtual void Scale(float x1, float y1, float x2, float y2) = 0;
  virtual void DrawStyle(int style) = 0;
  virtual void PSet(float x, float y) = 0;
  // Line -(x, y): from the print position to (x, y).
  virtual void Line(float x, float y) = 0;
  virtual void Circle(float x, float y, float r) = 0;

 protected:
  // The text of one Print, its items joined.
  virtual void PrintText(std::string_view text, LineEnd end) = 0;
};

}  // namespace tarvelo
