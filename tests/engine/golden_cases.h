// Golden outputs: a deterministic set of generated images (cel shapes, stairs, thin lines, noise,
// transparency, key colours; 1 x 1 and up) with a spread of parameters, each rendered by all nine
// kernels and reduced to one hash per kernel. golden_hashes.txt holds the lines as the engine
// produced them when they were recorded; any change to an output bit changes a line.
#pragma once

#include <string>

namespace tessaline::golden {

// How many cases there are.
int CaseCount();

// The recorded line of case `index`: its number, size, kind and parameters, then the hashes of the
// outputs of the nine kernels (8-bit, 16-bit, float; each plain, keyed, inverted key).
std::string CaseLine(int index);

}  // namespace tessaline::golden
