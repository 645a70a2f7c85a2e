#include "cli/blade_command.h"
#include "cli/program.h"

int main(int argc, char** argv) {
  return tarvelo::RunProgram("tarvelo-blade", argc, argv, [](auto& args, auto& out, auto& err) {
    return tarvelo::RunBladeCommand(args, out, err);
  });
}
