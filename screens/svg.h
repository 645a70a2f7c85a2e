// A recorded page as a standalone SVG document, for saving the graphic.
#pragma once

#include <string>
#include <string_view>

#include "screens/recording_display.h"

namespace tarvelo {

// The page's text lines in a fixed-pitch font, 37 lines to the height of the
// area, in their colours and weights, over the area's background; then its
// points, lines (chained into polylines) and circle outlines in their
// colours. The viewBox is the user coordinate system the page was drawn in,
// or the area's inner size 6345 x 7860 when none was set. Shapes with an
// infinite or undefined coordinate are left out, as the area clips them.
std::string PageToSvg(const Page& page);

// Text as XML character data or an attribute value. Texts are 8-bit: a file
// name or an identification line may be UTF-8 or a one-byte code page.
// Well-formed UTF-8 is kept; any other byte above 127 is taken as Latin-1 and
// written as a character reference, so the document is always well-formed.
// Control characters XML cannot carry become '?'.
void AppendXmlText(std::string& out, std::string_view text);

// v rounded to at most `decimals` decimals, trailing zeros dropped, without
// an exponent: 6806.9, 12, 0 (never -0).
void AppendDecimal(std::string& out, double v, int decimals);

}  // namespace tarvelo
