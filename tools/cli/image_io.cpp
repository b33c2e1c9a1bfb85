#include "image_io.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

namespace tessaline::cli {

namespace fs = std::filesystem;

namespace {

// How the samples of one engine depth are stored in memory and mapped to and from the file.
template <class T>
struct Samples;

template <>
struct Samples<std::uint8_t> {
  static constexpr std::uint8_t kFull = 255;
  static OIIO::TypeDesc Type() { return OIIO::TypeDesc::UINT8; }
  static std::uint8_t In(std::uint8_t v) { return v; }
  static std::uint8_t Out(std::uint8_t v) { return v; }
};

template <>
struct Samples<std::uint16_t> {
  static constexpr std::uint16_t kFull = 32768;
  static OIIO::TypeDesc Type() { return OIIO::TypeDesc::UINT16; }
  static std::uint16_t In(std::uint16_t v) { return FileToEngine16(v); }
  static std::uint16_t Out(std::uint16_t u) { return EngineToFile16(u); }
};

template <>
struct Samples<float> {
  static constexpr float kFull = 1.0f;
  static OIIO::TypeDesc Type() { return OIIO::TypeDesc::FLOAT; }
  static float In(float v) { return v; }
  static float Out(float v) { return v; }
};

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

std::string OneLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  return text.empty() ? "unknown error" : text;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

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

// The kernels the file's samples call for; every channel must agree.
Depth ChooseDepth(const OIIO::ImageSpec& spec, const std::string& path) {
  const std::optional<Depth> depth = DepthOf(spec.format);
  const bool mixed = std::any_of(spec.channelformats.begin(), spec.channelformats.end(),
                                 [&](OIIO::TypeDesc type) { return DepthOf(type) != depth; });
  if (!depth || mixed) {
    throw CliError(Quoted(path) + " stores " + (mixed ? "mixed" : Describe(spec.format)) +
                   " samples, which tessaline cannot smooth; convert it to 8-bit or 16-bit unsigned "
                   "integer, half or float");
  }
  return *depth;
}

// Flat grey, grey+alpha, RGB or RGBA, with alpha (if any) last.
void CheckLayout(const OIIO::ImageSpec& spec, const std::string& path) {
  if (spec.deep || spec.depth > 1) {
    throw CliError(Quoted(path) + " holds deep or volume data; tessaline smooths flat images only");
  }
  const int n = spec.nchannels;
  const bool alphaLayout = n == 2 || n == 4;
  if (n >= 1 && n <= 4 && spec.alpha_channel == (alphaLayout ? n - 1 : -1)) return;
  std::string names;
  for (const std::string& name : spec.channelnames) names += (names.empty() ? "" : ",") + name;
  throw CliError(Quoted(path) + " has " + std::to_string(n) + " channels (" + names +
                 "); tessaline smooths grey, grey+alpha, RGB or RGBA images with alpha last only");
}

template <class T>
void FileToArgb(const std::vector<T>& file, int channels, T* argb) {
  using S = Samples<T>;
  const bool colour = channels >= 3;
  const bool alpha = channels == 2 || channels == 4;
  for (std::size_t i = 0, n = file.size() / static_cast<std::size_t>(channels); i < n; ++i) {
    const T* f = &file[i * static_cast<std::size_t>(channels)];
    T* p = argb + 4 * i;
    p[0] = alpha ? S::In(f[channels - 1]) : S::kFull;
    p[1] = S::In(f[0]);
    p[2] = S::In(f[colour ? 1 : 0]);
    p[3] = S::In(f[colour ? 2 : 0]);
  }
}

// Grey is written from the red channel.
template <class T>
void ArgbToFile(const T* argb, int channels, std::vector<T>& file) {
  using S = Samples<T>;
  const bool colour = channels >= 3;
  const bool alpha = channels == 2 || channels == 4;
  for (std::size_t i = 0, n = file.size() / static_cast<std::size_t>(channels); i < n; ++i) {
    T* f = &file[i * static_cast<std::size_t>(channels)];
    const T* p = argb + 4 * i;
    f[0] = S::Out(p[1]);
    if (colour) {
      f[1] = S::Out(p[2]);
      f[2] = S::Out(p[3]);
    }
    if (alpha) f[channels - 1] = S::Out(p[0]);
  }
}

std::size_t SampleCount(const Image& image) {
  return static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) *
         static_cast<std::size_t>(image.fileSpec.nchannels);
}

}  // namespace

Image ReadImage(const std::string& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    throw CliError("cannot read " + Quoted(path) + ": no such file; check the INPUT name");
  }

  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  auto in = OIIO::ImageInput::open(path, &config);
  if (!in) throw CliError("cannot read " + Quoted(path) + " as an image: " + OneLine(OIIO::geterror()));

  Image image;
  image.fileSpec = in->spec();
  image.fileFormat = in->format_name();
  image.depth = ChooseDepth(image.fileSpec, path);
  CheckLayout(image.fileSpec, path);
  image.width = image.fileSpec.width;
  image.height = image.fileSpec.height;

  WithSampleType(image.depth, [&]<class T>() {
    std::vector<T> file(SampleCount(image));
    if (!in->read_image(0, 0, 0, image.fileSpec.nchannels, Samples<T>::Type(), file.data())) {
      throw CliError("cannot read " + Quoted(path) + ": " + OneLine(in->geterror()));
    }
    image.pixels.resize(static_cast<std::size_t>(image.RowBytes()) * static_cast<std::size_t>(image.height));
    FileToArgb(file, image.fileSpec.nchannels, reinterpret_cast<T*>(image.pixels.data()));
  });
  return image;
}

void WriteImage(const Image& image, const std::string& path) {
  auto out = OIIO::ImageOutput::create(path);
  if (!out) {
    OIIO::geterror();  // OpenImageIO's text names no remedy; ours below does
    throw CliError("cannot write " + Quoted(path) + ": its extension names no format that can be " +
                   "written; give OUTPUT the same kind of extension as INPUT (" + image.fileFormat + ")");
  }
  if (out->format_name() != image.fileFormat) {
    throw CliError("cannot write " + Quoted(path) + ": it would be a " + out->format_name() +
                   " file but the input is " + image.fileFormat +
                   "; give OUTPUT the same kind of extension as INPUT");
  }

  OIIO::ImageSpec spec = image.fileSpec;
  // The smoothed samples need every bit of the data format, whatever precision the input had.
  spec.erase_attribute("oiio:BitsPerSample");
  spec.attribute("oiio:UnassociatedAlpha", 1);

  const fs::path target(path);
  std::string tempName(1, '.');  // hidden, and still ending in the extension that picks the writer
  tempName += target.stem().string();
  tempName += ".tmp-" + std::to_string(getpid());
  tempName += target.extension().string();
  const fs::path temp = target.parent_path() / tempName;
  auto fail = [&](const std::string& why) {
    out.reset();
    std::error_code ignored;
    fs::remove(temp, ignored);
    throw CliError("cannot write " + Quoted(path) + ": " + why);
  };

  if (!out->open(temp.string(), spec)) {
    fail(OneLine(out->geterror()) + "; check that the folder exists and can be written to");
  }
  WithSampleType(image.depth, [&]<class T>() {
    std::vector<T> file(SampleCount(image));
    ArgbToFile(reinterpret_cast<const T*>(image.pixels.data()), spec.nchannels, file);
    if (!out->write_image(Samples<T>::Type(), file.data())) fail(OneLine(out->geterror()));
  });
  if (!out->close()) fail(OneLine(out->geterror()));
  out.reset();

  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) fail("cannot replace it (" + ec.message() + ")");
}

}  // namespace tessaline::cli
