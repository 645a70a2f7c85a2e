#include "fit/run.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "fit/field_number.h"
#include "fit/foil_files.h"
#include "fit/names.h"
#include "fit/run_messages.h"
#include "screens/screens.h"

namespace tarvelo {

namespace {

// The field's initial text: Start pressed before any file was chosen.
constexpr const char* kInputFieldPrompt = "Input-File";

void ShowError(State& s, Display& Picture1) {
  Print_ErMsg(s, Picture1);
  s.ErFlag = kFalse;
}

// Only the first failing check reports; the area is blank before any message.
bool NamesValid(State& s, Display& Picture1, Form& form) {
  s.ErFlag = kFalse;
  const std::string text1 = form.Text(Field::Text1);
  if (text1 == kInputFieldPrompt) {
    s.ErMsg = "  [" + text1 + "]" + " as input file name invalid !!";
    s.ErFlag = kTrue;
  }
  Picture1.Cls();
  if (s.ErFlag == kFalse && !HasExtensionPoint(s.InFile)) {
    s.ErMsg = "  " + s.InFile + " as input file name invalid !!";
    s.ErFlag = kTrue;
  }
  Picture1.Cls();
  if (s.ErFlag == kFalse && !HasExtensionPoint(s.OutFile)) {
    s.ErMsg = "  " + s.OutFile + " as output file name invalid !!";
    s.ErFlag = kTrue;
  }
  Picture1.Cls();
  return s.ErFlag == kFalse;
}

}  // namespace

bool FitData(State& s, Display& Picture1) {
  try {
    s.fit = FitSection(s.data, FitOptions{static_cast<int>(s.ncp), s.placement, false});
  } catch (const Error& e) {
    s.ErMsg = StopMessage(e);
    Print_ErMsg(s, Picture1);
    return false;
  }
  return true;
}

void Main(State& s, Display& Picture1, Form& form) {
  if (!NamesValid(s, Picture1, form)) {
    ShowError(s, Picture1);
    return;
  }
  form.EnableCommand3();

  s.ncp = FieldNumber(form.Text(Field::Text3));
  if (s.ncp < 4 || s.ncp > 20) {
    s.ErMsg = kCountMessage;
    Print_ErMsg(s, Picture1);
    return;
  }
  const ReadOutcome read = Read_FoilData(s);
  s.ReadRefused = read != ReadOutcome::Read;
  if (read == ReadOutcome::TooFew) {
    // Two plain lines, no error line: the run ends here, the window stays.
    for (const std::string& line : InsufficientData(s.ncp)) Picture1.Print({line});
    return;
  }
  if (read == ReadOutcome::Failed) {
    ShowError(s, Picture1);
    return;
  }
  // From here the results held are this run's, not yet written anywhere.
  s.SavedFile.clear();
  s.ko = 4;

  try {
    if (!FitData(s, Picture1)) return;
  } catch (const std::bad_alloc&) {
    s.ErMsg = WindowText(NoMemoryError(s.InFile, s.nd));
    Print_ErMsg(s, Picture1);
    return;
  }

  Write_FoilFile(s);
  if (s.ErFlag != kFalse) {
    ShowError(s, Picture1);
    return;
  }
  s.SavedFile = s.OutFile;
  Print_FirstPage(s, Picture1);
}

}  // namespace tarvelo
