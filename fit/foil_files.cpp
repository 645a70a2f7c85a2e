#include "fit/foil_files.h"

#include <array>
#include <string>
#include <tuple>
#include <utility>

#include "foilio/file_errors.h"
#include "foilio/foil_file.h"
#include "foilio/safe_write.h"
#include "foilio/section_file.h"
#include "screens/screens.h"

namespace tarvelo {

ReadOutcome Read_FoilData(State& s) {
  s.ErFlag = kFalse;
  // Read aside: the shared data change only when the whole file is good.
  SectionData data;
  ReadFailure failure;
  const ReadOutcome outcome = ReadSectionFile(s.InFile, s.ncp, data, failure);
  if (outcome == ReadOutcome::Failed) {
    s.ErMsg = WindowText(*failure);
    s.ErFlag = kTrue;
  }
  if (outcome != ReadOutcome::Read) return outcome;

  std::array<double, 2> largest{};
  for (std::size_t i = 0; i < data.x.size(); ++i) {
    if (data.thickness[i] > largest[0]) largest[0] = data.thickness[i];
    if (data.camber[i] > largest[1]) largest[1] = data.camber[i];
  }
  s.IDLine = data.id;
  s.ReadFile = s.InFile;
  s.nd = data.nd;
  std::tie(s.xv, s.t1v, s.t2v, s.cv) = std::tuple_cat(data.last);
  s.data = Section{std::move(data.id), std::move(data.x), std::move(data.thickness), std::move(data.camber)};
  s.largest = largest;
  // The results held were made of other data.
  s.fit.reset();
  return ReadOutcome::Read;
}

void Write_FoilFile(State& s) {
  s.ErFlag = kFalse;
  const std::string& name = s.OutFile;
  const auto fail = [&s](const Error& error) {
    s.ErMsg = WindowText(error);
    s.ErFlag = kTrue;
  };

  if (detail::UnusableName(name)) return fail(detail::OutputError(name, detail::OpenCause::NameNotValid));
  // The section data must never be replaced by the fit made from them.
  if (!s.InFile.empty() && IsSameFile(s.InFile, name))
    return fail(detail::OutputError(name, detail::OpenCause::SameFile));
  // A fit of ncp control points is written; nothing else is.
  if (!s.fit || !(s.ncp == s.fit->control_points))
    return fail(Error(ErrorKind::NotWritten, name, detail::CouldNotWrite("control points are missing")));

  Fit& fit = *s.fit;
  const std::string text =
      FoilFileText(s.IDLine, s.ko, fit.control_x, fit.thickness.control, fit.camber.control);
  const WriteOutcome out = WriteFileSafely(name, text);
  // Once the file is created, x of zero or less is 0 in the state too, as the
  // screens shown after the file expect.
  if (out.created) {
    for (int j = 1; j <= fit.control_points; ++j) s.xcp(j) = WrittenX(s.xcp(j));
  }
  if (out.err != 0) fail(WriteError(name, out));
}

}  // namespace tarvelo
