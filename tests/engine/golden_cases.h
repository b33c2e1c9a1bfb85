// Golden outputs: a deterministic set of generated images (cel shapes, stairs, thin lines, noise,
// transparency, key colours; 1 x 1 and up) with a spread of parameters, each rendered by all nine
// kernels. golden_hashes.txt holds the lines as recorded; any change to an output bit changes one.
#pragma once

#include <string>

namespace tessaline::golden {

int CaseCount();
// Case `index`: its number, size, kind and parameters, then the hashes of the nine kernels' outputs
// (8-bit, 16-bit, float; each plain, keyed, inverted key).
std::string CaseLine(int index);

}  // namespace tessaline::golden
