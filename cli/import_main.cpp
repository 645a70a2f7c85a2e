#include "cli/import_command.h"
#include "cli/program.h"

int main(int argc, char** argv) {
  return tarvelo::RunProgram("tarvelo-import", argc, argv, tarvelo::RunImportCommand);
}
