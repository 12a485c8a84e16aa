#include <cstdio>
#include <string>
#include <vector>

#include "tools/HarvestCli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return qb::RunHarvestCli(arguments, stdin, stdout, stderr);
}
