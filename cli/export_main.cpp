#include "cli/export_command.h"
#include "cli/program.h"

int main(int argc, char** argv) {
  return tarvelo::RunProgram("tarvelo-export", argc, argv, tarvelo::RunExportCommand);
}
