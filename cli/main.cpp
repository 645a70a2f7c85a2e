#include <unistd.h>

#include "cli/fit_command.h"
#include "cli/program.h"

int main(int argc, char** argv) {
  const bool terminal = ::isatty(STDOUT_FILENO) == 1;
  return tarvelo::RunProgram("tarvelo-fit", argc, argv, [terminal](auto& args, auto& out, auto& err) {
    return tarvelo::RunFitCommand(args, out, err, terminal);
  });
}
