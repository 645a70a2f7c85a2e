#include "screens/screens.h"

namespace tarvelo {

// Each screen sets nScreen to its successor; any other value shows nothing.
void Command3_Click(State& s, Display& Picture1) {
  switch (s.nScreen) {
    case 0: List_Data1(s, Picture1); break;
    case 1: List_Data2(s, Picture1); break;
    case 2: Draw_Graphic(s, Picture1); break;
    case 3: List_Foil_Camber(s, Picture1); break;
    case 4: Print_FirstPage(s, Picture1); break;
    default: break;
  }
}

}  // namespace tarvelo
