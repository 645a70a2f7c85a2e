#include <iostream>
#include <string>
#include <vector>

#include "cli/import_command.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = tarvelo::RunImportCommand(args, std::cout, std::cerr);
  std::cout.flush();
  return std::cout.fail() && status == 0 ? 1 : status;
}
