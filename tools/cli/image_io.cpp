#include "image_io.h"

#include <OpenImageIO/imageio.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <type_traits>

#include "colour_sets.h"
#include "image_writer.h"

namespace tessaline::cli {

namespace fs = std::filesystem;
using tessaline::Samples;

struct SourcePart {
  OIIO::ImageSpec spec;
  std::vector<std::byte> samples;  // each channel in its own format, interleaved, as stored
};

// A colour set that was read, and how its file stores it.
struct SourceSet {
  ColourSet where;
  bool premultiplied = false;  // its colour is stored multiplied by alpha
};

struct SourceFile {
  std::string format;  // as OpenImageIO names it ("png", "openexr")
  std::vector<SourcePart> parts;
  std::vector<SourceSet> sets;  // what was chosen to smooth; Image::set indexes it
};

bool Image::HasAlpha() const { return source && source->sets[set].where.channels.alpha >= 0; }

namespace {

// The OpenImageIO type of the samples of each engine depth.
template <class T>
OIIO::TypeDesc TypeOf();
template <>
OIIO::TypeDesc TypeOf<std::uint8_t>() { return OIIO::TypeDesc::UINT8; }
template <>
OIIO::TypeDesc TypeOf<std::uint16_t>() { return OIIO::TypeDesc::UINT16; }
template <>
OIIO::TypeDesc TypeOf<float>() { return OIIO::TypeDesc::FLOAT; }

// Calls fn.template operator()<T>() with the sample type of `depth`.
template <class Fn>
void WithSampleType(Depth depth, Fn&& fn) {
  switch (depth) {
    case Depth::U8:
      return fn.template operator()<std::uint8_t>();
    case Depth::U16:
      return fn.template operator()<std::uint16_t>();
    case Depth::F32:
      return fn.template operator()<float>();
  }
}

std::string Describe(OIIO::TypeDesc type) {
  const std::string bits = std::to_string(type.size() * 8) + "-bit ";
  if (type.is_floating_point()) return bits + "floating-point";
  return bits + (type.is_signed() ? "signed" : "unsigned") + " integer";
}

std::optional<Depth> DepthOf(OIIO::TypeDesc type) {
  if (type == OIIO::TypeDesc::UINT8) return Depth::U8;
  if (type == OIIO::TypeDesc::UINT16) return Depth::U16;
  if (type == OIIO::TypeDesc::HALF || type == OIIO::TypeDesc::FLOAT) return Depth::F32;
  return std::nullopt;
}

std::vector<int> Slots(const ColourChannels& c) { return {c.alpha, c.red, c.green, c.blue}; }

// The kernels the colour channels call for; they must agree.
Depth ChooseDepth(const OIIO::ImageSpec& spec, const ColourChannels& c, const std::string& path) {
  const OIIO::TypeDesc type = spec.channelformat(c.red);
  const std::optional<Depth> depth = DepthOf(type);
  bool mixed = false;
  for (const int slot : Slots(c)) mixed = mixed || (slot >= 0 && DepthOf(spec.channelformat(slot)) != depth);
  if (!depth || mixed) {
    throw CliError(Quoted(path) + " stores " + (mixed ? "mixed" : Describe(type)) +
                   " colour samples, which tessaline cannot smooth; convert it to 8-bit or 16-bit unsigned "
                   "integer, half or float");
  }
  return *depth;
}

// OpenEXR always stores colour multiplied by alpha, TIFF says which it does; other formats say so
// only if they are premultiplied, and OpenImageIO passes it on.
bool StoresPremultiplied(const std::string& format, const OIIO::ImageSpec& spec) {
  const int unassociated = spec.get_int_attribute("oiio:UnassociatedAlpha", -1);
  if (format == "openexr") return true;
  if (format == "tiff") return unassociated != 1;
  return unassociated == 0;
}

std::vector<std::size_t> ChannelOffsets(const OIIO::ImageSpec& spec) {
  std::vector<std::size_t> offsets;
  std::size_t at = 0;
  for (int c = 0; c < spec.nchannels; ++c) {
    offsets.push_back(at);
    at += spec.channelformat(c).size();
  }
  return offsets;
}

// Converts one channel of a whole image between two interleaved buffers.
void ConvertChannel(const OIIO::ImageSpec& size, const void* from, OIIO::TypeDesc fromType, OIIO::stride_t fromStride,
                    void* to, OIIO::TypeDesc toType, OIIO::stride_t toStride) {
  OIIO::convert_image(1, size.width, size.height, 1, from, fromType, fromStride, fromStride * size.width,
                      OIIO::AutoStride, to, toType, toStride, toStride * size.width, OIIO::AutoStride);
}

// The part's colour as the engine's straight ARGB pixels.
template <class T>
void DecodeColour(const SourcePart& part, const ColourChannels& c, bool premultiplied, T* argb) {
  using S = Samples<T>;
  const OIIO::ImageSpec& spec = part.spec;
  const std::vector<std::size_t> offsets = ChannelOffsets(spec);
  const auto pixelBytes = static_cast<OIIO::stride_t>(spec.pixel_bytes(true));
  const std::size_t pixels = spec.image_pixels();
  const std::vector<int> slots = Slots(c);
  for (int k = 0; k < 4; ++k) {
    if (slots[k] >= 0) {
      ConvertChannel(spec, part.samples.data() + offsets[slots[k]], spec.channelformat(slots[k]), pixelBytes, argb + k,
                     TypeOf<T>(), 4 * sizeof(T));
    } else {
      for (std::size_t i = 0; i < pixels; ++i) argb[4 * i + k] = S::kFull;
    }
  }
  for (T* p = argb; p != argb + 4 * pixels; p += 4) SamplesToEngine(p, premultiplied);
}

// Puts the engine's pixels into the colour channels of `out`, laid out as `spec`. Grey is written
// from the red channel.
template <class T>
void EncodeColour(const T* argb, const ColourChannels& c, bool premultiply, const OIIO::ImageSpec& spec,
                  std::byte* out) {
  using S = Samples<T>;
  const std::size_t pixels = spec.image_pixels();
  if (!std::is_same_v<T, float> && spec.channelformat(c.red).is_floating_point()) {
    // Integer colour going to half or float is premultiplied in floating point, not rounded to
    // integer steps first.
    std::vector<float> normalised(4 * pixels);
    for (std::size_t i = 0; i < normalised.size(); ++i) normalised[i] = static_cast<float>(S::Out(argb[i])) / S::kFull;
    return EncodeColour(normalised.data(), c, premultiply, spec, out);
  }
  std::vector<T> file(4 * pixels);
  for (std::size_t i = 0; i < 4 * pixels; i += 4) EngineToSamples(argb + i, premultiply, file.data() + i);
  const std::vector<std::size_t> offsets = ChannelOffsets(spec);
  const auto pixelBytes = static_cast<OIIO::stride_t>(spec.pixel_bytes(true));
  const std::vector<int> slots = Slots(c);
  for (int k = 0; k < 4; ++k) {
    const bool greyAgain = k > 1 && slots[k] == c.red;
    if (slots[k] < 0 || greyAgain) continue;
    ConvertChannel(spec, file.data() + k, TypeOf<T>(), 4 * sizeof(T), out + offsets[slots[k]],
                   spec.channelformat(slots[k]), pixelBytes);
  }
}

// Where the engine left a pixel as it was read, its stored samples go back bit for bit, rather than
// through the round trip of division by alpha and 16-bit rescaling. `out` is laid out as `spec`,
// which has the part's channels (with their types) first and `written` for the set's colour.
template <class T>
void KeepUnchangedPixels(const SourcePart& part, const ColourChannels& read, bool premultiplied, const T* argb,
                         const OIIO::ImageSpec& spec, const ColourChannels& written, std::byte* out) {
  std::vector<T> decoded(4 * part.spec.image_pixels());
  DecodeColour(part, read, premultiplied, decoded.data());
  const std::vector<std::size_t> from = ChannelOffsets(part.spec), to = ChannelOffsets(spec);
  const std::size_t fromPixel = part.spec.pixel_bytes(true), toPixel = spec.pixel_bytes(true);
  const std::vector<int> readSlots = Slots(read), writtenSlots = Slots(written);
  for (std::size_t i = 0; i < decoded.size() / 4; ++i) {
    if (std::memcmp(&decoded[4 * i], &argb[4 * i], 4 * sizeof(T)) != 0) continue;
    for (int k = 0; k < 4; ++k) {
      const int r = readSlots[static_cast<std::size_t>(k)], w = writtenSlots[static_cast<std::size_t>(k)];
      if (r < 0 || w < 0 || part.spec.channelformat(r) != spec.channelformat(w)) continue;
      std::memcpy(out + i * toPixel + to[static_cast<std::size_t>(w)],
                  part.samples.data() + i * fromPixel + from[static_cast<std::size_t>(r)],
                  spec.channelformat(w).size());
    }
  }
}

// The format OpenImageIO reads files with this extension as ("png" for ".PNG"), or "".
std::string FormatOfExtension(std::string extension) {
  if (extension.size() < 2) return "";
  std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
  // "openexr:exr,sxr,mxr;tiff:tif,tiff,...": formats and their extensions.
  const std::string list = OIIO::get_string_attribute("extension_list");
  std::string wanted(1, ',');
  wanted.append(extension, 1).push_back(',');
  for (std::size_t start = 0; start < list.size();) {
    const std::size_t end = std::min(list.find(';', start), list.size());
    const std::size_t colon = list.find(':', start);
    std::string extensions(1, ',');
    extensions.append(list, colon + 1, end - colon - 1).push_back(',');
    if (extensions.find(wanted) != std::string::npos) return list.substr(start, colon - start);
    start = end + 1;
  }
  return "";
}

// The format whose signature the file carries, as the library's own readers recognise it, or "".
std::string FormatByContent(const std::string& path) {
  const std::string list = OIIO::get_string_attribute("input_format_list");
  for (std::size_t start = 0; start < list.size();) {
    const std::size_t end = std::min(list.find(',', start), list.size());
    const std::string format = list.substr(start, end - start);
    start = end + 1;
    const auto reader = OIIO::ImageInput::create(format);
    if (reader && reader->valid_file(path)) {
      OIIO::geterror();
      return format;
    }
  }
  OIIO::geterror();
  return "";
}

// Whether a reader's refusal says the file is valid but of a kind it does not read.
bool Unsupported(const std::string& detail) {
  std::string lower = detail;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower.find("not supported") != std::string::npos || lower.find("unsupported") != std::string::npos;
}

std::unique_ptr<OIIO::ImageInput> OpenForReading(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) throw CliError("cannot read " + Quoted(path) + ": no such file; check the INPUT name");
  if (fs::is_directory(status)) {
    throw CliError("cannot read " + Quoted(path) + ": it is a folder, not an image file; give INPUT an image file");
  }
  if (access(path.c_str(), R_OK) != 0) {
    throw CliError("cannot read " + Quoted(path) + ": " + std::strerror(errno) + "; check the file's permissions");
  }
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);  // samples as stored; StoresPremultiplied decides
  auto reader = OIIO::ImageInput::open(path, &config);
  if (reader) return reader;
  std::string detail = OneLine(OIIO::geterror());
  // The file's own signature says more than its name: a damaged EXR called frame.bin is still one,
  // and its own reader says what is wrong with it.
  const std::string byContent = FormatByContent(path);
  if (!byContent.empty()) {
    reader = OIIO::ImageInput::create(byContent);
    OIIO::ImageSpec spec;
    if (reader && reader->open(path, spec, config)) return reader;
    detail = reader ? OneLine(reader->geterror()) : detail;
    OIIO::geterror();
  }
  // Some of the library's readers check a declared size themselves, against the limit that the run
  // gives them; the way to raise it is ours.
  if (detail.find("limits:imagesize_MB") != std::string::npos) {
    throw CliError(Quoted(path) + " declares an image larger than this run allows; if the file is real, raise " +
                   "--max-pixels (or use fewer --threads)");
  }
  const std::string format = byContent.empty() ? FormatOfExtension(fs::path(path).extension().string()) : byContent;
  const std::string cannot = "cannot read " + Quoted(path) + " as an image: ";
  if (format.empty()) {
    throw CliError(cannot + "tessaline knows no image format by its name or content; give INPUT a .png, .tif, " +
                   ".exr or other image file");
  }
  if (Unsupported(detail)) {
    const bool subsampled = detail.find("ubsampled") != std::string::npos;
    throw CliError(cannot + "it is a valid " + format + " file of a kind tessaline cannot read (" +
                   (subsampled ? "its channels are subsampled, as in a luminance/chroma file; convert it to "
                                 "full-resolution RGB first"
                               : detail) +
                   ")");
  }
  if (!byContent.empty()) throw CliError(cannot + "it is a damaged " + format + " file (" + detail + ")");
  throw CliError(cannot + "it is not a valid " + format + " file, or it is damaged (" + detail + ")");
}

std::string Millions(std::uint64_t pixels) {
  char text[32];
  std::snprintf(text, sizeof text, pixels < 10000000 ? "%.1f" : "%.0f", static_cast<double>(pixels) / 1e6);
  return text;
}

void ReadParts(OIIO::ImageInput& reader, const std::string& path, const ReadOptions& options, SourceFile& file) {
  std::uint64_t declared = 0;
  for (int s = 0; reader.seek_subimage(s, 0); ++s) {
    SourcePart part{reader.spec(), {}};
    if (part.spec.deep || part.spec.depth > 1) {
      throw CliError(Quoted(path) + " holds deep or volume data; tessaline smooths flat images only");
    }
    if (reader.seek_subimage(s, 1)) {
      throw CliError(Quoted(path) + " holds MIP-mapped (texture) images; tessaline smooths flat images only");
    }
    reader.geterror();  // the failed seek's message is no failure of the file
    // What a header declares is checked before anything is allocated for it: a damaged or hostile
    // file of a few hundred bytes can declare gigapixels.
    declared += part.spec.image_pixels();
    if (options.maxPixels != 0 && declared > options.maxPixels) {
      throw CliError(Quoted(path) + " declares " + (s == 0 ? "an image" : "images") + " of " + Millions(declared) +
                     " million pixels (" + std::to_string(part.spec.width) + " x " + std::to_string(part.spec.height) +
                     (s == 0 ? "" : " the largest part") + "), more than the " + Millions(options.maxPixels) +
                     " million this run allows; if the file is real, raise --max-pixels (or use fewer --threads)");
    }
    part.samples.resize(part.spec.image_bytes(true));
    if (!reader.read_image(s, 0, 0, part.spec.nchannels, OIIO::TypeUnknown, part.samples.data()) ||
        reader.has_error()) {
      throw CliError("cannot read " + Quoted(path) + ": the " + file.format + " file is damaged or incomplete (" +
                     OneLine(reader.geterror()) + ")");
    }
    file.parts.push_back(std::move(part));
  }
  reader.geterror();
}

// The channel formats a part is written with: `type` for channel `channel`, the others as they are.
void SetChannelType(OIIO::ImageSpec& spec, int channel, OIIO::TypeDesc type) {
  if (spec.channelformats.empty()) spec.channelformats.assign(static_cast<std::size_t>(spec.nchannels), spec.format);
  spec.channelformats[static_cast<std::size_t>(channel)] = type;
}

// One format for every channel, for writers that take no other: the widest the part has, so that no
// channel loses precision.
void SettleChannelTypes(OIIO::ImageSpec& spec, bool mixedAllowed) {
  if (spec.channelformats.empty()) return;
  OIIO::TypeDesc widest = spec.channelformats[0];
  bool mixed = false;
  for (const OIIO::TypeDesc& type : spec.channelformats) {
    mixed = mixed || type != widest;
    if (type.size() > widest.size() || (type.size() == widest.size() && type.is_floating_point())) widest = type;
  }
  if (mixed && mixedAllowed) {
    spec.format = widest;
    return;
  }
  spec.set_format(widest);
  spec.channelformats.clear();
}

bool SameLayout(const OIIO::ImageSpec& a, const OIIO::ImageSpec& b) {
  for (int c = 0; c < a.nchannels; ++c) {
    if (a.channelformat(c) != b.channelformat(c)) return false;
  }
  return true;
}

// The part's samples in the channel formats of `spec`, whose first channels are the part's (it may
// have more, added for alpha, which start at zero).
std::vector<std::byte> Relayout(const SourcePart& part, const OIIO::ImageSpec& spec) {
  if (spec.nchannels == part.spec.nchannels && SameLayout(part.spec, spec)) return part.samples;
  std::vector<std::byte> out(spec.image_bytes(true));
  const std::vector<std::size_t> from = ChannelOffsets(part.spec), to = ChannelOffsets(spec);
  for (int c = 0; c < part.spec.nchannels; ++c) {
    ConvertChannel(spec, part.samples.data() + from[c], part.spec.channelformat(c),
                   static_cast<OIIO::stride_t>(part.spec.pixel_bytes(true)), out.data() + to[c], spec.channelformat(c),
                   static_cast<OIIO::stride_t>(spec.pixel_bytes(true)));
  }
  return out;
}

// A colour set as it is written: where its colour goes, and the depth its pixels have.
struct OutputSet {
  const Image* image;
  const SourceSet* read;
  ColourChannels channels;
};

// Gives a set without alpha an alpha channel of its own, named after its layer, after the part's
// other channels and of its colour's type.
void AddAlpha(OIIO::ImageSpec& spec, OutputSet& set) {
  const OIIO::TypeDesc type = spec.channelformat(set.channels.red);
  if (!spec.channelformats.empty()) spec.channelformats.push_back(type);
  const std::string& layer = set.read->where.layer;
  spec.channelnames.push_back(layer.empty() ? "A" : layer + ".A");
  set.channels.alpha = spec.nchannels++;
  if (layer.empty()) spec.alpha_channel = set.channels.alpha;
}

// The smoothed part's layout in the output: the input's own in its own format; converted, the
// colour in formats the output holds well (16-bit PNG for half and float, half or float for integer
// colour that is premultiplied on the way).
void SetColourTypes(OIIO::ImageSpec& spec, const std::vector<OutputSet>& sets, const std::string& format,
                    bool sameFormat, bool premultiply) {
  spec.erase_attribute("oiio:BitsPerSample");  // smoothed samples need every bit of the format
  if (premultiply) {
    spec.erase_attribute("oiio:UnassociatedAlpha");
  } else {
    spec.attribute("oiio:UnassociatedAlpha", 1);
  }
  if (sameFormat) return;
  for (const OutputSet& set : sets) {
    const Depth depth = set.image->depth;
    std::optional<OIIO::TypeDesc> colourType;
    if (format == "png" && depth == Depth::F32) colourType = OIIO::TypeDesc::UINT16;
    if (premultiply && set.channels.alpha >= 0 && depth != Depth::F32) {
      colourType = depth == Depth::U8 ? OIIO::TypeDesc::HALF : OIIO::TypeDesc::FLOAT;
    }
    for (const int slot : Slots(set.channels)) {
      if (slot >= 0 && colourType) SetChannelType(spec, slot, *colourType);
    }
  }
}

}  // namespace

std::vector<Image> ReadImages(const std::string& path, const ReadOptions& options) {
  const auto reader = OpenForReading(path);
  auto file = std::make_shared<SourceFile>();
  file->format = reader->format_name();
  ReadParts(*reader, path, options, *file);
  std::vector<OIIO::ImageSpec> specs;
  for (const SourcePart& part : file->parts) specs.push_back(part.spec);
  for (const ColourSet& set : ChooseColourSets(specs, path, options.part, options.allParts)) {
    const bool alpha = set.channels.alpha >= 0;
    file->sets.push_back({set, alpha && StoresPremultiplied(file->format, specs[set.part])});
  }

  std::vector<Image> images;
  for (std::size_t s = 0; s < file->sets.size(); ++s) {
    const SourceSet& set = file->sets[s];
    const SourcePart& part = file->parts[set.where.part];
    Image image;
    image.depth = ChooseDepth(part.spec, set.where.channels, path);
    image.width = part.spec.width;
    image.height = part.spec.height;
    image.set = s;
    image.pixels.resize(static_cast<std::size_t>(image.RowBytes()) * static_cast<std::size_t>(image.height));
    WithSampleType(image.depth, [&]<class T>() {
      DecodeColour(part, set.where.channels, set.premultiplied, reinterpret_cast<T*>(image.pixels.data()));
    });
    images.push_back(std::move(image));
  }
  for (Image& image : images) image.source = file;
  return images;
}

Image ReadImage(const std::string& path, const ReadOptions& options) { return ReadImages(path, options).front(); }

void WriteImages(const std::vector<Image>& images, const std::string& path, bool withAlpha) {
  if (images.empty() || !images.front().source) throw std::logic_error("WriteImages takes images made by ReadImages");
  const SourceFile& file = *images.front().source;
  std::vector<std::vector<OutputSet>> byPart(file.parts.size());
  for (const Image& image : images) {
    const OIIO::ImageSpec& read = file.parts[file.sets.at(image.set).where.part].spec;
    if (image.source.get() != &file || image.width != read.width || image.height != read.height ||
        image.pixels.size() != static_cast<std::size_t>(image.RowBytes()) * static_cast<std::size_t>(image.height)) {
      throw std::logic_error("WriteImages takes the images of one file, with pixels of the size that was read");
    }
    const SourceSet& set = file.sets[image.set];
    byPart[set.where.part].push_back({&image, &set, set.where.channels});
  }
  auto writer = CreateWriter(path);
  const std::string format = writer->format_name();
  const bool sameFormat = format == file.format;
  const bool mixedAllowed = writer->supports("channelformats");

  std::vector<std::vector<std::byte>> converted(file.parts.size());
  std::vector<SubimageData> subimages;
  for (std::size_t i = 0; i < file.parts.size(); ++i) {
    const SourcePart& part = file.parts[i];
    std::vector<OutputSet>& sets = byPart[i];
    OIIO::ImageSpec spec = part.spec;
    if (!sets.empty()) {
      bool alpha = false, storedPremultiplied = false;
      for (OutputSet& set : sets) {
        if (withAlpha && set.channels.alpha < 0) AddAlpha(spec, set);
        alpha = alpha || set.channels.alpha >= 0;
        storedPremultiplied = storedPremultiplied || set.read->premultiplied;
      }
      // OpenEXR always holds colour multiplied by alpha; a TIFF, or a file of the input's own
      // format, the way the input did.
      const bool premultiply =
          alpha && (format == "openexr" || ((format == "tiff" || sameFormat) && storedPremultiplied));
      SetColourTypes(spec, sets, format, sameFormat, premultiply);
      SettleChannelTypes(spec, mixedAllowed);
      converted[i] = Relayout(part, spec);
      for (const OutputSet& set : sets) {
        WithSampleType(set.image->depth, [&]<class T>() {
          const T* argb = reinterpret_cast<const T*>(set.image->pixels.data());
          EncodeColour(argb, set.channels, premultiply && set.channels.alpha >= 0, spec, converted[i].data());
          if (sameFormat) {
            KeepUnchangedPixels(part, set.read->where.channels, set.read->premultiplied, argb, spec, set.channels,
                                converted[i].data());
          }
        });
      }
      subimages.push_back({spec, converted[i].data()});
      continue;
    }
    SettleChannelTypes(spec, mixedAllowed);
    if (SameLayout(spec, part.spec)) {
      subimages.push_back({spec, part.samples.data()});
      continue;
    }
    converted[i] = Relayout(part, spec);
    subimages.push_back({spec, converted[i].data()});
  }
  WriteImageFile(std::move(writer), path, subimages);
}

void WriteImage(const Image& image, const std::string& path, bool withAlpha) { WriteImages({image}, path, withAlpha); }

}  // namespace tessaline::cli
