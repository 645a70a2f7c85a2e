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

}  // namespace tarvelo
