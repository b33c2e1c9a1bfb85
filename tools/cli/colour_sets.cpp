#include "colour_sets.h"

#include <algorithm>

#include "cli_error.h"
#include "image_writer.h"  // ChannelIndex

namespace tessaline::cli {

namespace {

std::string Join(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ",") + name;
  return joined;
}

// The colour channels named with `prefix` ("" or "diffuse."), if all three (or grey) are there.
bool FindColour(const OIIO::ImageSpec& spec, const std::string& prefix, ColourChannels& c) {
  const auto find = [&](const char* name) { return ChannelIndex(spec, prefix + name); };
  c.red = find("R"), c.green = find("G"), c.blue = find("B");
  if (c.red < 0 || c.green < 0 || c.blue < 0) c.red = c.green = c.blue = find("Y");
  if (c.red < 0) return false;
  c.alpha = find("A");
  // A part's own alpha may go by another name, which the layout then marks.
  const int marked = spec.alpha_channel;
  if (prefix.empty() && c.alpha < 0 && marked >= 0 && marked < spec.nchannels && marked != c.red &&
      marked != c.green && marked != c.blue) {
    c.alpha = marked;
  }
  return true;
}

// The views of a multi-view part, the default one first; none for other parts.
std::vector<std::string> Views(const OIIO::ImageSpec& spec) {
  std::vector<std::string> views;
  const OIIO::ParamValue* list = spec.find_attribute("multiView");
  if (list == nullptr || list->type().basetype != OIIO::TypeDesc::STRING) return views;
  const auto count = static_cast<std::size_t>(list->nvalues()) * list->type().numelements();
  const auto* strings = static_cast<const OIIO::ustring*>(list->data());
  for (std::size_t i = 0; i < count; ++i) views.emplace_back(strings[i].string());
  return views;
}

std::string Describe(const std::vector<OIIO::ImageSpec>& parts) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string name = PartName(parts[i]);
    text += (i == 0 ? "" : ", ") + std::to_string(i) + (name.empty() ? "" : " (" + name + ")");
  }
  return text;
}

// "diffuse, right": the layers and views of every part (or "").
std::string DescribeLayers(const std::vector<OIIO::ImageSpec>& parts) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    for (const std::string& view : Views(parts[i])) names.push_back(view);
    for (const ColourSet& set : ColourSetsOf(parts[i], i)) names.push_back(set.layer);
  }
  names.erase(std::remove(names.begin(), names.end(), ""), names.end());
  std::vector<std::string> unique;
  for (const std::string& name : names) {
    if (std::find(unique.begin(), unique.end(), name) == unique.end()) unique.push_back(name);
  }
  std::string text;
  for (const std::string& name : unique) text += (text.empty() ? "" : ", ") + name;
  return text;
}

}  // namespace

std::string PartName(const OIIO::ImageSpec& spec) {
  const std::string name = spec.get_string_attribute("name");
  return name.empty() ? std::string(spec.get_string_attribute("oiio:subimagename")) : name;
}

std::vector<ColourSet> ColourSetsOf(const OIIO::ImageSpec& spec, std::size_t part) {
  std::vector<std::string> prefixes{""};
  const int named = std::min(spec.nchannels, static_cast<int>(spec.channelnames.size()));
  for (int c = 0; c < named; ++c) {
    const std::string& name = spec.channelnames[static_cast<std::size_t>(c)];
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) continue;
    const std::string prefix = name.substr(0, dot + 1);
    if (std::find(prefixes.begin(), prefixes.end(), prefix) == prefixes.end()) prefixes.push_back(prefix);
  }
  std::vector<ColourSet> sets;
  for (const std::string& prefix : prefixes) {
    ColourSet set{part, prefix.empty() ? "" : prefix.substr(0, prefix.size() - 1), {}};
    if (FindColour(spec, prefix, set.channels)) sets.push_back(set);
  }
  return sets;
}

std::vector<ColourSet> ChooseColourSets(const std::vector<OIIO::ImageSpec>& parts, const std::string& path,
                                        const std::string& wanted, bool all) {
  const std::string noColour = " no R, G and B channels (nor a grey Y channel) to smooth";
  std::vector<ColourSet> every;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    for (const ColourSet& set : ColourSetsOf(parts[i], i)) every.push_back(set);
  }
  if (every.empty()) {
    throw CliError(Quoted(path) + " has" + noColour +
                   (parts.size() == 1 ? " (it has " + Join(parts[0].channelnames) + ")"
                                      : " in any of its parts (" + Describe(parts) + ")"));
  }
  if (all) return every;
  if (wanted.empty()) {
    const auto own = std::find_if(every.begin(), every.end(), [](const ColourSet& s) { return s.layer.empty(); });
    return {own != every.end() ? *own : every.front()};
  }
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (PartName(parts[i]) != wanted && std::to_string(i) != wanted) continue;
    ColourSet own{i, "", {}};
    if (FindColour(parts[i], "", own.channels)) return {own};
    throw CliError("part " + Quoted(wanted) + " of " + Quoted(path) + " has" + noColour + " (it has " +
                   Join(parts[i].channelnames) + "); choose another part, or one of its layers");
  }
  for (const ColourSet& set : every) {
    const std::vector<std::string> views = Views(parts[set.part]);
    const bool defaultView = set.layer.empty() && !views.empty() && views.front() == wanted;
    if (set.layer == wanted || defaultView) return {set};
  }
  const std::string layers = DescribeLayers(parts);
  const bool onePart = parts.size() == 1 && PartName(parts[0]).empty();
  throw CliError(Quoted(path) + " has no part, layer or view " + Quoted(wanted) + "; " +
                 (onePart ? "" : "its parts are " + Describe(parts) + (layers.empty() ? "" : "; ")) +
                 (layers.empty() ? (onePart ? "it has one part and no layers or views" : "")
                                 : "its layers and views are " + layers));
}

std::string DescribeSet(const std::vector<OIIO::ImageSpec>& parts, const ColourSet& set) {
  const std::string part = PartName(parts[set.part]);
  const std::string ofPart = parts.size() == 1 ? "" : " of part " + (part.empty() ? std::to_string(set.part) : Quoted(part));
  if (!set.layer.empty()) return "the layer " + Quoted(set.layer) + ofPart;
  if (parts.size() == 1) return "the image";
  return "part " + (part.empty() ? std::to_string(set.part) : Quoted(part));
}

}  // namespace tessaline::cli
