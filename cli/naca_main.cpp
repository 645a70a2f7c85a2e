#include "cli/naca_command.h"
#include "cli/program.h"

int main(int argc, char** argv) {
  return tarvelo::RunProgram("tarvelo-naca", argc, argv, tarvelo::RunNacaCommand);
}
