#include <iostream>
#include <string>
#include <vector>

#include "tool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return tessaline::cli::Run(args, std::cout, std::cerr);
}
