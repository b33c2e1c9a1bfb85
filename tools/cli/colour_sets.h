// Which colour of a file is smoothed: the red, green and blue (or grey) channels of a part, or of a
// layer or view inside a part ("diffuse.R", "right.R"), each with its alpha where it has one.
#pragma once

#include <OpenImageIO/imageio.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tessaline::cli {

// Channel indices of one picture's colour. Grey has red == green == blue; -1 for no alpha.
struct ColourChannels {
  int alpha = -1;
  int red = -1;
  int green = -1;
  int blue = -1;
};

struct ColourSet {
  std::size_t part = 0;
  std::string layer;  // the channels' name prefix without its dot: "" for the part's own R, G, B
  ColourChannels channels;
};

// The colour sets of one part's layout: its own R, G and B (or Y) first, then every layer or view
// that has them, in channel order.
std::vector<ColourSet> ColourSetsOf(const OIIO::ImageSpec& spec, std::size_t part);

// What to smooth in a file whose parts have these layouts:
// - `all`: every colour set of every part;
// - `wanted` names a part (by name, or number from 0): its own colour;
// - else `wanted` names a layer or a view (the default view of a multi-view part is its own
//   unprefixed channels): the first part that has it;
// - nothing named: the first part's own colour, else the first layer's.
// Throws CliError, naming what the file has, when there is nothing to smooth or no such part, layer
// or view. `path` is for the messages.
std::vector<ColourSet> ChooseColourSets(const std::vector<OIIO::ImageSpec>& parts, const std::string& path,
                                        const std::string& wanted, bool all);

// The name of a part's layout ("beauty"), or "".
std::string PartName(const OIIO::ImageSpec& spec);

// "the part 'beauty'", "the layer 'diffuse' of part 1", "the image": for messages about a set.
std::string DescribeSet(const std::vector<OIIO::ImageSpec>& parts, const ColourSet& set);

}  // namespace tessaline::cli
