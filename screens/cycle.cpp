// Placeholder until the screens are written.
#include "screens/screens.h"

namespace tarvelo {
void Print_FirstPage(State&, Display&) {}
void List_Data1(State&, Display&) {}
void List_Data2(State&, Display&) {}
void List_Foil_Camber(State&, Display&) {}
void Draw_Graphic(State&, Display&) {}
void picture_scale(State&, Display&) {}
double AbX(const State&, double) { return 0; }
double AbY(const State&, double) { return 0; }
void Command3_Click(State&, Display&) {}
}  // namespace tarvelo
