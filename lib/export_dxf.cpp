// "dxf": the exact outline as a DXF drawing for CAD, written through the
// program's number format so that it has the decimal point whatever the
// locale.
#include <tarvelo/tarvelo.h>

#include <array>
#include <cctype>
#include <charconv>
#include <string_view>

#include "foilio/number_format.h"
#include "lib/foil.h"

namespace tarvelo {

namespace {

// A DXF file as it is written: a group code right-aligned in three columns
// on one line, as CAD programs write it, its value on the next; and the
// handles that tie the objects to their owners.
class DxfWriter {
 public:
  void operator()(int code, std::string_view value) {
    const std::string digits = std::to_string(code);
    text_.append(digits.size() < 3 ? 3 - digits.size() : 0, ' ');
    text_ += digits;
    text_ += '\n';
    text_ += value;
    text_ += '\n';
  }
  void operator()(int code, double value) { (*this)(code, PlainNumber(value)); }
  void operator()(int code, int value) { (*this)(code, std::to_string(value)); }
  // A point: X under its code, Y under the code + 10, Z under the code + 20.
  void Point(int code, double x, double y, double z) {
    (*this)(code, x);
    (*this)(code + 10, y);
    (*this)(code + 20, z);
  }

  // The next free handle, in hexadecimal.
  std::string NewHandle() {
    std::array<char, 16> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), nextHandle_++, 16);
    std::string handle(buf.data(), res.ptr);
    for (char& c : handle) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return handle;
  }

  void Section(std::string_view name) {
    (*this)(0, "SECTION");
    (*this)(2, name);
  }

  // Opens a symbol table and returns its handle, the owner of its records.
  std::string Table(std::string_view name, int records) {
    const std::string handle = NewHandle();
    (*this)(0, "TABLE");
    (*this)(2, name);
    (*this)(5, handle);
    (*this)(330, "0");
    (*this)(100, "AcDbSymbolTable");
    (*this)(70, records);
    // The dimension styles' table has a subclass of its own.
    if (name == "DIMSTYLE") (*this)(100, "AcDbDimStyleTable");
    return handle;
  }

  // The common head of a table record; returns its handle.
  std::string Record(std::string_view type, const std::string& table, std::string_view subclass,
                     std::string_view name) {
    const std::string handle = NewHandle();
    (*this)(0, type);
    (*this)(type == "DIMSTYLE" ? 105 : 5, handle);  // a dimension style's handle is 105
    (*this)(330, table);
    (*this)(100, "AcDbSymbolTableRecord");
    (*this)(100, subclass);
    (*this)(2, name);
    (*this)(70, 0);
    return handle;
  }

  const std::string& text() const { return text_; }

 private:
  std::string text_;
  unsigned nextHandle_ = 1;
};

// The block records of the two layouts, which own what is drawn in them.
struct Layouts {
  std::string model;
  std::string paper;
};

// The tables a drawing of AutoCAD 2000 or later must hold, each with the
// entries that readers expect; the layer TE only where the trailing edge is
// drawn.
Layouts Tables(DxfWriter& d, double chord, bool edge) {
  d.Section("TABLES");
  std::string t = d.Table("VPORT", 1);
  d.Record("VPORT", t, "AcDbViewportTableRecord", "*ACTIVE");
  d.Point(10, 0, 0, 0);
  d.Point(11, 1, 1, 0);
  // The view: centred on the chord and a little wider than it.
  d(12, 0.5 * chord);
  d(22, 0.0);
  d(40, 0.5 * chord);
  d(41, 2.5);
  d(0, "ENDTAB");

  t = d.Table("LTYPE", 3);
  for (const char* name : {"ByBlock", "ByLayer", "Continuous"}) {
    d.Record("LTYPE", t, "AcDbLinetypeTableRecord", name);
    d(3, std::string_view(name) == "Continuous" ? "Solid line" : "");
    d(72, 65);
    d(73, 0);
    d(40, 0.0);
  }
  d(0, "ENDTAB");

  t = d.Table("LAYER", edge ? 4 : 3);
  for (const char* name : {"0", "UPPER", "LOWER", "TE"}) {
    if (!edge && std::string_view(name) == "TE") continue;
    d.Record("LAYER", t, "AcDbLayerTableRecord", name);
    d(62, 7);
    d(6, "Continuous");
  }
  d(0, "ENDTAB");

  t = d.Table("STYLE", 1);
  d.Record("STYLE", t, "AcDbTextStyleTableRecord", "Standard");
  d(40, 0.0);
  d(41, 1.0);
  d(50, 0.0);
  d(71, 0);
  d(42, 0.2);
  d(3, "txt");
  d(4, "");
  d(0, "ENDTAB");

  for (const char* empty : {"VIEW", "UCS"}) {
    d.Table(empty, 0);
    d(0, "ENDTAB");
  }
  t = d.Table("APPID", 1);
  d.Record("APPID", t, "AcDbRegAppTableRecord", "ACAD");
  d(0, "ENDTAB");
  t = d.Table("DIMSTYLE", 1);
  d.Record("DIMSTYLE", t, "AcDbDimStyleTableRecord", "Standard");
  d(0, "ENDTAB");

  t = d.Table("BLOCK_RECORD", 2);
  Layouts layouts;
  layouts.model = d.Record("BLOCK_RECORD", t, "AcDbBlockTableRecord", "*Model_Space");
  layouts.paper = d.Record("BLOCK_RECORD", t, "AcDbBlockTableRecord", "*Paper_Space");
  d(0, "ENDTAB");
  d(0, "ENDSEC");
  return layouts;
}

// The layouts' blocks, empty: what is drawn stands in the ENTITIES section.
void Blocks(DxfWriter& d, const Layouts& layouts) {
  d.Section("BLOCKS");
  for (const bool paper : {false, true}) {
    const std::string& record = paper ? layouts.paper : layouts.model;
    const char* name = paper ? "*Paper_Space" : "*Model_Space";
    const auto head = [&](const char* type) {
      d(0, type);
      d(5, d.NewHandle());
      d(330, record);
      d(100, "AcDbEntity");
      if (paper) d(67, 1);
      d(8, "0");
    };
    head("BLOCK");
    d(100, "AcDbBlockBegin");
    d(2, name);
    d(70, 0);
    d.Point(10, 0, 0, 0);
    d(3, name);
    d(1, "");
    head("ENDBLK");
    d(100, "AcDbBlockEnd");
  }
  d(0, "ENDSEC");
}

// One surface: a planar, non-rational cubic SPLINE on its knots.
void Spline(DxfWriter& d, const Layouts& layouts, std::string_view layer, const SurfaceSpline& surface) {
  d(0, "SPLINE");
  d(5, d.NewHandle());
  d(330, layouts.model);
  d(100, "AcDbEntity");
  d(8, layer);
  d(100, "AcDbSpline");
  d.Point(210, 0, 0, 1);  // the normal of the drawing plane
  d(70, 8);               // planar
  d(71, 3);
  d(72, static_cast<int>(surface.knots.size()));
  d(73, static_cast<int>(surface.y.size()));
  d(74, 0);
  d(42, 0.0000001);
  d(43, 0.0000001);
  for (double k : surface.knots) d(40, k);
  for (std::size_t j = 0; j < surface.y.size(); ++j) d.Point(10, surface.x[j], surface.y[j], 0);
}

// The open trailing edge: a line from the upper surface's end to the lower
// one's, the splines' own end points, so that the three make one loop.
void Edge(DxfWriter& d, const Layouts& layouts, const DrawnSurfaces& outline) {
  d(0, "LINE");
  d(5, d.NewHandle());
  d(330, layouts.model);
  d(100, "AcDbEntity");
  d(8, "TE");
  d(100, "AcDbLine");
  d.Point(10, outline.upper.x.back(), outline.upper.y.back(), 0);
  d.Point(11, outline.lower.x.back(), outline.lower.y.back(), 0);
}

// $INSUNITS of a unit, and whether it is metric ($MEASUREMENT 1).
int InsUnits(LengthUnit unit) {
  switch (unit) {
    case LengthUnit::Millimetre: return 4;
    case LengthUnit::Centimetre: return 5;
    case LengthUnit::Metre: return 6;
    case LengthUnit::Inch: return 1;
    case LengthUnit::None: break;
  }
  return 0;
}

}  // namespace

std::string WriteDxf(const FoilSpline& foil, const ExportOptions& options) {
  const DrawnSurfaces outline = DrawnSurfacesOf(foil, options);
  const bool edge =
      outline.upper.x.back() != outline.lower.x.back() || outline.upper.y.back() != outline.lower.y.back();
  DxfWriter body;
  const Layouts layouts = Tables(body, DrawnChord(options), edge);
  Blocks(body, layouts);
  body.Section("ENTITIES");
  Spline(body, layouts, "UPPER", outline.upper);
  Spline(body, layouts, "LOWER", outline.lower);
  if (edge) Edge(body, layouts, outline);
  body(0, "ENDSEC");

  // The root dictionary and the one entry it must hold, the group dictionary.
  body.Section("OBJECTS");
  const std::string root = body.NewHandle();
  const std::string groups = body.NewHandle();
  body(0, "DICTIONARY");
  body(5, root);
  body(330, "0");
  body(100, "AcDbDictionary");
  body(281, 1);
  body(3, "ACAD_GROUP");
  body(350, groups);
  body(0, "DICTIONARY");
  body(5, groups);
  body(330, root);
  body(100, "AcDbDictionary");
  body(281, 1);
  body(0, "ENDSEC");
  body(0, "EOF");

  // The header comes first but names the first handle left free.
  DxfWriter head;
  head.Section("HEADER");
  head(9, "$ACADVER");
  head(1, "AC1015");
  head(9, "$HANDSEED");
  head(5, body.NewHandle());
  head(9, "$INSUNITS");
  head(70, InsUnits(options.units));
  if (options.units != LengthUnit::None) {
    head(9, "$MEASUREMENT");
    head(70, options.units == LengthUnit::Inch ? 0 : 1);
  }
  head(0, "ENDSEC");
  head.Section("CLASSES");
  head(0, "ENDSEC");
  return head.text() + body.text();
}

std::string ExportDxf(const FoilSpline& foil, const OutlineSize& size) {
  ExportOptions options;
  options.size = size;
  return WriteDxf(foil, options);
}

}  // namespace tarvelo
