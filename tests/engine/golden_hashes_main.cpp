// Prints the golden lines, to record them after a change that is meant to change outputs:
//   build/native/tests/engine/golden_hashes > tests/engine/golden_hashes.txt
#include <cstdio>

#include "golden_cases.h"

int main() {
  std::puts("# Golden outputs of the engine: case, size, kind, parameters, then the hashes of the nine kernels'");
  std::puts("# outputs (8-bit, 16-bit, float; each plain, key, inverted key). Made by tests/engine/golden_hashes;");
  std::puts("# change it only with a change that is meant to change what the engine produces.");
  for (int i = 0; i < tessaline::golden::CaseCount(); ++i) std::puts(tessaline::golden::CaseLine(i).c_str());
}
