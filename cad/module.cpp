// The CAD module: B-spline faces made into closed solids, or an outline
// into a planar face, checked and written as STEP, IGES or STL by Open
// CASCADE. The library loads this file with dlopen and calls
// tarvelo_cad_run; nothing else of ours links Open CASCADE.
#include "cad/cad.h"

#include <APIHeaderSection_MakeHeader.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakeSolid.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepBuilderAPI_Sewing.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepGProp.hxx>
#include <BRepLib.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <Geom_BSplineCurve.hxx>
#include <Geom_BSplineSurface.hxx>
#include <IGESControl_Controller.hxx>
#include <IGESControl_Writer.hxx>
#include <IGESData_GlobalSection.hxx>
#include <IGESData_IGESModel.hxx>
#include <StepBasic_Product.hxx>
#include <StepData_StepModel.hxx>
#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_Printer.hxx>
#include <Poly_Triangulation.hxx>
#include <STEPControl_Writer.hxx>
#include <Standard_Failure.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColgp_Array1OfPnt.hxx>
#include <TColgp_Array2OfPnt.hxx>
#include <TCollection_HAsciiString.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Shell.hxx>
#include <TopoDS_Solid.hxx>
#include <gp_Ax1.hxx>
#include <gp_Trsf.hxx>

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace tarvelo::cad {

namespace {

// A failure to say back to the library.
struct Refused : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A full knot vector as Open CASCADE takes it: distinct knots and their
// multiplicities.
struct Knots {
  TColStd_Array1OfReal values;
  TColStd_Array1OfInteger mults;
};

Knots Distinct(const std::vector<double>& full) {
  std::vector<double> values;
  std::vector<int> mults;
  for (double k : full) {
    if (!values.empty() && k == values.back()) {
      ++mults.back();
    } else {
      values.push_back(k);
      mults.push_back(1);
    }
  }
  Knots out{TColStd_Array1OfReal(1, static_cast<int>(values.size())),
            TColStd_Array1OfInteger(1, static_cast<int>(values.size()))};
  for (std::size_t i = 0; i < values.size(); ++i) {
    out.values.SetValue(static_cast<int>(i) + 1, values[i]);
    out.mults.SetValue(static_cast<int>(i) + 1, mults[i]);
  }
  return out;
}

Handle(Geom_BSplineSurface) SurfaceOf(const Surface& s) {
  if (s.count_u < s.degree_u + 1 || s.count_v < s.degree_v + 1 ||
      s.poles.size() != 3 * static_cast<std::size_t>(s.count_u) * static_cast<std::size_t>(s.count_v) ||
      s.knots_u.size() != static_cast<std::size_t>(s.count_u + s.degree_u + 1) ||
      s.knots_v.size() != static_cast<std::size_t>(s.count_v + s.degree_v + 1))
    throw Refused("a surface's poles and knots do not agree");
  TColgp_Array2OfPnt poles(1, s.count_u, 1, s.count_v);
  for (int j = 0; j < s.count_v; ++j)
    for (int i = 0; i < s.count_u; ++i) {
      const double* p = &s.poles[3 * (static_cast<std::size_t>(j) * s.count_u + i)];
      poles.SetValue(i + 1, j + 1, gp_Pnt(p[0], p[1], p[2]));
    }
  const Knots u = Distinct(s.knots_u), v = Distinct(s.knots_v);
  return new Geom_BSplineSurface(poles, u.values, v.values, u.mults, v.mults, s.degree_u, s.degree_v);
}

Handle(Geom_BSplineCurve) CurveOf(const Curve& c) {
  const std::size_t n = c.poles.size() / 3;
  if (n < static_cast<std::size_t>(c.degree + 1) || c.poles.size() != 3 * n ||
      c.knots.size() != n + static_cast<std::size_t>(c.degree) + 1)
    throw Refused("a curve's poles and knots do not agree");
  TColgp_Array1OfPnt poles(1, static_cast<int>(n));
  for (std::size_t i = 0; i < n; ++i)
    poles.SetValue(static_cast<int>(i) + 1, gp_Pnt(c.poles[3 * i], c.poles[3 * i + 1], c.poles[3 * i + 2]));
  const Knots k = Distinct(c.knots);
  return new Geom_BSplineCurve(poles, k.values, k.mults, c.degree);
}

// One closed solid of the faces: sewn along their boundaries, oriented
// outwards.
TopoDS_Solid SolidOf(const std::vector<Surface>& faces, double tolerance) {
  BRepBuilderAPI_Sewing sewing(tolerance);
  for (const Surface& s : faces) {
    BRepBuilderAPI_MakeFace face(SurfaceOf(s), tolerance);
    if (!face.IsDone()) throw Refused("a face could not be made of its surface");
    sewing.Add(face.Face());
  }
  sewing.Perform();
  const TopoDS_Shape sewn = sewing.SewedShape();
  if (sewn.ShapeType() != TopAbs_SHELL) throw Refused("the faces do not sew into one shell");
  BRepBuilderAPI_MakeSolid make(TopoDS::Shell(sewn));
  if (!make.IsDone()) throw Refused("the shell does not make a solid");
  TopoDS_Solid solid = make.Solid();
  BRepLib::OrientClosedSolid(solid);
  return solid;
}

TopoDS_Shape OutlineFace(const std::vector<Curve>& outline) {
  BRepBuilderAPI_MakeWire wire;
  for (const Curve& c : outline) {
    BRepBuilderAPI_MakeEdge edge(CurveOf(c));
    if (!edge.IsDone()) throw Refused("an edge could not be made of its curve");
    wire.Add(edge.Edge());
    if (!wire.IsDone()) throw Refused("the outline's curves do not join end to end");
  }
  BRepBuilderAPI_MakeFace face(wire.Wire(), Standard_True);
  if (!face.IsDone()) throw Refused("the outline does not bound a planar face");
  return face.Face();
}

Solid Checked(const TopoDS_Shape& shape) {
  Solid s;
  s.valid = BRepCheck_Analyzer(shape).IsValid() == Standard_True;
  GProp_GProps surface;
  BRepGProp::SurfaceProperties(shape, surface, 1e-9);
  s.area = surface.Mass();
  if (shape.ShapeType() == TopAbs_SOLID) {
    // Every edge of each shell shared by two of its faces.
    s.closed = true;
    for (TopExp_Explorer e(shape, TopAbs_SHELL); e.More(); e.Next())
      s.closed = s.closed && BRep_Tool::IsClosed(e.Current()) == Standard_True;
    // Adaptive, to a relative 1e-9: the fixed rule runs short on faces of
    // many knot spans.
    GProp_GProps volume;
    BRepGProp::VolumeProperties(shape, volume, 1e-9);
    s.volume = volume.Mass();
  }
  return s;
}

const char* StepUnit(Unit unit) {
  switch (unit) {
    case Unit::Millimetre: return "MM";
    case Unit::Centimetre: return "CM";
    case Unit::Metre: return "M";
    case Unit::Inch: return "INCH";
  }
  return "MM";
}

const char* IgesUnit(Unit unit) { return unit == Unit::Inch ? "IN" : StepUnit(unit); }

// The unit's length in millimetres: the writers' models take the shape's
// unit so, and write the file in it without converting.
double Millimetres(Unit unit) {
  switch (unit) {
    case Unit::Millimetre: return 1;
    case Unit::Centimetre: return 10;
    case Unit::Metre: return 1000;
    case Unit::Inch: return 25.4;
  }
  return 1;
}

// A file a writer that takes only names writes, read back whole and removed.
class ScratchFile {
 public:
  explicit ScratchFile(const char* ending) {
    const char* dir = std::getenv("TMPDIR");
    name_ = std::string(dir && *dir ? dir : "/tmp") + "/tarvelo-cad-XXXXXX" + ending;
    const int fd = ::mkstemps(name_.data(), static_cast<int>(std::strlen(ending)));
    if (fd < 0) throw Refused("no scratch file could be made in " + name_.substr(0, name_.rfind('/')));
    ::close(fd);
  }
  ~ScratchFile() { std::remove(name_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::string& name() const { return name_; }
  std::string Bytes() const {
    std::ifstream in(name_, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  }

 private:
  std::string name_;
};

// What a STEP file gives as its time of writing: a fixed one, so that a
// file says only what its shape says.
constexpr const char* kTimeStamp = "1970-01-01T00:00:00";

// Open CASCADE's writers take their units and names from process-wide
// settings: one write at a time sets them and writes.
std::mutex& WriterLock() {
  static std::mutex lock;
  return lock;
}

// The writers report on standard output, which belongs to the program.
void Quiet() {
  const Handle(Message_Messenger)& messenger = Message::DefaultMessenger();
  while (!messenger->Printers().IsEmpty()) messenger->RemovePrinter(messenger->Printers().First());
}

std::string Step(const TopoDS_Shape& shape, Unit unit, const std::string& name) {
  const std::lock_guard<std::mutex> hold(WriterLock());
  Quiet();
  STEPControl_Writer writer;
  Interface_Static::SetCVal("write.step.schema", "AP214IS");
  Interface_Static::SetCVal("xstep.cascade.unit", StepUnit(unit));
  Interface_Static::SetCVal("write.step.unit", StepUnit(unit));
  Interface_Static::SetCVal("write.step.product.name", name.c_str());
  writer.Model()->SetLocalLengthUnit(Millimetres(unit));
  writer.Model()->SetWriteLengthUnit(Millimetres(unit));
  if (writer.Transfer(shape, STEPControl_AsIs) != IFSelect_RetDone)
    throw Refused("the STEP writer did not take the shape");
  // The same shape gives the same bytes: no clock, no scratch file's name,
  // no count of the products the process has written before.
  const Handle(StepData_StepModel) model = writer.Model();
  for (int i = 1; i <= model->NbEntities(); ++i) {
    const Handle(StepBasic_Product) product = Handle(StepBasic_Product)::DownCast(model->Value(i));
    if (product.IsNull()) continue;
    product->SetId(new TCollection_HAsciiString(name.c_str()));
    product->SetName(new TCollection_HAsciiString(name.c_str()));
  }
  APIHeaderSection_MakeHeader header(writer.Model());
  header.SetName(new TCollection_HAsciiString(name.c_str()));
  header.SetTimeStamp(new TCollection_HAsciiString(kTimeStamp));
  header.SetOriginatingSystem(new TCollection_HAsciiString("TARVELO"));
  ScratchFile file(".stp");
  if (writer.Write(file.name().c_str()) != IFSelect_RetDone) throw Refused("the STEP writer failed");
  return file.Bytes();
}

std::string Iges(const TopoDS_Shape& shape, Unit unit) {
  const std::lock_guard<std::mutex> hold(WriterLock());
  Quiet();
  IGESControl_Controller::Init();
  Interface_Static::SetCVal("xstep.cascade.unit", StepUnit(unit));
  IGESControl_Writer writer(IgesUnit(unit), 1);  // 1: faces as B-rep entities
  IGESData_GlobalSection header = writer.Model()->GlobalSection();
  header.SetCascadeUnit(Millimetres(unit));
  writer.Model()->SetGlobalSection(header);
  if (!writer.AddShape(shape)) throw Refused("the IGES writer did not take the shape");
  writer.ComputeModel();
  std::ostringstream out;
  if (!writer.Write(out)) throw Refused("the IGES writer failed");
  return out.str();
}

void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
}

void PutFloat(std::string& out, double v) {
  const float f = static_cast<float>(v);
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  Put32(out, bits);
}

// Binary STL of the shape's triangulation within `deflection` of its faces.
std::string Stl(const TopoDS_Shape& shape, double deflection) {
  BRepMesh_IncrementalMesh mesh(shape, deflection, Standard_False, 0.5);
  std::string triangles;
  std::uint32_t count = 0;
  for (TopExp_Explorer e(shape, TopAbs_FACE); e.More(); e.Next()) {
    const TopoDS_Face& face = TopoDS::Face(e.Current());
    TopLoc_Location where;
    const Handle(Poly_Triangulation) t = BRep_Tool::Triangulation(face, where);
    if (t.IsNull()) throw Refused("a face could not be triangulated");
    const bool reversed = face.Orientation() == TopAbs_REVERSED;
    for (int i = 1; i <= t->NbTriangles(); ++i) {
      int a, b, c;
      t->Triangle(i).Get(a, b, c);
      if (reversed) std::swap(b, c);
      const gp_Pnt p[3] = {t->Node(a).Transformed(where.Transformation()),
                           t->Node(b).Transformed(where.Transformation()),
                           t->Node(c).Transformed(where.Transformation())};
      gp_Vec n = gp_Vec(p[0], p[1]).Crossed(gp_Vec(p[0], p[2]));
      if (n.Magnitude() > 0) n.Normalize();
      for (double v : {n.X(), n.Y(), n.Z()}) PutFloat(triangles, v);
      for (const gp_Pnt& q : p)
        for (double v : {q.X(), q.Y(), q.Z()}) PutFloat(triangles, v);
      triangles += std::string(2, '\0');
      ++count;
    }
  }
  std::string out = "binary STL written by TARVELO";
  out.resize(80, ' ');
  Put32(out, count);
  return out + triangles;
}

void Make(const Request& request, Result& result) {
  TopoDS_Compound all;
  BRep_Builder builder;
  builder.MakeCompound(all);
  if (request.faces.empty()) {
    const TopoDS_Shape face = OutlineFace(request.outline);
    result.solids.push_back(Checked(face));
    builder.Add(all, face);
  } else {
    if (request.copies < 1) throw Refused("at least one copy of the solid is made");
    const TopoDS_Solid solid = SolidOf(request.faces, request.tolerance);
    for (int k = 0; k < request.copies; ++k) {
      gp_Trsf turn;
      turn.SetRotation(gp_Ax1(gp_Pnt(0, 0, 0), gp_Dir(1, 0, 0)), 2 * std::numbers::pi * k / request.copies);
      const TopoDS_Shape copy = k == 0 ? TopoDS_Shape(solid) : BRepBuilderAPI_Transform(solid, turn, true).Shape();
      result.solids.push_back(Checked(copy));
      builder.Add(all, copy);
    }
  }
  const TopoDS_Shape shape =
      result.solids.size() == 1 ? TopoDS_Iterator(all).Value() : static_cast<const TopoDS_Shape&>(all);
  switch (request.format) {
    case Format::Step: result.bytes = Step(shape, request.unit, request.name); break;
    case Format::Iges: result.bytes = Iges(shape, request.unit); break;
    case Format::Stl: result.bytes = Stl(shape, request.stl_deflection); break;
    case Format::Check: break;
  }
  result.ok = true;
}

}  // namespace

}  // namespace tarvelo::cad

extern "C" __attribute__((visibility("default"))) void tarvelo_cad_run(const tarvelo::cad::Request& request,
                                                                       tarvelo::cad::Result& result) {
  result = {};
  try {
    tarvelo::cad::Make(request, result);
  } catch (const tarvelo::cad::Refused& e) {
    result = {};
    result.reason = e.what();
  } catch (const Standard_Failure& e) {
    result = {};
    result.reason = std::string("Open CASCADE failed: ") + e.GetMessageString();
  } catch (const std::exception& e) {
    result = {};
    result.reason = e.what();
  }
}
