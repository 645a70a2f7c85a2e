#include <unistd.h>

#include "cli/import_command.h"
#include "cli/program.h"

int main(int argc, char** argv) {
  const bool terminal = ::isatty(STDOUT_FILENO) == 1;
  const tarvelo::ProgressDisplay display{::isatty(STDERR_FILENO) == 1};
  return tarvelo::RunProgram("tarvelo-import", argc, argv, [terminal, display](auto& args, auto& out, auto& err) {
    return tarvelo::RunImportCommand(args, out, err, terminal, display);
  });
}
